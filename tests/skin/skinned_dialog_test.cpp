// SkinnedDialog on the utility's own templates: the background from the skin table
// (stretched, or at its own size), texts on the picture, skinned buttons and the
// process-wide answer.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/gdi.h"
#include "res/resource.h"
#include "res/skin_table.h"
#include "skin/skinned_dialog.h"
#include "test_support.h"

namespace {

// The background alone, as the dialog erases it.
Capture Background(HWND dialog)
{
    return Capture(dialog, PRF_ERASEBKGND);
}

TEST(SkinnedDialog, StretchesItsPictureAndBindsItsButtonsFromTheTable)
{
    SkinnedDialog dialog(IDD_DRIVE_IN_USE);
    ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
    const RECT client = dialog.ClientRect();

    // The expected picture: the table's background stretched over the client area.
    GdiBitmap picture = LoadBitmapResource(FindWindowSkin(IDD_DRIVE_IN_USE)->background);
    const SIZE size = BitmapSize(picture.get());
    ClientDC screen(nullptr);
    GdiBitmap expected(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    {
        MemoryDC dc(screen.get());
        SelectObjectGuard select(dc.get(), expected.get());
        StretchBitmap(dc.get(), 0, 0, client.right, client.bottom, picture.get(), 0, 0, size.cx, size.cy);
    }
    EXPECT_TRUE(Background(dialog.hwnd).Matches(0, 0, expected.get(), 0, 0, client.right, client.bottom));

    for (int id : {IDOK, IDCANCEL}) {
        SkinButton* button = dialog.SkinnedButton(id);
        ASSERT_NE(nullptr, button);
        EXPECT_TRUE(button->normalBitmap && button->downBitmap && button->overBitmap && button->disabledBitmap);
    }
    DestroyWindow(dialog.hwnd);
}

TEST(SkinnedDialog, CopiesAnUnscaledPictureAtItsOwnSize)
{
    SkinnedDialog dialog(IDD_RESTART_PROGRESS);
    ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
    const RECT client = dialog.ClientRect();
    GdiBitmap picture = LoadBitmapResource(FindWindowSkin(IDD_RESTART_PROGRESS)->background);
    const SIZE size = BitmapSize(picture.get());
    const int w = size.cx < client.right ? size.cx : client.right;
    const int h = size.cy < client.bottom ? size.cy : client.bottom;
    EXPECT_TRUE(Background(dialog.hwnd).Matches(0, 0, picture.get(), 0, 0, w, h));
    DestroyWindow(dialog.hwnd);
}

TEST(SkinnedDialog, TextsSitOnThePictureWhileEditsKeepTheirColours)
{
    SkinnedDialog dialog(IDD_LOGIN);
    ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
    HWND label = FindWindowExA(dialog.hwnd, nullptr, "Static", "User name :");
    HWND edit = dialog.GetItem(IDC_LOGIN_USER_NAME);
    ASSERT_NE(nullptr, label);
    ClientDC dc(dialog.hwnd);

    const LRESULT labelBrush =
        dialog.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), labelBrush);
    EXPECT_EQ(RGB(255, 255, 255), GetTextColor(dc.get()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc.get()));

    // A disabled edit asks as a static does; it is not drawn on the picture.
    SetTextColor(dc.get(), RGB(1, 2, 3));
    const LRESULT editBrush =
        dialog.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(edit));
    EXPECT_NE(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), editBrush);
    EXPECT_NE(RGB(255, 255, 255), GetTextColor(dc.get()));
    DestroyWindow(dialog.hwnd);
}

TEST(SkinnedDialog, OkAndCancelStoreTheirAnswerBeforeTheDialogEnds)
{
    int answer = -7;
    {
        SkinnedDialog dialog(IDD_DRIVE_IN_USE);
        dialog.SetAnswer(&answer, 1, 0);
        ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
        dialog.Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
        EXPECT_EQ(1, answer);
        EXPECT_TRUE(dialog.HasEnded());
        EXPECT_EQ(IDOK, dialog.Result());
    }
    for (UINT closing : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_COMMAND)}) {
        SkinnedDialog dialog(IDD_DRIVE_IN_USE);
        dialog.SetAnswer(&answer, 1, 0);
        ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
        answer = -7;
        // The close box, and Escape (a Cancel click).
        dialog.Send(closing, closing == WM_COMMAND ? MAKEWPARAM(IDCANCEL, BN_CLICKED) : 0);
        EXPECT_EQ(0, answer);
        EXPECT_EQ(IDCANCEL, dialog.Result());
    }
}

}  // namespace
