// Volume splitting, the port-configuration parse and the web pages' address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_bytes.h"

namespace {

std::vector<std::string> Names(const VolumeList& list)
{
    std::vector<std::string> names;
    int walked = 0;
    for (const VolumeEntry* entry = list.head; entry != nullptr; entry = entry->next, ++walked) {
        names.push_back(entry->name);
        if (entry->next == nullptr) {
            EXPECT_EQ(entry, list.tail);
        }
    }
    EXPECT_EQ(walked, list.count);
    return names;
}

struct Volumes : ::testing::Test {
    VolumeList list{};
    ~Volumes() override { ClearVolumes(&list); }
};

TEST_F(Volumes, SplitDropsEmptyPiecesAndRepeats)
{
    EXPECT_EQ(SplitVolumeNames(":HDD_1::USB1:HDD_1:", &list), 2);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"HDD_1", "USB1"}));

    // Repeats are judged against what is already in the list.
    EXPECT_EQ(SplitVolumeNames("USB2:USB1", &list), 1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"HDD_1", "USB1", "USB2"}));

    ClearVolumes(&list);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(SplitVolumeNames("", &list), 0);
    EXPECT_EQ(SplitVolumeNames(":::", &list), 0);
    EXPECT_TRUE(Names(list).empty());
}

TEST_F(Volumes, NamesAreCutTo255BytesAndKeptAsUtf8)
{
    std::string longName(300, 'a');
    // Two names equal in their first 255 bytes give one entry.
    SplitVolumeNames((longName + ":" + longName + "b:\xe6\x97\xa5\xe6\x9c\xac").c_str(), &list);
    std::vector<std::string> names = Names(list);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], std::string(255, 'a'));
    EXPECT_EQ(names[1], "\xe6\x97\xa5\xe6\x9c\xac");
}

PortConfigTable Filled()
{
    PortConfigTable table;
    memset(&table, 0, sizeof table);
    CopyTextTo(table.lan2.portName, "old");
    CopyTextTo(table.lan2.address, "10.9.9.9");
    return table;
}

void ExpectPort(const PortConfig& port, const char* name, const char* address, const char* netmask, const char* gateway,
                const char* dhcp)
{
    EXPECT_STREQ(port.portName, name);
    EXPECT_STREQ(port.address, address);
    EXPECT_STREQ(port.netmask, netmask);
    EXPECT_STREQ(port.gateway, gateway);
    EXPECT_STREQ(port.dhcpFlag, dhcp);
}

TEST(PortConfigParse, TwoPortsWithAnEmptyGateway)
{
    PortConfigTable table = Filled();
    ParsePortConfig("LAN1:198.51.100.20:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.20:255.255.255.0::1", &table);
    ExpectPort(table.lan1, "LAN1", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0");
    ExpectPort(table.lan2, "LAN2", "203.0.113.20", "255.255.255.0", "", "1");
}

TEST(PortConfigParse, EmptyFieldsReadAsNullExceptTheGateway)
{
    PortConfigTable table = Filled();
    ParsePortConfig("LAN1::255.0.0.0::1:LAN2::::", &table);
    ExpectPort(table.lan1, "LAN1", "NULL", "255.0.0.0", "", "1");
    // Three colons in a row give "NULL" twice; a trailing colon is not marked.
    ExpectPort(table.lan2, "LAN2", "NULL", "NULL", "", "");

    // Missing pieces leave their fields empty.
    table = Filled();
    ParsePortConfig("LAN1:198.51.100.20", &table);
    ExpectPort(table.lan1, "LAN1", "198.51.100.20", "", "", "");
    ExpectPort(table.lan2, "", "", "", "", "");
}

TEST(PortConfigParse, WithoutLan1OnlyTheFirstRecordChanges)
{
    PortConfigTable table = Filled();
    ParsePortConfig("ETH0:1.2.3.4:255.0.0.0:1.2.3.1:0:LAN2:5.6.7.8:255.0.0.0:5.6.7.1:0", &table);
    ExpectPort(table.lan1, "ETH0", "1.2.3.4", "255.0.0.0", "1.2.3.1", "0");
    ExpectPort(table.lan2, "old", "10.9.9.9", "", "", "");

    // A leading separator makes the first piece empty: not LAN1 either.
    table = Filled();
    ParsePortConfig(":LAN1:1.2.3.4", &table);
    ExpectPort(table.lan1, "", "LAN1", "1.2.3.4", "", "");
    EXPECT_STREQ(table.lan2.portName, "old");

    table = Filled();
    ParsePortConfig("", &table);
    ExpectPort(table.lan1, "", "", "", "", "");
    EXPECT_STREQ(table.lan2.portName, "old");
}

TEST(PortConfigParse, PiecesAreCutToTheirFields)
{
    PortConfigTable table = Filled();
    ParsePortConfig("LAN1xxxxxxxxx:1234567890123456789:abcdefghijklmnopq:ABCDEFGHIJKLMNOPQ:10", &table);
    ExpectPort(table.lan1, "LAN1xxxxx", "123456789012345", "abcdefghijklmno", "ABCDEFGHIJKLMNO", "1");
    // The cut name is no longer "LAN1": the second record is left alone.
    EXPECT_STREQ(table.lan2.portName, "old");

    // Pieces after the tenth are ignored, and do not leak into the tenth.
    ParsePortConfig("LAN1:a:b:c:0:LAN2:d:e:f:1:extra:more", &table);
    ExpectPort(table.lan2, "LAN2", "d", "e", "f", "1");
}

TEST(PortConfigParse, MarkingNeverOverrunsTheWorkingText)
{
    // 511 characters of separators would need far more room once every gap is
    // marked; the working text is cut instead of overrun.
    std::string colons(600, ':');
    PortConfigTable table = Filled();
    ParsePortConfig(colons.c_str(), &table);
    ExpectPort(table.lan1, "", "NULL", "NULL", "", "N");

    // A long value whose marks push its tail past the working text.
    std::string value = "LAN1:" + std::string(490, 'x') + "::::::1";
    ParsePortConfig(value.c_str(), &table);
    EXPECT_STREQ(table.lan1.portName, "LAN1");
    EXPECT_EQ(std::string(table.lan1.address), std::string(15, 'x'));
    EXPECT_STREQ(table.lan1.netmask, "NULL");
    EXPECT_STREQ(table.lan1.gateway, "");
    EXPECT_STREQ(table.lan1.dhcpFlag, "N");
}

}  // namespace

TEST(DeviceUrl, SchemeFollowsTheSslValue)
{
    EXPECT_EQ("https://198.51.100.20", DeviceUrl("198.51.100.20", "1"));
    EXPECT_EQ("https://198.51.100.20", DeviceUrl("198.51.100.20", "ssl=01"));
    EXPECT_EQ("http://198.51.100.20", DeviceUrl("198.51.100.20", "0"));
    EXPECT_EQ("http://198.51.100.20", DeviceUrl("198.51.100.20", ""));
}
