#include "port_argument.h"

#include <vector>

#include "address.h"

const char kNotAnAddress[] = "not an IPv4 address in dotted decimal (four numbers 0 to 255, no leading zeros): ";

bool ParseAddressArgument(const std::string& text, AddressInput* input)
{
    return IsCanonicalAddress(text) && ParseAddressInput(text.c_str(), input);
}

bool ParsePortArgument(const std::string& text, PortArgument* argument, std::string* error)
{
    PortArgument parsed;
    parsed.given = true;
    if (text == "dhcp") {
        parsed.dhcp = true;
        *argument = parsed;
        return true;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = text.find('/', start);
        parts.push_back(text.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    if (parts.size() < 2 || parts.size() > 3) {
        *error = "expected dhcp, IP/NETMASK or IP/NETMASK/GATEWAY: " + text;
        return false;
    }
    AddressInput* fields[] = {&parsed.ip, &parsed.netmask, &parsed.gateway};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!ParseAddressArgument(parts[i], fields[i])) {
            *error = kNotAnAddress + parts[i];
            return false;
        }
    }
    *argument = parsed;
    return true;
}
