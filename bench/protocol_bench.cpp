// Timing of discovery and queries against the simulator, next to the figures the
// fixed cadence predicts. Prints one "key=value ..." line per measurement; tools/bench
// runs it in labs and turns the lines into a table.
//
//   protocol_bench discover ROUNDS
//   protocol_bench query ADDRESS ROUNDS
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>

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

// What the cadence predicts for the discovery just made: every interface costs its
// settle pause, 31 pauses and 32 selects, except that a select finding an answer
// already queued returns at once.
long NominalOfLastDiscovery()
{
    int answers[kMaxInterfaces] = {};
    for (const DeviceRecord* d = deviceList.head; d != nullptr; d = d->next) {
        if (d->interfaceIndex >= 0 && d->interfaceIndex < kMaxInterfaces)
            ++answers[d->interfaceIndex];
    }
    long nominal = 0;
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        int read = answers[i] < kDiscoveryAttempts ? answers[i] : kDiscoveryAttempts;
        nominal += NominalDiscoveryMs() - static_cast<long>(read) * kSelectTimeoutMs;
    }
    return nominal;
}

int BenchDiscover(int rounds)
{
    for (int r = 0; r < rounds; ++r) {
        double wall = WallMs(), cpu = CpuMs();
        Discover(3, 3);
        wall = WallMs() - wall;
        cpu = CpuMs() - cpu;
        printf("discover round=%d interfaces=%d devices=%d wall_ms=%.1f cpu_ms=%.1f nominal_ms=%ld\n", r,
               interfaceTable.interfaceCount, deviceList.count, wall, cpu, NominalOfLastDiscovery());
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
    } else {
        fprintf(stderr, "usage: protocol_bench discover ROUNDS | query ADDRESS ROUNDS\n");
    }
    fflush(stdout);
    ClearDevices();
    StopNetwork();
    return status;
}
