// SkinButton under Wine: faces by state, press tracking, double clicks, disabled
// buttons, check and radio kinds, masks and draw modes.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/skin_button.h"
#include "skin_fixture.h"

namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kDown = RGB(0, 160, 0);
constexpr COLORREF kOver = RGB(0, 0, 220);
constexpr COLORREF kDisabled = RGB(128, 128, 128);
constexpr COLORREF kFocus = RGB(230, 220, 0);

ButtonFaces Faces(int normal, int down, int over, int disabled, int focus, int mask)
{
    ButtonFaces faces;
    faces.normal = normal;
    faces.down = down;
    faces.over = over;
    faces.disabled = disabled;
    faces.focus = focus;
    faces.mask = mask;
    return faces;
}

class SkinButtonTest : public SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        Place(Item(IDC_SKIN_PUSH), 10, 10, 40, 20);
        ASSERT_TRUE(button.SubclassDlgItem(IDC_SKIN_PUSH, dialog.hwnd));
        ASSERT_TRUE(
            button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, IDB_TEST_OVER, IDB_TEST_DISABLED, IDB_TEST_FOCUS, 0)));
        // Keep the focus off the button unless a test wants it there.
        SetFocus(Item(IDC_SKIN_CHECK));
        ParkCursor();
        PumpMessages();
    }
    // The face colour in the middle of the button, as it paints itself now.
    COLORREF Face(HWND h = nullptr) const
    {
        Capture shot(h ? h : button.hwnd);
        return shot.At(2, shot.height() / 2);
    }
    int Clicks(int id) { return dialog.clicks[id]; }

    SkinButton button;
};

TEST_F(SkinButtonTest, AttachingMakesTheButtonOwnerDrawnAndNoticesItsKind)
{
    EXPECT_EQ(button.Style() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(button.kind, SkinButton::kPushButton);
    SkinButton check, radio;
    ASSERT_TRUE(check.SubclassDlgItem(IDC_SKIN_CHECK, dialog.hwnd));
    ASSERT_TRUE(radio.SubclassDlgItem(IDC_SKIN_RADIO_A, dialog.hwnd));
    EXPECT_EQ(check.kind, SkinButton::kCheckBox);
    EXPECT_EQ(radio.kind, SkinButton::kRadioButton);
    EXPECT_EQ(radio.Style() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(SkinButtonTest, FaceFollowsNormalHoverPressedAndFocus)
{
    EXPECT_EQ(Face(), kNormal);

    MoveTo(button.hwnd, 20, 10);
    EXPECT_TRUE(button.hover);
    EXPECT_EQ(Face(), kOver);

    // The cursor leaves: the system reports it and the hover face goes.
    ParkCursor();
    PumpMessages(800);
    EXPECT_FALSE(button.hover);
    EXPECT_EQ(Face(), kNormal);

    SetFocus(button.hwnd);
    EXPECT_EQ(Face(), kFocus);

    MoveTo(button.hwnd, 20, 10);
    Down(button.hwnd, 20, 10);
    EXPECT_TRUE(button.pressed);
    EXPECT_FALSE(button.hover) << "a press ends the hover state";
    EXPECT_EQ(Face(), kDown);
    Up(button.hwnd, 20, 10);
    PumpMessages();
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 1);
}

TEST_F(SkinButtonTest, DraggingOffAndBackTogglesThePushedFaceAndReleaseOutsideDoesNotClick)
{
    // Without a focus face the released look is the normal one (a press focuses).
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, IDB_TEST_OVER, 0, 0, 0)));
    Down(button.hwnd, 20, 10);
    EXPECT_EQ(Face(), kDown);
    MoveTo(button.hwnd, 80, 10);  // off the button, onto its neighbour
    EXPECT_EQ(button.Send(BM_GETSTATE) & BST_PUSHED, 0);
    EXPECT_EQ(Face(), kNormal);
    MoveTo(button.hwnd, 25, 12);  // back on
    EXPECT_NE(button.Send(BM_GETSTATE) & BST_PUSHED, 0);
    EXPECT_EQ(Face(), kDown);
    MoveTo(button.hwnd, -15, 5);  // off the test window altogether
    EXPECT_EQ(Face(), kNormal);
    Up(button.hwnd, -15, 5);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 0);
    EXPECT_NE(GetCapture(), button.hwnd);
    EXPECT_FALSE(button.pressed);

    // The same drag ending on the button clicks.
    Down(button.hwnd, 20, 10);
    MoveTo(button.hwnd, 80, 10);
    MoveTo(button.hwnd, 20, 10);
    Up(button.hwnd, 20, 10);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 1);
}

