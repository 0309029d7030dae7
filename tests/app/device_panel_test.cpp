// The device panel alone on the main window's template: the rows a discovery's
// records make, which device a click or a selection reads (and what its record adds),
// and how long a click counts as a selection.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/device_panel.h"
#include "main_window_fixture.h"

namespace {

class DevicePanelTest : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        panel_.Bind(window_);
    }
    DevicePanel panel_;
};

TEST_F(DevicePanelTest, RowsComeFromTheRecordsAndAFillEndsTheSelection)
{
    AddDeviceRecord("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    AddDeviceRecord("Vault", "203.0.113.40", "255.255.255.0", "", "1", "");
    panel_.ShowDevices();
    ASSERT_EQ(2, Devices().GetItemCount());
    EXPECT_EQ("Office", Devices().GetItemText(0, 0));
    EXPECT_EQ("198.51.100.1", Devices().GetItemText(0, 3));
    EXPECT_EQ("203.0.113.40", Devices().GetItemText(1, 1));
    EXPECT_FALSE(panel_.ListClicked());

    Select(0);
    const SelectedDevice office = panel_.OnClick();
    EXPECT_EQ(Item(IDC_DEVICE_LIST), GetFocus());
    EXPECT_TRUE(panel_.ListClicked());
    EXPECT_EQ("Office", office.name);
    EXPECT_EQ("198.51.100.20", office.address);
    EXPECT_EQ("255.255.255.0", office.netmask);
    EXPECT_EQ("198.51.100.1", office.gateway);
    EXPECT_EQ("ZKM-150", office.model);
    EXPECT_EQ("0", office.dhcpFlag);
    EXPECT_EQ("ZKM-150", panel_.SelectedModel());

    // A click below the rows counts as a selection of nothing: no model.
    Devices().SetItemState(0, 0, LVIS_SELECTED);
    EXPECT_EQ("", panel_.OnClick().address);
    EXPECT_TRUE(panel_.ListClicked());
    EXPECT_EQ("", panel_.SelectedModel());
    EXPECT_FALSE(panel_.Selection().has_value());

    panel_.Clear();
    panel_.ShowDevices();
    EXPECT_EQ(2, Devices().GetItemCount());
    EXPECT_FALSE(panel_.ListClicked()) << "a refreshed list holds no selection";
}

TEST_F(DevicePanelTest, ASelectedRowScrolledAboveTheTopOrWithoutItsRecordReadsAsSuch)
{
    for (int i = 0; i < 12; ++i) {
        const std::string address = "198.51.100." + std::to_string(20 + i);
        AddRow(("Device " + std::to_string(i)).c_str(), address.c_str(), "255.255.255.0", "198.51.100.1", "1",
               "ZKM-150");
    }
    Select(0);
    Devices().EnsureVisible(11);
    ASSERT_GT(Devices().GetTopIndex(), 0);
    const SelectedDevice hidden = panel_.OnClick();
    EXPECT_TRUE(panel_.ListClicked());
    EXPECT_EQ("", hidden.address);
    EXPECT_EQ("", hidden.name);
    EXPECT_EQ("", hidden.gateway);
    EXPECT_FALSE(panel_.Selection().has_value());

    // With the selected row in sight, the same click reads it.
    Devices().EnsureVisible(0);
    EXPECT_EQ("198.51.100.20", panel_.OnClick().address);
    ASSERT_TRUE(panel_.Selection().has_value());
    EXPECT_EQ("Device 0", panel_.Selection()->name);

    // A row whose device has gone from the records keeps its texts, without a model
    // or a DHCP flag: a single-port device with a fixed address.
    ClearDevices();
    const SelectedDevice gone = panel_.OnClick();
    EXPECT_EQ("198.51.100.20", gone.address);
    EXPECT_EQ("", gone.model);
    EXPECT_EQ("", gone.dhcpFlag);
    EXPECT_EQ("", panel_.SelectedModel());
}

}  // namespace
