// The list scroll bars: thumb geometry, arrows with delay and repeat, paging,
// dragging, and the grey pictures of a list that cannot scroll.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "list_fixture.h"
#include "res/resource.h"

namespace {

class VScrollTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        SetUpList(40);
        h = BarHeight();
        ASSERT_GT(VLimit(), 10);
    }
    HWND bar() const { return list.vBar.hwnd; }
    int h = 0;
};

TEST_F(VScrollTest, BarSitsRightOfTheListAndThumbFollowsTheListFromTopToEnd)
{
    RECT lr = list.WindowRect(), br = list.vBar.WindowRect();
    EXPECT_EQ(br.left, lr.right);
    EXPECT_EQ(br.top, lr.top);
    EXPECT_EQ(br.right - br.left, 14);
    EXPECT_EQ(br.bottom - br.top, lr.bottom - lr.top - 1);

    EXPECT_EQ(list.vBar.thumbTop, 20);
    GdiBitmap thumb = LoadBitmapResource(IDB_VSCROLL_THUMB);
    GdiBitmap up = LoadBitmapResource(IDB_VSCROLL_UP);
    Capture top(bar());
    EXPECT_TRUE(top.Matches(0, 16, thumb.get(), 0, 0, 14, 26)) << "thumb drawn 4 pixels above its hit zone";
    EXPECT_TRUE(top.Matches(0, 0, up.get(), 0, 0, 14, 16));

    list.EnsureVisible(list.GetItemCount() - 1);
    PumpMessages();
    ASSERT_EQ(Top(), VLimit());
    EXPECT_EQ(list.vBar.thumbTop, h - 38);
    Capture end(bar());
    EXPECT_TRUE(end.Matches(0, h - 42, thumb.get(), 0, 0, 14, 26));

    // Just short of the end the thumb already jumps to its lowest place.
    ScrollRows(-1);
    list.vBar.Resync();
    EXPECT_EQ(list.vBar.thumbTop, VThumbFor(VLimit() - 1));
}

TEST_F(VScrollTest, ArrowClickScrollsOneLineAtRelease)
{
    Down(bar(), 5, h - 20);
    EXPECT_EQ(Top(), 0) << "the press itself scrolls nothing";
    Up(bar(), 5, h - 20);
    EXPECT_EQ(Top(), 1);
    EXPECT_NE(GetCapture(), bar());
    Click(bar(), 5, 12);
    EXPECT_EQ(Top(), 0);
}

// The timers are driven by the test's own WM_TIMER messages; TimerArmed only
// looks at which timer the bar has set.
TEST_F(VScrollTest, HeldArrowWaitsForTheDelayThenRepeatsUntilTheRelease)
{
    Down(bar(), 5, h - 20);
    EXPECT_TRUE(TimerArmed(bar(), ListVScrollBar::kDelayTimer));
    EXPECT_FALSE(TimerArmed(bar(), ListVScrollBar::kRepeatTimer));
    Tick(bar(), ListVScrollBar::kDelayTimer);
    EXPECT_EQ(Top(), 0) << "the delay only starts the repeat";
    EXPECT_FALSE(TimerArmed(bar(), ListVScrollBar::kDelayTimer));
    EXPECT_TRUE(TimerArmed(bar(), ListVScrollBar::kRepeatTimer));
    Tick(bar(), ListVScrollBar::kRepeatTimer, 3);
    EXPECT_EQ(Top(), 3);
    Up(bar(), 5, h - 20);
    EXPECT_EQ(Top(), 4) << "the release adds one more";
    EXPECT_FALSE(TimerArmed(bar(), ListVScrollBar::kRepeatTimer));
    Tick(bar(), ListVScrollBar::kRepeatTimer);
    EXPECT_EQ(Top(), 4) << "nothing is held any more";

    // A click shorter than the delay stops the delay timer too.
    Down(bar(), 5, 12);
    Up(bar(), 5, 12);
    EXPECT_EQ(Top(), 3);
    EXPECT_FALSE(TimerArmed(bar(), ListVScrollBar::kDelayTimer));
}

TEST_F(VScrollTest, TrackClicksPageOnEitherSideOfTheThumb)
{
    const int page = list.GetCountPerPage();
    Click(bar(), 5, list.vBar.thumbTop + 40);
    EXPECT_EQ(Top(), page);
    const int thumb = list.vBar.thumbTop;
    ASSERT_GT(thumb, 30);
    Click(bar(), 5, 28);
    EXPECT_EQ(Top(), 0);
}

TEST_F(VScrollTest, PressBelowTheUpArrowPagesUpInsteadOfStepping)
{
    const int page = list.GetCountPerPage();
    ScrollRows(2 * page);
    ASSERT_EQ(Top(), 2 * page);
    Down(bar(), 5, 18);
    EXPECT_FALSE(list.vBar.upPressed);
    Up(bar(), 5, 18);
    EXPECT_EQ(Top(), page);
}

