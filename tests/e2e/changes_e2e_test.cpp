// The real utility under Wine while the network changes under it: a device that leaves
// between the click and Apply or Connect, one that takes another address, two that
// claim one address, and one that answers only on the second link. Each ends with the
// outcome the program's rules give, a window that still answers, and no crash.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim_devices.h"
#include "utility_driver.h"

namespace {

// The DeviceId a request for this device carries, as the simulator logs it.
std::string DeviceIdHex(const char* identity, const char* address)
{
    unsigned char bytes[4] = {};
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(address, "%u.%u.%u.%u", &a, &b, &c, &d);
    bytes[0] = static_cast<unsigned char>(a);
    bytes[1] = static_cast<unsigned char>(b);
    bytes[2] = static_cast<unsigned char>(c);
    bytes[3] = static_cast<unsigned char>(d);
    return identity + Hex(bytes, 4);
}

// What the simulator received for one device since the mark, and the replies it sent
// carrying that address.
struct Traffic {
    std::vector<json> requests, replies;
};
Traffic TrafficOf(size_t mark, const std::string& deviceId, const char* address)
{
    Traffic traffic;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent")) {
            if (line.value("device", "") == address)
                traffic.replies.push_back(line);
        } else if (line.value("deviceId", "") == deviceId) {
            traffic.requests.push_back(line);
        }
    }
    return traffic;
}

std::vector<int> Subcodes(const std::vector<json>& requests)
{
    std::vector<int> subcodes;
    for (const json& request : requests)
        subcodes.push_back(request.value("opcode", 0) * 100 + request.value("subcode", 0));
    return subcodes;
}

// The lab's network provider: its call log, and the refusals it is told to give.
std::vector<json> ProviderCalls()
{
    std::vector<json> calls;
    const char* path = std::getenv("KAVRON_NETPROVIDER_LOG_WIN");
    std::ifstream log(path ? path : "");
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty())
            calls.push_back(json::parse(line, nullptr, false));
    }
    return calls;
}

void Refuse(const std::string& rules)
{
    const char* path = std::getenv("KAVRON_NETPROVIDER_CONTROL_WIN");
    std::ofstream(path ? path : "", std::ios::trunc) << rules;
}

class ChangesEndToEnd : public UtilityTest {
protected:
    // Applies the devices before the utility starts, so its first discovery finds them.
    void Start(const json& devices)
    {
        Refuse("");
        ASSERT_TRUE(ApplySimDevices(devices));
        UtilityTest::SetUp();
    }
    void SetUp() override {}
    std::vector<std::string> Volumes() { return U().Column(IDC_VOLUME_LIST, 0); }
    std::string AddressOf(const char* name)
    {
        const int row = U().RowOf(name);
        return row < 0 ? std::string() : U().Column(IDC_DEVICE_LIST, 1).at(static_cast<size_t>(row));
    }
    void Refresh()
    {
        winauto::ClickCentre(U().Item(IDC_REFRESH));
        ASSERT_TRUE(U().Idle());
    }
    void SelectVolume(const char* name)
    {
        const std::vector<std::string> names = Volumes();
        const auto it = std::find(names.begin(), names.end(), name);
        ASSERT_NE(names.end(), it) << name;
        const int row = static_cast<int>(it - names.begin());
        ASSERT_TRUE(winauto::ClickListRow(U().Item(IDC_VOLUME_LIST), row));
        ASSERT_TRUE(WaitFor([&] { return winauto::ReadListView(U().Item(IDC_VOLUME_LIST)).at(row).selected; }));
    }
};

const char kLeavingId[] = "0e0e0e0e0501";
const char kLeaving[] = "198.51.100.80";

