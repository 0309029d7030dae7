// kavronctl: finds Kavron storage devices, watches them, asks one of them for a value,
// changes its network settings, opens its web pages, maps its volumes and installs its
// add-ons, from the command line. Exit status: 0 done, 1 no socket layer, 2 usage error
// or input the rules (or the device's state) refuse, 3 the device was not found or did
// not answer, 4 the device refused the administrator, 5 this PC could not do its part
// (a file write, a mapping, the browser).
#include <stdio.h>

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "addon_commands.h"
#include "address.h"
#include "codepages.h"
#include "commands.h"
#include "drive_commands.h"
#include "port_argument.h"
#include "protocol.h"
#include "settings_commands.h"
#include "version.h"
#include "watch.h"
#include "web.h"

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

// The command line once parsed: every value a command may take.
struct Arguments {
    std::string address;
    std::string what;
    std::string ip, netmask, gateway;
    std::string lan1, lan2;
    AdminOptions admin;
    WatchOptions watch;
    bool printOnly = false;
    std::string volume, letter, codepage;
    MapOptions map;
    InstallOptions install;
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
    if (admin.user.size() > kCredentialLength || admin.password.size() > kCredentialLength)
        return UsageError("the administrator name and password hold at most " + std::to_string(kCredentialLength) +
                          " characters each");

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
    if ((app.got_subcommand("map") || app.got_subcommand("unmap")) && !args->letter.empty()) {
        const std::string letter = DriveLetterArgument(args->letter);
        if (letter.empty())
            return UsageError("not a drive letter from C: to Z:: " + args->letter);
        args->letter = letter;
    }
#ifdef _WIN32
    if (app.got_subcommand("install-codepage") && CodepageIndex(args->codepage) < 0)
        return UsageError("CODEPAGE is one of " + CodepageNumbers(", "));
#endif
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Finds and watches Kavron storage devices on the local networks, asks them for their settings and\n"
                 "changes them, opens their web pages, maps their volumes and installs their add-ons."};
    app.name("kavronctl");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "kavronctl " KAVRON_VERSION_TEXT);
    bool verbose = false;
    app.add_flag("--verbose", verbose, "Write the devices' diagnostic lines to stderr");

    CommandOptions options;
    Arguments args;
    std::vector<int> selectors{kDiscoverySelector1, kDiscoverySelector2};
    auto addCommon = [&](CLI::App* command) {
        command->add_flag("--json", options.json, "Print JSON instead of tab-separated lines");
        command->add_option("--selectors", selectors, "The two selector bytes of discovery (0 takes any)")
            ->expected(2)
            ->check(CLI::Range(0, 255));
    };
    auto addAddress = [&](CLI::App* command) {
        command->add_option("ADDRESS", args.address, "The device's IPv4 address")->required();
    };

    auto addQuick = [&](CLI::App* command) {
        command->add_flag("--quick", options.quick,
                          "End each pass once the answers have stopped (about 0.1 s on a quiet LAN) instead of "
                          "listening for the full second");
    };
    CLI::App* discover = app.add_subcommand("discover", "List the devices that answer on every interface");
    addQuick(discover);
    addCommon(discover);

    CLI::App* watch = app.add_subcommand(
        "watch", "Discover again and again and print one line per change (the first pass: every device appeared)");
    watch->add_option("--interval", args.watch.intervalSeconds, "Seconds between passes (default 5)")
        ->check(CLI::Range(0.0, 86400.0));
    watch->add_option("--count", args.watch.count, "Passes to make (default: until Ctrl+C)")
        ->check(CLI::Range(1, 1000000));
    addQuick(watch);
    addCommon(watch);

    CLI::App* web =
        app.add_subcommand("web", "Print the address of the web pages of the device at ADDRESS and open it");
    addAddress(web);
    web->add_flag("--print", args.printOnly, "Print the address only, open nothing");
    addCommon(web);

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

    // Windows only; elsewhere they say so with status 2.
    CLI::App* map = app.add_subcommand("map", "Connect volume VOLUME of the device at ADDRESS to a drive letter "
                                              "(Windows; the first free letter when LETTER is left out)");
    addAddress(map);
    map->add_option("VOLUME", args.volume, "The volume, as query ADDRESS volumes lists it")->required();
    map->add_option("LETTER", args.letter, "The drive letter, C: to Z:");
    map->add_option("--user", args.map.user, "The share user, instead of asking for one");
    map->add_flag("--password-stdin", args.map.passwordStdin, "Read the share user's password as one line of stdin");
    map->add_flag("--force", args.map.force, "Take the letter even when it is in use");
    addCommon(map);

    CLI::App* unmap = app.add_subcommand("unmap", "Disconnect the drive LETTER (Windows)");
    unmap->add_option("LETTER", args.letter, "The drive letter, C: to Z:")->required();
    addCommon(unmap);

    auto addRestartWait = [&](CLI::App* command) {
        command
            ->add_option("--restart-wait", args.install.restartWaitSeconds,
                         "For testing: seconds to wait for the device's restart (default 90)")
            ->check(CLI::Range(0.0, 3600.0));
    };
    CLI::App* installCodepage = app.add_subcommand(
        "install-codepage",
        "Install the files of CODEPAGE onto the device at ADDRESS and wait for its restart (Windows)");
    addAddress(installCodepage);
    installCodepage->add_option("CODEPAGE", args.codepage, CodepageNumbers(" or "))->required();
    addRestartWait(installCodepage);
    addCommon(installCodepage);

    CLI::App* installBt = app.add_subcommand(
        "install-bt", "Install BitTorrent onto the device at ADDRESS and wait for its restart (Windows)");
    addAddress(installBt);
    AddAdminOptions(installBt, &args.admin);
    addRestartWait(installBt);
    addCommon(installBt);

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
    } else if (watch->parsed()) {
        status = RunWatch(options, args.watch);
    } else if (web->parsed()) {
        status = RunWeb(options, args.address, args.printOnly);
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
    } else if (map->parsed()) {
        status = RunMap(options, args.address, args.volume, args.letter, args.map);
    } else if (unmap->parsed()) {
        status = RunUnmap(options, args.letter);
    } else if (installCodepage->parsed()) {
        status = RunInstallCodepage(options, args.address, args.codepage, args.install);
    } else if (installBt->parsed()) {
        status = RunInstallBt(options, args.address, args.admin, args.install);
    }
    fflush(stdout);
    return status;
}
