#include "output.h"

#include <stdio.h>

std::string DeviceIdHex(const unsigned char (&deviceId)[kDeviceIdSize])
{
    std::string hex;
    for (unsigned char byte : deviceId) {
        char digits[3];
        snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return hex;
}

namespace {

// Length of the well-formed UTF-8 sequence at p (1 to 4), 0 when none starts there.
// Only the shape matters here: a lead byte and its continuation bytes.
size_t Utf8SequenceAt(const unsigned char* p)
{
    size_t length;
    if (p[0] >= 0xc2 && p[0] <= 0xdf)
        length = 2;
    else if (p[0] >= 0xe0 && p[0] <= 0xef)
        length = 3;
    else if (p[0] >= 0xf0 && p[0] <= 0xf4)
        length = 4;
    else
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xc0) != 0x80)
            return 0;
    }
    return length;
}

void AppendHex(std::string* escaped, unsigned char byte)
{
    char hex[5];
    snprintf(hex, sizeof hex, "\\x%02x", byte);
    *escaped += hex;
}

}  // namespace

std::string EscapeField(const char* text)
{
    std::string escaped;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != '\0') {
        const unsigned char byte = *p;
        if (byte >= 0x80) {
            const size_t length = Utf8SequenceAt(p);
            if (length == 2 && byte == 0xc2 && p[1] < 0xa0) {
                // U+0080 to U+009F: the C1 controls, which a terminal obeys as it obeys
                // ESC (U+009B opens a control sequence).
                AppendHex(&escaped, p[0]);
                AppendHex(&escaped, p[1]);
                p += 2;
            } else if (length > 0) {
                escaped.append(reinterpret_cast<const char*>(p), length);
                p += length;
            } else {
                // A byte outside UTF-8: 0x80 to 0x9F are the C1 controls of an 8-bit
                // terminal; the others are letters of the 8-bit character sets.
                if (byte < 0xa0)
                    AppendHex(&escaped, byte);
                else
                    escaped += static_cast<char>(byte);
                ++p;
            }
            continue;
        }
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f)
                AppendHex(&escaped, byte);
            else
                escaped += static_cast<char>(byte);
        }
        ++p;
    }
    return escaped;
}

nlohmann::json DeviceJson(const DeviceRecord& device)
{
    return {
        {"name", device.name},
        {"address", device.address},
        {"netmask", device.netmask},
        {"gateway", device.gateway},
        {"dhcpFlag", device.dhcpFlag},
        {"model", device.model},
        {"interfaceIndex", device.interfaceIndex},
        {"deviceId", DeviceIdHex(device.deviceId)},
    };
}

std::string DeviceLine(const DeviceRecord& device)
{
    return EscapeField(device.name) + "\t" + EscapeField(device.address) + "\t" + EscapeField(device.netmask) + "\t" +
           EscapeField(device.gateway) + "\t" + EscapeField(device.dhcpFlag) + "\t" + EscapeField(device.model) + "\t" +
           std::to_string(device.interfaceIndex);
}

nlohmann::json PortJson(const PortConfig& port)
{
    return {
        {"portName", port.portName}, {"address", port.address},   {"netmask", port.netmask},
        {"gateway", port.gateway},   {"dhcpFlag", port.dhcpFlag},
    };
}

std::string PortLine(const PortConfig& port)
{
    return EscapeField(port.portName) + "\t" + EscapeField(port.address) + "\t" + EscapeField(port.netmask) + "\t" +
           EscapeField(port.gateway) + "\t" + EscapeField(port.dhcpFlag);
}

std::string DumpJson(const nlohmann::json& value)
{
    const std::string dumped = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    // The dump writes U+0080 to U+009F as they are (JSON does not ask for their escape);
    // a terminal showing the output would obey them. Bytes above 0x7F only occur
    // inside strings, so the escape is always in place.
    std::string escaped;
    for (size_t i = 0; i < dumped.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(dumped[i]);
        const unsigned char next = i + 1 < dumped.size() ? static_cast<unsigned char>(dumped[i + 1]) : 0;
        if (byte == 0xc2 && next >= 0x80 && next < 0xa0) {
            char unicode[7];
            snprintf(unicode, sizeof unicode, "\\u%04x", next);
            escaped += unicode;
            ++i;
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}
