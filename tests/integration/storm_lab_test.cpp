// kavronctl, native or the Windows build under Wine, while kavron-storm floods the link
// its three devices are on with 100,000 hostile datagrams: discovery, a query and a
// settings transaction each still find the devices and give the right outcome, within
// the cap of their waits. The storm starts on the client's own request (it learns the
// ClientId from it) and the devices answer a few hundred milliseconds later, so every
// answer has to be picked out of the flood.
//
// Runs natively in the client namespace of a lab:
//   lab run [--wine] --sim lab_start.json -- storm_lab_tests -- CLIENT...
// where CLIENT is kavronctl, or wine kavronctl.exe.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cadence.h"
#include "sim_control.h"
#include "wine_io.h"

namespace {

std::string clientCommand;  // from the command line, after "--"

const char kOffice[] = "198.51.100.20";
const char kLiving[] = "198.51.100.31";
const char kVault[] = "198.51.100.40";
const char kLivingAfterDhcp[] = "198.51.100.131";
const long kStormCount = 100000;

using Clock = std::chrono::steady_clock;

std::string Env(const char* name, const char* fallback = "")
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

bool UnderWine()
{
    return clientCommand.find(".exe") != std::string::npos;
}

// The storm's pace: as fast as the client can read it with room to spare on a loaded
// two-CPU machine, so that the devices' answers are not pushed out of a full queue (2 MiB
// holds only a few hundred datagrams when over-long ones are among them). Natively
// 100,000 datagrams take four seconds. Under Wine every receive is a round trip to the
// wineserver: the client reads 10,000 or more mixed datagrams a second on an idle
// machine and down to about 6,000 while other work holds both CPUs (a client that waited
// before every datagram: about 1,400 then), so the storm goes at 3,000 and lasts 33 s
// there. Either way it outlasts every cap.
std::string StormRate()
{
    return Env("KAVRON_STORM_RATE", UnderWine() ? "3000" : "25000");
}

// Slack for a loaded machine with two CPUs, on top of a cap, for the end of the wait
// and of the process; a Wine process takes longer to end.
double MarginSeconds()
{
    return UnderWine() ? 2.0 : 1.0;
}

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

struct ClientRun {
    int status = -1;
    std::string out;
    double seconds = 0;
    long long endMs = 0;  // monotonic clock, as the storm's at_ms
};

ClientRun RunClient(const std::string& arguments)
{
    ClientRun run;
    const std::string command = clientCommand + " " + arguments + " 2>>\"" + Env("KAVRON_LAB_DIR") + "/client.err\"";
    const Clock::time_point start = Clock::now();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.endMs = NowMs();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = WithoutCarriageReturns(run.out);
    return run;
}

json JsonOf(const ClientRun& run)
{
    return json::parse(run.out, nullptr, false);
}

// UDP counters of the namespace this test (and the client) runs in.
struct UdpCounters {
    long inDatagrams = 0, rcvbufErrors = 0, noPorts = 0;
};

UdpCounters ReadUdpCounters()
{
    std::ifstream snmp("/proc/net/snmp");
    std::string names, values, line;
    while (std::getline(snmp, line)) {
        if (line.rfind("Udp:", 0) == 0) {
            if (names.empty()) {
                names = line;
            } else {
                values = line;
            }
        }
    }
    std::istringstream n(names), v(values);
    std::string name, value;
    UdpCounters counters;
    n >> name;
    v >> value;
    while (n >> name && v >> value) {
        if (name == "InDatagrams")
            counters.inDatagrams = std::stol(value);
        if (name == "RcvbufErrors")
            counters.rcvbufErrors = std::stol(value);
        if (name == "NoPorts")
            counters.noPorts = std::stol(value);
    }
    return counters;
}

// kavron-storm running in the device namespace, waiting for the client's request.
class Storm {
public:
    ~Storm()
    {
        if (pipe_ != nullptr)
            pclose(pipe_);
    }

    // Starts it and waits until it listens. Extra: further options (--kinds ...).
    bool Start(int learnOpcode, const std::string& extra = "")
    {
        const std::string command = "ip netns exec " + Env("KAVRON_LAB_DEVICE_NS") + " " + Env("KAVRON_STORM") +
                                    " --count " + std::to_string(kStormCount) + " --rate " + StormRate() +
                                    " --to 198.51.100.1,224.0.0.1 --via dev0 --learn-client-id --learn-opcode " +
                                    std::to_string(learnOpcode) + " --learn-timeout 60 --device-address " + kOffice +
                                    "," + kLiving + "," + kVault + " " + extra + " 2>&1";
        pipe_ = popen(command.c_str(), "r");
        if (pipe_ == nullptr)
            return false;
        std::string line;
        while (ReadLine(&line)) {
            if (line.rfind("storm listening", 0) == 0)
                return true;
        }
        return false;
    }

