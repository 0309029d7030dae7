// The main window's outline: a rectangle with rounded-off corners, cut from the
// client size on every size change.
#pragma once
#include <windows.h>

// The eleven column bands that make up the outline, right and bottom exclusive. The
// corners' steps are 100 % pixels, scaled for `dpi` (each column at 100 % is
// dpi/96 columns wide).
constexpr int kWindowShapeRectCount = 11;
void MainWindowShapeRects(int width, int height, RECT (&rects)[kWindowShapeRectCount], UINT dpi = 96);

// A new rectangle-list region made of those bands; the caller owns it (or hands it
// to SetWindowRgn, which takes ownership).
HRGN CreateMainWindowRegion(int width, int height, UINT dpi = 96);
