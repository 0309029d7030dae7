#include "device.h"

#include <algorithm>
#include <cstdio>

namespace devsim {

namespace {

constexpr uint8_t kAdminCheck = 4;
constexpr uint8_t kCodepage = 9;
constexpr uint8_t kPortConfig = 20;

constexpr uint8_t kSetAddress = 1;
constexpr uint8_t kSetDhcpClient = 2;
constexpr uint8_t kSetCodepage = 8;
constexpr uint8_t kSetPortTable = 21;

// Text sent without a terminator; a client that adds one anyway must not break parsing.
std::string TextUpToZero(const Bytes& data)
{
    auto end = std::find(data.begin(), data.end(), 0);
    return std::string(data.begin(), end);
}

}  // namespace

std::string Printable(const Bytes& data)
{
    std::string out;
    for (uint8_t c : data) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

Device::Device(DeviceConfig config)
    : config_(std::move(config)), address_(config_.address), netmask_(config_.netmask), gateway_(config_.gateway),
      dhcpFlag_(config_.dhcpFlag), values_(config_.values)
{}

bool Device::ListensOn(const std::string& iface) const
{
    return std::find(config_.on.begin(), config_.on.end(), iface) != config_.on.end();
}

const Bytes* Device::Value(uint8_t subcode) const
{
    auto it = values_.find(subcode);
    return it != values_.end() ? &it->second : nullptr;
}

DeviceId Device::Id() const
{
    DeviceId id{};
    std::copy(config_.identity.begin(), config_.identity.end(), id.begin());
    std::copy(address_.begin(), address_.end(), id.begin() + 6);
    return id;
}

ClientId Device::ReplyClientId(const ClientId& asked) const
{
    ClientId id = asked;
    if (config_.foreignClientId) {
        // Every one of the six compared bytes differs, so no receiver can take it as its own.
        for (size_t i = 0; i < 6; ++i)
            id[i] = static_cast<uint8_t>(~id[i]);
    }
    return id;
}

uint32_t Device::DelayFor(uint8_t subcode) const
{
    auto it = config_.subcodeDelayMs.find(subcode);
    return it != config_.subcodeDelayMs.end() ? it->second : config_.delayMs;
}

Answer Device::Handle(const Request& request)
{
    switch (request.opcode) {
    case kDiscoveryRequest:
        return Discovery(request);
    case kQueryRequest:
        return Query(request);
    case kSettingRequest:
        return Setting(request);
    default:
        return Answer{};
    }
}

Answer Device::Discovery(const Request& request) const
{
    DiscoveryReplyFields f;
    f.layout = config_.layout;
    f.clientId = ReplyClientId(request.clientId);
    f.deviceId = Id();
    f.dhcpFlag = dhcpFlag_;
    f.netmask = netmask_;
    f.gateway = gateway_;
    f.selector1 = config_.selector1;
    f.selector2 = config_.selector2;
    f.model = config_.model;
    f.name = config_.name;
    f.nameLength = config_.nameLength.value_or(static_cast<uint32_t>(config_.name.size()));

    Answer a;
    a.engaged = true;
    a.hasReply = true;
    a.reply = EncodeDiscoveryReply(f);
    a.delayMs = config_.delayMs;
    return a;
}

Answer Device::Query(const Request& request) const
{
    Answer a;
    const bool addressed = request.deviceId == Id();
    if (!addressed && !config_.answerAll)
        return a;
    a.engaged = true;
    a.delayMs = DelayFor(request.subcode);
    if (!addressed)
        a.effect = "answers a query addressed to another device";
    if (config_.unanswered.count(request.subcode)) {
        a.effect = "leaves sub-code " + std::to_string(request.subcode) + " unanswered";
        return a;
    }

    Bytes value;
    if (request.subcode == kAdminCheck) {
        Bytes expected = config_.admin.user;
        expected.push_back(0x55);
        expected.push_back(0xAA);
        expected.insert(expected.end(), config_.admin.password.begin(), config_.admin.password.end());
        const bool match = request.data == expected;
        value.push_back(match ? config_.admin.verdict : 0);
        a.effect = match ? "administrator accepted" : "administrator refused";
    } else if (request.subcode == kPortConfig && portTable_) {
        value = ToBytes(portTable_->Value());
    } else {
        auto it = values_.find(request.subcode);
        if (it != values_.end())
            value = it->second;
    }
    a.hasReply = true;
    a.reply = EncodeQueryReply(ReplyClientId(request.clientId), Id(), value);
    return a;
}

Answer Device::Setting(const Request& request)
{
    Answer a;
    if (request.deviceId != Id())
        return a;
    a.engaged = true;
    a.delayMs = DelayFor(request.subcode);
    if (config_.unanswered.count(request.subcode)) {
        // An ignored setting is not applied either: the device behaves as if it never heard it.
        a.effect = "leaves sub-code " + std::to_string(request.subcode) + " unanswered";
        return a;
    }
    if (!ApplySetting(request, &a.effect))
        return a;
    a.hasReply = true;
    // Built after the change: an address change is answered with the new DeviceId.
    a.reply = EncodeSettingReply(ReplyClientId(request.clientId), Id());
    return a;
}

void Device::SetLan1(const std::string& address, const std::string& netmask, const std::string& gateway,
                     const std::string& dhcpFlag)
{
    if (!portTable_)
        return;
    PortFields lan1 = portTable_->Port(0);
    lan1.address = address;
    lan1.netmask = netmask;
    lan1.gateway = gateway;
    lan1.dhcpFlag = dhcpFlag;
    portTable_->SetPort(0, lan1);
}

bool Device::ApplySetting(const Request& request, std::string* effect)
{
    switch (request.subcode) {
    case kSetAddress: {
        const std::string text = TextUpToZero(request.data);
        auto address = ParseIpv4(text);
        if (!address) {
            *effect = "refuses address \"" + Printable(request.data) + "\"";
            return false;
        }
        address_ = *address;
        netmask_ = request.netmask;
        gateway_ = request.gateway;
        dhcpFlag_ = '0';
        SetLan1(AddressText(), netmask_, gateway_, "0");
        *effect = "address " + AddressText() + " netmask " + netmask_ + " gateway " + gateway_;
        return true;
    }
    case kSetDhcpClient: {
        if (request.data.size() == kPortTableSize)
            portTable_.emplace(request.data.data());
        address_ = config_.dhcpAddress.value_or(address_);
        dhcpFlag_ = '1';
        SetLan1(AddressText(), netmask_, gateway_, "1");
        *effect = "DHCP client, address " + AddressText();
        return true;
    }
    case kSetPortTable: {
        if (request.data.size() != kPortTableSize) {
            *effect = "refuses a port table of " + std::to_string(request.data.size()) + " bytes";
            return false;
        }
        portTable_.emplace(request.data.data());
        const PortFields lan1 = portTable_->Port(0);
        auto address = ParseIpv4(lan1.address);
        if (address)
            address_ = *address;
        netmask_ = lan1.netmask;
        gateway_ = lan1.gateway;
        if (!lan1.dhcpFlag.empty())
            dhcpFlag_ = static_cast<uint8_t>(lan1.dhcpFlag[0]);
        *effect = "port table " + portTable_->Value();
        if (!address)
            *effect += " (LAN1 address unusable, keeps " + AddressText() + ")";
        return true;
    }
    case kSetCodepage:
        values_[kCodepage] = ToBytes(TextUpToZero(request.data));
        *effect = "codepage " + Printable(request.data);
        return true;
    default:
        // Access mode, stop, add-on notices and anything newer are acknowledged as received.
        *effect = "setting " + std::to_string(request.subcode) + " \"" + Printable(request.data) + "\"";
        return true;
    }
}

}  // namespace devsim
