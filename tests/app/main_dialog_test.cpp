// The main window in-process, with the network closed, driven by the messages its
// controls send: the window's parts and skin, the routing of its commands, and what
// a refresh and a click in the device list do across the panels, in the cases that
// are cheaper to set up from inside than through the simulator (a click that hits no
// row, a row without a record, a two-port device whose port table comes or not).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "accessible_name.h"
#include "app/admin_login.h"
#include "app/app_state.h"
#include "framework/busy.h"
#include "message_box_recorder.h"
#include "main_window_fixture.h"
#include "framework/controls.h"
#include "framework/gdi.h"
#include "protocol.h"
#include "res/skin_table.h"
#include "res/resource.h"
#include "test_support.h"

namespace {

using MainDialogTest = MainDialogFixture;

// What a screen reader announces at each Tab stop, walking the window with Tab (or
// Shift+Tab) from the control that has the focus until the focus comes back to it.
std::vector<std::string> TabWalk(HWND window, bool backwards)
{
    std::vector<std::string> names;
    const HWND start = DialogControlOf(window, GetFocus());
    for (int stop = 0; stop < 40; ++stop) {
        names.push_back(StandardProxyName(DialogControlOf(window, GetFocus())));
        PressKey(VK_TAB, backwards);
        if (DialogControlOf(window, GetFocus()) == start)
            break;
    }
    return names;
}

TEST_F(MainDialogTest, TabWalksEveryControlInReadingOrderEachWithItsName)
{
    ShowWindow(window_, SW_SHOW);
    PumpMessages();
    // The list has the focus at start; a walk from the first control of the window:
    EXPECT_EQ(Item(IDC_DEVICE_LIST), GetFocus());
    SetFocus(Item(IDC_MINIMIZE));
    const std::vector<std::string> reading = {"Minimize",       "Close",      "Devices",   "Refresh",
                                              "Configuration",  "I P :",      "Netmask :", "Gateway :",
                                              "Receive DHCP :", "Apply",      "Volumes",   "Available Drive Letters :",
                                              "Connect",        "Disconnect", "About",     "Exit"};
    EXPECT_EQ(reading, TabWalk(window_, false));
    std::vector<std::string> backwards = {reading.front()};
    backwards.insert(backwards.end(), reading.rbegin(), reading.rend() - 1);
    EXPECT_EQ(backwards, TabWalk(window_, true));
    // The controls shown for some devices only have their names too.
    EXPECT_EQ("LAN port", StandardProxyName(Item(IDC_LAN_PORT)));
    EXPECT_EQ("Language", StandardProxyName(Item(IDC_LANGUAGE)));
}

TEST_F(MainDialogTest, EnterAndSpacePressTheFocusedButtonAndOnlyAClosingKeyCloses)
{
    ShowWindow(window_, SW_SHOW);
    PumpMessages();
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
    // Enter on no button, and Escape, leave the window as it is.
    SetFocus(Item(IDC_DEVICE_LIST));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_EQ(1, Devices().GetItemCount());

    // Refresh from the keyboard: the network is closed, so the list comes back empty.
    SetFocus(Item(IDC_REFRESH));
    PressKey(VK_RETURN);
    EXPECT_EQ(0, Devices().GetItemCount());
    EXPECT_EQ(Item(IDC_REFRESH), GetFocus()) << "the focus is back on Refresh after the discovery";
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
    PressKey(VK_SPACE);
    EXPECT_EQ(0, Devices().GetItemCount());

    // Alt+F4 and the system menu's Close end the window as Exit does: the devices are
    // forgotten too.
    AddDeviceRecord("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(nullptr, deviceList.head);
}

int portQueries = 0;

TEST_F(MainDialogTest, ArrowKeysSelectTheHighlightedDeviceOncePerChange)
{
    portQueries = 0;
    SetPortQuery({[] {
        ++portQueries;
        return 0;
    }});
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    AddRow("Media", "198.51.100.31", "255.255.0.0", "198.51.100.1", "1", "ZKM-100");
    ShowWindow(window_, SW_SHOW);
    PumpMessages();
    SetFocus(Item(IDC_DEVICE_LIST));

    // Each row the keys reach is selected as a click selects it: the panels show it,
    // and the two-port device's port table is asked for once.
    PressKey(VK_DOWN);
    EXPECT_STREQ("198.51.100.20", selectedHost);
    EXPECT_EQ("198.51.100.20", Address(IDC_IP_ADDRESS));
    EXPECT_EQ(1, portQueries);
    PressKey(VK_DOWN);
    EXPECT_STREQ("198.51.100.31", selectedHost);
    EXPECT_EQ("198.51.100.31", Address(IDC_IP_ADDRESS));
    EXPECT_EQ(1, DhcpChoice());  // "Enable"
    // A key that moves nothing selects nothing again.
    CopyTextTo(selectedHost, "");
    PressKey(VK_DOWN);
    EXPECT_STREQ("", selectedHost);
    PressKey(VK_HOME);
    EXPECT_STREQ("198.51.100.20", selectedHost);
    EXPECT_EQ(2, portQueries);
    // A selection the program makes is no user's choice.
    Select(1);
    PumpMessages();
    EXPECT_STREQ("198.51.100.20", selectedHost);
}

TEST_F(MainDialogTest, StartsWithEmptyPanelsAndItsWindowParts)
{
    char title[64] = {};
    GetWindowTextA(dialog_.hwnd, title, sizeof(title));
    EXPECT_STREQ("Kavron Storage Utility", title);
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

    // No device counts as selected: Apply refuses before anything else.
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Please select a device in the above section.", boxes.messages[0].text);
}

TEST_F(MainDialogTest, StartUpFillsTheDriveLetterBoxAndSkinsEveryButtonFromTheTable)
{
    // Z first and free, then Y with its share; C (fixed), X (CD), A and B are left out.
    const std::vector<std::string> letters = Items(IDC_DRIVE_LETTERS);
    ASSERT_EQ(22u, letters.size());
    EXPECT_EQ("Z:", letters[0]);
    EXPECT_EQ("Y: \\\\198.51.100.20\\HDD_1", letters[1]);
    EXPECT_EQ("W:", letters[2]);
    EXPECT_EQ("D:", letters.back());
    EXPECT_EQ(0, ComboBox(Item(IDC_DRIVE_LETTERS)).GetCurSel());

    int skinned = 0;
    for (const ButtonSkin& row : kButtonSkins) {
        if (row.dialog != IDD_MAIN)
            continue;
        ++skinned;
        SCOPED_TRACE("control " + std::to_string(row.control));
        HWND button = Item(row.control);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK);
        const RECT r = Window(button).ClientRect();
        if (row.normal == 0) {
            EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Capture(button).At(1, 1)) << "no faces: a plain button";
            continue;
        }
        // Each face is copied from its top left corner at the button's size.
        GdiBitmap normal = LoadBitmapResource(row.normal);
        GdiBitmap down = LoadBitmapResource(row.down);
        const SIZE face = BitmapSize(normal.get());
        const int w = face.cx < r.right ? face.cx : r.right;
        const int h = face.cy < r.bottom ? face.cy : r.bottom;
        EXPECT_TRUE(Capture(button).Matches(0, 0, normal.get(), 0, 0, w, h));
        SendMessageA(button, BM_SETSTATE, TRUE, 0);
        EXPECT_TRUE(Capture(button).Matches(0, 0, down.get(), 0, 0, w, h));
        SendMessageA(button, BM_SETSTATE, FALSE, 0);
    }
    EXPECT_EQ(12, skinned);
}

