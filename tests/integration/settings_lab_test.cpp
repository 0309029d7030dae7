// The administrator check and the setting transactions against simulated devices:
// the bytes the simulator received, the verdicts, what changes locally after an
// address change, and how long each waits for a device that stays silent.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "network_environment.h"
#include "protocol.h"
#include "sim_control.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new NetworkEnvironment);

const char kIdentity[] = "02a1b2c3d4e5";

// The record discovery makes for a simulated device, put into a fresh list and
// selected: these tests are about the transactions, and a discovery costs 2 s.
DeviceRecord* Adopt(const char* address, const char* clientInterface = kClientLan0)
{
    ClearDevices();
    DeviceRecord record;
    memset(&record, 0, sizeof record);
    const unsigned char identity[6] = {0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5};
    memcpy(record.deviceId, identity, sizeof identity);
    unsigned char bytes[4];
    EXPECT_TRUE(ParseDottedOctets(address, bytes));
    memcpy(record.deviceId + 6, bytes, 4);
    CopyTextTo(record.address, address);
    CopyTextTo(record.netmask, "255.255.255.0");
    CopyTextTo(record.gateway, "198.51.100.1");
    CopyTextTo(record.dhcpFlag, "0");
    record.interfaceIndex = InterfaceIndexOf(clientInterface);
    CopyTextTo(protocolSession.selectedAddress, address);
    return AddDevice(record);
}

json Lan0Device(const char* address, const json& settings = json::object())
{
    json device = SimDevice(kIdentity, address);
    device["on"] = json::array({kSimLan0});
    device.update(settings);
    return device;
}

// A fresh session: no pending texts, no port table, the given credentials.
void ResetSession(const char* user = "admin", const char* password = "")
{
    memset(&protocolSession, 0, sizeof protocolSession);
    CopyTextTo(protocolSession.adminUser, user);
    CopyTextTo(protocolSession.adminPassword, password);
}

void SetPending(const char* address, const char* netmask, const char* gateway)
{
    CopyTextTo(protocolSession.pendingAddress, address);
    CopyTextTo(protocolSession.pendingNetmask, netmask);
    CopyTextTo(protocolSession.pendingGateway, gateway);
}

// Requests the simulator received since mark.
std::vector<json> Received(size_t mark)
{
    std::vector<json> requests;
    for (const json& line : SimLogSince(mark)) {
        if (!line.contains("sent"))
            requests.push_back(line);
    }
    return requests;
}

// The one request received since mark (fails the test if there is not exactly one).
json OnlyRequest(size_t mark)
{
    std::vector<json> requests = Received(mark);
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? json::object() : requests.back();
}

