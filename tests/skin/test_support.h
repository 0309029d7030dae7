// Helpers for tests that drive real windows: message pumping and reading back
// what a window paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Dispatches pending messages (for dialogs, through IsDialogMessage) until the
// queue is empty, then waits up to `ms` more for late ones (timers, posts).
void PumpMessages(DWORD ms = 0);

// A 32-bit top-down picture of a window's client area, painted through WM_PRINT
// (erase, client, children) into a DIB section.
class Capture {
public:
    Capture() = default;
    explicit Capture(HWND h, UINT flags = PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    int width() const { return width_; }
    int height() const { return height_; }
    bool ok() const { return width_ > 0 && height_ > 0; }
    // RGB() value of a pixel; 0xFFFFFFFF outside the picture.
    COLORREF At(int x, int y) const;
    // True when every pixel of the rectangle has `color`.
    bool AllOf(const RECT& r, COLORREF color) const;
    // Number of pixels of `color` in row y, x from left to right (exclusive).
    int CountInRow(int y, int left, int right, COLORREF color) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The pixels of a bitmap, as RGB() values, top-down.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int* width, int* height);
