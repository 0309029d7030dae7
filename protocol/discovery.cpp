#include "discovery.h"

#include <string.h>

#include <chrono>

#include "cadence.h"
#include "codec.h"
#include "devices.h"
#include "socket_layer.h"
#include "transport.h"

namespace {

using Clock = std::chrono::steady_clock;

bool PastCap(Clock::time_point start)
{
    return Clock::now() - start > std::chrono::milliseconds(DiscoveryCapMs());
}

void ListenOn(int index, unsigned char selector1, unsigned char selector2, ReplyBuffer* reply)
{
    QueueReader reader(interfaceTable.entries[index]);
    const Clock::time_point start = Clock::now();
    int attempts = 0;
    while (attempts < kDiscoveryAttempts) {
        // However the datagrams come, the interface is not listened to for longer than
        // its nominal time and the allowance.
        if (PastCap(start))
            return;
        const int length = reader.Next(reply, kSelectTimeoutMs);
        if (length != kQueueEmpty) {
            if (length < 0)
                continue;
            // What is not an answer to this instance (another instance's, another kind
            // of datagram, a truncated one) is read past at once: it uses no attempt
            // and no pause, so that no other host can crowd the answers out.
            if (!IsOwnReply(*reply) || !IsDeviceAnswer(*reply))
                continue;
            DeviceRecord record;
            memset(&record, 0, sizeof record);
            if (SelectorsMatch(*reply, selector1, selector2) && ReadDeviceAnswer(*reply, index, &record))
                AddDevice(record);
        }
        if (++attempts < kDiscoveryAttempts)
            PlatformSleep(kDiscoveryPauseMs);
    }
}

}  // namespace

void Discover(unsigned char selector1, unsigned char selector2)
{
    ClearDevices();
    if (!interfaceTable.open)
        return;

    RequestBuffer request;
    memset(&request, 0, sizeof request);
    int length = BuildDiscoveryRequest(&request);

    ReplyBuffer reply;
    memset(&reply, 0, sizeof reply);
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        SendRequest(i, request.bytes, length);
        PlatformSleep(kDiscoverySettleMs);
        ListenOn(i, selector1, selector2, &reply);
    }
}
