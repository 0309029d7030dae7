// Parsers for the values of the volume, port-configuration and SSL queries.
#pragma once

#include <string>

#include "protocol_types.h"

// Frees every entry and empties the list.
void ClearVolumes(VolumeList* list);

// Appends the ":"-separated names of value to list, in order: empty pieces give no
// name, a name already in the list (after the cut to 255 bytes) is skipped. Returns
// the number of entries added.
int SplitVolumeNames(const char* value, VolumeList* list);

// Fills the port table from a ":"-separated value. Pieces 1 to 5 describe LAN1; if its
// name is "LAN1", pieces 6 to 10 describe LAN2, else LAN2 keeps its contents. An empty
// piece between two separators reads as "NULL", which a gateway stores as empty.
// Missing pieces give empty fields; each piece is cut to its field.
void ParsePortConfig(const char* value, PortConfigTable* table);

// The address of the device's web pages by its SSL value: "https://ADDRESS" when the
// value holds a "1" anywhere, else "http://ADDRESS" (an empty value included: a device
// that did not answer). The utility's Configuration button and kavronctl web open it.
std::string DeviceUrl(const char* address, const char* sslValue);

// True for the model with two LAN ports, each with settings of its own.
bool IsTwoPortModel(const char* model);
