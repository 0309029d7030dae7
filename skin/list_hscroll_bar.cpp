#include "skin/list_hscroll_bar.h"

#include "res/resource.h"

namespace {

// Every zone spans y 0 to 19. The bar is 14 pixels high, so the rows below it only
// count for a release while the bar holds the capture.
constexpr int kZoneHeight = 20;
// Both arrows answer to the same 26 pixels at press and at release, and a release
// on an arrow steps even when the press started elsewhere on the bar.
constexpr int kArrowZoneLength = 26;
constexpr int kThumbLength = 26;

// The thumb's travel, computed two ways. Resync maps the list's position onto
// w - 60 pixels from x 20; a drag maps the thumb back onto the list through w - 75
// pixels from x 25. The two are not each other's inverse: a thumb dragged to x t
// scrolls the list to where Resync puts it at 20 + (t - 25) (w - 60) / (w - 75).
// While the pointer moves the thumb stays under it (at x - 13); at the release it
// jumps by (t - 25) 15 / (w - 75) - 5 pixels: 5 to the left near the start of the
// track, none a third of the way along, and up to 10 to the right where the drag
// reaches the end of the list (t = w - 50), and the clamp then snaps it on to w - 38.
constexpr int kSyncInset = 60;
constexpr int kSyncOrigin = 20;
constexpr int kDragInset = 75;
constexpr int kDragOrigin = 25;
// A dragged thumb is held by its middle.
constexpr int kGrabOffset = kThumbLength / 2;
// A thumb past w - 42 snaps to w - 38, where its picture ends under the right
// arrow; the computed position at the list's end, w - 40, is past it.
constexpr int kSnapAfterFromEnd = 42;
constexpr int kLowestThumbFromEnd = 38;
constexpr int kThumbMin = 20;
constexpr int kInitialThumb = 25;

// Pictures. The bar is 14 high; the 18- and 26-row copies are cut at its edge.
constexpr int kArrowLength = 16;
constexpr int kArrowHeight = 14;
constexpr int kTrackFrom = 15;
constexpr int kTrackToFromEnd = 12;
constexpr int kTrackHeight = 18;
constexpr int kThumbPictureHeight = 26;
constexpr int kThumbPictureOffset = -4;  // the picture starts 4 pixels left of the hit zone

const ListScrollBar::Axis& HorizontalAxis()
{
    static const ListScrollBar::Axis axis = [] {
        ListScrollBar::Axis a = {};
        a.vertical = false;
        a.listBar = SB_HORZ;
        a.scrollMessage = WM_HSCROLL;
        a.lineBack = SB_LINELEFT;
        a.lineForward = SB_LINERIGHT;
        a.pageBack = SB_PAGELEFT;
        a.pageForward = SB_PAGERIGHT;

        a.zoneAcross = kZoneHeight;
        a.backPressZone = {{0, false}, {kArrowZoneLength, false}};
        a.backReleaseZone = a.backPressZone;
        a.forwardZone = {{-kArrowZoneLength, true}, {0, true}};
        a.releaseStepNeedsPress = false;
        a.thumbLength = kThumbLength;

        a.syncInset = kSyncInset;
        a.syncOrigin = kSyncOrigin;
        a.dragInset = kDragInset;
        a.dragOrigin = kDragOrigin;
        a.grabOffset = kGrabOffset;
        a.dragByRows = false;  // a report list scrolls sideways by pixels

        a.snapAfter = {-kSnapAfterFromEnd, true};
        a.snapTo = {-kLowestThumbFromEnd, true};
        a.thumbMin = kThumbMin;
        a.initialThumb = kInitialThumb;

        a.background = RGB(255, 255, 255);
        a.track = {
            IDB_HSCROLL_TRACK, IDB_HSCROLL_TRACK_GREY, {{kTrackFrom, false}, {-kTrackToFromEnd, true}}, kTrackHeight, 1,
            kTrackHeight};
        a.backArrow = {IDB_HSCROLL_LEFT, IDB_HSCROLL_LEFT_GREY, {0, false}, kArrowLength, kArrowHeight};
        a.forwardArrow = {IDB_HSCROLL_RIGHT, IDB_HSCROLL_RIGHT_GREY, {-kArrowLength, true}, kArrowLength, kArrowHeight};
        a.thumb = {IDB_HSCROLL_THUMB, 0, {kThumbPictureOffset, false}, kThumbLength, kThumbPictureHeight};
        return a;
    }();
    return axis;
}

}  // namespace

ListHScrollBar::ListHScrollBar() : ListScrollBar(HorizontalAxis()) {}
