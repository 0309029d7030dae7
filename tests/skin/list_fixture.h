// A SkinListCtrl on the test dialog: four columns as wide as the device list's
// (349 pixels in a 200-pixel list, so it scrolls sideways) and a number of rows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/gdi.h"
#include "skin/skin_list_ctrl.h"
#include "skin_fixture.h"

class ListFixture : public SkinFixture {
protected:
    void SetUpList(int rows, int width = 200, int height = 160)
    {
        HWND h = Item(IDC_SKIN_LIST);
        Place(h, 10, 60, width, height);
        ASSERT_TRUE(list.SubclassWindow(h));
        ASSERT_TRUE(list.AttachScrollBars());
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        const char* names[] = {"Name", "IP", "Netmask", "Gateway"};
        const int widths[] = {94, 85, 85, 85};
        for (int i = 0; i < 4; ++i)
            list.InsertColumn(i, names[i], LVCFMT_LEFT, widths[i]);
        // Wine redraws a visible list's frame on every insert; fill it in one go.
        list.Send(WM_SETREDRAW, FALSE);
        for (int i = 0; i < rows; ++i) {
            std::string name = "Device " + std::to_string(i);
            list.InsertItem(i, name.c_str());
            list.SetItemText(i, 1, "198.51.100.2");
        }
        list.Send(WM_SETREDRAW, TRUE);
        list.Invalidate();
        PumpMessages();
        list.PositionScrollBars();
    }
    int Top() const { return list.GetTopIndex(); }
    // Read as the bars read it: the list's own bars are flat scroll bars.
    int HPos() const { return FlatSB_GetScrollPos(list.hwnd, SB_HORZ); }
    int VLimit() const { return list.GetItemCount() - list.GetCountPerPage(); }
    int BarHeight() const { return list.vBar.ClientRect().bottom; }
    int BarWidth() const { return list.hBar.ClientRect().right; }
    // Scrolls the list by rows, the way the keyboard or the wheel would.
    void ScrollRows(int rows)
    {
        RECT r = {};
        list.GetItemRect(0, &r, LVIR_BOUNDS);
        list.Scroll(0, rows * (r.bottom - r.top));
        PumpMessages();
    }

    // True when `h` has timer `id` running. The timer stays set but is pushed far
    // into the future, so that only the WM_TIMER messages a test sends arrive and
    // a slow machine cannot add steps of its own.
    static bool TimerArmed(HWND h, UINT_PTR id)
    {
        if (!KillTimer(h, id))
            return false;
        SetTimer(h, id, kFarFuture, nullptr);
        return true;
    }
    static void Tick(HWND h, UINT_PTR id, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            SendMessageA(h, WM_TIMER, id, 0);
    }

    static constexpr UINT kFarFuture = 10 * 60 * 1000;
    SkinListCtrl list;
};