TEST_F(SkinButtonTest, DoubleClickGivesTwoClicks)
{
    Down(button.hwnd, 20, 10);
    Up(button.hwnd, 20, 10);
    SendMessageA(button.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_EQ(Face(), kDown);
    Up(button.hwnd, 20, 10);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 2);
}

TEST_F(SkinButtonTest, DisabledButtonShowsItsDisabledFaceAndIgnoresTheMouse)
{
    EnableWindow(button.hwnd, FALSE);
    EXPECT_EQ(Face(), kDisabled);
    MoveTo(button.hwnd, 20, 10);
    EXPECT_FALSE(button.hover);
    Down(button.hwnd, 20, 10);
    EXPECT_FALSE(button.pressed);
    EXPECT_NE(GetCapture(), button.hwnd);
    EXPECT_EQ(Face(), kDisabled);
    Up(button.hwnd, 20, 10);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 0);

    // Without a disabled face of its own it shows the normal one.
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, 0)));
    EXPECT_EQ(Face(), kNormal);
}

TEST_F(SkinButtonTest, DisabledWhileHeldReleasesWithoutAClick)
{
    Down(button.hwnd, 20, 10);
    ASSERT_EQ(GetCapture(), button.hwnd);
    EnableWindow(button.hwnd, FALSE);
    Up(button.hwnd, 20, 10);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 0);
    EXPECT_NE(GetCapture(), button.hwnd);
    EXPECT_FALSE(button.pressed);
}

TEST_F(SkinButtonTest, LosingTheCaptureOrTheFocusMidPressEndsThePress)
{
    HWND other = Item(IDC_SKIN_CHECK);
    // Another window takes the mouse (what Alt+Tab or a popup does).
    Down(button.hwnd, 20, 10);
    ASSERT_TRUE(button.pressed);
    SetCapture(other);
    EXPECT_FALSE(button.pressed);
    EXPECT_EQ(button.Send(BM_GETSTATE) & BST_PUSHED, 0);
    ReleaseCapture();
    // The mouse coming back is a hover, not a press; letting go clicks nothing.
    MoveTo(button.hwnd, 22, 10);
    EXPECT_TRUE(button.hover);
    EXPECT_EQ(Face(), kOver);
    Up(button.hwnd, 22, 10);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 0);

    // The system cancelling the mode, and the focus moving away, end it as well.
    Down(button.hwnd, 20, 10);
    SendMessageA(button.hwnd, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(button.pressed);
    EXPECT_NE(GetCapture(), button.hwnd);
    Down(button.hwnd, 20, 10);
    SetFocus(other);
    EXPECT_FALSE(button.pressed);
    EXPECT_NE(GetCapture(), button.hwnd);
    PumpMessages();
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 0);
}

