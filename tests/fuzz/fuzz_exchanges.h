// The queries and the settings transactions run through the fuzz socket layer, each
// checked against the request it sent and the reply the layer delivered: the value
// the protocol kept, what moved and what did not, and how many waits it spent.
#pragma once

#include <stdint.h>

// Every query against the selected device (protocolSession.selectedAddress).
void RunCheckedQueries();

// The settings transactions a kind chooses from; their number.
enum { kCheckedSettingKinds = 7 };
// One administrator check or settings transaction against the selected device.
void RunCheckedSetting(uint8_t kind);
