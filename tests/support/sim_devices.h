// Devices of the end-to-end tests' simulator configurations (link sim_control).
#pragma once

#include "sim_control.h"

// A single-port device on the first link, in 198.51.100.0/24 with its gateway, with
// the given volumes and no SSL.
inline json SimLanDevice(const char* identity, const char* address, const char* name, const char* volumes)
{
    json device = SimDevice(identity, address);
    device["name"] = name;
    device["netmask"] = "255.255.255.0";
    device["gateway"] = "198.51.100.1";
    device["on"] = json::array({kSimLan0});
    device["values"] = {{"3", volumes}, {"19", "0"}};
    return device;
}
