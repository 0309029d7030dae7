// The protocol library against simulated devices on the lab's two interfaces.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "network_environment.h"
#include "protocol.h"
#include "sim_control.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new NetworkEnvironment);

std::vector<const DeviceRecord*> Devices()
{
    std::vector<const DeviceRecord*> devices;
    for (const DeviceRecord* d = deviceList.head; d != nullptr; d = d->next)
        devices.push_back(d);
    return devices;
}

const DeviceRecord* Device(const char* address)
{
    for (const DeviceRecord* d : Devices()) {
        if (strcmp(d->address, address) == 0)
            return d;
    }
    return nullptr;
}

std::vector<std::string> VolumeNames()
{
    std::vector<std::string> names;
    for (const VolumeEntry* e = volumeList.head; e != nullptr; e = e->next)
        names.push_back(e->name);
    return names;
}

void Select(const char* address)
{
    CopyTextTo(protocolSession.selectedAddress, address);
}

double SecondsOf(void (*run)())
{
    auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The first interface in table order of the two lab interfaces.
int FirstLabInterface()
{
    int lan0 = InterfaceIndexOf(kClientLan0), lan1 = InterfaceIndexOf(kClientLan1);
    return lan0 < lan1 ? lan0 : lan1;
}

// Bounds of a wait that should last about nominalMs: never shorter, and late only by
// what a loaded machine can add.
void ExpectAbout(double seconds, long nominalMs)
{
    EXPECT_GE(seconds, 0.9 * nominalMs / 1000.0);
    EXPECT_LE(seconds, 1.25 * nominalMs / 1000.0 + 0.5);
}

TEST(LabDiscovery, DevicesOnBothInterfacesWithFiltersAndDuplicates)
{
    ASSERT_GE(InterfaceIndexOf(kClientLan0), 0);
    ASSERT_GE(InterfaceIndexOf(kClientLan1), 0);

    json full = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    full.update(json{{"netmask", "255.255.255.0"},
                     {"gateway", "198.51.100.1"},
                     {"dhcp", "0"},
                     {"name", "Office NAS"},
                     {"layout", 8},
                     {"model", "ZKM-150"},
                     {"on", json::array({kSimLan0})}});
    json unicast = SimDevice("02a1b2c3d4b0", "203.0.113.30");
    unicast.update(
        json{{"name", "Den"}, {"layout", 7}, {"dhcp", "1"}, {"on", json::array({kSimLan1})}, {"reply", "unicast"}});
    json both = SimDevice("02a1b2c3d4c0", "198.51.100.40");
    both.update(json{{"name", "Both"}, {"layout", 2}, {"on", json::array({kSimLan0, kSimLan1})}});
    json twice = SimDevice("02a1b2c3d4c1", "198.51.100.41");
    twice.update(json{{"name", "Twice"}, {"model", "ZKM-100"}, {"answerTwice", true}, {"on", json::array({kSimLan0})}});
    json foreign = SimDevice("02a1b2c3d4c2", "198.51.100.42");
    foreign.update(json{{"name", "Foreign"}, {"foreignClientId", true}});
    json selector34 = SimDevice("02a1b2c3d4c3", "198.51.100.43");
    selector34.update(json{{"name", "Sel34"}, {"selectors", json::array({3, 4})}, {"on", json::array({kSimLan0})}});
    json selector43 = SimDevice("02a1b2c3d4c4", "198.51.100.44");
    selector43.update(
        json{{"name", "Sel43"}, {"layout", 7}, {"selectors", json::array({4, 3})}, {"on", json::array({kSimLan0})}});
    json longName = SimDevice("02a1b2c3d4c5", "203.0.113.45");
    longName.update(json{{"name", std::string(300, 'x')}, {"layout", 2}, {"on", json::array({kSimLan1})}});
    json lyingName = SimDevice("02a1b2c3d4c6", "203.0.113.46");
    lyingName.update(json{{"nameHex", "fffe8041"}, {"nameLength", 4000}, {"on", json::array({kSimLan1})}});
    json basicSelectors = SimDevice("02a1b2c3d4c7", "198.51.100.47");
    basicSelectors.update(
        json{{"name", "Basic"}, {"layout", 2}, {"selectors", json::array({9, 9})}, {"on", json::array({kSimLan0})}});
    ASSERT_TRUE(ApplySimDevices(
        {full, unicast, both, twice, foreign, selector34, selector43, longName, lyingName, basicSelectors}));

    size_t mark = SimLogMark();
    Discover(3, 3);
    std::set<std::string> found;
    for (const DeviceRecord* d : Devices())
        found.insert(d->address);
    EXPECT_EQ(found, (std::set<std::string>{"198.51.100.20", "203.0.113.30", "198.51.100.40", "198.51.100.41",
                                            "203.0.113.45", "203.0.113.46", "198.51.100.47"}));
    EXPECT_EQ(deviceList.count, 7);

    const int lan0 = InterfaceIndexOf(kClientLan0), lan1 = InterfaceIndexOf(kClientLan1);
    const DeviceRecord* office = Device("198.51.100.20");
    ASSERT_NE(office, nullptr);
    EXPECT_STREQ(office->name, "Office NAS");
    EXPECT_STREQ(office->netmask, "255.255.255.0");
    EXPECT_STREQ(office->gateway, "198.51.100.1");
    EXPECT_STREQ(office->dhcpFlag, "0");
    EXPECT_STREQ(office->model, "ZKM-150");
    EXPECT_EQ(office->interfaceIndex, lan0);
    EXPECT_EQ(Hex(office->deviceId, kDeviceIdSize), "02a1b2c3d4e5c6336414");

    const DeviceRecord* den = Device("203.0.113.30");
    ASSERT_NE(den, nullptr);
    EXPECT_EQ(den->interfaceIndex, lan1);  // the unicast reply came back on its interface
    EXPECT_STREQ(den->dhcpFlag, "1");
    EXPECT_STREQ(den->model, "");

    // A device on both interfaces is listed once, with the first one asked.
    ASSERT_NE(Device("198.51.100.40"), nullptr);
    EXPECT_EQ(Device("198.51.100.40")->interfaceIndex, FirstLabInterface());

    EXPECT_EQ(strlen(Device("203.0.113.45")->name), 255u);
    EXPECT_STREQ(Device("203.0.113.46")->name, "\xff\xfe\x80"
                                               "A");
    EXPECT_STREQ(Device("198.51.100.41")->model, "ZKM-100");

    // Records follow the order of the interfaces asked.
    int previous = -1;
    for (const DeviceRecord* d : Devices()) {
        EXPECT_GE(d->interfaceIndex, previous) << d->address;
        previous = d->interfaceIndex;
    }
    EXPECT_EQ(deviceList.tail, Devices().back());

    // One 11-byte request per simulator interface, carrying this instance's ClientId.
    std::set<std::string> askedOn;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent") || line.value("opcode", 0) != 1)
            continue;
        EXPECT_EQ(line.value("len", 0), 11);
        EXPECT_EQ(line.value("clientId", ""), Hex(clientId, kClientIdSize));
        askedOn.insert(line.value("iface", ""));
    }
    EXPECT_EQ(askedOn, (std::set<std::string>{kSimLan0, kSimLan1}));

    // A selector argument of 0 takes any byte in its place.
    Discover(3, 0);
    EXPECT_NE(Device("198.51.100.43"), nullptr);
    EXPECT_EQ(Device("198.51.100.44"), nullptr);
    EXPECT_EQ(Device("198.51.100.42"), nullptr);
    EXPECT_EQ(deviceList.count, 8);
}

