// Process-wide records: the interface table, the ClientId, the device list, the
// cadence figures, and the bounded text helper they all rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_bytes.h"

namespace {

HostAddress Host(const char* text, const char* device = "", unsigned index = 0)
{
    HostAddress address;
    memset(&address, 0, sizeof address);
    CopyTextTo(address.text, text);
    CopyTextTo(address.deviceName, device);
    address.deviceIndex = index;
    return address;
}

TEST(InterfaceTableFill, FirstEightInGivenOrderNoneFiltered)
{
    HostAddress hosts[9] = {Host("127.0.0.1", "lo", 1), Host("169.254.3.4"), Host("198.51.100.1", "lan0", 7)};
    for (int i = 3; i < 9; ++i)
        hosts[i] = Host(("203.0.113." + std::to_string(i)).c_str());
    InterfaceTable table;
    memset(&table, 0x5a, sizeof table);
    EXPECT_EQ(FillInterfaceTable(&table, hosts, 9), 8);
    EXPECT_EQ(table.interfaceCount, 8);
    EXPECT_STREQ(table.entries[0].addressText, "127.0.0.1");
    EXPECT_STREQ(table.entries[1].addressText, "169.254.3.4");
    EXPECT_STREQ(table.entries[2].deviceName, "lan0");
    EXPECT_EQ(table.entries[2].deviceIndex, 7u);
    EXPECT_STREQ(table.entries[7].addressText, "203.0.113.7");
    for (const InterfaceEntry& entry : table.entries) {
        EXPECT_EQ(entry.sendSocket, kNoSocket);
        EXPECT_EQ(entry.receiveSocket, kNoSocket);
    }

    EXPECT_EQ(FillInterfaceTable(&table, hosts, 0), 0);
    EXPECT_STREQ(table.entries[0].addressText, "");
}

InterfaceAddress Listed(const char* text, unsigned index, bool up = true, bool loopback = false)
{
    InterfaceAddress listed;
    listed.address = Host(text, ("if" + std::to_string(index)).c_str(), index);
    listed.up = up;
    listed.loopback = loopback;
    return listed;
}

std::vector<std::string> Chosen(const std::vector<InterfaceAddress>& listed, int capacity = kMaxInterfaces)
{
    HostAddress chosen[kMaxInterfaces];
    int count = ChooseHostAddresses(listed.data(), static_cast<int>(listed.size()), chosen, capacity);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::string(chosen[i].text) + "@" + chosen[i].deviceName);
    return texts;
}

TEST(HostAddressChoice, UpInterfacesInIndexOrderLoopbackOnlyWhenNothingElse)
{
    EXPECT_EQ(Chosen({Listed("127.0.0.1", 1, true, true), Listed("203.0.113.1", 4), Listed("192.0.2.7", 2, false),
                      Listed("198.51.100.1", 3), Listed("198.51.100.9", 3)}),
              (std::vector<std::string>{"198.51.100.1@if3", "198.51.100.9@if3", "203.0.113.1@if4"}));

    // Ten interfaces listed highest index first: the eight lowest, in index order.
    std::vector<InterfaceAddress> many;
    for (unsigned index = 12; index >= 3; --index)
        many.push_back(Listed(("198.51.100." + std::to_string(index)).c_str(), index));
    std::vector<std::string> first8 = Chosen(many);
    ASSERT_EQ(first8.size(), 8u);
    EXPECT_EQ(first8.front(), "198.51.100.3@if3");
    EXPECT_EQ(first8.back(), "198.51.100.10@if10");
    EXPECT_EQ(Chosen(many, 2), (std::vector<std::string>{"198.51.100.3@if3", "198.51.100.4@if4"}));

    EXPECT_EQ(Chosen({Listed("198.51.100.1", 2, false), Listed("127.0.0.1", 1, true, true)}),
              (std::vector<std::string>{"127.0.0.1@if1"}));
    EXPECT_TRUE(Chosen({Listed("198.51.100.1", 2, false), Listed("127.0.0.1", 1, false, true)}).empty());
    EXPECT_TRUE(Chosen({}).empty());
}

