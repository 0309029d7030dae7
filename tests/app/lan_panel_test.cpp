// The LAN panel in-process, with the network closed. Alone on the main window's
// template: what it shows for a selected device (the DHCP choice, the gateway rule,
// the two-port box). On the main window: Apply, whose every refusal is shown before
// anything is sent (the played device is never asked) and whose transactions the
// administrator check guards, and the port box swapping the panel between the two
// ports of a two-port device.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/admin_login.h"
#include "app/app_state.h"
#include "message_box_recorder.h"
#include "app/lan_panel.h"
#include "main_window_fixture.h"

namespace {

int verifications = 0;
int verdict = 1;
int PlayedDevice()
{
    ++verifications;
    return verdict;
}
int promptedMode = -1;
void NoUser(HWND, int mode)
{
    promptedMode = mode;
}

class LanPanelTest : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        panel_.Bind(window_);
    }
    SelectedDevice Device(const char* address, const char* netmask, const char* gateway, const char* dhcpFlag)
    {
        SelectedDevice device;
        device.address = address;
        device.netmask = netmask;
        device.gateway = gateway;
        device.dhcpFlag = dhcpFlag;
        return device;
    }
    LanPanel panel_;
};

TEST_F(LanPanelTest, ADhcpClientsFieldsAreDisabledAndAZeroGatewayIsBlank)
{
    panel_.ShowDevice(Device("198.51.100.31", "255.255.0.0", "", "1"), false);
    EXPECT_EQ(1, DhcpChoice());  // "Enable"
    EXPECT_FALSE(Enabled(IDC_IP_ADDRESS));
    EXPECT_FALSE(Enabled(IDC_NETMASK));
    EXPECT_FALSE(Enabled(IDC_GATEWAY));
    EXPECT_EQ("255.255.0.0", Address(IDC_NETMASK));
    EXPECT_EQ("blank", Address(IDC_GATEWAY));  // empty gateway text
    EXPECT_STREQ("1", protocolSession.portConfig.lan1.dhcpFlag);

    // Choosing "Disable" in the box enables them again; "Enable" disables them.
    ComboBox(Item(IDC_RECEIVE_DHCP)).SetCurSel(0);
    panel_.OnDhcpChoice();
    EXPECT_TRUE(Enabled(IDC_IP_ADDRESS));
    ComboBox(Item(IDC_RECEIVE_DHCP)).SetCurSel(1);
    panel_.OnDhcpChoice();
    EXPECT_FALSE(Enabled(IDC_GATEWAY));

    panel_.ShowDevice(Device("203.0.113.40", "255.255.255.0", "0.0.0.0", "0"), false);
    EXPECT_EQ("blank", Address(IDC_GATEWAY));
    EXPECT_EQ("203.0.113.40", Address(IDC_IP_ADDRESS));
    EXPECT_TRUE(Enabled(IDC_GATEWAY));
}

