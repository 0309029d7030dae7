// What the fuzz targets expect the protocol to read from a datagram, written apart
// from protocol/codec.cpp and protocol/device_values.cpp so that each checks the
// other, and the checks of the records the protocol keeps.
#pragma once

#include <string>
#include <vector>

#include "protocol.h"

// Byte at offset, 0 past the datagram.
unsigned ExpectByte(const unsigned char* datagram, int length, int offset);

// Bytes 1 to 6 are this instance's ClientId.
bool ExpectOwn(const unsigned char* datagram, int length);
// A discovery answer of one of the three layouts with its fixed fields complete.
bool ExpectDeviceAnswer(const unsigned char* datagram, int length);
bool ExpectSelectorsMatch(const unsigned char* datagram, int length, unsigned char selector1, unsigned char selector2);
// What discovery keeps: an own answer whose selectors match.
bool ExpectAccepted(const unsigned char* datagram, int length, unsigned char selector1, unsigned char selector2);
// Bytes 17 to 20 as a dotted address.
std::string ExpectAddress(const unsigned char* datagram, int length);
// The record a discovery answer gives (fields the protocol fills: name, address,
// netmask, gateway, dhcpFlag, deviceId, model).
void ExpectRecord(const unsigned char* datagram, int length, DeviceRecord* record);
// A query reply's value: from byte 28 to the first zero or the datagram's end.
std::string ExpectValue(const unsigned char* datagram, int length);

// The value parsers, from their descriptions in protocol/device_values.h.
std::vector<std::string> ExpectVolumes(const std::string& value);
PortConfigTable ExpectPortConfig(const std::string& value, const PortConfigTable& before);

// Checks (FUZZ_CHECK) of what the protocol keeps.
void CheckDeviceRecord(const DeviceRecord& record, int interfaceCount);
void CheckSameRecord(const DeviceRecord& got, const DeviceRecord& expected);
// distinctAddresses: one record per address, as discovery builds the list (a
// settings change may move a record onto an address another one holds until the next
// discovery).
void CheckDeviceList(int interfaceCount, bool distinctAddresses);
void CheckVolumeList(const std::vector<std::string>& expected);
void CheckPortTable(const PortConfigTable& got, const PortConfigTable& expected);
