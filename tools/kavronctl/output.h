// Printing device records and query values as text lines or JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "protocol.h"

// 20 lowercase hex digits.
std::string DeviceIdHex(const unsigned char (&deviceId)[kDeviceIdSize]);

nlohmann::json DeviceJson(const DeviceRecord& device);
std::string DeviceLine(const DeviceRecord& device);

nlohmann::json PortJson(const PortConfig& port);
std::string PortLine(const PortConfig& port);

// JSON text in which bytes that are not UTF-8 are replaced rather than refused:
// device names arrive in whatever character set the device uses.
std::string DumpJson(const nlohmann::json& value);