// More devices on one link than a pass has attempts: every answer is read, the list
// holds each interface's devices in turn, and the pass keeps its length.
TEST(LabDiscovery, SixtyDevicesOnOneLinkAndFiveOnTheOther)
{
    json devices = json::array();
    for (int i = 0; i < 65; ++i) {
        char identity[13], address[16];
        snprintf(identity, sizeof identity, "02000000%04x", i);
        if (i < 60)
            snprintf(address, sizeof address, "198.51.100.%d", 100 + i);
        else
            snprintf(address, sizeof address, "203.0.113.%d", i);
        json d = SimDevice(identity, address);
        d.update(json{{"name", std::string("crowd ") + std::to_string(i)},
                      {"layout", 2},
                      {"on", json::array({i < 60 ? kSimLan0 : kSimLan1})}});
        devices.push_back(d);
    }
    ASSERT_TRUE(ApplySimDevices(devices));
    const auto start = std::chrono::steady_clock::now();
    Discover(3, 3);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(deviceList.count, 65);
    EXPECT_EQ(FlushReceiveSockets(), 0);
    ExpectAbout(seconds, NominalDiscoveryMs());

    const int lan0 = InterfaceIndexOf(kClientLan0);
    std::set<std::string> addresses;
    int previous = -1;
    for (const DeviceRecord* d : Devices()) {
        addresses.insert(d->address);
        EXPECT_GE(d->interfaceIndex, previous) << d->address;
        previous = d->interfaceIndex;
        EXPECT_EQ(d->interfaceIndex == lan0, strncmp(d->address, "198.51.100.", 11) == 0) << d->address;
    }
    EXPECT_EQ(addresses.size(), 65u);
}

