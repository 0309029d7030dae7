// kavronctl install-codepage and install-bt: the utility's Language and BitTorrent flows
// (addons/) with their checks, the files the program carries written onto the device's
// system volume, and the restart wait as a progress line. Windows only: the files go
// through the Windows network; elsewhere they say so.
#pragma once

#include <string>

#include "admin_login.h"
#include "commands.h"

namespace CLI {
class App;
}
struct CommandLine;

struct InstallOptions {
    double restartWaitSeconds = 90;  // --restart-wait, for tests: the wait after the files
};

// install-codepage and install-bt, each with its options, its check and its callback.
void RegisterAddonCommands(CLI::App& app, CommandLine& line);

// Exit 0 installed and restarted, 2 a codepage the device cannot take or a device whose
// disks are not ready, 3 no device or no answer, 5 a file could not be written.
int RunInstallCodepage(const CommandOptions& options, const std::string& address, const std::string& codepage,
                       const InstallOptions& install);
// The same, after the administrator check (4 refused).
int RunInstallBt(const CommandOptions& options, const std::string& address, const AdminOptions& admin,
                 const InstallOptions& install);
