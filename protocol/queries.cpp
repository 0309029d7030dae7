#include "queries.h"

#include <string.h>

#include "cadence.h"
#include "codec.h"
#include "console.h"
#include "device_values.h"
#include "devices.h"
#include "text_util.h"
#include "transport.h"

namespace {

// One exchange with the selected device. Late answers to earlier requests are drained
// first so that they cannot be taken for this one's. Returns 1 with the reply.
int RunQuery(unsigned char subCode, int attemptLimit, ReplyBuffer* reply)
{
    const DeviceRecord* device = FindSelectedDevice();
    if (device == nullptr)
        return 0;
    memset(reply, 0, sizeof *reply);
    DrainReplies(device->interfaceIndex, kDrainAttempts, reply);

    RequestBuffer request;
    memset(&request, 0, sizeof request);
    int length = BuildQueryRequest(&request, *device, subCode, nullptr, 0);
    SendRequest(device->interfaceIndex, request.bytes, length);
    return AwaitReply(device->interfaceIndex, kOpQueryReply, protocolSession.selectedAddress, attemptLimit, reply);
}

int QueryText(unsigned char subCode, int attemptLimit, char* field, size_t capacity, const char* consoleFormat)
{
    field[0] = '\0';
    ReplyBuffer reply;
    if (!RunQuery(subCode, attemptLimit, &reply))
        return 0;
    const char* value = ReplyValue(reply);
    ConsoleLine(consoleFormat, value);
    CopyText(field, capacity, value);
    return 1;
}

template <size_t N>
int QueryText(unsigned char subCode, int attemptLimit, char (&field)[N], const char* consoleFormat)
{
    return QueryText(subCode, attemptLimit, field, N, consoleFormat);
}

}  // namespace

int QueryVolumes()
{
    ClearVolumes(&volumeList);
    ReplyBuffer reply;
    if (!RunQuery(kSubVolumes, kAttemptsQuery, &reply))
        return 0;
    SplitVolumeNames(ReplyValue(reply), &volumeList);
    return 1;
}

int QueryCodepage()
{
    return QueryText(kSubCodepage, kAttemptsShort, protocolSession.codepageValue, "codepage=%s\n");
}

int QueryDiskState()
{
    return QueryText(kSubDiskState, kAttemptsQuery, protocolSession.diskStateValue, "ideok=%s\n");
}

int QueryShareName()
{
    return QueryText(kSubShareName, kAttemptsQuery, protocolSession.shareNameValue, "sharename=%s\n");
}

int QueryBtFirmware()
{
    return QueryText(kSubBtFirmware, kAttemptsQuery, protocolSession.btFirmwareValue, "bt_firmware=%s\n");
}

int QueryDomain()
{
    return QueryText(kSubDomain, kAttemptsQuery, protocolSession.domainValue, "domain=%s\n");
}

int QuerySsl()
{
    return QueryText(kSubSsl, kAttemptsQuery, protocolSession.sslValue, "ssl=%s\n");
}

int QueryPortConfig()
{
    ReplyBuffer reply;
    if (!RunQuery(kSubPortConfig, kAttemptsQuery, &reply))
        return 0;
    ParsePortConfig(ReplyValue(reply), &protocolSession.portConfig);
    return 1;
}
