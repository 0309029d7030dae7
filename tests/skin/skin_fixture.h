// The skinned-control tests use a borderless test dialog on screen (WindowFromPoint
// and mouse tracking need a visible window) and drive it with real messages.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "framework/dialog.h"
#include "test_ids.h"
#include "test_support.h"

class SkinTestDialog : public Dialog {
public:
    SkinTestDialog() : Dialog(IDD_TEST_SKIN) {}
    bool OnCommand(int id, int code, HWND) override
    {
        if (code == BN_CLICKED)
            ++clicks[id];
        return true;
    }
    std::map<int, int> clicks;
};

class SkinFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(dialog.CreateModeless(Host()), nullptr);
        SetWindowPos(dialog.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        PumpMessages();
    }
    void TearDown() override { ParkCursor(); }

    // The test dialogs are children of one window that stays on screen for the
    // whole run: Wine takes two seconds to take a top-level window off an X
    // display without a window manager, and children cost nothing.
    static HWND Host()
    {
        static HWND host = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
            wc.lpszClassName = "KavronSkinTestHost";
            RegisterClassA(&wc);
            HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_CLIPCHILDREN, kLeft, kTop,
                                     800, 600, nullptr, nullptr, wc.hInstance, nullptr);
            SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            return h;
        }();
        return host;
    }

    HWND Item(int id) const { return dialog.GetItem(id); }
    // Places a control at pixel coordinates of the dialog's client area.
    void Place(HWND h, int x, int y, int w, int height) const
    {
        SetWindowPos(h, nullptr, x, y, w, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The cursor to a point of `h` (client coordinates); returns the lParam.
    static LPARAM CursorTo(HWND h, int x, int y)
    {
        POINT pt = {x, y};
        ClientToScreen(h, &pt);
        SetCursorPos(pt.x, pt.y);
        return MAKELPARAM(x, y);
    }
    // Moves the cursor and tells the window, as the system would.
    static void MoveTo(HWND h, int x, int y, WPARAM keys = 0)
    {
        SendMessageA(h, WM_MOUSEMOVE, keys, CursorTo(h, x, y));
    }
    static void Down(HWND h, int x, int y) { SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, CursorTo(h, x, y)); }
    static void Up(HWND h, int x, int y) { SendMessageA(h, WM_LBUTTONUP, 0, CursorTo(h, x, y)); }
    static void Click(HWND h, int x, int y)
    {
        Down(h, x, y);
        Up(h, x, y);
        PumpMessages();
    }
    // Somewhere on the screen where no test window is.
    static void ParkCursor() { SetCursorPos(1200, 1000); }

    static constexpr int kLeft = 60;
    static constexpr int kTop = 60;
    SkinTestDialog dialog;
};
