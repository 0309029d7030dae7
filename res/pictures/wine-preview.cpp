// Shows every dialog of kavron.rc with its pictures painted the way the utility
// paints them, for screenshots (wine-preview.sh builds and runs it):
//   - the background stretched over the client area, or copied unscaled to its top
//     left corner, with a plain StretchBlt / BitBlt in the DC's default mode;
//   - each skinned button's face copied from its top left corner at the control's
//     size; what a face does not cover is painted magenta, so it shows;
//   - labels drawn directly on the background (black on the main window, white on
//     the dark dialogs).
//
//   wine-preview.exe [down]      all windows side by side for a few seconds;
//                                `down` shows the pressed faces
//   wine-preview.exe dump        writes <background>-on-<dialog>.bmp into the
//                                current directory: each stretched background as
//                                its dialog's client area shows it, and exits
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "resource.h"

namespace {

struct Window {
    int dialog;
    int background;
    bool stretched;
};

const Window kWindows[] = {
    {IDD_MAIN, IDB_MAIN_BACKGROUND, true},
    {IDD_ABOUT, IDB_ABOUT_BACKGROUND, true},
    {IDD_WIDGET_ENGINE_PROMPT, IDB_WIDGET_PROMPT_BACKGROUND, true},
    {IDD_LOGIN, IDB_LOGIN_BACKGROUND, true},
    {IDD_LANGUAGE, IDB_LANGUAGE_BACKGROUND, true},
    {IDD_ADDON_INSTALLER, IDB_LANGUAGE_BACKGROUND, false},
    {IDD_RESTART_PROGRESS, IDB_RESTART_BACKGROUND, false},
    {IDD_DRIVE_IN_USE, IDB_DRIVE_IN_USE_BACKGROUND, true},
    {IDD_WIDGET_MODEL, IDB_WIDGET_MODEL_BACKGROUND, true},
};

struct Faces {
    int normal, down;
};

std::map<int, Faces> FacesOf(int dialog)
{
    if (dialog == IDD_MAIN) {
        return {{IDC_CLOSE, {IDB_CLOSE, IDB_CLOSE_DOWN}},
                {IDC_MINIMIZE, {IDB_MINIMIZE, IDB_MINIMIZE_DOWN}},
                {IDC_REFRESH, {IDB_REFRESH, IDB_REFRESH_DOWN}},
                {IDC_CONFIGURATION, {IDB_CONFIGURATION, IDB_CONFIGURATION_DOWN}},
                {IDC_LANGUAGE, {IDB_LANGUAGE, IDB_LANGUAGE_DOWN}},
                {IDC_BITTORRENT, {IDB_BITTORRENT, IDB_BITTORRENT_DOWN}},
                {IDC_APPLY, {IDB_APPLY, IDB_APPLY_DOWN}},
                {IDC_CONNECT, {IDB_CONNECT, IDB_CONNECT_DOWN}},
                {IDC_DISCONNECT, {IDB_DISCONNECT, IDB_DISCONNECT_DOWN}},
                {IDC_ABOUT, {IDB_ABOUT, IDB_ABOUT_DOWN}},
                {IDC_EXIT, {IDB_EXIT, IDB_EXIT_DOWN}}};
    }
    if (dialog == IDD_WIDGET_ENGINE_PROMPT) {
        return {{IDOK, {IDB_DOWNLOAD, IDB_DOWNLOAD_DOWN}}, {IDCANCEL, {IDB_NEXT, IDB_NEXT_DOWN}}};
    }
    return {{IDOK, {IDB_OK, IDB_OK_DOWN}}, {IDCANCEL, {IDB_CANCEL, IDB_CANCEL_DOWN}}};
}

bool g_down = false;

HBITMAP Bitmap(int id)
{
    static std::map<int, HBITMAP> cache;
    HBITMAP& b = cache[id];
    // Loaded as the utility loads them: a device-dependent bitmap.
    if (!b)
        b = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    return b;
}

SIZE SizeOf(HBITMAP b)
{
    BITMAP info{};
    GetObjectA(b, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

void PaintBackground(HDC dc, const Window& w, const RECT& client)
{
    HBITMAP b = Bitmap(w.background);
    const SIZE size = SizeOf(b);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, b);
    if (w.stretched) {
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.cx, size.cy, SRCCOPY);
    } else {
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &client, magenta);
        DeleteObject(magenta);
        BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

void DrawFace(const DRAWITEMSTRUCT& item, const Faces& faces)
{
    const bool down = g_down || (item.itemState & ODS_SELECTED);
    HBITMAP b = Bitmap(down ? faces.down : faces.normal);
    const RECT& r = item.rcItem;
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(item.hDC, &r, magenta);
    DeleteObject(magenta);
    const SIZE size = SizeOf(b);
    HDC memory = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(memory, b);
    BitBlt(item.hDC, r.left, r.top, std::min<int>(size.cx, r.right - r.left), std::min<int>(size.cy, r.bottom - r.top),
           memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

const Window* WindowOf(HWND dialog)
{
    return reinterpret_cast<const Window*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void AddColumns(HWND list, const char* const* titles, const int* widths, int count)
{
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(titles[i]);
        column.cx = widths[i];
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* w = reinterpret_cast<const Window*>(lp);
        SetWindowLongPtrA(dialog, DWLP_USER, lp);
        for (const auto& f : FacesOf(w->dialog)) {
            HWND button = GetDlgItem(dialog, f.first);
            if (!button)
                continue;
            const LONG style = GetWindowLongA(button, GWL_STYLE);
            SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
        }
        if (w->dialog == IDD_MAIN) {
            const char* devices[] = {"Name", "IP", "Netmask", "Gateway"};
            const int deviceWidths[] = {94, 85, 85, 85};
            AddColumns(GetDlgItem(dialog, IDC_DEVICE_LIST), devices, deviceWidths, 4);
            const char* volumes[] = {"Volume Name", "Location"};
            const int volumeWidths[] = {120, 111};
            AddColumns(GetDlgItem(dialog, IDC_VOLUME_LIST), volumes, volumeWidths, 2);
        }
        return TRUE;
    }
    case WM_ERASEBKGND: {
        const Window* w = WindowOf(dialog);
        if (!w)
            return FALSE;
        RECT client{};
        GetClientRect(dialog, &client);
        PaintBackground(reinterpret_cast<HDC>(wp), *w, client);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const Window* w = WindowOf(dialog);
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, w && w->dialog == IDD_MAIN ? RGB(0, 0, 0) : RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_DRAWITEM: {
        const Window* w = WindowOf(dialog);
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (!w)
            return FALSE;
        const auto faces = FacesOf(w->dialog);
        const auto it = faces.find(static_cast<int>(item->CtlID));
        if (it == faces.end())
            return FALSE;
        DrawFace(*item, it->second);
        return TRUE;
    }
    case WM_TIMER:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

bool WriteBmp(const char* path, HDC dc, HBITMAP section, int w, int h)
{
    const int stride = (w * 3 + 3) & ~3;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    char* bits = new char[static_cast<size_t>(stride) * h];
    const int rows = GetDIBits(dc, section, 0, h, bits, &info, DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * h;
    FILE* f = std::fopen(path, "wb");
    bool ok = f && rows == h;
    if (f) {
        ok = ok && std::fwrite(&file, sizeof file, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, static_cast<size_t>(stride) * h, 1, f) == 1;
        std::fclose(f);
    }
    delete[] bits;
    return ok;
}

// Each stretched background as its dialog's client area shows it.
int Dump()
{
    int failures = 0;
    for (const Window& w : kWindows) {
        if (!w.stretched)
            continue;
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(w.dialog), nullptr, PreviewProc,
                                         reinterpret_cast<LPARAM>(&w));
        RECT client{};
        GetClientRect(dialog, &client);
        DestroyWindow(dialog);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(dc, target);
        PaintBackground(dc, w, client);
        SelectObject(dc, old);
        char path[64];
        std::snprintf(path, sizeof path, "%d-on-%d.bmp", w.background, w.dialog);
        if (!WriteBmp(path, dc, target, client.right, client.bottom))
            ++failures;
        std::printf("%s %ld x %ld\n", path, client.right, client.bottom);
        DeleteObject(target);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    if (argc > 1 && std::strcmp(argv[1], "dump") == 0)
        return Dump();
    g_down = argc > 1 && std::strcmp(argv[1], "down") == 0;

    // The main window at the top left, the dialogs in rows beside and below it.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    int x = 0, y = 0, rowH = 0, mainBottom = 0, mainRight = 0;
    HWND first = nullptr;
    for (const Window& w : kWindows) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(w.dialog), nullptr, PreviewProc,
                                         reinterpret_cast<LPARAM>(&w));
        if (!dialog)
            continue;
        RECT r{};
        GetWindowRect(dialog, &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        if (w.dialog == IDD_MAIN) {
            mainRight = width + 8;
            mainBottom = height + 8;
            x = mainRight;
            first = dialog;
        } else if (x + width > screenW) {
            y += rowH + 4;
            x = y < mainBottom ? mainRight : 0;
            rowH = 0;
        }
        SetWindowPos(dialog, nullptr, w.dialog == IDD_MAIN ? 0 : x, w.dialog == IDD_MAIN ? 0 : y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
        if (w.dialog != IDD_MAIN) {
            x += width + 4;
            rowH = std::max(rowH, height);
        }
    }
    SetTimer(first, 1, 10000, nullptr);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
