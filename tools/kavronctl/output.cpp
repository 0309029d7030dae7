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
    return std::string(device.name) + "\t" + device.address + "\t" + device.netmask + "\t" + device.gateway + "\t" +
           device.dhcpFlag + "\t" + device.model + "\t" + std::to_string(device.interfaceIndex);
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
    return std::string(port.portName) + "\t" + port.address + "\t" + port.netmask + "\t" + port.gateway + "\t" +
           port.dhcpFlag;
}

std::string DumpJson(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
