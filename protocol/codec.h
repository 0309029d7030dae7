// Datagram layouts: request builders and reply readers. Pure functions over buffers,
// no sockets; the transactions and the tests share them.
#pragma once

#include <stddef.h>

#include "protocol_types.h"

enum Opcode {
    kOpDiscover = 1,
    kOpAnswerBasic = 2,
    kOpQuery = 3,
    kOpQueryReply = 4,
    kOpSetting = 5,
    kOpSettingReply = 6,
    kOpAnswerExtended = 7,
    kOpAnswerFull = 8,
};

enum SubCode {
    // opcode 3, answered with opcode 4
    kSubVolumes = 3,
    kSubAdminCheck = 4,
    kSubCodepage = 9,
    kSubDiskState = 11,
    kSubShareName = 12,
    kSubBtFirmware = 15,
    kSubDomain = 18,
    kSubSsl = 19,
    kSubPortConfig = 20,
    // opcode 5, answered with opcode 6
    kSubAddress = 1,
    kSubDhcpClient = 2,
    kSubSetCodepage = 8,
    kSubAccessMode = 10,
    kSubStop = 13,
    kSubAddonInstalled = 14,
    kSubPortTable = 21,
};

enum {
    kDiscoveryRequestSize = 11,
    kQueryHeaderSize = 28,    // query request without data; also where a reply's value starts
    kSettingHeaderSize = 60,  // setting request without data
    kSettingReplySize = 21,   // setting reply up to the end of the DeviceId
};

// A request is built in a zero-filled buffer: bytes the builder does not write go out as zero.
struct RequestBuffer {
    unsigned char bytes[kDatagramCapacity];
};

// A received datagram, with a zero byte after its last byte so that a value without
// its own terminator still ends there.
struct ReplyBuffer {
    unsigned char bytes[kDatagramCapacity + 1];
    int length;
};

// Builders: return the datagram length, or 0 when the data does not fit in a datagram.
int BuildDiscoveryRequest(RequestBuffer* request);
int BuildQueryRequest(RequestBuffer* request, const DeviceRecord& device, unsigned char subCode, const void* data,
                      size_t dataLength);
// netmask/gateway null: the two text fields stay all zero.
int BuildSettingRequest(RequestBuffer* request, const DeviceRecord& device, unsigned char subCode, const char* netmask,
                        const char* gateway, const void* data, size_t dataLength);

// Stores a datagram of length bytes (at most kDatagramCapacity) and terminates it: the
// tests and the fuzz targets make their replies with it (the transport receives into
// the buffer itself).
void StoreReply(ReplyBuffer* reply, const void* datagram, int length);

// Byte at offset, 0 past the end of the datagram: a short datagram never reads stale bytes.
unsigned ReplyByte(const ReplyBuffer& reply, int offset);

// Bytes 1 to 6 equal bytes 0 to 5 of clientId (bytes 7 to 10 are not compared); a
// datagram that ends before byte 7 never does.
bool IsOwnReply(const ReplyBuffer& reply);

// Bytes 17 to 20 as "%d.%d.%d.%d".
void ReplyAddressText(const ReplyBuffer& reply, char (&text)[16]);

// Discovery answers of the extended and full layouts carry two selector bytes; an
// argument of 0 accepts any byte. Basic answers always pass.
bool SelectorsMatch(const ReplyBuffer& reply, unsigned char selector1, unsigned char selector2);

// A discovery answer (opcode 2, 7 or 8) with at least its layout's fixed fields:
// anything shorter cannot be one.
bool IsDeviceAnswer(const ReplyBuffer& reply);

// Fills a zeroed record from a discovery answer. Returns false for anything that is
// not one (IsDeviceAnswer). The name is cut to 255 bytes and never read past the
// datagram.
bool ReadDeviceAnswer(const ReplyBuffer& reply, int interfaceIndex, DeviceRecord* record);

// A query or setting reply (opcode 4 or 6) of that opcode with at least its layout's
// fixed fields: 28 bytes up to the value, 21 up to the end of the DeviceId. A shorter
// one carries no complete answer, whatever address or ClientId its bytes hold.
bool IsCompleteReply(const ReplyBuffer& reply, unsigned char opcode);

// Value text of a query reply: from byte 28 to the datagram's end (or its first zero);
// empty when the datagram ends before byte 28.
const char* ReplyValue(const ReplyBuffer& reply);

// Verdict of the administrator check: byte 28 read as a signed number.
int ReplyVerdict(const ReplyBuffer& reply);
