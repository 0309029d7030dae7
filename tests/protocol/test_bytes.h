// Helpers for writing datagrams byte by byte in the tests.
#pragma once

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "protocol.h"

using Bytes = std::vector<unsigned char>;

inline void PutText(Bytes& bytes, size_t offset, const std::string& text)
{
    if (bytes.size() < offset + text.size())
        bytes.resize(offset + text.size());
    memcpy(bytes.data() + offset, text.data(), text.size());
}

inline void PutLength32(Bytes& bytes, size_t offset, uint32_t value)
{
    if (bytes.size() < offset + 4)
        bytes.resize(offset + 4);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

inline ReplyBuffer MakeReply(const Bytes& bytes)
{
    ReplyBuffer reply;
    memset(&reply, 0xEE, sizeof reply);  // stale bytes that no reader may see
    StoreReply(&reply, bytes.data(), static_cast<int>(bytes.size()));
    return reply;
}

// The ClientId the tests use; installed into the process-wide clientId.
inline const unsigned char* TestClientId()
{
    static const unsigned char id[kClientIdSize] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};
    memcpy(clientId, id, sizeof id);
    return id;
}

// Header of a reply: opcode, ClientId echoed, DeviceId of a device at the given address.
inline Bytes ReplyHeader(unsigned char opcode, const unsigned char address[4], size_t size)
{
    Bytes bytes(size, 0);
    bytes[0] = opcode;
    memcpy(bytes.data() + 1, TestClientId(), kClientIdSize);
    const unsigned char identity[6] = {0x02, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5};
    memcpy(bytes.data() + 11, identity, 6);
    memcpy(bytes.data() + 17, address, 4);
    return bytes;
}
