// The real utility under Wine, started and driven from a second process: its main
// window, clicks on its rows and buttons, and waits for its handlers to finish.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "wine_io.h"
#include "winauto.h"

// Set by main() from the command line.
inline std::string utilityPath;

using winauto::WaitFor;

class Utility {
public:
    // Starts the utility and, unless told not to, waits for its main window. Two
    // instances meant to start within one second are launched first and waited for
    // afterwards.
    explicit Utility(bool awaitWindow = true) : process_(WindowsPath(utilityPath))
    {
        if (awaitWindow)
            AwaitWindow();
    }
    // The window shows before its first discovery has ended: waits for that too.
    bool AwaitWindow()
    {
        if (process_.handle())
            window = winauto::WaitForWindow("Kavron Storage Utility", process_.id(), 60000);
        return window != nullptr && winauto::WaitIdle(window, 60000);
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    DWORD WaitExit(int timeoutMs) const { return process_.WaitExit(timeoutMs); }
    // Clicks a row and waits until the selection handler's transactions are done:
    // first until the handler has shown the row's address (so it is running or
    // done), then until the window's thread is idle again.
    void ClickDevice(int row)
    {
        HWND list = Item(IDC_DEVICE_LIST);
        const std::string ip = winauto::ReadListView(list).at(static_cast<size_t>(row)).cells.at(1);
        ASSERT_TRUE(winauto::ClickListRow(list, row));
        ASSERT_TRUE(WaitFor([&] { return winauto::ReadIpAddress(Item(IDC_IP_ADDRESS)).Dotted() == ip; }))
            << "the click on " << ip << " was not handled";
        ASSERT_TRUE(winauto::WaitIdle(window, 30000));
    }
    int RowOf(const std::string& name) const
    {
        const auto rows = winauto::ReadListView(Item(IDC_DEVICE_LIST));
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].cells[0] == name)
                return static_cast<int>(i);
        return -1;
    }

    DWORD ProcessId() const { return process_.id(); }

    // The texts of one column of a list, top row first.
    std::vector<std::string> Column(int listId, int column) const
    {
        std::vector<std::string> cells;
        for (const auto& row : winauto::ReadListView(Item(listId)))
            cells.push_back(row.cells.at(static_cast<size_t>(column)));
        return cells;
    }
    // Types a dotted address into an address field of the LAN panel.
    void SetAddress(int id, const char* dotted) const
    {
        unsigned a = 0, b = 0, c = 0, d = 0;
        ASSERT_EQ(4, std::sscanf(dotted, "%u.%u.%u.%u", &a, &b, &c, &d)) << dotted;
        SendMessageA(Item(id), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
    }
    void SetAddresses(const char* ip, const char* netmask, const char* gateway) const
    {
        SetAddress(IDC_IP_ADDRESS, ip);
        SetAddress(IDC_NETMASK, netmask);
        SetAddress(IDC_GATEWAY, gateway);
    }
    // The next message box the utility shows, answered with OK.
    winauto::MessageBoxText AnswerMessage(int timeoutMs = 40000) const
    {
        winauto::MessageBoxText box = winauto::WaitForMessageBox(process_.id(), timeoutMs, window);
        if (box.window)
            PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return box;
    }
    bool Idle(int timeoutMs = 60000) const { return winauto::WaitIdle(window, timeoutMs); }

    HWND window = nullptr;

private:
    winauto::StartedProcess process_;
};

// A test that starts a fresh utility before each case and picks devices by name.
class UtilityTest : public testing::Test {
protected:
    void SetUp() override
    {
        utility_ = std::make_unique<Utility>();
        ASSERT_NE(nullptr, utility_->window) << "the main window never appeared";
    }
    Utility& U() { return *utility_; }
    // Clicks the device's row and waits for the selection's transactions.
    void Select(const char* name)
    {
        const int row = U().RowOf(name);
        ASSERT_GE(row, 0) << name;
        U().ClickDevice(row);
    }

    std::unique_ptr<Utility> utility_;
};

// The test program's main: gtest's flags, then the path of the utility to drive.
inline int RunEndToEndTests(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH_TO_KavronStorageUtility.exe\n", argv[0]);
        return 2;
    }
    utilityPath = argv[1];
    return RUN_ALL_TESTS();
}
