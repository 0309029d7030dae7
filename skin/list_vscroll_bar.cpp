#include "skin/list_vscroll_bar.h"

#include <windowsx.h>

#include "res/resource.h"
#include "skin/list_scroll.h"
#include "skin/paint_messages.h"

namespace {
bool InColumn(int x)
{
    return x >= 0 && x < 17;
}
}  // namespace

ListVScrollBar::ListVScrollBar() = default;

void ListVScrollBar::LoadPictures()
{
    if (up_)
        return;
    up_ = LoadBitmapResource(IDB_VSCROLL_UP);
    down_ = LoadBitmapResource(IDB_VSCROLL_DOWN);
    track_ = LoadBitmapResource(IDB_VSCROLL_TRACK);
    thumb_ = LoadBitmapResource(IDB_VSCROLL_THUMB);
    upGrey_ = LoadBitmapResource(IDB_VSCROLL_UP_GREY);
    downGrey_ = LoadBitmapResource(IDB_VSCROLL_DOWN_GREY);
    trackGrey_ = LoadBitmapResource(IDB_VSCROLL_TRACK_GREY);
}

void ListVScrollBar::PreSubclassWindow()
{
    LoadPictures();
    Static::PreSubclassWindow();
}

int ListVScrollBar::Height() const
{
    return ClientRect().bottom;
}

bool ListVScrollBar::InUpPressZone(int x, int y) const
{
    return InColumn(x) && y >= 11 && y < 17;
}
bool ListVScrollBar::InUpReleaseZone(int x, int y) const
{
    return InColumn(x) && y >= 11 && y < 26;
}

bool ListVScrollBar::InDownZone(int x, int y) const
{
    const int h = Height();
    return InColumn(x) && y >= h - 37 && y < h - 11;
}

bool ListVScrollBar::InThumb(int x, int y) const
{
    return InColumn(x) && y >= thumbTop && y < thumbTop + 26;
}

void ListVScrollBar::Clamp()
{
    const int h = Height();
    // As soon as the thumb nears the end it jumps to its lowest place.
    if (thumbTop + 26 > h - 40)
        thumbTop = h - 38;
    if (thumbTop < 20)
        thumbTop = 20;
}

void ListVScrollBar::Resync()
{
    const ListScrollPosition s = ReadListScroll(list, SB_VERT);
    if (s.limit > 0) {
        ratio = static_cast<double>(Height() - 80) / s.limit;
        thumbTop = TruncateToInt(ratio * s.pos) + 20;
    } else {
        ratio = 0;
        thumbTop = 20;
    }
    Clamp();
    PaintNow();
}

void ListVScrollBar::Step(int code)
{
    if (list)
        SendMessageA(list, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    Resync();
}

void ListVScrollBar::LineUp()
{
    Step(SB_LINEUP);
}
void ListVScrollBar::LineDown()
{
    Step(SB_LINEDOWN);
}
void ListVScrollBar::PageUp()
{
    Step(SB_PAGEUP);
}
void ListVScrollBar::PageDown()
{
    Step(SB_PAGEDOWN);
}

void ListVScrollBar::PaintNow()
{
    if (!hwnd || !IsWindowVisible(hwnd))
        return;
    ClientDC dc(hwnd);
    if (dc)
        Paint(dc.get());
}

void ListVScrollBar::Paint(HDC target)
{
    LoadPictures();
    const RECT client = ClientRect();
    const int w = client.right;
    const int h = client.bottom;
    if (w <= 0 || h <= 0)
        return;
    BackBuffer buf(target, w, h);
    if (!buf)
        return;
    HDC dc = buf.dc();
    FillSolidRect(dc, client, RGB(0, 0, 0));
    const bool canScroll = ReadListScroll(list, SB_VERT).limit != 0;
    StretchBitmap(dc, 0, 9, 18, h - 18, canScroll ? track_.get() : trackGrey_.get(), 0, 0, 18, 1);
    DrawBitmap(dc, 0, 0, 14, 18, canScroll ? up_.get() : upGrey_.get());
    DrawBitmap(dc, 0, h - 16, 14, 18, canScroll ? down_.get() : downGrey_.get());
    if (canScroll)
        DrawBitmap(dc, 0, thumbTop - 4, 14, 26, thumb_.get());
    buf.CopyTo(target);
}

LRESULT ListVScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HandlePaintMessage(*this, msg, wParam))
        return 0;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the static class sends a quick second click as this
        SetCapture(hwnd);
        if (InThumb(x, y))
            thumbPressed = true;
        if (InDownZone(x, y)) {
            downPressed = true;
            SetTimer(hwnd, kDelayTimer, 250, nullptr);
        }
        if (InUpPressZone(x, y)) {
            upPressed = true;
            SetTimer(hwnd, kDelayTimer, 250, nullptr);
        }
        return DefaultProc(msg, wParam, lParam);

    case WM_TIMER:
        if (wParam == kDelayTimer) {
            if (upPressed || downPressed) {
                KillTimer(hwnd, kDelayTimer);
                SetTimer(hwnd, kRepeatTimer, 50, nullptr);
            }
        } else if (wParam == kRepeatTimer) {
            if (downPressed)
                LineDown();
            if (upPressed)
                LineUp();
        }
        return DefaultProc(msg, wParam, lParam);

    case WM_LBUTTONUP: {
        Resync();
        KillTimer(hwnd, kRepeatTimer);
        KillTimer(hwnd, kDelayTimer);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        bool stepped = false;
        if (InUpReleaseZone(x, y) && upPressed) {
            LineUp();
            stepped = true;
        }
        if (InDownZone(x, y) && downPressed) {
            LineDown();
            stepped = true;
        }
        if (!stepped && !InThumb(x, y) && !thumbPressed) {
            if (thumbTop < y)
                PageDown();
            else
                PageUp();
        }
        thumbPressed = upPressed = downPressed = false;
        return DefaultProc(msg, wParam, lParam);
    }

    case WM_MOUSEMOVE:
        if (thumbPressed) {
            thumbTop = y - 13;
            const ListScrollPosition s = ReadListScroll(list, SB_VERT);
            ratio = s.limit > 0 ? static_cast<double>(Height() - 80) / s.limit : 0;
            if (ratio > 0) {
                RECT row = {};
                row.left = LVIR_BOUNDS;
                SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
                const int rowHeight = row.bottom - row.top;
                const int rows = TruncateToInt((thumbTop - 20) / ratio) - s.pos;
                SendMessageA(list, LVM_SCROLL, 0, static_cast<LPARAM>(rowHeight * rows));
            }
            Clamp();
            PaintNow();
        }
        return DefaultProc(msg, wParam, lParam);

    default:
        return DefaultProc(msg, wParam, lParam);
    }
}
