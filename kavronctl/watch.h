// kavronctl watch: discovery again and again, one line for each change between two
// passes. The first pass reports every device it finds as appeared.
#pragma once

#include <string>
#include <vector>

#include "commands.h"
#include "protocol.h"

namespace CLI {
class App;
}
struct CommandLine;

struct WatchOptions {
    double intervalSeconds = 5;  // between the end of a pass and the next
    int count = 0;               // passes; 0: until Ctrl+C
};

// One change between two passes. A device is the same device when its identity bytes
// (the first six of its DeviceId) match: at another address it moved.
struct DeviceChange {
    enum Kind { kAppeared, kLeft, kMoved, kChanged };
    Kind kind;
    DeviceRecord device;  // as now; for kLeft as last seen
    std::string from;     // kMoved: the address it had
    // kChanged, and kMoved when more than the address changed: "name", "netmask",
    // "gateway", "dhcpFlag", "model".
    std::vector<std::string> fields;
};

// The changes from before to after, in after's order, then the devices that left.
std::vector<DeviceChange> CompareDevices(const std::vector<DeviceRecord>& before,
                                         const std::vector<DeviceRecord>& after);

// watch, with its options and its callback.
void RegisterWatchCommand(CLI::App& app, CommandLine& line);

// Exit 0 after count passes or Ctrl+C, 1 without a socket layer.
int RunWatch(const CommandOptions& options, const WatchOptions& watch);