TEST_F(LanPanelTest, ATwoPortTableOffersItsPortsAndPicksThePortTheDeviceAnsweredOn)
{
    const SelectedDevice office = Device("198.51.100.20", "255.255.255.0", "198.51.100.1", "0");
    PortConfigTable& ports = SetPortTable("198.51.100.20", "203.0.113.20");
    panel_.OpenPortBox();
    panel_.ShowDevice(office, true);
    EXPECT_EQ((std::vector<std::string>{"LAN1", "LAN2"}), Items(IDC_LAN_PORT));
    EXPECT_TRUE(Enabled(IDC_LAN_PORT));
    EXPECT_EQ(0, SendMessageA(Item(IDC_LAN_PORT), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, shownPortIndex);

    CopyTextTo(ports.lan1.address, "198.51.100.99");
    panel_.OpenPortBox();
    panel_.ShowDevice(office, true);
    EXPECT_EQ(1, SendMessageA(Item(IDC_LAN_PORT), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, shownPortIndex);

    CopyTextTo(ports.lan1.portName, "LANX");
    panel_.OpenPortBox();
    panel_.ShowDevice(office, true);
    EXPECT_EQ((std::vector<std::string>{"LANX"}), Items(IDC_LAN_PORT));
    EXPECT_EQ(0, shownPortIndex);
}

class ApplyTest : public MainDialogFixture {
protected:
    void SetUp() override
    {
        MainDialogFixture::SetUp();
        previous_ = SetAdminLoginSteps({PlayedDevice, NoUser});
        verifications = 0;
        promptedMode = -1;
        verdict = 1;
    }
    void TearDown() override
    {
        SetAdminLoginSteps(previous_);
        MainDialogFixture::TearDown();
    }
    // A single-port device selected, its fields then set as given.
    void SelectSinglePort(const char* dhcp = "0")
    {
        AddRow("Office", "192.168.0.10", "255.255.255.0", "192.168.0.1", dhcp, "");
        Select(0);
        ClickDeviceList();
    }
    void Fields(const char* ip, const char* netmask, const char* gateway)
    {
        SetAddress(IDC_IP_ADDRESS, ip);
        SetAddress(IDC_NETMASK, netmask);
        SetAddress(IDC_GATEWAY, gateway);
    }
    // Which octet (0 to 3) of which field has the keyboard focus: "1006/0".
    std::string FocusedOctet() const
    {
        HWND focus = GetFocus();
        HWND field = focus ? GetParent(focus) : nullptr;
        int octet = 0;
        for (HWND h = GetWindow(focus, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
            ++octet;
        return std::to_string(GetDlgCtrlID(field)) + "/" + std::to_string(octet);
    }

    AdminLoginSteps previous_{};
};

TEST_F(ApplyTest, ApplyShowsEachRefusalOnceAndSendsNothing)
{
    {
        MessageBoxRecorder boxes;
        Click(IDC_APPLY);
        ASSERT_EQ(1u, boxes.messages.size());
        EXPECT_EQ("Please select a device in the above section.", boxes.messages[0].text);
        EXPECT_EQ("Error", boxes.messages[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), boxes.messages[0].icon());
        EXPECT_EQ(0, verifications) << "no administrator check without a device";
    }
    SelectSinglePort();
    struct Case {
        const char *ip, *netmask, *gateway;
        const char *message, *caption;
        UINT icon;
        const char* focus;  // "" when the focus stays
    };
    const Case cases[] = {
        {"", "255.255.255.0", "", "Please input IP address!", "Warning", MB_ICONEXCLAMATION, ""},
        {"192.168.0.10", "", "", "Please input net mask address!", "Warning", MB_ICONEXCLAMATION, ""},
        {"127.0.0.1", "255.0.0.0", "", "IP address input error. Please try again.", "Warning", MB_ICONEXCLAMATION, ""},
        {"224.0.0.1", "255.255.255.0", "", "Invalid IP address in 1st digit. It should be 1-223.", "Error",
         MB_ICONINFORMATION, "1006/0"},
        {"192.168.0.10", "255.255.255.0", "0.1.2.3", "Invalid gateway IP address in 1st digit. It should be 1-223.",
         "Error", MB_ICONINFORMATION, "1011/0"},
        {"192.168.0.10", "255.0.255.0", "192.168.0.1", "Netmask address input invalid. Please try again.", "Error",
         MB_ICONHAND, ""},
        {"192.168.0.10", "255.255.255.0", "192.168.0.255",
         "You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND, ""},
        {"192.168.0.10", "255.255.255.0", "", "You enter incorrect TCP/IP configuration. Please try again.", "Error",
         MB_ICONHAND, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ip) + " " + c.netmask + " " + c.gateway);
        Fields(c.ip, c.netmask, c.gateway);
        SetFocus(Item(IDC_APPLY));
        MessageBoxRecorder boxes;
        Click(IDC_APPLY);
        ASSERT_EQ(1u, boxes.messages.size());
        EXPECT_EQ(c.message, boxes.messages[0].text);
        EXPECT_EQ(c.caption, boxes.messages[0].caption);
        EXPECT_EQ(c.icon, boxes.messages[0].icon());
        if (c.focus[0]) {
            EXPECT_EQ(c.focus, FocusedOctet());
        }
        EXPECT_EQ(0, verifications) << "a refused configuration never reaches the device";
        EXPECT_EQ(1, Devices().GetItemCount()) << "and the list is not refreshed";
    }
}

TEST_F(ApplyTest, AcceptedSettingsPassTheAdministratorCheckThenTheListIsRefreshed)
{
    SelectSinglePort();
    Fields("192.168.0.20", "255.255.255.0", "192.168.0.1");
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    EXPECT_TRUE(boxes.messages.empty()) << "the static path reports nothing";
    EXPECT_EQ(1, verifications);
    EXPECT_STREQ("192.168.0.20", protocolSession.pendingAddress);
    EXPECT_STREQ("255.255.255.0", protocolSession.pendingNetmask);
    EXPECT_STREQ("192.168.0.1", protocolSession.pendingGateway);
    EXPECT_EQ(0, Devices().GetItemCount()) << "refreshed after the transaction, answered or not";

    // A refused administrator check ends Apply with its message, without a refresh.
    SelectSinglePort();
    verdict = 0;
    MessageBoxRecorder refused;
    Click(IDC_APPLY);
    ASSERT_EQ(1u, refused.messages.size());
    EXPECT_EQ("Wrong administrator password input!", refused.messages[0].text);
    EXPECT_EQ(1, promptedMode) << "the administrator's login";
    EXPECT_EQ(1, Devices().GetItemCount());
}

TEST_F(ApplyTest, DhcpChoiceSkipsValidationAndReportsAFailedTransaction)
{
    SelectSinglePort("1");  // a DHCP client: "Enable", blank fields are no matter
    Fields("", "", "");
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Set to dhcp client fail.", boxes.messages[0].text);  // nobody answers here
    EXPECT_EQ("Error", boxes.messages[0].caption);
    EXPECT_EQ(1, verifications);
    EXPECT_EQ(1, Devices().GetItemCount());
}

TEST_F(ApplyTest, PortChoiceKeepsTheShownPortAndShowsTheOther)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    PortConfigTable& ports = SetPortTable("198.51.100.20", "203.0.113.20");
    CopyTextTo(ports.lan2.netmask, "255.255.255.0");
    CopyTextTo(ports.lan2.dhcpFlag, "1");
    Select(0);
    ClickDeviceList();
    AppendVolume("HDD_1");  // as the volume query would have listed it, mapped from LAN2's address
    drives_.connections = {{'Y', "\\\\203.0.113.20\\HDD_1"}};
    RefreshDriveTable();
    SetAddress(IDC_IP_ADDRESS, "198.51.100.21");

    Choose(IDC_LAN_PORT, 1);
    EXPECT_STREQ("198.51.100.21", ports.lan1.address) << "the panel's LAN1 values are kept";
    EXPECT_STREQ("0", ports.lan1.dhcpFlag);
    EXPECT_EQ("203.0.113.20", Address(IDC_IP_ADDRESS));
    EXPECT_EQ("blank", Address(IDC_GATEWAY));
    EXPECT_EQ(1, DhcpChoice());
    EXPECT_FALSE(Enabled(IDC_IP_ADDRESS));
    EXPECT_EQ(1, shownPortIndex);
    ASSERT_EQ(1, Volumes().GetItemCount()) << "the volumes of the port shown";
    EXPECT_EQ("Y:", Volumes().GetItemText(0, 1));

    // Apply on a two-port device validates the shown port even with "Enable" shown.
    SetAddress(IDC_IP_ADDRESS, "");
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Please input IP address!", boxes.messages[0].text);
    EXPECT_STREQ("0.0.0.0", ports.lan2.address) << "Apply stored the panel into the shown port";

    Choose(IDC_LAN_PORT, 0);
    EXPECT_EQ("198.51.100.21", Address(IDC_IP_ADDRESS));
    EXPECT_EQ(0, DhcpChoice());
    EXPECT_EQ("", Volumes().GetItemText(0, 1)) << "HDD_1 is mapped from LAN2's address only";
}

}  // namespace
