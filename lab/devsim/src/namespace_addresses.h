// The devices' own addresses on the simulator's interfaces, so that a TCP client in the
// lab reaches a device's web pages. The simulator only ever runs in a network namespace
// of its own (the lab's device namespace), and refuses to start in the machine's.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bytes.h"
#include "net.h"

namespace devsim {

// Addresses the simulator may give to an interface: the lab's two ranges without the
// network and broadcast addresses and without .1, which the lab's client side holds on
// the same links (taking it would turn every reply to the client into local delivery).
bool IsDeviceAddress(const Ipv4& address);

struct InterfaceAddress {
    Ipv4 address{};
    std::string interfaceName;
    bool operator<(const InterfaceAddress& o) const
    {
        return address != o.address ? address < o.address : interfaceName < o.interfaceName;
    }
};

// Adds and removes /32 addresses through rtnetlink. An address that is no longer wanted
// is kept for a while instead of removed: the kernel then resets a connection to it at
// once (no listener), whereas a removed address leaves the client's neighbour cache
// pointing at a host that silently drops the SYN, and a connect would hang for minutes.
// Everything it added is removed when it is destroyed.
class NamespaceAddresses {
public:
    static std::unique_ptr<NamespaceAddresses> Open(std::string* error);
    ~NamespaceAddresses();
    NamespaceAddresses(const NamespaceAddresses&) = delete;
    NamespaceAddresses& operator=(const NamespaceAddresses&) = delete;

    // Makes every wanted address present. Addresses that already exist but were not added
    // here (an interface's own address) are used as they are and never removed. Returns
    // what could not be done, one text each.
    std::vector<std::string> Sync(const std::set<InterfaceAddress>& wanted);

    // At most this many addresses are kept after their device has gone; the oldest go first.
    static constexpr size_t kMaxRetired = 64;

private:
    explicit NamespaceAddresses(UniqueFd fd) : fd_(std::move(fd)) {}
    // RTM_NEWADDR or RTM_DELADDR; returns 0 or the kernel's errno.
    int Change(uint16_t type, const InterfaceAddress& address);

    struct Given {
        bool wanted = true;
        uint64_t retiredAt = 0;  // order of retirement, for dropping the oldest
    };
    UniqueFd fd_;
    uint32_t sequence_ = 0;
    uint64_t retirements_ = 0;
    std::map<InterfaceAddress, Given> given_;
};

}  // namespace devsim