TEST_F(MainDialogTest, ButtonsActOnTheirClickOnly)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "");
    Select(0);
    ClickDeviceList();
    ASSERT_STREQ("198.51.100.20", selectedHost);
    // Focus and double-click notifications of Refresh, Exit and the close button do nothing.
    for (int code : {BN_DOUBLECLICKED, BN_SETFOCUS, BN_KILLFOCUS}) {
        Click(IDC_REFRESH, code);
        Click(IDC_EXIT, code);
        Click(IDC_CLOSE, code);
    }
    ASSERT_TRUE(IsWindow(dialog_.hwnd));
    EXPECT_FALSE(dialog_.HasEnded());
    EXPECT_EQ(1, Devices().GetItemCount());
    // The click itself refreshes, and no device counts as selected any more.
    Click(IDC_REFRESH);
    EXPECT_EQ(0, Devices().GetItemCount());
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_EQ("Please select a device in the above section.", boxes.messages[0].text);
}

TEST_F(MainDialogTest, RefreshAfterASelectionKeepsTheDhcpChoiceAndEmptiesThePortBox)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "1", "ZKM-150");
    SetPortTable("198.51.100.20", "203.0.113.20");
    Select(0);
    ClickDeviceList();
    ASSERT_EQ(2u, Items(IDC_LAN_PORT).size());
    ASSERT_EQ(1, DhcpChoice());
    ASSERT_EQ("198.51.100.20", Address(IDC_IP_ADDRESS));

    Click(IDC_REFRESH);
    EXPECT_EQ(1, DhcpChoice()) << "the Receive DHCP box keeps its choice";
    EXPECT_TRUE(Items(IDC_LAN_PORT).empty());
    EXPECT_FALSE(Enabled(IDC_LAN_PORT));
    EXPECT_EQ("blank", Address(IDC_IP_ADDRESS));
    EXPECT_EQ("blank", Address(IDC_NETMASK));
    EXPECT_EQ(0, ListCtrl(Item(IDC_VOLUME_LIST)).GetItemCount());
    EXPECT_STREQ("198.51.100.20", selectedHost) << "the last selection is kept";
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
    CopyTextTo(selectedHost, "198.51.100.20");
    ClickDeviceList();
    EXPECT_STREQ("", selectedHost);
    EXPECT_STREQ("", protocolSession.selectedAddress);
    EXPECT_TRUE(Items(IDC_LAN_PORT).empty());
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
    ClickDeviceList();  // a ZKM-150 no more: its port table is not asked for
    EXPECT_STREQ("198.51.100.44", selectedHost);
    EXPECT_STREQ("198.51.100.44", protocolSession.selectedAddress);
    EXPECT_EQ(0, DhcpChoice());
    EXPECT_TRUE(Items(IDC_LAN_PORT).empty());
    const PortConfig& lan1 = protocolSession.portConfig.lan1;
    EXPECT_STREQ("", lan1.portName);
    EXPECT_STREQ("198.51.100.44", lan1.address);
    EXPECT_STREQ("255.255.255.0", lan1.netmask);
    EXPECT_STREQ("198.51.100.1", lan1.gateway);
    EXPECT_STREQ("", lan1.dhcpFlag);
    EXPECT_EQ("198.51.100.44", Address(IDC_IP_ADDRESS));
    EXPECT_EQ("198.51.100.1", Address(IDC_GATEWAY));
}

