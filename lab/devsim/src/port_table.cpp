#include "port_table.h"

#include <cstring>

#include "wire.h"

namespace devsim {

namespace {
struct Field {
    size_t offset;
    size_t size;
};
constexpr Field kPortName{0, 10}, kAddress{10, 16}, kNetmask{26, 16}, kGateway{42, 16}, kDhcpFlag{58, 2};
}  // namespace

PortTable::PortTable(const uint8_t* bytes)
{
    std::memcpy(bytes_.data(), bytes, bytes_.size());
}

PortFields PortTable::Port(int index) const
{
    const uint8_t* r = bytes_.data() + index * kPortRecordSize;
    return PortFields{
        GetTextField(r + kPortName.offset, kPortName.size), GetTextField(r + kAddress.offset, kAddress.size),
        GetTextField(r + kNetmask.offset, kNetmask.size), GetTextField(r + kGateway.offset, kGateway.size),
        GetTextField(r + kDhcpFlag.offset, kDhcpFlag.size)};
}

void PortTable::SetPort(int index, const PortFields& f)
{
    uint8_t* r = bytes_.data() + index * kPortRecordSize;
    PutTextField(r + kPortName.offset, kPortName.size, f.portName);
    PutTextField(r + kAddress.offset, kAddress.size, f.address);
    PutTextField(r + kNetmask.offset, kNetmask.size, f.netmask);
    PutTextField(r + kGateway.offset, kGateway.size, f.gateway);
    PutTextField(r + kDhcpFlag.offset, kDhcpFlag.size, f.dhcpFlag);
}

std::string PortTable::Value() const
{
    std::string out;
    bool first = true;
    for (int i = 0; i < 2; ++i) {
        const PortFields p = Port(i);
        for (const std::string* s : {&p.portName, &p.address, &p.netmask, &p.gateway, &p.dhcpFlag}) {
            if (!first)
                out += ':';
            first = false;
            out += *s;
        }
    }
    return out;
}

}  // namespace devsim
