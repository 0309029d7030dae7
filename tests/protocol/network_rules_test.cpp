// The rules a static configuration must pass: each refusal with its caption, icon and
// focus, the order of the steps, the pending texts they record, the mask and the
// consistency rules, and how a port's settings are written.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "test_bytes.h"

namespace {

using Icon = SettingsCheck::Icon;

AddressInput In(int o0, int o1, int o2, int o3)
{
    return AddressInput{false, {o0, o1, o2, o3}};
}

// Octets that no rule may read: a blank field counts as 0.0.0.0.
AddressInput Blank()
{
    return AddressInput{true, {198, 51, 100, 1}};
}

// The first port holds texts no field could produce, so that pending texts are seen
// to come from the port; the pending fields hold texts no step writes.
ProtocolSession Session()
{
    ProtocolSession session;
    memset(&session, 0, sizeof session);
    CopyTextTo(session.portConfig.lan1.address, "port-address");
    CopyTextTo(session.portConfig.lan1.netmask, "port-netmask");
    CopyTextTo(session.portConfig.lan1.gateway, "port-gateway");
    CopyTextTo(session.pendingAddress, "old-address");
    CopyTextTo(session.pendingNetmask, "old-netmask");
    CopyTextTo(session.pendingGateway, "old-gateway");
    return session;
}

const AddressInput kIp = In(198, 51, 100, 20);
const AddressInput kMask = In(255, 255, 255, 0);
const AddressInput kGateway = In(198, 51, 100, 1);

const char kBlankIp[] = "Please input IP address!";
const char kBlankMask[] = "Please input net mask address!";
const char kLoopback[] = "IP address input error. Please try again.";
const char kBadMask[] = "Netmask address input invalid. Please try again.";
const char kInconsistent[] = "You enter incorrect TCP/IP configuration. Please try again.";

struct Refusal {
    const char* message;
    const char* caption;
    Icon icon;
    int field;
    int octet;
};

Refusal Warning(const char* message)
{
    return {message, "Warning", SettingsCheck::kExclamation, -1, -1};
}
Refusal Stop(const char* message)
{
    return {message, "Error", SettingsCheck::kStop, -1, -1};
}
Refusal Octet(const char* message, AddressField field, int octet)
{
    return {message, "Error", SettingsCheck::kInformation, static_cast<int>(field), octet};
}

TEST(NetworkSettingsCheck, EveryRefusalInTheOrderOfTheSteps)
{
    const AddressField ip = AddressField::kIp, mask = AddressField::kNetmask, gw = AddressField::kGateway;
    const struct {
        const char* name;
        AddressInput ip, mask, gateway;
        Refusal refusal;
    } cases[] = {
        {"blank address", Blank(), kMask, kGateway, Warning(kBlankIp)},
        {"blank address before blank netmask", Blank(), Blank(), Blank(), Warning(kBlankIp)},
        {"blank netmask", kIp, Blank(), kGateway, Warning(kBlankMask)},
        {"blank netmask before 127", In(127, 0, 0, 1), Blank(), kGateway, Warning(kBlankMask)},
        {"127 before the octet rules", In(127, 300, 0, 1), kMask, kGateway, Warning(kLoopback)},
        {"address 0.x", In(0, 1, 2, 3), kMask, kGateway,
         Octet("Invalid IP address in 1st digit. It should be 1-223.", ip, 0)},
        {"address 224.x", In(224, 0, 0, 1), kMask, kGateway,
         Octet("Invalid IP address in 1st digit. It should be 1-223.", ip, 0)},
        {"address 2nd", In(198, 256, 100, 20), kMask, kGateway,
         Octet("Invalid IP address in 2nd digit. It should be 0-255.", ip, 1)},
        {"address 3rd", In(198, 51, -1, 20), kMask, kGateway,
         Octet("Invalid IP address in 3rd digit. It should be 0-255.", ip, 2)},
        {"address 4th", In(198, 51, 100, 999), kMask, kGateway,
         Octet("Invalid IP address in 4th digit. It should be 0-255.", ip, 3)},
        {"address octets before netmask octets", In(0, 1, 2, 3), In(300, 0, 0, 0), kGateway,
         Octet("Invalid IP address in 1st digit. It should be 1-223.", ip, 0)},
        {"netmask 1st", kIp, In(256, 255, 255, 0), kGateway,
         Octet("Invalid subnet mask address in 1st digit. It should be 0-255.", mask, 0)},
        {"netmask 2nd", kIp, In(255, -1, 255, 0), kGateway,
         Octet("Invalid subnet mask address in 2nd digit. It should be 0-255.", mask, 1)},
        {"netmask 3rd", kIp, In(255, 255, 256, 0), kGateway,
         Octet("Invalid subnet mask address in 3rd digit. It should be 0-255.", mask, 2)},
        {"netmask 4th", kIp, In(255, 255, 255, 256), kGateway,
         Octet("Invalid subnet mask address in 4th digit. It should be 0-255.", mask, 3)},
        {"netmask octets before gateway octets", kIp, In(255, 255, 255, 256), In(0, 0, 0, 1),
         Octet("Invalid subnet mask address in 4th digit. It should be 0-255.", mask, 3)},
        {"gateway 0.x", kIp, kMask, In(0, 51, 100, 1),
         Octet("Invalid gateway IP address in 1st digit. It should be 1-223.", gw, 0)},
        {"gateway 224.x", kIp, kMask, In(224, 51, 100, 1),
         Octet("Invalid gateway IP address in 1st digit. It should be 1-223.", gw, 0)},
        {"gateway 2nd", kIp, kMask, In(198, 256, 100, 1),
         Octet("Invalid gateway IP address in 2nd digit. It should be 0-255.", gw, 1)},
        {"gateway 3rd", kIp, kMask, In(198, 51, 256, 1),
         Octet("Invalid gateway IP address in 3rd digit. It should be 0-255.", gw, 2)},
        {"gateway 4th", kIp, kMask, In(198, 51, 100, -5),
         Octet("Invalid gateway IP address in 4th digit. It should be 0-255.", gw, 3)},
        {"gateway octets before the mask rule", kIp, In(255, 0, 255, 0), In(0, 0, 0, 1),
         Octet("Invalid gateway IP address in 1st digit. It should be 1-223.", gw, 0)},
        {"mask with a hole", kIp, In(255, 0, 255, 0), kGateway, Stop(kBadMask)},
        {"mask 0.0.0.0", kIp, In(0, 0, 0, 0), kGateway, Stop(kBadMask)},
        {"mask rule before consistency", kIp, In(255, 0, 255, 0), In(203, 0, 113, 1), Stop(kBadMask)},
        {"gateway is the network", kIp, kMask, In(198, 51, 100, 0), Stop(kInconsistent)},
        {"gateway is the broadcast", kIp, kMask, In(198, 51, 100, 255), Stop(kInconsistent)},
        {"gateway outside the subnet", kIp, kMask, In(198, 51, 101, 1), Stop(kInconsistent)},
        {"blank gateway", kIp, kMask, Blank(), Stop(kInconsistent)},
        {"link-local 169.254 only", In(169, 253, 0, 9), In(255, 255, 0, 0), Blank(), Stop(kInconsistent)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProtocolSession session = Session();
        const SettingsCheck check = CheckAndRecordNetworkSettings(c.ip, c.mask, c.gateway, &session);
        ASSERT_FALSE(check.Accepted());
        EXPECT_STREQ(check.message, c.refusal.message);
        EXPECT_STREQ(check.caption, c.refusal.caption);
        EXPECT_EQ(check.icon, c.refusal.icon);
        EXPECT_EQ(check.field, c.refusal.field);
        EXPECT_EQ(check.octet, c.refusal.octet);
    }
}

TEST(NetworkSettingsCheck, PendingTextsComeFromTheFirstPortAsTheStepsPass)
{
    const struct {
        const char* name;
        AddressInput ip, mask, gateway;
        bool accepted;
        const char* address;
        const char* netmask;
        const char* gateway_;
    } cases[] = {
        {"refused at 127", In(127, 0, 0, 1), kMask, kGateway, false, "old-address", "old-netmask", "old-gateway"},
        {"refused at the address octets", In(0, 1, 2, 3), kMask, kGateway, false, "old-address", "old-netmask",
         "old-gateway"},
        {"refused at the netmask octets", kIp, In(256, 0, 0, 0), kGateway, false, "port-address", "old-netmask",
         "old-gateway"},
        {"refused at the gateway octets", kIp, kMask, In(0, 0, 0, 1), false, "port-address", "port-netmask",
         "old-gateway"},
        {"refused by the mask rule", kIp, In(255, 0, 255, 0), kGateway, false, "port-address", "port-netmask",
         "old-gateway"},
        {"refused as inconsistent", kIp, kMask, Blank(), false, "port-address", "port-netmask", "old-gateway"},
        {"accepted", kIp, kMask, kGateway, true, "port-address", "port-netmask", "port-gateway"},
        // 169.254: neither the gateway's octets nor its consistency are checked, and a
        // blank gateway is recorded as the empty text.
        {"link-local, blank gateway", In(169, 254, 7, 9), In(255, 255, 0, 0), Blank(), true, "port-address",
         "port-netmask", ""},
        {"link-local, gateway 0.0.0.0", In(169, 254, 7, 9), In(255, 255, 255, 255), In(0, 0, 0, 0), true,
         "port-address", "port-netmask", ""},
        {"link-local, gateway 0.x elsewhere", In(169, 254, 7, 9), In(255, 255, 0, 0), In(0, 113, 0, 1), true,
         "port-address", "port-netmask", "port-gateway"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProtocolSession session = Session();
        EXPECT_EQ(CheckAndRecordNetworkSettings(c.ip, c.mask, c.gateway, &session).Accepted(), c.accepted);
        EXPECT_STREQ(session.pendingAddress, c.address);
        EXPECT_STREQ(session.pendingNetmask, c.netmask);
        EXPECT_STREQ(session.pendingGateway, c.gateway_);
    }
}

TEST(NetworkSettingsCheck, BlankGatewayPassesItsOctetsWhateverTheyHold)
{
    EXPECT_TRUE(CheckOctets(AddressField::kGateway, Blank()).Accepted());
    EXPECT_TRUE(CheckOctets(AddressField::kGateway, AddressInput{true, {0, 999, -1, 300}}).Accepted());
    EXPECT_FALSE(CheckOctets(AddressField::kIp, Blank()).Accepted());  // only the gateway may be blank
}

uint32_t Bits(const int (&m)[4])
{
    return static_cast<uint32_t>(m[0]) << 24 | static_cast<uint32_t>(m[1]) << 16 | static_cast<uint32_t>(m[2]) << 8 |
           static_cast<uint32_t>(m[3]);
}

// A prefix mask of length 1 to 32: not zero, and its complement is all low bits.
bool IsPrefixMask(uint32_t bits)
{
    const uint32_t host = ~bits;
    return bits != 0 && (host & (host + 1)) == 0;
}

TEST(NetmaskRule, ExactlyThePrefixMasksOfLength1To32AreValid)
{
    int valid = 0;
    auto check = [&valid](int m0, int m1, int m2, int m3) {
        const int m[4] = {m0, m1, m2, m3};
        const bool invalid = IsNetmaskInvalid(m);
        EXPECT_EQ(invalid, !IsPrefixMask(Bits(m))) << m0 << "." << m1 << "." << m2 << "." << m3;
        valid += invalid ? 0 : 1;
    };
    // Every pair of high octets under a few low ones, and every pair of low octets
    // under a full high half: each prefix length appears once in these sweeps.
    const int lows[][2] = {{0, 0}, {255, 0}, {255, 255}, {0, 255}, {128, 0}, {255, 254}};
    for (int m0 = 0; m0 < 256; ++m0) {
        for (int m1 = 0; m1 < 256; ++m1) {
            for (const auto& low : lows)
                check(m0, m1, low[0], low[1]);
        }
    }
    for (int m2 = 0; m2 < 256; ++m2) {
        for (int m3 = 0; m3 < 256; ++m3)
            check(255, 255, m2, m3);
    }
    // The high sweep meets the lengths 1 to 16, 17, 24, 31 and 32; the low one 16 to 32.
    EXPECT_EQ(valid, 20 + 17);
}

TEST(ConsistencyRule, NetworkBroadcastAndOutsideForAnyMaskLinkLocalNever)
{
    const int a30[4] = {203, 0, 113, 5}, m30[4] = {255, 255, 255, 252};
    const int net30[4] = {203, 0, 113, 4}, bcast30[4] = {203, 0, 113, 7}, in30[4] = {203, 0, 113, 6},
              out30[4] = {203, 0, 113, 8};
    EXPECT_TRUE(IsConfigInconsistent(a30, m30, net30));
    EXPECT_TRUE(IsConfigInconsistent(a30, m30, bcast30));
    EXPECT_FALSE(IsConfigInconsistent(a30, m30, in30));
    EXPECT_TRUE(IsConfigInconsistent(a30, m30, out30));

    const int a20[4] = {198, 51, 100, 20}, m20[4] = {255, 255, 240, 0};
    const int net20[4] = {198, 51, 96, 0}, bcast20[4] = {198, 51, 111, 255}, in20[4] = {198, 51, 111, 254},
              out20[4] = {198, 51, 112, 1};
    EXPECT_TRUE(IsConfigInconsistent(a20, m20, net20));
    EXPECT_TRUE(IsConfigInconsistent(a20, m20, bcast20));
    EXPECT_FALSE(IsConfigInconsistent(a20, m20, in20));
    EXPECT_TRUE(IsConfigInconsistent(a20, m20, out20));

    const int linkLocal[4] = {169, 254, 3, 4}, m16[4] = {255, 255, 0, 0}, zero[4] = {0, 0, 0, 0},
              network[4] = {169, 254, 0, 0};
    EXPECT_FALSE(IsConfigInconsistent(linkLocal, m16, zero));
    EXPECT_FALSE(IsConfigInconsistent(linkLocal, m16, network));
    EXPECT_FALSE(IsConfigInconsistent(linkLocal, m16, out20));
}

TEST(PortSettings, FieldsAsDottedNumbersBlankAsZerosChoiceAsNumber)
{
    PortConfig port;
    memset(&port, 0, sizeof port);
    CopyTextTo(port.portName, "LAN2");
    StorePortSettings(In(203, 0, 113, 20), In(255, 255, 255, 0), Blank(), 0, &port);
    EXPECT_STREQ(port.portName, "LAN2");  // the name is not the panel's to write
    EXPECT_STREQ(port.address, "203.0.113.20");
    EXPECT_STREQ(port.netmask, "255.255.255.0");
    EXPECT_STREQ(port.gateway, "0.0.0.0");
    EXPECT_STREQ(port.dhcpFlag, "0");

    StorePortSettings(Blank(), In(0, 0, 0, 0), In(198, 51, 100, 1), 1, &port);
    EXPECT_STREQ(port.address, "0.0.0.0");
    EXPECT_STREQ(port.netmask, "0.0.0.0");
    EXPECT_STREQ(port.gateway, "198.51.100.1");
    EXPECT_STREQ(port.dhcpFlag, "1");

    // No choice made (-1) and octets out of range: cut to the fields.
    StorePortSettings(In(1000, 1000, 1000, 1000), kMask, kGateway, -1, &port);
    EXPECT_STREQ(port.address, "1000.1000.1000.");
    EXPECT_STREQ(port.dhcpFlag, "-");
}

TEST(AddressText, FourNumbersUpTo255AndNothingElse)
{
    AddressInput input = Blank();
    ASSERT_TRUE(ParseAddressInput("203.0.113.255", &input));
    EXPECT_FALSE(input.blank);
    EXPECT_EQ(std::vector<int>(input.octets, input.octets + 4), (std::vector<int>{203, 0, 113, 255}));
    unsigned char bytes[4] = {9, 9, 9, 9};
    ASSERT_TRUE(ParseDottedOctets("0.0.0.0", bytes));
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0, 0, 0, 0}));

    for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4.", "1..3.4", "", " 1.2.3.4", "1.2.3.4 ", "1.2.3.0004",
                            "-1.2.3.4", "1.2.3.4\n"}) {
        AddressInput untouched = Blank();
        EXPECT_FALSE(ParseAddressInput(bad, &untouched)) << bad;
        EXPECT_TRUE(untouched.blank) << bad;
        EXPECT_EQ(untouched.octets[0], 198) << bad;
    }
    EXPECT_FALSE(ParseDottedOctets(nullptr, bytes));
    EXPECT_EQ(bytes[0], 0);
}

}  // namespace
