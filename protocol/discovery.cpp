#include "discovery.h"

#include <string.h>

#include "cadence.h"
#include "codec.h"
#include "devices.h"
#include "socket_layer.h"
#include "transport.h"

namespace {

void ListenOn(int index, unsigned char selector1, unsigned char selector2, ReplyBuffer* reply)
{
    QueueReader reader(interfaceTable.entries[index]);
    ReceiveReply(reader, DiscoveryWait(), reply, [&](const ReplyBuffer& datagram) {
        // What is not an answer to this instance (another instance's, another kind of
        // datagram, a truncated one) is passed over; an answer uses an attempt, whether
        // its selectors match or not, and listening goes on.
        if (!IsOwnReply(datagram) || !IsDeviceAnswer(datagram))
            return DatagramVerdict::kPass;
        DeviceRecord record;
        memset(&record, 0, sizeof record);
        if (SelectorsMatch(datagram, selector1, selector2) && ReadDeviceAnswer(datagram, index, &record))
            AddDevice(record);
        return DatagramVerdict::kCount;
    });
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
