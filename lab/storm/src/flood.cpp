#include "flood.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <thread>

#include "lab_guard.h"
#include "unique_fd.h"

namespace storm {

namespace {

constexpr uint16_t kProtocolPort = 13579;
constexpr unsigned kBatch = 32;

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int)
{
    stopRequested = 1;
}

sockaddr_in SocketAddress(const Ipv4& address, uint16_t port)
{
    sockaddr_in s{};
    s.sin_family = AF_INET;
    s.sin_port = htons(port);
    std::memcpy(&s.sin_addr, address.data(), 4);
    return s;
}

bool Set(int fd, int level, int option, int value, const char* name, std::string* error)
{
    if (::setsockopt(fd, level, option, &value, sizeof value) == 0)
        return true;
    *error = std::string(name) + ": " + std::strerror(errno);
    return false;
}

UniqueFd OpenSocket(const Ipv4& via, std::string* error)
{
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        *error = std::string("socket: ") + std::strerror(errno);
        return UniqueFd();
    }
    in_addr interfaceAddress{};
    std::memcpy(&interfaceAddress, via.data(), 4);
    const sockaddr_in local = SocketAddress(via, 0);
    // Loop off: the simulator in this namespace must not receive the flood to the group.
    // Fragmenting allowed: the over-long datagrams are larger than the links' MTU.
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *error = "bind " + FormatIpv4(via) + ": " + std::strerror(errno);
        return UniqueFd();
    }
    if (::setsockopt(fd.get(), IPPROTO_IP, IP_MULTICAST_IF, &interfaceAddress, sizeof interfaceAddress) != 0) {
        *error = std::string("IP_MULTICAST_IF: ") + std::strerror(errno);
        return UniqueFd();
    }
    if (!Set(fd.get(), IPPROTO_IP, IP_MULTICAST_LOOP, 0, "IP_MULTICAST_LOOP", error) ||
        !Set(fd.get(), IPPROTO_IP, IP_MULTICAST_TTL, 1, "IP_MULTICAST_TTL", error) ||
        !Set(fd.get(), IPPROTO_IP, IP_MTU_DISCOVER, IP_PMTUDISC_DONT, "IP_MTU_DISCOVER", error) ||
        !Set(fd.get(), SOL_SOCKET, SO_SNDBUF, 4 << 20, "SO_SNDBUF", error)) {
        return UniqueFd();
    }
    return fd;
}

}  // namespace

void StopOnSignals()
{
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
}

bool Flood(const FloodOptions& options, DatagramMaker* maker, FloodResult* result, std::string* error)
{
    if (options.kinds.empty() || options.to.empty()) {
        *error = "nothing to send";
        return false;
    }
    for (const Ipv4& to : options.to) {
        if (!IsAllowedDestination(to)) {
            *error = FormatIpv4(to) + " is outside the lab";
            return false;
        }
    }
    UniqueFd fd = OpenSocket(options.via, error);
    if (!fd)
        return false;
    std::vector<sockaddr_in> destinations;
    for (const Ipv4& to : options.to)
        destinations.push_back(SocketAddress(to, kProtocolPort));

    std::vector<std::vector<uint8_t>> datagrams(kBatch);
    std::vector<Kind> kinds(kBatch);
    mmsghdr messages[kBatch];
    iovec parts[kBatch];

    const Clock::time_point start = Clock::now();
    uint64_t next = 0;
    while (next < options.count && !stopRequested) {
        // How many are due now: all of them without a rate, else as many as the time
        // since the start allows.
        uint64_t due = options.count;
        if (options.rate > 0) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            due = std::min<uint64_t>(options.count, static_cast<uint64_t>(elapsed * options.rate) + 1);
            if (due <= next) {
                std::this_thread::sleep_for(std::chrono::duration<double>((next + 1 - due) / options.rate));
                continue;
            }
        }
        const unsigned batch = static_cast<unsigned>(std::min<uint64_t>(kBatch, due - next));
        for (unsigned i = 0; i < batch; ++i) {
            const uint64_t serial = next + i;
            kinds[i] = options.kinds[serial % options.kinds.size()];
            maker->Make(kinds[i], &datagrams[i]);
            parts[i] = iovec{datagrams[i].data(), datagrams[i].size()};
            messages[i] = mmsghdr{};
            // Each kind goes to every destination in turn: with as many kinds as
            // destinations (or a multiple), taking both in turn by the serial alone would
            // send each kind to one destination only.
            messages[i].msg_hdr.msg_name = &destinations[serial / options.kinds.size() % destinations.size()];
            messages[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        unsigned done = 0;
        int refusals = 0;
        while (done < batch) {
            const int n = ::sendmmsg(fd.get(), messages + done, batch - done, 0);
            if (n > 0) {
                for (int i = 0; i < n; ++i)
                    ++result->sent[kinds[done + static_cast<unsigned>(i)]];
                done += static_cast<unsigned>(n);
                refusals = 0;
                continue;
            }
            if (errno == EINTR)
                continue;
            // A full queue clears in a moment; anything else, or a queue that stays full,
            // costs this one datagram.
            if ((errno == ENOBUFS || errno == EAGAIN) && ++refusals < 100) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            ++result->errors;
            ++done;
            refusals = 0;
        }
        next += batch;
    }
    result->seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result->stopped = stopRequested != 0;
    return true;
}

}  // namespace storm
