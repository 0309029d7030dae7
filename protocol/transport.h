// The socket layer: one send and one receive socket per local IPv4 interface, the
// ClientId, and the three exchange primitives every transaction is built from.
// Requests always go to the group 224.0.0.1 port 13579 through one interface; a reply
// is attributed only by its contents (opcode, ClientId, device address), never by
// the address it came from.
#pragma once

#include <type_traits>

#include "cadence.h"
#include "codec.h"
#include "protocol_types.h"

// Starts the socket layer, builds the interface table, makes the ClientId and opens
// the sockets. Returns 1, or 0 when the socket layer cannot start (the caller decides
// to exit; the library never does). A second call while open does nothing and returns 1.
int StartNetwork();

// Closes every socket and ends the socket layer. A second call does nothing.
void StopNetwork();

// Sends one request datagram through the given interface to the group.
void SendRequest(int interfaceIndex, const unsigned char* request, int length);

// Waits for a reply with the given opcode (4 or 6) that has its layout's fixed fields,
// carries this instance's ClientId and, when matchAddress is not null, that device
// address. Returns 1 with the reply in
// *reply (zero-terminated), or 0 when the attempts are used up.
int AwaitReply(int interfaceIndex, unsigned char replyOpcode, const char* matchAddress, int attemptLimit,
               ReplyBuffer* reply);

// Reads and throws away what is queued on the interface's receive socket, always
// making all its attempts.
void DrainReplies(int interfaceIndex, int attempts, ReplyBuffer* scratch);

// Answers a device still owes. A query reply (opcode 4) says nothing of the question
// it answers, so an answer that comes after its own wait has given up reads like the
// answer to whatever is asked next. The transport keeps count per device address:
// every query request sent (opcode 3) adds an owed answer, every query reply of this
// instance read from that device, whichever wait or drain reads it, pays the oldest;
// an owed answer is written off kLateAnswerMs after its question.
//
// Waits until the device whose DeviceId address bytes (6 to 9) are given owes this
// instance no answer, reading and throwing away what arrives meanwhile. Returns at
// once when nothing is owed.
void AwaitOwedAnswers(int interfaceIndex, const unsigned char* address);

// Reads one receive socket, waiting only when its queue is empty: a burst of datagrams
// costs one receive each and a single wait, where a wait before every datagram would
// cost a wait each. Discovery, AwaitReply and DrainReplies read through it.
class QueueReader {
public:
    explicit QueueReader(const InterfaceEntry& entry) : entry_(entry) {}

    // The next datagram into *reply (its length, the datagram zero-terminated), taken at
    // once when one is queued, else after waiting up to timeoutMs for one. kQueueEmpty
    // when none came within the timeout; kReceiveFailed when a datagram was of no use
    // (PlatformReceiveQueued), or the wait reported one that was not there. Every
    // query reply it takes pays what its device owes (AwaitOwedAnswers).
    int Next(ReplyBuffer* reply, int timeoutMs);

private:
    const InterfaceEntry& entry_;
    bool mayHoldMore_ = false;  // the last call took something: more may be queued
    int sinceWait_ = 0;         // receives since the last wait
};

// Listens on every open interface at once, as discovery does: policy.attempts windows of
// kSelectTimeoutMs, each followed by the policy's pause but the last, at fixed places
// from the start. Every datagram that arrives on any interface, in a window or in a
// pause, is read, each socket's queue through one wait and one receive per datagram,
// and handed to take(interfaceIndex, datagram), which returns whether it brought
// something new; a window ends at the first wait, made for what is left of it and its
// pause, that finds nothing. So the listening lasts the same however many interfaces
// there are and however many datagrams arrive, up to the policy's cap, which ends it
// under a stream; a policy with quietWindows ends it earlier, at the end of the window
// that completes a run of that many without anything new, once minimumMs have passed.
void ListenAllCall(const WaitPolicy& policy, ReplyBuffer* reply,
                   bool (*take)(int interfaceIndex, const ReplyBuffer& datagram, void* context), void* context);

template <class Take>
void ListenAll(const WaitPolicy& policy, ReplyBuffer* reply, Take&& take)
{
    ListenAllCall(
        policy, reply,
        [](int interfaceIndex, const ReplyBuffer& datagram, void* context) -> bool {
            return (*static_cast<std::remove_reference_t<Take>*>(context))(interfaceIndex, datagram);
        },
        &take);
}

// One address the host reports, with the device that owns it where the platform says.
struct HostAddress {
    char text[16];
    char deviceName[16];   // empty when unknown
    unsigned deviceIndex;  // 0 when unknown
};

// Fills the table's entries from the host's addresses in the given order: the first
// eight, none filtered. Sockets are left closed. Returns the number of entries.
int FillInterfaceTable(InterfaceTable* table, const HostAddress* addresses, int count);

// Makes the ClientId: six pseudo-random bytes from a generator seeded with the time
// in seconds, then four zero bytes.
void MakeClientId(ClientId& id);

// A valid index into the open interface table.
bool IsOpenInterface(int interfaceIndex);
