// The 120-byte two-port network table (LAN1 record at 0, LAN2 at 60) that the utility
// sends whole with sub-code 21, and its text form as the port configuration value.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace devsim {

constexpr size_t kPortTableSize = 120;
constexpr size_t kPortRecordSize = 60;

struct PortFields {
    std::string portName;  // 10-byte field
    std::string address;   // 16
    std::string netmask;   // 16
    std::string gateway;   // 16
    std::string dhcpFlag;  // 2
};

class PortTable {
public:
    explicit PortTable(const uint8_t* bytes);  // reads kPortTableSize bytes

    PortFields Port(int index) const;  // 0 = LAN1, 1 = LAN2
    void SetPort(int index, const PortFields& fields);
    // "LAN1:addr:mask:gw:dhcp:LAN2:addr:mask:gw:dhcp"; an empty field stays empty.
    std::string Value() const;

private:
    std::array<uint8_t, kPortTableSize> bytes_{};
};

}  // namespace devsim
