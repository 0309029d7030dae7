// The fuzz targets' socket layer: see fuzz_socket_layer.h.
#include "fuzz_socket_layer.h"

#include <string.h>

#include "fuzz_check.h"
#include "fuzz_client_id.h"
#include "fuzz_input.h"
#include "host_interfaces.h"
#include "protocol_types.h"
#include "socket_layer.h"
#include "text_util.h"
#include "transport.h"

namespace {

enum {
    kEventReadable = 0x01,
    kEventReceiveFails = 0x02,
    kEventEchoClientId = 0x04,
    kEventEchoDeviceId = 0x08,
    kEventQueuedBehind = 0x10,
    kEventInterfaceShift = 5,
    // Fake handles: send socket of host address k is kHandleBase + 2k, receive + 1.
    kHandleBase = 1000,
    kHandles = 2 * kFuzzMaxHostAddresses,
};

struct Layer {
    FuzzHost host;
    FuzzInput script{nullptr, 0};
    bool open[kHandles];
    bool started;
    bool clientIdPlaced;
    // The datagram a successful wait made readable, until it is received.
    bool pending;
    bool pendingQueuedBehind;
    // The last datagram received had another queued behind it.
    bool queuedBehind;
    bool pendingFails;
    // The entry whose socket holds the pending datagram and those queued behind it.
    const InterfaceEntry* pendingEntry;
    int pendingLength;
    unsigned char pendingBytes[kDatagramCapacity];
    // Set when a datagram failed to be received or carried another ClientId; the next
    // wait or send clears it, a pause before that is a fault.
    bool foreignLast;
    unsigned char lastRequest[kDatagramCapacity];
    int lastRequestLength;
    unsigned char lastDelivery[kDatagramCapacity];
    int lastDeliveryLength;
    FuzzCounts counts;
    FuzzDeliveryObserver observer;
};

Layer layer;

int HostIndexOf(const InterfaceEntry& entry)
{
    for (int k = 0; k < layer.host.count; ++k) {
        if (strcmp(layer.host.addresses[k].text, entry.addressText) == 0)
            return k;
    }
    return -1;
}

// StartNetwork has made the ClientId before it opens the first socket.
void PlaceClientId()
{
    if (layer.clientIdPlaced)
        return;
    layer.clientIdPlaced = true;
    for (int i = 6; i < kClientIdSize; ++i)
        FUZZ_CHECK(clientId[i] == 0);
    InstallFuzzClientId(layer.host.clientIdZeros);
}

ProtocolSocket OpenHandle(const InterfaceEntry& entry, int which, bool fails)
{
    PlaceClientId();
    const int k = HostIndexOf(entry);
    FUZZ_CHECK(k >= 0);  // the protocol only opens sockets on addresses the host gave
    if (fails)
        return kNoSocket;
    const int slot = 2 * k + which;
    FUZZ_CHECK(!layer.open[slot]);  // opened twice without a close
    layer.open[slot] = true;
    return kHandleBase + slot;
}

bool OwnClientId(const unsigned char* bytes, int length)
{
    return length >= 7 && memcmp(bytes + 1, clientId, 6) == 0;
}

// Makes the datagram of a readable event pending.
void TakeDatagram(uint8_t kind)
{
    const FuzzInput::Piece piece = layer.script.Take();
    layer.pending = true;
    layer.pendingQueuedBehind = (kind & kEventQueuedBehind) != 0;
    layer.pendingFails = (kind & kEventReceiveFails) != 0 || piece.declared > kDatagramCapacity;
    layer.pendingLength = static_cast<int>(piece.length < kDatagramCapacity ? piece.length : kDatagramCapacity);
    memcpy(layer.pendingBytes, piece.data, static_cast<size_t>(layer.pendingLength));
    unsigned char* bytes = layer.pendingBytes;
    const int length = layer.pendingLength;
    if (kind & kEventEchoClientId) {
        for (int i = 0; i < kClientIdSize && 1 + i < length; ++i)
            bytes[1 + i] = clientId[i];
    }
    if ((kind & kEventEchoDeviceId) && layer.lastRequestLength >= 21) {
        for (int i = 11; i < 21 && i < length; ++i)
            bytes[i] = layer.lastRequest[i];
    }
}

}  // namespace

