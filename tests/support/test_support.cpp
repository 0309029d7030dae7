#include "test_support.h"

#include "framework/gdi.h"

namespace {
// Keyboard navigation belongs to the outermost dialog around a window (test
// dialogs may be children of a plain host window).
HWND OutermostDialog(HWND h)
{
    HWND found = nullptr;
    for (; h; h = GetParent(h)) {
        char cls[16] = {};
        GetClassNameA(h, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0)
            found = h;
        if (!(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return found;
}
}  // namespace

void PumpMessages(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            HWND dialog = OutermostDialog(msg.hwnd);
            if (dialog && IsDialogMessageA(dialog, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

void PressKey(UINT key, bool shift)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(GetFocus(), WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PumpMessages();
    PostMessageA(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    PumpMessages();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

Capture::Capture(HWND h, UINT flags)
{
    RECT r;
    if (GetClientRect(h, &r))
        Read(nullptr, r.right, r.bottom, h, flags);
}

Capture Capture::OnScreen(HWND h)
{
    Capture c;
    RECT r;
    UpdateWindow(h);
    if (!GetClientRect(h, &r))
        return c;
    ClientDC dc(h);
    c.Read(dc.get(), r.right, r.bottom, nullptr, 0);
    return c;
}

void Capture::Read(HDC source, int w, int ht, HWND printed, UINT flags)
{
    if (w <= 0 || ht <= 0)
        return;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -ht;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC dc(nullptr);
    if (!dib || !dc || !bits)
        return;
    {
        SelectObjectGuard sel(dc.get(), dib.get());
        // A colour no skin uses, so unpainted pixels stand out.
        RECT all = {0, 0, w, ht};
        FillSolidRect(dc.get(), all, RGB(1, 2, 3));
        if (printed)
            SendMessageA(printed, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), flags);
        else
            BitBlt(dc.get(), 0, 0, w, ht, source, 0, 0, SRCCOPY);
        GdiFlush();
    }
    width_ = w;
    height_ = ht;
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(w) * ht);
}

bool Capture::Matches(int x, int y, HBITMAP bitmap, int sx, int sy, int w, int h) const
{
    int bw = 0, bh = 0;
    std::vector<COLORREF> px = BitmapPixels(bitmap, &bw, &bh);
    if (px.empty() || sx + w > bw || sy + h > bh)
        return false;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (At(x + i, y + j) != px[static_cast<size_t>(sy + j) * bw + sx + i])
                return false;
    return true;
}

COLORREF Capture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0xFFFFFFFF;
    uint32_t v = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Capture::AllOf(const RECT& r, COLORREF color) const
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (At(x, y) != color)
                return false;
    return true;
}

int Capture::CountInRow(int y, int left, int right, COLORREF color) const
{
    int n = 0;
    for (int x = left; x < right; ++x)
        if (At(x, y) == color)
            ++n;
    return n;
}

std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height)
{
    std::vector<COLORREF> out;
    SIZE size{};
    const std::vector<uint32_t> raw = ReadBitmapPixels(bitmap, &size);
    *width = size.cx;
    *height = size.cy;
    if (raw.empty())
        return out;
    out.reserve(raw.size());
    for (uint32_t v : raw)
        out.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return out;
}
