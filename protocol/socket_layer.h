// Platform half of the transport: Winsock 1.1 on Windows, BSD sockets on Linux.
// Results of socket, setsockopt and bind are not acted on: a socket that failed to
// open simply never produces a reply, and the exchanges that rely on it run out of
// attempts.
#pragma once

#include "protocol_types.h"
#include "transport.h"

// Returns 1 when the socket layer is usable.
int PlatformStartup();
void PlatformCleanup();

// The host's IPv4 addresses that get interface table entries, in the platform's
// order: the resolver's answer for the host name on Windows, the up interfaces'
// addresses chosen by ChooseHostAddresses on Linux. Writes at most capacity of them.
int PlatformHostAddresses(HostAddress* addresses, int capacity);

ProtocolSocket PlatformOpenSendSocket(const InterfaceEntry& entry);
// A receive socket never blocks (PlatformReceiveQueued) and asks for a large queue (each
// platform's file says how large), so that a burst of other datagrams does not push real
// answers out before they are read. *error is 0, or the system's error code when the
// socket could not be created or bound; a socket that could not be bound is still
// returned.
ProtocolSocket PlatformOpenReceiveSocket(const InterfaceEntry& entry, int* error);
void PlatformClose(ProtocolSocket socket);

// Sends to 224.0.0.1:13579 leaving through the entry's interface.
void PlatformSendToGroup(const InterfaceEntry& entry, const unsigned char* data, int length);

// Waits up to timeoutUs for any of the first count entries' receive sockets to become
// readable. Returns a mask with bit i set for each readable entries[i] (0 when none
// became readable within the timeout). Entries without a receive socket are left out;
// with none to wait on, or when the wait itself fails, it waits out the timeout and
// reports 0, so that the listening keeps its cadence.
unsigned PlatformWaitAnyReadable(const InterfaceEntry* entries, int count, long timeoutUs);

// Asks the system for a 1 ms timer for its lifetime, where sleeps and waits would
// otherwise round up to a coarser tick: on Windows the 10, 20, 30 and 100 ms steps of
// the cadence become multiples of 15.6 ms. Nothing on other platforms. Scopes nest.
class FineTimerScope {
public:
    FineTimerScope();
    ~FineTimerScope();
    FineTimerScope(const FineTimerScope&) = delete;
    FineTimerScope& operator=(const FineTimerScope&) = delete;

private:
    bool held_;
};

// What PlatformReceiveQueued returns instead of a datagram's length.
enum {
    kReceiveFailed = -1,  // a datagram was taken but is of no use (longer than capacity,
                          // another interface's), or the receive failed
    kQueueEmpty = -2,     // nothing is queued
};

// Takes the next datagram queued on the receive socket into buffer, never waiting: its
// length, kReceiveFailed or kQueueEmpty. Receive sockets do not block, so that after one
// wait a reader takes what is queued at the cost of one call per datagram: under Wine
// each wait and each receive is a round trip to the wineserver (QueueReader).
int PlatformReceiveQueued(const InterfaceEntry& entry, unsigned char* buffer, int capacity);

void PlatformSleep(int ms);

// The system's text for a socket error code, in the user's language; false when the
// system has none.
bool PlatformErrorText(int error, char* text, int capacity);