void FuzzNetworkBegin(const FuzzHost& host, const uint8_t* script, size_t size)
{
    StopNetwork();
    layer.host = host;
    layer.script = FuzzInput(script, size);
    memset(layer.open, 0, sizeof layer.open);
    layer.started = false;
    layer.pending = false;
    layer.queuedBehind = false;
    layer.pendingEntry = nullptr;
    layer.foreignLast = false;
    layer.lastRequestLength = 0;
    layer.lastDeliveryLength = 0;
    layer.counts = FuzzCounts{};
    layer.observer = nullptr;
}

void FuzzNetworkEnd()
{
    StopNetwork();
    for (bool open : layer.open)
        FUZZ_CHECK(!open);  // every socket closed by StopNetwork
    FUZZ_CHECK(!layer.started);
}

void FuzzSetObserver(FuzzDeliveryObserver observer)
{
    layer.observer = observer;
}

FuzzCounts FuzzTakeCounts()
{
    const FuzzCounts counts = layer.counts;
    layer.counts = FuzzCounts{};
    return counts;
}

const unsigned char* FuzzLastRequest(int* length)
{
    *length = layer.lastRequestLength;
    return layer.lastRequestLength > 0 ? layer.lastRequest : nullptr;
}

const unsigned char* FuzzLastDelivery(int* length)
{
    *length = layer.lastDeliveryLength;
    return layer.lastDeliveryLength > 0 ? layer.lastDelivery : nullptr;
}

FuzzHost FuzzSingleInterfaceHost(int clientIdZeros)
{
    FuzzHost host{};
    host.clientIdZeros = clientIdZeros;
    host.count = 1;
    CopyTextTo(host.addresses[0].text, "198.51.100.1");
    host.addresses[0].deviceIndex = 2;
    host.addresses[0].up = true;
    return host;
}

// The platform functions, played.

int PlatformStartup()
{
    if (layer.host.startupFails)
        return 0;
    FUZZ_CHECK(!layer.started);
    layer.started = true;
    layer.clientIdPlaced = false;
    return 1;
}

void PlatformCleanup()
{
    FUZZ_CHECK(layer.started);
    layer.started = false;
}

int PlatformHostAddresses(HostAddress* addresses, int capacity)
{
    InterfaceAddress listed[kFuzzMaxHostAddresses];
    for (int k = 0; k < layer.host.count; ++k) {
        const FuzzHostAddress& from = layer.host.addresses[k];
        InterfaceAddress& out = listed[k];
        memset(&out, 0, sizeof out);
        CopyTextTo(out.address.text, from.text);
        CopyTextTo(out.address.deviceName, from.loopback ? "lo" : "lan");
        out.address.deviceIndex = from.deviceIndex;
        out.up = from.up;
        out.loopback = from.loopback;
    }
    return ChooseHostAddresses(listed, layer.host.count, addresses, capacity);
}

ProtocolSocket PlatformOpenSendSocket(const InterfaceEntry& entry)
{
    const int k = HostIndexOf(entry);
    return OpenHandle(entry, 0, k >= 0 && layer.host.addresses[k].sendFails);
}

ProtocolSocket PlatformOpenReceiveSocket(const InterfaceEntry& entry, int* error)
{
    const int k = HostIndexOf(entry);
    const bool fails = k >= 0 && layer.host.addresses[k].receiveFails;
    *error = fails ? 1 : 0;
    return OpenHandle(entry, 1, fails);
}

bool PlatformErrorText(int, char*, int)
{
    return false;
}

void PlatformClose(ProtocolSocket socket)
{
    if (socket == kNoSocket)
        return;
    const long slot = static_cast<long>(socket) - kHandleBase;
    FUZZ_CHECK(slot >= 0 && slot < kHandles);
    FUZZ_CHECK(layer.open[slot]);  // closed twice, or never opened
    layer.open[slot] = false;
}