std::string TextHex(const std::string& text)
{
    return Hex(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// Bytes 24 to 55 of a setting request: the netmask and gateway fields, 16 bytes each.
std::string TextFieldsHex(const char* netmask, const char* gateway)
{
    std::string fields(32, '\0');
    fields.replace(0, strlen(netmask), netmask);
    fields.replace(16, strlen(gateway), gateway);
    return TextHex(fields);
}

std::string HeaderFields(const json& request)
{
    return request.value("hex", "").substr(48, 64);
}

// Checks one setting request: sub-code, the two text fields, data, and a length of
// header plus data.
void ExpectSetting(const json& request, int subCode, const std::string& fieldsHex, const std::string& dataHex)
{
    EXPECT_EQ(request.value("opcode", 0), 5);
    EXPECT_EQ(request.value("subcode", 0), subCode);
    EXPECT_EQ(HeaderFields(request), fieldsHex);
    EXPECT_EQ(request.value("data", "?"), dataHex);
    EXPECT_EQ(request.value("len", 0), 60 + static_cast<int>(dataHex.size() / 2));
}

template <typename Run>
double SecondsOf(Run run)
{
    auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(LabAdminCheck, UserMarkerPasswordWithoutTerminatorsAndASignedVerdict)
{
    json open = Lan0Device("198.51.100.20");
    json signedVerdict =
        Lan0Device("198.51.100.30", {{"admin", {{"user", "root"}, {"password", "sofa-42"}, {"verdict", 128}}}});
    json minusOne = Lan0Device("198.51.100.40", {{"admin", {{"password", "x"}, {"verdict", 255}}}});
    ASSERT_TRUE(ApplySimDevices({open, signedVerdict, minusOne}));

    ResetSession();
    Adopt("198.51.100.20");
    size_t mark = SimLogMark();
    EXPECT_EQ(VerifyAdminPassword(), 1);
    json request = OnlyRequest(mark);
    EXPECT_EQ(request.value("opcode", 0), 3);
    EXPECT_EQ(request.value("subcode", 0), 4);
    EXPECT_EQ(request.value("data", ""), TextHex("admin") + "55aa");
    EXPECT_EQ(request.value("len", 0), 28 + 7);
    EXPECT_EQ(request.value("deviceId", ""), "02a1b2c3d4e5c6336414");

    // A refusal is an answer: verdict 0, told apart from silence.
    ResetSession("root", "");
    Adopt("198.51.100.30");
    int verdict = -1;
    EXPECT_EQ(AskAdminVerdict(&verdict), 1);
    EXPECT_EQ(verdict, 0);
    EXPECT_EQ(VerifyAdminPassword(), 0);

    // Verdicts of 0x80 and above read as negative numbers, and still accept.
    CopyTextTo(protocolSession.adminPassword, "sofa-42");
    mark = SimLogMark();
    EXPECT_EQ(VerifyAdminPassword(), -128);
    EXPECT_EQ(OnlyRequest(mark).value("data", ""), TextHex("root") + "55aa" + TextHex("sofa-42"));
    ResetSession("admin", "x");
    Adopt("198.51.100.40");
    EXPECT_EQ(AskAdminVerdict(&verdict), 1);
    EXPECT_EQ(verdict, -1);
}

TEST(LabSettings, SmallSettingsCarryThePendingTextsAndTheirText)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Lan0Device("198.51.100.20")})));
    ResetSession();
    Adopt("198.51.100.20");
    const struct {
        int (*run)(const char*);
        const char* text;
        int subCode;
    } settings[] = {
        {SetCodepage, "865", 8},
        {SetAccessMode, "rw", 10},
        {SendStop, "stop", 13},
        {NotifyAddonInstalled, "BT", 14},
    };
    // Before the panel has accepted anything, the two fields go out empty.
    const struct {
        const char* netmask;
        const char* gateway;
    } pending[] = {{"", ""}, {"255.255.255.0", "198.51.100.1"}};
    for (const auto& texts : pending) {
        SetPending("198.51.100.20", texts.netmask, texts.gateway);
        for (const auto& setting : settings) {
            SCOPED_TRACE(setting.text);
            size_t mark = SimLogMark();
            EXPECT_EQ(setting.run(setting.text), 1);
            ExpectSetting(OnlyRequest(mark), setting.subCode, TextFieldsHex(texts.netmask, texts.gateway),
                          TextHex(setting.text));
        }
    }
    ASSERT_EQ(QueryCodepage(), 1);  // the device took it
    EXPECT_STREQ(protocolSession.codepageValue, "865");
}

TEST(LabSettings, AddressChangeMovesTheRecordAndTheNextQueryFollows)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Lan0Device("198.51.100.20", {{"values", {{"19", "1"}}}})})));
    ResetSession();
    Adopt("198.51.100.20");
    SetPending("198.51.100.77", "255.255.255.128", "198.51.100.65");

    size_t mark = SimLogMark();
    ASSERT_EQ(ApplyAddressSettings(), 1);
    // Sub-code 1 with the address text and no terminator.
    ExpectSetting(OnlyRequest(mark), 1, TextFieldsHex("255.255.255.128", "198.51.100.65"), TextHex("198.51.100.77"));
    const DeviceRecord* record = FindSelectedDevice();
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.77");
    EXPECT_STREQ(record->address, "198.51.100.77");
    EXPECT_STREQ(record->netmask, "255.255.255.128");
    EXPECT_STREQ(record->gateway, "198.51.100.65");
    EXPECT_EQ(Hex(record->deviceId, kDeviceIdSize), "02a1b2c3d4e5c633644d");
    EXPECT_EQ(deviceList.count, 1);

    // The device answers from its new address only: the query must address it there
    // and match its reply against the new selection.
    mark = SimLogMark();
    ASSERT_EQ(QuerySsl(), 1);
    EXPECT_STREQ(protocolSession.sslValue, "1");
    EXPECT_EQ(OnlyRequest(mark).value("deviceId", ""), "02a1b2c3d4e5c633644d");
}

