#include "drive_table.h"

#include <cstdio>
#include <cstring>

#include "framework/seam.h"
#include "protocol.h"

DriveSlot driveTable[kDriveSlotCount];

namespace {

DWORD SystemGetConnection(const char* localName, char* remoteName, DWORD* length)
{
    return WNetGetConnectionA(localName, remoteName, length);
}

UINT SystemGetDriveType(const char* rootPath)
{
    return GetDriveTypeA(rootPath);
}

Seam<DriveSystem> driveSystem{{SystemGetConnection, SystemGetDriveType}};

// A remembered connection that is not connected now (its server is off, or the PC
// offline) answers ERROR_CONNECTION_UNAVAIL with its remote name. Its letter is not
// free: it is shown with its share, so that Connect asks before its forced cancel
// drops the remembered mapping from the profile.
bool NamesConnection(DWORD result)
{
    return result == NO_ERROR || result == ERROR_CONNECTION_UNAVAIL;
}

char SlotLetter(int slot)
{
    return static_cast<char>('Z' - slot);
}

}  // namespace

DriveSystem SetDriveSystem(const DriveSystem& system)
{
    return driveSystem.Replace(system);
}

void RefreshDriveTable()
{
    for (int slot = 0; slot < kDriveSlotCount; ++slot) {
        DriveSlot& s = driveTable[slot];
        std::snprintf(s.drive, sizeof(s.drive), "%c:", SlotLetter(slot));

        char remote[256] = {};
        DWORD length = sizeof(remote);
        // A remembered connection that is not connected now (its server is off, or the
        // PC offline) answers ERROR_CONNECTION_UNAVAIL with its remote name. Its letter
        // is not free: it is shown with its share, so that Connect asks before its
        // forced cancel drops the remembered mapping from the profile.
        const DWORD result = driveSystem->getConnection(s.drive, remote, &length);
        if (result != NO_ERROR && result != ERROR_CONNECTION_UNAVAIL) {
            s.server[0] = '\0';
            s.share[0] = '\0';
            continue;
        }
        remote[sizeof(remote) - 1] = '\0';
        if (remote[0] == '\0')
            continue;

        // "\\server\share\maybe\more": the server ends at the first backslash from
        // position 2 on; the share is all the rest. A name without that backslash
        // leaves the slot as it was.
        const size_t len = std::strlen(remote);
        if (len <= 2)
            continue;
        const char* end = std::strchr(remote + 2, '\\');
        if (!end)
            continue;
        const size_t serverLength = static_cast<size_t>(end - (remote + 2));
        CopyTextN(s.server, sizeof(s.server), remote + 2, serverLength);
        CopyText(s.share, sizeof(s.share), end + 1);
    }
}

bool ReadDriveConnection(const char* localName, std::string* remote)
{
    char name[256] = {};
    DWORD length = sizeof(name);
    const DWORD result = driveSystem->getConnection(localName, name, &length);
    name[sizeof(name) - 1] = '\0';
    // A remote name too long for the table's slots is a connection all the same.
    const bool named = NamesConnection(result);
    *remote = named ? name : "";
    return named || result == ERROR_MORE_DATA;
}

std::vector<DriveOffer> OfferedDriveLetters()
{
    std::vector<DriveOffer> offers;
    for (int slot = 0; slot < kDriveSlotCount; ++slot) {
        const DriveSlot& s = driveTable[slot];
        const char letter = SlotLetter(slot);
        if (letter == 'A' || letter == 'B')
            continue;
        switch (driveSystem->getDriveType(s.drive)) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK:
            continue;
        default:
            break;
        }
        offers.push_back({&s, s.server[0] && s.share[0]});
    }
    return offers;
}

const char* LocateVolumeDrive(const char* volumeName, const char* serverA, const char* serverB)
{
    const char* found = "";
    for (const DriveSlot& s : driveTable) {
        const bool serverMatches =
            (serverA && lstrcmpiA(s.server, serverA) == 0) || (serverB && lstrcmpiA(s.server, serverB) == 0);
        if (serverMatches && lstrcmpiA(s.share, volumeName) == 0)
            found = s.drive;
    }
    return found;
}
