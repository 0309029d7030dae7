// ListScrollBar: what the two bitmap scroll bars of a SkinListCtrl share. A bar is
// a static control beside its list: it shows a thumb that follows the list's scroll
// position and turns clicks, held arrows and thumb drags into scroll requests that it
// sends to the list. Everything that makes a bar vertical or horizontal is data (an
// Axis): its hit zones, the thumb's travel and clamp, the pictures and where they go,
// and which scroll message and request codes it sends.
//
// Along the bar is y for the vertical bar and x for the horizontal one; "back" is the
// up or left end, "forward" the down or right end.
//
// The axis is given in 100 % pixels, and the bar works in them at every dpi: the
// pointer's position is divided by the scale on the way in, and every picture is
// placed at its 100 % box times the scale, from the pictures drawn for that scale.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skin_pictures.h"

class ListScrollBar : public Window {
public:
    enum Timer : UINT_PTR { kRepeatTimer = 1, kDelayTimer = 2 };
    // A held arrow waits kDelayMs, then steps once every kRepeatMs.
    static constexpr UINT kDelayMs = 250;
    static constexpr UINT kRepeatMs = 50;

    // A place along the bar: `offset` pixels from its start, or from its end when
    // `fromEnd` is set (the offset is then usually negative).
    struct Edge {
        int offset;
        bool fromEnd;
        int At(int length) const { return fromEnd ? length + offset : offset; }
    };
    // The pixels from `from` (included) to `to` (excluded) along the bar.
    struct Span {
        Edge from;
        Edge to;
        bool Contains(int along, int length) const { return along >= from.At(length) && along < to.At(length); }
    };
    // A picture copied 1:1, `along` x `across` pixels of it, to `at` along the bar
    // and 0 across. Copies larger than the bar are cut by the bar's edges.
    struct Picture {
        int bitmap;      // resource id while the list can scroll
        int greyBitmap;  // in its place while the list cannot; 0: not drawn then
        Edge at;
        int along;
        int across;
    };
    // A picture stretched over `span` along the bar and `across` pixels across it,
    // from a source block of sourceAlong x sourceAcross pixels at its corner.
    struct StretchedPicture {
        int bitmap;
        int greyBitmap;
        Span span;
        int across;
        int sourceAlong;
        int sourceAcross;
    };

    struct Axis {
        bool vertical;       // along the bar is y; otherwise x
        int listBar;         // SB_VERT or SB_HORZ: the list's scroll position shown
        UINT scrollMessage;  // WM_VSCROLL or WM_HSCROLL, sent with one of:
        int lineBack;
        int lineForward;
        int pageBack;
        int pageForward;

        // Hit zones. Across the bar each spans 0 to zoneAcross (excluded).
        int zoneAcross;
        Span backPressZone;    // a press here holds the back arrow
        Span backReleaseZone;  // a release here steps back
        Span forwardZone;      // the forward arrow, for both
        // A release on an arrow steps only if the press started on that arrow;
        // otherwise any release on an arrow steps.
        bool releaseStepNeedsPress;
        int thumbLength;  // the thumb's hit zone along the bar

        // List position to thumb (Resync):
        //   thumb = trunc(pos * (length - syncInset) / limit) + syncOrigin.
        int syncInset;
        int syncOrigin;
        // Dragged thumb back to a list position:
        //   pos = trunc((thumb - dragOrigin) / ((length - dragInset) / limit)).
        int dragInset;
        int dragOrigin;
        int grabOffset;   // a dragged thumb starts this far before the pointer
        bool dragByRows;  // positions are rows; LVM_SCROLL wants pixels

        // Clamp: a thumb past snapAfter goes to snapTo; then none before thumbMin.
        Edge snapAfter;
        Edge snapTo;
        int thumbMin;
        int initialThumb;

        // Painting, in this order: background fill, track, back arrow, forward
        // arrow, thumb (only while the list can scroll).
        COLORREF background;
        StretchedPicture track;
        Picture backArrow;
        Picture forwardArrow;
        Picture thumb;  // thumb.at is relative to the thumb's hit zone
    };

    // Recomputes the thumb from the list's position and repaints.
    void Resync();
    // Paints the whole bar into `dc` (off screen, copied in one step).
    void Paint(HDC dc);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    HWND list = nullptr;        // the list whose position the bar shows and changes
    bool thumbPressed = false;  // the button went down on the thumb
    bool dragging = false;      // and the pointer has moved since: the thumb follows it

protected:
    explicit ListScrollBar(const Axis& axis);

    // One request to the list, then Resync.
    void LineBack() { Step(axis_.lineBack); }
    void LineForward() { Step(axis_.lineForward); }
    void PageBack() { Step(axis_.pageBack); }
    void PageForward() { Step(axis_.pageForward); }

    bool backPressed_ = false;     // the button went down on the back arrow
    bool forwardPressed_ = false;  // ... on the forward arrow
    int thumb_;                    // start of the thumb's hit zone along the bar
    double scale_ = 0;             // pixels of thumb travel per unit of the list's range, as last computed

private:
    // A picture's two bitmaps: the normal one and the one for a list that cannot scroll.
    struct Bitmaps {
        SharedSkinPicture normal;  // shared with every other list's bar
        SharedSkinPicture grey;
        HBITMAP For(bool canScroll) const
        {
            const SharedSkinPicture& picture = canScroll ? normal : grey;
            return picture ? picture->get() : nullptr;
        }
    };
    // A block given along and across the bar, in client coordinates.
    struct Box {
        int x, y, width, height;
    };

    void Press(int along, int across);
    void Release(int along, int across);
    void Drag(int along);
    void OnTimer(UINT_PTR id);
    // The press ends without its release (the capture went elsewhere).
    void CancelPress();
    void ClearPress();
    void StopTimers();
    void ReleaseOwnCapture();
    void Step(int code);
    void Clamp();
    void PaintNow();
    int Length() const;
    bool InZone(const Span& span, int along, int across) const;
    bool InThumb(int along, int across) const;
    void LoadPictures();
    // A 100 % block along and across the bar, in the client area's pixels.
    Box Place(int along, int across, int alongSize, int acrossSize) const;
    // A client-area pixel position as 100 % pixels.
    int ToBase(int pixels) const;
    void DrawPicture(HDC dc, const Picture& picture, const Bitmaps& bitmaps, int at, bool canScroll) const;

    const Axis& axis_;
    // Between a button-down and its button-up on this bar.
    bool pressing_ = false;
    // A press lost the capture before its release: that release does nothing.
    bool pressCancelled_ = false;
    UINT picturesDpi_ = 0;  // the dpi the pictures were loaded for; 0: none yet
    Bitmaps trackBitmaps_, backBitmaps_, forwardBitmaps_, thumbBitmaps_;
};
