// kavronctl: finds Kavron storage devices, watches them, asks one of them for a value,
// changes its network settings, opens its web pages, maps its volumes and installs its
// add-ons, from the command line. Exit status: 0 done, 1 no socket layer, 2 usage error
// or input the rules (or the device's state) refuse, 3 the device was not found or did
// not answer, 4 the device refused the administrator, 5 this PC could not do its part
// (a file write, a mapping, the browser).
#include <stdio.h>

#include <string>

#include <CLI/CLI.hpp>

#include "addon_commands.h"
#include "command_line.h"
#include "commands.h"
#include "drive_commands.h"
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

    // Each command registers its options, its check and its callback; the order here is
    // the order of the help. See "Adding a kavronctl command" in docs/architecture.md.
    CommandLine line;
    RegisterDiscoverCommand(app, line);
    RegisterWatchCommand(app, line);
    RegisterWebCommand(app, line);
    RegisterQueryCommand(app, line);
    RegisterSettingsCommands(app, line);
    RegisterDriveCommands(app, line);  // Windows only; elsewhere they say so with status 2
    RegisterAddonCommands(app, line);  // the same

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);  // --help, --version
        std::string message = error.what();
        size_t newline = message.find('\n');
        return UsageError(message.substr(0, newline));
    }
    if (!line.command)
        return kExitUsage;  // not reached: the parser requires one command

    line.options.selector1 = static_cast<unsigned char>(line.selectors[0]);
    line.options.selector2 = static_cast<unsigned char>(line.selectors[1]);
    SetConsoleSink(verbose ? ConsoleToStderr : nullptr);
    fflush(stdout);
    const int status = line.command();
    fflush(stdout);
    return status;
}
