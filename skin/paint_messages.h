// The skinned controls paint off screen through one Paint(HDC), for the screen
// (WM_PAINT) and for WM_PRINTCLIENT alike, so that what a test reads back is what
// the screen shows.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

// Returns true when msg was a paint request and has been handled.
template <class Control>
bool HandlePaintMessage(Control& control, UINT msg, WPARAM wParam)
{
    if (msg == WM_PAINT) {
        PaintDC dc(control.hwnd);
        control.Paint(dc.get());
        return true;
    }
    if (msg == WM_PRINTCLIENT) {
        control.Paint(reinterpret_cast<HDC>(wParam));
        return true;
    }
    return false;
}
