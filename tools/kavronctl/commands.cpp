#include "commands.h"

#include <stdio.h>
#include <string.h>

#include "output.h"
#include "protocol.h"

const char* const kQueryNames[] = {"volumes",    "ssl",        "domain",      "codepage",
                                   "disk-state", "share-name", "bt-firmware", "port-config"};
const int kQueryNameCount = sizeof kQueryNames / sizeof kQueryNames[0];

namespace {

void PrintLine(const std::string& line)
{
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
}

// Starts the socket layer for one command and always stops it again.
class NetworkSession {
public:
    NetworkSession() : started_(StartNetwork() == 1) {}
    ~NetworkSession()
    {
        ClearDevices();
        ClearVolumes(&volumeList);
        if (started_)
            StopNetwork();
    }
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;
    bool started() const { return started_; }

private:
    bool started_;
};

int NetworkFailure()
{
    fprintf(stderr, "kavronctl: the socket layer could not be started\n");
    return kExitNetwork;
}

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

int RunDiscover(const CommandOptions& options)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    Discover(options.selector1, options.selector2);
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
    Discover(options.selector1, options.selector2);
    CopyTextTo(protocolSession.selectedAddress, address.c_str());
    if (FindSelectedDevice() == nullptr) {
        fprintf(stderr, "kavronctl: no device found at %s\n", address.c_str());
        return kExitNoAnswer;
    }

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
