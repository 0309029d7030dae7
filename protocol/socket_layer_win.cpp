// Winsock 1.1 calls. A datagram socket bound to an interface's own address and joined
// to the group on that interface receives both the group's datagrams and those sent
// to the address, which is all a receive socket needs here.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <mmsystem.h>

#include "socket_layer.h"
#include "text_util.h"

namespace {

const char kGroupAddress[] = "224.0.0.1";

// The receive queue asked for. Under Wine every receive is a round trip to the
// wineserver: a flood is read at down to about 6,000 datagrams a second while other work
// holds the CPUs, and for moments far fewer, so the queue must hold what arrives
// meanwhile. At Linux's accounting under Wine 1 MiB held about 900 datagrams of a mixed
// flood, 4 MiB about 3,600.
enum { kReceiveBufferBytes = 4 << 20 };

void SetFlag(SOCKET s, int level, int option, char value)
{
    setsockopt(s, level, option, &value, sizeof value);
}

SOCKET AsSocket(ProtocolSocket s)
{
    return static_cast<SOCKET>(s);
}

}  // namespace

int PlatformStartup()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0 ? 1 : 0;
}

void PlatformCleanup()
{
    WSACleanup();
}

int PlatformHostAddresses(HostAddress* addresses, int capacity)
{
    char hostName[128] = {};
    if (gethostname(hostName, sizeof hostName) != 0)
        return 0;
    hostent* host = gethostbyname(hostName);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list == nullptr)
        return 0;
    int count = 0;
    for (char** it = host->h_addr_list; *it != nullptr && count < capacity; ++it) {
        in_addr address;
        memcpy(&address, *it, sizeof address);
        HostAddress& out = addresses[count++];
        CopyTextTo(out.text, inet_ntoa(address));
        out.deviceName[0] = '\0';
        out.deviceIndex = 0;
    }
    return count;
}

ProtocolSocket PlatformOpenSendSocket(const InterfaceEntry&)
{
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    SetFlag(s, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    return static_cast<ProtocolSocket>(s);
}

ProtocolSocket PlatformOpenReceiveSocket(const InterfaceEntry& entry, int* error)
{
    *error = 0;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) {
        *error = WSAGetLastError();
        return kNoSocket;
    }
    SetFlag(s, SOL_SOCKET, SO_REUSEADDR, 1);
    const int bufferBytes = kReceiveBufferBytes;
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof bufferBytes);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    local.sin_addr.s_addr = inet_addr(entry.addressText);
    // Another program that holds the address and port exclusively (SO_EXCLUSIVEADDRUSE)
    // refuses the bind even with SO_REUSEADDR: the socket then never hears a device.
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        *error = WSAGetLastError();
    ip_mreq membership = {};
    membership.imr_multiaddr.s_addr = inet_addr(kGroupAddress);
    membership.imr_interface.s_addr = inet_addr(entry.addressText);
    setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&membership), sizeof membership);
    SetFlag(s, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    // Non-blocking: after one select the reader takes every queued datagram until
    // WSAEWOULDBLOCK, instead of a select before each one.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    return static_cast<ProtocolSocket>(s);
}

void PlatformClose(ProtocolSocket socket)
{
    if (socket != kNoSocket)
        closesocket(AsSocket(socket));
}

void PlatformSendToGroup(const InterfaceEntry& entry, const unsigned char* data, int length)
{
    if (entry.sendSocket == kNoSocket)
        return;
    SOCKET s = AsSocket(entry.sendSocket);
    in_addr via;
    via.s_addr = inet_addr(entry.addressText);
    setsockopt(s, IPPROTO_IP, IP_MULTICAST_IF, reinterpret_cast<const char*>(&via), sizeof via);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(kProtocolPort);
    to.sin_addr.s_addr = inet_addr(kGroupAddress);
    sendto(s, reinterpret_cast<const char*>(data), length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

unsigned PlatformWaitAnyReadable(const InterfaceEntry* entries, int count, long timeoutUs)
{
    // Winsock's fd_set is a list of sockets (FD_SETSIZE of them, 64 by default), not a
    // bit field: eight receive sockets always fit.
    fd_set readable;
    FD_ZERO(&readable);
    for (int i = 0; i < count; ++i) {
        if (entries[i].receiveSocket != kNoSocket)
            FD_SET(AsSocket(entries[i].receiveSocket), &readable);
    }
    const DWORD sleepMs = static_cast<DWORD>((timeoutUs + 999) / 1000);
    // Winsock's select fails at once with no socket at all (WSAEINVAL), and on a broken
    // one: keep the cadence all the same.
    if (readable.fd_count == 0) {
        Sleep(sleepMs);
        return 0;
    }
    timeval timeout;
    timeout.tv_sec = timeoutUs / 1000000;
    timeout.tv_usec = timeoutUs % 1000000;
    const int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == SOCKET_ERROR) {
        Sleep(sleepMs);
        return 0;
    }
    unsigned mask = 0;
    for (int i = 0; ready > 0 && i < count; ++i) {
        if (entries[i].receiveSocket != kNoSocket && FD_ISSET(AsSocket(entries[i].receiveSocket), &readable))
            mask |= 1u << i;
    }
    return mask;
}

// timeBeginPeriod raises the resolution for the whole system while any program holds
// it, which costs power: it is held for the length of an exchange only, and given back
// with the same period.
FineTimerScope::FineTimerScope() : held_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

FineTimerScope::~FineTimerScope()
{
    if (held_)
        timeEndPeriod(1);
}

int PlatformReceiveQueued(const InterfaceEntry& entry, unsigned char* buffer, int capacity)
{
    if (entry.receiveSocket == kNoSocket)
        return kQueueEmpty;
    sockaddr_in from;
    int fromLength = sizeof from;
    // A datagram longer than the buffer fails with WSAEMSGSIZE and is dropped.
    int length = recvfrom(AsSocket(entry.receiveSocket), reinterpret_cast<char*>(buffer), capacity, 0,
                          reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (length != SOCKET_ERROR)
        return length;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kQueueEmpty : kReceiveFailed;
}

void PlatformSleep(int ms)
{
    Sleep(static_cast<DWORD>(ms));
}

bool PlatformErrorText(int error, char* text, int capacity)
{
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                          static_cast<DWORD>(error), 0, text, static_cast<DWORD>(capacity), nullptr) > 0;
}