TEST_F(MainDialogTest, TwoPortDeviceShowsItsPortTableOnlyWhenTheQueryAnswers)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    // The fixture plays an answered port query: the table is the one set here.
    PortConfigTable& ports = SetPortTable("198.51.100.20", "203.0.113.20");
    Select(0);
    ClickDeviceList();
    EXPECT_EQ((std::vector<std::string>{"LAN1", "LAN2"}), Items(IDC_LAN_PORT));
    EXPECT_TRUE(Enabled(IDC_LAN_PORT));

    // Unanswered, the table left from before is another device's: the panel and the
    // table's first port come from the row, so Apply sends only the row's address.
    portQueryAnswers = 0;
    ClickDeviceList();
    EXPECT_TRUE(Items(IDC_LAN_PORT).empty());
    EXPECT_FALSE(Enabled(IDC_LAN_PORT));
    EXPECT_STREQ("", ports.lan1.portName);
    EXPECT_STREQ("198.51.100.20", ports.lan1.address);
    EXPECT_EQ("198.51.100.20", Address(IDC_IP_ADDRESS));
}

TEST_F(MainDialogTest, WindowEndsOnlyWhenTheFlowThatRunsHasEnded)
{
    // A close and a sent Exit click while the flow's message is up: the window stays
    // until the flow is over, then ends once.
    MessageBoxRecorder boxes;
    SetMessageBoxHook([&](HWND, const char* text, const char*, UINT) {
        boxes.messages.push_back({window_, text, "", 0});
        SendMessageA(window_, WM_CLOSE, 0, 0);
        Click(IDC_EXIT);
        EXPECT_TRUE(IsWindow(window_)) << "ended under a running flow";
        return IDOK;
    });
    Click(IDC_APPLY);  // no device selected: one message ends the flow
    ASSERT_EQ(1u, boxes.messages.size());
    EXPECT_TRUE(IsWindow(window_));
    PumpMessages();
    EXPECT_FALSE(IsWindow(window_)) << "the deferred close came once the flow had ended";
}

// What a selection's port query does on the worker while its step runs: another
// program's messages to the window, then the step's end.
HWND stepWindow = nullptr;
void (*duringStep)(HWND window) = nullptr;
bool aliveDuringStep = false;

int PortQueryThatActs()
{
    duringStep(stepWindow);
    Sleep(150);  // time for the user-interface thread to take what was posted
    aliveDuringStep = IsWindow(stepWindow) != FALSE;
    return 1;
}

// What Apply's administrator check was asked about.
std::string verifiedTarget, verifiedAddress, verifiedPort;

