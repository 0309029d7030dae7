// The rules a static TCP/IP configuration must pass before it goes to a device, with
// the message the user gets for each refusal. The LAN panel shows the message (and
// focuses the octet at fault); kavronctl prints it. No window code here.
#pragma once

#include "protocol_types.h"

enum class AddressField { kIp = 0, kNetmask = 1, kGateway = 2 };

// An address field as the user left it: blank, or four numbers (a blank part of a
// partly filled field reads 0). A blank field counts as 0.0.0.0 whatever its octets hold.
struct AddressInput {
    bool blank;
    int octets[4];
};

// A refusal, or none.
struct SettingsCheck {
    enum Icon { kExclamation, kInformation, kStop };

    const char* message;  // nullptr: accepted
    const char* caption;  // "Warning" or "Error"
    Icon icon;
    int field;  // the AddressField to focus, or -1
    int octet;  // the octet of that field to focus (0 to 3), or -1

    bool Accepted() const { return message == nullptr; }
};

// "a.b.c.d" with four numbers 0..255 into input; false (input untouched) otherwise.
bool ParseAddressInput(const char* text, AddressInput* input);
// The same into four bytes in network order.
bool ParseDottedOctets(const char* text, unsigned char (&bytes)[4]);

// The octet ranges of one field: 1..223 first for an address or a gateway, 0..255
// otherwise; a blank gateway passes at once.
SettingsCheck CheckOctets(AddressField field, const AddressInput& input);
// True unless the 32 bits are ones then zeros with at least one leading one
// (128.0.0.0 up to 255.255.255.255).
bool IsNetmaskInvalid(const int (&m)[4]);
// True when the gateway is the network or the broadcast address, or lies outside
// the subnet; a link-local address (169.254.x.y) is never inconsistent.
bool IsConfigInconsistent(const int (&a)[4], const int (&m)[4], const int (&g)[4]);

// The whole check of a static configuration, in its fixed order; the first refusal
// is returned. As it passes its steps it records session->pendingAddress,
// pendingNetmask and pendingGateway from the first port of session->portConfig (an
// empty gateway text for 0.0.0.0), so a later refusal leaves the earlier ones set.
SettingsCheck CheckAndRecordNetworkSettings(const AddressInput& ip, const AddressInput& netmask,
                                            const AddressInput& gateway, ProtocolSession* session);

// Writes one port's settings as the panel holds them: each field "%d.%d.%d.%d" (a
// blank one "0.0.0.0"), and the DHCP choice (0 static, 1 client) as "%d".
void StorePortSettings(const AddressInput& ip, const AddressInput& netmask, const AddressInput& gateway, int dhcpChoice,
                       PortConfig* port);
