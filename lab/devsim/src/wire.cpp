#include "wire.h"

#include <algorithm>
#include <cstring>

namespace devsim {

void PutLength(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t GetLength(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void PutTextField(uint8_t* at, size_t capacity, const std::string& text)
{
    std::memset(at, 0, capacity);
    if (capacity == 0)
        return;
    std::memcpy(at, text.data(), std::min(text.size(), capacity - 1));
}

std::string GetTextField(const uint8_t* at, size_t capacity)
{
    size_t n = 0;
    while (n + 1 < capacity && at[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(at), n);
}

namespace {

DecodeResult Fail(std::string why)
{
    DecodeResult r;
    r.error = std::move(why);
    return r;
}

void ReadCommonHeader(const uint8_t* data, Request& r)
{
    std::memcpy(r.deviceId.data(), data + 11, r.deviceId.size());
    r.subcode = data[21];
}

}  // namespace

DecodeResult DecodeRequest(const uint8_t* data, size_t size)
{
    if (size == 0)
        return Fail("empty datagram");
    const uint8_t opcode = data[0];
    size_t header = 0;
    switch (opcode) {
    case kDiscoveryRequest:
        header = kDiscoveryRequestSize;
        break;
    case kQueryRequest:
        header = kQueryHeaderSize;
        break;
    case kSettingRequest:
        header = kSettingHeaderSize;
        break;
    default:
        return Fail("not a request opcode");
    }
    if (size < header) {
        return Fail("too short: " + std::to_string(size) + " bytes, the layout needs " + std::to_string(header));
    }
    DecodeResult result;
    Request& r = result.request;
    r.opcode = opcode;
    std::memcpy(r.clientId.data(), data + 1, r.clientId.size());
    if (opcode != kDiscoveryRequest) {
        ReadCommonHeader(data, r);
        const size_t lengthAt = header - 4;
        const uint32_t declared = GetLength(data + lengthAt);
        // Compare against what is left rather than adding, so a huge field cannot wrap.
        if (declared > size - header) {
            return Fail("length field says " + std::to_string(declared) + " data bytes, " +
                        std::to_string(size - header) + " present");
        }
        r.data.assign(data + header, data + header + declared);
        if (opcode == kSettingRequest) {
            r.netmask = GetTextField(data + 24, kTextFieldSize);
            r.gateway = GetTextField(data + 40, kTextFieldSize);
        }
    }
    result.ok = true;
    return result;
}

size_t NameLengthOffset(uint8_t layout)
{
    switch (layout) {
    case kBasicDiscoveryReply:
        return 56;
    case kExtendedDiscoveryReply:
        return 68;
    default:
        return 100;
    }
}

Bytes EncodeDiscoveryReply(const DiscoveryReplyFields& f)
{
    const size_t lengthAt = NameLengthOffset(f.layout);
    Bytes out(lengthAt + 4 + f.name.size(), 0);
    out[0] = f.layout;
    std::memcpy(&out[1], f.clientId.data(), f.clientId.size());
    std::memcpy(&out[11], f.deviceId.data(), f.deviceId.size());
    out[21] = f.dhcpFlag;
    PutTextField(&out[24], kTextFieldSize, f.netmask);
    PutTextField(&out[40], kTextFieldSize, f.gateway);
    if (f.layout != kBasicDiscoveryReply) {
        out[56] = f.selector1;
        out[57] = f.selector2;
    }
    if (f.layout == kFullDiscoveryReply)
        PutTextField(&out[68], 32, f.model);
    PutLength(&out[lengthAt], f.nameLength);
    std::copy(f.name.begin(), f.name.end(), out.begin() + static_cast<long>(lengthAt + 4));
    return out;
}

Bytes EncodeQueryReply(const ClientId& clientId, const DeviceId& deviceId, const Bytes& value)
{
    Bytes out(28 + value.size(), 0);
    out[0] = kQueryReply;
    std::memcpy(&out[1], clientId.data(), clientId.size());
    std::memcpy(&out[11], deviceId.data(), deviceId.size());
    std::copy(value.begin(), value.end(), out.begin() + 28);
    return out;
}

Bytes EncodeSettingReply(const ClientId& clientId, const DeviceId& deviceId)
{
    Bytes out(21, 0);
    out[0] = kSettingReply;
    std::memcpy(&out[1], clientId.data(), clientId.size());
    std::memcpy(&out[11], deviceId.data(), deviceId.size());
    return out;
}

Bytes EncodeNoise(uint8_t opcode)
{
    Bytes out(60, 0);
    out[0] = opcode;
    return out;
}

}  // namespace devsim