TEST_F(ChangesEndToEnd, ADeviceThatLeavesAfterTheClickIsRefusedAtApplyAndAtConnect)
{
    const json stays = SimLanDevice("0e0e0e0e0502", "198.51.100.81", "Stays", "KEEP");
    Start(json::array({SimLanDevice(kLeavingId, kLeaving, "Leaving", "HDD_1:USB1"), stays}));
    Select("Leaving");
    ASSERT_EQ((std::vector<std::string>{"HDD_1", "USB1"}), Volumes());
    ASSERT_TRUE(ApplySimDevices(json::array({stays})));

    // Apply: the administrator check goes unanswered, which reads as a refusal: one
    // prompt (Cancel), a second check, the refusal's message, and no setting sent.
    size_t mark = SimLogMark();
    U().SetAddresses("198.51.100.90", "255.255.255.0", "198.51.100.1");
    winauto::ClickCentre(U().Item(IDC_APPLY));
    HWND login = winauto::WaitForDialog("Login", U().ProcessId(), U().window, 20000);
    ASSERT_NE(nullptr, login) << "the unanswered check is taken for a refusal";
    PostMessageA(login, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    const winauto::MessageBoxText refused = U().AnswerMessage();
    EXPECT_EQ("Wrong administrator password input!", refused.text);
    EXPECT_EQ("Error", refused.caption);
    ASSERT_TRUE(U().Idle());
    Traffic traffic = TrafficOf(mark, DeviceIdHex(kLeavingId, kLeaving), kLeaving);
    EXPECT_EQ((std::vector<int>{304, 304}), Subcodes(traffic.requests)) << "two checks, no setting";
    EXPECT_TRUE(traffic.replies.empty());
    EXPECT_EQ(kLeaving, AddressOf("Leaving")) << "a refusal refreshes nothing";

    // Connect: the domain query goes unanswered and the mapping is tried without a
    // domain; a host that has gone is not found (53), and the failure is reported.
    SelectVolume("USB1");
    const std::string remote = std::string("\\\\") + kLeaving + "\\USB1";
    Refuse("add " + remote + " 53\n");
    mark = SimLogMark();
    const size_t calls = ProviderCalls().size();
    winauto::ClickCentre(U().Item(IDC_CONNECT));
    const winauto::MessageBoxText failed = U().AnswerMessage();
    EXPECT_EQ(0u, failed.text.find("Failed to map drive.\n")) << failed.text;
    EXPECT_EQ("Error", failed.caption);
    ASSERT_TRUE(U().Idle());
    traffic = TrafficOf(mark, DeviceIdHex(kLeavingId, kLeaving), kLeaving);
    EXPECT_EQ((std::vector<int>{318}), Subcodes(traffic.requests));
    EXPECT_TRUE(traffic.replies.empty());
    const std::vector<json> made = ProviderCalls();
    ASSERT_EQ(calls + 2, made.size()) << "the forced cancel, then one try through the provider";
    EXPECT_EQ(remote, made.back()["remote"]);
    EXPECT_EQ("", made.back()["user"]) << "no domain came back";
    EXPECT_EQ(53, made.back()["result"]);
    EXPECT_EQ((std::vector<std::string>{"HDD_1", "USB1"}), Volumes());
    EXPECT_EQ((std::vector<std::string>{"", ""}), U().Column(IDC_VOLUME_LIST, 1)) << "no letter shown as mapped";

    // The window still works: Refresh shows the network as it is now.
    Refresh();
    EXPECT_EQ((std::vector<std::string>{"Stays"}), U().Column(IDC_DEVICE_LIST, 0));
}

TEST_F(ChangesEndToEnd, AMovedDeviceKeepsItsOldRowUntilRefreshAndShowsNothingStale)
{
    json mover = SimLanDevice("0e0e0e0e0511", "198.51.100.82", "Mover", "MOVER_VOL");
    Start(json::array({SimLanDevice("0e0e0e0e0512", "198.51.100.83", "Other", "OTHER_VOL"), mover}));
    Select("Other");
    ASSERT_EQ((std::vector<std::string>{"OTHER_VOL"}), Volumes());
    mover["address"] = "198.51.100.84";
    ASSERT_TRUE(
        ApplySimDevices(json::array({SimLanDevice("0e0e0e0e0512", "198.51.100.83", "Other", "OTHER_VOL"), mover})));

    // The list is the last discovery's: the row keeps the old address, and its queries
    // go there unanswered. The volume list is emptied, not left showing Other's.
    EXPECT_EQ("198.51.100.82", AddressOf("Mover"));
    const size_t mark = SimLogMark();
    Select("Mover");
    const Traffic traffic = TrafficOf(mark, DeviceIdHex("0e0e0e0e0511", "198.51.100.82"), "198.51.100.82");
    EXPECT_EQ((std::vector<int>{303, 319}), Subcodes(traffic.requests));
    EXPECT_TRUE(Volumes().empty());
    EXPECT_EQ("198.51.100.82", winauto::ReadIpAddress(U().Item(IDC_IP_ADDRESS)).Dotted()) << "the row's text";

    Refresh();
    EXPECT_EQ("198.51.100.84", AddressOf("Mover"));
    EXPECT_EQ(2u, U().Column(IDC_DEVICE_LIST, 1).size());
    Select("Mover");
    EXPECT_EQ((std::vector<std::string>{"MOVER_VOL"}), Volumes());
}

TEST_F(ChangesEndToEnd, TwoDevicesOnOneAddressAreListedOnceAndAnsweredByTheFirstReply)
{
    // First answers discovery first; Second answers every query for the address first.
    json first = SimLanDevice("0e0e0e0e0521", "198.51.100.85", "First Claim", "FIRST_VOL");
    first["subcodeDelayMs"] = {{"3", 60}, {"19", 60}};
    json second = SimLanDevice("0e0e0e0e0522", "198.51.100.85", "Second Claim", "SECOND_VOL");
    second["netmask"] = "255.255.0.0";
    second["answerAll"] = true;
    second["delayMs"] = 150;
    second["subcodeDelayMs"] = {{"3", 0}, {"19", 0}};
    Start(json::array({second, first}));

    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "first discovery" : "after Refresh");
        EXPECT_EQ((std::vector<std::string>{"First Claim"}), U().Column(IDC_DEVICE_LIST, 0));
        EXPECT_EQ((std::vector<std::string>{"255.255.255.0"}), U().Column(IDC_DEVICE_LIST, 2));
        Select("First Claim");
        EXPECT_EQ("255.255.255.0", winauto::ReadIpAddress(U().Item(IDC_NETMASK)).Dotted());
        // The reply is taken by the address it carries: Second's came first.
        EXPECT_EQ((std::vector<std::string>{"SECOND_VOL"}), Volumes());
        if (pass == 0)
            Refresh();
    }
}

