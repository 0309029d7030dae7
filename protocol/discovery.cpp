#include "discovery.h"

#include <string.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "cadence.h"
#include "codec.h"
#include "devices.h"
#include "socket_layer.h"
#include "transport.h"

namespace {

// The answers of one pass, kept per interface in the order they arrived until the pass
// ends: the list is then built interface by interface, so that its order, and the
// interface a device that answers on two is kept with, do not depend on which interface
// happened to be read first.
struct PassAnswers {
    std::vector<DeviceRecord> byInterface[kMaxInterfaces];
    std::unordered_set<std::string> addresses[kMaxInterfaces];

    // True for a device not heard on that interface before.
    bool Keep(int index, const DeviceRecord& record)
    {
        // A device that answers twice on one interface is kept once, at its first
        // answer; a set, because a stream of answers can be long.
        if (!addresses[index].insert(record.address).second)
            return false;
        byInterface[index].push_back(record);
        return true;
    }

    void AddInInterfaceOrder(int interfaceCount) const
    {
        for (int i = 0; i < interfaceCount; ++i) {
            for (const DeviceRecord& record : byInterface[i])
                AddDevice(record);
        }
    }
};

}  // namespace

void Discover(unsigned char selector1, unsigned char selector2, DiscoveryPace pace)
{
    ClearDevices();
    // A host without an address has nothing to ask: the pass returns at once.
    if (!interfaceTable.open || interfaceTable.interfaceCount == 0)
        return;
    FineTimerScope fineTimer;

    RequestBuffer request;
    memset(&request, 0, sizeof request);
    int length = BuildDiscoveryRequest(&request);

    // Every interface is asked first and all are listened to together: a pass takes what
    // one interface took alone, and the devices of one interface answer while the others
    // are asked.
    for (int i = 0; i < interfaceTable.interfaceCount; ++i)
        SendRequest(i, request.bytes, length);
    // The full pass lets the answers gather before it listens; the quick one listens at
    // once, so that its end can follow the last answer closely.
    const bool quick = pace == DiscoveryPace::kQuick;
    if (!quick)
        PlatformSleep(kDiscoverySettleMs);

    PassAnswers answers;
    ReplyBuffer reply;
    memset(&reply, 0, sizeof reply);
    ListenAll(quick ? QuickDiscoveryWait() : DiscoveryWait(), &reply, [&](int index, const ReplyBuffer& datagram) {
        // Every datagram of the pass is read; what is not an answer to this instance, or
        // one whose selectors do not match, is passed over.
        if (!IsOwnReply(datagram) || !IsDeviceAnswer(datagram) || !SelectorsMatch(datagram, selector1, selector2))
            return false;
        DeviceRecord record;
        memset(&record, 0, sizeof record);
        return ReadDeviceAnswer(datagram, index, &record) && answers.Keep(index, record);
    });
    answers.AddInInterfaceOrder(interfaceTable.interfaceCount);
}
