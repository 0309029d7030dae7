// Two instances of the real utility in one lab, one Wine prefix and one wineserver,
// sharing port 13579 on both links: both discover, both change settings at the same
// time, and each takes a reply as its own only when the reply carries its ClientId.
// Instances started in one second draw the same ClientId and may take each other's.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sim_devices.h"
#include "utility_driver.h"

namespace {

// Slow and Quick answer an address change after 3 s and 0.5 s; Far is on the second
// link; Solo answers to the asker's address instead of the group.
json Devices()
{
    json slow = SimLanDevice("0e0e0e0e0601", "198.51.100.91", "Slow", "SLOW_VOL");
    slow["subcodeDelayMs"] = {{"1", 3000}};
    json quick = SimLanDevice("0e0e0e0e0602", "198.51.100.92", "Quick", "QUICK_VOL");
    quick["subcodeDelayMs"] = {{"1", 500}};
    json distant = SimLanDevice("0e0e0e0e0603", "203.0.113.93", "Far", "FAR_VOL");
    distant["gateway"] = "203.0.113.1";
    distant["on"] = json::array({kSimLan1});
    json solo = SimLanDevice("0e0e0e0e0604", "198.51.100.94", "Solo", "SOLO_VOL");
    solo["reply"] = "unicast";
    return json::array({slow, quick, distant, solo});
}

const std::vector<std::string> kGroupAnswering = {"Far", "Quick", "Slow"};

std::vector<std::string> Names(const Utility& utility)
{
    std::vector<std::string> names = utility.Column(IDC_DEVICE_LIST, 0);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Without(std::vector<std::string> names, const char* name)
{
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    return names;
}

// The ClientIds of the discovery requests the simulator got since the mark.
std::set<std::string> DiscoveryClientIds(size_t mark)
{
    std::set<std::string> ids;
    for (const json& line : SimLogSince(mark)) {
        if (!line.contains("sent") && line.value("opcode", 0) == 1)
            ids.insert(line.value("clientId", ""));
    }
    return ids;
}

class TwoInstancesEndToEnd : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ApplySimDevices(Devices())); }

    static void Click(const Utility& utility, int id) { winauto::ClickCentre(utility.Item(id)); }
    static void SelectBoth(Utility& a, const char* nameA, Utility& b, const char* nameB)
    {
        const int rowA = a.RowOf(nameA), rowB = b.RowOf(nameB);
        ASSERT_GE(rowA, 0) << nameA;
        ASSERT_GE(rowB, 0) << nameB;
        ASSERT_TRUE(winauto::ClickListRow(a.Item(IDC_DEVICE_LIST), rowA));
        ASSERT_TRUE(winauto::ClickListRow(b.Item(IDC_DEVICE_LIST), rowB));
        ASSERT_TRUE(a.Idle());
        ASSERT_TRUE(b.Idle());
    }

    // Both apply a static address at once: a to Slow, b to Quick. Quick's reply comes
    // first, while a still waits for Slow's. Returns how many milliseconds before Slow
    // replied a's next discovery request arrived (negative: after the reply).
    static long ApplyBoth(Utility& a, Utility& b)
    {
        SelectBoth(a, "Slow", b, "Quick");
        a.SetAddresses("198.51.100.95", "255.255.255.0", "198.51.100.1");
        b.SetAddresses("198.51.100.96", "255.255.255.0", "198.51.100.1");
        const size_t mark = SimLogMark();
        Click(a, IDC_APPLY);
        Click(b, IDC_APPLY);
        EXPECT_TRUE(a.Idle());
        EXPECT_TRUE(b.Idle());
        EXPECT_NE(-1, a.RowOf("Slow"));
        EXPECT_EQ("198.51.100.95", a.Column(IDC_DEVICE_LIST, 1).at(static_cast<size_t>(a.RowOf("Slow"))));
        EXPECT_EQ("198.51.100.96", b.Column(IDC_DEVICE_LIST, 1).at(static_cast<size_t>(b.RowOf("Quick"))));

        // a's requests leave through its own socket: its address change to Slow names it.
        long aDiscovers = -1, slowReplies = -1;
        auto readLog = [&] {
            std::string aSocket;
            for (const json& line : SimLogSince(mark)) {
                const long t = line.value("t_ms", 0L);
                if (line.contains("sent")) {
                    if (line.value("opcode", 0) == 6 && line.value("device", "") == "198.51.100.95")
                        slowReplies = t;
                } else if (line.value("opcode", 0) == 5 && line.value("deviceId", "") == "0e0e0e0e0601c633645b") {
                    aSocket = line.value("from", "");
                } else if (!aSocket.empty() && aDiscovers < 0 && line.value("opcode", 0) == 1 &&
                           line.value("from", "") == aSocket) {
                    aDiscovers = t;
                }
            }
            return slowReplies >= 0;
        };
        EXPECT_TRUE(WaitFor(readLog, 10000)) << "Slow answered";
        EXPECT_GE(aDiscovers, 0) << "a refreshed";
        return slowReplies - aDiscovers;
    }
};