TEST(LabSettings, DhcpClientTakesTheAddressOfTheReply)
{
    json device = Lan0Device("198.51.100.20", {{"dhcpAddress", "198.51.100.88"}, {"values", {{"19", "1"}}}});
    json zero = SimDevice(kIdentity, "203.0.113.30");
    zero.update(json{{"on", json::array({kSimLan1})}, {"dhcpAddress", "0.0.0.0"}});
    ASSERT_TRUE(ApplySimDevices({device, zero}));
    ResetSession();
    Adopt("198.51.100.20");
    SetPending("198.51.100.77", "255.255.255.0", "198.51.100.1");  // not sent with this one

    size_t mark = SimLogMark();
    ASSERT_EQ(EnableDhcpClient(), 1);
    ExpectSetting(OnlyRequest(mark), 2, std::string(64, '0'), "");
    const DeviceRecord* record = FindSelectedDevice();
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.88");
    EXPECT_EQ(Hex(record->deviceId, kDeviceIdSize), "02a1b2c3d4e5c6336458");
    // Only the address moves; the rest waits for the next discovery.
    EXPECT_STREQ(record->netmask, "255.255.255.0");
    EXPECT_STREQ(record->gateway, "198.51.100.1");
    EXPECT_STREQ(record->dhcpFlag, "0");

    mark = SimLogMark();
    ASSERT_EQ(QuerySsl(), 1);
    EXPECT_EQ(OnlyRequest(mark).value("deviceId", ""), "02a1b2c3d4e5c6336458");

    // Four zero address bytes are taken as they come.
    const DeviceRecord* other = Adopt("203.0.113.30", kClientLan1);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(EnableDhcpClient(), 1);
    EXPECT_STREQ(protocolSession.selectedAddress, "0.0.0.0");
    EXPECT_STREQ(other->address, "0.0.0.0");
}

TEST(LabSettings, TwoPortDeviceGetsTheWholeTable)
{
    const char table[] = "LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0::1";
    ASSERT_TRUE(ApplySimDevices(
        json::array({Lan0Device("198.51.100.20", {{"model", "ZKM-150"}, {"values", {{"20", table}}}})})));
    ResetSession();
    Adopt("198.51.100.20");
    ASSERT_EQ(QueryPortConfig(), 1);

    // What the panel does for a new LAN1 address and a fixed LAN2 without gateway.
    PortConfigTable& ports = protocolSession.portConfig;
    AddressInput ip, mask, noGateway = {true, {0, 0, 0, 0}}, gateway;
    ASSERT_TRUE(ParseAddressInput("203.0.113.21", &ip));
    ASSERT_TRUE(ParseAddressInput("255.255.255.0", &mask));
    StorePortSettings(ip, mask, noGateway, 0, &ports.lan2);
    ASSERT_TRUE(ParseAddressInput("198.51.100.21", &ip));
    ASSERT_TRUE(ParseAddressInput("198.51.100.1", &gateway));
    StorePortSettings(ip, mask, gateway, 0, &ports.lan1);
    ASSERT_TRUE(CheckAndRecordNetworkSettings(ip, mask, gateway, &protocolSession).Accepted());

    size_t mark = SimLogMark();
    ASSERT_EQ(ApplyAddressSettings(), 1);
    const std::string tableHex = Hex(reinterpret_cast<const unsigned char*>(&ports), sizeof ports);
    ExpectSetting(OnlyRequest(mark), 21, TextFieldsHex("255.255.255.0", "198.51.100.1"), tableHex);
    EXPECT_EQ(tableHex.size(), 240u);
    EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.21");
    EXPECT_EQ(Hex(FindSelectedDevice()->deviceId, kDeviceIdSize), "02a1b2c3d4e5c6336415");

    // The device keeps the table and answers with it from its new address.
    memset(&ports, 0, sizeof ports);
    ASSERT_EQ(QueryPortConfig(), 1);
    EXPECT_STREQ(ports.lan1.address, "198.51.100.21");
    EXPECT_STREQ(ports.lan2.address, "203.0.113.21");
    EXPECT_STREQ(ports.lan2.gateway, "0.0.0.0");
    EXPECT_STREQ(ports.lan2.dhcpFlag, "0");

    // A filled table also travels with the switch to DHCP, still without texts.
    mark = SimLogMark();
    const std::string beforeHex = Hex(reinterpret_cast<const unsigned char*>(&ports), sizeof ports);
    ASSERT_EQ(EnableDhcpClient(), 1);
    ExpectSetting(OnlyRequest(mark), 2, std::string(64, '0'), beforeHex);
}

