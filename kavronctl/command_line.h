// What every kavronctl command registers alike with the parser: the options all of them
// take (--json, --selectors), ADDRESS, the administrator's options, and the checks of
// ADDRESS and of the administrator's name and password that the parser cannot make.
// Each command registers itself (its options, its check and its callback) in the file
// of the command; main.cpp only calls the Register... functions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "admin_login.h"
#include "commands.h"
#include "protocol.h"  // kDiscoverySelector1, kDiscoverySelector2

namespace CLI {
class App;
}

// What the parse leaves for main to run.
struct CommandLine {
    CommandOptions options;  // selector1/2 filled from selectors once the parse is done
    std::vector<int> selectors{kDiscoverySelector1, kDiscoverySelector2};
    // Set by the callback of the command given: its check, then the command. Returns
    // the exit status.
    std::function<int()> command;
};

// Makes run the command main runs when COMMAND is the one given. run makes the
// command's checks first and returns the exit status.
void OnCommand(CLI::App* command, CommandLine* line, std::function<int()> run);

// Writes "kavronctl: MESSAGE" to stderr and returns kExitUsage.
int UsageError(const std::string& message);

// --json and --selectors, last in every command's help.
void AddCommonOptions(CLI::App* command, CommandLine* line);
// --quick of discover and watch.
void AddQuickFlag(CLI::App* command, CommandLine* line);
// The required ADDRESS.
void AddAddressArgument(CLI::App* command, std::string* address);
// --user, --password, --password-stdin of the commands that make the administrator check.
void AddAdminOptions(CLI::App* command, AdminOptions* admin);

// kExitOk, or the usage error of an address that is not in the one spelling a device
// can have.
int CheckAddress(const std::string& address);
// kExitOk, or the usage error of a name or password longer than the device takes.
int CheckAdmin(const AdminOptions& admin);
