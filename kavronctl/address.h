// The device address a command names.
#pragma once

#include <string>

// Four decimal numbers 0..255 joined by dots, with no leading zeros, signs, spaces or
// anything else: the only spelling of an address that discovery's records use, so
// any other cannot name a device and is refused before the network is used.
bool IsCanonicalAddress(const std::string& text);
