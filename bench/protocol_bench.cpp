// Timing of discovery, queries and settings against the simulator, next to the figures
// the fixed cadence predicts. Prints one "key=value ..." line per measurement;
// tools/bench runs it in labs and turns the lines into a table.
//
//   protocol_bench discover ROUNDS
//   protocol_bench pace ROUNDS       the full and the quick pass, alternately
//   protocol_bench arrivals ROUNDS   when each device's first answer arrives
//   protocol_bench query ADDRESS ROUNDS
//   protocol_bench settings ANSWERING SILENT ROUNDS
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include "protocol.h"

namespace {

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// User plus system time of this process.
double CpuMs()
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto ms = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#endif
}

int BenchDiscover(int rounds)
{
    for (int r = 0; r < rounds; ++r) {
        double wall = WallMs(), cpu = CpuMs();
        Discover(3, 3);
        wall = WallMs() - wall;
        cpu = CpuMs() - cpu;
        // A pass asks every interface, then listens to all of them together for 32
        // windows, reading every answer: its length depends on neither.
        printf("discover round=%d interfaces=%d devices=%d wall_ms=%.1f cpu_ms=%.1f nominal_ms=%ld\n", r,
               interfaceTable.interfaceCount, deviceList.count, wall, cpu, NominalDiscoveryMs());
    }
    return 0;
}

// The full pass and the quick one side by side, alternately, so that both meet the
// same network.
int BenchPace(int rounds)
{
    for (int r = 0; r < rounds; ++r) {
        for (DiscoveryPace pace : {DiscoveryPace::kFull, DiscoveryPace::kQuick}) {
            const double start = WallMs();
            Discover(3, 3, pace);
            printf("pace round=%d pace=%s devices=%d wall_ms=%.1f\n", r,
                   pace == DiscoveryPace::kQuick ? "quick" : "full", deviceList.count, WallMs() - start);
        }
    }
    return 0;
}

// What the quick pass's two figures rest on: a full pass's requests, then when, from
// the sending, each device's first answer was read: the first and the last, and the
// longest gap between two devices heard one after the other.
int BenchArrivals(int rounds)
{
    RequestBuffer request;
    memset(&request, 0, sizeof request);
    const int length = BuildDiscoveryRequest(&request);
    for (int r = 0; r < rounds; ++r) {
        const double start = WallMs();
        for (int i = 0; i < interfaceTable.interfaceCount; ++i)
            SendRequest(i, request.bytes, length);
        std::set<std::string> heard;
        std::vector<double> arrivals;
        ReplyBuffer reply;
        memset(&reply, 0, sizeof reply);
        ListenAll(DiscoveryWait(), &reply, [&](int, const ReplyBuffer& datagram) {
            if (!IsOwnReply(datagram) || !IsDeviceAnswer(datagram))
                return false;
            char address[16];
            snprintf(address, sizeof address, "%d.%d.%d.%d", datagram.bytes[17], datagram.bytes[18], datagram.bytes[19],
                     datagram.bytes[20]);
            if (!heard.insert(address).second)
                return false;
            arrivals.push_back(WallMs() - start);
            return true;
        });
        double gap = 0;
        for (size_t i = 1; i < arrivals.size(); ++i)
            gap = std::max(gap, arrivals[i] - arrivals[i - 1]);
        printf("arrivals round=%d devices=%zu first_ms=%.1f last_ms=%.1f max_gap_ms=%.1f\n", r, arrivals.size(),
               arrivals.empty() ? 0.0 : arrivals.front(), arrivals.empty() ? 0.0 : arrivals.back(), gap);
    }
    return 0;
}

int BenchQuery(const char* address, int rounds)
{
    Discover(3, 3);
    CopyTextTo(protocolSession.selectedAddress, address);
    if (FindSelectedDevice() == nullptr) {
        fprintf(stderr, "protocol_bench: no device at %s\n", address);
        return 3;
    }
    double total = 0, worst = 0, cpuTotal = 0;
    int answered = 0;
    for (int r = 0; r < rounds; ++r) {
        double wall = WallMs(), cpu = CpuMs();
        answered += QuerySsl();
        wall = WallMs() - wall;
        cpuTotal += CpuMs() - cpu;
        total += wall;
        if (wall > worst)
            worst = wall;
    }
    // One exchange on a quiet network takes well under a millisecond; the drain's
    // selects are what a query costs.
    printf("query rounds=%d answered=%d mean_ms=%.2f max_ms=%.2f cpu_ms=%.2f nominal_ms=%ld\n", rounds, answered,
           total / rounds, worst, cpuTotal / rounds, NominalDrainMs(kDrainAttempts));
    return answered == rounds ? 0 : 3;
}

