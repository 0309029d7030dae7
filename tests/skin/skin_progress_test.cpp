// SkinProgressCtrl: the flat blue fill over the button face.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "skin/skin_progress_ctrl.h"
#include "skin_fixture.h"

namespace {

constexpr COLORREF kBlue = RGB(4, 134, 232);

class SkinProgressTest : public SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        Place(Item(IDC_SKIN_PROGRESS), 10, 200, 230, 15);
        ASSERT_TRUE(bar.SubclassDlgItem(IDC_SKIN_PROGRESS, dialog.hwnd));
    }
    int Filled(const Capture& shot) const { return shot.CountInRow(7, 0, shot.width(), kBlue); }
    SkinProgressCtrl bar;
};

TEST_F(SkinProgressTest, FillIsTruncatedFromFloatingPoint)
{
    bar.SetRange(1, 100);
    struct {
        int pos, filled;
    } cases[] = {{1, 0}, {50, 113}, {100, 230}, {2, 2}};
    for (auto c : cases) {
        bar.SetPos(c.pos);
        for (const Capture& shot : {Capture(bar.hwnd), Capture::OnScreen(bar.hwnd)}) {
            EXPECT_EQ(Filled(shot), c.filled) << "position " << c.pos;
            // Left-aligned and full height; the rest is the button face.
            if (c.filled > 0) {
                EXPECT_EQ(shot.At(0, 0), kBlue);
                EXPECT_EQ(shot.At(c.filled - 1, 14), kBlue);
            }
            if (c.filled < 230) {
                EXPECT_EQ(shot.At(c.filled, 7), GetSysColor(COLOR_BTNFACE));
            }
        }
    }
}

TEST_F(SkinProgressTest, StepsFromTheWorkerMessagesShowOnScreen)
{
    bar.Send(PBM_SETRANGE, 0, MAKELPARAM(1, 100));
    bar.Send(PBM_SETSTEP, 1);
    for (int i = 0; i < 49; ++i)
        bar.Send(PBM_STEPIT);
    EXPECT_EQ(bar.GetPos(), 50);
    EXPECT_EQ(Filled(Capture::OnScreen(bar.hwnd)), 113);
}

TEST_F(SkinProgressTest, EmptyRangeFillsNothing)
{
    bar.SetRange(5, 5);
    bar.SetPos(5);
    EXPECT_EQ(Filled(Capture(bar.hwnd)), 0);
    EXPECT_EQ(SkinProgressCtrl::FilledWidth(5, 5, 5, 230), 0);
    EXPECT_EQ(SkinProgressCtrl::FilledWidth(1, 100, 50, 230), 113);
    // Positions the control would never hold stay inside the bar.
    EXPECT_EQ(SkinProgressCtrl::FilledWidth(1, 100, 500, 230), 230);
    EXPECT_EQ(SkinProgressCtrl::FilledWidth(1, 100, -5, 230), 0);
}

}  // namespace
