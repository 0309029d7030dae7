// The real utility under Wine, in the lab, against the device simulator: what a user
// sees after start-up and after clicking devices, read from outside the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "accessible_name.h"
#include "res/resource.h"
#include "sim_control.h"
#include "utility_driver.h"
#include "version.h"
#include "winauto.h"

namespace {

std::vector<std::string> VolumeNames(HWND list)
{
    std::vector<std::string> names;
    for (const auto& row : winauto::ReadListView(list))
        names.push_back(row.cells.at(0));
    return names;
}

TEST(MainWindowEndToEnd, StartsListsSelectsAndExits)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window) << "the main window never appeared";
    const HWND window = utility.window;

    // The window: its title (shown only on the taskbar), its shape, its hidden controls.
    EXPECT_EQ("Kavron Storage Utility", winauto::GetText(window));
    RECT frame{};
    GetWindowRect(window, &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    EXPECT_FALSE(winauto::RegionContains(window, 0, 4));
    EXPECT_TRUE(winauto::RegionContains(window, 0, 5));
    EXPECT_FALSE(winauto::RegionContains(window, w / 2, 0));
    EXPECT_TRUE(winauto::RegionContains(window, w / 2, h - 1));
    EXPECT_FALSE(winauto::RegionContains(window, w - 4, 1));
    for (int id : {IDC_LAN_PORT, IDC_WIDGET, IDC_BITTORRENT, IDC_LANGUAGE}) {
        ASSERT_NE(nullptr, utility.Item(id)) << id;
        EXPECT_FALSE(winauto::IsShown(utility.Item(id))) << id;
    }
    for (int id : {IDC_REFRESH, IDC_CONFIGURATION, IDC_APPLY, IDC_CONNECT, IDC_DISCONNECT, IDC_ABOUT, IDC_EXIT,
                   IDC_MINIMIZE, IDC_CLOSE, IDC_DEVICE_LIST, IDC_VOLUME_LIST, IDC_IP_ADDRESS})
        EXPECT_TRUE(winauto::IsShown(utility.Item(id))) << id;

    // The device list after the first discovery: one row per device, the device on
    // both interfaces once, the one with other selector bytes left out.
    HWND devices = utility.Item(IDC_DEVICE_LIST);
    EXPECT_EQ((std::vector<std::string>{"Name", "IP", "Netmask", "Gateway"}), winauto::ListColumnTitles(devices));
    auto rows = winauto::ReadListView(devices);
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows)
        cells.push_back(row.cells);
    std::sort(cells.begin(), cells.end());
    EXPECT_EQ((std::vector<std::vector<std::string>>{
                  {"Backup Vault", "203.0.113.40", "255.255.255.0", "0.0.0.0"},
                  {"Living Room Media", "198.51.100.31", "255.255.0.0", "198.51.100.1"},
                  {"Office Storage", "198.51.100.20", "255.255.255.0", "198.51.100.1"},
              }),
              cells);
    EXPECT_TRUE(winauto::IsBlankAddress(utility.Item(IDC_IP_ADDRESS)));
    EXPECT_EQ(-1, winauto::ComboSelection(utility.Item(IDC_RECEIVE_DHCP)));
    EXPECT_EQ((std::vector<std::string>{"Disable", "Enable"}), winauto::ComboItems(utility.Item(IDC_RECEIVE_DHCP)));
    EXPECT_EQ((std::vector<std::string>{"Volume Name", "Location"}),
              winauto::ListColumnTitles(utility.Item(IDC_VOLUME_LIST)));

    // The two-port device: its LAN1 settings, its volumes (duplicates and empty names
    // dropped, UTF-8 shown in the ANSI code page), the port box filled behind the scenes.
    const int office = utility.RowOf("Office Storage");
    ASSERT_GE(office, 0);
    utility.ClickDevice(office);
    EXPECT_TRUE(winauto::ReadListView(devices).at(static_cast<size_t>(office)).selected);
    EXPECT_EQ("198.51.100.20", winauto::ReadIpAddress(utility.Item(IDC_IP_ADDRESS)).Dotted());
    EXPECT_EQ("255.255.255.0", winauto::ReadIpAddress(utility.Item(IDC_NETMASK)).Dotted());
    EXPECT_EQ("198.51.100.1", winauto::ReadIpAddress(utility.Item(IDC_GATEWAY)).Dotted());
    EXPECT_EQ("Disable", winauto::ComboSelectedText(utility.Item(IDC_RECEIVE_DHCP)));
    EXPECT_TRUE(winauto::IsEnabled(utility.Item(IDC_IP_ADDRESS)));
    EXPECT_EQ((std::vector<std::string>{"LAN1", "LAN2"}), winauto::ComboItems(utility.Item(IDC_LAN_PORT)));
    EXPECT_EQ(0, winauto::ComboSelection(utility.Item(IDC_LAN_PORT)));
    EXPECT_TRUE(winauto::IsEnabled(utility.Item(IDC_LAN_PORT)));
    EXPECT_EQ((std::vector<std::string>{"HDD_1", "USB1", "B\xFCrodaten"}), VolumeNames(utility.Item(IDC_VOLUME_LIST)));
    for (const auto& row : winauto::ReadListView(utility.Item(IDC_VOLUME_LIST)))
        EXPECT_EQ("", row.cells.at(1)) << "no drive is mapped under Wine";

    // A single-port DHCP client: the address fields are disabled, "Enable" is shown,
    // the port box is emptied and disabled again.
    const int media = utility.RowOf("Living Room Media");
    ASSERT_GE(media, 0);
    utility.ClickDevice(media);
    EXPECT_EQ("198.51.100.31", winauto::ReadIpAddress(utility.Item(IDC_IP_ADDRESS)).Dotted());
    EXPECT_EQ("255.255.0.0", winauto::ReadIpAddress(utility.Item(IDC_NETMASK)).Dotted());
    EXPECT_EQ("Enable", winauto::ComboSelectedText(utility.Item(IDC_RECEIVE_DHCP)));
    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY})
        EXPECT_FALSE(winauto::IsEnabled(utility.Item(id))) << id;
    EXPECT_TRUE(winauto::ComboItems(utility.Item(IDC_LAN_PORT)).empty());
    EXPECT_FALSE(winauto::IsEnabled(utility.Item(IDC_LAN_PORT)));
    EXPECT_EQ((std::vector<std::string>{"HDD_a"}), VolumeNames(utility.Item(IDC_VOLUME_LIST)));

    // A device with the gateway 0.0.0.0 and no volumes: a blank gateway, an empty list.
    const int vault = utility.RowOf("Backup Vault");
    ASSERT_GE(vault, 0);
    utility.ClickDevice(vault);
    EXPECT_EQ("203.0.113.40", winauto::ReadIpAddress(utility.Item(IDC_IP_ADDRESS)).Dotted());
    EXPECT_TRUE(winauto::IsBlankAddress(utility.Item(IDC_GATEWAY)));
    EXPECT_EQ("Disable", winauto::ComboSelectedText(utility.Item(IDC_RECEIVE_DHCP)));
    EXPECT_TRUE(winauto::IsEnabled(utility.Item(IDC_GATEWAY)));
    EXPECT_TRUE(VolumeNames(utility.Item(IDC_VOLUME_LIST)).empty());

    // Refresh lists the devices again and forgets the volume list.
    winauto::ClickCentre(utility.Item(IDC_REFRESH));
    ASSERT_TRUE(WaitFor([&] { return winauto::IsBlankAddress(utility.Item(IDC_IP_ADDRESS)); }));
    ASSERT_TRUE(winauto::WaitIdle(window, 30000));
    EXPECT_EQ(3u, winauto::ReadListView(devices).size());
    EXPECT_TRUE(VolumeNames(utility.Item(IDC_VOLUME_LIST)).empty());
    EXPECT_TRUE(winauto::IsBlankAddress(utility.Item(IDC_IP_ADDRESS)));

    // Exit ends the program.
    winauto::ClickCentre(utility.Item(IDC_EXIT));
    EXPECT_EQ(0u, utility.WaitExit(20000));
}

