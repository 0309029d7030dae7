// Where the storm may send: only inside a lab made by lab/lab, only to the lab's two
// address ranges and the protocol's group. A flood must never reach a real network.
#pragma once

#include <optional>
#include <string>

#include "datagrams.h"

namespace storm {

// Dotted decimal, four numbers 0 to 255; nullopt for anything else.
std::optional<Ipv4> ParseIpv4(const std::string& text);
std::string FormatIpv4(const Ipv4& address);

bool IsGroup(const Ipv4& address);       // 224.0.0.1
bool IsLabAddress(const Ipv4& address);  // 198.51.100.0/24 or 203.0.113.0/24
bool IsAllowedDestination(const Ipv4& address);

// The lab's device namespaces are named kv<ID>d (lab/lab).
bool IsLabDeviceNamespaceName(const std::string& name);

// An interface of this namespace given by name or by one of its IPv4 addresses: its
// address and name. False when there is none, or its address is outside the lab.
bool ResolveLabInterface(const std::string& nameOrAddress, Ipv4* address, std::string* name, std::string* error);

}  // namespace storm
