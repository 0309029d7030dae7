#include "skin/list_scroll_bar.h"

#include <windowsx.h>
#include <commctrl.h>

#include "framework/dpi.h"
#include "skin/list_scroll.h"
#include "skin/paint_messages.h"
#include "skin/skin_pictures.h"

ListScrollBar::ListScrollBar(const Axis& axis) : thumb_(axis.initialThumb), axis_(axis) {}

void ListScrollBar::LoadPictures()
{
    const UINT dpi = WindowDpi(hwnd);
    if (picturesDpi_ == dpi)
        return;
    picturesDpi_ = dpi;
    auto load = [dpi](Bitmaps& bitmaps, int id, int greyId) {
        bitmaps.normal = LoadSharedSkinPicture(id, dpi);
        if (greyId)
            bitmaps.grey = LoadSharedSkinPicture(greyId, dpi);
    };
    load(trackBitmaps_, axis_.track.bitmap, axis_.track.greyBitmap);
    load(backBitmaps_, axis_.backArrow.bitmap, axis_.backArrow.greyBitmap);
    load(forwardBitmaps_, axis_.forwardArrow.bitmap, axis_.forwardArrow.greyBitmap);
    load(thumbBitmaps_, axis_.thumb.bitmap, axis_.thumb.greyBitmap);
}

void ListScrollBar::PreSubclassWindow()
{
    LoadPictures();
    Window::PreSubclassWindow();
}

int ListScrollBar::ToBase(int pixels) const
{
    const UINT dpi = picturesDpi_ ? picturesDpi_ : kBaseDpi;
    return MulDiv(pixels, static_cast<int>(kBaseDpi), static_cast<int>(dpi));
}

int ListScrollBar::Length() const
{
    const RECT client = ClientRect();
    return ToBase(axis_.vertical ? client.bottom : client.right);
}

bool ListScrollBar::InZone(const Span& span, int along, int across) const
{
    return across >= 0 && across < axis_.zoneAcross && span.Contains(along, Length());
}

bool ListScrollBar::InThumb(int along, int across) const
{
    return across >= 0 && across < axis_.zoneAcross && along >= thumb_ && along < thumb_ + axis_.thumbLength;
}

void ListScrollBar::Clamp()
{
    const int length = Length();
    if (thumb_ > axis_.snapAfter.At(length))
        thumb_ = axis_.snapTo.At(length);
    if (thumb_ < axis_.thumbMin)
        thumb_ = axis_.thumbMin;
}

void ListScrollBar::Resync()
{
    const ListScrollPosition s = ReadListScroll(list, axis_.listBar);
    if (s.limit > 0) {
        scale_ = static_cast<double>(Length() - axis_.syncInset) / s.limit;
        thumb_ = TruncateToInt(scale_ * s.pos) + axis_.syncOrigin;
    } else {
        // Nothing to scroll: no scale to compute, the thumb rests at the start.
        scale_ = 0;
        thumb_ = axis_.syncOrigin;
    }
    Clamp();
    PaintNow();
}

void ListScrollBar::Step(int code)
{
    if (list)
        SendMessageA(list, axis_.scrollMessage, MAKEWPARAM(code, 0), 0);
    Resync();
}

void ListScrollBar::Drag(int along)
{
    thumb_ = along - axis_.grabOffset;
    const ListScrollPosition s = ReadListScroll(list, axis_.listBar);
    scale_ = s.limit > 0 ? static_cast<double>(Length() - axis_.dragInset) / s.limit : 0;
    // Scale 0: the list cannot scroll. Below 0: the bar is too short for any thumb
    // travel, and dividing by it would scroll the list against the pointer.
    if (scale_ > 0) {
        int distance = TruncateToInt((thumb_ - axis_.dragOrigin) / scale_) - s.pos;
        if (axis_.dragByRows) {
            RECT row = {};
            row.left = LVIR_BOUNDS;
            SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
            distance *= row.bottom - row.top;
        }
        if (axis_.vertical)
            SendMessageA(list, LVM_SCROLL, 0, static_cast<LPARAM>(distance));
        else
            SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(distance), 0);
    }
    Clamp();
    PaintNow();
}

void ListScrollBar::StopTimers()
{
    KillTimer(hwnd, kRepeatTimer);
    KillTimer(hwnd, kDelayTimer);
}

void ListScrollBar::ClearPress()
{
    backPressed_ = forwardPressed_ = thumbPressed = dragging = false;
    pressing_ = false;
}

