#include "framework/dpi.h"

#include <cstring>

#include "framework/gdi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

template <class Fn>
Fn User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

UINT SystemDpi()
{
    ClientDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

namespace {
constexpr char kLayoutDpiProperty[] = "Kavron.LayoutDpi";
}  // namespace

void SetLayoutDpi(HWND topLevel, UINT dpi)
{
    SetPropA(topLevel, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void ForgetLayoutDpi(HWND topLevel)
{
    RemovePropA(topLevel, kLayoutDpiProperty);
}

RECT SuggestedRectForDpi(HWND window, UINT dpi)
{
    RECT r = {};
    GetWindowRect(window, &r);
    const UINT now = WindowDpi(window);
    r.right = r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), static_cast<int>(now));
    r.bottom = r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), static_cast<int>(now));
    return r;
}

UINT WindowDpi(HWND window)
{
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (const auto laid = reinterpret_cast<UINT_PTR>(root ? GetPropA(root, kLayoutDpiProperty) : nullptr))
        return static_cast<UINT>(laid);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return dpi;
    }
    return SystemDpi();
}

RECT ScaleRectToDpi(const RECT& r, UINT dpi)
{
    return RECT{ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.right, dpi), ScaleToDpi(r.bottom, dpi)};
}

bool AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjust = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust)
        return adjust(rect, style, FALSE, exStyle, dpi) != FALSE;
    return AdjustWindowRectEx(rect, style, FALSE, exStyle) != FALSE;
}

int SystemMetricForDpi(int index, UINT dpi)
{
    static const auto metric = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return metric ? metric(index, dpi) : GetSystemMetrics(index);
}

HFONT CreateTemplateFont(const TemplateFont& font, UINT dpi)
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(font.points, static_cast<int>(dpi), 72);
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfCharSet = font.charset;
    std::memcpy(lf.lfFaceName, font.face, sizeof lf.lfFaceName);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return CreateFontIndirectA(&lf);
}
