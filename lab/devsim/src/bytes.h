// Small byte and text helpers shared by the simulator's codec, configuration and log.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

using Bytes = std::vector<uint8_t>;
using Ipv4 = std::array<uint8_t, 4>;  // network order: "a.b.c.d" is {a, b, c, d}

std::string ToHex(const uint8_t* data, size_t size);
inline std::string ToHex(const Bytes& bytes)
{
    return ToHex(bytes.data(), bytes.size());
}

// Accepts upper or lower case digits; an odd count or any other character is an error.
std::optional<Bytes> FromHex(std::string_view hex);

// Strict dotted-decimal: four numbers 0..255, no spaces, no leading '+', at most three digits each.
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string FormatIpv4(const Ipv4& address);

inline Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

}  // namespace devsim
