// SkinListCtrl and SkinHeaderCtrl: selected-row colours that keep the selection,
// off-screen painting, the header's pictures, separators and titles.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "list_fixture.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey190 = RGB(190, 190, 190);

class SkinListTest : public ListFixture {
protected:
    RECT RowRect(int row) const
    {
        RECT r = {};
        list.GetItemRect(row, &r, LVIR_BOUNDS);
        return r;
    }
    int HeaderHeight() const { return list.header.ClientRect().bottom; }
};

TEST_F(SkinListTest, SelectedRowIsBlackOnGreyAndStaysSelected)
{
    SetUpList(6);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const RECT row = RowRect(2);
    const RECT other = RowRect(4);
    for (Capture shot : {Capture(list.hwnd), Capture::OnScreen(list.hwnd)}) {
        ASSERT_TRUE(shot.ok());
        // Right of the text, inside the row: the row's background.
        const int y = (row.top + row.bottom) / 2;
        EXPECT_EQ(shot.At(row.left + 80, y), kGrey190);
        EXPECT_EQ(shot.At(row.left + 170, y), kGrey190) << "full-row selection";
        EXPECT_EQ(shot.At(other.left + 80, (other.top + other.bottom) / 2), kWhite);
        // The text itself is drawn, in black, and nothing in the highlight colour.
        int black = 0, highlight = 0;
        for (int yy = row.top; yy < row.bottom; ++yy) {
            black += shot.CountInRow(yy, row.left, row.left + 60, RGB(0, 0, 0));
            highlight += shot.CountInRow(yy, row.left, row.right, GetSysColor(COLOR_HIGHLIGHT));
        }
        EXPECT_GT(black, 10);
        EXPECT_EQ(highlight, 0);
    }
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    // Restoring the selection after drawing must not schedule yet another paint.
    PumpMessages(100);
    EXPECT_FALSE(GetUpdateRect(list.hwnd, nullptr, FALSE));
}

TEST_F(SkinListTest, OwnColoursForTheSelectedRow)
{
    SetUpList(3);
    list.selectedTextColor = RGB(255, 255, 255);
    list.selectedBackColor = RGB(20, 40, 60);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Capture shot(list.hwnd);
    const RECT row = RowRect(0);
    EXPECT_EQ(shot.At(row.left + 170, (row.top + row.bottom) / 2), RGB(20, 40, 60));
    EXPECT_GT(shot.CountInRow((row.top + row.bottom) / 2, row.left, row.left + 60, RGB(255, 255, 255)), 0);
}

TEST_F(SkinListTest, EmptyListIsWhiteBelowItsHeader)
{
    SetUpList(0);
    for (Capture shot : {Capture(list.hwnd), Capture::OnScreen(list.hwnd)}) {
        const RECT client = list.ClientRect();
        RECT below = {0, HeaderHeight(), client.right, client.bottom};
        EXPECT_TRUE(shot.AllOf(below, kWhite));
    }
}

TEST_F(SkinListTest, ClickedRowIsSelectedAndPaintedGrey)
{
    SetUpList(4);
    const RECT row = RowRect(1);
    Click(list.hwnd, row.left + 20, (row.top + row.bottom) / 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    Capture shot = Capture::OnScreen(list.hwnd);
    EXPECT_EQ(shot.At(row.left + 170, (row.top + row.bottom) / 2), kGrey190);
}

TEST_F(SkinListTest, KeyboardScrollingMovesTheThumbByKeyUp)
{
    SetUpList(40);
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list.hwnd);
    SendMessageA(list.hwnd, WM_KEYDOWN, VK_END, 0);
    SendMessageA(list.hwnd, WM_KEYUP, VK_END, 0);
    EXPECT_GT(Top(), 0);
    EXPECT_EQ(list.vBar.thumbTop, BarHeight() - 38);
}

TEST_F(SkinListTest, WheelScrollingMovesTheThumbOnceTheListHasRedrawn)
{
    SetUpList(40);
    SetFocus(list.hwnd);
    RECT r = list.WindowRect();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(list.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), at);
    PumpMessages();
    ASSERT_GT(Top(), 0);
    EXPECT_EQ(list.vBar.thumbTop, VThumbFor(Top()));
    SendMessageA(list.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), at);
    PumpMessages();
    EXPECT_EQ(list.vBar.thumbTop, VThumbFor(Top()));
}