// The administrator check and every setting: ROUNDS times against a device that
// answers at once (so an address change leaves it where it is, and its DHCP address is
// its own), once against one that never answers.
int BenchSettings(const char* answering, const char* silent, int rounds)
{
    const struct {
        const char* name;
        int (*run)();
        int attemptLimit;
        long drainMs;  // the check drains first, as the queries do; the settings do not
    } transactions[] = {
        {"admin-check", [] { return VerifyAdminPassword() != 0 ? 1 : 0; }, kAttemptsShort,
         NominalDrainMs(kDrainAttempts)},
        {"codepage", [] { return SetCodepage("865"); }, kAttemptsShort, 0},
        {"access-mode", [] { return SetAccessMode("rw"); }, kAttemptsShort, 0},
        {"stop", [] { return SendStop("stop"); }, kAttemptsShort, 0},
        {"addon-installed", [] { return NotifyAddonInstalled("BT"); }, kAttemptsShort, 0},
        {"dhcp-client", EnableDhcpClient, kAttemptsDhcp, 0},
        {"address", ApplyAddressSettings, kAttemptsAddress, 0},
    };
    Discover(3, 3);
    CopyTextTo(protocolSession.adminUser, "admin");
    CopyTextTo(protocolSession.pendingNetmask, "255.255.255.0");
    CopyTextTo(protocolSession.pendingGateway, "198.51.100.1");
    for (const char* address : {answering, silent}) {
        if (FindDevice(address) == nullptr) {
            fprintf(stderr, "protocol_bench: no device at %s\n", address);
            return 3;
        }
    }
    int status = 0;
    for (const auto& transaction : transactions) {
        CopyTextTo(protocolSession.selectedAddress, answering);
        CopyTextTo(protocolSession.pendingAddress, answering);
        double total = 0, worst = 0;
        int answered = 0;
        for (int r = 0; r < rounds; ++r) {
            double wall = WallMs();
            answered += transaction.run();
            wall = WallMs() - wall;
            total += wall;
            if (wall > worst)
                worst = wall;
        }
        CopyTextTo(protocolSession.selectedAddress, silent);
        CopyTextTo(protocolSession.pendingAddress, silent);
        double silentMs = WallMs();
        const int silentAnswered = transaction.run();
        silentMs = WallMs() - silentMs;
        // Answered at once, the reply is read by the first select after the drain, if
        // any: no pause.
        printf("setting name=%s rounds=%d answered=%d mean_ms=%.2f max_ms=%.2f nominal_ms=%ld silent_ms=%.1f "
               "silent_answered=%d silent_nominal_ms=%ld\n",
               transaction.name, rounds, answered, total / rounds, worst, transaction.drainMs + kSelectTimeoutMs,
               silentMs, silentAnswered, transaction.drainMs + NominalWaitMs(transaction.attemptLimit));
        fflush(stdout);
        if (answered != rounds || silentAnswered != 0)
            status = 3;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    if (StartNetwork() != 1) {
        fprintf(stderr, "protocol_bench: the socket layer could not be started\n");
        return 1;
    }
    int status = 2;
    if (argc == 3 && strcmp(argv[1], "discover") == 0) {
        status = BenchDiscover(atoi(argv[2]));
    } else if (argc == 3 && strcmp(argv[1], "pace") == 0) {
        status = BenchPace(atoi(argv[2]));
    } else if (argc == 3 && strcmp(argv[1], "arrivals") == 0) {
        status = BenchArrivals(atoi(argv[2]));
    } else if (argc == 4 && strcmp(argv[1], "query") == 0) {
        status = BenchQuery(argv[2], atoi(argv[3]));
    } else if (argc == 5 && strcmp(argv[1], "settings") == 0) {
        status = BenchSettings(argv[2], argv[3], atoi(argv[4]));
    } else {
        fprintf(stderr,
                "usage: protocol_bench discover ROUNDS | pace ROUNDS | arrivals ROUNDS | query ADDRESS ROUNDS | "
                "settings ANSWERING SILENT ROUNDS\n");
    }
    fflush(stdout);
    ClearDevices();
    StopNetwork();
    return status;
}
