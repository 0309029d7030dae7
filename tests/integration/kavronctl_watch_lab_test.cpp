// kavronctl watch and web against simulated devices, natively and under Wine; natively
// also Ctrl+C, the browser started, and the Windows-only commands refused.
#include <gtest/gtest.h>
#include <stdlib.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "kavronctl_run.h"
#include "sim_control.h"
#include "wine_io.h"

namespace {

json Office(const char* address, const char* name)
{
    json device = SimDevice("02a1b2c3d4e5", address);
    device.update(json{{"name", name}, {"on", json::array({kSimLan0})}, {"values", {{"19", "1"}}}});
    return device;
}

json Plain()
{
    json device = SimDevice("02a1b2c3d4b0", "203.0.113.30");
    device.update(json{{"name", "Plain"}, {"on", json::array({kSimLan1})}, {"values", {{"19", "0"}}}});
    return device;
}

// The next line of a running watch, parsed; null at the end of its output.
json NextEvent(FILE* pipe, std::string* seen)
{
    char line[4096];
    if (!fgets(line, sizeof line, pipe))
        return json();
    *seen += line;
    return json::parse(WithoutCarriageReturns(line), nullptr, false);
}

// Reads events until one of kind for address; false when the watch ended first.
bool AwaitEvent(FILE* pipe, const char* kind, const char* address, json* event, std::string* seen)
{
    for (json next = NextEvent(pipe, seen); !next.is_null(); next = NextEvent(pipe, seen)) {
        if (next.value("event", "") == kind && next["device"].value("address", "") == address) {
            *event = next;
            return true;
        }
    }
    return false;
}

TEST(KavronctlWatch, ReportsDevicesThatAppearLeaveComeBackMoveAndChange)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.20", "Office"), Plain()})));
    // Enough passes for every step below (each is seen one or two passes after it).
    FILE* watch = StartKavronctl("watch --json --interval 0.2 --count 12");
    ASSERT_NE(watch, nullptr);
    std::string seen;
    json event;
    // The first pass: both devices, in the order the interfaces answered.
    json first = NextEvent(watch, &seen);
    json second = NextEvent(watch, &seen);
    if (first["device"].value("address", "") != "198.51.100.20")
        std::swap(first, second);
    EXPECT_EQ(first.value("event", ""), "appeared") << seen;
    EXPECT_EQ(first["device"]["name"], "Office");
    EXPECT_EQ(first["device"]["deviceId"], "02a1b2c3d4e5c6336414");
    EXPECT_EQ(second.value("event", ""), "appeared") << seen;
    EXPECT_EQ(second["device"].value("address", ""), "203.0.113.30") << seen;

    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.20", "Office")})));
    ASSERT_TRUE(AwaitEvent(watch, "left", "203.0.113.30", &event, &seen)) << seen;
    EXPECT_EQ(event["device"]["name"], "Plain") << "as last seen";
    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.20", "Office"), Plain()})));
    ASSERT_TRUE(AwaitEvent(watch, "appeared", "203.0.113.30", &event, &seen)) << seen;

    // The same identity at another address moved, and says what else changed.
    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.21", "Front desk"), Plain()})));
    ASSERT_TRUE(AwaitEvent(watch, "moved", "198.51.100.21", &event, &seen)) << seen;
    EXPECT_EQ(event["from"], "198.51.100.20");
    EXPECT_EQ(event["fields"], json::array({"name"}));
    json plain = Plain();
    plain["netmask"] = "255.255.0.0";
    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.21", "Front desk"), plain})));
    ASSERT_TRUE(AwaitEvent(watch, "changed", "203.0.113.30", &event, &seen)) << seen;
    EXPECT_EQ(event["fields"], json::array({"netmask"}));

    // Nothing else changes: the rest of the passes print nothing, and the count ends it.
    const CommandRun rest = Finish(watch);
    EXPECT_EQ(rest.status, 0);
    EXPECT_EQ(rest.out, "") << seen;

    // The text form: the change, its detail, then discover's columns.
    const CommandRun once = Kavronctl("watch --count 1");
    ASSERT_EQ(once.status, 0);
    EXPECT_NE(once.out.find("appeared\t\tFront desk\t198.51.100.21\t"), std::string::npos) << once.out;

#ifndef _WIN32
    // Ctrl+C ends it cleanly, in the middle of its pause.
    const CommandRun stopped = Kavronctl("watch --interval 60 & pid=$!; sleep 2; kill -INT $pid; wait $pid");
    EXPECT_EQ(stopped.status, 0);
    EXPECT_NE(stopped.out.find("appeared\t"), std::string::npos) << stopped.out;
#endif
}

#ifndef _WIN32
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

TEST(KavronctlWeb, PrintsTheSchemeTheDeviceAsksForAndOpensIt)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Office("198.51.100.20", "Office"), Plain()})));
    CommandRun run = Kavronctl("web 198.51.100.20 --print");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "https://198.51.100.20\n");
    run = Kavronctl("web 203.0.113.30 --print --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(json::parse(run.out, nullptr, false), (json{{"url", "http://203.0.113.30"}}));
    run = KavronctlApart("web 198.51.100.99 --print");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no device found at 198.51.100.99"), std::string::npos) << run.err;

#ifndef _WIN32
    // The default browser: whatever xdg-open the PATH finds, given the address.
    const std::string opened = LabFile("opened", "");
    const std::string opener = LabFile("xdg-open", "#!/bin/sh\necho \"$1\" >\"" + opened + "\"\n");
    ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
    const std::string path = getenv("PATH");
    setenv("PATH", (opener.substr(0, opener.rfind('/')) + ":" + path).c_str(), 1);
    run = Kavronctl("web 198.51.100.20");
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "https://198.51.100.20\n");
    EXPECT_EQ(ReadFile(opened), "https://198.51.100.20\n");

    // The commands of drive letters and add-ons say that they are Windows'.
    for (const char* command :
         {"map 198.51.100.20 HDD_1", "unmap Y:", "install-codepage 198.51.100.20 950", "install-bt 198.51.100.20"}) {
        run = KavronctlApart(command);
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_NE(run.err.find("works on Windows only"), std::string::npos) << run.err;
    }
#endif
}

}  // namespace
