// One simulated device: its configured identity and replies, and the state that its
// settings requests change (address, netmask, gateway, DHCP flag, codepage, port table)
// until the configuration is read again. Pure logic: no sockets, no clock.
#pragma once

#include <optional>
#include <string>

#include "config.h"
#include "port_table.h"
#include "wire.h"

namespace devsim {

struct Answer {
    bool engaged = false;   // the request was for this device, answered or not
    bool hasReply = false;  // false for unanswered sub-codes and refused settings
    Bytes reply;
    uint32_t delayMs = 0;
    std::string effect;  // what the request did to the device, for the log; may be empty
};

class Device {
public:
    explicit Device(DeviceConfig config);

    const DeviceConfig& config() const { return config_; }
    bool ListensOn(const std::string& iface) const;
    DeviceId Id() const;
    std::string AddressText() const { return FormatIpv4(address_); }
    const Ipv4& Address() const { return address_; }
    // The current value of a query sub-code (settings may have changed it); null when unset.
    const Bytes* Value(uint8_t subcode) const;

    // What the device does with a request that reached it on one of its interfaces.
    Answer Handle(const Request& request);

private:
    Answer Discovery(const Request& request) const;
    Answer Query(const Request& request) const;
    Answer Setting(const Request& request);
    // Applies a setting; false (and a reason in *effect) when the device refuses it.
    bool ApplySetting(const Request& request, std::string* effect);
    ClientId ReplyClientId(const ClientId& asked) const;
    uint32_t DelayFor(uint8_t subcode) const;
    void SetLan1(const std::string& address, const std::string& netmask, const std::string& gateway,
                 const std::string& dhcpFlag);

    DeviceConfig config_;
    Ipv4 address_;
    std::string netmask_;
    std::string gateway_;
    uint8_t dhcpFlag_;
    std::map<uint8_t, Bytes> values_;
    std::optional<PortTable> portTable_;  // set by the first port table the device receives
};

// Readable form of request data for the log: printable ASCII kept, the rest as \xNN.
std::string Printable(const Bytes& data);

}  // namespace devsim