TEST(LabSettings, LateAnswerOfAnEarlierSettingIsTakenByAnAddressChange)
{
    // The codepage answer comes after its wait has given up; the address change is
    // never answered nor applied, yet takes that late answer for its own.
    json device = Lan0Device("198.51.100.20", {{"subcodeDelayMs", {{"8", 1500}}}, {"unanswered", json::array({1})}});
    ASSERT_TRUE(ApplySimDevices(json::array({device})));
    ResetSession();
    Adopt("198.51.100.20");
    EXPECT_EQ(SetCodepage("865"), 0);
    SetPending("198.51.100.77", "255.255.255.0", "198.51.100.1");
    size_t mark = SimLogMark();
    int result = 0;
    const double seconds = SecondsOf([&result] { result = ApplyAddressSettings(); });
    EXPECT_EQ(result, 1);
    EXPECT_LT(seconds, 1.5);
    EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.77");
    bool ignored = false;
    for (const json& line : Received(mark)) {
        for (const json& effect : line.value("effects", json::array()))
            ignored = ignored || effect.get<std::string>().find("unanswered") != std::string::npos;
    }
    EXPECT_TRUE(ignored);
}

TEST(LabSettings, NoSelectedDeviceSendsNothing)
{
    ASSERT_TRUE(ApplySimDevices(json::array({Lan0Device("198.51.100.20")})));
    ResetSession();
    Adopt("198.51.100.20");
    CopyTextTo(protocolSession.selectedAddress, "198.51.100.21");
    SetPending("198.51.100.77", "255.255.255.0", "198.51.100.1");
    size_t mark = SimLogMark();
    int verdict = -1;
    const double seconds = SecondsOf([&verdict] {
        EXPECT_EQ(VerifyAdminPassword(), 0);
        EXPECT_EQ(AskAdminVerdict(&verdict), 0);
        EXPECT_EQ(ApplyAddressSettings(), 0);
        EXPECT_EQ(EnableDhcpClient(), 0);
        EXPECT_EQ(SetCodepage("865"), 0);
        EXPECT_EQ(SetAccessMode("rw"), 0);
        EXPECT_EQ(SendStop("stop"), 0);
        EXPECT_EQ(NotifyAddonInstalled("BT"), 0);
    });
    EXPECT_EQ(verdict, 0);
    EXPECT_LT(seconds, 0.1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(Received(mark).empty());
    EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.21");
    EXPECT_STREQ(deviceList.head->address, "198.51.100.20");
}

// Every transaction against a device that never answers it: each asks once and waits
// its whole limit (the check after its 110 ms drain). The address change alone costs 33 s.
TEST(LabSettings, AttemptLimitOfEveryTransaction)
{
    json mute = Lan0Device("198.51.100.30", {{"unanswered", json::array({1, 2, 4, 8, 10, 13, 14})}});
    ASSERT_TRUE(ApplySimDevices(json::array({mute})));
    ResetSession();
    const struct {
        const char* name;
        int subCode;
        int (*run)();
        int attemptLimit;
    } transactions[] = {
        {"admin check", 4, VerifyAdminPassword, kAttemptsShort},
        {"codepage", 8, [] { return SetCodepage("865"); }, kAttemptsShort},
        {"access mode", 10, [] { return SetAccessMode("rw"); }, kAttemptsShort},
        {"stop", 13, [] { return SendStop("stop"); }, kAttemptsShort},
        {"add-on installed", 14, [] { return NotifyAddonInstalled("BT"); }, kAttemptsShort},
        {"DHCP client", 2, EnableDhcpClient, kAttemptsDhcp},
        {"address", 1, ApplyAddressSettings, kAttemptsAddress},
    };
    SetPending("198.51.100.77", "255.255.255.0", "198.51.100.1");
    for (const auto& transaction : transactions) {
        SCOPED_TRACE(transaction.name);
        Adopt("198.51.100.30");
        size_t mark = SimLogMark();
        int result = -1;
        const double seconds = SecondsOf([&] { result = transaction.run(); });
        EXPECT_EQ(result, 0);
        const long nominalMs = NominalWaitMs(transaction.attemptLimit);
        EXPECT_GE(seconds, 0.9 * nominalMs / 1000.0);
        EXPECT_LE(seconds, 1.25 * nominalMs / 1000.0 + 0.5);
        EXPECT_EQ(OnlyRequest(mark).value("subcode", 0), transaction.subCode);
        // Nothing moves without an answer.
        EXPECT_STREQ(protocolSession.selectedAddress, "198.51.100.30");
        EXPECT_STREQ(deviceList.head->address, "198.51.100.30");
    }
}

}  // namespace
