// kavronctl map and unmap: a volume of a device connected to a drive letter and the
// letter dropped again, by the utility's own ConnectVolume and DisconnectDrive
// (app/mapping/volume_connection.h), with a console in place of its dialogs. Windows
// only: elsewhere they say so.
#pragma once

#include <string>

#include "commands.h"

namespace CLI {
class App;
}
struct CommandLine;

struct MapOptions {
    std::string user;            // --user: the share user, asked for no more
    bool passwordStdin = false;  // --password-stdin: the share user's password, one line
    bool force = false;          // --force: take a letter in use without asking
};

// map and unmap, each with its options, its check and its callback.
void RegisterDriveCommands(CLI::App& app, CommandLine& line);

// Exit 0 mapped, 2 refused input (no such volume, a letter not on offer or in use), 3
// no device or no answer, 5 the system refused the mapping (its reason on stderr).
int RunMap(const CommandOptions& options, const std::string& address, const std::string& volume,
           const std::string& letter, const MapOptions& map);
// Exit 0 dropped, 2 not a drive letter, 5 the system refused (its reason on stderr).
int RunUnmap(const CommandOptions& options, const std::string& letter);

// "Y:" of "y", "Y" or "y:", for C: to Z:; empty for anything else.
std::string DriveLetterArgument(const std::string& text);
