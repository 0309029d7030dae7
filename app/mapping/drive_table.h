// The utility's own picture of which drive letters are connected to which network
// shares (or remembered for one that is not connected now): filled from the system,
// shown in the "Available Drive Letters" box and used to name the drive letter of
// each volume of the selected device.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DriveSlot {
    char server[256];  // server part of the connection, without the leading "\\"
    char share[256];   // everything after the backslash that ends the server part
    char drive[8];     // "Z:" ... "A:"
};

constexpr int kDriveSlotCount = 26;
// Slot 0 is Z:, slot 25 is A:.
extern DriveSlot driveTable[kDriveSlotCount];

// The two system calls the table is made from. The program uses the real ones;
// tests put their own in to play drives that a test machine cannot have.
struct DriveSystem {
    DWORD (*getConnection)(const char* localName, char* remoteName, DWORD* length);
    UINT (*getDriveType)(const char* rootPath);
};
DriveSystem SetDriveSystem(const DriveSystem& system);  // returns the previous one

void RefreshDriveTable();

// Whether the system names a connection for localName ("Y:") now, by the table's rule
// (connected, or remembered and not connected now), with its remote name in *remote
// ("\\server\share"; empty when it is too long to read). The table shows the letters
// as they were at its last rebuild: a choice is read again before it is acted on.
bool ReadDriveConnection(const char* localName, std::string* remote);

// The letters a volume may be mapped to, Z: first: every letter but A:, B: and the
// fixed, removable, CD and RAM drives; inUse when the table names a share for it
// (connected, or remembered and not connected now).
struct DriveOffer {
    const DriveSlot* slot;
    bool inUse;
};
std::vector<DriveOffer> OfferedDriveLetters();

// The drive ("Z:") whose connection is server\volumeName for one of the accepted
// servers (serverB may be nullptr), compared without regard to case. When several
// letters match, the lowest wins. Empty text when none matches.
const char* LocateVolumeDrive(const char* volumeName, const char* serverA, const char* serverB);
