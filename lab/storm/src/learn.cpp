#include "learn.h"

#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "lab_guard.h"

namespace storm {

namespace {

constexpr uint16_t kProtocolPort = 13579;

bool IsRequestOpcode(uint8_t opcode)
{
    return opcode == 1 || opcode == 3 || opcode == 5;
}

}  // namespace

bool RequestListener::Open(const std::string& interfaceName, std::string* error)
{
    UniqueFd fd(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP));
    if (!fd) {
        *error = std::string("raw socket: ") + std::strerror(errno);
        return false;
    }
    if (::setsockopt(fd.get(), SOL_SOCKET, SO_BINDTODEVICE, interfaceName.c_str(),
                     static_cast<socklen_t>(interfaceName.size() + 1)) != 0) {
        *error = "SO_BINDTODEVICE " + interfaceName + ": " + std::strerror(errno);
        return false;
    }
    fd_ = std::move(fd);
    return true;
}

std::optional<LearnedRequest> RequestListener::Next(const Ipv4& interfaceAddress, int opcode, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t packet[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return std::nullopt;
        pollfd p{fd_.get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        const ssize_t n = ::recv(fd_.get(), packet, sizeof packet, MSG_DONTWAIT);
        if (n < static_cast<ssize_t>(sizeof(iphdr)))
            continue;
        const iphdr* ip = reinterpret_cast<const iphdr*>(packet);
        const size_t ipLength = ip->ihl * 4u;
        if (ip->protocol != IPPROTO_UDP || static_cast<size_t>(n) < ipLength + sizeof(udphdr))
            continue;
        Ipv4 destination, source;
        std::memcpy(destination.data(), &ip->daddr, 4);
        std::memcpy(source.data(), &ip->saddr, 4);
        if (!IsGroup(destination) && destination != interfaceAddress)
            continue;
        const udphdr* udp = reinterpret_cast<const udphdr*>(packet + ipLength);
        if (ntohs(udp->dest) != kProtocolPort)
            continue;
        const uint8_t* payload = packet + ipLength + sizeof(udphdr);
        const size_t size = static_cast<size_t>(n) - ipLength - sizeof(udphdr);
        if (size < 11 || !IsRequestOpcode(payload[0]) || (opcode != 0 && payload[0] != opcode))
            continue;
        LearnedRequest request;
        request.opcode = payload[0];
        std::memcpy(request.clientId.data(), payload + 1, request.clientId.size());
        if (payload[0] != 1 && size >= 21) {
            Ipv4 target;
            std::memcpy(target.data(), payload + 17, 4);
            request.target = target;
        }
        request.from = source;
        return request;
    }
}

}  // namespace storm
