// A SkinListCtrl on the test dialog: four columns as wide as the device list's
// (349 pixels in a 200-pixel list, so it scrolls sideways) and a number of rows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

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
    int HLimit() const
    {
        SCROLLINFO si = {sizeof si, SIF_ALL};
        FlatSB_GetScrollInfo(list.hwnd, SB_HORZ, &si);
        return si.nMax - static_cast<int>(si.nPage) + 1;
    }
    // Where the vertical bar puts its thumb for the list's top row `top`.
    int VThumbFor(int top) const
    {
        const int h = BarHeight();
        const int computed = static_cast<int>((h - 80.0) / VLimit() * top) + 20;
        return computed + 26 > h - 40 ? h - 38 : computed;
    }
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

// Records the scroll requests (WM_VSCROLL, WM_HSCROLL and their request codes) sent
// to one window of this thread while it lives.
class ScrollRequestLog {
public:
    using Request = std::pair<UINT, int>;
    explicit ScrollRequestLog(HWND target) : target_(target)
    {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    }
    ~ScrollRequestLog()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        active_ = nullptr;
    }
    ScrollRequestLog(const ScrollRequestLog&) = delete;
    ScrollRequestLog& operator=(const ScrollRequestLog&) = delete;
    bool ok() const { return hook_ != nullptr; }

    std::vector<Request> requests;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active_ && sent->hwnd == active_->target_ &&
            (sent->message == WM_VSCROLL || sent->message == WM_HSCROLL))
            active_->requests.emplace_back(sent->message, LOWORD(sent->wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline ScrollRequestLog* active_ = nullptr;
    HWND target_;
    HHOOK hook_ = nullptr;
};
