#include "fuzz_expect.h"

#include <stdio.h>
#include <string.h>

#include <unordered_set>

#include "fuzz_check.h"

namespace {

// Where each answer layout's name starts; its four length bytes come just before.
int NameOffset(unsigned opcode)
{
    return opcode == 2 ? 60 : opcode == 7 ? 72 : opcode == 8 ? 104 : 0;
}

// A text field of the datagram: up to its first zero, the field's end or the
// datagram's end.
std::string FieldText(const unsigned char* datagram, int length, int offset, int size)
{
    std::string text;
    for (int i = offset; i < offset + size && i < length && datagram[i] != 0; ++i)
        text += static_cast<char>(datagram[i]);
    return text;
}

template <size_t N>
void Put(char (&field)[N], const std::string& text)
{
    memset(field, 0, N);
    memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}

template <size_t N>
void CheckText(const char (&got)[N], const char (&expected)[N])
{
    FUZZ_CHECK(Terminated(got));
    FUZZ_CHECK(strcmp(got, expected) == 0);
}

}  // namespace

unsigned ExpectByte(const unsigned char* datagram, int length, int offset)
{
    return offset >= 0 && offset < length ? datagram[offset] : 0;
}

bool ExpectOwn(const unsigned char* datagram, int length)
{
    return length >= 7 && memcmp(datagram + 1, clientId, 6) == 0;
}

bool ExpectDeviceAnswer(const unsigned char* datagram, int length)
{
    const int offset = NameOffset(ExpectByte(datagram, length, 0));
    return offset > 0 && length >= offset;
}

bool ExpectSelectorsMatch(const unsigned char* datagram, int length, unsigned char selector1, unsigned char selector2)
{
    const unsigned opcode = ExpectByte(datagram, length, 0);
    if (opcode != 7 && opcode != 8)
        return true;
    return (selector1 == 0 || selector1 == ExpectByte(datagram, length, 56)) &&
           (selector2 == 0 || selector2 == ExpectByte(datagram, length, 57));
}

bool ExpectAccepted(const unsigned char* datagram, int length, unsigned char selector1, unsigned char selector2)
{
    return ExpectOwn(datagram, length) && ExpectDeviceAnswer(datagram, length) &&
           ExpectSelectorsMatch(datagram, length, selector1, selector2);
}

std::string ExpectAddress(const unsigned char* datagram, int length)
{
    char text[32];
    snprintf(text, sizeof text, "%u.%u.%u.%u", ExpectByte(datagram, length, 17), ExpectByte(datagram, length, 18),
             ExpectByte(datagram, length, 19), ExpectByte(datagram, length, 20));
    return text;
}

void ExpectRecord(const unsigned char* datagram, int length, DeviceRecord* record)
{
    memset(record, 0, sizeof *record);
    const unsigned opcode = ExpectByte(datagram, length, 0);
    const int offset = NameOffset(opcode);
    unsigned long declared = 0;
    for (int i = 0; i < 4; ++i)
        declared |= static_cast<unsigned long>(ExpectByte(datagram, length, offset - 4 + i)) << (8 * i);
    unsigned long nameLength = declared;
    if (nameLength > static_cast<unsigned long>(length - offset))
        nameLength = static_cast<unsigned long>(length - offset);
    if (nameLength > 255)
        nameLength = 255;
    memcpy(record->name, datagram + offset, nameLength);  // zero bytes inside included
    Put(record->address, ExpectAddress(datagram, length));
    Put(record->netmask, FieldText(datagram, length, 24, 16));
    Put(record->gateway, FieldText(datagram, length, 40, 16));
    record->dhcpFlag[0] = static_cast<char>(ExpectByte(datagram, length, 21));
    for (int i = 0; i < kDeviceIdSize; ++i)
        record->deviceId[i] = static_cast<unsigned char>(ExpectByte(datagram, length, 11 + i));
    if (opcode == 8)
        Put(record->model, FieldText(datagram, length, 68, 32));
}

std::string ExpectValue(const unsigned char* datagram, int length)
{
    std::string value;
    for (int i = kQueryHeaderSize; i < length && datagram[i] != 0; ++i)
        value += static_cast<char>(datagram[i]);
    return value;
}

