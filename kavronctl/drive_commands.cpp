#include "drive_commands.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <memory>

#include <CLI/CLI.hpp>

#include "command_line.h"

#include "output.h"
#include "session.h"

#ifdef _WIN32
#include "app/mapping/drive_table.h"
#include "app/mapping/text_convert.h"
#include "app/mapping/volume_connection.h"
#include "console_text.h"
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
// command line (with the password from stdin, or typed when asked), else whoever sits
// at the terminal, else nobody (the tries go on with the credentials they have).
// RunMap owns it; the mapping's calls reach it through the callables they capture.
struct ShareUser {
    bool given = false;
    bool passwordKnown = false;  // read from stdin, or asked once already
    std::string user;
    std::string password;
    std::string remote;
    std::string shown;    // remote as printed: the device's volume name escaped
    std::string refusal;  // a typed credential the system cannot take: the tries stop
};

// A typed or piped credential as the networking calls take it; false after noting why
// not, which ends the mapping.
bool TakeCredential(ShareUser& share, const std::string& typed, const char* what, std::string* system)
{
    if (!CredentialForSystem(typed, system)) {
        share.refusal = UnrepresentableCredential(what);
        return false;
    }
    if (system->size() > kCredentialLength) {
        share.refusal = std::string(what) + " holds at most " + std::to_string(kCredentialLength) + " characters";
        return false;
    }
    return true;
}

// The given share user's password, asked for once at a terminal when stdin did not
// give it, as the other commands ask for theirs.
void CompleteGivenUser(ShareUser& share)
{
    if (!share.given || share.passwordKnown || !StdinIsTerminal())
        return;
    share.passwordKnown = true;
    std::string typed;
    if (ReadHiddenLine(("Password of " + SystemTextForConsole(share.user) + " for " + share.shown + ": ").c_str(),
                       &typed))
        TakeCredential(share, typed, "the password", &share.password);
}

// Where the utility shows its login dialog for the share user.
void ConsolePrompt(ShareUser& share)
{
    std::string user = share.user;
    std::string password = share.password;
    if (share.given) {
        CompleteGivenUser(share);
        password = share.password;
    } else {
        std::string typedUser, typedPassword;
        if (!ReadTypedLine(("User name for " + share.shown + ": ").c_str(), &typedUser) ||
            !TakeCredential(share, typedUser, "the user name", &user) ||
            !ReadHiddenLine(("Password of " + SystemTextForConsole(user) + ": ").c_str(), &typedPassword) ||
            !TakeCredential(share, typedPassword, "the password", &password))
            return;
    }
    CopyTextTo(protocolSession.adminUser, user.substr(0, kCredentialLength).c_str());
    CopyTextTo(protocolSession.adminPassword, password.substr(0, kCredentialLength).c_str());
}