TEST(MainWindowEndToEnd, KeyboardWalksTheWindowRefreshesAndExits)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window);
    ASSERT_TRUE(utility.Idle());
    const HWND window = utility.window;
    auto focused = [&] { return GetDlgCtrlID(DialogControlOf(window, winauto::FocusedControl(window))); };
    auto tabTo = [&](int id) {
        for (int stop = 0; stop < 20 && focused() != id; ++stop) {
            winauto::PressKey(window, VK_TAB);
            if (!utility.Idle())
                return false;
        }
        return focused() == id;
    };

    // The keyboard starts in the device list; Tab reaches every control in reading
    // order (their names are read in-process, tests/app).
    EXPECT_EQ(IDC_DEVICE_LIST, focused());
    std::vector<int> walk;
    for (int stop = 0; stop < 20; ++stop) {
        walk.push_back(focused());
        winauto::PressKey(window, VK_TAB);
        ASSERT_TRUE(utility.Idle());
        if (focused() == IDC_DEVICE_LIST)
            break;
    }
    EXPECT_EQ((std::vector<int>{IDC_DEVICE_LIST, IDC_REFRESH, IDC_CONFIGURATION, IDC_IP_ADDRESS, IDC_NETMASK,
                                IDC_GATEWAY, IDC_RECEIVE_DHCP, IDC_APPLY, IDC_VOLUME_LIST, IDC_DRIVE_LETTERS,
                                IDC_CONNECT, IDC_DISCONNECT, IDC_ABOUT, IDC_EXIT, IDC_MINIMIZE, IDC_CLOSE}),
              walk);

    // Enter on Refresh runs a discovery.
    ASSERT_TRUE(tabTo(IDC_REFRESH));
    const size_t mark = SimLogMark();
    winauto::PressKey(window, VK_RETURN);
    ASSERT_TRUE(utility.Idle());
    int discoveries = 0;
    for (const json& line : SimLogSince(mark))
        discoveries += !line.contains("sent") && line.value("opcode", 0) == 1;
    EXPECT_GT(discoveries, 0) << "Enter on Refresh sent no discovery request";
    EXPECT_EQ(3u, winauto::ReadListView(utility.Item(IDC_DEVICE_LIST)).size());

    // Enter on Exit ends the program.
    ASSERT_TRUE(tabTo(IDC_EXIT));
    winauto::PressKey(window, VK_RETURN);
    EXPECT_EQ(0u, utility.WaitExit(20000));
}

