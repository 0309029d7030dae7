// Linux sockets. A UDP socket bound to a unicast address does not receive datagrams
// for a group on Linux, so each receive socket is bound to the port on any address,
// tied to its interface's device and joined to the group there; the destination and
// arriving interface of every datagram are checked as well (IP_PKTINFO), so the socket
// takes exactly the datagrams to the group or to the interface's own address that
// arrive on that interface.
#include "socket_layer.h"

#include <arpa/inet.h>
#include <errno.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <stdio.h>
#include <string.h>

#include "host_interfaces.h"
#include "text_util.h"

namespace {

const char kGroupAddress[] = "224.0.0.1";

// IPv4 addresses read from the system before the choice; far more than any host has.
enum { kListedCapacity = 256 };

// The receive queue asked for. This build reads well over 25,000 datagrams a second,
// so a flood that fills it is one no reader could keep up with.
enum { kReceiveBufferBytes = 1 << 20 };

sockaddr_in GroupDestination()
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kProtocolPort);
    to.sin_addr.s_addr = inet_addr(kGroupAddress);
    return to;
}

void SetFlag(int fd, int level, int option, unsigned char value)
{
    setsockopt(fd, level, option, &value, sizeof value);
}

// A burst of datagrams must not push real answers out of the queue before they are
// read. The system caps SO_RCVBUF (net.core.rmem_max); as root the cap is lifted with
// SO_RCVBUFFORCE, otherwise the socket gets as much as the cap allows.
void EnlargeReceiveBuffer(int fd)
{
    int size = kReceiveBufferBytes;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

}  // namespace

int PlatformStartup()
{
    return 1;
}
void PlatformCleanup() {}

int PlatformHostAddresses(HostAddress* addresses, int capacity)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return 0;
    InterfaceAddress listed[kListedCapacity];
    int count = 0;
    for (ifaddrs* it = list; it != nullptr && count < kListedCapacity; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET)
            continue;
        const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        InterfaceAddress& out = listed[count++];
        CopyTextTo(out.address.text, inet_ntoa(address->sin_addr));
        CopyTextTo(out.address.deviceName, it->ifa_name);
        out.address.deviceIndex = if_nametoindex(it->ifa_name);
        out.up = (it->ifa_flags & IFF_UP) != 0;
        out.loopback = (it->ifa_flags & IFF_LOOPBACK) != 0;
    }
    freeifaddrs(list);
    return ChooseHostAddresses(listed, count, addresses, capacity);
}

ProtocolSocket PlatformOpenSendSocket(const InterfaceEntry&)
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return kNoSocket;
    SetFlag(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    return fd;
}

ProtocolSocket PlatformOpenReceiveSocket(const InterfaceEntry& entry, int* error)
{
    *error = 0;
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        *error = errno;
        return kNoSocket;
    }
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // Without privilege this is refused; the interface check on receipt still holds.
    if (entry.deviceName[0] != '\0') {
        setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, entry.deviceName,
                   static_cast<socklen_t>(strlen(entry.deviceName) + 1));
    }
    int off = 0;
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off);
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    EnlargeReceiveBuffer(fd);

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    // A socket on the port without SO_REUSEADDR, in this or another program, refuses it.
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        *error = errno;

    ip_mreq membership{};
    membership.imr_multiaddr.s_addr = inet_addr(kGroupAddress);
    membership.imr_interface.s_addr = inet_addr(entry.addressText);
    setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership);
    SetFlag(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    return fd;
}

void PlatformClose(ProtocolSocket socket)
{
    if (socket != kNoSocket)
        close(static_cast<int>(socket));
}

void PlatformSendToGroup(const InterfaceEntry& entry, const unsigned char* data, int length)
{
    if (entry.sendSocket == kNoSocket)
        return;
    int fd = static_cast<int>(entry.sendSocket);
    in_addr via{};
    via.s_addr = inet_addr(entry.addressText);
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &via, sizeof via);
    sockaddr_in to = GroupDestination();
    sendto(fd, data, static_cast<size_t>(length), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

unsigned PlatformWaitAnyReadable(const InterfaceEntry* entries, int count, long timeoutUs)
{
    fd_set readable;
    FD_ZERO(&readable);
    int highest = -1;
    for (int i = 0; i < count; ++i) {
        const int fd = static_cast<int>(entries[i].receiveSocket);
        if (entries[i].receiveSocket == kNoSocket || fd >= FD_SETSIZE)
            continue;
        FD_SET(fd, &readable);
        if (fd > highest)
            highest = fd;
    }
    timeval timeout{};
    timeout.tv_sec = timeoutUs / 1000000;
    timeout.tv_usec = timeoutUs % 1000000;
    if (highest < 0) {
        select(0, nullptr, nullptr, nullptr, &timeout);
        return 0;
    }
    const int ready = select(highest + 1, &readable, nullptr, nullptr, &timeout);
    if (ready < 0) {
        timeout.tv_sec = timeoutUs / 1000000;
        timeout.tv_usec = timeoutUs % 1000000;
        select(0, nullptr, nullptr, nullptr, &timeout);
        return 0;
    }
    unsigned mask = 0;
    for (int i = 0; ready > 0 && i < count; ++i) {
        const int fd = static_cast<int>(entries[i].receiveSocket);
        if (entries[i].receiveSocket != kNoSocket && fd < FD_SETSIZE && FD_ISSET(fd, &readable))
            mask |= 1u << i;
    }
    return mask;
}

// Linux sleeps and waits to the microsecond already.
FineTimerScope::FineTimerScope() : held_(false) {}
FineTimerScope::~FineTimerScope()
{
    (void)held_;
}

int PlatformReceiveQueued(const InterfaceEntry& entry, unsigned char* buffer, int capacity)
{
    if (entry.receiveSocket == kNoSocket)
        return kQueueEmpty;
    int fd = static_cast<int>(entry.receiveSocket);
    sockaddr_in from{};
    iovec io{buffer, static_cast<size_t>(capacity)};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;

    // MSG_TRUNC reports the datagram's real length: a longer one than the buffer is a
    // failed receive, as on Windows.
    ssize_t length = recvmsg(fd, &message, MSG_TRUNC | MSG_DONTWAIT);
    if (length < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? kQueueEmpty : kReceiveFailed;
    if (length > capacity || (message.msg_flags & MSG_TRUNC))
        return kReceiveFailed;

    const in_pktinfo* info = nullptr;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            info = reinterpret_cast<const in_pktinfo*>(CMSG_DATA(c));
        }
    }
    if (info == nullptr)
        return kReceiveFailed;
    if (entry.deviceIndex != 0 && static_cast<unsigned>(info->ipi_ifindex) != entry.deviceIndex)
        return kReceiveFailed;
    in_addr_t destination = info->ipi_addr.s_addr;
    if (destination != inet_addr(kGroupAddress) && destination != inet_addr(entry.addressText))
        return kReceiveFailed;
    return static_cast<int>(length);
}

bool PlatformErrorText(int error, char* text, int capacity)
{
    const char* message = strerror(error);
    if (message == nullptr || capacity <= 0)
        return false;
    snprintf(text, static_cast<size_t>(capacity), "%s", message);
    return true;
}

void PlatformSleep(int ms)
{
    timespec remaining{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
