#include "codec.h"

#include <stdio.h>
#include <string.h>

#include "text_util.h"

namespace {

enum {
    kAnswerDhcpFlag = 21,
    kAnswerNetmask = 24,
    kAnswerGateway = 40,
    kAnswerSelector1 = 56,
    kAnswerSelector2 = 57,
    kAnswerModel = 68,
    kTextFieldSize = 16,
    kModelFieldSize = 32,
    kMaxNameBytes = 255,
};

void PutLength(unsigned char* at, size_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

unsigned long GetLength(const ReplyBuffer& reply, int offset)
{
    return ReplyByte(reply, offset) | (ReplyByte(reply, offset + 1) << 8) |
           (static_cast<unsigned long>(ReplyByte(reply, offset + 2)) << 16) |
           (static_cast<unsigned long>(ReplyByte(reply, offset + 3)) << 24);
}

// Common header of addressed requests: opcode, ClientId, DeviceId, sub-code, two zeros.
void PutHeader(RequestBuffer* request, unsigned char opcode, const DeviceRecord& device, unsigned char subCode)
{
    request->bytes[0] = opcode;
    memcpy(request->bytes + 1, clientId, kClientIdSize);
    memcpy(request->bytes + 11, device.deviceId, kDeviceIdSize);
    request->bytes[21] = subCode;
}

// Text of a fixed-width reply field: ends at its first zero, at the field's end or at
// the datagram's end, whichever comes first.
void ReadFieldText(const ReplyBuffer& reply, int offset, int fieldSize, char* out, size_t capacity)
{
    int available = reply.length - offset;
    if (available < 0)
        available = 0;
    if (available > fieldSize)
        available = fieldSize;
    CopyTextN(out, capacity, reinterpret_cast<const char*>(reply.bytes) + offset, static_cast<size_t>(available));
}

}  // namespace

int BuildDiscoveryRequest(RequestBuffer* request)
{
    request->bytes[0] = kOpDiscover;
    memcpy(request->bytes + 1, clientId, kClientIdSize);
    return kDiscoveryRequestSize;
}

int BuildQueryRequest(RequestBuffer* request, const DeviceRecord& device, unsigned char subCode, const void* data,
                      size_t dataLength)
{
    if (dataLength > kDatagramCapacity - kQueryHeaderSize)
        return 0;
    PutHeader(request, kOpQuery, device, subCode);
    PutLength(request->bytes + 24, dataLength);
    if (dataLength > 0)
        memcpy(request->bytes + kQueryHeaderSize, data, dataLength);
    return static_cast<int>(kQueryHeaderSize + dataLength);
}

int BuildSettingRequest(RequestBuffer* request, const DeviceRecord& device, unsigned char subCode, const char* netmask,
                        const char* gateway, const void* data, size_t dataLength)
{
    if (dataLength > kDatagramCapacity - kSettingHeaderSize)
        return 0;
    PutHeader(request, kOpSetting, device, subCode);
    if (netmask != nullptr)
        WriteTextField(request->bytes + 24, kTextFieldSize, netmask);
    if (gateway != nullptr)
        WriteTextField(request->bytes + 40, kTextFieldSize, gateway);
    PutLength(request->bytes + 56, dataLength);
    if (dataLength > 0)
        memcpy(request->bytes + kSettingHeaderSize, data, dataLength);
    return static_cast<int>(kSettingHeaderSize + dataLength);
}

void StoreReply(ReplyBuffer* reply, const void* datagram, int length)
{
    if (length < 0)
        length = 0;
    if (length > kDatagramCapacity)
        length = kDatagramCapacity;
    if (length > 0)
        memmove(reply->bytes, datagram, static_cast<size_t>(length));
    reply->bytes[length] = 0;
    reply->length = length;
}

unsigned ReplyByte(const ReplyBuffer& reply, int offset)
{
    if (offset < 0 || offset >= reply.length)
        return 0;
    return reply.bytes[offset];
}

bool IsOwnReply(const ReplyBuffer& reply)
{
    // The compared bytes must be there: read as zeros past the end, a cut datagram
    // would pass whenever this instance's ClientId ends in zero bytes.
    if (reply.length < 7)
        return false;
    for (int i = 0; i < 6; ++i) {
        if (ReplyByte(reply, 1 + i) != clientId[i])
            return false;
    }
    return true;
}

void ReplyAddressText(const ReplyBuffer& reply, char (&text)[16])
{
    snprintf(text, sizeof text, "%u.%u.%u.%u", ReplyByte(reply, 17), ReplyByte(reply, 18), ReplyByte(reply, 19),
             ReplyByte(reply, 20));
}

bool SelectorsMatch(const ReplyBuffer& reply, unsigned char selector1, unsigned char selector2)
{
    unsigned opcode = ReplyByte(reply, 0);
    if (opcode != kOpAnswerExtended && opcode != kOpAnswerFull)
        return true;
    return (selector1 == 0 || selector1 == ReplyByte(reply, kAnswerSelector1)) &&
           (selector2 == 0 || selector2 == ReplyByte(reply, kAnswerSelector2));
}

namespace {

// Where the name starts in each answer layout: the fixed fields end there. 0 for a
// datagram that is no answer.
int NameOffsetOf(const ReplyBuffer& reply)
{
    switch (ReplyByte(reply, 0)) {
    case kOpAnswerBasic:
        return 60;
    case kOpAnswerExtended:
        return 72;
    case kOpAnswerFull:
        return 104;
    default:
        return 0;
    }
}

}  // namespace

bool IsDeviceAnswer(const ReplyBuffer& reply)
{
    const int nameOffset = NameOffsetOf(reply);
    return nameOffset > 0 && reply.length >= nameOffset;
}

bool IsCompleteReply(const ReplyBuffer& reply, unsigned char opcode)
{
    if (ReplyByte(reply, 0) != opcode)
        return false;
    switch (opcode) {
    case kOpQueryReply:
        return reply.length >= kQueryHeaderSize;
    case kOpSettingReply:
        return reply.length >= kSettingReplySize;
    default:
        return false;
    }
}

bool ReadDeviceAnswer(const ReplyBuffer& reply, int interfaceIndex, DeviceRecord* record)
{
    if (!IsDeviceAnswer(reply))
        return false;
    const int nameOffset = NameOffsetOf(reply);
    // Name: as many bytes as the length field says, but no more than the datagram
    // holds there, and no more than the record keeps.
    unsigned long nameLength = GetLength(reply, nameOffset - 4);
    long available = reply.length - nameOffset;
    if (available < 0)
        available = 0;
    if (nameLength > static_cast<unsigned long>(available))
        nameLength = static_cast<unsigned long>(available);
    if (nameLength > kMaxNameBytes)
        nameLength = kMaxNameBytes;
    if (nameLength > 0)
        memcpy(record->name, reply.bytes + nameOffset, nameLength);
    record->name[nameLength] = '\0';

    ReplyAddressText(reply, record->address);
    ReadFieldText(reply, kAnswerNetmask, kTextFieldSize, record->netmask, sizeof record->netmask);
    ReadFieldText(reply, kAnswerGateway, kTextFieldSize, record->gateway, sizeof record->gateway);
    record->dhcpFlag[0] = static_cast<char>(ReplyByte(reply, kAnswerDhcpFlag));
    record->dhcpFlag[1] = '\0';
    for (int i = 0; i < kDeviceIdSize; ++i) {
        record->deviceId[i] = static_cast<unsigned char>(ReplyByte(reply, 11 + i));
    }
    if (ReplyByte(reply, 0) == kOpAnswerFull) {
        ReadFieldText(reply, kAnswerModel, kModelFieldSize, record->model, sizeof record->model);
    } else {
        record->model[0] = '\0';
    }
    record->interfaceIndex = interfaceIndex;
    record->next = nullptr;
    return true;
}

const char* ReplyValue(const ReplyBuffer& reply)
{
    if (reply.length <= kQueryHeaderSize)
        return "";
    return reinterpret_cast<const char*>(reply.bytes) + kQueryHeaderSize;
}

int ReplyVerdict(const ReplyBuffer& reply)
{
    return static_cast<signed char>(ReplyByte(reply, kQueryHeaderSize));
}