    // Waits for the end of the flood and reads its report: "kind NAME N", "total N", ...
    std::map<std::string, long long> Finish()
    {
        std::map<std::string, long long> report;
        std::string line;
        while (ReadLine(&line)) {
            std::istringstream words(line);
            std::string key, name;
            long long value = 0;
            words >> key;
            if (key == "kind" && words >> name >> value) {
                report["kind " + name] = value;
            } else if (line.rfind("storm learned", 0) == 0) {
                const size_t at = line.find(" at_ms ");
                if (at != std::string::npos)
                    report["learned_at_ms"] = std::stoll(line.substr(at + 7));
            } else if (words >> value) {
                report[key] = value;
            }
        }
        report["status"] = pipe_ != nullptr ? WEXITSTATUS(pclose(pipe_)) : -1;
        pipe_ = nullptr;
        return report;
    }

    std::string log;  // everything it printed

private:
    bool ReadLine(std::string* line)
    {
        char buffer[512];
        if (pipe_ == nullptr || fgets(buffer, sizeof buffer, pipe_) == nullptr)
            return false;
        *line = buffer;
        while (!line->empty() && (line->back() == '\n' || line->back() == '\r'))
            line->pop_back();
        log += *line + "\n";
        return true;
    }

    FILE* pipe_ = nullptr;
};

// One stormed client run: the storm's report, the client's run, and what reached the
// client's sockets while it ran.
struct StormedRun {
    ClientRun client;
    std::map<std::string, long long> storm;
    double waitSeconds = 0;  // from the request the storm learned from to the client's end
    long delivered = 0;      // datagrams queued to the client's sockets while it ran
    long bufferDrops = 0;    // datagrams dropped for a full receive queue meanwhile
};

StormedRun RunStormed(int learnOpcode, const std::string& arguments, const std::string& stormOptions = "")
{
    StormedRun result;
    Storm storm;
    EXPECT_TRUE(storm.Start(learnOpcode, stormOptions)) << storm.log;
    const UdpCounters before = ReadUdpCounters();
    result.client = RunClient(arguments);
    const UdpCounters after = ReadUdpCounters();
    result.storm = storm.Finish();
    result.waitSeconds = (result.client.endMs - result.storm["learned_at_ms"]) / 1000.0;
    result.delivered = after.inDatagrams - before.inDatagrams;
    result.bufferDrops = after.rcvbufErrors - before.rcvbufErrors;
    EXPECT_EQ(result.storm["status"], 0) << storm.log;
    EXPECT_EQ(result.storm["total"], kStormCount) << storm.log;
    std::printf("[ figures  ] %s: client %.2f s, %.2f s of it from the stormed request on, status %d; storm %lld "
                "sent in %lld ms (%lld/s), %lld errors; client received %ld datagrams while it ran, %ld dropped for "
                "a full queue\n",
                arguments.c_str(), result.client.seconds, result.waitSeconds, result.client.status,
                result.storm["total"], result.storm["elapsed_ms"], result.storm["rate"], result.storm["errors"],
                result.delivered, result.bufferDrops);
    return result;
}

// The storm reached the client for real: every answer comes at least 0.45 s into the
// storm, so at least what a quarter of a second of it sends, not a trickle.
void ExpectStormReachedTheClient(const StormedRun& run)
{
    EXPECT_GT(run.delivered + run.bufferDrops, std::stol(StormRate()) / 4) << "the storm never reached the client";
}

class StormLab : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Three devices on the stormed link, one of each answer layout, answering 0.15 to
        // 0.8 s after each request (well inside the storm). The storm is sent from dev0.
        json office = SimDevice("0e0e0e0e0001", kOffice);
        office.update(json{{"name", "Office Storage"},
                           {"layout", 8},
                           {"model", "ZKM-150"},
                           {"on", json::array({kSimLan0})},
                           {"delayMs", 150},
                           {"subcodeDelayMs", {{"19", 700}}},
                           {"values", {{"19", "1"}, {"3", "HDD_1:USB1"}}}});
        json living = SimDevice("0e0e0e0e0002", kLiving);
        living.update(json{{"name", "Living Room Media"},
                           {"layout", 7},
                           {"on", json::array({kSimLan0})},
                           {"reply", "unicast"},
                           {"delayMs", 450},
                           {"dhcpAddress", kLivingAfterDhcp}});
        json vault = SimDevice("0e0e0e0e0003", kVault);
        vault.update(json{{"name", "Backup Vault"},
                          {"layout", 2},
                          {"on", json::array({kSimLan0})},
                          {"delayMs", 800},
                          {"unanswered", json::array({19})}});
        ASSERT_TRUE(ApplySimDevices({office, living, vault}));

        // The same discovery without a storm lists all three, for comparison.
        const ClientRun calm = RunClient("discover --json");
        ASSERT_EQ(calm.status, 0);
        ASSERT_EQ(JsonOf(calm).size(), 3u) << calm.out;
        std::printf("[ figures  ] discover without storm: %.2f s\n", calm.seconds);
    }
};