void ListScrollBar::ReleaseOwnCapture()
{
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

void ListScrollBar::CancelPress()
{
    StopTimers();
    if (pressing_)
        pressCancelled_ = true;
    ClearPress();
}

void ListScrollBar::Press(int along, int across)
{
    SetCapture(hwnd);
    pressing_ = true;
    pressCancelled_ = false;
    if (InThumb(along, across))
        thumbPressed = true;
    if (InZone(axis_.forwardZone, along, across)) {
        forwardPressed_ = true;
        SetTimer(hwnd, kDelayTimer, kDelayMs, nullptr);
    }
    if (InZone(axis_.backPressZone, along, across)) {
        backPressed_ = true;
        SetTimer(hwnd, kDelayTimer, kDelayMs, nullptr);
    }
}

void ListScrollBar::Release(int along, int across)
{
    if (pressCancelled_) {
        // The press this release ends was cancelled: no step, no page.
        pressCancelled_ = false;
        Resync();
        StopTimers();
        ReleaseOwnCapture();
        return;
    }
    // Read the press and end it before giving the capture back: ReleaseCapture
    // sends WM_CAPTURECHANGED, which would otherwise cancel this very press.
    const bool backHeld = backPressed_;
    const bool forwardHeld = forwardPressed_;
    const bool thumbHeld = thumbPressed;
    ClearPress();
    Resync();
    StopTimers();
    ReleaseOwnCapture();

    bool stepped = false;
    if (InZone(axis_.backReleaseZone, along, across) && (backHeld || !axis_.releaseStepNeedsPress)) {
        LineBack();
        stepped = true;
    }
    if (InZone(axis_.forwardZone, along, across) && (forwardHeld || !axis_.releaseStepNeedsPress)) {
        LineForward();
        stepped = true;
    }
    if (!stepped && !InThumb(along, across) && !thumbHeld) {
        if (thumb_ < along)
            PageForward();
        else
            PageBack();
    }
}

void ListScrollBar::OnTimer(UINT_PTR id)
{
    if (id == kDelayTimer) {
        if (backPressed_ || forwardPressed_) {
            KillTimer(hwnd, kDelayTimer);
            SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
        }
    } else if (id == kRepeatTimer) {
        if (forwardPressed_)
            LineForward();
        if (backPressed_)
            LineBack();
    }
}

void ListScrollBar::PaintNow()
{
    if (!hwnd || !IsWindowVisible(hwnd))
        return;
    ClientDC dc(hwnd);
    if (dc)
        Paint(dc.get());
}

ListScrollBar::Box ListScrollBar::Place(int along, int across, int alongSize, int acrossSize) const
{
    const UINT dpi = picturesDpi_ ? picturesDpi_ : kBaseDpi;
    const RECT base = axis_.vertical ? RECT{across, along, across + acrossSize, along + alongSize}
                                     : RECT{along, across, along + alongSize, across + acrossSize};
    const RECT r = ScaleRectToDpi(base, dpi);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ListScrollBar::DrawPicture(HDC dc, const Picture& picture, const Bitmaps& bitmaps, int at, bool canScroll) const
{
    HBITMAP bitmap = bitmaps.For(canScroll);
    if (!bitmap)
        return;
    const Box box = Place(at, 0, picture.along, picture.across);
    DrawBitmap(dc, box.x, box.y, box.width, box.height, bitmap);
}

void ListScrollBar::Paint(HDC target)
{
    LoadPictures();
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0)
        return;
    BackBuffer buf(target, client.right, client.bottom);
    if (!buf)
        return;
    HDC dc = buf.dc();
    FillSolidRect(dc, client, axis_.background);
    const bool canScroll = ReadListScroll(list, axis_.listBar).limit != 0;
    const int length = Length();

    const StretchedPicture& track = axis_.track;
    const int trackFrom = track.span.from.At(length);
    const int trackLength = track.span.to.At(length) - trackFrom;
    // A bar shorter than its arrows has no track: a negative extent would mirror
    // the stretch instead of drawing nothing.
    HBITMAP trackBitmap = trackBitmaps_.For(canScroll);
    if (trackLength > 0 && trackBitmap) {
        const Box box = Place(trackFrom, 0, trackLength, track.across);
        // The strip is the same all along: its first 100 % pixel's worth, stretched.
        const Box source = Place(0, 0, track.sourceAlong, track.sourceAcross);
        StretchBitmap(dc, box.x, box.y, box.width, box.height, trackBitmap, 0, 0, source.width > 0 ? source.width : 1,
                      source.height > 0 ? source.height : 1);
    }
    DrawPicture(dc, axis_.backArrow, backBitmaps_, axis_.backArrow.at.At(length), canScroll);
    DrawPicture(dc, axis_.forwardArrow, forwardBitmaps_, axis_.forwardArrow.at.At(length), canScroll);
    if (canScroll)
        DrawPicture(dc, axis_.thumb, thumbBitmaps_, thumb_ + axis_.thumb.at.offset, true);
    buf.CopyTo(target);
}

LRESULT ListScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HandlePaintMessage(*this, msg, wParam))
        return 0;
    const int x = ToBase(GET_X_LPARAM(lParam));
    const int y = ToBase(GET_Y_LPARAM(lParam));
    const int along = axis_.vertical ? y : x;
    const int across = axis_.vertical ? x : y;
    switch (msg) {
    case WM_DPICHANGED_AFTERPARENT:
        LoadPictures();
        Resync();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the static class sends a quick second click as this
        Press(along, across);
        break;
    case WM_MOUSEMOVE:
        if (thumbPressed)
            dragging = true;
        if (dragging)
            Drag(along);
        break;
    case WM_LBUTTONUP:
        Release(along, across);
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_CAPTURECHANGED:
        // lParam is the window that takes the capture; a SetCapture of our own
        // (a second press) does not end the press.
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            CancelPress();
        break;
    case WM_CANCELMODE:
        // Sent to end modes such as a capture, for one when a dialog or message
        // box comes up. (Where it reaches only the active window, its default
        // handling releases the capture, which reaches the bar as above.)
        CancelPress();
        ReleaseOwnCapture();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}
