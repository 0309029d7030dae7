// The LAN panel of the real utility under Wine, against the simulator: addresses and
// DHCP applied through the window behind the administrator check, every refusal
// shown before anything is sent, the two-port table, and a silent device.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim_control.h"
#include "utility_driver.h"

namespace {

json Device(const char* identity, const char* address, const char* name)
{
    json device = SimDevice(identity, address);
    device["name"] = name;
    device["netmask"] = "255.255.255.0";
    device["gateway"] = "198.51.100.1";
    device["on"] = json::array({kSimLan0});
    return device;
}

// Desk accepts the empty administrator password; Locked wants one; Twin has two
// ports; Mute never answers an address change; Slow wants a password, answers the SSL
// query 3 s late (after the query has given up) and the administrator check in 0.9 s.
json Devices()
{
    json desk = Device("0e0e0e0e0101", "198.51.100.60", "Desk");
    desk["dhcpAddress"] = "198.51.100.77";
    json locked = Device("0e0e0e0e0102", "198.51.100.61", "Locked");
    locked["admin"] = {{"password", "open-sesame"}};
    json twin = Device("0e0e0e0e0103", "198.51.100.62", "Twin");
    twin["model"] = "ZKM-150";
    twin["values"] = {{"20", "LAN1:198.51.100.62:255.255.255.0:198.51.100.1:0:LAN2:203.0.113.62:255.255.255.0::1"}};
    json mute = Device("0e0e0e0e0104", "198.51.100.63", "Mute");
    mute["unanswered"] = json::array({1});
    json slow = Device("0e0e0e0e0105", "198.51.100.64", "Slow");
    slow["admin"] = {{"password", "slow-pass"}};
    slow["values"] = {{"19", "1"}};
    slow["subcodeDelayMs"] = {{"19", 3000}, {"4", 900}};
    return json::array({desk, locked, twin, mute, slow});
}

class SettingsEndToEnd : public UtilityTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ApplySimDevices(Devices()));
        UtilityTest::SetUp();
    }
    void SetField(int id, const char* dotted)
    {
        unsigned a, b, c, d;
        ASSERT_EQ(4, std::sscanf(dotted, "%u.%u.%u.%u", &a, &b, &c, &d));
        SendMessageA(U().Item(id), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
    }
    void Fields(const char* ip, const char* netmask, const char* gateway)
    {
        SetField(IDC_IP_ADDRESS, ip);
        SetField(IDC_NETMASK, netmask);
        SetField(IDC_GATEWAY, gateway);
    }
    void Apply() { winauto::ClickCentre(U().Item(IDC_APPLY)); }
    // The message the window shows next; answers it with OK.
    winauto::MessageBoxText Message()
    {
        winauto::MessageBoxText box = winauto::WaitForMessageBox(U().ProcessId(), 40000, U().window);
        if (box.window)
            PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return box;
    }
    // Types a password into the login dialog and presses OK; false without a dialog.
    bool Login(const char* password)
    {
        HWND login = winauto::WaitForDialog("Login", U().ProcessId(), U().window, 20000);
        if (!login)
            return false;
        SendMessageA(GetDlgItem(login, IDC_LOGIN_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password));
        PostMessageA(login, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }
    bool Idle(int timeoutMs = 60000) { return winauto::WaitIdle(U().window, timeoutMs); }
    std::vector<std::string> Addresses()
    {
        std::vector<std::string> addresses;
        for (const auto& row : winauto::ReadListView(U().Item(IDC_DEVICE_LIST)))
            addresses.push_back(row.cells.at(1));
        std::sort(addresses.begin(), addresses.end());
        return addresses;
    }
    // Settings requests (opcode 5) and administrator checks the simulator received.
    static std::vector<json> Sent(size_t mark)
    {
        std::vector<json> sent;
        for (const json& line : SimLogSince(mark)) {
            const int opcode = line.value("opcode", 0);
            if (!line.contains("sent") && (opcode == 5 || (opcode == 3 && line.value("subcode", 0) == 4)))
                sent.push_back(line);
        }
        return sent;
    }
    static std::string HexOf(const std::string& text)
    {
        return Hex(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    }
};

TEST_F(SettingsEndToEnd, StaticAddressAppliedThroughThePanelMovesTheDevice)
{
    Select("Desk");
    Fields("198.51.100.70", "255.255.255.0", "198.51.100.1");
    const size_t mark = SimLogMark();
    Apply();
    ASSERT_TRUE(Idle());
    const std::vector<json> sent = Sent(mark);
    ASSERT_EQ(2u, sent.size()) << "the administrator check, then the address";
    EXPECT_EQ(HexOf("admin") + "55aa", sent[0]["data"]);
    EXPECT_EQ(1, sent[1]["subcode"]);
    EXPECT_EQ(HexOf("198.51.100.70"), sent[1]["data"]);
    EXPECT_EQ(
        (std::vector<std::string>{"198.51.100.61", "198.51.100.62", "198.51.100.63", "198.51.100.64", "198.51.100.70"}),
        Addresses());
}

TEST_F(SettingsEndToEnd, RefusedInputGivesItsMessageAndSendsNothing)
{
    Select("Desk");
    struct Case {
        const char *ip, *netmask, *gateway, *message;
    };
    const Case cases[] = {
        {"198.51.100.70", "255.0.255.0", "198.51.100.1", "Netmask address input invalid. Please try again."},
        {"127.0.0.5", "255.255.255.0", "198.51.100.1", "IP address input error. Please try again."},
        {"224.1.2.3", "255.255.255.0", "198.51.100.1", "Invalid IP address in 1st digit. It should be 1-223."},
        {"198.51.100.70", "255.255.255.0", "198.51.100.255",
         "You enter incorrect TCP/IP configuration. Please try again."},
    };
    const size_t mark = SimLogMark();
    for (const Case& c : cases) {
        Fields(c.ip, c.netmask, c.gateway);
        Apply();
        EXPECT_EQ(c.message, Message().text) << c.ip << " " << c.netmask << " " << c.gateway;
        ASSERT_TRUE(Idle());
    }
    EXPECT_TRUE(Sent(mark).empty());
}

TEST_F(SettingsEndToEnd, PasswordIsAskedOnceAndAWrongOneIsReported)
{
    Select("Locked");
    Fields("198.51.100.71", "255.255.255.0", "198.51.100.1");
    size_t mark = SimLogMark();
    Apply();
    ASSERT_TRUE(Login("wrong"));
    const winauto::MessageBoxText refused = Message();
    EXPECT_EQ("Wrong administrator password input!", refused.text);
    EXPECT_EQ("Error", refused.caption);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(2u, Sent(mark).size()) << "two checks and no setting";

    mark = SimLogMark();
    Apply();
    ASSERT_TRUE(Login("open-sesame"));
    ASSERT_TRUE(Idle());
    const std::vector<json> sent = Sent(mark);
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ(HexOf("admin") + "55aa" + HexOf("open-sesame"), sent[1]["data"]);
    EXPECT_EQ(1, sent[2]["subcode"]);
    EXPECT_NE(std::string::npos, winauto::GetText(U().window).find("Kavron")) << "the window is back";
    const auto addresses = Addresses();
    EXPECT_NE(addresses.end(), std::find(addresses.begin(), addresses.end(), "198.51.100.71"));
}

TEST_F(SettingsEndToEnd, ALateQueryAnswerIsNeverTakenForTheVerdict)
{
    // Apply at once after the selection: Slow's SSL answer ("1", which would read as
    // "accepted") is still on its way and comes before the verdict would. The password
    // is asked for all the same, and no setting goes out before it is given.
    Select("Slow");
    Fields("198.51.100.74", "255.255.255.0", "198.51.100.1");
    const size_t mark = SimLogMark();
    Apply();
    ASSERT_NE(nullptr, winauto::WaitForDialog("Login", U().ProcessId(), U().window, 20000)) << "no password asked";
    std::vector<json> sent = Sent(mark);
    ASSERT_EQ(1u, sent.size()) << "the empty password's check alone";
    EXPECT_EQ(3, sent[0]["opcode"]);
    ASSERT_TRUE(Login("slow-pass"));
    ASSERT_TRUE(Idle());
    sent = Sent(mark);
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ(HexOf("admin") + "55aa" + HexOf("slow-pass"), sent[1]["data"]);
    EXPECT_EQ(5, sent[2]["opcode"]);
    EXPECT_EQ(HexOf("198.51.100.74"), sent[2]["data"]);
}

TEST_F(SettingsEndToEnd, DhcpEnabledShowsItsMessageAndTheAddressTheDeviceReported)
{
    Select("Desk");
    SendMessageA(U().Item(IDC_RECEIVE_DHCP), CB_SETCURSEL, 1, 0);  // "Enable"
    Apply();
    const winauto::MessageBoxText done = Message();
    EXPECT_EQ("DHCP client enabled.", done.text);
    EXPECT_EQ("Confirm", done.caption);
    ASSERT_TRUE(Idle());
    const auto addresses = Addresses();
    EXPECT_NE(addresses.end(), std::find(addresses.begin(), addresses.end(), "198.51.100.77"));
    EXPECT_EQ(addresses.end(), std::find(addresses.begin(), addresses.end(), "198.51.100.60"));
}

TEST_F(SettingsEndToEnd, TwoPortDeviceGetsItsWholePortTable)
{
    Select("Twin");
    SetField(IDC_IP_ADDRESS, "198.51.100.72");
    const size_t mark = SimLogMark();
    Apply();
    ASSERT_TRUE(Idle());
    const std::vector<json> sent = Sent(mark);
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(21, sent[1]["subcode"]);
    const std::string data = sent[1]["data"];
    ASSERT_EQ(240u, data.size()) << "exactly 120 bytes";
    EXPECT_EQ(HexOf("LAN1"), data.substr(0, 8));
    EXPECT_EQ(HexOf("198.51.100.72"), data.substr(20, 26));
    EXPECT_EQ(HexOf("LAN2"), data.substr(120, 8));
    EXPECT_EQ(HexOf("203.0.113.62"), data.substr(140, 24));
}

TEST_F(SettingsEndToEnd, SilentDeviceReleasesTheWindowAfterTheTransactionsLimit)
{
    Select("Mute");
    Fields("198.51.100.73", "255.255.255.0", "198.51.100.1");
    const DWORD start = GetTickCount();
    Apply();
    ASSERT_TRUE(Idle(90000));
    const DWORD elapsed = GetTickCount() - start;
    // About 33 s of waiting, the check and the refresh around it.
    EXPECT_GE(elapsed, 33000u);
    EXPECT_LE(elapsed, 50000u);
    const auto addresses = Addresses();
    EXPECT_NE(addresses.end(), std::find(addresses.begin(), addresses.end(), "198.51.100.63"));
}

TEST_F(SettingsEndToEnd, WindowMovesAndAnswersWhileAnAddressChangeGoesUnanswered)
{
    Select("Mute");
    Fields("198.51.100.74", "255.255.255.0", "198.51.100.1");
    const size_t mark = SimLogMark();
    Apply();
    const auto pending = [&] {
        for (const json& line : Sent(mark))
            if (line.value("opcode", 0) == 5 && line.value("subcode", 0) == 1)
                return true;
        return false;
    };
    ASSERT_TRUE(WaitFor(pending, 20000)) << "the address change was never sent";

    // Moved from outside as the system's move would move it: the window's thread
    // takes the move and answers at once, and the change is still waited for.
    RECT before{};
    GetWindowRect(U().window, &before);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(SetWindowPos(U().window, nullptr, before.left + 40, before.top + 30, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(U().window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer));
    EXPECT_LT(GetTickCount() - start, 1000u) << "the move waited for the change";
    RECT after{};
    GetWindowRect(U().window, &after);
    EXPECT_EQ(before.left + 40, after.left);
    EXPECT_EQ(before.top + 30, after.top);
    static const UINT busyQuery = RegisterWindowMessageA("KavronBusyQuery");
    ASSERT_TRUE(SendMessageTimeoutA(U().window, busyQuery, 0, 0, SMTO_NORMAL, 100, &answer));
    EXPECT_EQ(1u, answer) << "the change is still pending";
    ASSERT_TRUE(Idle(90000));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunEndToEndTests(argc, argv);
}
