// The socket layer on this host's real interfaces (run inside a lab namespace only).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "test_bytes.h"

namespace {

std::vector<std::string> TableAddresses()
{
    std::vector<std::string> addresses;
    for (int i = 0; i < interfaceTable.interfaceCount; ++i)
        addresses.push_back(interfaceTable.entries[i].addressText);
    return addresses;
}

TEST(Network, StartsOnTheHostAddressesAndStopsOnce)
{
    ASSERT_EQ(StartNetwork(), 1);
    ASSERT_TRUE(interfaceTable.open);
    // The lab's two client interfaces; loopback is up but takes no entry.
    std::vector<std::string> addresses = TableAddresses();
#ifdef _WIN32
    // In the resolver's order.
    EXPECT_EQ(std::set<std::string>(addresses.begin(), addresses.end()),
              (std::set<std::string>{"198.51.100.1", "203.0.113.1"}));
#else
    // In interface order.
    EXPECT_EQ(addresses, (std::vector<std::string>{"198.51.100.1", "203.0.113.1"}));
#endif
    for (int i = 0; i < interfaceTable.interfaceCount; ++i) {
        EXPECT_NE(interfaceTable.entries[i].sendSocket, kNoSocket);
        EXPECT_NE(interfaceTable.entries[i].receiveSocket, kNoSocket);
    }
    EXPECT_EQ(clientId[6] | clientId[7] | clientId[8] | clientId[9], 0);

    StopNetwork();
    EXPECT_FALSE(interfaceTable.open);
    EXPECT_EQ(interfaceTable.entries[0].receiveSocket, kNoSocket);
    StopNetwork();  // the second call does nothing
    EXPECT_FALSE(interfaceTable.open);

    // Exchanges on a closed table fail at once instead of touching closed sockets.
    ReplyBuffer reply{};
    EXPECT_EQ(AwaitReply(0, kOpQueryReply, nullptr, kAttemptsAddress, &reply), 0);

    ASSERT_EQ(StartNetwork(), 1);
    StopNetwork();
}

TEST(Network, QueriesWithoutASelectedDeviceSendNothingAndClearTheirValue)
{
    ASSERT_EQ(StartNetwork(), 1);
    ClearDevices();
    CopyTextTo(protocolSession.selectedAddress, "198.51.100.20");
    CopyTextTo(protocolSession.sslValue, "1");
    CopyTextTo(protocolSession.domainValue, "WORKGROUP");
    CopyTextTo(protocolSession.portConfig.lan1.portName, "LAN1");
    SplitVolumeNames("HDD_1", &volumeList);

    EXPECT_EQ(QuerySsl(), 0);
    EXPECT_STREQ(protocolSession.sslValue, "");
    EXPECT_EQ(QueryDomain(), 0);
    EXPECT_STREQ(protocolSession.domainValue, "");
    EXPECT_EQ(QueryVolumes(), 0);
    EXPECT_EQ(volumeList.count, 0);
    EXPECT_EQ(QueryPortConfig(), 0);
    EXPECT_STREQ(protocolSession.portConfig.lan1.portName, "LAN1");
    StopNetwork();
}

}  // namespace