TEST_F(VScrollTest, ClickThatStartedOnTheThumbNeverPages)
{
    Down(bar(), 5, list.vBar.thumbTop + 5);
    EXPECT_TRUE(list.vBar.thumbPressed);
    Up(bar(), 5, h - 45);
    EXPECT_EQ(Top(), 0);
    EXPECT_FALSE(list.vBar.thumbPressed);
}

TEST_F(VScrollTest, DraggingTheThumbScrollsTheListAsItMoves)
{
    Down(bar(), 5, 25);
    MoveTo(bar(), 5, 60, MK_LBUTTON);
    const int first = Top();
    EXPECT_GT(first, 0);
    EXPECT_EQ(first, static_cast<int>((60 - 13 - 20) / ((h - 80.0) / VLimit())));
    MoveTo(bar(), 5, 80, MK_LBUTTON);
    EXPECT_GT(Top(), first);
    Up(bar(), 5, 80);
    // On release the thumb goes where the list's position puts it.
    EXPECT_EQ(list.vBar.thumbTop, VThumbFor(Top()));
}

// A list that scrolls both ways, for what the two bars do alike.
class BothBarsTest : public VScrollTest {};

// A press that loses the capture (another window takes it, or the system cancels
// the mode) stops its timers and its drag, and the release that ends it does
// nothing; the next press works as before.
TEST_F(BothBarsTest, PressThatLosesTheCaptureStopsAndItsReleaseDoesNothing)
{
    HWND v = list.vBar.hwnd;
    Down(v, 5, h - 20);
    ASSERT_TRUE(list.vBar.downPressed);
    SetCapture(dialog.hwnd);
    EXPECT_FALSE(list.vBar.downPressed);
    EXPECT_FALSE(TimerArmed(v, ListScrollBar::kDelayTimer));
    Tick(v, ListScrollBar::kDelayTimer);
    Tick(v, ListScrollBar::kRepeatTimer, 3);
    EXPECT_FALSE(TimerArmed(v, ListScrollBar::kRepeatTimer));
    ReleaseCapture();
    Up(v, 5, h - 20);
    EXPECT_EQ(Top(), 0);

    // Cancelled by the system while the repeat runs.
    HWND hb = list.hBar.hwnd;
    const int w = BarWidth();
    Down(hb, w - 5, 5);
    Tick(hb, ListScrollBar::kDelayTimer);
    Tick(hb, ListScrollBar::kRepeatTimer);
    const int stepped = HPos();
    ASSERT_GT(stepped, 0);
    SendMessageA(hb, WM_CANCELMODE, 0, 0);
    EXPECT_NE(GetCapture(), hb);
    EXPECT_FALSE(TimerArmed(hb, ListScrollBar::kRepeatTimer));
    Tick(hb, ListScrollBar::kRepeatTimer);
    Up(hb, w - 5, 5);
    EXPECT_EQ(HPos(), stepped);

    // A thumb that lost the capture is not dragged by later moves, and its
    // release on the track does not page.
    Down(v, 5, list.vBar.thumbTop + 5);
    ASSERT_TRUE(list.vBar.thumbPressed);
    SendMessageA(v, WM_CANCELMODE, 0, 0);
    MoveTo(v, 5, 80, MK_LBUTTON);
    EXPECT_FALSE(list.vBar.dragging);
    Up(v, 5, 80);
    EXPECT_EQ(Top(), 0);

    // The bar's own ReleaseCapture at a release does not cancel that release.
    Down(v, 5, h - 20);
    Up(v, 5, h - 20);
    EXPECT_EQ(Top(), 1);
    EXPECT_NE(GetCapture(), v);
}

class HScrollTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        SetUpList(3);
        w = BarWidth();
    }
    HWND bar() const { return list.hBar.hwnd; }
    int w = 0;
};

TEST_F(HScrollTest, BarSitsBelowTheListAndThumbGoesFromStartToEnd)
{
    RECT lr = list.WindowRect(), br = list.hBar.WindowRect();
    EXPECT_EQ(br.left, lr.left);
    EXPECT_EQ(br.top, lr.bottom);
    EXPECT_EQ(br.right - br.left, lr.right - lr.left - 2);
    EXPECT_EQ(br.bottom - br.top, 14);
    ASSERT_GT(HLimit(), 0);

    EXPECT_EQ(list.hBar.thumbX, 20);
    GdiBitmap thumb = LoadBitmapResource(IDB_HSCROLL_THUMB);
    GdiBitmap left = LoadBitmapResource(IDB_HSCROLL_LEFT);
    GdiBitmap right = LoadBitmapResource(IDB_HSCROLL_RIGHT);
    Capture start(bar());
    EXPECT_TRUE(start.Matches(16, 0, thumb.get(), 0, 0, 26, 14));
    EXPECT_TRUE(start.Matches(0, 0, left.get(), 0, 0, 16, 14));
    EXPECT_TRUE(start.Matches(w - 16, 0, right.get(), 0, 0, 16, 14));

    list.Scroll(10000, 0);
    PumpMessages();
    ASSERT_EQ(HPos(), HLimit());
    EXPECT_EQ(list.hBar.thumbX, w - 38) << "w - 40 lies past w - 42 and snaps";
    Capture end(bar());
    // The thumb picture reaches under the right arrow, which is drawn first.
    EXPECT_TRUE(end.Matches(w - 42, 0, thumb.get(), 0, 0, 26, 14));
}

