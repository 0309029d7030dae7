#include "namespace_addresses.h"

#include "lab_netns.h"

#include <ifaddrs.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace devsim {

namespace {

// getifaddrs() list, freed on scope exit.
struct IfAddrList {
    ifaddrs* list = nullptr;
    ~IfAddrList()
    {
        if (list)
            ::freeifaddrs(list);
    }
};

// Every IPv4 address of this namespace with the interface that holds it.
std::set<InterfaceAddress> LocalAddresses()
{
    std::set<InterfaceAddress> local;
    IfAddrList addrs;
    if (::getifaddrs(&addrs.list) != 0)
        return local;
    for (ifaddrs* it = addrs.list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET)
            continue;
        InterfaceAddress a;
        std::memcpy(a.address.data(), &reinterpret_cast<const sockaddr_in*>(it->ifa_addr)->sin_addr, 4);
        a.interfaceName = it->ifa_name;
        local.insert(a);
    }
    return local;
}

std::string Describe(const InterfaceAddress& a)
{
    return FormatIpv4(a.address) + " on " + a.interfaceName;
}

}  // namespace

bool IsDeviceAddress(const Ipv4& a)
{
    return lab::IsLabRange(a) && a[3] != 0 && a[3] != 1 && a[3] != 255;
}

std::unique_ptr<NamespaceAddresses> NamespaceAddresses::Open(std::string* error)
{
    UniqueFd fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (!fd) {
        *error = std::string("netlink socket: ") + std::strerror(errno);
        return nullptr;
    }
    // The kernel answers an address change before sendto() returns; the timeout only
    // keeps a kernel that never answers from stopping the event loop for good.
    timeval timeout{1, 0};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    return std::unique_ptr<NamespaceAddresses>(new NamespaceAddresses(std::move(fd)));
}

NamespaceAddresses::~NamespaceAddresses()
{
    for (const auto& [address, given] : given_)
        Change(RTM_DELADDR, address);
}

int NamespaceAddresses::Change(uint16_t type, const InterfaceAddress& a)
{
    const unsigned index = ::if_nametoindex(a.interfaceName.c_str());
    if (index == 0)
        return errno;
    struct {
        nlmsghdr header;
        ifaddrmsg message;
        char attributes[2 * RTA_SPACE(4)];
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof request.message);
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK | (type == RTM_NEWADDR ? NLM_F_CREATE | NLM_F_EXCL : 0);
    request.header.nlmsg_seq = ++sequence_;
    request.message.ifa_family = AF_INET;
    request.message.ifa_prefixlen = 32;  // no subnet route: the interface's own /24 already has one
    request.message.ifa_scope = RT_SCOPE_UNIVERSE;
    request.message.ifa_index = index;
    for (unsigned short kind : {IFA_LOCAL, IFA_ADDRESS}) {
        auto* rta =
            reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&request) + NLMSG_ALIGN(request.header.nlmsg_len));
        rta->rta_type = kind;
        rta->rta_len = RTA_LENGTH(4);
        std::memcpy(RTA_DATA(rta), a.address.data(), 4);
        request.header.nlmsg_len = NLMSG_ALIGN(request.header.nlmsg_len) + RTA_SPACE(4);
    }
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd_.get(), &request, request.header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return errno;
    }
    alignas(nlmsghdr) char answer[1024];
    for (;;) {
        const ssize_t n = ::recv(fd_.get(), answer, sizeof answer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        size_t left = static_cast<size_t>(n);
        for (auto* h = reinterpret_cast<nlmsghdr*>(answer); NLMSG_OK(h, left); h = NLMSG_NEXT(h, left)) {
            if (h->nlmsg_seq != sequence_ || h->nlmsg_type != NLMSG_ERROR)
                continue;
            const auto* verdict = static_cast<const nlmsgerr*>(NLMSG_DATA(h));
            return -verdict->error;
        }
    }
}

std::vector<std::string> NamespaceAddresses::Sync(const std::set<InterfaceAddress>& wanted)
{
    std::vector<std::string> problems;
    const std::set<InterfaceAddress> local = LocalAddresses();
    for (auto& [address, given] : given_) {
        if (given.wanted && !wanted.count(address)) {
            given.wanted = false;
            given.retiredAt = ++retirements_;
        }
    }
    for (const InterfaceAddress& a : wanted) {
        auto it = given_.find(a);
        if (it != given_.end()) {
            it->second.wanted = true;
            continue;
        }
        // Somebody else's address (the interface's own, or one left by another program):
        // it already reaches this namespace, and it is not ours to take away later.
        bool foreign = false;
        for (auto l = local.lower_bound(InterfaceAddress{a.address, ""}); l != local.end() && l->address == a.address;
             ++l) {
            foreign = foreign || !given_.count(*l);
        }
        if (foreign)
            continue;
        const int error = Change(RTM_NEWADDR, a);
        if (error != 0) {
            problems.push_back("cannot add " + Describe(a) + ": " + std::strerror(error));
            continue;
        }
        given_.emplace(a, Given{});
    }

    std::vector<std::pair<uint64_t, InterfaceAddress>> retired;
    for (const auto& [address, given] : given_) {
        if (!given.wanted)
            retired.emplace_back(given.retiredAt, address);
    }
    if (retired.size() > kMaxRetired) {
        std::sort(retired.begin(), retired.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        for (size_t i = 0; i + kMaxRetired < retired.size(); ++i) {
            const int error = Change(RTM_DELADDR, retired[i].second);
            if (error != 0 && error != EADDRNOTAVAIL)
                problems.push_back("cannot remove " + Describe(retired[i].second) + ": " + std::strerror(error));
            given_.erase(retired[i].second);
        }
    }
    return problems;
}

}  // namespace devsim