TEST_F(SkinButtonTest, ButtonWithoutFacesIsAPlainFaceWithItsCaption)
{
    SkinButton plain;
    HWND h = Item(IDC_SKIN_DISABLED);
    EnableWindow(h, TRUE);
    Place(h, 60, 10, 60, 24);
    ASSERT_TRUE(plain.SubclassWindow(h));
    Capture shot(h);
    EXPECT_EQ(shot.At(1, 1), GetSysColor(COLOR_BTNFACE));
    int text = 0;
    for (int y = 0; y < shot.height(); ++y)
        text += shot.width() - shot.CountInRow(y, 0, shot.width(), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(text, 10) << "the caption is drawn";
}

TEST_F(SkinButtonTest, KeyboardPressesAFocusedButtonWhoseFocusShowsAndWhoseNameIsNotDrawn)
{
    // As the skin table binds a button: faces without a focus face, a name not drawn.
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, IDB_TEST_OVER, 0, 0, 0)));
    button.showCaption = false;
    auto marked = [&] {
        Capture shot(button.hwnd);
        int pixels = 0;
        for (int y = 0; y < shot.height(); ++y)
            pixels += shot.width() - shot.CountInRow(y, 0, shot.width(), kNormal);
        return pixels;
    };
    EXPECT_EQ(0, marked()) << "the name \"Push\" is not drawn over the face";
    SetFocus(button.hwnd);
    EXPECT_GT(marked(), 20) << "a focus rectangle shows the focus";
    EXPECT_EQ(Face(), kNormal) << "inside the face's edge";

    // Enter and Space press it, once each; not while it is disabled.
    PressKey(VK_RETURN);
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 1);
    PressKey(VK_SPACE);
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 2);
    // Made the default button, it stays owner-drawn.
    button.Send(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(button.Style() & BS_TYPEMASK, BS_OWNERDRAW);
    EnableWindow(button.hwnd, FALSE);
    PressKey(VK_RETURN);
    EXPECT_EQ(Clicks(IDC_SKIN_PUSH), 2);
}

TEST_F(SkinButtonTest, PushButtonKeepsItsCheckCleared)
{
    button.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(button.Send(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Face(), kNormal);
}

TEST_F(SkinButtonTest, CheckBoxTogglesOnClickAndSpaceAndShowsTheDownFace)
{
    SkinButton check;
    HWND h = Item(IDC_SKIN_CHECK);
    Place(h, 300, 150, 40, 20);
    ASSERT_TRUE(check.SubclassWindow(h));
    ASSERT_TRUE(check.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, 0)));
    Click(h, 10, 10);
    EXPECT_EQ(check.Send(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(Face(h), kDown);
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    PumpMessages();
    EXPECT_EQ(check.Send(BM_GETCHECK), BST_UNCHECKED);
    // A release away from the box changes nothing.
    Down(h, 10, 10);
    Up(h, 100, 100);
    PumpMessages();
    EXPECT_EQ(check.Send(BM_GETCHECK), BST_UNCHECKED);
}

TEST_F(SkinButtonTest, CheckingARadioButtonClearsOnlyItsOwnGroup)
{
    const int ids[] = {IDC_SKIN_RADIO_A, IDC_SKIN_RADIO_B, IDC_SKIN_RADIO_C, IDC_SKIN_RADIO_D, IDC_SKIN_RADIO_E};
    SkinButton radios[5];
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(radios[i].SubclassDlgItem(ids[i], dialog.hwnd));
    auto checks = [&] {
        std::string s;
        for (auto& r : radios)
            s += r.Send(BM_GETCHECK) ? '1' : '0';
        return s;
    };
    radios[0].Send(BM_SETCHECK, 1);
    radios[3].Send(BM_SETCHECK, 1);
    PumpMessages();
    EXPECT_EQ(checks(), "10010");
    radios[2].Send(BM_SETCHECK, 1);
    PumpMessages();
    EXPECT_EQ(checks(), "00110") << "D and E form another group";
    // Clicking B checks it and clears C.
    Click(radios[1].hwnd, 3, 3);
    EXPECT_EQ(checks(), "01010");
    radios[4].Send(BM_SETCHECK, 1);
    PumpMessages();
    EXPECT_EQ(checks(), "01001");
}

TEST_F(SkinButtonTest, AllWhiteMaskGivesAnEmptyRegion)
{
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, IDB_TEST_MASK_WHITE)));
    ASSERT_TRUE(button.region);
    RECT box;
    EXPECT_EQ(GetRgnBox(button.region.get(), &box), NULLREGION);
    HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(button.hwnd, windowRegion), NULLREGION);
    DeleteObject(windowRegion);
}