TEST_F(HScrollTest, ArrowsStepAtReleaseAndTrackClicksPage)
{
    Down(bar(), w - 5, 5);
    EXPECT_EQ(HPos(), 0);
    Up(bar(), w - 5, 5);
    const int line = HPos();
    EXPECT_GT(line, 0);
    Click(bar(), 5, 5);
    EXPECT_EQ(HPos(), 0);

    Click(bar(), list.hBar.thumbX + 40, 5);
    const int paged = HPos();
    EXPECT_GT(paged, line);
    Click(bar(), list.hBar.thumbX - 3, 5);
    EXPECT_LT(HPos(), paged);
}

TEST_F(HScrollTest, HeldArrowRepeatsByTimerMessages)
{
    Down(bar(), w - 5, 5);
    SendMessageA(bar(), WM_TIMER, ListHScrollBar::kDelayTimer, 0);
    EXPECT_EQ(HPos(), 0);
    SendMessageA(bar(), WM_TIMER, ListHScrollBar::kRepeatTimer, 0);
    const int one = HPos();
    EXPECT_GT(one, 0);
    SendMessageA(bar(), WM_TIMER, ListHScrollBar::kRepeatTimer, 0);
    EXPECT_GT(HPos(), one);
    const int held = HPos();
    Up(bar(), w - 5, 5);
    EXPECT_GT(HPos(), held);
    EXPECT_FALSE(list.hBar.rightPressed);
}

TEST_F(HScrollTest, DraggingTheThumbScrollsThroughLvmScroll)
{
    Down(bar(), list.hBar.thumbX + 5, 5);
    MoveTo(bar(), 60, 5, MK_LBUTTON);
    EXPECT_TRUE(list.hBar.dragging);
    const int expected = static_cast<int>((60 - 13 - 25) / ((w - 75.0) / HLimit()));
    EXPECT_NEAR(HPos(), expected, 1);
    MoveTo(bar(), w - 30, 5, MK_LBUTTON);
    EXPECT_EQ(HPos(), HLimit());
    Up(bar(), w - 30, 5);
    EXPECT_FALSE(list.hBar.dragging);
    EXPECT_EQ(list.hBar.thumbX, w - 38);
    EXPECT_EQ(HPos(), HLimit()) << "a drag does not page at its release";
}

class GreyBarsTest : public ListFixture {};

