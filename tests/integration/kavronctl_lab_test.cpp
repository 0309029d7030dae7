// kavronctl as a user runs it, against simulated devices.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cadence.h"
#include "kavronctl_run.h"
#include "sim_control.h"

namespace {

std::set<std::string> JsonAddresses(const std::string& out)
{
    std::set<std::string> addresses;
    json devices = json::parse(out, nullptr, false);
    if (devices.is_array()) {
        for (const json& device : devices)
            addresses.insert(device.value("address", ""));
    }
    return addresses;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return pieces;
        start = end + 1;
    }
}

const char kForgerName[] = "A\tB\n198.51.100.99\\\x01\x7f";
const char kForgerLine[] = "A\\tB\\n198.51.100.99\\\\\\x01\\x7f";

class KavronctlLab : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        json office = SimDevice("02a1b2c3d4e5", "198.51.100.20");
        office.update(
            json{{"netmask", "255.255.255.0"},
                 {"gateway", "198.51.100.1"},
                 {"name", "Office NAS"},
                 {"model", "ZKM-150"},
                 {"on", json::array({kSimLan0})},
                 {"values",
                  {{"3", "HDD_1:USB1:Tab\there"},
                   {"12", "HDD\r\n1"},
                   {"19", "1"},
                   {"20", "LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0::1"}}}});
        // Name bytes that are not UTF-8.
        json odd = SimDevice("02a1b2c3d4b0", "203.0.113.30");
        odd.update(json{{"nameHex", "4f6666ff6365"},
                        {"layout", 2},
                        {"dhcp", "1"},
                        {"on", json::array({kSimLan1})},
                        {"unanswered", json::array({19})}});
        // A name that would shift columns and forge a second line if printed raw.
        json forger = SimDevice("02a1b2c3d4c0", "198.51.100.40");
        forger.update(json{{"name", kForgerName}, {"on", json::array({kSimLan0})}});
        ASSERT_TRUE(ApplySimDevices({office, odd, forger}));
    }
};

TEST_F(KavronctlLab, DiscoverAsJsonAndAsLines)
{
    CommandRun run = Kavronctl("discover --json");
    ASSERT_EQ(run.status, 0) << run.out;
    json devices = json::parse(run.out, nullptr, false);
    ASSERT_TRUE(devices.is_array()) << run.out;
    ASSERT_EQ(devices.size(), 3u);
    for (const json& device : devices) {
        for (const char* key :
             {"name", "address", "netmask", "gateway", "dhcpFlag", "model", "interfaceIndex", "deviceId"}) {
            EXPECT_TRUE(device.contains(key)) << key;
        }
        if (device["address"] == "198.51.100.20") {
            EXPECT_EQ(device["name"], "Office NAS");
            EXPECT_EQ(device["model"], "ZKM-150");
            EXPECT_EQ(device["deviceId"], "02a1b2c3d4e5c6336414");
        } else if (device["address"] == "198.51.100.40") {
            EXPECT_EQ(device["name"], kForgerName);  // JSON escapes it already
        } else {
            EXPECT_EQ(device["name"], "Off\xef\xbf\xbd"
                                      "ce");  // replaced, not refused
            EXPECT_EQ(device["dhcpFlag"], "1");
        }
    }

    run = Kavronctl("discover");
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> lines = Split(run.out, '\n');
    // One line per device (then the empty rest after the last newline), seven fields
    // each, whatever bytes the names hold.
    ASSERT_EQ(lines.size(), 4u) << run.out;
    std::set<std::string> seen;
    for (size_t i = 0; i < 3; ++i) {
        std::vector<std::string> fields = Split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 7u) << lines[i];
        seen.insert(fields[1]);
        if (fields[1] == "198.51.100.20") {
            EXPECT_EQ(fields, (std::vector<std::string>{"Office NAS", "198.51.100.20", "255.255.255.0", "198.51.100.1",
                                                        "0", "ZKM-150", fields[6]}));
        } else if (fields[1] == "198.51.100.40") {
            EXPECT_EQ(fields[0], kForgerLine);
        } else {
            EXPECT_EQ(fields[0], "Off\xff"
                                 "ce");  // not a control byte: as it came
        }
    }
    EXPECT_EQ(seen, (std::set<std::string>{"198.51.100.20", "198.51.100.40", "203.0.113.30"}));
}

