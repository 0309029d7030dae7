// kavronctl's text rules, without a network: escaped fields out, addresses in.
#include <gtest/gtest.h>

#include <string.h>

#include "address.h"
#include "output.h"

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

}  // namespace
