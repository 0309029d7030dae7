// kavronctl: finds Kavron storage devices and asks one of them for a value, from the
// command line. Exit status: 0 done, 1 no socket layer, 2 usage error, 3 the device
// was not found or did not answer.
#include <stdio.h>

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "address.h"
#include "commands.h"
#include "protocol.h"

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

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Finds Kavron storage devices on the local networks and asks them for their settings."};
    app.name("kavronctl");
    app.require_subcommand(1);
    app.fallthrough();
    bool verbose = false;
    app.add_flag("--verbose", verbose, "Write the devices' diagnostic lines to stderr");

    CommandOptions options;
    std::vector<int> selectors{3, 3};
    auto addCommon = [&](CLI::App* command) {
        command->add_flag("--json", options.json, "Print JSON instead of tab-separated lines");
        command->add_option("--selectors", selectors, "The two selector bytes of discovery (0 takes any)")
            ->expected(2)
            ->check(CLI::Range(0, 255));
    };

    CLI::App* discover = app.add_subcommand("discover", "List the devices that answer on every interface");
    addCommon(discover);

    CLI::App* query = app.add_subcommand("query", "Ask the device at ADDRESS for one value");
    std::string address;
    std::string what;
    query->add_option("ADDRESS", address, "The device's IPv4 address")->required();
    std::vector<std::string> names(kQueryNames, kQueryNames + kQueryNameCount);
    query->add_option("WHAT", what, "The value to ask for")->required()->check(CLI::IsMember(names));
    addCommon(query);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);  // --help
        std::string message = error.what();
        size_t newline = message.find('\n');
        return UsageError(message.substr(0, newline));
    }
    if (query->parsed() && !IsCanonicalAddress(address))
        return UsageError("not an IPv4 address in dotted decimal (four numbers 0 to 255, no leading zeros): " +
                          address);

    options.selector1 = static_cast<unsigned char>(selectors[0]);
    options.selector2 = static_cast<unsigned char>(selectors[1]);
    SetConsoleSink(verbose ? ConsoleToStderr : nullptr);
    fflush(stdout);

    int status = discover->parsed() ? RunDiscover(options) : RunQuery(options, address, what);
    fflush(stdout);
    return status;
}
