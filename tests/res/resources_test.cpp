// Checks the resources that kavron_resources links into a program: the dialog
// templates as the dialog manager builds them, the initial combo box items, the
// pictures (their sizes against the fixed sizes and against the controls that
// show them), the icon and the version information.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "skin_table.h"
#include "version.h"

namespace {

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// A dialog built from its template, never shown, destroyed with the object.
class HiddenDialog {
public:
    explicit HiddenDialog(int id)
        : hwnd_(CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, QuietDialogProc, 0))
    {}
    ~HiddenDialog()
    {
        if (hwnd_)
            DestroyWindow(hwnd_);
    }
    HiddenDialog(const HiddenDialog&) = delete;
    HiddenDialog& operator=(const HiddenDialog&) = delete;

    HWND get() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

    // A control rectangle in dialog units, placed the way the dialog manager places
    // it: position and size are converted separately.
    RECT Pixels(int x, int y, int w, int h) const
    {
        RECT r{x, y, w, h};
        MapDialogRect(hwnd_, &r);
        return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
    }
    RECT ClientRectOf(HWND child) const
    {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    SIZE ClientSize() const
    {
        RECT r{};
        GetClientRect(hwnd_, &r);
        return SIZE{r.right, r.bottom};
    }

private:
    HWND hwnd_;
};

std::string ClassOf(HWND h)
{
    char name[64] = "";
    GetClassNameA(h, name, sizeof name);
    return name;
}

std::string TextOf(HWND h)
{
    char text[256] = "";
    GetWindowTextA(h, text, sizeof text);
    return text;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    char s[80];
    std::snprintf(s, sizeof s, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return s;
}

// The face the system really draws a dialog's font in, with its cell height and
// average character width: the numbers the dialog base units come from.
std::string RealizedFont(HWND dialog)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    char s[128];
    std::snprintf(s, sizeof s, "drawn in \"%s\", cell height %ld, average width %ld", face, tm.tmHeight,
                  tm.tmAveCharWidth);
    return s;
}

struct BitmapInfo {
    bool loaded = false;
    int width = 0, height = 0, bits = 0;
};

BitmapInfo LoadBitmapInfo(int id)
{
    BitmapInfo info;
    HANDLE h = LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h)
        return info;
    DIBSECTION ds{};
    if (GetObjectA(h, sizeof ds, &ds) >= static_cast<int>(sizeof(BITMAP))) {
        info.loaded = true;
        info.width = ds.dsBm.bmWidth;
        info.height = ds.dsBm.bmHeight;
        info.bits = ds.dsBm.bmBitsPixel;
    }
    DeleteObject(h);
    return info;
}

// Static controls without an id, by their text.
HWND FindLabel(HWND dialog, const char* text)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassOf(c) == "Static" && TextOf(c) == text)
            return c;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Main window template

struct ExpectedControl {
    int id;
    const char* windowClass;
    int x, y, w, h;
    bool visible;
    DWORD styleBits;  // bits that must be set (beyond the class's own)
};

const ExpectedControl kMainControls[] = {
    {IDC_DEVICE_LIST, "SysListView32", 14, 44, 179, 61, true,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP},
    {IDC_REFRESH, "Button", 211, 44, 68, 16, true, 0},
    {IDC_CONFIGURATION, "Button", 211, 64, 68, 16, true, 0},
    {IDC_LAN_PORT, "ComboBox", 50, 120, 65, 0, false, CBS_DROPDOWNLIST},
    {IDC_WIDGET, "Button", 202, 102, 62, 21, false, 0},
    {IDC_BITTORRENT, "Button", 203, 109, 62, 20, false, 0},
    {IDC_LANGUAGE, "Button", 133, 115, 62, 19, false, 0},
    {IDC_IP_ADDRESS, "SysIPAddress32", 50, 145, 100, 13, true, 0},
    {IDC_NETMASK, "SysIPAddress32", 50, 161, 100, 13, true, 0},
    {IDC_GATEWAY, "SysIPAddress32", 50, 177, 100, 13, true, 0},
    {IDC_RECEIVE_DHCP, "ComboBox", 219, 145, 59, 0, true, CBS_DROPDOWNLIST},
    {IDC_APPLY, "Button", 211, 164, 68, 16, true, 0},
    {IDC_VOLUME_LIST, "SysListView32", 14, 221, 157, 61, true,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP},
    {IDC_DRIVE_LETTERS, "ComboBox", 195, 232, 84, 0, true, CBS_DROPDOWNLIST},
    {IDC_CONNECT, "Button", 211, 250, 68, 16, true, 0},
    {IDC_DISCONNECT, "Button", 211, 270, 68, 16, true, 0},
    {IDC_ABOUT, "Button", 133, 309, 68, 16, true, 0},
    {IDC_EXIT, "Button", 211, 309, 68, 16, true, 0},
    {IDC_MINIMIZE, "Button", 258, 3, 12, 10, true, 0},
    {IDC_CLOSE, "Button", 271, 3, 12, 10, true, 0},
};

