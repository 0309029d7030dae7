// The socket layer for the whole of a test program that runs in a lab: started once
// before the first case, stopped after the last with the process-wide records emptied.
#pragma once

#include <gtest/gtest.h>

#include "protocol.h"

class NetworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(StartNetwork(), 1); }
    void TearDown() override
    {
        ClearDevices();
        ClearVolumes(&volumeList);
        StopNetwork();
    }
};
