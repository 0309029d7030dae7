// The datagram layouts the devices speak: decoding of the requests a device receives
// (opcodes 1, 3 and 5) and encoding of the replies it sends (2, 7, 8, 4 and 6).
// Kept apart from the utility's own codec on purpose, so that a layout mistake on one
// side shows up as a disagreement between the two instead of hiding in shared code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bytes.h"

namespace devsim {

constexpr uint16_t kProtocolPort = 13579;
constexpr const char* kGroupAddress = "224.0.0.1";
// Datagrams above this size are not read as requests.
constexpr size_t kMaxRequestSize = 4096;

using ClientId = std::array<uint8_t, 10>;
using DeviceId = std::array<uint8_t, 10>;  // six identity bytes, then the IPv4 address

enum Opcode : uint8_t {
    kDiscoveryRequest = 1,
    kBasicDiscoveryReply = 2,
    kQueryRequest = 3,
    kQueryReply = 4,
    kSettingRequest = 5,
    kSettingReply = 6,
    kExtendedDiscoveryReply = 7,
    kFullDiscoveryReply = 8,
};

// Fixed sizes and offsets of the request layouts.
constexpr size_t kDiscoveryRequestSize = 11;
constexpr size_t kQueryHeaderSize = 28;    // common header (24) + data length (4)
constexpr size_t kSettingHeaderSize = 60;  // common header (24) + 2 text fields (32) + length (4)
constexpr size_t kTextFieldSize = 16;      // netmask and gateway fields

struct Request {
    uint8_t opcode = 0;
    ClientId clientId{};
    DeviceId deviceId{};  // opcodes 3 and 5
    uint8_t subcode = 0;  // opcodes 3 and 5
    std::string netmask;  // opcode 5: text of the field at 24, up to its first zero
    std::string gateway;  // opcode 5: text of the field at 40
    Bytes data;           // opcodes 3 and 5: exactly the declared number of bytes
};

struct DecodeResult {
    bool ok = false;
    Request request;
    std::string error;  // why the datagram is not a request, when !ok
};

// Never reads outside [data, data + size). Trailing bytes after a request's declared
// payload are tolerated and ignored; a length field that claims more bytes than the
// datagram holds is an error.
DecodeResult DecodeRequest(const uint8_t* data, size_t size);

struct DiscoveryReplyFields {
    uint8_t layout = kFullDiscoveryReply;  // 2, 7 or 8
    ClientId clientId{};
    DeviceId deviceId{};
    uint8_t dhcpFlag = '0';
    std::string netmask;
    std::string gateway;
    uint8_t selector1 = 3;  // layouts 7 and 8
    uint8_t selector2 = 3;
    std::string model;  // layout 8
    Bytes name;
    uint32_t nameLength = 0;  // written into the length field; normally name.size()
};

// Offset of the name length field in each discovery layout (the name follows it).
size_t NameLengthOffset(uint8_t layout);

Bytes EncodeDiscoveryReply(const DiscoveryReplyFields& fields);
// 28 bytes of header, then the value without a terminating zero.
Bytes EncodeQueryReply(const ClientId& clientId, const DeviceId& deviceId, const Bytes& value);
// Exactly 21 bytes: opcode, ClientId, DeviceId.
Bytes EncodeSettingReply(const ClientId& clientId, const DeviceId& deviceId);
// A foreign datagram: the opcode, then zeros up to 60 bytes.
Bytes EncodeNoise(uint8_t opcode);

// Little-endian 32-bit length fields.
void PutLength(uint8_t* at, uint32_t value);
uint32_t GetLength(const uint8_t* at);

// Writes text into a zero-padded field of `capacity` bytes, cut to capacity - 1 bytes.
void PutTextField(uint8_t* at, size_t capacity, const std::string& text);
// Reads a text field up to its first zero, at most capacity - 1 bytes.
std::string GetTextField(const uint8_t* at, size_t capacity);

}  // namespace devsim