TEST(MainTemplate, WindowIsACaptionlessPopupWithATaskbarButton)
{
    HiddenDialog dlg(IDD_MAIN);
    ASSERT_NE(dlg.get(), nullptr);
    const LONG style = GetWindowLongA(dlg.get(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(dlg.get(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | DS_MODALFRAME));
    // No caption to draw them on, but the system menu's Minimize and Close (Alt+Space).
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    const RECT client = dlg.Pixels(0, 0, 287, 329);
    const SIZE size = dlg.ClientSize();
    EXPECT_EQ(size.cx, client.right);
    EXPECT_EQ(size.cy, client.bottom);

    RECT unit{0, 0, 4, 8};
    MapDialogRect(dlg.get(), &unit);
    std::printf("main window: client %ld x %ld px, dialog base units %ld x %ld, font %s\n", size.cx, size.cy,
                unit.right, unit.bottom, RealizedFont(dlg.get()).c_str());
}

TEST(MainTemplate, ControlsHaveTheirKindPlaceAndVisibility)
{
    HiddenDialog dlg(IDD_MAIN);
    ASSERT_NE(dlg.get(), nullptr);
    for (const ExpectedControl& c : kMainControls) {
        SCOPED_TRACE("control " + std::to_string(c.id));
        HWND h = dlg.item(c.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(ClassOf(h), c.windowClass);
        const LONG style = GetWindowLongA(h, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, c.visible);
        // The dialog manager turns a control's plain border into the sunken client edge.
        DWORD have = static_cast<DWORD>(style);
        if (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
            have |= WS_BORDER;
        EXPECT_EQ(have & c.styleBits, c.styleBits);
        if (ClassOf(h) == "Button") {
            // Skinned buttons carry their captions in their pictures.
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
            EXPECT_EQ(TextOf(h), "");
        }
        if (ClassOf(h) == "ComboBox") {
            EXPECT_FALSE(style & CBS_SORT);
            // A closed drop-down list keeps its own height: compare the top edge only.
            const RECT want = dlg.Pixels(c.x, c.y, c.w, 1);
            const RECT got = dlg.ClientRectOf(h);
            EXPECT_EQ(got.left, want.left);
            EXPECT_EQ(got.top, want.top);
            EXPECT_EQ(got.right, want.right);
        } else {
            const RECT want = dlg.Pixels(c.x, c.y, c.w, c.h);
            const RECT got = dlg.ClientRectOf(h);
            EXPECT_TRUE(SameRect(got, want)) << Describe(got) << " != " << Describe(want);
        }
    }
}

TEST(MainTemplate, LabelsSitWhereTheBackgroundLeavesRoomForThem)
{
    struct Label {
        const char* text;
        int x, y, w, h;
    };
    const Label labels[] = {
        {"I P :", 14, 148, 14, 8},
        {"Netmask :", 14, 164, 32, 8},
        {"Gateway :", 14, 180, 38, 8},
        {"Receive DHCP :", 165, 147, 51, 8},
        {"Available Drive Letters :", 195, 220, 78, 8},
    };
    HiddenDialog dlg(IDD_MAIN);
    ASSERT_NE(dlg.get(), nullptr);
    for (const Label& l : labels) {
        SCOPED_TRACE(l.text);
        HWND h = FindLabel(dlg.get(), l.text);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(SameRect(dlg.ClientRectOf(h), dlg.Pixels(l.x, l.y, l.w, l.h)));
    }
}

// ---------------------------------------------------------------------------
// Initial combo box items

std::vector<std::string> InitialItems(int dialogId, int controlId)
{
    std::vector<std::string> items;
    HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(240));
    if (!res)
        return items;
    const DWORD size = SizeofResource(Module(), res);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), res)));
    // Records: WORD id, WORD message, DWORD length, bytes; a zero id ends the list.
    DWORD pos = 0;
    while (pos + 2 <= size) {
        WORD id, msg;
        DWORD len;
        std::memcpy(&id, data + pos, 2);
        if (id == 0)
            return items;
        if (pos + 8 > size)
            break;
        std::memcpy(&msg, data + pos + 2, 2);
        std::memcpy(&len, data + pos + 4, 4);
        pos += 8;
        if (len == 0 || pos + len > size || data[pos + len - 1] != 0)
            break;  // malformed
        if (id == controlId && msg == 0x0403)
            items.emplace_back(reinterpret_cast<const char*>(data + pos));
        pos += len;
    }
    ADD_FAILURE() << "initial items of dialog " << dialogId << " are not closed by a zero id";
    return items;
}

