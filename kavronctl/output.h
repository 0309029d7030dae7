// Printing device records and query values as text lines or JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "protocol.h"

// 20 lowercase hex digits.
std::string DeviceIdHex(const unsigned char (&deviceId)[kDeviceIdSize]);

// Text-mode form of a field: a name or value may hold any byte but zero, so control
// bytes are escaped (\t, \n, \r, \xHH) and the backslash doubled, keeping one
// record on one line and its fields apart. Other bytes, UTF-8 included, pass as they are.
std::string EscapeField(const char* text);

nlohmann::json DeviceJson(const DeviceRecord& device);
// Tab-separated, every text field escaped.
std::string DeviceLine(const DeviceRecord& device);

nlohmann::json PortJson(const PortConfig& port);
std::string PortLine(const PortConfig& port);

// JSON text in which bytes that are not UTF-8 are replaced rather than refused:
// device names arrive in whatever character set the device uses.
std::string DumpJson(const nlohmann::json& value);
