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

std::string EscapeField(const char* text)
{
    std::string escaped;
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char byte = static_cast<unsigned char>(*p);
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
            if (byte < 0x20 || byte == 0x7f) {
                char hex[5];
                snprintf(hex, sizeof hex, "\\x%02x", byte);
                escaped += hex;
            } else {
                escaped += static_cast<char>(byte);
            }
        }
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
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