TEST(InitialItems, ReceiveDhcpOffersDisableThenEnable)
{
    EXPECT_EQ(InitialItems(IDD_MAIN, IDC_RECEIVE_DHCP), (std::vector<std::string>{"Disable", "Enable"}));
}

// ---------------------------------------------------------------------------
// Small dialogs

struct ExpectedDialog {
    int id;
    int w, h;
    int fontPoints;
    const char* caption;
    int background;  // 0: none
    bool backgroundStretched;
};

const ExpectedDialog kDialogs[] = {
    {IDD_LOGIN, 205, 84, 8, "Login", IDB_LOGIN_BACKGROUND, true},
    {IDD_LANGUAGE, 226, 64, 8, "", IDB_LANGUAGE_BACKGROUND, true},
    {IDD_RESTART_PROGRESS, 202, 75, 8, "", IDB_RESTART_BACKGROUND, false},
    {IDD_ADDON_INSTALLER, 220, 75, 8, "", IDB_LANGUAGE_BACKGROUND, false},
    {IDD_DRIVE_IN_USE, 165, 68, 8, "", IDB_DRIVE_IN_USE_BACKGROUND, true},
    {IDD_WIDGET_ENGINE_PROMPT, 343, 117, 8, "", IDB_WIDGET_PROMPT_BACKGROUND, true},
    {IDD_WIDGET_MODEL, 150, 115, 8, "", IDB_WIDGET_MODEL_BACKGROUND, true},
    {IDD_ABOUT, 267, 71, 9, "", IDB_ABOUT_BACKGROUND, true},
};

TEST(SmallDialogs, AreModalFramesWithCloseBoxOfTheirSizeAndFont)
{
    for (const ExpectedDialog& d : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(d.id));
        HiddenDialog dlg(d.id);
        ASSERT_NE(dlg.get(), nullptr);
        const LONG style = GetWindowLongA(dlg.get(), GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        EXPECT_EQ(TextOf(dlg.get()), d.caption);
        const RECT want = dlg.Pixels(0, 0, d.w, d.h);
        const SIZE got = dlg.ClientSize();
        EXPECT_EQ(got.cx, want.right);
        EXPECT_EQ(got.cy, want.bottom);

        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg.get(), WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        ASSERT_NE(font, nullptr);
        GetObjectA(font, sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, "Arial");
        HDC dc = GetDC(nullptr);
        EXPECT_EQ(-lf.lfHeight, MulDiv(d.fontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72));
        ReleaseDC(nullptr, dc);
        RECT unit{0, 0, 4, 8};
        MapDialogRect(dlg.get(), &unit);
        std::printf("dialog %d: client %ld x %ld px, base units %ld x %ld, font %s\n", d.id, got.cx, got.cy, unit.right,
                    unit.bottom, RealizedFont(dlg.get()).c_str());
    }
}

// A label too narrow for its text wraps onto a line its control has no room for:
// every wrapping text of every window stands on one line, in the window's own font.
// (The main window's labels do not wrap; they are checked by their screenshots.)
TEST(SmallDialogs, EveryTextFitsItsControlOnOneLine)
{
    std::vector<int> windows = {IDD_MAIN};
    for (const ExpectedDialog& d : kDialogs)
        windows.push_back(d.id);
    for (int id : windows) {
        HiddenDialog dlg(id);
        HDC dc = GetDC(dlg.get());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dlg.get(), WM_GETFONT, 0, 0)));
        for (HWND c = GetWindow(dlg.get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const std::string text = TextOf(c);
            const LONG type = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
            if (ClassOf(c) != "Static" || text.empty() || (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT))
                continue;
            SIZE extent{};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            RECT r{};
            GetClientRect(c, &r);
            EXPECT_LE(extent.cx, r.right) << "dialog " << id << ": \"" << text << "\"";
        }
        SelectObject(dc, old);
        ReleaseDC(dlg.get(), dc);
    }
}