TEST_F(SkinButtonTest, ShapedMaskCutsTheWindowAndLetsTheBackgroundThrough)
{
    Place(button.hwnd, 10, 10, 70, 30);
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, IDB_TEST_MASK_SHAPED)));
    RECT wr = button.WindowRect();
    EXPECT_EQ(wr.right - wr.left, 40) << "draw mode 0 takes the mask's size";
    EXPECT_EQ(wr.bottom - wr.top, 20);

    HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(button.hwnd, windowRegion), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(windowRegion, 3, 3));
    EXPECT_TRUE(PtInRegion(windowRegion, 12, 3));
    EXPECT_FALSE(PtInRegion(windowRegion, 22, 10));
    EXPECT_TRUE(PtInRegion(windowRegion, 22, 11));
    EXPECT_TRUE(EqualRgn(windowRegion, button.region.get()));
    DeleteObject(windowRegion);
    // The mask is read in a device-independent format, so that the shape does not
    // depend on the screen's colour depth.
    DIBSECTION section = {};
    EXPECT_EQ(GetObjectA(button.maskBitmap.get(), sizeof section, &section), static_cast<int>(sizeof section));

    // Transparent pixels keep what was beneath (the capture's fill colour).
    Capture shot(button.hwnd);
    EXPECT_EQ(shot.At(3, 3), RGB(1, 2, 3));
    EXPECT_EQ(shot.At(22, 10), RGB(1, 2, 3));
    EXPECT_EQ(shot.At(12, 3), kNormal);
    EXPECT_EQ(shot.At(30, 15), kNormal);

    // A new mask replaces the region; the button still owns a valid one.
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, IDB_TEST_MASK_WHITE)));
    RECT box;
    EXPECT_EQ(GetRgnBox(button.region.get(), &box), NULLREGION);
}

TEST_F(SkinButtonTest, StretchedMaskFollowsTheButtonSize)
{
    Place(button.hwnd, 10, 10, 80, 40);
    ASSERT_TRUE(
        button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, IDB_TEST_MASK_SHAPED), FaceDrawMode::kStretch));
    RECT wr = button.WindowRect();
    EXPECT_EQ(wr.right - wr.left, 80) << "only draw mode 0 resizes";
    // The window region stays in mask pixels; the face drawing is stretched.
    Capture shot(button.hwnd);
    EXPECT_EQ(shot.At(6, 4), RGB(1, 2, 3));  // inside the doubled notch
    EXPECT_EQ(shot.At(24, 14), kNormal);
}

TEST_F(SkinButtonTest, TiledFaceRepeatsFromTheTopLeftCorner)
{
    Place(button.hwnd, 10, 10, 40, 20);
    SetWindowTextA(button.hwnd, "");
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_TILE, 0, 0, 0, 0, 0), FaceDrawMode::kTile));
    Capture shot(button.hwnd);
    const COLORREF mark = RGB(255, 0, 255);
    for (int y = 0; y < 20; y += 5)
        for (int x = 0; x < 40; x += 7) {
            EXPECT_EQ(shot.At(x, y), mark) << x << "," << y;
            EXPECT_NE(shot.At(x + 1, y), mark);
        }
}

TEST_F(SkinButtonTest, BorderAndFocusRectangleFrameTheFace)
{
    Place(button.hwnd, 10, 10, 40, 20);
    ASSERT_TRUE(button.SetSkin(Faces(IDB_TEST_NORMAL, IDB_TEST_DOWN, 0, 0, 0, 0), FaceDrawMode::kStretch, true, 4));
    SetFocus(button.hwnd);
    Capture shot(button.hwnd);
    EXPECT_NE(shot.At(0, 10), kNormal) << "etched edge on the left";
    EXPECT_EQ(shot.At(2, 10), kNormal);
    int dotted = 0;
    for (int x = 4; x < 36; ++x)
        dotted += shot.At(x, 4) != kNormal;
    EXPECT_GT(dotted, 8) << "focus rectangle at the margin";
}

}  // namespace
