#include "skin/list_hscroll_bar.h"

#include <windowsx.h>

#include "res/resource.h"
#include "skin/list_scroll.h"
#include "skin/paint_messages.h"

ListHScrollBar::ListHScrollBar() = default;

void ListHScrollBar::LoadPictures()
{
    if (left_)
        return;
    left_ = LoadBitmapResource(IDB_HSCROLL_LEFT);
    right_ = LoadBitmapResource(IDB_HSCROLL_RIGHT);
    track_ = LoadBitmapResource(IDB_HSCROLL_TRACK);
    thumb_ = LoadBitmapResource(IDB_HSCROLL_THUMB);
    leftGrey_ = LoadBitmapResource(IDB_HSCROLL_LEFT_GREY);
    rightGrey_ = LoadBitmapResource(IDB_HSCROLL_RIGHT_GREY);
    trackGrey_ = LoadBitmapResource(IDB_HSCROLL_TRACK_GREY);
}

void ListHScrollBar::PreSubclassWindow()
{
    LoadPictures();
    Static::PreSubclassWindow();
}

int ListHScrollBar::Width() const
{
    return ClientRect().right;
}

bool ListHScrollBar::InLeftArrow(int x, int y) const
{
    return x >= 0 && x < 26 && y >= 0 && y < 20;
}

bool ListHScrollBar::InRightArrow(int x, int y) const
{
    const int w = Width();
    return x >= w - 26 && x < w && y >= 0 && y < 20;
}

bool ListHScrollBar::InThumb(int x, int y) const
{
    return x >= thumbX && x < thumbX + 26 && y >= 0 && y < 20;
}

void ListHScrollBar::Clamp()
{
    const int w = Width();
    // Near the right end the thumb snaps to where its picture meets the arrow.
    if (thumbX > w - 42)
        thumbX = w - 38;
    if (thumbX < 20)
        thumbX = 20;
}

void ListHScrollBar::Resync()
{
    const ListScrollPosition s = ReadListScroll(list, SB_HORZ);
    if (s.limit > 0) {
        pixelsPerUnit = static_cast<double>(Width() - 60) / s.limit;
        thumbX = TruncateToInt(pixelsPerUnit * s.pos) + 20;
    } else {
        // Nothing to scroll: no ratio to compute, the thumb rests at the start.
        pixelsPerUnit = 0;
        thumbX = 20;
    }
    Clamp();
    PaintNow();
}

void ListHScrollBar::Step(int code)
{
    if (list)
        SendMessageA(list, WM_HSCROLL, MAKEWPARAM(code, 0), 0);
    Resync();
}

void ListHScrollBar::LineLeft()
{
    Step(SB_LINELEFT);
}
void ListHScrollBar::LineRight()
{
    Step(SB_LINERIGHT);
}
void ListHScrollBar::PageLeft()
{
    Step(SB_PAGELEFT);
}
void ListHScrollBar::PageRight()
{
    Step(SB_PAGERIGHT);
}

void ListHScrollBar::PaintNow()
{
    if (!hwnd || !IsWindowVisible(hwnd))
        return;
    ClientDC dc(hwnd);
    if (dc)
        Paint(dc.get());
}

void ListHScrollBar::Paint(HDC target)
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
    FillSolidRect(dc, client, RGB(255, 255, 255));
    const bool canScroll = ReadListScroll(list, SB_HORZ).limit != 0;
    HBITMAP track = canScroll ? track_.get() : trackGrey_.get();
    HBITMAP left = canScroll ? left_.get() : leftGrey_.get();
    HBITMAP right = canScroll ? right_.get() : rightGrey_.get();
    // The pictures are 14 rows high; the 18-row copies are cut by the bar's height.
    StretchBitmap(dc, 15, 0, w - 27, 18, track, 0, 0, 1, 18);
    DrawBitmap(dc, 0, 0, 16, 14, left);
    DrawBitmap(dc, w - 16, 0, 16, 14, right);
    if (canScroll)
        DrawBitmap(dc, thumbX - 4, 0, 26, 26, thumb_.get());
    buf.CopyTo(target);
}

LRESULT ListHScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
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
        if (InRightArrow(x, y)) {
            rightPressed = true;
            SetTimer(hwnd, kDelayTimer, 250, nullptr);
        }
        if (InLeftArrow(x, y)) {
            leftPressed = true;
            SetTimer(hwnd, kDelayTimer, 250, nullptr);
        }
        return DefaultProc(msg, wParam, lParam);

    case WM_MOUSEMOVE:
        if (thumbPressed)
            dragging = true;
        if (dragging) {
            thumbX = x - 13;
            const ListScrollPosition s = ReadListScroll(list, SB_HORZ);
            pixelsPerUnit = s.limit > 0 ? static_cast<double>(Width() - 75) / s.limit : 0;
            if (pixelsPerUnit > 0) {
                const int target = TruncateToInt((thumbX - 25) / pixelsPerUnit);
                SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(target - s.pos), 0);
            }
            Clamp();
            PaintNow();
        }
        return DefaultProc(msg, wParam, lParam);

    case WM_LBUTTONUP: {
        Resync();
        KillTimer(hwnd, kRepeatTimer);
        KillTimer(hwnd, kDelayTimer);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        const bool onLeft = InLeftArrow(x, y);
        const bool onRight = InRightArrow(x, y);
        if (onLeft)
            LineLeft();
        if (onRight)
            LineRight();
        if (!onLeft && !onRight && !InThumb(x, y) && !thumbPressed) {
            if (thumbX < x)
                PageRight();
            else
                PageLeft();
        }
        rightPressed = leftPressed = dragging = thumbPressed = false;
        return DefaultProc(msg, wParam, lParam);
    }

    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            if (rightPressed)
                LineRight();
            if (leftPressed)
                LineLeft();
        } else if (wParam == kDelayTimer) {
            if (rightPressed || leftPressed) {
                KillTimer(hwnd, kDelayTimer);
                SetTimer(hwnd, kRepeatTimer, 50, nullptr);
            }
        }
        return DefaultProc(msg, wParam, lParam);

    default:
        return DefaultProc(msg, wParam, lParam);
    }
}
