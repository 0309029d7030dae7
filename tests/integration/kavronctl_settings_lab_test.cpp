// kavronctl's setting commands as a user runs them, against simulated devices: exit
// statuses, messages, JSON, and the settings the simulator received.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kavronctl_run.h"
#include "sim_control.h"

namespace {

const char kPortTable[] = "LAN1:198.51.100.21:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.21:255.255.255.0::1";

class KavronctlSettings : public ::testing::Test {
protected:
    // Every test starts from these devices: the commands move them.
    void SetUp() override
    {
        auto device = [](const char* address, const char* sim, const json& settings) {
            json d = SimDevice("02a1b2c3d4e5", address);
            d.update(json{{"on", json::array({sim})}});
            d.update(settings);
            return d;
        };
        ASSERT_TRUE(ApplySimDevices({
            device("198.51.100.20", kSimLan0, {{"dhcpAddress", "198.51.100.120"}}),
            device("203.0.113.40", kSimLan1, {{"admin", {{"password", "vault!key"}}}}),
            device("198.51.100.30", kSimLan0, {{"unanswered", json::array({4})}}),
            device("198.51.100.31", kSimLan0, {{"unanswered", json::array({2})}}),
            device("198.51.100.21", kSimLan0, {{"model", "ZKM-150"}, {"values", {{"20", kPortTable}}}}),
        }));
        mark_ = SimLogMark();
    }

    // Requests of the given opcode the simulator received since the test began.
    std::vector<json> Received(int opcode) const
    {
        std::vector<json> requests;
        for (const json& line : SimLogSince(mark_)) {
            if (!line.contains("sent") && line.value("opcode", 0) == opcode)
                requests.push_back(line);
        }
        return requests;
    }

