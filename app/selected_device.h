// SelectedDevice: the device whose row is selected in the device list, as the
// device panel reads it and the LAN and drive panels show it. The row's texts are
// the only link to the device's record: a device that changed its address since the
// list was filled has none, and then no model and no DHCP flag.
#pragma once

#include <string>

#include "device_values.h"

struct SelectedDevice {
    // The row's texts.
    std::string name;
    std::string address;
    std::string netmask;
    std::string gateway;
    // From the record whose address is the row's; empty when there is none.
    std::string model;
    std::string dhcpFlag;

    // The model with two LAN ports, each with settings of its own.
    bool IsTwoPortModel() const { return ::IsTwoPortModel(model.c_str()); }
};
