#include "transport.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <chrono>

#include "cadence.h"
#include "socket_layer.h"
#include "text_util.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Enough for any host; only the first kMaxInterfaces are used.
enum { kHostAddressCapacity = 64 };

// Datagrams a QueueReader takes one after another before it waits again. The wait then
// returns at once while datagrams are queued; it bounds a run of failed receives on a
// broken socket, and leaves room to read other sockets in turn.
enum { kReadsPerWait = 64 };

}  // namespace

int FillInterfaceTable(InterfaceTable* table, const HostAddress* addresses, int count)
{
    memset(table->entries, 0, sizeof table->entries);
    table->interfaceCount = 0;
    for (InterfaceEntry& entry : table->entries) {
        entry.sendSocket = kNoSocket;
        entry.receiveSocket = kNoSocket;
    }
    for (int i = 0; i < count && table->interfaceCount < kMaxInterfaces; ++i) {
        InterfaceEntry& entry = table->entries[table->interfaceCount++];
        CopyTextTo(entry.addressText, addresses[i].text);
        CopyTextTo(entry.deviceName, addresses[i].deviceName);
        entry.deviceIndex = addresses[i].deviceIndex;
    }
    return table->interfaceCount;
}

void MakeClientId(ClientId& id)
{
    srand(static_cast<unsigned>(time(nullptr)));
    for (int i = 0; i < 6; ++i)
        id[i] = static_cast<unsigned char>(rand() & 0xff);
    for (int i = 6; i < kClientIdSize; ++i)
        id[i] = 0;
}

bool IsOpenInterface(int interfaceIndex)
{
    return interfaceTable.open && interfaceIndex >= 0 && interfaceIndex < interfaceTable.interfaceCount;
}

int StartNetwork()
{
    if (interfaceTable.open)
        return 1;
    if (!PlatformStartup())
        return 0;

    HostAddress addresses[kHostAddressCapacity];
    int count = PlatformHostAddresses(addresses, kHostAddressCapacity);
    FillInterfaceTable(&interfaceTable, addresses, count);
    MakeClientId(clientId);

    // All send sockets first, then all receive sockets.
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        InterfaceEntry& entry = interfaceTable.entries[i];
        entry.sendSocket = PlatformOpenSendSocket(entry);
    }
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        InterfaceEntry& entry = interfaceTable.entries[i];
        entry.receiveSocket = PlatformOpenReceiveSocket(entry);
    }
    interfaceTable.open = 1;
    return 1;
}

void StopNetwork()
{
    if (!interfaceTable.open)
        return;
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        InterfaceEntry& entry = interfaceTable.entries[i];
        PlatformClose(entry.sendSocket);
        PlatformClose(entry.receiveSocket);
        entry.sendSocket = kNoSocket;
        entry.receiveSocket = kNoSocket;
    }
    PlatformCleanup();
    interfaceTable.open = 0;
}

void SendRequest(int interfaceIndex, const unsigned char* request, int length)
{
    if (!IsOpenInterface(interfaceIndex) || length <= 0 || length > kDatagramCapacity)
        return;
    PlatformSendToGroup(interfaceTable.entries[interfaceIndex], request, length);
}

int QueueReader::Next(ReplyBuffer* reply, int timeoutMs)
{
    int length = kQueueEmpty;
    if (mayHoldMore_ && sinceWait_ < kReadsPerWait) {
        length = PlatformReceiveQueued(entry_, reply->bytes, kDatagramCapacity);
        ++sinceWait_;
    }
    if (length == kQueueEmpty) {
        sinceWait_ = 0;
        mayHoldMore_ = false;
        if (!PlatformWaitReadable(entry_, timeoutMs))
            return kQueueEmpty;
        length = PlatformReceiveQueued(entry_, reply->bytes, kDatagramCapacity);
        if (length == kQueueEmpty)
            return kReceiveFailed;
    }
    mayHoldMore_ = true;
    if (length >= 0) {
        reply->length = length;
        reply->bytes[length] = 0;
    }
    return length;
}

int AwaitReply(int interfaceIndex, unsigned char replyOpcode, const char* matchAddress, int attemptLimit,
               ReplyBuffer* reply)
{
    if (!IsOpenInterface(interfaceIndex))
        return 0;
    QueueReader reader(interfaceTable.entries[interfaceIndex]);
    const Clock::time_point start = Clock::now();
    const long capMs = WaitCapMs(attemptLimit);
    int attempts = 0;
    for (;;) {
        // However the datagrams come, no wait outlasts its nominal time and the allowance.
        if (ElapsedMs(start) > capMs)
            return 0;
        const int length = reader.Next(reply, kSelectTimeoutMs);
        if (length != kQueueEmpty) {
            if (length < 0)
                continue;
            // Only a reply to this question counts. Anything else (another opcode, one
            // cut short of its layout, another instance's reply, another device's) is
            // read past at once: it uses no attempt and no pause, so that no other host
            // can crowd the reply out. A short one must not pass either: its missing
            // bytes read as zeros, an empty value or a refusal, and the address
            // transactions, which match no address, would take it whole.
            if (!IsCompleteReply(*reply, replyOpcode) || !IsOwnReply(*reply))
                continue;
            if (matchAddress != nullptr) {
                char address[16];
                ReplyAddressText(*reply, address);
                if (strcmp(address, matchAddress) != 0)
                    continue;
            }
            return 1;
        }
        if (++attempts > attemptLimit)
            return 0;
        PlatformSleep(kReplyPauseMs);
    }
}

void DrainReplies(int interfaceIndex, int attempts, ReplyBuffer* scratch)
{
    if (!IsOpenInterface(interfaceIndex))
        return;
    // One datagram, or one wait that found none, per attempt.
    QueueReader reader(interfaceTable.entries[interfaceIndex]);
    for (int i = 0; i < attempts; ++i)
        reader.Next(scratch, kSelectTimeoutMs);
}
