#include "network_rules.h"

#include <stdio.h>

#include "text_util.h"

namespace {

const SettingsCheck kAccepted = {nullptr, nullptr, SettingsCheck::kInformation, -1, -1};

SettingsCheck Refuse(const char* message, const char* caption, SettingsCheck::Icon icon, int field = -1, int octet = -1)
{
    return SettingsCheck{message, caption, icon, field, octet};
}

// One message per field and octet; the first octet of an address or gateway must
// also be a unicast class A to C number.
const char* const kOctetMessages[3][4] = {
    {"Invalid IP address in 1st digit. It should be 1-223.", "Invalid IP address in 2nd digit. It should be 0-255.",
     "Invalid IP address in 3rd digit. It should be 0-255.", "Invalid IP address in 4th digit. It should be 0-255."},
    {"Invalid subnet mask address in 1st digit. It should be 0-255.",
     "Invalid subnet mask address in 2nd digit. It should be 0-255.",
     "Invalid subnet mask address in 3rd digit. It should be 0-255.",
     "Invalid subnet mask address in 4th digit. It should be 0-255."},
    {"Invalid gateway IP address in 1st digit. It should be 1-223.",
     "Invalid gateway IP address in 2nd digit. It should be 0-255.",
     "Invalid gateway IP address in 3rd digit. It should be 0-255.",
     "Invalid gateway IP address in 4th digit. It should be 0-255."},
};

bool IsLinkLocal(const int (&a)[4])
{
    return a[0] == 169 && a[1] == 254;
}

// A blank field reads as 0.0.0.0, whatever its octets were left holding: the rules and
// the stored texts must not depend on what the caller put in a field it marked blank.
struct Octets {
    int o[4];

    explicit Octets(const AddressInput& input)
    {
        for (int i = 0; i < 4; ++i)
            o[i] = input.blank ? 0 : input.octets[i];
    }
};

void FormatOctets(const AddressInput& input, char (&text)[16])
{
    // Octets come from address fields (0 to 255); snprintf bounds anything else.
    const Octets octets(input);
    const int* o = octets.o;
    snprintf(text, sizeof text, "%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
}

}  // namespace

bool ParseAddressInput(const char* text, AddressInput* input)
{
    unsigned char bytes[4];
    if (!ParseDottedOctets(text, bytes))
        return false;
    input->blank = false;
    for (int i = 0; i < 4; ++i)
        input->octets[i] = bytes[i];
    return true;
}

bool ParseDottedOctets(const char* text, unsigned char (&bytes)[4])
{
    if (text == nullptr)
        return false;
    unsigned char parsed[4];
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (*p < '0' || *p > '9')
            return false;
        unsigned number = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            number = number * 10 + static_cast<unsigned>(*p++ - '0');
            if (++digits > 3 || number > 255)
                return false;
        }
        parsed[part] = static_cast<unsigned char>(number);
        if (part < 3 && *p++ != '.')
            return false;
    }
    if (*p != '\0')
        return false;
    for (int i = 0; i < 4; ++i)
        bytes[i] = parsed[i];
    return true;
}

SettingsCheck CheckOctets(AddressField field, const AddressInput& input)
{
    if (field == AddressField::kGateway && input.blank)
        return kAccepted;
    const int f = static_cast<int>(field);
    const Octets octets(input);
    const int* o = octets.o;
    const bool firstMustBeUnicast = field != AddressField::kNetmask;
    const bool firstOk = firstMustBeUnicast ? o[0] >= 1 && o[0] <= 223 : o[0] >= 0 && o[0] <= 255;
    for (int i = 0; i < 4; ++i) {
        const bool ok = i == 0 ? firstOk : o[i] >= 0 && o[i] <= 255;
        if (!ok)
            return Refuse(kOctetMessages[f][i], "Error", SettingsCheck::kInformation, f, i);
    }
    return kAccepted;
}

bool IsNetmaskInvalid(const int (&m)[4])
{
    if (m[0] == 0)
        return true;
    bool seenZero = false;
    for (int i = 0; i < 4; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool one = ((m[i] >> bit) & 1) != 0;
            if (one && seenZero)
                return true;
            if (!one)
                seenZero = true;
        }
    }
    return false;
}

bool IsConfigInconsistent(const int (&a)[4], const int (&m)[4], const int (&g)[4])
{
    if (IsLinkLocal(a))
        return false;
    bool network = true, broadcast = true, outside = false;
    for (int i = 0; i < 4; ++i) {
        network = network && g[i] == (a[i] & m[i]);
        broadcast = broadcast && g[i] == ((255 - m[i]) | a[i]);
        outside = outside || (a[i] & m[i]) != (g[i] & m[i]);
    }
    return network || broadcast || outside;
}

SettingsCheck CheckAndRecordNetworkSettings(const AddressInput& ip, const AddressInput& netmask,
                                            const AddressInput& gateway, ProtocolSession* session)
{
    const PortConfig& first = session->portConfig.lan1;
    if (ip.blank)
        return Refuse("Please input IP address!", "Warning", SettingsCheck::kExclamation);
    if (netmask.blank)
        return Refuse("Please input net mask address!", "Warning", SettingsCheck::kExclamation);
    if (ip.octets[0] == 127)
        return Refuse("IP address input error. Please try again.", "Warning", SettingsCheck::kExclamation);
    SettingsCheck check = CheckOctets(AddressField::kIp, ip);
    if (!check.Accepted())
        return check;
    CopyTextTo(session->pendingAddress, first.address);

    check = CheckOctets(AddressField::kNetmask, netmask);
    if (!check.Accepted())
        return check;
    CopyTextTo(session->pendingNetmask, first.netmask);

    if (!IsLinkLocal(ip.octets)) {
        check = CheckOctets(AddressField::kGateway, gateway);
        if (!check.Accepted())
            return check;
    }
    if (IsNetmaskInvalid(netmask.octets))
        return Refuse("Netmask address input invalid. Please try again.", "Error", SettingsCheck::kStop);
    const Octets g(gateway);
    if (IsConfigInconsistent(ip.octets, netmask.octets, g.o))
        return Refuse("You enter incorrect TCP/IP configuration. Please try again.", "Error", SettingsCheck::kStop);

    const bool noGateway = g.o[0] == 0 && g.o[1] == 0 && g.o[2] == 0 && g.o[3] == 0;
    CopyTextTo(session->pendingGateway, noGateway ? "" : first.gateway);
    return kAccepted;
}

void StorePortSettings(const AddressInput& ip, const AddressInput& netmask, const AddressInput& gateway, int dhcpChoice,
                       PortConfig* port)
{
    char text[16];
    FormatOctets(ip, text);
    CopyTextTo(port->address, text);
    FormatOctets(netmask, text);
    CopyTextTo(port->netmask, text);
    FormatOctets(gateway, text);
    CopyTextTo(port->gateway, text);
    snprintf(text, sizeof text, "%d", dhcpChoice);
    CopyTextTo(port->dhcpFlag, text);
}
