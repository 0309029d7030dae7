// kavronctl as a user runs it, against simulated devices.
#include <gtest/gtest.h>
#include <stdio.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <string>
#include <vector>

#include "sim_control.h"

namespace {

struct CommandRun {
    int status;
    std::string out;
};

std::string Program()
{
    std::string path = KAVRONCTL_PATH;
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    path = "Z:" + path;
#endif
    return path;
}

CommandRun Kavronctl(const std::string& arguments)
{
    std::string command = Program() + " " + arguments;
#ifdef _WIN32
    FILE* pipe = _popen(command.c_str(), "rb");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    CommandRun run{-1, ""};
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
#ifdef _WIN32
    run.status = _pclose(pipe);
#else
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    // Text lines may come with CRLF on Windows.
    std::string clean;
    for (char c : run.out) {
        if (c != '\r')
            clean += c;
    }
    run.out = clean;
    return run;
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
                  {{"3", "HDD_1:USB1"},
                   {"19", "1"},
                   {"20", "LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0::1"}}}});
        // Name bytes that are not UTF-8.
        json odd = SimDevice("02a1b2c3d4b0", "203.0.113.30");
        odd.update(json{{"nameHex", "4f6666ff6365"},
                        {"layout", 2},
                        {"dhcp", "1"},
                        {"on", json::array({kSimLan1})},
                        {"unanswered", json::array({19})}});
        ASSERT_TRUE(ApplySimDevices({office, odd}));
    }
};

TEST_F(KavronctlLab, DiscoverAsJsonAndAsLines)
{
    CommandRun run = Kavronctl("discover --json");
    ASSERT_EQ(run.status, 0) << run.out;
    json devices = json::parse(run.out, nullptr, false);
    ASSERT_TRUE(devices.is_array()) << run.out;
    ASSERT_EQ(devices.size(), 2u);
    for (const json& device : devices) {
        for (const char* key :
             {"name", "address", "netmask", "gateway", "dhcpFlag", "model", "interfaceIndex", "deviceId"}) {
            EXPECT_TRUE(device.contains(key)) << key;
        }
        if (device["address"] == "198.51.100.20") {
            EXPECT_EQ(device["name"], "Office NAS");
            EXPECT_EQ(device["model"], "ZKM-150");
            EXPECT_EQ(device["deviceId"], "02a1b2c3d4e5c6336414");
        } else {
            EXPECT_EQ(device["name"], "Off\xef\xbf\xbd"
                                      "ce");  // replaced, not refused
            EXPECT_EQ(device["dhcpFlag"], "1");
        }
    }

    run = Kavronctl("discover");
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> lines = Split(run.out, '\n');
    ASSERT_EQ(lines.size(), 3u);  // two devices, then the empty rest after the last newline
    bool sawOffice = false;
    for (size_t i = 0; i < 2; ++i) {
        std::vector<std::string> fields = Split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 7u) << lines[i];
        if (fields[1] == "198.51.100.20") {
            sawOffice = true;
            EXPECT_EQ(fields, (std::vector<std::string>{"Office NAS", "198.51.100.20", "255.255.255.0", "198.51.100.1",
                                                        "0", "ZKM-150", fields[6]}));
        }
    }
    EXPECT_TRUE(sawOffice);
}

TEST_F(KavronctlLab, QueryPrintsTheValue)
{
    CommandRun volumes = Kavronctl("query 198.51.100.20 volumes");
    ASSERT_EQ(volumes.status, 0);
    EXPECT_EQ(volumes.out, "HDD_1\nUSB1\n");

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
    EXPECT_EQ(Kavronctl("query 198.51.100 ssl").status, 2);
    EXPECT_EQ(Kavronctl("discover --selectors 3").status, 2);
}

}  // namespace
