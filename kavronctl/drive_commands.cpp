#include "drive_commands.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "output.h"
#include "session.h"

#ifdef _WIN32
#include "admin_login.h"  // kMaxCredentialLength
#include "app/mapping/drive_table.h"
#include "app/mapping/volume_connection.h"
#include "protocol.h"
#include "terminal.h"
#endif

std::string DriveLetterArgument(const std::string& text)
{
    if (text.empty() || text.size() > 2 || (text.size() == 2 && text[1] != ':'))
        return std::string();
    const char letter = static_cast<char>(toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'C' || letter > 'Z')
        return std::string();
    return std::string(1, letter) + ":";
}

#ifdef _WIN32

namespace {

// How the console answers the mapping's questions: the share user given on the
// command line, else whoever sits at the terminal, else nobody (the tries go on with
// the credentials they have).
struct ShareUser {
    bool given = false;
    std::string user;
    std::string password;
    std::string remote;
};

// Where the utility shows its login dialog for the share user.
void ConsolePrompt(const ShareUser& share)
{
    std::string user = share.user;
    std::string password = share.password;
    if (!share.given) {
        if (!ReadTypedLine(("User name for " + share.remote + ": ").c_str(), &user) ||
            !ReadHiddenLine(("Password of " + user + ": ").c_str(), &password))
            return;
    }
    CopyTextTo(protocolSession.adminUser, user.substr(0, kMaxCredentialLength).c_str());
    CopyTextTo(protocolSession.adminPassword, password.substr(0, kMaxCredentialLength).c_str());
}

// The system's calls with the console's prompt, and on the try on which the utility
// lets the system ask, in a window of its own: given credentials instead; the system's
// question on the command line when a terminal can answer it; else no question at all.
MappingSystem ConsoleMappingCalls(const ShareUser& share)
{
    const MappingSystem system = SystemMappingCalls([share](HWND) { ConsolePrompt(share); });
    MappingSystem console = system;
    console.addConnection = [share, system](HWND, NETRESOURCEA* resource, const char* password, const char* user,
                                            DWORD flags) {
        if (flags & CONNECT_INTERACTIVE) {
            if (share.given) {
                flags &= ~static_cast<DWORD>(CONNECT_INTERACTIVE);
                password = share.password.c_str();
                user = share.user.c_str();
            } else if (StdinIsTerminal()) {
                flags |= CONNECT_COMMANDLINE;
            } else {
                flags &= ~static_cast<DWORD>(CONNECT_INTERACTIVE);
            }
        }
        return system.addConnection(nullptr, resource, password, user, flags);
    };
    return console;
}

int Refuse(const std::string& message)
{
    fprintf(stderr, "kavronctl: %s\n", message.c_str());
    return kExitUsage;
}

// The device's spelling of volume (compared without regard to case, as shares are);
// empty when it has none such. Fills names with what it has.
std::string DeviceVolume(const std::string& volume, std::string* names)
{
    std::string found;
    for (const VolumeEntry* entry = volumeList.head; entry != nullptr; entry = entry->next) {
        *names += (names->empty() ? "" : ", ") + std::string(entry->name);
        if (found.empty() && lstrcmpiA(entry->name, volume.c_str()) == 0)
            found = entry->name;
    }
    return found;
}

// The letter to map: the one asked for, when it is on offer and free (or taken over
// with --force or a yes at the terminal), else the first free one. Empty after saying why not.
std::string ChooseLetter(const std::string& asked, bool force)
{
    RefreshDriveTable();
    const std::vector<DriveOffer> offers = OfferedDriveLetters();
    for (const DriveOffer& offer : offers) {
        if (asked.empty() && !offer.inUse)
            return offer.slot->drive;
        if (asked != offer.slot->drive)
            continue;
        if (!offer.inUse || force)
            return asked;
        const std::string share = std::string("\\\\") + offer.slot->server + "\\" + offer.slot->share;
        std::string answer;
        if (ReadTypedLine(
                ("The drive letter has been used (" + share + "). Do you still want to use this drive letter? [y/N] ")
                    .c_str(),
                &answer) &&
            (answer == "y" || answer == "Y" || answer == "yes"))
            return asked;
        Refuse(asked + " is in use (" + share + "): give --force to use it all the same");
        return std::string();
    }
    if (asked.empty()) {
        Refuse("no free drive letter");
    } else {
        Refuse(asked + " cannot take a volume: it is a local drive (or A: or B:)");
    }
    return std::string();
}

}  // namespace