TEST(SmallDialogs, ControlsAndTextsAreThere)
{
    struct Item {
        int dialog, id;
        const char* windowClass;
        const char* text;
    };
    const Item items[] = {
        {IDD_LOGIN, IDC_LOGIN_USER_NAME, "Edit", nullptr},
        {IDD_LOGIN, IDC_LOGIN_PASSWORD, "Edit", nullptr},
        {IDD_LOGIN, IDOK, "Button", ""},
        {IDD_LOGIN, IDCANCEL, "Button", ""},
        {IDD_LANGUAGE, IDOK, "Button", ""},
        {IDD_LANGUAGE, IDCANCEL, "Button", ""},
        {IDD_LANGUAGE, IDC_LANGUAGE_CHOICE, "ComboBox", nullptr},
        {IDD_RESTART_PROGRESS, IDC_RESTART_PROGRESS, "msctls_progress32", nullptr},
        {IDD_DRIVE_IN_USE, IDOK, "Button", ""},
        {IDD_DRIVE_IN_USE, IDCANCEL, "Button", ""},
        {IDD_WIDGET_ENGINE_PROMPT, IDOK, "Button", ""},
        {IDD_WIDGET_ENGINE_PROMPT, IDCANCEL, "Button", ""},
        {IDD_WIDGET_MODEL, IDC_MODEL_ZKM110, "Button", "ZKM-110"},
        {IDD_WIDGET_MODEL, IDC_MODEL_ZKM120, "Button", "ZKM-120"},
        {IDD_WIDGET_MODEL, IDC_MODEL_ZKM140, "Button", "ZKM-140"},
        {IDD_WIDGET_MODEL, IDOK, "Button", ""},
        {IDD_WIDGET_MODEL, IDCANCEL, "Button", ""},
        {IDD_ABOUT, IDOK, "Button", ""},
    };
    for (const Item& it : items) {
        SCOPED_TRACE("dialog " + std::to_string(it.dialog) + " control " + std::to_string(it.id));
        HiddenDialog dlg(it.dialog);
        HWND h = dlg.item(it.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(ClassOf(h), it.windowClass);
        if (it.text) {
            EXPECT_EQ(TextOf(h), it.text);
        }
    }

    struct Label {
        int dialog;
        const char* text;
    };
    const Label labels[] = {
        {IDD_LOGIN, "User name :"},
        {IDD_LOGIN, "Password :"},
        {IDD_LANGUAGE, "Language :"},
        {IDD_RESTART_PROGRESS, "The system is restarting. Please wait a moment."},
        {IDD_ADDON_INSTALLER, " Warning: Do not power down your device during this process."},
        {IDD_ADDON_INSTALLER, "Doing so may physically damage this device."},
        {IDD_ADDON_INSTALLER, "Loading....."},
        {IDD_DRIVE_IN_USE, "The drive letter has been used."},
        {IDD_DRIVE_IN_USE, "Do you still want to use this drive letter?"},
        {IDD_WIDGET_ENGINE_PROMPT, "You need to first download and install YAHOO! Widgets Engine."},
        {IDD_WIDGET_ENGINE_PROMPT,
         "If you wish to download and install YAHOO! Widgets Engine, please click on the \"Download\" button."},
        {IDD_WIDGET_ENGINE_PROMPT,
         "If you have already installed YAHOO! Widgets Engine, please click on the \"Next\" button to"},
        {IDD_WIDGET_ENGINE_PROMPT, "proceed to the next step."},
        {IDD_WIDGET_MODEL, "The model type cannot be recognized."},
        {IDD_WIDGET_MODEL, "Please select:"},
        {IDD_ABOUT, "Kavron Storage Utility"},
        {IDD_ABOUT, "Version : " KAVRON_VERSION_TEXT},
    };
    for (const Label& l : labels) {
        SCOPED_TRACE(l.text);
        HiddenDialog dlg(l.dialog);
        EXPECT_NE(FindLabel(dlg.get(), l.text), nullptr);
    }
}

TEST(SmallDialogs, DefaultButtonsAndTheRadioGroup)
{
    const int withDefaultOk[] = {IDD_LANGUAGE, IDD_DRIVE_IN_USE, IDD_WIDGET_MODEL, IDD_ABOUT};
    for (int id : withDefaultOk) {
        HiddenDialog dlg(id);
        EXPECT_EQ(LOWORD(SendMessageA(dlg.get(), DM_GETDEFID, 0, 0)), IDOK) << "dialog " << id;
    }
    HiddenDialog model(IDD_WIDGET_MODEL);
    const int radios[] = {IDC_MODEL_ZKM110, IDC_MODEL_ZKM120, IDC_MODEL_ZKM140};
    for (int id : radios) {
        HWND h = model.item(id);
        EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    // The group is exactly the three models: walking it from the first comes back
    // after the third.
    HWND first = model.item(IDC_MODEL_ZKM110);
    HWND h = first;
    int members = 0;
    do {
        ++members;
        h = GetNextDlgGroupItem(model.get(), h, FALSE);
    } while (h && h != first && members < 10);
    EXPECT_EQ(members, 3);
}

// ---------------------------------------------------------------------------
// Pictures

struct FixedSize {
    int id, w, h;
};

TEST(Pictures, FixedSizesAndTrueColour)
{
    const FixedSize fixed[] = {
        {IDB_MAIN_BACKGROUND, 430, 574},  {IDB_LOGIN_BACKGROUND, 308, 147}, {IDB_HEADER_BACKGROUND, 1, 17},
        {IDB_HEADER_SEPARATOR, 12, 17},   {IDB_HSCROLL_RIGHT, 16, 14},      {IDB_HSCROLL_TRACK, 2, 14},
        {IDB_HSCROLL_LEFT, 16, 14},       {IDB_HSCROLL_THUMB, 26, 14},      {IDB_HSCROLL_LEFT_GREY, 16, 14},
        {IDB_HSCROLL_RIGHT_GREY, 16, 14}, {IDB_HSCROLL_TRACK_GREY, 1, 14},  {IDB_VSCROLL_UP, 14, 18},
        {IDB_VSCROLL_TRACK, 18, 1},       {IDB_VSCROLL_THUMB, 14, 26},      {IDB_VSCROLL_DOWN, 14, 18},
        {IDB_VSCROLL_UP_GREY, 14, 18},    {IDB_VSCROLL_TRACK_GREY, 18, 1},  {IDB_VSCROLL_DOWN_GREY, 14, 18},
    };
    for (const FixedSize& f : fixed) {
        SCOPED_TRACE("bitmap " + std::to_string(f.id));
        const BitmapInfo b = LoadBitmapInfo(f.id);
        ASSERT_TRUE(b.loaded);
        EXPECT_EQ(b.width, f.w);
        EXPECT_EQ(b.height, f.h);
        EXPECT_EQ(b.bits, 24);
    }
}

// A picture as a window paints it: stretched over (or, at its own size, copied
// onto) an area with a plain StretchBlt, in the DC's default stretch mode unless
// another is given. Pixels are read back from a 32-bit DIB section.
class Painted {
public:
    Painted(int bitmapId, SIZE area, int stretchMode = 0) : area_(area)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = area.cx;
        bi.bmiHeader.biHeight = -area.cy;  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        section_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        // Loaded as the program loads its pictures: a device-dependent bitmap.
        HBITMAP picture = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
        HDC source = CreateCompatibleDC(nullptr);
        if (section_ && dc_ && picture && source) {
            old_ = SelectObject(dc_, section_);
            BITMAP info{};
            GetObjectA(picture, sizeof info, &info);
            HGDIOBJ oldSource = SelectObject(source, picture);
            if (stretchMode)
                SetStretchBltMode(dc_, stretchMode);
            if (StretchBlt(dc_, 0, 0, area.cx, area.cy, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY)) {
                GdiFlush();
                bits_ = static_cast<const BYTE*>(bits);
            }
            SelectObject(source, oldSource);
        }
        if (source)
            DeleteDC(source);
        if (picture)
            DeleteObject(picture);
    }
    ~Painted()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (dc_)
            DeleteDC(dc_);
        if (section_)
            DeleteObject(section_);
    }
    Painted(const Painted&) = delete;
    Painted& operator=(const Painted&) = delete;

    bool ok() const { return bits_ != nullptr; }
    COLORREF At(int x, int y) const
    {
        const BYTE* p = bits_ + (static_cast<size_t>(y) * area_.cx + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    int Differences(const Painted& other) const
    {
        int n = 0;
        for (int y = 0; y < area_.cy; ++y)
            for (int x = 0; x < area_.cx; ++x)
                n += At(x, y) != other.At(x, y);
        return n;
    }

private:
    SIZE area_;
    HBITMAP section_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const BYTE* bits_ = nullptr;
};

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Describe(COLORREF c)
{
    char s[16];
    std::snprintf(s, sizeof s, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}

int Luminance(COLORREF c)
{
    return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
}

SIZE BitmapSize(int id)
{
    const BitmapInfo b = LoadBitmapInfo(id);
    return SIZE{b.width, b.height};
}

// The size in dialog units of every button the skin table gives faces: the faces
// must cover them here and under other dialog metrics.
struct ControlSize {
    int dialog, control;
    int w, h;
};

const ControlSize kButtonSizes[] = {
    {IDD_MAIN, IDC_CLOSE, 12, 10},
    {IDD_MAIN, IDC_MINIMIZE, 12, 10},
    {IDD_MAIN, IDC_REFRESH, 68, 16},
    {IDD_MAIN, IDC_CONFIGURATION, 68, 16},
    {IDD_MAIN, IDC_LANGUAGE, 62, 19},
    {IDD_MAIN, IDC_BITTORRENT, 62, 20},
    {IDD_MAIN, IDC_APPLY, 68, 16},
    {IDD_MAIN, IDC_CONNECT, 68, 16},
    {IDD_MAIN, IDC_DISCONNECT, 68, 16},
    {IDD_MAIN, IDC_ABOUT, 68, 16},
    {IDD_MAIN, IDC_EXIT, 68, 16},
    {IDD_LOGIN, IDOK, 62, 16},
    {IDD_LOGIN, IDCANCEL, 62, 16},
    {IDD_LANGUAGE, IDOK, 62, 16},
    {IDD_LANGUAGE, IDCANCEL, 62, 16},
    {IDD_DRIVE_IN_USE, IDOK, 62, 16},
    {IDD_DRIVE_IN_USE, IDCANCEL, 62, 16},
    {IDD_WIDGET_MODEL, IDOK, 62, 16},
    {IDD_WIDGET_MODEL, IDCANCEL, 62, 16},
    {IDD_WIDGET_ENGINE_PROMPT, IDOK, 61, 16},
    {IDD_WIDGET_ENGINE_PROMPT, IDCANCEL, 62, 16},
    {IDD_ABOUT, IDOK, 68, 16},
};

// One skinned button with faces: its row of the skin table and its size.
struct Face {
    int dialog, control, normal, down;
    int w, h;
};

std::vector<Face> FacesOfTheTable()
{
    std::vector<Face> faces;
    for (const ButtonSkin& row : kButtonSkins) {
        if (row.normal == 0)
            continue;
        const ControlSize* size = nullptr;
        for (const ControlSize& s : kButtonSizes)
            if (s.dialog == row.dialog && s.control == row.control)
                size = &s;
        EXPECT_NE(size, nullptr) << "no size for dialog " << row.dialog << " control " << row.control;
        if (size)
            faces.push_back({row.dialog, row.control, row.normal, row.down, size->w, size->h});
    }
    return faces;
}

// Dialog base units of other systems, Arial 8 then Arial 9: an Arial that comes out
// a little taller, and the wider face Wine falls back to without one with Arial's
// metrics. Their controls are larger than here.
struct BaseUnits {
    int x8, y8, x9, y9;
};
const BaseUnits kOtherBaseUnits[] = {{6, 14, 7, 15}, {7, 13, 7, 14}};

// Each skinned button copies its face at the control's size from the face's top
// left corner: a face smaller than its control would show garbage at the edges,
// here and on the systems above.
TEST(Pictures, ButtonFacesCoverTheirControls)
{
    const std::vector<Face> faces = FacesOfTheTable();
    EXPECT_EQ(faces.size(), sizeof kButtonSizes / sizeof kButtonSizes[0]);
    for (const Face& f : faces) {
        SCOPED_TRACE("dialog " + std::to_string(f.dialog) + " control " + std::to_string(f.control));
        HiddenDialog dlg(f.dialog);
        HWND h = dlg.item(f.control);
        ASSERT_NE(h, nullptr);
        RECT r{};
        GetClientRect(h, &r);
        for (const BaseUnits& u : kOtherBaseUnits) {
            const bool nine = f.dialog == IDD_ABOUT;
            r.right = std::max<LONG>(r.right, MulDiv(f.w, nine ? u.x9 : u.x8, 4));
            r.bottom = std::max<LONG>(r.bottom, MulDiv(f.h, nine ? u.y9 : u.y8, 8));
        }
        for (int id : {f.normal, f.down}) {
            const BitmapInfo b = LoadBitmapInfo(id);
            ASSERT_TRUE(b.loaded) << "bitmap " << id;
            EXPECT_GE(b.width, r.right) << "bitmap " << id;
            EXPECT_GE(b.height, r.bottom) << "bitmap " << id;
            EXPECT_EQ(b.bits, 24) << "bitmap " << id;
        }
        // Normal and pressed faces of one button have one size.
        const BitmapInfo n = LoadBitmapInfo(f.normal), d = LoadBitmapInfo(f.down);
        EXPECT_EQ(n.width, d.width);
        EXPECT_EQ(n.height, d.height);
    }
}

// The faces of the main window, the widget engine prompt and the About box are cut from the
// backgrounds they sit on, at the size their controls have here. A face drawn for
// another size or place shows as a button off centre in its control, cut off, or
// with a seam: its body must reach to a pixel from the control's left, top and
// right edges and to two from the bottom, which leaves room for a shadow (checked
// on the pressed faces: the title buttons draw no body when they are not
// pressed), and the corners its rounded body leaves free must match the
// background there.
TEST(Pictures, FacesFillTheirControlsAndBlendIntoTheBackground)
{
    for (const Face& f : FacesOfTheTable()) {
        // OK and Cancel serve several backgrounds: only the faces of one are cut from it.
        if (f.dialog != IDD_MAIN && f.dialog != IDD_WIDGET_ENGINE_PROMPT && f.dialog != IDD_ABOUT)
            continue;
        const int background = FindWindowSkin(f.dialog)->background;
        SCOPED_TRACE("dialog " + std::to_string(f.dialog) + " control " + std::to_string(f.control));
        HiddenDialog dlg(f.dialog);
        HWND h = dlg.item(f.control);
        ASSERT_NE(h, nullptr);
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE))
            continue;  // never shown
        const RECT r = dlg.ClientRectOf(h);
        const int w = r.right - r.left, ht = r.bottom - r.top;
        const Painted bg(background, dlg.ClientSize());
        const Painted normal(f.normal, BitmapSize(f.normal)), down(f.down, BitmapSize(f.down));
        ASSERT_TRUE(bg.ok() && normal.ok() && down.ok());
        const POINT corners[] = {{0, 0}, {w - 1, 0}, {0, ht - 1}, {w - 1, ht - 1}};
        for (const POINT& p : corners) {
            const COLORREF want = bg.At(r.left + p.x, r.top + p.y), got = normal.At(p.x, p.y);
            EXPECT_TRUE(Near(got, want, 6))
                << "corner " << p.x << "," << p.y << ": face " << Describe(got) << ", background " << Describe(want);
        }
        const POINT edges[] = {{1, ht / 2}, {w - 2, ht / 2}, {w / 2, 1}, {w / 2, ht - 3}};
        for (const POINT& p : edges) {
            const COLORREF behind = bg.At(r.left + p.x, r.top + p.y), got = down.At(p.x, p.y);
            EXPECT_FALSE(Near(got, behind, 6)) << "no body at " << p.x << "," << p.y << " of pressed face " << f.down;
        }
    }
}

// The main window's labels are drawn black straight onto its background: nothing
// dark of the picture (title strip, headings) may run under them.
TEST(Pictures, MainWindowLabelsStandOnTheLightWorkArea)
{
    HiddenDialog dlg(IDD_MAIN);
    ASSERT_NE(dlg.get(), nullptr);
    const Painted bg(IDB_MAIN_BACKGROUND, dlg.ClientSize());
    ASSERT_TRUE(bg.ok());
    int labels = 0;
    for (HWND c = GetWindow(dlg.get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        // The hidden labels name the lists for screen readers and draw nothing.
        if (ClassOf(c) != "Static" || !(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE))
            continue;
        ++labels;
        const RECT r = dlg.ClientRectOf(c);
        int darkest = 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                darkest = std::min(darkest, Luminance(bg.At(x, y)));
        EXPECT_GE(darkest, 170) << "behind \"" << TextOf(c) << "\" " << Describe(r);
    }
    EXPECT_EQ(labels, 5);
}

// A stretch that shrinks a picture in the DC's default mode ANDs the rows and
// columns it drops into those it keeps: unless the dropped ones repeat their
// neighbours, gradients come out banded and text speckled. Dropping them plainly
// must therefore give the same picture.
TEST(Pictures, StretchedBackgroundsShowWithoutBanding)
{
    std::vector<std::pair<int, int>> stretched;
    for (const WindowSkin& w : kWindowSkins)
        if (w.fit == BackgroundFit::kStretched)
            stretched.emplace_back(w.dialog, w.background);
    for (const auto& s : stretched) {
        SCOPED_TRACE("dialog " + std::to_string(s.first) + " background " + std::to_string(s.second));
        HiddenDialog dlg(s.first);
        const Painted shown(s.second, dlg.ClientSize()), plain(s.second, dlg.ClientSize(), COLORONCOLOR);
        ASSERT_TRUE(shown.ok() && plain.ok());
        EXPECT_EQ(shown.Differences(plain), 0);
    }
}

TEST(Pictures, DialogBackgroundsFitTheirDialogs)
{
    EXPECT_EQ(sizeof kWindowSkins / sizeof kWindowSkins[0], 1 + sizeof kDialogs / sizeof kDialogs[0])
        << "every dialog has its picture, and only the main window is not a small dialog";
    for (const ExpectedDialog& d : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(d.id));
        const WindowSkin* skin = FindWindowSkin(d.id);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->labelColor, kWhiteLabels);
        HiddenDialog dlg(d.id);
        const SIZE client = dlg.ClientSize();
        const BitmapInfo b = LoadBitmapInfo(skin->background);
        ASSERT_TRUE(b.loaded);
        EXPECT_EQ(b.bits, 24);
        if (skin->fit == BackgroundFit::kStretched) {
            // Stretched over the client. The shape follows the dialog font's metrics,
            // which change when the system substitutes a face for Arial, so only a
            // picture made for a clearly different window is caught here.
            const double want = static_cast<double>(client.cx) / client.cy;
            const double got = static_cast<double>(b.width) / b.height;
            EXPECT_NEAR(got / want, 1.0, 0.35);
        } else {
            // Copied unscaled to the top left corner: it must reach the far edges.
            EXPECT_GE(b.width, client.cx);
            EXPECT_GE(b.height, client.cy);
        }
    }
}