TEST_F(GreyBarsTest, ListThatFitsShowsTheGreyPicturesWithoutThumbs)
{
    HWND h = Item(IDC_SKIN_LIST);
    Place(h, 10, 60, 400, 160);
    ASSERT_TRUE(list.SubclassWindow(h));
    ASSERT_TRUE(list.AttachScrollBars());
    list.InsertColumn(0, "Volume Name", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Location", LVCFMT_LEFT, 111);
    list.InsertItem(0, "share");
    PumpMessages();
    list.PositionScrollBars();

    const int vh = BarHeight();
    Capture v(list.vBar.hwnd);
    GdiBitmap upGrey = LoadBitmapResource(IDB_VSCROLL_UP_GREY);
    GdiBitmap downGrey = LoadBitmapResource(IDB_VSCROLL_DOWN_GREY);
    GdiBitmap trackGrey = LoadBitmapResource(IDB_VSCROLL_TRACK_GREY);
    EXPECT_TRUE(v.Matches(0, 0, upGrey.get(), 0, 0, 14, 18));
    EXPECT_TRUE(v.Matches(0, vh - 16, downGrey.get(), 0, 0, 14, 16));
    for (int y = 18; y < vh - 16; ++y)
        ASSERT_TRUE(v.Matches(0, y, trackGrey.get(), 0, 0, 14, 1)) << "no thumb on row " << y;

    const int hw = BarWidth();
    Capture hb(list.hBar.hwnd);
    GdiBitmap leftGrey = LoadBitmapResource(IDB_HSCROLL_LEFT_GREY);
    GdiBitmap rightGrey = LoadBitmapResource(IDB_HSCROLL_RIGHT_GREY);
    GdiBitmap hTrackGrey = LoadBitmapResource(IDB_HSCROLL_TRACK_GREY);
    EXPECT_TRUE(hb.Matches(0, 0, leftGrey.get(), 0, 0, 16, 14));
    EXPECT_TRUE(hb.Matches(hw - 16, 0, rightGrey.get(), 0, 0, 16, 14));
    for (int x = 16; x < hw - 16; ++x)
        ASSERT_TRUE(hb.Matches(x, 0, hTrackGrey.get(), 0, 0, 1, 14)) << "no thumb at x " << x;

    // Track clicks still send page commands; the list has nowhere to go.
    ScrollRequestLog log(list.hwnd);
    ASSERT_TRUE(log.ok());
    Click(list.vBar.hwnd, 5, vh / 2);
    Click(list.hBar.hwnd, hw / 2, 5);
    const std::vector<ScrollRequestLog::Request> pages = {{WM_VSCROLL, SB_PAGEDOWN}, {WM_HSCROLL, SB_PAGERIGHT}};
    EXPECT_EQ(log.requests, pages);
    // Clicked and held arrows and a drag from the thumb's place move nothing either.
    for (HWND bar : {list.vBar.hwnd, list.hBar.hwnd}) {
        const bool vertical = bar == list.vBar.hwnd;
        const int length = vertical ? vh : hw;
        for (int along : {5, length - 5}) {
            const int x = vertical ? 5 : along, y = vertical ? along : 5;
            Down(bar, x, y);
            Tick(bar, ListScrollBar::kDelayTimer);
            Tick(bar, ListScrollBar::kRepeatTimer, 3);
            Up(bar, x, y);
        }
        Down(bar, vertical ? 5 : 25, vertical ? 25 : 5);
        MoveTo(bar, vertical ? 5 : length / 2, vertical ? length / 2 : 5, MK_LBUTTON);
        Up(bar, vertical ? 5 : length / 2, vertical ? length / 2 : 5);
        EXPECT_FALSE(TimerArmed(bar, ListScrollBar::kRepeatTimer));
    }
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(HPos(), 0);
    EXPECT_EQ(list.vBar.thumbTop, 20);
    EXPECT_EQ(list.hBar.thumbX, 20);
    Capture after(list.vBar.hwnd);
    for (int y = 18; y < vh - 16; ++y)
        ASSERT_TRUE(after.Matches(0, y, trackGrey.get(), 0, 0, 14, 1)) << "still no thumb on row " << y;
}

class SmallListTest : public ListFixture {};

// Bars shorter than their arrows and pictures (a list squeezed to a few pixels):
// the thumb stays at its first place and whatever the pointer does leaves the
// list inside its range and the bar with no capture or timer.
TEST_F(SmallListTest, BarsShorterThanTheirPicturesStayInRange)
{
    SetUpList(40, 20, 12);
    const std::pair<int, int> sizes[] = {{20, 12}, {60, 41}};  // list width, height
    for (const auto& size : sizes) {
        Place(list.hwnd, 10, 60, size.first, size.second);
        list.PositionScrollBars();
        PumpMessages();
        const int vh = BarHeight(), hw = BarWidth();
        ASSERT_LT(vh, 80) << "the vertical thumb has no travel";
        ASSERT_LT(hw, 75) << "nor the horizontal one";
        for (HWND bar : {list.vBar.hwnd, list.hBar.hwnd}) {
            EXPECT_TRUE(Capture(bar).ok());
            const bool vertical = bar == list.vBar.hwnd;
            const int length = vertical ? vh : hw;
            // Both ends, the middle, and where the up arrow's zone overlaps the down arrow's.
            for (int along : {0, 12, length / 2, length - 1}) {
                if (along >= length)
                    continue;
                const int x = vertical ? 5 : along, y = vertical ? along : 5;
                Down(bar, x, y);
                Tick(bar, ListScrollBar::kDelayTimer);
                Tick(bar, ListScrollBar::kRepeatTimer);
                MoveTo(bar, x, y, MK_LBUTTON);
                Up(bar, x, y);
            }
            EXPECT_NE(GetCapture(), bar);
            EXPECT_FALSE(TimerArmed(bar, ListScrollBar::kDelayTimer));
            EXPECT_FALSE(TimerArmed(bar, ListScrollBar::kRepeatTimer));
        }
        EXPECT_GE(Top(), 0);
        EXPECT_LE(Top(), std::max(VLimit(), 0));
        EXPECT_GE(HPos(), 0);
        EXPECT_LE(HPos(), std::max(HLimit(), 0));
        EXPECT_EQ(list.vBar.thumbTop, 20) << "list " << size.first << " x " << size.second;
        EXPECT_EQ(list.hBar.thumbX, 20) << "list " << size.first << " x " << size.second;
    }
}

}  // namespace
