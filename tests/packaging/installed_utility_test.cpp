// The utility as the installer left it, started from its installed path in the lab:
// its window comes up and lists the simulated devices (tests/e2e/devices.json).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "utility_driver.h"
#include "winauto.h"

namespace {

TEST(InstalledUtility, StartsAndListsTheDevices)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window) << "no main window from " << utilityPath;
    std::vector<std::string> names;
    // The first discovery fills the list shortly after the window appears.
    WaitFor([&] { return winauto::ReadListView(utility.Item(IDC_DEVICE_LIST)).size() >= 3; });
    for (const auto& row : winauto::ReadListView(utility.Item(IDC_DEVICE_LIST)))
        names.push_back(row.cells.at(0));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Backup Vault", "Living Room Media", "Office Storage"}), names);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