TEST_F(ChangesEndToEnd, ADeviceOnTheSecondLinkOnlyIsQueriedAndSetThroughIt)
{
    json distant = SimLanDevice("0e0e0e0e0531", "203.0.113.86", "Far", "FAR_VOL");
    distant["gateway"] = "203.0.113.1";
    distant["on"] = json::array({kSimLan1});
    Start(json::array({SimLanDevice("0e0e0e0e0532", "198.51.100.87", "Near", "NEAR_VOL"), distant}));
    EXPECT_EQ("203.0.113.86", AddressOf("Far"));

    size_t mark = SimLogMark();
    Select("Far");
    EXPECT_EQ((std::vector<std::string>{"FAR_VOL"}), Volumes());
    U().SetAddresses("203.0.113.88", "255.255.255.0", "203.0.113.1");
    winauto::ClickCentre(U().Item(IDC_APPLY));
    ASSERT_TRUE(U().Idle());
    std::vector<json> requests = TrafficOf(mark, DeviceIdHex("0e0e0e0e0531", "203.0.113.86"), "").requests;
    EXPECT_EQ((std::vector<int>{303, 319, 304, 501}), Subcodes(requests));
    for (const json& request : requests) {
        EXPECT_EQ(kSimLan1, request["iface"]) << request.dump();
        EXPECT_EQ(0u, request.value("from", "").rfind(std::string(kClientLan1) + ":", 0)) << request.dump();
    }
    EXPECT_EQ("203.0.113.88", AddressOf("Far"));
}

// Discovery requests (opcode 1) the simulator received since the mark.
size_t DiscoveryRequests(size_t mark)
{
    const std::vector<json> lines = SimLogSince(mark);
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const json& line) {
        return !line.contains("sent") && line.value("opcode", 0) == 1;
    }));
}

TEST_F(ChangesEndToEnd, RefreshClickedAgainDuringTheDiscoveryStartsNoSecondOne)
{
    Start(json::array({SimLanDevice("0e0e0e0e0531", "198.51.100.86", "Only", "HDD_1")}));
    size_t mark = SimLogMark();
    Refresh();
    const size_t onePass = DiscoveryRequests(mark);
    ASSERT_GT(onePass, 0u);

    // The second click, a user's (posted mouse input), comes while the first waits.
    static const UINT busyQuery = RegisterWindowMessageA("KavronBusyQuery");
    mark = SimLogMark();
    winauto::ClickCentre(U().Item(IDC_REFRESH));
    ASSERT_TRUE(WaitFor([&] {
        DWORD_PTR busy = 0;
        return SendMessageTimeoutA(U().window, busyQuery, 0, 0, SMTO_NORMAL, 1000, &busy) && busy == 1;
    }));
    winauto::ClickCentre(U().Item(IDC_REFRESH));
    ASSERT_TRUE(U().Idle());
    EXPECT_EQ(onePass, DiscoveryRequests(mark));
    EXPECT_EQ((std::vector<std::string>{"Only"}), U().Column(IDC_DEVICE_LIST, 0));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