// The system's calls with the console's prompt, and on the try on which the utility
// lets the system ask, in a window of its own: given credentials instead; the system's
// question on the command line when a terminal can answer it; else no question at all.
// A credential the system cannot take ends the tries.
MappingSystem ConsoleMappingCalls(ShareUser* share)
{
    const MappingSystem system = SystemMappingCalls([share](HWND) { ConsolePrompt(*share); });
    MappingSystem console = system;
    console.addConnection = [share, system](HWND, NETRESOURCEA* resource, const char* password, const char* user,
                                            DWORD flags) {
        if (share->refusal.empty() && (flags & CONNECT_INTERACTIVE))
            CompleteGivenUser(*share);
        if (!share->refusal.empty())
            return static_cast<DWORD>(ERROR_CANCELLED);
        if (flags & CONNECT_INTERACTIVE) {
            if (share->given) {
                flags &= ~static_cast<DWORD>(CONNECT_INTERACTIVE);
                password = share->password.c_str();
                user = share->user.c_str();
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
    WriteTextLine(stderr, "kavronctl: " + message);  // the device's volume names
    return kExitUsage;
}

// A volume of the selected device: its name as the device spells it (UTF-8, for the
// output) and as the window shows it and the networking calls take it (the ANSI code
// page, as the command line's own words come).
struct DeviceVolumeName {
    std::string device;
    std::string system;
};

// The device's volume that `volume` names (compared without regard to case, as shares
// are, in the code page of the command line); empty names when it has none such.
// Fills names with what it has.
DeviceVolumeName FindDeviceVolume(const std::string& volume, std::string* names)
{
    DeviceVolumeName found;
    for (const VolumeEntry* entry = volumeList.head; entry != nullptr; entry = entry->next) {
        // The device's names, escaped as every output escapes them.
        *names += (names->empty() ? "" : ", ") + EscapeField(entry->name);
        char system[256];
        Utf8ToAnsi(entry->name, system, sizeof system);
        if (found.device.empty() && lstrcmpiA(system, volume.c_str()) == 0)
            found = {entry->name, system};
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
    ShareUser share;
    share.given = !map.user.empty();
    share.user = map.user;
    share.remote = "\\\\" + address + "\\" + volume;
    share.shown = "\\\\" + address + "\\" + EscapeField(volume.c_str());
    if (map.passwordStdin) {
        std::string piped;
        if (!ReadStdinLine(&piped))
            return Refuse("--password-stdin: no line on standard input");
        share.passwordKnown = true;
        if (!TakeCredential(share, piped, "the password", &share.password))
            return Refuse(share.refusal);
    }
    if (share.user.size() > kCredentialLength)
        return Refuse("the user name holds at most " + std::to_string(kCredentialLength) + " characters");

    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (DiscoverAndSelect(options, address) != kExitOk)
        return kExitNoAnswer;
    if (!QueryVolumes()) {
        fprintf(stderr, "kavronctl: %s did not answer the volume query\n", address.c_str());
        return kExitNoAnswer;
    }
    std::string names;
    const DeviceVolumeName found = FindDeviceVolume(volume, &names);
    const std::string& deviceVolume = found.device;
    if (deviceVolume.empty())
        return Refuse(EscapeField(volume.c_str()) + " is not a volume of " + address + " (it has: " + names + ")");
    const std::string drive = ChooseLetter(letter, map.force);
    if (drive.empty())
        return kExitUsage;

    share.remote = "\\\\" + address + "\\" + deviceVolume;
    share.shown = "\\\\" + address + "\\" + EscapeField(deviceVolume.c_str());
    memset(protocolSession.adminUser, 0, sizeof protocolSession.adminUser);
    memset(protocolSession.adminPassword, 0, sizeof protocolSession.adminPassword);
    const MappingSystem console = ConsoleMappingCalls(&share);
    const DWORD error = ConnectVolume(console, nullptr, address.c_str(), found.system.c_str(), drive.c_str());
    if (!share.refusal.empty())
        return Refuse(share.refusal);
    if (error != NO_ERROR) {
        // Read at once: a provider's extended error lasts until the next networking call.
        const std::string reason = SystemTextForConsole(DescribeMappingError(console, error));
        fprintf(stderr, "kavronctl: Failed to map drive. %s\n", reason.c_str());
        return kExitFailed;
    }
    if (options.json) {
        PrintLine(DumpJson({{"outcome", "mapped"}, {"drive", drive}, {"remote", share.remote}}));
    } else {
        PrintLine(drive + "\t" + share.shown);
    }
    return kExitOk;
}

int RunUnmap(const CommandOptions& options, const std::string& letter)
{
    const std::string& drive = letter;  // checked and normalised with the arguments
    ShareUser nobody;
    const MappingSystem console = ConsoleMappingCalls(&nobody);
    if (const DWORD error = DisconnectDrive(console, drive.c_str()); error != NO_ERROR) {
        const std::string reason = SystemTextForConsole(DescribeMappingError(console, error));
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

namespace {

// LETTER as "Y:", or the usage error of anything but a drive letter. An empty LETTER
// (map's, left out) stays empty.
int CheckLetter(std::string* letter)
{
    if (letter->empty())
        return kExitOk;
    const std::string checked = DriveLetterArgument(*letter);
    if (checked.empty())
        return UsageError("not a drive letter from C: to Z:: " + *letter);
    *letter = checked;
    return kExitOk;
}

}  // namespace

// Both builds register map and unmap, so that their help is the same everywhere; the
// native Run functions say that they are Windows only.
void RegisterDriveCommands(CLI::App& app, CommandLine& line)
{
    struct MapArguments {
        std::string address, volume, letter;
        MapOptions map;
    };
    auto mapArgs = std::make_shared<MapArguments>();
    CLI::App* map = app.add_subcommand("map", "Connect volume VOLUME of the device at ADDRESS to a drive letter "
                                              "(Windows; the first free letter when LETTER is left out)");
    AddAddressArgument(map, &mapArgs->address);
    map->add_option("VOLUME", mapArgs->volume, "The volume, as query ADDRESS volumes lists it")->required();
    map->add_option("LETTER", mapArgs->letter, "The drive letter, C: to Z:");
    map->add_option("--user", mapArgs->map.user, "The share user, instead of asking for one");
    map->add_flag("--password-stdin", mapArgs->map.passwordStdin,
                  "Read the share user's password as one line of stdin");
    map->add_flag("--force", mapArgs->map.force, "Take the letter even when it is in use");
    AddCommonOptions(map, &line);
    OnCommand(map, &line, [&line, mapArgs] {
        int checked = CheckAddress(mapArgs->address);
        if (checked == kExitOk)
            checked = CheckLetter(&mapArgs->letter);
        return checked != kExitOk
                   ? checked
                   : RunMap(line.options, mapArgs->address, mapArgs->volume, mapArgs->letter, mapArgs->map);
    });

    auto letter = std::make_shared<std::string>();
    CLI::App* unmap = app.add_subcommand("unmap", "Disconnect the drive LETTER (Windows)");
    unmap->add_option("LETTER", *letter, "The drive letter, C: to Z:")->required();
    AddCommonOptions(unmap, &line);
    OnCommand(unmap, &line, [&line, letter] {
        const int checked = CheckLetter(letter.get());
        return checked != kExitOk ? checked : RunUnmap(line.options, *letter);
    });
}
