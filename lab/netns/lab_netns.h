// What the lab's native programs ask before they touch a network: which namespace of
// `ip netns` they run in, and whether an address is one of the lab's. The simulator and
// the storm refuse to start anywhere else, so that nothing they send reaches a real network.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace lab {

// The name under /run/netns of the network namespace this process runs in; nullopt in
// the machine's own namespace, which has none.
std::optional<std::string> NamedNetworkNamespace();

// 198.51.100.0/24 or 203.0.113.0/24, in network order ("a.b.c.d" is {a, b, c, d}).
bool IsLabRange(const std::array<uint8_t, 4>& address);

}  // namespace lab
