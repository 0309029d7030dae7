// kavronctl's text rules, without a network: escaped fields out, addresses and ports in.
#include <gtest/gtest.h>

#include <string.h>

#include "address.h"
#include "output.h"
#include "port_argument.h"

namespace {

TEST(KavronctlText, ControlBytesAndBackslashAreEscapedOtherBytesKept)
{
    EXPECT_EQ(EscapeField("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(EscapeField("\x01\x1f\x7f"), "\\x01\\x1f\\x7f");
    // A literal backslash-n in a name stays distinguishable from an escaped newline.
    EXPECT_EQ(EscapeField("\\n"), "\\\\n");
    EXPECT_EQ(EscapeField("B\xc3\xbcro \xff ~"), "B\xc3\xbcro \xff ~");
    EXPECT_EQ(EscapeField(""), "");

    DeviceRecord device;
    memset(&device, 0, sizeof device);
    strcpy(device.name, "Two\tcolumns\nand a line");
    strcpy(device.address, "198.51.100.20");
    strcpy(device.model, "ZKM\x1b[2J");
    device.interfaceIndex = 1;
    EXPECT_EQ(DeviceLine(device), "Two\\tcolumns\\nand a line\t198.51.100.20\t\t\t\tZKM\\x1b[2J\t1");
}

TEST(KavronctlText, OnlyCanonicalDottedDecimalNamesADevice)
{
    for (const char* good : {"198.51.100.20", "0.0.0.0", "255.255.255.255", "10.0.100.9"})
        EXPECT_TRUE(IsCanonicalAddress(good)) << good;
    for (const char* bad : {"01.2.3.4", "1.2.3.00", "1.2.3", "1.2.3.4.5", "1..3.4", ".1.2.3", "1.2.3.4.", "256.1.1.1",
                            "1.2.3.1000", "+1.2.3.4", "-1.2.3.4", " 1.2.3.4", "1.2.3.4 ", "1.2. 3.4", "0x1.2.3.4", ""})
        EXPECT_FALSE(IsCanonicalAddress(bad)) << bad;
}

TEST(KavronctlText, PortIsDhcpOrAddressNetmaskAndAnOptionalGateway)
{
    PortArgument port;
    std::string error;
    ASSERT_TRUE(ParsePortArgument("dhcp", &port, &error));
    EXPECT_TRUE(port.given);
    EXPECT_TRUE(port.dhcp);

    ASSERT_TRUE(ParsePortArgument("203.0.113.21/255.255.255.0", &port, &error));
    EXPECT_FALSE(port.dhcp);
    EXPECT_FALSE(port.ip.blank);
    EXPECT_EQ(port.ip.octets[3], 21);
    EXPECT_EQ(port.netmask.octets[2], 255);
    EXPECT_TRUE(port.gateway.blank);
    ASSERT_TRUE(ParsePortArgument("203.0.113.21/255.255.255.0/203.0.113.1", &port, &error));
    EXPECT_FALSE(port.gateway.blank);
    EXPECT_EQ(port.gateway.octets[3], 1);

    for (const char* bad : {"DHCP", "", "203.0.113.21", "203.0.113.21/", "203.0.113.21/24", "1.2.3.4/1.2.3.4/1.2.3.4/1",
                            "203.0.113.021/255.255.255.0", "203.0.113.21/255.255.255.0/"}) {
        PortArgument untouched;
        EXPECT_FALSE(ParsePortArgument(bad, &untouched, &error)) << bad;
        EXPECT_FALSE(untouched.given) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
