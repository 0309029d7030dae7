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

// Enough for any host; only the first kMaxInterfaces are used.
enum { kHostAddressCapacity = 64 };

// The address bytes of the DeviceId in a query request and in a query reply, whose
// DeviceId starts at byte 11.
enum { kAddressOffset = 11 + kDeviceIdAddress };

// Answers the devices owe this instance: one per query request sent, paid by any query
// reply of this instance that carries the same address, written off once due.
struct OwedAnswer {
    bool owed;
    unsigned char address[4];
    Clock::time_point due;
};
enum { kOwedCapacity = 32 };
OwedAnswer owedAnswers[kOwedCapacity];

void ForgetOwedAnswers()
{
    for (OwedAnswer& answer : owedAnswers)
        answer.owed = false;
}

void WriteOffOverdue()
{
    const Clock::time_point now = Clock::now();
    for (OwedAnswer& answer : owedAnswers) {
        if (answer.owed && now >= answer.due)
            answer.owed = false;
    }
}

// The address's owed answer that is due first, or nullptr.
OwedAnswer* OldestOwed(const unsigned char* address)
{
    OwedAnswer* oldest = nullptr;
    for (OwedAnswer& answer : owedAnswers) {
        if (answer.owed && memcmp(answer.address, address, 4) == 0 && (!oldest || answer.due < oldest->due))
            oldest = &answer;
    }
    return oldest;
}

void NoteQuestion(const unsigned char* request, int length)
{
    if (length < kQueryHeaderSize || request[0] != kOpQuery)
        return;
    WriteOffOverdue();
    // A free entry, or else the one due first: of a full table, the oldest question is
    // the least likely to be answered still.
    OwedAnswer* slot = &owedAnswers[0];
    for (OwedAnswer& answer : owedAnswers) {
        if (!answer.owed) {
            slot = &answer;
            break;
        }
        if (answer.due < slot->due)
            slot = &answer;
    }
    slot->owed = true;
    memcpy(slot->address, request + kAddressOffset, 4);
    slot->due = Clock::now() + std::chrono::milliseconds(kLateAnswerMs);
}

void NoteAnswer(const ReplyBuffer& reply)
{
    if (!IsCompleteReply(reply, kOpQueryReply) || !IsOwnReply(reply))
        return;
    unsigned char address[4];
    for (int i = 0; i < 4; ++i)
        address[i] = static_cast<unsigned char>(ReplyByte(reply, kAddressOffset + i));
    // The clock is read only for a device that owes something: a flood of replies
    // naming other addresses costs no more than before.
    if (OldestOwed(address) == nullptr)
        return;
    WriteOffOverdue();
    if (OwedAnswer* answer = OldestOwed(address))
        answer->owed = false;
}

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
    ForgetOwedAnswers();

    // All send sockets first, then all receive sockets.
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        InterfaceEntry& entry = interfaceTable.entries[i];
        entry.sendSocket = PlatformOpenSendSocket(entry);
    }
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        InterfaceEntry& entry = interfaceTable.entries[i];
        entry.receiveSocket = PlatformOpenReceiveSocket(entry, &entry.receiveError);
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
    ForgetOwedAnswers();
}

void SendRequest(int interfaceIndex, const unsigned char* request, int length)
{
    if (!IsOpenInterface(interfaceIndex) || length <= 0 || length > kDatagramCapacity)
        return;
    PlatformSendToGroup(interfaceTable.entries[interfaceIndex], request, length);
    NoteQuestion(request, length);
}

namespace {

// Takes the next queued datagram of the entry's socket without waiting, zero-terminated;
// a query reply pays what its device owes.
int ReceiveQueued(const InterfaceEntry& entry, ReplyBuffer* reply)
{
    const int length = PlatformReceiveQueued(entry, reply->bytes, kDatagramCapacity);
    if (length >= 0) {
        reply->length = length;
        reply->bytes[length] = 0;
        NoteAnswer(*reply);
    }
    return length;
}

long MicrosecondsUntil(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<long>(left) : 0;
}

}  // namespace

int QueueReader::Next(ReplyBuffer* reply, int timeoutMs)
{
    int length = kQueueEmpty;
    if (mayHoldMore_ && sinceWait_ < kReadsPerWait) {
        length = ReceiveQueued(entry_, reply);
        ++sinceWait_;
    }
    if (length == kQueueEmpty) {
        sinceWait_ = 0;
        mayHoldMore_ = false;
        if (PlatformWaitAnyReadable(&entry_, 1, timeoutMs * 1000L) == 0)
            return kQueueEmpty;
        length = ReceiveQueued(entry_, reply);
        if (length == kQueueEmpty)
            return kReceiveFailed;
    }
    mayHoldMore_ = true;
    return length;
}

