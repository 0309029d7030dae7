#include "net.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "wire.h"

namespace devsim {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string FormatEndpoint(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

namespace {

// getifaddrs() list, freed on scope exit.
struct IfAddrs {
    ifaddrs* list = nullptr;
    ~IfAddrs()
    {
        if (list)
            ::freeifaddrs(list);
    }
};

std::optional<std::string> InterfaceOwning(in_addr address, std::string* error)
{
    IfAddrs addrs;
    if (::getifaddrs(&addrs.list) != 0) {
        *error = std::string("getifaddrs: ") + std::strerror(errno);
        return std::nullopt;
    }
    for (ifaddrs* it = addrs.list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET)
            continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        if (in->sin_addr.s_addr == address.s_addr)
            return std::string(it->ifa_name);
    }
    *error = "no interface of this network namespace has that address";
    return std::nullopt;
}

bool SetOption(int fd, int level, int name, const void* value, socklen_t size, const char* what, std::string* error)
{
    if (::setsockopt(fd, level, name, value, size) == 0)
        return true;
    *error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

std::unique_ptr<InterfaceSocket> InterfaceSocket::Open(const std::string& address, std::string* error)
{
    in_addr local{};
    if (::inet_pton(AF_INET, address.c_str(), &local) != 1) {
        *error = address + ": not an IPv4 address";
        return nullptr;
    }
    std::string why;
    auto name = InterfaceOwning(local, &why);
    if (!name) {
        *error = address + ": " + why;
        return nullptr;
    }
    const unsigned index = ::if_nametoindex(name->c_str());

    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) {
        *error = address + ": socket: " + std::strerror(errno);
        return nullptr;
    }
    const int one = 1, zero = 0;
    ip_mreqn membership{};
    ::inet_pton(AF_INET, kGroupAddress, &membership.imr_multiaddr);
    membership.imr_address = local;
    membership.imr_ifindex = static_cast<int>(index);
    const unsigned char loop = 0;
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(kProtocolPort);
    any.sin_addr.s_addr = htonl(INADDR_ANY);

    // Several sockets share port 13579, each tied to its own interface and hearing only the
    // group it joined itself; otherwise every socket would get every interface's multicast.
    const bool ok =
        SetOption(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one, "SO_REUSEADDR", &why) &&
        SetOption(fd.get(), SOL_SOCKET, SO_BINDTODEVICE, name->c_str(), static_cast<socklen_t>(name->size()),
                  "SO_BINDTODEVICE", &why) &&
        SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_ALL, &zero, sizeof zero, "IP_MULTICAST_ALL", &why) &&
        SetOption(fd.get(), IPPROTO_IP, IP_PKTINFO, &one, sizeof one, "IP_PKTINFO", &why) &&
        (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0 ||
         (why = std::string("bind 0.0.0.0:13579: ") + std::strerror(errno), false)) &&
        SetOption(fd.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership,
                  "IP_ADD_MEMBERSHIP 224.0.0.1", &why) &&
        SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_IF, &membership, sizeof membership, "IP_MULTICAST_IF", &why) &&
        SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop, "IP_MULTICAST_LOOP", &why);
    if (!ok) {
        *error = address + " (" + *name + "): " + why;
        return nullptr;
    }
    return std::unique_ptr<InterfaceSocket>(new InterfaceSocket(std::move(fd), address, *name));
}

InterfaceSocket::ReadStatus InterfaceSocket::Read(Datagram* out, std::string* error)
{
    buffer_.resize(kMaxRequestSize);
    iovec iov{buffer_.data(), buffer_.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_name = &out->from;
    msg.msg_namelen = sizeof out->from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    // MSG_TRUNC makes the result the datagram's real size even when it did not fit.
    const ssize_t n = ::recvmsg(fd_.get(), &msg, MSG_TRUNC);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return ReadStatus::kEmpty;
        *error = std::string("recvmsg: ") + std::strerror(errno);
        return ReadStatus::kError;
    }
    out->size = static_cast<size_t>(n);
    out->bytes.assign(buffer_.begin(), buffer_.begin() + static_cast<long>(std::min(out->size, buffer_.size())));
    out->destination.reset();
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            out->destination = info.ipi_addr;
        }
    }
    return ReadStatus::kDatagram;
}

bool InterfaceSocket::Send(const Bytes& datagram, const sockaddr_in& to, std::string* error)
{
    const ssize_t n =
        ::sendto(fd_.get(), datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (n == static_cast<ssize_t>(datagram.size()))
        return true;
    *error = n < 0 ? std::string("sendto: ") + std::strerror(errno) : "sendto: short write";
    return false;
}

}  // namespace devsim
