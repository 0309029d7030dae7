// What the simulator's lab clients read of the namespace they were started in: the lab's
// environment, a monotonic clock, and whether an interface has the lab address it should.
#pragma once

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <time.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace lab_client {

inline std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

inline int64_t NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

struct LabInterface {
    const char* name;
    const char* address;
};

// True when lab/lab started this client (its variables are set) and every named interface
// carries its lab address, so that a client run by hand on the machine's own network
// sends nothing.
template <size_t N>
bool InsideLab(const LabInterface (&interfaces)[N])
{
    if (Env("KAVRON_LAB_ID").empty() || Env("KAVRON_SIM_CONFIG").empty())
        return false;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    size_t found = 0;
    for (ifaddrs* it = list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET)
            continue;
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(it->ifa_addr)->sin_addr, text, sizeof text);
        for (const auto& wanted : interfaces)
            found += wanted.name == std::string(it->ifa_name) && wanted.address == std::string(text);
    }
    freeifaddrs(list);
    return found == N;
}

}  // namespace lab_client
