#include "commands.h"

#include <stdio.h>
#include <string.h>

#include <memory>
#include <vector>

#include <CLI/CLI.hpp>

#include "command_line.h"
#include "output.h"
#include "protocol.h"
#include "session.h"

const char* const kQueryNames[] = {"volumes",    "ssl",        "domain",      "codepage",
                                   "disk-state", "share-name", "bt-firmware", "port-config"};
const int kQueryNameCount = sizeof kQueryNames / sizeof kQueryNames[0];

namespace {

// Text value of a query: runs it and hands back the field it fills.
struct TextQuery {
    const char* name;
    int (*run)();
    const char* field;
};

const TextQuery kTextQueries[] = {
    {"ssl", QuerySsl, protocolSession.sslValue},
    {"domain", QueryDomain, protocolSession.domainValue},
    {"codepage", QueryCodepage, protocolSession.codepageValue},
    {"disk-state", QueryDiskState, protocolSession.diskStateValue},
    {"share-name", QueryShareName, protocolSession.shareNameValue},
    {"bt-firmware", QueryBtFirmware, protocolSession.btFirmwareValue},
};

int PrintVolumes(const CommandOptions& options)
{
    if (!QueryVolumes())
        return kExitNoAnswer;
    nlohmann::json names = nlohmann::json::array();
    for (const VolumeEntry* entry = volumeList.head; entry != nullptr; entry = entry->next) {
        if (options.json) {
            names.push_back(entry->name);
        } else {
            PrintLine(EscapeField(entry->name));
        }
    }
    if (options.json)
        PrintLine(DumpJson({{"value", names}}));
    return kExitOk;
}

int PrintPortConfig(const CommandOptions& options)
{
    memset(&protocolSession.portConfig, 0, sizeof protocolSession.portConfig);
    if (!QueryPortConfig())
        return kExitNoAnswer;
    const PortConfigTable& table = protocolSession.portConfig;
    if (options.json) {
        PrintLine(DumpJson({{"value", nlohmann::json::array({PortJson(table.lan1), PortJson(table.lan2)})}}));
    } else {
        PrintLine(PortLine(table.lan1));
        PrintLine(PortLine(table.lan2));
    }
    return kExitOk;
}

int PrintTextValue(const CommandOptions& options, const TextQuery& query)
{
    if (!query.run())
        return kExitNoAnswer;
    if (options.json) {
        PrintLine(DumpJson({{"value", query.field}}));
    } else {
        PrintLine(EscapeField(query.field));
    }
    return kExitOk;
}

}  // namespace

DiscoveryPace Pace(const CommandOptions& options)
{
    return options.quick ? DiscoveryPace::kQuick : DiscoveryPace::kFull;
}

int RunDiscover(const CommandOptions& options)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    Discover(options.selector1, options.selector2, Pace(options));
    nlohmann::json devices = nlohmann::json::array();
    for (const DeviceRecord* device = deviceList.head; device != nullptr; device = device->next) {
        if (options.json) {
            devices.push_back(DeviceJson(*device));
        } else {
            PrintLine(DeviceLine(*device));
        }
    }
    if (options.json)
        PrintLine(DumpJson(devices));
    return kExitOk;
}

int RunQuery(const CommandOptions& options, const std::string& address, const std::string& what)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    if (DiscoverAndSelect(options, address) != kExitOk)
        return kExitNoAnswer;

    int status = kExitUsage;
    if (what == "volumes") {
        status = PrintVolumes(options);
    } else if (what == "port-config") {
        status = PrintPortConfig(options);
    } else {
        for (const TextQuery& query : kTextQueries) {
            if (what == query.name)
                status = PrintTextValue(options, query);
        }
    }
    if (status == kExitNoAnswer)
        fprintf(stderr, "kavronctl: %s did not answer\n", address.c_str());
    return status;
}

void RegisterDiscoverCommand(CLI::App& app, CommandLine& line)
{
    CLI::App* discover = app.add_subcommand("discover", "List the devices that answer on every interface");
    AddQuickFlag(discover, &line);
    AddCommonOptions(discover, &line);
    OnCommand(discover, &line, [&line] { return RunDiscover(line.options); });
}

void RegisterQueryCommand(CLI::App& app, CommandLine& line)
{
    struct Arguments {
        std::string address;
        std::string what;
    };
    auto args = std::make_shared<Arguments>();
    CLI::App* query = app.add_subcommand("query", "Ask the device at ADDRESS for one value");
    AddAddressArgument(query, &args->address);
    std::vector<std::string> names(kQueryNames, kQueryNames + kQueryNameCount);
    query->add_option("WHAT", args->what, "The value to ask for")->required()->check(CLI::IsMember(names));
    AddCommonOptions(query, &line);
    OnCommand(query, &line, [&line, args] {
        const int checked = CheckAddress(args->address);
        return checked != kExitOk ? checked : RunQuery(line.options, args->address, args->what);
    });
}