void PlatformSendToGroup(const InterfaceEntry& entry, const unsigned char* data, int length)
{
    layer.foreignLast = false;
    layer.counts.emptyWaitsSinceSend = 0;
    if (entry.sendSocket == kNoSocket)
        return;
    // Every request is a whole datagram that carries this instance's ClientId.
    FUZZ_CHECK(length > 0 && length <= kDatagramCapacity);
    FUZZ_CHECK(data[0] == 1 || data[0] == 3 || data[0] == 5);
    FUZZ_CHECK(length >= 1 + kClientIdSize && memcmp(data + 1, clientId, kClientIdSize) == 0);
    memcpy(layer.lastRequest, data, static_cast<size_t>(length));
    layer.lastRequestLength = length;
    ++layer.counts.requests;
}

namespace {

// One wait of the script over the given entries' sockets: the entry whose socket the
// event's datagram is queued on (bits 5-7 pick among those with a socket), or -1.
int WaitOver(const InterfaceEntry* const* entries, int count)
{
    layer.foreignLast = false;
    layer.pending = false;
    layer.queuedBehind = false;
    int open = 0;
    for (int i = 0; i < count; ++i)
        open += entries[i]->receiveSocket != kNoSocket ? 1 : 0;
    const uint8_t kind = open > 0 && !layer.script.Empty() ? layer.script.Byte() : 0;
    if ((kind & kEventReadable) == 0) {
        ++layer.counts.emptyWaits;
        ++layer.counts.emptyWaitsSinceSend;
        return -1;
    }
    TakeDatagram(kind);
    int pick = (kind >> kEventInterfaceShift) % open;
    for (int i = 0; i < count; ++i) {
        if (entries[i]->receiveSocket == kNoSocket)
            continue;
        if (pick-- == 0) {
            layer.pendingEntry = entries[i];
            return i;
        }
    }
    return -1;
}

}  // namespace

unsigned PlatformWaitAnyReadable(const InterfaceEntry* entries, int count, long)
{
    const InterfaceEntry* listed[kMaxInterfaces];
    for (int i = 0; i < count && i < kMaxInterfaces; ++i)
        listed[i] = &entries[i];
    const int ready = WaitOver(listed, count < kMaxInterfaces ? count : kMaxInterfaces);
    return ready < 0 ? 0 : 1u << ready;
}

FineTimerScope::FineTimerScope() : held_(false) {}
FineTimerScope::~FineTimerScope()
{
    (void)held_;
}

int PlatformReceiveQueued(const InterfaceEntry& entry, unsigned char* buffer, int capacity)
{
    // Datagrams are queued on the socket the wait reported, and on no other.
    if (&entry != layer.pendingEntry)
        return kQueueEmpty;
    // Without a wait, only a datagram queued behind the last one is there.
    if (!layer.pending && layer.queuedBehind && entry.receiveSocket != kNoSocket && !layer.script.Empty())
        TakeDatagram(layer.script.Byte());
    layer.queuedBehind = false;
    if (!layer.pending)
        return kQueueEmpty;
    layer.pending = false;
    layer.queuedBehind = layer.pendingQueuedBehind;
    if (layer.pendingFails || layer.pendingLength > capacity) {
        layer.foreignLast = true;
        return kReceiveFailed;
    }
    const int length = layer.pendingLength;
    memcpy(buffer, layer.pendingBytes, static_cast<size_t>(length));
    memcpy(layer.lastDelivery, layer.pendingBytes, static_cast<size_t>(length));
    layer.lastDeliveryLength = length;
    layer.foreignLast = !OwnClientId(layer.pendingBytes, length);
    ++layer.counts.deliveries;
    if (layer.observer != nullptr)
        layer.observer(static_cast<int>(&entry - interfaceTable.entries), layer.pendingBytes, length);
    return length;
}

void PlatformSleep(int)
{
    // A datagram that failed to be received, or carried another ClientId, is read past
    // without a pause: otherwise any host could slow every wait down.
    FUZZ_CHECK(!layer.foreignLast);
}