TEST_F(KavronctlLab, QueryPrintsTheValue)
{
    CommandRun volumes = Kavronctl("query 198.51.100.20 volumes");
    ASSERT_EQ(volumes.status, 0);
    EXPECT_EQ(volumes.out, "HDD_1\nUSB1\nTab\\there\n");
    CommandRun share = Kavronctl("query 198.51.100.20 share-name");
    ASSERT_EQ(share.status, 0);
    EXPECT_EQ(share.out, "HDD\\r\\n1\n");

    CommandRun ports = Kavronctl("query 198.51.100.20 port-config --json");
    ASSERT_EQ(ports.status, 0);
    json value = json::parse(ports.out, nullptr, false)["value"];
    ASSERT_TRUE(value.is_array());
    ASSERT_EQ(value.size(), 2u);
    EXPECT_EQ(value[0], (json{{"portName", "LAN1"},
                              {"address", "198.51.100.20"},
                              {"netmask", "255.255.255.0"},
                              {"gateway", "198.51.100.1"},
                              {"dhcpFlag", "0"}}));
    EXPECT_EQ(value[1]["gateway"], "");
    EXPECT_EQ(value[1]["dhcpFlag"], "1");
}

TEST_F(KavronctlLab, ExitStatusForAbsentDevicesAndBadUsage)
{
    CommandRun absent = Kavronctl("query 198.51.100.99 ssl");
    EXPECT_EQ(absent.status, 3);
    EXPECT_EQ(absent.out, "");
    CommandRun silent = Kavronctl("query 203.0.113.30 ssl");
    EXPECT_EQ(silent.status, 3);
    // An empty value is an answer.
    CommandRun empty = Kavronctl("query 198.51.100.20 domain --json");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(json::parse(empty.out, nullptr, false), (json{{"value", ""}}));
    EXPECT_EQ(Kavronctl("query 198.51.100.20 temperature").status, 2);
    // An address in any other spelling than canonical dotted decimal is a usage error.
    for (const char* address : {"198.51.100", "198.51.100.020"}) {
        CommandRun bad = Kavronctl(std::string("query ") + address + " ssl 2>&1");
        EXPECT_EQ(bad.status, 2) << address;
        EXPECT_NE(bad.out.find(std::string("not an IPv4 address in dotted decimal")), std::string::npos) << bad.out;
    }
    EXPECT_EQ(Kavronctl("discover --selectors 3").status, 2);
}

TEST_F(KavronctlLab, TwoInstancesOnOneHostBothDiscoverEveryDevice)
{
    // Both bind port 13579 on the same interfaces; each hears the devices' answers.
    size_t mark = SimLogMark();
    FILE* first = StartKavronctl("discover --json");
    FILE* second = StartKavronctl("discover --json");
    CommandRun a = Finish(first);
    CommandRun b = Finish(second);
    const std::set<std::string> all{"198.51.100.20", "198.51.100.40", "203.0.113.30"};
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(JsonAddresses(a.out), all) << a.out;
    EXPECT_EQ(JsonAddresses(b.out), all) << b.out;

    // They really listened at once: on each interface the two requests came less than
    // one listening time apart.
    std::map<std::string, std::vector<long long>> asked;
    for (const json& line : SimLogSince(mark)) {
        if (!line.contains("sent") && line.value("opcode", 0) == 1)
            asked[line.value("iface", "")].push_back(line.value("t_ms", 0LL));
    }
    for (const char* iface : {kSimLan0, kSimLan1}) {
        ASSERT_EQ(asked[iface].size(), 2u) << iface;
        EXPECT_LT(std::llabs(asked[iface][0] - asked[iface][1]), NominalDiscoveryMs()) << iface;
    }
}

#ifndef _WIN32
TEST_F(KavronctlLab, QuickDiscoveryAsksAsTheFullPassAndFindsEveryDevice)
{
    size_t mark = SimLogMark();
    CommandRun run = Kavronctl("discover --quick --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(JsonAddresses(run.out), (std::set<std::string>{"198.51.100.20", "198.51.100.40", "203.0.113.30"}))
        << run.out;
    // The same request, once on each interface.
    std::map<std::string, int> asked;
    for (const json& line : SimLogSince(mark)) {
        if (!line.contains("sent") && line.value("opcode", 0) == 1)
            ++asked[line.value("iface", "")];
    }
    EXPECT_EQ(asked, (std::map<std::string, int>{{kSimLan0, 1}, {kSimLan1, 1}}));
}
#endif

TEST_F(KavronctlLab, AnAddressHeldByAnotherProgramIsNamedOnStderr)
{
    PortHolder holder;
    ASSERT_TRUE(holder.bound());
    CommandRun run = KavronctlApart("discover --json");
    EXPECT_EQ(run.status, 0);
    // The second interface still answers; the first is named once, with the system's
    // reason, and stdout stays clean.
    EXPECT_EQ(JsonAddresses(run.out), (std::set<std::string>{"203.0.113.30"})) << run.out;
    const std::string prefix =
        std::string("kavronctl: cannot receive the devices' answers at ") + kClientLan0 + ", UDP port 13579: ";
    std::vector<std::string> lines = Split(run.err, '\n');
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[0].compare(0, prefix.size(), prefix), 0) << lines[0];
    EXPECT_GT(lines[0].size(), prefix.size()) << "the system's reason follows";
    EXPECT_EQ(lines[0].find("Error "), std::string::npos) << "the system has a text for it: " << lines[0];
}

}  // namespace