TEST_F(StormLab, DiscoveryListsEveryDeviceWithinItsCap)
{
    // Every kind in turn; then an even mix of datagrams that are cheap to send and cost
    // the client one receive each, some 4 to 6 KB and fragmented, which fills its queue
    // fastest (under Wine, a client that waited before every datagram lost devices to it
    // at 1,500 a second).
    for (const char* kinds : {"", "--kinds random-bytes,random-body,long-length,large,reply-fragment,random-opcode"}) {
        SCOPED_TRACE(kinds);
        const StormedRun run = RunStormed(1, "discover --json", kinds);
        ASSERT_EQ(run.client.status, 0) << run.client.out;
        std::map<std::string, std::string> listed;
        const json devices = JsonOf(run.client);
        ASSERT_TRUE(devices.is_array()) << run.client.out;
        for (const json& d : devices)
            listed[d.value("address", "")] = d.value("name", "");
        EXPECT_EQ(listed, (std::map<std::string, std::string>{
                              {kOffice, "Office Storage"}, {kLiving, "Living Room Media"}, {kVault, "Backup Vault"}}));
        // The pass listens to both interfaces together for at most its cap, a second
        // beyond the nominal time.
        EXPECT_LT(run.waitSeconds, (kDiscoverySettleMs + DiscoveryCapMs()) / 1000.0 + MarginSeconds());
        ExpectStormReachedTheClient(run);
    }
}

TEST_F(StormLab, QueriesTakeTheDevicesValueOrFailWithinTheCap)
{
    // The answer comes 0.7 s into the storm, which also carries truncated, over-long and
    // other devices' replies with this client's ClientId.
    StormedRun run = RunStormed(3, std::string("query ") + kOffice + " ssl --json");
    EXPECT_EQ(run.client.status, 0) << run.client.out;
    EXPECT_EQ(JsonOf(run.client), (json{{"value", "1"}}));
    ExpectStormReachedTheClient(run);

    // A device that never answers: the wait ends at its cap, not with the storm.
    run = RunStormed(3, std::string("query ") + kVault + " ssl --json");
    EXPECT_EQ(run.client.status, 3) << run.client.out;
    EXPECT_LT(run.waitSeconds, WaitCapMs(kAttemptsQuery) / 1000.0 + MarginSeconds());
    ExpectStormReachedTheClient(run);
}

TEST_F(StormLab, AdministratorCheckAndSettingThroughTheStorm)
{
    // The switch to DHCP takes any setting reply with this client's ClientId, whatever
    // address it names: a forged one of another device would be indistinguishable from
    // the device's own, so that kind stays out of this storm.
    std::string kinds;
    for (const char* kind : {"truncated", "overlong", "wrong-opcode", "random-body", "foreign-answer", "own-truncated",
                             "own-wrong-opcode", "own-overlong", "own-query-other"})
        kinds += std::string(kinds.empty() ? "" : ",") + kind;
    const size_t mark = SimLogMark();
    const StormedRun run = RunStormed(3, std::string("enable-dhcp ") + kLiving + " --json", "--kinds " + kinds);
    EXPECT_EQ(run.client.status, 0) << run.client.out;
    EXPECT_EQ(JsonOf(run.client), (json{{"outcome", "done"},
                                        {"address", kLivingAfterDhcp},
                                        {"moved", {{"from", kLiving}, {"to", kLivingAfterDhcp}}}}))
        << run.client.out;
    ExpectStormReachedTheClient(run);
    // The device was asked once for each: the administrator check, then the setting.
    int checks = 0, settings = 0;
    for (const json& line : SimLogSince(mark)) {
        if (line.contains("sent"))
            continue;
        checks += line.value("opcode", 0) == 3 && line.value("subcode", 0) == 4;
        settings += line.value("opcode", 0) == 5 && line.value("subcode", 0) == 2;
    }
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(settings, 1);
}

TEST(StormGuard, RefusesEverythingOutsideTheLab)
{
    const std::string storm = Env("KAVRON_STORM");
    const std::string device = "ip netns exec " + Env("KAVRON_LAB_DEVICE_NS") + " " + storm;
    for (const char* to : {"192.0.2.1", "224.0.0.2", "10.0.0.1", "198.51.101.1"}) {
        EXPECT_EQ(WEXITSTATUS(std::system((device + " --count 1 --via dev0 --to " + to + " 2>/dev/null").c_str())), 2)
            << to;
    }
    // The client namespace is no device namespace.
    EXPECT_EQ(WEXITSTATUS(std::system((storm + " --count 1 --via lan0 --to 198.51.100.2 2>/dev/null").c_str())), 2);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--") {
            for (int j = i + 1; j < argc; ++j)
                clientCommand += std::string(clientCommand.empty() ? "" : " ") + "'" + argv[j] + "'";
            break;
        }
    }
    if (clientCommand.empty()) {
        std::fprintf(stderr, "usage: %s [gtest options] -- CLIENT... (kavronctl, or wine kavronctl.exe)\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