int RunMap(const CommandOptions& options, const std::string& address, const std::string& volume,
           const std::string& letter, const MapOptions& map)
{
    ShareUser share{!map.user.empty(), map.user, "", "\\\\" + address + "\\" + volume};
    if (map.passwordStdin && !ReadStdinLine(&share.password))
        return Refuse("--password-stdin: no line on standard input");
    if (share.user.size() > kMaxCredentialLength || share.password.size() > kMaxCredentialLength)
        return Refuse("the user name and password hold at most 16 characters each");

    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (SelectDevice(options, address) != kExitOk)
        return kExitNoAnswer;
    if (!QueryVolumes()) {
        fprintf(stderr, "kavronctl: %s did not answer the volume query\n", address.c_str());
        return kExitNoAnswer;
    }
    std::string names;
    const std::string deviceVolume = DeviceVolume(volume, &names);
    if (deviceVolume.empty())
        return Refuse(volume + " is not a volume of " + address + " (it has: " + names + ")");
    const std::string drive = ChooseLetter(letter, map.force);
    if (drive.empty())
        return kExitUsage;

    share.remote = "\\\\" + address + "\\" + deviceVolume;
    memset(protocolSession.adminUser, 0, sizeof protocolSession.adminUser);
    memset(protocolSession.adminPassword, 0, sizeof protocolSession.adminPassword);
    const MappingSystem console = ConsoleMappingCalls(share);
    const DWORD error = ConnectVolume(console, nullptr, address.c_str(), deviceVolume.c_str(), drive.c_str());
    if (error != NO_ERROR) {
        // Read at once: a provider's extended error lasts until the next networking call.
        const std::string reason = DescribeMappingError(console, error);
        fprintf(stderr, "kavronctl: Failed to map drive. %s\n", reason.c_str());
        return kExitFailed;
    }
    if (options.json) {
        PrintLine(DumpJson({{"outcome", "mapped"}, {"drive", drive}, {"remote", share.remote}}));
    } else {
        PrintLine(drive + "\t" + share.remote);
    }
    return kExitOk;
}

int RunUnmap(const CommandOptions& options, const std::string& letter)
{
    const std::string& drive = letter;  // checked and normalised with the arguments
    const MappingSystem console = ConsoleMappingCalls(ShareUser{});
    if (const DWORD error = DisconnectDrive(console, drive.c_str()); error != NO_ERROR) {
        const std::string reason = DescribeMappingError(console, error);
        fprintf(stderr, "kavronctl: Unable to disconnect %s. %s\n", drive.c_str(), reason.c_str());
        return kExitFailed;
    }
    if (options.json) {
        PrintLine(DumpJson({{"outcome", "unmapped"}, {"drive", drive}}));
    } else {
        PrintLine(drive);
    }
    return kExitOk;
}

#else

namespace {

int WindowsOnly(const char* command)
{
    fprintf(stderr, "kavronctl: %s works on Windows only: drive letters are Windows' own\n", command);
    return kExitUsage;
}

}  // namespace

int RunMap(const CommandOptions&, const std::string&, const std::string&, const std::string&, const MapOptions&)
{
    return WindowsOnly("map");
}

int RunUnmap(const CommandOptions&, const std::string&)
{
    return WindowsOnly("unmap");
}

#endif
