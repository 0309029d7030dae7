#include "watch.h"

#include <stdio.h>
#include <string.h>

#include <memory>

#include <CLI/CLI.hpp>

#include "command_line.h"

#include "interrupt.h"
#include "output.h"
#include "session.h"

namespace {

bool SameIdentity(const DeviceRecord& a, const DeviceRecord& b)
{
    return memcmp(a.deviceId, b.deviceId, kDeviceIdIdentityBytes) == 0;
}

bool SameAddress(const DeviceRecord& a, const DeviceRecord& b)
{
    return strcmp(a.address, b.address) == 0;
}

// The fields besides the address that differ, by their JSON names.
std::vector<std::string> ChangedFields(const DeviceRecord& a, const DeviceRecord& b)
{
    std::vector<std::string> changed;
    if (strcmp(a.name, b.name) != 0)
        changed.push_back("name");
    if (strcmp(a.netmask, b.netmask) != 0)
        changed.push_back("netmask");
    if (strcmp(a.gateway, b.gateway) != 0)
        changed.push_back("gateway");
    if (strcmp(a.dhcpFlag, b.dhcpFlag) != 0)
        changed.push_back("dhcpFlag");
    if (strcmp(a.model, b.model) != 0)
        changed.push_back("model");
    return changed;
}

const char* KindName(DeviceChange::Kind kind)
{
    switch (kind) {
    case DeviceChange::kAppeared:
        return "appeared";
    case DeviceChange::kLeft:
        return "left";
    case DeviceChange::kMoved:
        return "moved";
    default:
        return "changed";
    }
}

// A JSON object per line; or tab-separated: the change, its detail (the old address of
// a move, the changed fields joined by commas, else empty), then discover's columns.
void PrintChange(const CommandOptions& options, const DeviceChange& change)
{
    std::string fields;
    for (const std::string& field : change.fields)
        fields += (fields.empty() ? "" : ",") + field;
    if (options.json) {
        nlohmann::json line = {{"event", KindName(change.kind)}, {"device", DeviceJson(change.device)}};
        if (change.kind == DeviceChange::kMoved)
            line["from"] = change.from;
        if (!change.fields.empty())
            line["fields"] = change.fields;
        PrintLine(DumpJson(line));
    } else {
        const std::string detail =
            change.kind == DeviceChange::kMoved ? change.from + (fields.empty() ? "" : "," + fields) : fields;
        PrintLine(std::string(KindName(change.kind)) + "\t" + detail + "\t" + DeviceLine(change.device));
    }
}

std::vector<DeviceRecord> CurrentDevices()
{
    std::vector<DeviceRecord> devices;
    for (const DeviceRecord* device = deviceList.head; device != nullptr; device = device->next) {
        devices.push_back(*device);
        devices.back().next = nullptr;
    }
    return devices;
}

}  // namespace

std::vector<DeviceChange> CompareDevices(const std::vector<DeviceRecord>& before,
                                         const std::vector<DeviceRecord>& after)
{
    // First the records at the same address with the same identity, then a record of
    // the same identity elsewhere (moved); what is left of before has left.
    std::vector<bool> matched(before.size(), false);
    std::vector<int> partner(after.size(), -1);
    for (size_t a = 0; a < after.size(); ++a) {
        for (size_t b = 0; b < before.size() && partner[a] < 0; ++b) {
            if (!matched[b] && SameIdentity(before[b], after[a]) && SameAddress(before[b], after[a])) {
                matched[b] = true;
                partner[a] = static_cast<int>(b);
            }
        }
    }
    for (size_t a = 0; a < after.size(); ++a) {
        for (size_t b = 0; b < before.size() && partner[a] < 0; ++b) {
            if (!matched[b] && SameIdentity(before[b], after[a])) {
                matched[b] = true;
                partner[a] = static_cast<int>(b);
            }
        }
    }

    std::vector<DeviceChange> changes;
    for (size_t a = 0; a < after.size(); ++a) {
        if (partner[a] < 0) {
            changes.push_back({DeviceChange::kAppeared, after[a], "", {}});
            continue;
        }
        const DeviceRecord& old = before[partner[a]];
        std::vector<std::string> fields = ChangedFields(old, after[a]);
        if (!SameAddress(old, after[a])) {
            changes.push_back({DeviceChange::kMoved, after[a], old.address, fields});
        } else if (!fields.empty()) {
            changes.push_back({DeviceChange::kChanged, after[a], "", fields});
        }
    }
    for (size_t b = 0; b < before.size(); ++b) {
        if (!matched[b])
            changes.push_back({DeviceChange::kLeft, before[b], "", {}});
    }
    return changes;
}

int RunWatch(const CommandOptions& options, const WatchOptions& watch)
{
    NetworkSession network;
    if (!network.started())
        return NetworkFailure();
    CatchInterrupt();
    std::vector<DeviceRecord> known;
    for (int pass = 0; !Interrupted() && (watch.count == 0 || pass < watch.count); ++pass) {
        if (pass > 0 && !PauseUnlessInterrupted(watch.intervalSeconds))
            break;
        Discover(options.selector1, options.selector2, Pace(options));
        std::vector<DeviceRecord> now = CurrentDevices();
        {
            // A console closed meanwhile ends the process only after these lines.
            OutputLines lines;
            for (const DeviceChange& change : CompareDevices(known, now))
                PrintChange(options, change);
            // Each line as it comes: a script reading the pipe acts on a change at once.
            fflush(stdout);
        }
        known.swap(now);
    }
    EndOfCommand();
    return kExitOk;
}

void RegisterWatchCommand(CLI::App& app, CommandLine& line)
{
    auto watchOptions = std::make_shared<WatchOptions>();
    CLI::App* watch = app.add_subcommand(
        "watch", "Discover again and again and print one line per change (the first pass: every device appeared)");
    watch->add_option("--interval", watchOptions->intervalSeconds, "Seconds between passes (default 5)")
        ->check(CLI::Range(0.0, 86400.0));
    watch->add_option("--count", watchOptions->count, "Passes to make (default: until Ctrl+C)")
        ->check(CLI::Range(1, 1000000));
    AddQuickFlag(watch, &line);
    AddCommonOptions(watch, &line);
    OnCommand(watch, &line, [&line, watchOptions] { return RunWatch(line.options, *watchOptions); });
}
