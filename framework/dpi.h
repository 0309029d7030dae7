// Display scale: the dpi a window is shown at and the arithmetic that turns the
// program's 96-dpi pixel sizes into that dpi's pixels.
//
// The program is per-monitor DPI-aware (res/kavron.manifest): every window is laid
// out and drawn for its own monitor's dpi, and told of a new one by WM_DPICHANGED.
// The per-window functions (GetDpiForWindow, AdjustWindowRectExForDpi,
// GetSystemMetricsForDpi) exist from Windows 10 1607 on and are looked up at run
// time; older systems have one dpi for all monitors, which the screen's device
// context tells.
#pragma once

#include <windows.h>

// The dpi every pixel size in the program's tables and pictures is given at.
constexpr UINT kBaseDpi = 96;

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// The dpi `window` is laid out for: the one its top-level window was last laid out
// for (SetLayoutDpi), else the system's answer for the window (its monitor's under
// per-monitor awareness), else the screen's.
UINT WindowDpi(HWND window);
// Records the dpi a top-level window is laid out for, from its creation and from
// each WM_DPICHANGED on: its controls read it through WindowDpi. It is what the
// system tells (GetDpiForWindow) wherever the system tells it; a WM_DPICHANGED sent
// by a test, which no monitor change backs, is followed the same way.
void SetLayoutDpi(HWND topLevel, UINT dpi);
// Forgets it (before the window is destroyed).
void ForgetLayoutDpi(HWND topLevel);
// The rectangle WM_DPICHANGED suggests for `window` at `dpi`: the same top left
// corner, the size scaled from the window's dpi to the new one.
RECT SuggestedRectForDpi(HWND window, UINT dpi);
// The screen's dpi as GDI reports it (LOGPIXELSX).
UINT SystemDpi();

// A 96-dpi length at `dpi`, rounded to the nearest pixel.
inline int ScaleToDpi(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}
// A 96-dpi rectangle at `dpi`: each edge scaled on its own, so that neighbouring
// rectangles stay neighbours and each size is within a pixel of the exact one.
RECT ScaleRectToDpi(const RECT& rect, UINT dpi);

// AdjustWindowRectExForDpi where it exists, else AdjustWindowRectEx (which uses the
// system's dpi, the only one there is on those systems).
bool AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);
// GetSystemMetricsForDpi where it exists, else GetSystemMetrics.
int SystemMetricForDpi(int index, UINT dpi);

// The font a template's FONT line gives at `dpi`: the point size over `dpi`.
struct TemplateFont {
    int points = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    BYTE charset = DEFAULT_CHARSET;
    char face[LF_FACESIZE] = {};
};
HFONT CreateTemplateFont(const TemplateFont& font, UINT dpi);