void ListenAllCall(const WaitPolicy& policy, ReplyBuffer* reply,
                   bool (*take)(int interfaceIndex, const ReplyBuffer& datagram, void* context), void* context)
{
    if (!interfaceTable.open)
        return;
    FineTimerScope fineTimer;
    const InterfaceEntry* entries = interfaceTable.entries;
    const int count = interfaceTable.interfaceCount;
    const Clock::time_point start = Clock::now();
    // The windows keep their places from the start, so that reading a burst late in one
    // does not push the others, and the pass's end, later. The pause after a window is
    // listened through as well: a reader that slept while a stream of other datagrams
    // came would let its queue overflow and lose the answers behind them.
    long windowEndMs = 0;
    int quietWindows = 0;
    for (int attempt = 0; attempt < policy.attempts; ++attempt) {
        windowEndMs += kSelectTimeoutMs + (attempt + 1 < policy.attempts ? policy.pauseMs : 0);
        const Clock::time_point windowEnd = start + std::chrono::milliseconds(windowEndMs);
        bool anythingNew = false;
        for (;;) {
            // A steady stream would hold a window open for ever.
            if (Clock::now() - start > std::chrono::milliseconds(policy.capMs))
                return;
            const unsigned ready = PlatformWaitAnyReadable(entries, count, MicrosecondsUntil(windowEnd));
            if (ready == 0)
                break;
            // Each ready queue is read in turn, at most kReadsPerWait datagrams before
            // the next wait, so that a flooded interface does not starve the others.
            for (int i = 0; i < count; ++i) {
                if ((ready & (1u << i)) == 0)
                    continue;
                for (int n = 0; n < kReadsPerWait; ++n) {
                    const int length = ReceiveQueued(entries[i], reply);
                    if (length == kQueueEmpty)
                        break;
                    if (length >= 0 && take(i, *reply, context))
                        anythingNew = true;
                }
            }
        }
        quietWindows = anythingNew ? 0 : quietWindows + 1;
        if (policy.quietWindows > 0 && quietWindows >= policy.quietWindows && windowEndMs >= policy.minimumMs)
            return;
    }
}

namespace {

// The receive loop of every reply wait: reads through reader until accept(datagram)
// takes one read whole. An attempt is a wait that found nothing, each followed by the
// policy's pause but the last; a datagram passed over, or one that could not be read,
// uses none, so that no other host can crowd the answer out. However the datagrams
// come, the loop ends at the policy's cap. Returns 1 when a datagram was taken (it is
// left in *reply), 0 when the attempts or the cap ran out.
template <class Accept>
int ReceiveReply(QueueReader& reader, const WaitPolicy& policy, ReplyBuffer* reply, Accept&& accept)
{
    FineTimerScope fineTimer;
    const Clock::time_point start = Clock::now();
    int attempts = 0;
    for (;;) {
        // A steady stream of datagrams that use no attempt would hold the loop for ever.
        if (Clock::now() - start > std::chrono::milliseconds(policy.capMs))
            return 0;
        const int length = reader.Next(reply, kSelectTimeoutMs);
        if (length != kQueueEmpty) {
            if (length >= 0 && accept(*reply))
                return 1;
            continue;
        }
        if (++attempts >= policy.attempts)
            return 0;
        PlatformSleep(policy.pauseMs);
    }
}

}  // namespace

int AwaitReply(int interfaceIndex, unsigned char replyOpcode, const char* matchAddress, int attemptLimit,
               ReplyBuffer* reply)
{
    if (!IsOpenInterface(interfaceIndex))
        return 0;
    QueueReader reader(interfaceTable.entries[interfaceIndex]);
    return ReceiveReply(reader, ReplyWait(attemptLimit), reply, [&](const ReplyBuffer& datagram) {
        // Only a reply to this question counts: not another opcode, one cut short of its
        // layout, another instance's reply or another device's. A short one must not pass
        // either: its missing bytes read as zeros, an empty value or a refusal, and the
        // address transactions, which match no address, would take it whole.
        if (!IsCompleteReply(datagram, replyOpcode) || !IsOwnReply(datagram))
            return false;
        if (matchAddress == nullptr)
            return true;
        char address[16];
        ReplyAddressText(datagram, address);
        return strcmp(address, matchAddress) == 0;
    });
}

void DrainReplies(int interfaceIndex, int attempts, ReplyBuffer* scratch)
{
    if (!IsOpenInterface(interfaceIndex))
        return;
    // One datagram, or one wait that found none, per attempt.
    FineTimerScope fineTimer;
    QueueReader reader(interfaceTable.entries[interfaceIndex]);
    for (int i = 0; i < attempts; ++i)
        reader.Next(scratch, kSelectTimeoutMs);
}

void AwaitOwedAnswers(int interfaceIndex, const unsigned char* address)
{
    if (!IsOpenInterface(interfaceIndex))
        return;
    FineTimerScope fineTimer;
    QueueReader reader(interfaceTable.entries[interfaceIndex]);
    ReplyBuffer scratch;
    // Owed answers fall due by the clock; the empty waits are counted as well, so that
    // the wait also ends over a socket layer whose waits take no time.
    int emptyWaits = 0;
    for (;;) {
        WriteOffOverdue();
        if (OldestOwed(address) == nullptr || emptyWaits > kLateAnswerMs / kSelectTimeoutMs)
            return;
        if (reader.Next(&scratch, kSelectTimeoutMs) == kQueueEmpty)
            ++emptyWaits;
    }
}
