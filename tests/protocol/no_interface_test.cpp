// The socket layer on a host without a usable IPv4 interface (a lab whose client
// interfaces are all down).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "test_bytes.h"

namespace {

TEST(NoInterface, EmptyTableAndDiscoveryReturnsAtOnce)
{
    // Outside a lab the host's real interfaces would be used: refuse.
    ASSERT_NE(getenv("KAVRON_LAB_ID"), nullptr) << "run through lab/lab run --links-down";
    ASSERT_EQ(StartNetwork(), 1);
    ASSERT_EQ(interfaceTable.interfaceCount, 0);

    DeviceRecord stale;
    memset(&stale, 0, sizeof stale);
    CopyTextTo(stale.address, "198.51.100.20");
    ASSERT_NE(AddDevice(stale), nullptr);
    auto start = std::chrono::steady_clock::now();
    Discover(3, 3);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(deviceList.count, 0);
    EXPECT_EQ(deviceList.head, nullptr);
    EXPECT_LT(seconds, 0.2);  // one interface would take 0.99 s

    CopyTextTo(protocolSession.selectedAddress, "198.51.100.20");
    EXPECT_EQ(QuerySsl(), 0);
    StopNetwork();
}

}  // namespace
