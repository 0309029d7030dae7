// The commands that change a device: each runs on the device found at ADDRESS, checks
// its input with the LAN panel's rules, makes the administrator check and sends one
// setting, as the utility does.
#pragma once

#include <string>

#include "admin_login.h"
#include "commands.h"
#include "port_argument.h"

namespace CLI {
class App;
}
struct CommandLine;

// verify-admin, set-address, enable-dhcp and set-ports, each with its options, its
// check and its callback.
void RegisterSettingsCommands(CLI::App& app, CommandLine& line);

// IP NETMASK [GATEWAY] of set-address; a gateway left out is a blank field.
struct AddressArguments {
    AddressInput ip;
    AddressInput netmask;
    AddressInput gateway;
};

// Exit 0 accepted, 4 refused, 3 no answer or no device.
int RunVerifyAdmin(const CommandOptions& options, const std::string& address, const AdminOptions& admin);
int RunSetAddress(const CommandOptions& options, const std::string& address, const AddressArguments& arguments,
                  const AdminOptions& admin);
int RunEnableDhcp(const CommandOptions& options, const std::string& address, const AdminOptions& admin);
// For the two-port model: the ports not given keep what the device reports.
int RunSetPorts(const CommandOptions& options, const std::string& address, const PortArgument& lan1,
                const PortArgument& lan2, const AdminOptions& admin);