TEST_F(SkinListTest, OwnScrollBarsStayOutOfTheFrameWhileTheirRangesLiveOn)
{
    SetUpList(40);
    EXPECT_EQ(list.Style() & (WS_HSCROLL | WS_VSCROLL), 0);
    const RECT client = list.ClientRect();
    const RECT window = list.WindowRect();
    // Only the border lies around the client area, no room for a bar.
    EXPECT_LT(window.right - window.left - client.right, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_LT(window.bottom - window.top - client.bottom, GetSystemMetrics(SM_CYHSCROLL));
    // Scrolling still works, so the bars have something to show.
    ScrollRows(5);
    EXPECT_EQ(Top(), 5);
    EXPECT_GT(list.vBar.thumbTop, 20);
    list.Scroll(50, 0);
    PumpMessages();
    EXPECT_GT(HPos(), 0);
    EXPECT_GT(list.hBar.thumbX, 20);
}

class SkinHeaderTest : public ListFixture {
protected:
    void SetUpColumns(int count)
    {
        HWND h = Item(IDC_SKIN_LIST);
        Place(h, 10, 60, 400, 120);
        ASSERT_TRUE(list.SubclassWindow(h));
        ASSERT_TRUE(list.AttachScrollBars());
        const char* names[] = {"Name", "IP", "Netmask", "Gateway"};
        const int widths[] = {94, 85, 85, 85};
        for (int i = 0; i < count; ++i)
            list.InsertColumn(i, names[i], LVCFMT_LEFT, widths[i]);
        PumpMessages();
    }
    // True when the separator picture's left part sits at x (its text-free side).
    // The pictures are 17 rows high; a header may be lower and cut them.
    static bool SeparatorAt(const Capture& shot, int x, HBITMAP separator)
    {
        return shot.Matches(x, 0, separator, 0, 0, 4, std::min(17, shot.height()));
    }
};

TEST_F(SkinHeaderTest, OneColumnDrawsNoSeparatorAndFourDrawThreeTwoPixelsLeftOfTheirColumns)
{
    GdiBitmap separator = LoadBitmapResource(IDB_HEADER_SEPARATOR);
    GdiBitmap background = LoadBitmapResource(IDB_HEADER_BACKGROUND);
    ASSERT_TRUE(separator && background);

    SetUpColumns(1);
    {
        Capture shot(list.header.hwnd);
        int found = 0;
        for (int x = 0; x + 4 <= shot.width(); ++x)
            found += SeparatorAt(shot, x, separator.get());
        EXPECT_EQ(found, 0);
        // Outside the title the strip is the background picture, row by row.
        const int rows = std::min(17, shot.height());
        EXPECT_TRUE(shot.Matches(3, 0, background.get(), 0, 0, 1, rows));
        EXPECT_TRUE(shot.Matches(shot.width() - 3, 0, background.get(), 0, 0, 1, rows));
    }
    const char* names[] = {"", "IP", "Netmask", "Gateway"};
    for (int i = 1; i < 4; ++i)
        list.InsertColumn(i, names[i], LVCFMT_LEFT, 85);
    {
        Capture shot(list.header.hwnd);
        std::vector<int> at;
        for (int x = 0; x + 4 <= shot.width(); ++x)
            if (SeparatorAt(shot, x, separator.get()))
                at.push_back(x);
        ASSERT_EQ(at.size(), 3u);
        for (int i = 1; i < 4; ++i) {
            RECT r;
            list.header.GetItemRect(i, &r);
            EXPECT_EQ(at[i - 1], r.left - 2);
        }
    }
}

TEST_F(SkinHeaderTest, TitlesAreDrawnCentredInTheirColumns)
{
    SetUpColumns(2);
    Capture shot(list.header.hwnd);
    for (int i = 0; i < 2; ++i) {
        RECT r;
        list.header.GetItemRect(i, &r);
        int firstDark = -1, lastDark = -1;
        for (int x = r.left + 2; x < r.right - 2; ++x)
            for (int y = 2; y < 15; ++y)
                if (shot.At(x, y) == RGB(0, 0, 0)) {
                    if (firstDark < 0)
                        firstDark = x;
                    lastDark = x;
                }
        ASSERT_GE(firstDark, 0) << "column " << i << " has a title";
        const int middle = (r.left + r.right) / 2;
        EXPECT_NEAR((firstDark + lastDark) / 2, middle, 3);
    }
}

}  // namespace