// ---------------------------------------------------------------------------
// Icon and version information

TEST(Icon, HasSmallMediumAndLargeImages)
{
    HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(res, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(Module(), res)));
    ASSERT_GE(SizeofResource(Module(), res), 6u);
    WORD count;
    std::memcpy(&count, dir + 4, 2);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i)
        sizes.push_back(dir[6 + 14 * i]);  // bWidth of each entry
    // The small and the large icon at 100, 125, 150, 175 and 200 %, each drawn for itself.
    const std::vector<int> drawn{16, 20, 24, 28, 32, 40, 48, 56, 64};
    EXPECT_EQ(sizes, drawn);
    for (int s : drawn) {
        HANDLE icon = LoadImageA(Module(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, s, s, 0);
        EXPECT_NE(icon, nullptr) << s;
        if (icon)
            DestroyIcon(static_cast<HICON>(icon));
    }
}

std::string VersionString(const std::vector<BYTE>& block, const char* name)
{
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\040904b0\\%s", name);
    void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(block.data(), path, &value, &len) || !value)
        return "<missing>";
    return static_cast<const char*>(value);
}

TEST(VersionInformation, Is5102OfTheKavronStorageUtility)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 5));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 5));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(2, 0));

    EXPECT_EQ(VersionString(block, "FileVersion"), KAVRON_VERSION_COMMAS);
    EXPECT_EQ(VersionString(block, "ProductVersion"), KAVRON_VERSION_COMMAS);
    EXPECT_EQ(VersionString(block, "FileDescription"), "Kavron Storage Utility");
    EXPECT_EQ(VersionString(block, "InternalName"), "Kavron Storage Utility");
    EXPECT_EQ(VersionString(block, "ProductName"), "Kavron Storage Utility");
    EXPECT_EQ(VersionString(block, "CompanyName"), "Kavron");
}

}  // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