TEST_F(MainDialogTest, AKeySentToTheListDuringASelectionIsSelectedAfterItAndApplyFollows)
{
    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    AddRow("Media", "198.51.100.31", "255.255.0.0", "198.51.100.1", "0", "ZKM-100");
    SetPortTable("198.51.100.20", "203.0.113.20");
    stepWindow = window_;
    duringStep = [](HWND window) { SendMessageA(GetDlgItem(window, IDC_DEVICE_LIST), WM_KEYDOWN, VK_DOWN, 1); };
    SetPortQuery({PortQueryThatActs});
    Devices().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ClickDeviceList();
    PumpMessages();

    // The key's row is selected after the click's selection, as a click would select it.
    EXPECT_EQ(1, Devices().GetNextItem(-1, LVNI_SELECTED));
    EXPECT_STREQ("198.51.100.31", protocolSession.selectedAddress);
    EXPECT_STREQ("198.51.100.31", selectedHost);
    EXPECT_EQ("198.51.100.31", Address(IDC_IP_ADDRESS));
    EXPECT_EQ("255.255.0.0", Address(IDC_NETMASK));
    EXPECT_TRUE(Items(IDC_LAN_PORT).empty());

    // Apply asks the device the list shows about the values the panel shows.
    const AdminLoginSteps previous = SetAdminLoginSteps({[] {
                                                             verifiedTarget = protocolSession.selectedAddress;
                                                             verifiedAddress = protocolSession.pendingAddress;
                                                             verifiedPort = protocolSession.portConfig.lan1.portName;
                                                             return 0;
                                                         },
                                                         [](HWND, int) {}});
    MessageBoxRecorder boxes;
    Click(IDC_APPLY);
    SetAdminLoginSteps(previous);
    EXPECT_EQ("198.51.100.31", verifiedTarget);
    EXPECT_EQ("198.51.100.31", verifiedAddress);
    EXPECT_EQ("", verifiedPort) << "a one-port device gets no port table";
}

TEST_F(MainDialogTest, EveryWayOfClosingDuringAStepEndsTheWindowOnceTheFlowIsOver)
{
    struct Way {
        const char* name;
        void (*close)(HWND window);
    };
    static const auto press = [](HWND button) {
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    const Way ways[] = {
        {"Alt+F4 in the list",
         [](HWND w) {
             PostMessageA(GetDlgItem(w, IDC_DEVICE_LIST), WM_SYSKEYDOWN, VK_F4, 1 | (0x3E << 16) | (KF_ALTDOWN << 16));
         }},
        {"the system menu's Close", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"the taskbar's Close", [](HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"the skin's close button", [](HWND w) { press(GetDlgItem(w, IDC_CLOSE)); }},
        {"Exit", [](HWND w) { press(GetDlgItem(w, IDC_EXIT)); }},
        {"another program's WM_CLOSE",
         [](HWND w) {
             PostMessageA(w, WM_CLOSE, 0, 0);
             SendMessageA(w, WM_CLOSE, 0, 0);
         }},
    };
    SetPortQuery({PortQueryThatActs});
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        MainDialog dialog;
        ASSERT_NE(nullptr, window_ = stepWindow = dialog.CreateModeless(nullptr));
        PumpMessages();
        duringStep = way.close;
        AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
        Select(0);
        aliveDuringStep = false;
        ClickDeviceList();
        EXPECT_TRUE(aliveDuringStep);
        EXPECT_EQ("198.51.100.20", Address(IDC_IP_ADDRESS)) << "the flow ran to its end";
        PumpMessages();
        EXPECT_FALSE(IsWindow(window_)) << "the close was lost";
        EXPECT_EQ(nullptr, deviceList.head) << "ended as Exit ends it";
    }
    window_ = nullptr;
}

TEST_F(MainDialogTest, WindowsEndOfTheSessionWaitsForAStepThenEndsAsExitDoes)
{
    static LRESULT answerDuringStep;
    static bool listedAfterTheEnd;
    stepWindow = window_;
    duringStep = [](HWND window) {
        DWORD_PTR answer = 1;
        SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 2000, &answer);
        answerDuringStep = static_cast<LRESULT>(answer);
        // Signed out anyway: the records stay the worker's until its step returns.
        PostMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        Sleep(150);
        listedAfterTheEnd = deviceList.head != nullptr;
    };
    SetPortQuery({PortQueryThatActs});
    EXPECT_NE(0, SendMessageA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "idle, it lets Windows end";

    AddRow("Office", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "ZKM-150");
    Select(0);
    ClickDeviceList();
    PumpMessages();
    EXPECT_EQ(0, answerDuringStep) << "a step holds the session's end";
    EXPECT_TRUE(listedAfterTheEnd);
    EXPECT_EQ(nullptr, deviceList.head);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_FALSE(RunBusy(nullptr, [] { return true; })) << "no step starts after the session's end";
    RefuseSteps(false);
    window_ = nullptr;
}

}  // namespace