TEST(MainWindowEndToEnd, AnAddressHeldByAnotherProgramIsToldOnceAtStartUp)
{
    // Another program holds the first client address and the protocol's port for itself.
    const PortHolder holder;
    ASSERT_TRUE(holder.bound());

    Utility utility;
    ASSERT_NE(nullptr, utility.window);
    const winauto::MessageBoxText box = utility.AnswerMessage();
    EXPECT_EQ("Error", box.caption);
    // The address, then the system's reason on a line of its own.
    const std::string named = "\n198.51.100.1, UDP port 13579\n";
    const size_t at = box.text.find(named);
    ASSERT_NE(std::string::npos, at) << box.text;
    const std::string reason =
        box.text.substr(at + named.size(), box.text.find('\n', at + named.size()) - at - named.size());
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(std::string::npos, reason.find("Error ")) << "the system has a text for it: " << reason;
    EXPECT_EQ(std::string::npos, box.text.find("203.0.113.1")) << "the second address was opened";

    // The devices that answer on the second interface are listed; a Refresh says nothing
    // more.
    ASSERT_TRUE(utility.Idle());
    std::vector<std::string> names = utility.Column(IDC_DEVICE_LIST, 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Backup Vault", "Office Storage"}), names);
    winauto::ClickCentre(utility.Item(IDC_REFRESH));
    ASSERT_TRUE(utility.Idle());
    EXPECT_EQ(nullptr, winauto::WaitForMessageBox(utility.ProcessId(), 3000, utility.window).window);
}

TEST(MainWindowEndToEnd, AboutBoxOpensAgainAndAgain)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window);
    for (int time = 0; time < 2; ++time) {
        winauto::ClickCentre(utility.Item(IDC_ABOUT));
        HWND about = winauto::WaitForDialog(nullptr, utility.ProcessId(), utility.window, 20000);
        ASSERT_NE(nullptr, about) << "opening " << time + 1;
        bool version = false;
        for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            version = version || winauto::GetText(child) == "Version : " KAVRON_VERSION_TEXT;
        EXPECT_TRUE(version);
        winauto::ClickCentre(GetDlgItem(about, IDOK));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); })) << "OK closes the box";
        ASSERT_TRUE(winauto::WaitIdle(utility.window, 10000));
    }
}

TEST(MainWindowEndToEnd, CloseButtonEndsTheProgram)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window);
    winauto::ClickCentre(utility.Item(IDC_CLOSE));
    EXPECT_EQ(0u, utility.WaitExit(20000));
}

TEST(MainWindowEndToEnd, WindowManagerCloseEndsTheProgram)
{
    Utility utility;
    ASSERT_NE(nullptr, utility.window);
    PostMessageA(utility.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, utility.WaitExit(20000));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
