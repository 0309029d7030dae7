#include <gtest/gtest.h>

#include <string>

#include "config.h"

namespace devsim {
namespace {

std::string WithDevice(const std::string& device)
{
    return R"({"generation": 3, "interfaces": ["198.51.100.2", "203.0.113.2"], "devices": [)" + device + "]}";
}

ConfigResult Device(const std::string& extra)
{
    return ParseConfig(WithDevice(R"({"identity": "02a1b2c3d4e5", "address": "198.51.100.20")" +
                                  (extra.empty() ? "" : ", " + extra) + "}"));
}

TEST(Config, ShippedFilesAreValid)
{
    for (const char* file : {"/default.json", "/examples/reference.json", "/examples/awkward.json"}) {
        const ConfigResult r = LoadConfigFile(std::string(DEVSIM_SOURCE_DIR) + file);
        EXPECT_TRUE(r.ok) << file << ": " << r.error;
    }
}

TEST(Config, DefaultFileHasTheDevicesTheRunCommandNeeds)
{
    const ConfigResult r = LoadConfigFile(std::string(DEVSIM_SOURCE_DIR) + "/default.json");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_GE(r.config.devices.size(), 3u);
    int twoPort = 0, dhcpClient = 0, fixedNoGateway = 0, emptyPassword = 0, password = 0;
    for (const DeviceConfig& d : r.config.devices) {
        const Ipv4& a = d.address;
        EXPECT_TRUE((a[0] == 198 && a[1] == 51 && a[2] == 100) || (a[0] == 203 && a[1] == 0 && a[2] == 113));
        EXPECT_GT(a[3], 2) << "the lab itself uses .1 and .2";
        for (int sub : {3, 9, 11, 12, 15, 18, 19, 20})
            EXPECT_TRUE(d.values.count(sub)) << sub;
        if (d.model == "ZKM-150" && d.layout == 8) {
            ++twoPort;
            const std::string volumes(d.values.at(3).begin(), d.values.at(3).end());
            bool nonAscii = false;
            for (unsigned char c : volumes)
                nonAscii = nonAscii || c >= 0x80;
            EXPECT_TRUE(nonAscii) << volumes;
            EXPECT_TRUE(d.dhcpAddress.has_value());
            const std::string ports(d.values.at(20).begin(), d.values.at(20).end());
            EXPECT_EQ(ports.rfind("LAN1:", 0), 0u);
            EXPECT_NE(ports.find(":LAN2:"), std::string::npos);
        } else if (d.dhcpFlag == '1') {
            ++dhcpClient;
        } else if (d.gateway.empty() || d.gateway == "0.0.0.0") {
            ++fixedNoGateway;
        }
        (d.admin.password.empty() ? emptyPassword : password)++;
    }
    EXPECT_EQ(twoPort, 1);
    EXPECT_GE(dhcpClient, 1);
    EXPECT_GE(fixedNoGateway, 1);
    EXPECT_GE(emptyPassword, 1);
    EXPECT_GE(password, 1);
}

TEST(Config, DefaultsForOptionalKeys)
{
    const ConfigResult r = Device("");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.config.generation, 3u);
    const DeviceConfig& d = r.config.devices.at(0);
    EXPECT_EQ(d.layout, 8);
    EXPECT_EQ(d.selector1, 3);
    EXPECT_EQ(d.selector2, 3);
    EXPECT_EQ(d.dhcpFlag, '0');
    EXPECT_EQ(d.on, (std::vector<std::string>{"198.51.100.2", "203.0.113.2"}));
    EXPECT_EQ(d.reply, ReplyMode::kMulticast);
    EXPECT_EQ(d.admin.user, ToBytes("admin"));
    EXPECT_TRUE(d.admin.password.empty());
    EXPECT_EQ(d.admin.verdict, 1);
    EXPECT_FALSE(d.nameLength.has_value());
    EXPECT_FALSE(d.noise.has_value());
    EXPECT_FALSE(d.dhcpAddress.has_value());
}

TEST(Config, RawBytesWinOverText)
{
    const ConfigResult r = Device(R"("name": "Text", "nameHex": "ff00ff",
      "values": {"3": "HDD_1", "9": "950"}, "valuesHex": {"3": "e697a5"},
      "admin": {"password": "pw", "verdict": -1})");
    ASSERT_TRUE(r.ok) << r.error;
    const DeviceConfig& d = r.config.devices.at(0);
    EXPECT_EQ(d.name, (Bytes{0xff, 0x00, 0xff}));
    EXPECT_EQ(d.values.at(3), (Bytes{0xe6, 0x97, 0xa5}));
    EXPECT_EQ(d.values.at(9), ToBytes("950"));
    EXPECT_EQ(d.admin.user, ToBytes("admin"));  // a partial admin keeps the other defaults
    EXPECT_EQ(d.admin.verdict, 0xff);
}

TEST(Config, ErrorsNameTheKey)
{
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"not json", "not valid JSON"},
        {R"({"interfaces": ["198.51.100.2"]})", "missing \"generation\""},
        {R"({"generation": 1, "interfaces": []})", "interfaces"},
        {R"({"generation": 1, "interfaces": ["198.51.100.2", "198.51.100.2"]})", "listed twice"},
        {R"({"generation": -1, "interfaces": ["198.51.100.2"]})", "generation"},
        {R"({"generation": 1.5, "interfaces": ["198.51.100.2"]})", "generation: expected an integer"},
        {R"({"generation": 1, "interfaces": ["198.51.100.2"], "devicez": []})", "unknown key \"devicez\""},
        {WithDevice(R"({"address": "198.51.100.20"})"), "devices[0]: missing \"identity\""},
        {WithDevice(R"({"identity": "02a1b2c3d4", "address": "198.51.100.20"})"), "devices[0].identity"},
        {WithDevice(R"({"identity": "02a1b2c3d4e5", "address": "198.51.100.300"})"), "devices[0].address"},
    };
    for (const Case& c : cases) {
        const ConfigResult r = ParseConfig(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_NE(r.error.find(c.expected), std::string::npos) << c.text << " -> " << r.error;
    }
    struct DeviceCase {
        const char* extra;
        const char* expected;
    } deviceCases[] = {
        {R"("nmae": "x")", "devices[0]: unknown key \"nmae\""},
        {R"("layout": 5)", "devices[0].layout: must be 2, 7 or 8"},
        {R"("dhcp": "10")", "devices[0].dhcp"},
        {R"("on": ["198.51.100.9"])", "devices[0].on[0]: \"198.51.100.9\" is not one of"},
        {R"("reply": "broadcast")", "devices[0].reply"},
        {R"("values": {"03": "x"})", "\"03\" is not a sub-code"},
        {R"("values": {"256": "x"})", "\"256\" is not a sub-code"},
        {R"("values": {"3": 7})", "devices[0].values.3: expected a string"},
        {R"("valuesHex": {"3": "abc"})", "devices[0].valuesHex.3"},
        {R"("selectors": [3])", "devices[0].selectors"},
        {R"("selectors": [3, 256])", "devices[0].selectors[1]"},
        {R"("unanswered": [19, "x"])", "devices[0].unanswered[1]"},
        {R"("delayMs": -5)", "devices[0].delayMs"},
        {R"("admin": {"user": "a", "pass": "b"})", "devices[0].admin: unknown key \"pass\""},
        {R"("admin": {"verdict": 256})", "devices[0].admin.verdict"},
        {R"("noise": {"opcode": 9, "count": 3})", "devices[0].noise: missing \"intervalMs\""},
        {R"("answerTwice": 1)", "devices[0].answerTwice: expected true or false"},
        {R"("nameLength": 4294967296)", "devices[0].nameLength"},
        {R"("addonFolders": "no")", "devices[0].addonFolders: expected true or false"},
        {R"("extraFolders": "HDD_1/x")", "devices[0].extraFolders: expected an array"},
        {R"("extraFolders": ["HDD_1"])", "devices[0].extraFolders[0]: \"HDD_1\" names no folder"},
        {R"("unwritablePaths": ["HDD_1/a/../b"])", "devices[0].unwritablePaths[0]"},
        {R"("unwritablePaths": ["HDD_1/x/"])", "unwritablePaths[0]: \"HDD_1/x/\": an empty name"},
        {R"("unwritablePaths": ["HDD_1\\x/y"])", "no '/', '\\' or NUL"},
    };
    for (const DeviceCase& c : deviceCases) {
        const ConfigResult r = Device(c.extra);
        EXPECT_FALSE(r.ok) << c.extra;
        EXPECT_NE(r.error.find(c.expected), std::string::npos) << c.extra << " -> " << r.error;
    }
}

TEST(Config, OverlongPayloadsAreRefused)
{
    const std::string big(kMaxPayloadBytes + 1, 'x');
    EXPECT_FALSE(Device(R"("name": ")" + big + "\"").ok);
    EXPECT_FALSE(Device(R"("values": {"3": ")" + big + "\"}").ok);
    EXPECT_TRUE(Device(R"("values": {"3": ")" + big.substr(1) + "\"}").ok);
}

TEST(Config, MissingFileIsAnError)
{
    const ConfigResult r = LoadConfigFile("/nonexistent/devsim.json");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("/nonexistent/devsim.json"), std::string::npos);
}

}  // namespace
}  // namespace devsim