TEST(ClientIdMaking, SixDrawnBytesThenFourZerosSameWithinASecond)
{
    unsigned char first[kClientIdSize], second[kClientIdSize];
    memset(first, 0xff, sizeof first);
    time_t before = time(nullptr);
    MakeClientId(first);
    MakeClientId(second);
    time_t after = time(nullptr);
    EXPECT_EQ(first[6] | first[7] | first[8] | first[9], 0);
    // Seeded with the time in seconds: two instances started in the same second
    // draw the same identity.
    if (before == after) {
        EXPECT_EQ(memcmp(first, second, kClientIdSize), 0);
    }
}

DeviceRecord Record(const char* address, const char* name)
{
    DeviceRecord record;
    memset(&record, 0, sizeof record);
    CopyTextTo(record.address, address);
    CopyTextTo(record.name, name);
    return record;
}

TEST(DeviceListRecords, UniqueByAddressInArrivalOrder)
{
    ClearDevices();
    ASSERT_NE(AddDevice(Record("198.51.100.20", "first")), nullptr);
    ASSERT_NE(AddDevice(Record("198.51.100.21", "second")), nullptr);
    EXPECT_EQ(AddDevice(Record("198.51.100.20", "again")), nullptr);
    ASSERT_NE(AddDevice(Record("198.51.100.2", "prefix")), nullptr);  // not a prefix match
    EXPECT_EQ(deviceList.count, 3);
    EXPECT_STREQ(deviceList.head->name, "first");
    EXPECT_STREQ(deviceList.head->next->name, "second");
    EXPECT_STREQ(deviceList.tail->name, "prefix");

    CopyTextTo(protocolSession.selectedAddress, "198.51.100.21");
    ASSERT_NE(FindSelectedDevice(), nullptr);
    EXPECT_STREQ(FindSelectedDevice()->name, "second");
    CopyTextTo(protocolSession.selectedAddress, "198.51.100.2 ");
    EXPECT_EQ(FindSelectedDevice(), nullptr);

    ClearDevices();
    EXPECT_EQ(deviceList.count, 0);
    EXPECT_EQ(deviceList.head, nullptr);
    EXPECT_EQ(deviceList.tail, nullptr);
    ClearDevices();  // harmless on an empty list
}

TEST(Cadence, WorstCasesOfTheWaits)
{
    EXPECT_EQ(NominalWaitMs(kAttemptsShort), 1110);
    EXPECT_EQ(NominalWaitMs(kAttemptsQuery), 2210);
    EXPECT_EQ(NominalWaitMs(kAttemptsDhcp), 11010);
    EXPECT_EQ(NominalWaitMs(kAttemptsAddress), 33010);
    EXPECT_EQ(NominalDrainMs(kDrainAttempts), 110);
    EXPECT_EQ(NominalDiscoveryMs(), 990);
    EXPECT_EQ(WaitCapMs(kAttemptsQuery), 3210);
    EXPECT_EQ(DiscoveryCapMs(), 1990);
}

TEST(TextCopy, BoundedAndAlwaysTerminated)
{
    char field[8];
    memset(field, 'z', sizeof field);
    EXPECT_EQ(CopyTextTo(field, "0123456789"), 7u);
    EXPECT_STREQ(field, "0123456");
    EXPECT_EQ(CopyTextTo(field, nullptr), 0u);
    EXPECT_STREQ(field, "");
    EXPECT_EQ(CopyTextN(field, sizeof field, "abcdef", 3), 3u);
    EXPECT_STREQ(field, "abc");
    EXPECT_EQ(CopyText(field, 0, "abc"), 0u);  // no room at all: nothing written
    EXPECT_STREQ(field, "abc");
}

}  // namespace
