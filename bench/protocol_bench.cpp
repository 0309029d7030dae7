// Timing of discovery, queries and settings against the simulator, next to the figures
// the fixed cadence predicts. Prints one "key=value ..." line per measurement;
// tools/bench runs it in labs and turns the lines into a table.
//
//   protocol_bench discover ROUNDS
//   protocol_bench query ADDRESS ROUNDS
//   protocol_bench settings ANSWERING SILENT ROUNDS
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <initializer_list>

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
    } else if (argc == 4 && strcmp(argv[1], "query") == 0) {
        status = BenchQuery(argv[2], atoi(argv[3]));
    } else if (argc == 5 && strcmp(argv[1], "settings") == 0) {
        status = BenchSettings(argv[2], argv[3], atoi(argv[4]));
    } else {
        fprintf(stderr, "usage: protocol_bench discover ROUNDS | query ADDRESS ROUNDS | settings ANSWERING SILENT "
                        "ROUNDS\n");
    }
    fflush(stdout);
    ClearDevices();
    StopNetwork();
    return status;
}
