#include "skin/list_vscroll_bar.h"

#include "res/resource.h"

namespace {

// Every zone spans x 0 to 16. The bar is 14 pixels wide, so the last three
// columns only count for a release while the bar holds the capture.
constexpr int kZoneWidth = 17;
// The up arrow answers to a shorter band when pressed (y 11 to 16) than when
// released (y 11 to 25). A press between y 17 and the thumb therefore starts no
// stepping, and its release, which falls on no arrow it pressed, pages up.
constexpr int kUpArrowTop = 11;
constexpr int kUpArrowPressBottom = 17;
constexpr int kUpArrowReleaseBottom = 26;
// The down arrow, counted up from the bar's bottom end.
constexpr int kDownArrowTopFromEnd = 37;
constexpr int kDownArrowBottomFromEnd = 11;
constexpr int kThumbLength = 26;

// The thumb's hit zone starts at y 20 for the list's first row and moves
// (h - 80) / limit pixels per row; a drag maps the pointer back through the same
// numbers, so a dragged thumb lands where Resync would put it (to the row).
constexpr int kTravelInset = 80;
constexpr int kTravelOrigin = 20;
// A dragged thumb is held by its middle.
constexpr int kGrabOffset = kThumbLength / 2;
// As soon as the thumb's end passes h - 40 it jumps to its lowest place, h - 38,
// where its picture ends on the down arrow's.
constexpr int kSnapEndFromEnd = 40;
constexpr int kLowestThumbFromEnd = 38;
constexpr int kThumbMin = 20;
constexpr int kInitialThumb = 14;

// Pictures. The bar is 14 wide; the 18-wide track strip is cut at its edge.
constexpr int kBarWidth = 14;
constexpr int kArrowLength = 18;
constexpr int kDownArrowAtFromEnd = 16;  // its last two rows fall below the bar
constexpr int kTrackFrom = 9;
constexpr int kTrackToFromEnd = 9;
constexpr int kTrackWidth = 18;
constexpr int kThumbPictureOffset = -4;  // the picture starts 4 pixels above the hit zone

const ListScrollBar::Axis& VerticalAxis()
{
    static const ListScrollBar::Axis axis = [] {
        ListScrollBar::Axis a = {};
        a.vertical = true;
        a.listBar = SB_VERT;
        a.scrollMessage = WM_VSCROLL;
        a.lineBack = SB_LINEUP;
        a.lineForward = SB_LINEDOWN;
        a.pageBack = SB_PAGEUP;
        a.pageForward = SB_PAGEDOWN;

        a.zoneAcross = kZoneWidth;
        a.backPressZone = {{kUpArrowTop, false}, {kUpArrowPressBottom, false}};
        a.backReleaseZone = {{kUpArrowTop, false}, {kUpArrowReleaseBottom, false}};
        a.forwardZone = {{-kDownArrowTopFromEnd, true}, {-kDownArrowBottomFromEnd, true}};
        a.releaseStepNeedsPress = true;
        a.thumbLength = kThumbLength;

        a.syncInset = kTravelInset;
        a.syncOrigin = kTravelOrigin;
        a.dragInset = kTravelInset;
        a.dragOrigin = kTravelOrigin;
        a.grabOffset = kGrabOffset;
        a.dragByRows = true;  // a report list scrolls vertically by rows

        a.snapAfter = {-kSnapEndFromEnd - kThumbLength, true};
        a.snapTo = {-kLowestThumbFromEnd, true};
        a.thumbMin = kThumbMin;
        a.initialThumb = kInitialThumb;

        a.background = RGB(0, 0, 0);
        a.track = {
            IDB_VSCROLL_TRACK, IDB_VSCROLL_TRACK_GREY, {{kTrackFrom, false}, {-kTrackToFromEnd, true}}, kTrackWidth, 1,
            kTrackWidth};
        a.backArrow = {IDB_VSCROLL_UP, IDB_VSCROLL_UP_GREY, {0, false}, kArrowLength, kBarWidth};
        a.forwardArrow = {
            IDB_VSCROLL_DOWN, IDB_VSCROLL_DOWN_GREY, {-kDownArrowAtFromEnd, true}, kArrowLength, kBarWidth};
        a.thumb = {IDB_VSCROLL_THUMB, 0, {kThumbPictureOffset, false}, kThumbLength, kBarWidth};
        return a;
    }();
    return axis;
}

}  // namespace

ListVScrollBar::ListVScrollBar() : ListScrollBar(VerticalAxis()) {}
