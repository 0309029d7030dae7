// Helpers for tests that drive real windows: message pumping and reading back
// what a window paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Dispatches pending messages (for dialogs, through IsDialogMessage) until the
// queue is empty, then waits up to `ms` more for late ones (timers, posts).
void PumpMessages(DWORD ms = 0);

// A key pressed and released on the focused control and pumped as above, so that the
// dialog manager sees it as in a dialog's own loop; Shift is held when asked.
void PressKey(UINT key, bool shift = false);

// A 32-bit top-down picture of a window's client area, painted through WM_PRINT
// (erase, client, children) into a DIB section.
class Capture {
public:
    Capture() = default;
    explicit Capture(HWND h, UINT flags = PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    // What the window shows on screen now: its client area copied from its DC
    // after pending paints have run.
    static Capture OnScreen(HWND h);
    int width() const { return width_; }
    int height() const { return height_; }
    bool ok() const { return width_ > 0 && height_ > 0; }
    // RGB() value of a pixel; 0xFFFFFFFF outside the picture.
    COLORREF At(int x, int y) const;
    // True when every pixel of the rectangle has `color`.
    bool AllOf(const RECT& r, COLORREF color) const;
    // Number of pixels of `color` in row y, x from left to right (exclusive).
    int CountInRow(int y, int left, int right, COLORREF color) const;

    // True when the w x h block at (x, y) equals the bitmap's pixels at (sx, sy).
    bool Matches(int x, int y, HBITMAP bitmap, int sx, int sy, int w, int h) const;

private:
    void Read(HDC source, int w, int h, HWND printed, UINT flags);
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The pixels of a bitmap, as RGB() values, top-down.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height);
