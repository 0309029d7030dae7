// The device list made by discovery, and the selected device all transactions address.
#pragma once

#include "protocol_types.h"

// Frees every record and empties the list.
void ClearDevices();

// First record whose address equals protocolSession.selectedAddress, or null.
DeviceRecord* FindSelectedDevice();

// First record with exactly this address text, or null.
DeviceRecord* FindDevice(const char* address);

// Appends a heap copy of record unless the list already holds its address. Returns
// the new record, or null when it was a duplicate or could not be allocated.
DeviceRecord* AddDevice(const DeviceRecord& record);
