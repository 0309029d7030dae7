#include "fuzz_session.h"

#include <string.h>

#include "protocol.h"

namespace {

// Texts a caller may leave pending: addresses that parse and ones that do not (the
// DeviceId keeps its bytes then), full-width fields, an empty one.
const char* const kAddresses[] = {"198.51.100.77", "203.0.113.2", "255.255.255.255", "1.2.3"};
const char* const kNetmasks[] = {"255.255.255.0", "", "255.255.255.255", "0.0.0.0"};
const char* const kGateways[] = {"198.51.100.254", "", "203.0.113.254", "999.1.1.1"};
const char* const kUsers[] = {"admin", "", "administrator16c", "admin"};
const char* const kPasswords[] = {"", "secret", "passwordof16char", "\x55\xAA"};

}  // namespace

void FuzzSessionReset(uint8_t pending, uint8_t credentials)
{
    ClearDevices();
    ClearVolumes(&volumeList);
    memset(&protocolSession, 0, sizeof protocolSession);
    CopyTextTo(protocolSession.pendingAddress, kAddresses[pending & 3]);
    CopyTextTo(protocolSession.pendingNetmask, kNetmasks[(pending >> 2) & 3]);
    CopyTextTo(protocolSession.pendingGateway, kGateways[(pending >> 4) & 3]);
    CopyTextTo(protocolSession.adminUser, kUsers[credentials & 3]);
    CopyTextTo(protocolSession.adminPassword, kPasswords[(credentials >> 2) & 3]);
}
