// The session state the transaction targets start from, chosen by input bytes.
#pragma once

#include <stdint.h>

// Empties the device list, the volume list and the session, then gives the session
// pending settings and credentials: pending picks the address, netmask and gateway
// (two bits each, from valid and invalid texts), credentials the user and password.
void FuzzSessionReset(uint8_t pending, uint8_t credentials);
