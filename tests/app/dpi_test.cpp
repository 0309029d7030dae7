// The windows at the display's scale: run once per dpi (the prefix's LogPixels, see
// tests/app/CMakeLists.txt). At each, every window of the skin table is its 96-dpi
// layout times the scale, and every face on screen is the picture drawn for that
// scale; a WM_DPICHANGED to another scale lays the main window out again for it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <memory>
#include <string>

#include "framework/dpi.h"
#include "app/panel_list.h"
#include "main_window_fixture.h"
#include "res/skin_table.h"
#include "skin/skin_pictures.h"
#include "skin/skinned_dialog.h"
#include "test_support.h"

namespace {

RECT ClientRectIn(HWND control, HWND dialog)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A 96-dpi length at `dpi`, exactly.
double Exact(long length, UINT dpi)
{
    return length * static_cast<double>(dpi) / kBaseDpi;
}

// The window is its template's 96-dpi layout times the scale, within a pixel: each
// template control's place and size, and the client area.
void ExpectLaidOutFor(const Dialog& dialog, UINT dpi)
{
    SCOPED_TRACE("dialog " + std::to_string(dialog.TemplateId()) + " at " + std::to_string(dpi) + " dpi");
    EXPECT_EQ(dpi, WindowDpi(dialog.hwnd));
    ASSERT_TRUE(dialog.Layout().Recorded());
    const SIZE base = dialog.Layout().BaseClientSize();
    const RECT client = dialog.ClientRect();
    EXPECT_NEAR(client.right, Exact(base.cx, dpi), 1.0);
    EXPECT_NEAR(client.bottom, Exact(base.cy, dpi), 1.0);
    int controls = 0;
    for (HWND c = GetWindow(dialog.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT b{};
        if (!dialog.Layout().BaseRect(c, &b))
            continue;
        ++controls;
        const RECT r = ClientRectIn(c, dialog.hwnd);
        SCOPED_TRACE("control " + std::to_string(GetDlgCtrlID(c)));
        EXPECT_NEAR(r.left, Exact(b.left, dpi), 1.0);
        EXPECT_NEAR(r.top, Exact(b.top, dpi), 1.0);
        // A combo box's height is its edit's, whatever its template gives.
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        EXPECT_NEAR(r.right - r.left, Exact(b.right - b.left, dpi), 1.0);
        if (lstrcmpiA(cls, "ComboBox") != 0) {
            EXPECT_NEAR(r.bottom - r.top, Exact(b.bottom - b.top, dpi), 1.0);
        }
    }
    EXPECT_GT(controls, 0);
}

// Every skinned button with faces shows, pixel for pixel, its normal face as drawn
// for `dpi`, from the face's corner.
void ExpectFacesFor(const SkinnedDialog& dialog, UINT dpi)
{
    SCOPED_TRACE("dialog " + std::to_string(dialog.TemplateId()) + " at " + std::to_string(dpi) + " dpi");
    for (const ButtonSkin& row : kButtonSkins) {
        if (row.dialog != dialog.TemplateId() || row.normal == 0)
            continue;
        HWND button = dialog.GetItem(row.control);
        if (!IsWindowVisible(button))
            continue;
        SCOPED_TRACE("button " + std::to_string(row.control));
        // Without the focus, whose rectangle a face without a focus face shows.
        SendMessageA(button, WM_KILLFOCUS, 0, 0);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const GdiBitmap face = LoadSkinPicture(row.normal, dpi);
        ASSERT_TRUE(face);
        const Capture shown = Capture::OnScreen(button);
        ASSERT_TRUE(shown.ok());
        int w = 0, h = 0;
        const std::vector<COLORREF> drawn = BitmapPixels(face.get(), &w, &h);
        int differ = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < std::min(h, shown.height()); ++y) {
            for (int x = 0; x < std::min(w, shown.width()); ++x) {
                if (shown.At(x, y) != drawn[static_cast<size_t>(y) * w + x] && differ++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
        EXPECT_EQ(differ, 0) << "first at " << firstX << "," << firstY << " of " << shown.width() << " x "
                             << shown.height() << " (face " << w << " x " << h << ")";
    }
}

// The list's bars stand outside its right and bottom edges, 14 pixels thick at 100 %.
void ExpectListBarsFor(HWND dialog, int listId, UINT dpi)
{
    HWND list = GetDlgItem(dialog, listId);
    const RECT l = ClientRectIn(list, dialog);
    int bars = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const RECT r = ClientRectIn(c, dialog);
        if (GetDlgCtrlID(c) != 0xFFFF)
            continue;
        if (r.left == l.right && r.top == l.top) {
            EXPECT_NEAR(r.right - r.left, Exact(14, dpi), 1.0);
            ++bars;
        } else if (r.top == l.bottom && r.left == l.left) {
            EXPECT_NEAR(r.bottom - r.top, Exact(14, dpi), 1.0);
            ++bars;
        }
    }
    EXPECT_EQ(bars, 2) << "list " << listId;
}

// The pointer where no window of the test is, so that no face shows its hover look.
void PointerAway()
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

}  // namespace

// At 100 % the layout's 96-dpi rectangles are the dialog manager's own: the template
// is read and measured as the system reads and measures it.
TEST(DpiLayout, At96DpiTheBaseLayoutIsTheDialogManagers)
{
    if (SystemDpi() != kBaseDpi)
        GTEST_SKIP() << "the display is at " << SystemDpi() << " dpi";
    for (const WindowSkin& skin : kWindowSkins) {
        SCOPED_TRACE("dialog " + std::to_string(skin.dialog));
        HWND plain =
            CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(skin.dialog), nullptr, PlainDialogProc, 0);
        ASSERT_NE(plain, nullptr);
        DialogLayout layout;
        ASSERT_TRUE(layout.Record(plain, GetModuleHandleA(nullptr), skin.dialog));
        RECT client{};
        GetClientRect(plain, &client);
        EXPECT_EQ(client.right, layout.BaseClientSize().cx);
        EXPECT_EQ(client.bottom, layout.BaseClientSize().cy);
        for (HWND c = GetWindow(plain, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT base{};
            ASSERT_TRUE(layout.BaseRect(c, &base));
            const RECT r = ClientRectIn(c, plain);
            EXPECT_EQ(r.left, base.left);
            EXPECT_EQ(r.top, base.top);
            EXPECT_EQ(r.right - r.left, base.right - base.left);
        }
        DestroyWindow(plain);
    }
}

// Every small dialog of the skin table at the display's dpi.
TEST(DpiLayout, EveryDialogIsItsBaseLayoutTimesTheScaleWithFacesDrawnForIt)
{
    const UINT dpi = SystemDpi();
    PointerAway();
    for (const WindowSkin& skin : kWindowSkins) {
        if (skin.dialog == IDD_MAIN)
            continue;
        SkinnedDialog dialog(skin.dialog);
        ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
        ShowWindow(dialog.hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(dialog.hwnd);
        PumpMessages(50);
        ExpectLaidOutFor(dialog, dpi);
        ExpectFacesFor(dialog, dpi);
    }
}

using MainWindowDpi = MainDialogFixture;

// The main window at the display's dpi, then told that it moved to a monitor of
// another scale: it takes the suggested rectangle, lays its controls out, draws the
// faces and cuts the outline for that scale, and a dialog it opens then follows it.
TEST_F(MainWindowDpi, IsItsBaseLayoutTimesTheScaleAndFollowsAMoveToAnotherScale)
{
    PointerAway();
    const UINT first = SystemDpi();
    const UINT second = first == 192 ? 120 : 192;
    for (const UINT dpi : {first, second}) {
        if (dpi != first) {
            const RECT suggested = SuggestedRectForDpi(window_, dpi);
            SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            // At the suggested place; its size within a pixel, the client area exact.
            RECT now{};
            GetWindowRect(window_, &now);
            EXPECT_EQ(now.left, suggested.left);
            EXPECT_EQ(now.top, suggested.top);
            EXPECT_NEAR(now.right, suggested.right, 1);
            EXPECT_NEAR(now.bottom, suggested.bottom, 1);
        }
        PumpMessages(50);
        ExpectLaidOutFor(dialog_, dpi);
        ExpectFacesFor(dialog_, dpi);
        ExpectListBarsFor(window_, IDC_DEVICE_LIST, dpi);
        ExpectListBarsFor(window_, IDC_VOLUME_LIST, dpi);
        // A row of the device list and its header: 15 and 18 pixels at 100 %.
        AddRow("Office Storage", "198.51.100.20", "255.255.255.0", "198.51.100.1", "0", "m");
        RECT row{};
        ListView_GetItemRect(Item(IDC_DEVICE_LIST), 0, &row, LVIR_BOUNDS);
        EXPECT_NEAR(row.bottom - row.top, Exact(kPanelRowHeight, dpi), 1.0);
        RECT header{};
        GetWindowRect(ListView_GetHeader(Item(IDC_DEVICE_LIST)), &header);
        EXPECT_NEAR(header.bottom - header.top, Exact(kPanelHeaderHeight, dpi), 1.0);
        // The first column of the device list: 94 pixels at 100 %.
        EXPECT_NEAR(ListView_GetColumnWidth(Item(IDC_DEVICE_LIST), 0), Exact(94, dpi), 1.0);
        // The outline's corner: its first column starts 5 rows down at 100 %.
        GdiRegion region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(window_, region.get()), ERROR);
        const int corner = static_cast<int>(std::lround(Exact(5, dpi)));
        EXPECT_FALSE(PtInRegion(region.get(), 0, corner - 2));
        EXPECT_TRUE(PtInRegion(region.get(), 0, corner + 1));

        SkinnedDialog owned(IDD_LOGIN, window_);
        ASSERT_NE(owned.CreateModeless(window_), nullptr);
        ShowWindow(owned.hwnd, SW_SHOWNOACTIVATE);
        PumpMessages(50);
        ExpectLaidOutFor(owned, dpi);
        ExpectFacesFor(owned, dpi);
    }
}