struct LabQueries : ::testing::Test {
    static void SetUpTestSuite()
    {
        json plain = SimDevice("02a1b2c3d4e5", "198.51.100.20");
        plain.update(
            json{{"name", "Plain"},
                 {"on", json::array({kSimLan0})},
                 {"values",
                  {{"3", "HDD_1:USB1:HDD_1::USB2:"},
                   {"9", "950"},
                   {"11", "3"},
                   {"12", "HDD_1"},
                   {"15", "1"},
                   {"18", ""},
                   {"19", "1"},
                   {"20", "LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0::1"}}}});
        json longValues = SimDevice("02a1b2c3d4b0", "203.0.113.30");
        longValues.update(json{{"name", "Long"},
                               {"on", json::array({kSimLan1})},
                               {"reply", "unicast"},
                               {"values",
                                {{"3", std::string(300, 'v') + ":USB1"},
                                 {"9", std::string(100, '9')},
                                 {"11", "12345678901"},
                                 {"12", std::string(40, 's')},
                                 {"15", "abcdefghij"},
                                 {"18", std::string(300, 'd')},
                                 {"19", std::string(200, 'x')},
                                 {"20", "LAN9:1.2.3.4:255.0.0.0:1.2.3.1:0:LAN2:5.6.7.8:255.0.0.0:5.6.7.1:1"}}}});
        json quiet = SimDevice("02a1b2c3d4c0", "198.51.100.40");
        quiet.update(json{{"name", "Quiet"},
                          {"on", json::array({kSimLan0})},
                          {"valuesHex", {{"3", "e697a5e69cac3a55534231"}}},
                          {"values", {{"18", "WORKGROUP"}}},
                          {"unanswered", json::array({19})}});
        // A reply longer than any datagram the client accepts.
        json huge = SimDevice("02a1b2c3d4c1", "198.51.100.41");
        huge.update(
            json{{"name", "Huge"}, {"on", json::array({kSimLan0})}, {"values", {{"19", std::string(5000, 'h')}}}});
        ASSERT_TRUE(ApplySimDevices({plain, longValues, quiet, huge}));
        Discover(3, 3);
        ASSERT_EQ(deviceList.count, 4);
    }
};

