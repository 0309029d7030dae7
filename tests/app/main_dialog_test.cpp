// The main window in-process, with the network closed: the cases that are cheaper to
// set up from inside than through the simulator (rows without a record, a click that
// hits no row, the two-port box logic from a known port table, the DHCP flag, the
// gateway rules, volume names and their drive letters).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/drive_table.h"
#include "app/list_view.h"
#include "app/main_dialog.h"
#include "protocol.h"
#include "resource.h"

namespace {

std::map<char, std::string> connections;

DWORD FakeConnection(const char* local, char* remote, DWORD* length)
{
    auto it = connections.find(local[0]);
    if (it == connections.end())
        return ERROR_NOT_CONNECTED;
    lstrcpynA(remote, it->second.c_str(), static_cast<int>(*length));
    return NO_ERROR;
}
UINT FakeDriveType(const char* root)
{
    return connections.count(root[0]) ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
}

void AppendVolume(const char* name)
{
    auto* entry = new VolumeEntry{};
    CopyTextTo(entry->name, name);
    if (volumeList.tail)
        volumeList.tail->next = entry;
    else
        volumeList.head = entry;
    volumeList.tail = entry;
    ++volumeList.count;
}

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        connections.clear();
        previousDrives_ = SetDriveSystem({FakeConnection, FakeDriveType});
        std::memset(&protocolSession, 0, sizeof(protocolSession));
        ASSERT_NE(nullptr, dialog_.CreateModeless(nullptr));
    }
    void TearDown() override
    {
        DestroyWindow(dialog_.hwnd);
        ClearDevices();
        SetDriveSystem(previousDrives_);
    }

    HWND Item(int id) const { return dialog_.GetItem(id); }

    // A record and its row, as a discovery and RefreshDevices would have made them.
    void AddRow(const char* name, const char* address, const char* netmask, const char* gateway, const char* dhcp,
                const char* model)
    {
        DeviceRecord record{};
        CopyTextTo(record.name, name);
        CopyTextTo(record.address, address);
        CopyTextTo(record.netmask, netmask);
        CopyTextTo(record.gateway, gateway);
        CopyTextTo(record.dhcpFlag, dhcp);
        CopyTextTo(record.model, model);
        AddDevice(record);
        HWND list = Item(IDC_DEVICE_LIST);
        const int row = InsertListRow(list, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)), "");
        SetListItemText(list, row, 0, name);
        SetListItemText(list, row, 1, address);
        SetListItemText(list, row, 2, netmask);
        SetListItemText(list, row, 3, gateway);
    }
    void Select(int row)
    {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(Item(IDC_DEVICE_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    }
    std::string Address(int id) const
    {
        if (SendMessageA(Item(id), IPM_ISBLANK, 0, 0))
            return "blank";
        DWORD value = 0;
        SendMessageA(Item(id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
        return std::to_string(FIRST_IPADDRESS(value)) + "." + std::to_string(SECOND_IPADDRESS(value)) + "." +
               std::to_string(THIRD_IPADDRESS(value)) + "." + std::to_string(FOURTH_IPADDRESS(value));
    }
    int DhcpChoice() const { return static_cast<int>(SendMessageA(Item(IDC_RECEIVE_DHCP), CB_GETCURSEL, 0, 0)); }
    std::vector<std::string> PortNames() const
    {
        std::vector<std::string> names;
        const int count = static_cast<int>(SendMessageA(Item(IDC_LAN_PORT), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[32] = {};
            SendMessageA(Item(IDC_LAN_PORT), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            names.emplace_back(text);
        }
        return names;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

    MainDialog dialog_;
    DriveSystem previousDrives_{};
};

TEST_F(MainDialogTest, StartsWithEmptyPanelsAndItsWindowParts)
{
    char title[64] = {};
    GetWindowTextA(dialog_.hwnd, title, sizeof(title));
    EXPECT_STREQ("Kavron Storage Utility", title);
    EXPECT_EQ(0, dialog_.deviceSelected);
    EXPECT_EQ(0, SendMessageA(Item(IDC_DEVICE_LIST), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("blank", Address(IDC_IP_ADDRESS));
    EXPECT_EQ(CB_ERR, DhcpChoice());
    EXPECT_EQ(2, SendMessageA(Item(IDC_RECEIVE_DHCP), CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(Enabled(IDC_LAN_PORT));
    for (int id : {IDC_LAN_PORT, IDC_WIDGET, IDC_BITTORRENT, IDC_LANGUAGE})
        EXPECT_FALSE(IsWindowVisible(Item(id)));

    // The region is in place from the start, cut from the client size.
    RECT client{};
    GetClientRect(dialog_.hwnd, &client);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(dialog_.hwnd, region));
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(client.right, box.right);
    EXPECT_EQ(client.bottom, box.bottom);
    EXPECT_FALSE(PtInRegion(region, 0, 4));
    DeleteObject(region);

    // A size change cuts a new region from the new size.
    SetWindowPos(dialog_.hwnd, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(dialog_.hwnd, region));
    GetRgnBox(region, &box);
    EXPECT_EQ(200, box.right);
    EXPECT_EQ(100, box.bottom);
    DeleteObject(region);

    // Columns as the panels need them.
    HWND devices = Item(IDC_DEVICE_LIST);
    const int widths[] = {94, 85, 85, 85};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(widths[c], SendMessageA(devices, LVM_GETCOLUMNWIDTH, c, 0)) << c;
    EXPECT_EQ(120, SendMessageA(Item(IDC_VOLUME_LIST), LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(111, SendMessageA(Item(IDC_VOLUME_LIST), LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_TRUE(SendMessageA(devices, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
}

TEST_F(MainDialogTest, BackgroundDragsTheWindowAndControlsKeepTheirClicks)
{
    RECT window{};
    GetWindowRect(dialog_.hwnd, &window);
    const LRESULT background =
        SendMessageA(dialog_.hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 200, window.top + 5));
    EXPECT_EQ(HTCAPTION, background);
    RECT list{};
    GetWindowRect(Item(IDC_DEVICE_LIST), &list);
    EXPECT_EQ(HTCLIENT,
              SendMessageA(Item(IDC_DEVICE_LIST), WM_NCHITTEST, 0, MAKELPARAM(list.left + 20, list.top + 30)));
}

TEST_F(MainDialogTest, ClickBelowTheRowsSelectsNothingAndEmptiesThePanel)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "1", "ZKM-150");
    CopyTextTo(dialog_.selectedModel, "ZKM-150");
    dialog_.SelectDevice();
    EXPECT_EQ(1, dialog_.deviceSelected);
    EXPECT_STREQ("", dialog_.selectedModel);
    EXPECT_STREQ("", selectedHost);
    EXPECT_STREQ("", protocolSession.selectedAddress);
    EXPECT_TRUE(PortNames().empty());
    EXPECT_FALSE(Enabled(IDC_LAN_PORT));
    EXPECT_EQ(0, DhcpChoice());  // "Disable"
    EXPECT_TRUE(Enabled(IDC_IP_ADDRESS));
    EXPECT_EQ("blank", Address(IDC_GATEWAY));
    EXPECT_EQ("blank", Address(IDC_IP_ADDRESS));
    EXPECT_STREQ("", protocolSession.portConfig.lan1.portName);
}

TEST_F(MainDialogTest, RowWhoseDeviceVanishedIsASinglePortFixedAddressDevice)
{
    AddRow("Gone", "198.51.100.44", "255.255.255.0", "198.51.100.1", "1", "ZKM-150");
    ClearDevices();
    Select(0);
    dialog_.SelectDevice();
    EXPECT_STREQ("", dialog_.selectedModel);
    EXPECT_STREQ("198.51.100.44", selectedHost);
    EXPECT_STREQ("198.51.100.44", protocolSession.selectedAddress);
    EXPECT_EQ(0, DhcpChoice());
    EXPECT_TRUE(PortNames().empty());
    const PortConfig& lan1 = protocolSession.portConfig.lan1;
    EXPECT_STREQ("", lan1.portName);
    EXPECT_STREQ("198.51.100.44", lan1.address);
    EXPECT_STREQ("255.255.255.0", lan1.netmask);
    EXPECT_STREQ("198.51.100.1", lan1.gateway);
    EXPECT_STREQ("", lan1.dhcpFlag);
    EXPECT_EQ("198.51.100.44", Address(IDC_IP_ADDRESS));
    EXPECT_EQ("198.51.100.1", Address(IDC_GATEWAY));
}

TEST_F(MainDialogTest, DhcpClientDisablesTheAddressFields)
{
    AddRow("Media", "198.51.100.31", "255.255.0.0", "", "1", "");
    Select(0);
    dialog_.SelectDevice();
    EXPECT_EQ(1, DhcpChoice());  // "Enable"
    EXPECT_FALSE(Enabled(IDC_IP_ADDRESS));
    EXPECT_FALSE(Enabled(IDC_NETMASK));
    EXPECT_FALSE(Enabled(IDC_GATEWAY));
    EXPECT_EQ("255.255.0.0", Address(IDC_NETMASK));
    EXPECT_EQ("blank", Address(IDC_GATEWAY));  // empty gateway text
    EXPECT_STREQ("1", protocolSession.portConfig.lan1.dhcpFlag);

    // Choosing "Disable" in the box enables them again; "Enable" disables them.
    SendMessageA(Item(IDC_RECEIVE_DHCP), CB_SETCURSEL, 0, 0);
    dialog_.OnDhcpChoice();
    EXPECT_TRUE(Enabled(IDC_IP_ADDRESS));
    SendMessageA(Item(IDC_RECEIVE_DHCP), CB_SETCURSEL, 1, 0);
    dialog_.OnDhcpChoice();
    EXPECT_FALSE(Enabled(IDC_GATEWAY));
}

TEST_F(MainDialogTest, ZeroGatewayIsShownBlank)
{
    AddRow("Vault", "203.0.113.40", "255.255.255.0", "0.0.0.0", "0", "");
    Select(0);
    dialog_.SelectDevice();
    EXPECT_EQ("blank", Address(IDC_GATEWAY));
    EXPECT_EQ("203.0.113.40", Address(IDC_IP_ADDRESS));
}

TEST_F(MainDialogTest, TwoPortDeviceOffersItsPortsAndPicksThePortItAnsweredOn)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    // The port query cannot be answered here (network closed): the table stays as set.
    PortConfigTable& ports = protocolSession.portConfig;
    CopyTextTo(ports.lan1.portName, "LAN1");
    CopyTextTo(ports.lan1.address, "198.51.100.20");
    CopyTextTo(ports.lan2.portName, "LAN2");
    CopyTextTo(ports.lan2.address, "203.0.113.20");
    Select(0);
    dialog_.SelectDevice();
    EXPECT_STREQ("ZKM-150", dialog_.selectedModel);
    EXPECT_EQ((std::vector<std::string>{"LAN1", "LAN2"}), PortNames());
    EXPECT_TRUE(Enabled(IDC_LAN_PORT));
    EXPECT_EQ(0, SendMessageA(Item(IDC_LAN_PORT), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, shownPortIndex);

    CopyTextTo(ports.lan1.address, "198.51.100.99");
    dialog_.SelectDevice();
    EXPECT_EQ(1, SendMessageA(Item(IDC_LAN_PORT), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, shownPortIndex);

    CopyTextTo(ports.lan1.portName, "LANX");
    dialog_.SelectDevice();
    EXPECT_EQ((std::vector<std::string>{"LANX"}), PortNames());
    EXPECT_EQ(0, shownPortIndex);
}

TEST_F(MainDialogTest, VolumeNamesAreConvertedAndNamedByTheirDriveLetter)
{
    connections = {{'X', "\\\\198.51.100.20\\B\xFCrodaten"}, {'W', "\\\\office\\hdd_1"}, {'Q', "\\\\office\\HDD_1"}};
    RefreshDriveTable();
    AppendVolume("HDD_1");
    AppendVolume("B\xC3\xBCrodaten");          // UTF-8 "Bürodaten"
    AppendVolume("\xE6\x97\xA5\xE6\x9C\xAC");  // not in the ANSI code page
    dialog_.ShowPortVolumes("198.51.100.20");
    HWND volumes = Item(IDC_VOLUME_LIST);
    ASSERT_EQ(3, SendMessageA(volumes, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("HDD_1", ListItemText(volumes, 0, 0));
    EXPECT_EQ("", ListItemText(volumes, 0, 1));  // mapped only through the name "office"
    EXPECT_EQ("B\xFCrodaten", ListItemText(volumes, 1, 0));
    EXPECT_EQ("X:", ListItemText(volumes, 1, 1));
    EXPECT_EQ("??", ListItemText(volumes, 2, 0));
    ClearVolumes(&volumeList);
}

}  // namespace