    size_t mark_ = 0;
};

json Json(const CommandRun& run)
{
    return json::parse(run.out, nullptr, false);
}

bool Says(const CommandRun& run, const std::string& text)
{
    return run.err.find(text) != std::string::npos;
}

std::string TextHex(const std::string& text)
{
    return Hex(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// A text field of a datagram: from offset to its first zero.
std::string Field(const std::string& bytes, size_t offset)
{
    return bytes.size() > offset ? std::string(bytes.c_str() + offset) : "";
}

TEST_F(KavronctlSettings, VerifyAdminAnswersWithItsExitStatus)
{
    CommandRun accepted = KavronctlApart("verify-admin 198.51.100.20 --json");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(Json(accepted), (json{{"outcome", "accepted"}, {"verdict", 1}, {"address", "198.51.100.20"}}));

    CommandRun refused = KavronctlApart("verify-admin 203.0.113.40");
    EXPECT_EQ(refused.status, 4);
    EXPECT_TRUE(Says(refused, "refused")) << refused.err;
    CommandRun fromStdin =
        KavronctlApart("verify-admin 203.0.113.40 --password-stdin --json", LabFile("password.in", "vault!key\r\n"));
    EXPECT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(Json(fromStdin).value("outcome", ""), "accepted");

    CommandRun silent = KavronctlApart("verify-admin 198.51.100.30 --json");
    EXPECT_EQ(silent.status, 3);
    EXPECT_EQ(Json(silent).value("outcome", ""), "no answer");
    EXPECT_TRUE(Says(silent, "did not answer")) << silent.err;
}

TEST_F(KavronctlSettings, SetAddressChecksTheInputThenTheAdministrator)
{
    // The panel's rules come first; nothing goes out for input they refuse.
    CommandRun loopback = KavronctlApart("set-address 203.0.113.40 127.0.0.1 255.255.255.0 203.0.113.1");
    EXPECT_EQ(loopback.status, 2);
    EXPECT_TRUE(Says(loopback, "IP address input error. Please try again.")) << loopback.err;
    CommandRun gateway = KavronctlApart("set-address 203.0.113.40 203.0.113.41 255.255.255.0 224.0.0.1 --json");
    EXPECT_EQ(gateway.status, 2);
    EXPECT_EQ(Json(gateway), (json{{"outcome", "invalid"},
                                   {"message", "Invalid gateway IP address in 1st digit. It should be 1-223."},
                                   {"field", "gateway"},
                                   {"octet", 0},
                                   {"address", "203.0.113.40"}}));
    EXPECT_TRUE(SimLogSince(mark_).empty());

    // The empty password is refused; without a terminal there is nothing else to try.
    CommandRun noTerminal = KavronctlApart("set-address 203.0.113.40 203.0.113.41 255.255.255.0 203.0.113.1");
    EXPECT_EQ(noTerminal.status, 4);
    EXPECT_TRUE(Says(noTerminal, "wants the administrator password")) << noTerminal.err;
    CommandRun wrong =
        KavronctlApart("set-address 203.0.113.40 203.0.113.41 255.255.255.0 203.0.113.1 --password nope");
    EXPECT_EQ(wrong.status, 4);
    EXPECT_TRUE(Says(wrong, "Wrong administrator password input!")) << wrong.err;
    std::vector<std::string> asked;
    for (const json& check : Received(3))
        asked.push_back(check.value("data", ""));
    const std::string empty = TextHex("admin") + "55aa";
    EXPECT_EQ(asked, (std::vector<std::string>{empty, empty, empty + TextHex("nope")}));
    EXPECT_TRUE(Received(5).empty());

    CommandRun done =
        KavronctlApart("set-address 203.0.113.40 203.0.113.41 255.255.255.0 203.0.113.1 --password vault!key --json");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(Json(done), (json{{"outcome", "done"},
                                {"address", "203.0.113.41"},
                                {"moved", {{"from", "203.0.113.40"}, {"to", "203.0.113.41"}}},
                                {"netmask", "255.255.255.0"},
                                {"gateway", "203.0.113.1"}}));
    std::vector<json> settings = Received(5);
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].value("subcode", 0), 1);
    EXPECT_EQ(settings[0].value("data", ""), TextHex("203.0.113.41"));
    const std::string request = FromHex(settings[0].value("hex", ""));
    EXPECT_EQ(Field(request, 24), "255.255.255.0");
    EXPECT_EQ(Field(request, 40), "203.0.113.1");
}

TEST_F(KavronctlSettings, EnableDhcpTakesTheAddressTheDeviceReports)
{
    CommandRun done = KavronctlApart("enable-dhcp 198.51.100.20 --json");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(Json(done), (json{{"outcome", "done"},
                                {"address", "198.51.100.120"},
                                {"moved", {{"from", "198.51.100.20"}, {"to", "198.51.100.120"}}}}));
    CommandRun text = KavronctlApart("enable-dhcp 198.51.100.120");
    EXPECT_EQ(text.out, "DHCP client enabled: 198.51.100.120 -> 198.51.100.120\n");

    // Accepted as administrator, then no answer to the setting: 11 s.
    CommandRun silent = KavronctlApart("enable-dhcp 198.51.100.31");
    EXPECT_EQ(silent.status, 3);
    EXPECT_TRUE(Says(silent, "198.51.100.31 did not answer")) << silent.err;
}

TEST_F(KavronctlSettings, SetPortsOnlyOnTheTwoPortModel)
{
    CommandRun single = KavronctlApart("set-ports 198.51.100.20 --lan1 dhcp");
    EXPECT_EQ(single.status, 2);
    EXPECT_TRUE(Says(single, "not a two-port device")) << single.err;
    CommandRun invalid = KavronctlApart("set-ports 198.51.100.21 --lan2 0.1.2.3/255.255.255.0");
    EXPECT_EQ(invalid.status, 2);
    EXPECT_TRUE(Says(invalid, "LAN2: Invalid IP address in 1st digit. It should be 1-223.")) << invalid.err;
    EXPECT_TRUE(Received(5).empty());

    CommandRun done =
        KavronctlApart("set-ports 198.51.100.21 --lan1 198.51.100.22/255.255.255.0/198.51.100.1 --lan2 dhcp --json");
    EXPECT_EQ(done.status, 0) << done.err;
    json outcome = Json(done);
    EXPECT_EQ(outcome["moved"], (json{{"from", "198.51.100.21"}, {"to", "198.51.100.22"}}));
    EXPECT_EQ(outcome["ports"][1], (json{{"portName", "LAN2"},
                                         {"address", "203.0.113.21"},
                                         {"netmask", "255.255.255.0"},
                                         {"gateway", ""},
                                         {"dhcpFlag", "1"}}));

    // The whole table, LAN1 as given and LAN2 as the device reported it but for DHCP,
    // with LAN1's texts in the two fields.
    std::vector<json> settings = Received(5);
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].value("subcode", 0), 21);
    const std::string table = FromHex(settings[0].value("data", ""));
    ASSERT_EQ(table.size(), 120u);
    EXPECT_EQ(Field(table, 0), "LAN1");
    EXPECT_EQ(Field(table, 10), "198.51.100.22");
    EXPECT_EQ(Field(table, 42), "198.51.100.1");
    EXPECT_EQ(Field(table, 58), "0");
    EXPECT_EQ(Field(table, 60), "LAN2");
    EXPECT_EQ(Field(table, 70), "203.0.113.21");
    EXPECT_EQ(Field(table, 118), "1");
    const std::string request = FromHex(settings[0].value("hex", ""));
    EXPECT_EQ(Field(request, 24), "255.255.255.0");
    EXPECT_EQ(Field(request, 40), "198.51.100.1");
}

}  // namespace