TEST_F(LabQueries, ValuesOfAnAnsweringDevice)
{
    Select("198.51.100.20");
    size_t mark = SimLogMark();
    ASSERT_EQ(QuerySsl(), 1);
    EXPECT_STREQ(protocolSession.sslValue, "1");
    // The request: 28 bytes, opcode 3, sub-code 19, addressed by the device's id,
    // through the interface the device answered on.
    int requests = 0;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent"))
            continue;
        ++requests;
        EXPECT_EQ(line.value("opcode", 0), 3);
        EXPECT_EQ(line.value("subcode", 0), 19);
        EXPECT_EQ(line.value("len", 0), 28);
        EXPECT_EQ(line.value("deviceId", ""), "02a1b2c3d4e5c6336414");
        EXPECT_EQ(line.value("iface", ""), kSimLan0);
    }
    EXPECT_EQ(requests, 1);

    ASSERT_EQ(QueryVolumes(), 1);
    EXPECT_EQ(VolumeNames(), (std::vector<std::string>{"HDD_1", "USB1", "USB2"}));
    ASSERT_EQ(QueryCodepage(), 1);
    EXPECT_STREQ(protocolSession.codepageValue, "950");
    ASSERT_EQ(QueryDiskState(), 1);
    EXPECT_STREQ(protocolSession.diskStateValue, "3");
    ASSERT_EQ(QueryShareName(), 1);
    EXPECT_STREQ(protocolSession.shareNameValue, "HDD_1");
    ASSERT_EQ(QueryBtFirmware(), 1);
    EXPECT_STREQ(protocolSession.btFirmwareValue, "1");
    // An empty value is still an answer.
    CopyTextTo(protocolSession.domainValue, "stale");
    ASSERT_EQ(QueryDomain(), 1);
    EXPECT_STREQ(protocolSession.domainValue, "");

    memset(&protocolSession.portConfig, 0, sizeof protocolSession.portConfig);
    ASSERT_EQ(QueryPortConfig(), 1);
    const PortConfigTable& ports = protocolSession.portConfig;
    EXPECT_STREQ(ports.lan1.address, "198.51.100.20");
    EXPECT_STREQ(ports.lan1.gateway, "198.51.100.1");
    EXPECT_STREQ(ports.lan1.dhcpFlag, "0");
    EXPECT_STREQ(ports.lan2.portName, "LAN2");
    EXPECT_STREQ(ports.lan2.gateway, "");
    EXPECT_STREQ(ports.lan2.dhcpFlag, "1");
}

TEST_F(LabQueries, OverLongValuesAreCutToTheirFields)
{
    Select("203.0.113.30");  // answers by unicast
    ASSERT_EQ(QuerySsl(), 1);
    EXPECT_EQ(std::string(protocolSession.sslValue), std::string(7, 'x'));
    ASSERT_EQ(QueryDomain(), 1);
    EXPECT_EQ(std::string(protocolSession.domainValue), std::string(127, 'd'));
    ASSERT_EQ(QueryCodepage(), 1);
    EXPECT_EQ(std::string(protocolSession.codepageValue), std::string(63, '9'));
    ASSERT_EQ(QueryShareName(), 1);
    EXPECT_EQ(std::string(protocolSession.shareNameValue), std::string(15, 's'));
    ASSERT_EQ(QueryDiskState(), 1);
    EXPECT_STREQ(protocolSession.diskStateValue, "1234567");
    ASSERT_EQ(QueryBtFirmware(), 1);
    EXPECT_STREQ(protocolSession.btFirmwareValue, "abcdefg");
    ASSERT_EQ(QueryVolumes(), 1);
    EXPECT_EQ(VolumeNames(), (std::vector<std::string>{std::string(255, 'v'), "USB1"}));

    // Not a LAN1 answer: the LAN2 record keeps what it held.
    CopyTextTo(protocolSession.portConfig.lan2.portName, "kept");
    ASSERT_EQ(QueryPortConfig(), 1);
    EXPECT_STREQ(protocolSession.portConfig.lan1.portName, "LAN9");
    EXPECT_STREQ(protocolSession.portConfig.lan2.portName, "kept");
}

