// Transactions that change something on the selected device
// (protocolSession.selectedAddress), and the administrator check put in front of the
// important ones. Each sends one request and waits for its reply; the settings do not
// drain first, the administrator check does. None shows anything. Every one returns 0
// at once, sending nothing, when no device is selected.
#pragma once

#include "protocol_types.h"

// The device's verdict on adminUser / adminPassword: any non-zero value (negative
// ones included) accepts; 0 is a refusal or no answer. Asked only once the device owes
// no answer to an earlier query (see AwaitOwedAnswers), so that such an answer is
// never taken for the verdict.
int VerifyAdminPassword();
// The same exchange, telling silence from a refusal: 1 with the verdict in *verdict
// when the device answered, 0 when it did not.
int AskAdminVerdict(int* verdict);

// Gives the device pendingAddress / pendingNetmask / pendingGateway (sub-code 1), or,
// for a two-port device, the whole portConfig (sub-code 21). On success the record
// and selectedAddress move to pendingAddress. 1 done, 0 no answer.
int ApplyAddressSettings();
// Makes the device a DHCP client. On success the record and selectedAddress move to
// the address the device reports. 1 done, 0 no answer.
int EnableDhcpClient();

// Small settings, answered by the selected device only. 1 done, 0 no answer.
int SetCodepage(const char* codepage);
int SetAccessMode(const char* mode);
int SendStop(const char* text);
int NotifyAddonInstalled(const char* text);

// A port table without a first port name belongs to a single-port device.
bool IsPortConfigEmpty(const PortConfigTable& table);