std::vector<std::string> ExpectVolumes(const std::string& value)
{
    // A set keeps this linear: a long value holds thousands of names, and the fuzzer
    // should spend its time in the library, not here.
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    size_t start = 0;
    for (;;) {
        const size_t end = value.find(':', start);
        const size_t length = (end == std::string::npos ? value.size() : end) - start;
        std::string piece = value.substr(start, length < 255 ? length : 255);
        if (!piece.empty() && seen.insert(piece).second)
            names.push_back(piece);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

PortConfigTable ExpectPortConfig(const std::string& value, const PortConfigTable& before)
{
    // The working text keeps 511 characters, also after each empty field between two
    // separators became "NULL".
    const std::string cut = value.substr(0, 511);
    std::string text;
    for (size_t i = 0; i < cut.size(); ++i) {
        text += cut[i];
        if (cut[i] == ':' && i + 1 < cut.size() && cut[i + 1] == ':')
            text += "NULL";
    }
    if (text.size() > 511)
        text.resize(511);
    std::vector<std::string> pieces;
    size_t start = 0;
    while (pieces.size() < 10) {
        const size_t end = text.find(':', start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    auto fill = [&](PortConfig* port, size_t first) {
        auto piece = [&](size_t i) { return first + i < pieces.size() ? pieces[first + i] : std::string(); };
        Put(port->portName, piece(0));
        Put(port->address, piece(1));
        Put(port->netmask, piece(2));
        Put(port->gateway, piece(3) == "NULL" ? std::string() : piece(3));
        Put(port->dhcpFlag, piece(4));
    };
    PortConfigTable table = before;
    fill(&table.lan1, 0);
    if (strcmp(table.lan1.portName, "LAN1") == 0)
        fill(&table.lan2, 5);
    return table;
}

void CheckDeviceRecord(const DeviceRecord& record, int interfaceCount)
{
    FUZZ_CHECK(Terminated(record.name));  // and so at most 255 bytes
    FUZZ_CHECK(Terminated(record.address));
    FUZZ_CHECK(Terminated(record.netmask));
    FUZZ_CHECK(Terminated(record.gateway));
    FUZZ_CHECK(Terminated(record.dhcpFlag));
    FUZZ_CHECK(Terminated(record.model));
    FUZZ_CHECK(record.interfaceIndex >= 0 && record.interfaceIndex < interfaceCount);
}

void CheckSameRecord(const DeviceRecord& got, const DeviceRecord& expected)
{
    // The name may hold zero bytes from the datagram: all 256 bytes count.
    FUZZ_CHECK(memcmp(got.name, expected.name, sizeof got.name) == 0);
    CheckText(got.address, expected.address);
    CheckText(got.netmask, expected.netmask);
    CheckText(got.gateway, expected.gateway);
    FUZZ_CHECK(got.dhcpFlag[0] == expected.dhcpFlag[0] && got.dhcpFlag[1] == '\0');
    FUZZ_CHECK(memcmp(got.deviceId, expected.deviceId, sizeof got.deviceId) == 0);
    CheckText(got.model, expected.model);
}

void CheckDeviceList(int interfaceCount, bool distinctAddresses)
{
    int walked = 0;
    const DeviceRecord* last = nullptr;
    for (const DeviceRecord* record = deviceList.head; record != nullptr; record = record->next) {
        FUZZ_CHECK(++walked <= deviceList.count);
        CheckDeviceRecord(*record, interfaceCount);
        for (const DeviceRecord* other = deviceList.head; distinctAddresses && other != record; other = other->next)
            FUZZ_CHECK(strcmp(other->address, record->address) != 0);
        last = record;
    }
    FUZZ_CHECK(walked == deviceList.count);
    FUZZ_CHECK(deviceList.tail == last);
}

void CheckVolumeList(const std::vector<std::string>& expected)
{
    FUZZ_CHECK(volumeList.count == static_cast<int>(expected.size()));
    size_t i = 0;
    const VolumeEntry* last = nullptr;
    for (const VolumeEntry* entry = volumeList.head; entry != nullptr; entry = entry->next, ++i) {
        FUZZ_CHECK(i < expected.size());
        FUZZ_CHECK(Terminated(entry->name));
        FUZZ_CHECK(expected[i] == entry->name);
        last = entry;
    }
    FUZZ_CHECK(i == expected.size());
    FUZZ_CHECK(volumeList.tail == last);
}

void CheckPortTable(const PortConfigTable& got, const PortConfigTable& expected)
{
    for (const PortConfig* port : {&got.lan1, &got.lan2}) {
        FUZZ_CHECK(Terminated(port->portName) && Terminated(port->address) && Terminated(port->netmask) &&
                   Terminated(port->gateway) && Terminated(port->dhcpFlag));
        FUZZ_CHECK(strcmp(port->gateway, "NULL") != 0);  // the empty mark never reaches a field
    }
    CheckText(got.lan1.portName, expected.lan1.portName);
    CheckText(got.lan1.address, expected.lan1.address);
    CheckText(got.lan1.netmask, expected.lan1.netmask);
    CheckText(got.lan1.gateway, expected.lan1.gateway);
    CheckText(got.lan1.dhcpFlag, expected.lan1.dhcpFlag);
    // LAN2 is rewritten only after a "LAN1" first port; otherwise it keeps every byte.
    if (strcmp(got.lan1.portName, "LAN1") != 0) {
        FUZZ_CHECK(memcmp(&got.lan2, &expected.lan2, sizeof got.lan2) == 0);
        return;
    }
    CheckText(got.lan2.portName, expected.lan2.portName);
    CheckText(got.lan2.address, expected.lan2.address);
    CheckText(got.lan2.netmask, expected.lan2.netmask);
    CheckText(got.lan2.gateway, expected.lan2.gateway);
    CheckText(got.lan2.dhcpFlag, expected.lan2.dhcpFlag);
}