TEST_F(LabQueries, UnansweredOversizedAndUnknownDevices)
{
    Select("198.51.100.40");
    ASSERT_EQ(QueryVolumes(), 1);
    EXPECT_EQ(VolumeNames(), (std::vector<std::string>{"\xe6\x97\xa5\xe6\x9c\xac", "USB1"}));
    CopyTextTo(protocolSession.sslValue, "stale");
    EXPECT_EQ(QuerySsl(), 0);
    EXPECT_STREQ(protocolSession.sslValue, "");
    ASSERT_EQ(QueryDomain(), 1);  // the device still answers what it answers
    EXPECT_STREQ(protocolSession.domainValue, "WORKGROUP");

    // The reply is sent but is longer than 4096 bytes: dropped like a failed receive.
    Select("198.51.100.41");
    size_t mark = SimLogMark();
    EXPECT_EQ(QuerySsl(), 0);
    bool sentHuge = false;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent") && line.value("len", 0) > kDatagramCapacity)
            sentHuge = true;
    }
    EXPECT_TRUE(sentHuge);

    // No device with the selected address: nothing is sent.
    Select("198.51.100.99");
    mark = SimLogMark();
    EXPECT_EQ(QueryVolumes(), 0);
    EXPECT_EQ(volumeList.count, 0);
    EXPECT_EQ(QueryCodepage(), 0);
    EXPECT_TRUE(SimLogSince(mark).empty());
}

TEST(LabExchanges, LateAnswerIsDrainedBeforeTheNextQuery)
{
    json slow = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    slow.update(json{{"on", json::array({kSimLan0})},
                     {"values", {{"12", "HDD_1"}, {"18", "CORP"}}},
                     {"subcodeDelayMs", {{"12", 2600}}}});
    ASSERT_TRUE(ApplySimDevices(json::array({slow})));
    Discover(3, 3);
    Select("198.51.100.20");
    ASSERT_NE(FindSelectedDevice(), nullptr);

    size_t mark = SimLogMark();
    EXPECT_EQ(QueryShareName(), 0);  // the answer comes after the wait has given up
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    bool lateSent = false;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent") && line.value("opcode", 0) == 4)
            lateSent = true;
    }
    ASSERT_TRUE(lateSent);
    // The late share-name answer is queued, carries the right ClientId and address,
    // and would pass for the domain answer without the drain.
    ASSERT_EQ(QueryDomain(), 1);
    EXPECT_STREQ(protocolSession.domainValue, "CORP");
}

TEST(LabExchanges, AnotherDevicesReplyIsNotTaken)
{
    json selected = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    selected.update(json{{"on", json::array({kSimLan0})}, {"values", {{"19", "1"}}}, {"delayMs", 300}});
    json intruder = SimDevice("02a1b2c3d4b0", "198.51.100.30");
    intruder.update(json{{"on", json::array({kSimLan0})}, {"values", {{"19", "0"}}}, {"answerAll", true}});
    ASSERT_TRUE(ApplySimDevices({selected, intruder}));
    Discover(3, 3);
    Select("198.51.100.20");
    ASSERT_NE(FindSelectedDevice(), nullptr);

    // The intruder's reply arrives first and is read past; the selected device's own,
    // later reply is the one taken.
    ASSERT_EQ(QuerySsl(), 1);
    EXPECT_STREQ(protocolSession.sslValue, "1");

    // When only the intruder answers, the query fails.
    selected["unanswered"] = json::array({19});
    ASSERT_TRUE(ApplySimDevices({selected, intruder}));
    size_t mark = SimLogMark();
    EXPECT_EQ(QuerySsl(), 0);
    int intruderReplies = 0;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent") && line.value("device", "") == "198.51.100.30")
            ++intruderReplies;
    }
    EXPECT_GE(intruderReplies, 1);
}

