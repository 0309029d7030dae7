// kavronctl: finds Kavron storage devices, asks one of them for a value or changes its
// network settings, from the command line. Exit status: 0 done, 1 no socket layer, 2
// usage error or input the settings rules refuse, 3 the device was not found or did not
// answer, 4 the device refused the administrator.
#include <stdio.h>

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "address.h"
#include "commands.h"
#include "port_argument.h"
#include "protocol.h"
#include "settings_commands.h"
#include "version.h"

namespace {

void ConsoleToStderr(const char* text)
{
    fputs(text, stderr);
}

int UsageError(const std::string& message)
{
    fprintf(stderr, "kavronctl: %s\n", message.c_str());
    return kExitUsage;
}

const char kNotAnAddress[] = "not an IPv4 address in dotted decimal (four numbers 0 to 255, no leading zeros): ";

// The command line once parsed: every value a command may take.
struct Arguments {
    std::string address;
    std::string what;
    std::string ip, netmask, gateway;
    std::string lan1, lan2;
    AdminOptions admin;
};

void AddAdminOptions(CLI::App* command, AdminOptions* admin)
{
    command->add_option("--user", admin->user, "Administrator name (default admin)");
    CLI::Option* password =
        command->add_option("--password", admin->password, "Administrator password")->each([admin](const std::string&) {
            admin->passwordGiven = true;
        });
    CLI::Option* fromStdin =
        command->add_flag("--password-stdin", admin->passwordStdin, "Read the password as one line of stdin");
    password->excludes(fromStdin);
}

// Checks what the parser cannot: address spellings, field lengths, port arguments.
int CheckArguments(const CLI::App& app, Arguments* args, AddressArguments* fields, PortArgument* lan1,
                   PortArgument* lan2)
{
    if (!args->address.empty() && !IsCanonicalAddress(args->address))
        return UsageError(kNotAnAddress + args->address);
    const AdminOptions& admin = args->admin;
    if (admin.user.size() > kMaxCredentialLength || admin.password.size() > kMaxCredentialLength)
        return UsageError("the administrator name and password hold at most 16 characters each");

    if (app.got_subcommand("set-address")) {
        if (!ParseAddressArgument(args->ip, &fields->ip))
            return UsageError(kNotAnAddress + args->ip);
        if (!ParseAddressArgument(args->netmask, &fields->netmask))
            return UsageError(kNotAnAddress + args->netmask);
        fields->gateway = AddressInput{true, {0, 0, 0, 0}};
        if (!args->gateway.empty() && !ParseAddressArgument(args->gateway, &fields->gateway))
            return UsageError(kNotAnAddress + args->gateway);
    }
    if (app.got_subcommand("set-ports")) {
        if (args->lan1.empty() && args->lan2.empty())
            return UsageError("set-ports: give --lan1, --lan2 or both");
        std::string error;
        if (!args->lan1.empty() && !ParsePortArgument(args->lan1, lan1, &error))
            return UsageError("--lan1: " + error);
        if (!args->lan2.empty() && !ParsePortArgument(args->lan2, lan2, &error))
            return UsageError("--lan2: " + error);
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Finds Kavron storage devices on the local networks, asks them for their settings and changes them."};
    app.name("kavronctl");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "kavronctl " KAVRON_VERSION_TEXT);
    bool verbose = false;
    app.add_flag("--verbose", verbose, "Write the devices' diagnostic lines to stderr");

    CommandOptions options;
    Arguments args;
    std::vector<int> selectors{3, 3};
    auto addCommon = [&](CLI::App* command) {
        command->add_flag("--json", options.json, "Print JSON instead of tab-separated lines");
        command->add_option("--selectors", selectors, "The two selector bytes of discovery (0 takes any)")
            ->expected(2)
            ->check(CLI::Range(0, 255));
    };
    auto addAddress = [&](CLI::App* command) {
        command->add_option("ADDRESS", args.address, "The device's IPv4 address")->required();
    };

    CLI::App* discover = app.add_subcommand("discover", "List the devices that answer on every interface");
    addCommon(discover);

    CLI::App* query = app.add_subcommand("query", "Ask the device at ADDRESS for one value");
    addAddress(query);
    std::vector<std::string> names(kQueryNames, kQueryNames + kQueryNameCount);
    query->add_option("WHAT", args.what, "The value to ask for")->required()->check(CLI::IsMember(names));
    addCommon(query);

    CLI::App* verifyAdmin =
        app.add_subcommand("verify-admin", "Ask the device at ADDRESS whether it takes the administrator's password");
    addAddress(verifyAdmin);
    AddAdminOptions(verifyAdmin, &args.admin);
    addCommon(verifyAdmin);

    CLI::App* setAddress =
        app.add_subcommand("set-address", "Give the device at ADDRESS a fixed address, netmask and gateway");
    addAddress(setAddress);
    setAddress->add_option("IP", args.ip, "The new address")->required();
    setAddress->add_option("NETMASK", args.netmask, "The new netmask")->required();
    setAddress->add_option("GATEWAY", args.gateway, "The new gateway (none when left out)");
    AddAdminOptions(setAddress, &args.admin);
    addCommon(setAddress);

    CLI::App* enableDhcp = app.add_subcommand("enable-dhcp", "Make the device at ADDRESS a DHCP client");
    addAddress(enableDhcp);
    AddAdminOptions(enableDhcp, &args.admin);
    addCommon(enableDhcp);

    CLI::App* setPorts = app.add_subcommand("set-ports", "Change the LAN ports of the two-port device at ADDRESS");
    addAddress(setPorts);
    setPorts->add_option("--lan1", args.lan1, "IP/NETMASK[/GATEWAY] or dhcp");
    setPorts->add_option("--lan2", args.lan2, "IP/NETMASK[/GATEWAY] or dhcp");
    AddAdminOptions(setPorts, &args.admin);
    addCommon(setPorts);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);  // --help, --version
        std::string message = error.what();
        size_t newline = message.find('\n');
        return UsageError(message.substr(0, newline));
    }
    AddressArguments fields;
    PortArgument lan1, lan2;
    const int checked = CheckArguments(app, &args, &fields, &lan1, &lan2);
    if (checked != kExitOk)
        return checked;

    options.selector1 = static_cast<unsigned char>(selectors[0]);
    options.selector2 = static_cast<unsigned char>(selectors[1]);
    SetConsoleSink(verbose ? ConsoleToStderr : nullptr);
    fflush(stdout);

    int status = kExitUsage;
    if (discover->parsed()) {
        status = RunDiscover(options);
    } else if (query->parsed()) {
        status = RunQuery(options, args.address, args.what);
    } else if (verifyAdmin->parsed()) {
        status = RunVerifyAdmin(options, args.address, args.admin);
    } else if (setAddress->parsed()) {
        status = RunSetAddress(options, args.address, fields, args.admin);
    } else if (enableDhcp->parsed()) {
        status = RunEnableDhcp(options, args.address, args.admin);
    } else if (setPorts->parsed()) {
        status = RunSetPorts(options, args.address, lan1, lan2, args.admin);
    }
    fflush(stdout);
    return status;
}