TEST_F(TwoInstancesEndToEnd, InstancesWithTheirOwnClientIdsEachTakeOnlyTheirReplies)
{
    // Each window appears after its first discovery: b starts seconds after a.
    const size_t mark = SimLogMark();
    Utility a;
    ASSERT_NE(nullptr, a.window);
    Utility b;
    ASSERT_NE(nullptr, b.window);
    ASSERT_EQ(2u, DiscoveryClientIds(mark).size());
    std::vector<std::string> all = kGroupAnswering;
    all.push_back("Solo");
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, Names(a)) << "a discovered alone";
    EXPECT_EQ(all, Names(b));

    // Both discover at once. A reply sent to the host's address reaches only the socket
    // bound last, b's (see docs/windows-notes.md): a does not hear Solo while b runs.
    Click(a, IDC_REFRESH);
    Click(b, IDC_REFRESH);
    ASSERT_TRUE(a.Idle());
    ASSERT_TRUE(b.Idle());
    EXPECT_EQ(Without(all, "Solo"), Names(a));
    EXPECT_EQ(all, Names(b));

    // Both query one device at once: each shows the volumes it asked for.
    SelectBoth(a, "Slow", b, "Slow");
    EXPECT_EQ((std::vector<std::string>{"SLOW_VOL"}), a.Column(IDC_VOLUME_LIST, 0));
    EXPECT_EQ((std::vector<std::string>{"SLOW_VOL"}), b.Column(IDC_VOLUME_LIST, 0));

    // a waits for Slow's own reply and reads past Quick's, which is b's.
    EXPECT_LT(ApplyBoth(a, b), 0);
}

TEST_F(TwoInstancesEndToEnd, InstancesStartedInOneSecondShareAClientIdAndMayTakeEachOthersReplies)
{
    std::unique_ptr<Utility> a, b;
    for (int attempt = 0; attempt < 4; ++attempt) {
        // Both read the clock at start-up, a fraction of a second after the launch.
        SYSTEMTIME now;
        do {
            Sleep(5);
            GetSystemTime(&now);
        } while (now.wMilliseconds > 50);
        const size_t mark = SimLogMark();
        a = std::make_unique<Utility>(false);
        b = std::make_unique<Utility>(false);
        ASSERT_TRUE(a->AwaitWindow());
        ASSERT_TRUE(b->AwaitWindow());
        if (DiscoveryClientIds(mark).size() == 1)
            break;
        a.reset();
        b.reset();
    }
    ASSERT_TRUE(a && b) << "the two instances never started within one second";

    // Each device answered both requests with the same ClientId: each instance took
    // both answers and listed the device once. Solo's answers went to one socket only.
    EXPECT_EQ(kGroupAnswering, Without(Names(*a), "Solo"));
    EXPECT_EQ(kGroupAnswering, Without(Names(*b), "Solo"));

    // a takes Quick's reply for its own and refreshes before Slow has answered; the
    // wait ends, nothing crashes, and both windows go on working.
    EXPECT_GT(ApplyBoth(*a, *b), 0);
    Click(*a, IDC_REFRESH);
    ASSERT_TRUE(a->Idle());
    EXPECT_NE(-1, a->RowOf("Slow"));
    EXPECT_NE(-1, b->RowOf("Quick"));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
