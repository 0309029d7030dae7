// A socket layer played from the fuzz input, linked into the fuzz targets in place of
// the platform's (protocol/socket_layer.h). The host's addresses are given by the
// target; every wait for a readable socket takes the next event of a script:
//
//   event   = kind byte, then for a datagram two bytes of length (little-endian) and
//             the bytes
//   kind    bit 0  a datagram is readable (clear: the wait times out)
//           bit 1  its receive fails (another interface's, a failed recvmsg)
//           bit 2  bytes 1 to 10 become this instance's ClientId, as a device echoes it
//           bit 3  bytes 11 to 20 become the DeviceId of the last request sent
//           bit 4  another datagram is queued behind it: the next receive takes the
//                  next event's datagram (whatever its bit 0) without a wait; without
//                  this bit a receive that follows no wait finds the queue empty
//           bits 5-7  for a wait over several sockets (discovery's), which of them
//                  (modulo those open) the datagram and those behind it are queued on
//
// A datagram longer than kDatagramCapacity fails its receive, as on the real sockets.
// When the script ends every wait times out. Pauses take no time, so that a run is
// fast; the layer checks that no pause ever follows a datagram that failed to be
// received or carried another ClientId (such datagrams must cost a wait nothing).
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { kFuzzMaxHostAddresses = 4 };

struct FuzzHostAddress {
    char text[16];
    unsigned deviceIndex;
    bool up;
    bool loopback;
    bool sendFails;     // its send socket does not open
    bool receiveFails;  // its receive socket does not open
};

struct FuzzHost {
    bool startupFails;
    int count;
    FuzzHostAddress addresses[kFuzzMaxHostAddresses];
    // The ClientId is made from the time; the layer replaces it with the fuzz one
    // (fuzz_client_id.h), so that runs repeat and the fuzzer meets the ClientIds that
    // end in zero bytes.
    int clientIdZeros;
};

// What the layer counted since FuzzNetworkBegin or the last FuzzResetCounts.
struct FuzzCounts {
    int emptyWaits;           // waits that reported nothing readable
    int emptyWaitsSinceSend;  // of those, the ones after the last request (its reply wait's attempts)
    int deliveries;           // datagrams handed to the protocol
    int requests;             // datagrams sent
};

// Called for every datagram handed to the protocol, with the index of its interface.
typedef void (*FuzzDeliveryObserver)(int interfaceIndex, const unsigned char* datagram, int length);

// The host and the script of the next run. The script is read in place: it must
// outlive the run.
void FuzzNetworkBegin(const FuzzHost& host, const uint8_t* script, size_t size);
// Stops the network and checks that every socket the protocol opened was closed once.
void FuzzNetworkEnd();

void FuzzSetObserver(FuzzDeliveryObserver observer);
FuzzCounts FuzzTakeCounts();  // returns the counts and starts them again from zero

// The last datagram sent and the last one delivered (null and 0 when none).
const unsigned char* FuzzLastRequest(int* length);
const unsigned char* FuzzLastDelivery(int* length);

// A host of one up interface, 198.51.100.1, for targets that do not fuzz the host.
FuzzHost FuzzSingleInterfaceHost(int clientIdZeros);
