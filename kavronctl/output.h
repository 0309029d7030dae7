// Printing device records and query values as text lines or JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "protocol.h"

// 20 lowercase hex digits.
std::string DeviceIdHex(const unsigned char (&deviceId)[kDeviceIdSize]);

// Text-mode form of a field: a name or value may hold any byte but zero, so control
// bytes are escaped (\t, \n, \r, \xHH) and the backslash doubled, keeping one
// record on one line and its fields apart and the terminal out of the device's hands.
// The C1 controls are escaped too: U+0080 to U+009F in UTF-8 (\xc2\x9b) and the bytes
// 0x80 to 0x9F outside UTF-8. Other bytes, UTF-8 included, pass as they are.
std::string EscapeField(const char* text);

nlohmann::json DeviceJson(const DeviceRecord& device);
// Tab-separated, every text field escaped.
std::string DeviceLine(const DeviceRecord& device);

nlohmann::json PortJson(const PortConfig& port);
std::string PortLine(const PortConfig& port);

// JSON text in which bytes that are not UTF-8 are replaced rather than refused:
// device names arrive in whatever character set the device uses. The C1 controls are
// written as \u0080 to \u009f, as the dump writes the C0 ones.
std::string DumpJson(const nlohmann::json& value);