double SecondsOf(int (*run)(), int* result)
{
    auto start = std::chrono::steady_clock::now();
    *result = run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every query against a device that answers each of them 1.5 s late and against one
// that never answers. A limit-10 wait (1.11 s) gives up before the late answer and a
// limit-20 wait (2.21 s) takes it; unanswered, a query lasts its drain and whole wait.
TEST(LabExchanges, AttemptLimitOfEveryQuery)
{
    const struct {
        const char* name;
        int subCode;
        int (*run)();
        int attemptLimit;
    } queries[] = {
        {"volumes", 3, QueryVolumes, 20},
        {"codepage", 9, QueryCodepage, 10},
        {"disk state", 11, QueryDiskState, 20},
        {"share name", 12, QueryShareName, 20},
        {"bt firmware", 15, QueryBtFirmware, 20},
        {"domain", 18, QueryDomain, 20},
        {"ssl", 19, QuerySsl, 20},
        {"port config", 20, QueryPortConfig, 20},
    };
    json delays = json::object(), subCodes = json::array();
    for (const auto& query : queries) {
        delays[std::to_string(query.subCode)] = 1500;
        subCodes.push_back(query.subCode);
    }
    json late = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    late.update(json{{"on", json::array({kSimLan0})}, {"subcodeDelayMs", delays}});
    json mute = SimDevice("02a1b2c3d4b0", "198.51.100.30");
    mute.update(json{{"on", json::array({kSimLan0})}, {"unanswered", subCodes}});
    ASSERT_TRUE(ApplySimDevices({late, mute}));
    Discover(3, 3);
    ASSERT_EQ(deviceList.count, 2);

    for (const auto& query : queries) {
        SCOPED_TRACE(query.name);
        int result = -1;
        Select("198.51.100.30");
        size_t mark = SimLogMark();
        double seconds = SecondsOf(query.run, &result);
        EXPECT_EQ(result, 0);
        ExpectAbout(seconds, NominalDrainMs(kDrainAttempts) + NominalWaitMs(query.attemptLimit));
        int asked = 0;
        for (const json& line : SimLogSince(mark)) {
            if (!line.contains("sent") && line.value("subcode", 0) == query.subCode)
                ++asked;
        }
        EXPECT_EQ(asked, 1);

        Select("198.51.100.20");
        seconds = SecondsOf(query.run, &result);
        EXPECT_EQ(result, query.attemptLimit == 20 ? 1 : 0);
        if (result == 1) {
            EXPECT_GE(seconds, 1.5);
        } else {
            // Let the late answer arrive, so that it is not left for the next query.
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            FlushReceiveSockets();
        }
    }
}

// A pass listens 990 ms on all interfaces together: an answer after 0.7 s is taken,
// one after 1.6 s has missed it.
TEST(LabExchanges, DiscoveryListensAboutASecondOverAllInterfaces)
{
    json early = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    early.update(json{{"on", json::array({kSimLan0})}, {"delayMs", 700}});
    json late = SimDevice("02a1b2c3d4b0", "198.51.100.30");
    late.update(json{{"on", json::array({kSimLan0})}, {"delayMs", 1600}});
    ASSERT_TRUE(ApplySimDevices({early, late}));
    auto start = std::chrono::steady_clock::now();
    Discover(3, 3);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(Device("198.51.100.20"), nullptr);
    EXPECT_EQ(Device("198.51.100.30"), nullptr);
    EXPECT_EQ(deviceList.count, 1);
    ExpectAbout(seconds, NominalDiscoveryMs());
}

// Keep last: the stream of foreign datagrams outlives the test.
TEST(LabExchanges, StreamOfOtherOpcodesCannotHoldAWait)
{
    json device = SimDevice("02a1b2c3d4e5", "198.51.100.20");
    device.update(json{{"on", json::array({kSimLan0})}, {"values", {{"19", "1"}}}});
    ASSERT_TRUE(ApplySimDevices(json::array({device})));
    Discover(3, 3);
    Select("198.51.100.20");
    ASSERT_NE(FindSelectedDevice(), nullptr);

    // Five seconds of datagrams with opcode 9, and the real answer only after six.
    device.update(
        json{{"noise", {{"opcode", 9}, {"count", 1000}, {"intervalMs", 5}}}, {"subcodeDelayMs", {{"19", 6000}}}});
    ASSERT_TRUE(ApplySimDevices(json::array({device})));
    double seconds = SecondsOf([] { EXPECT_EQ(QuerySsl(), 0); });
    // Cut off a second after the nominal 2.21 s (plus the drain), well before the
    // stream ends.
    EXPECT_LT(seconds, (NominalDrainMs(kDrainAttempts) + WaitCapMs(kAttemptsQuery)) / 1000.0 + 0.8);
    EXPECT_GT(seconds, NominalWaitMs(kAttemptsQuery) / 1000.0);
}

}  // namespace
