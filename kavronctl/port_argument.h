// The address arguments of the setting commands, read into the panel's field form.
#pragma once

#include <string>

#include "network_rules.h"

// One port of set-ports: "dhcp", or a fixed address "IP/NETMASK" or
// "IP/NETMASK/GATEWAY" (a gateway left out is a blank field).
struct PortArgument {
    bool given = false;
    bool dhcp = false;
    AddressInput ip{true, {0, 0, 0, 0}};
    AddressInput netmask{true, {0, 0, 0, 0}};
    AddressInput gateway{true, {0, 0, 0, 0}};
};

// The refusal of an address argument, followed by the argument.
extern const char kNotAnAddress[];

// A canonical dotted-decimal address into a filled field; false otherwise.
bool ParseAddressArgument(const std::string& text, AddressInput* input);

// Fills *argument (given = true) or returns false with what is wrong in *error.
bool ParsePortArgument(const std::string& text, PortArgument* argument, std::string* error);
