// RAII owners for GDI objects and device contexts, and bitmap helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

// Owns one GDI object (bitmap, brush, font, pen, region) and deletes it.
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : h_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    T release()
    {
        T h = h_;
        h_ = nullptr;
        return h;
    }
    void reset(T h = nullptr)
    {
        if (h_ && h_ != h)
            DeleteObject(h_);
        h_ = h;
    }

private:
    T h_ = nullptr;
};

using GdiBitmap = GdiObject<HBITMAP>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiFont = GdiObject<HFONT>;
using GdiPen = GdiObject<HPEN>;
using GdiRegion = GdiObject<HRGN>;

// A memory device context compatible with `reference` (nullptr: the screen).
class MemoryDC {
public:
    explicit MemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND h) : hwnd_(h), dc_(BeginPaint(h, &ps_)) {}
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_ = {};
    HDC dc_;
};

// GetDC / ReleaseDC.
class ClientDC {
public:
    explicit ClientDC(HWND h) : hwnd_(h), dc_(GetDC(h)) {}
    ~ClientDC()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// GetWindowDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND h) : hwnd_(h), dc_(GetWindowDC(h)) {}
    ~WindowDC()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back on destruction.
// Not for regions (SelectObject with a region does not return an object).
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj && dc ? SelectObject(dc, obj) : nullptr) {}
    ~SelectObjectGuard()
    {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
    ~SavedDC()
    {
        if (id_)
            RestoreDC(dc_, id_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};

// An off-screen picture of width x height compatible with `target`: draw into
// dc(), then CopyTo the target in one step.
class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height);
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    explicit operator bool() const { return ok_; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    bool CopyTo(HDC target, int x = 0, int y = 0) const;

private:
    MemoryDC dc_;
    GdiBitmap bitmap_;
    int width_;
    int height_;
    bool ok_;
    SelectObjectGuard select_;  // last: put back before the bitmap goes
};

// Loads a bitmap resource of the running program (see ResourceInstance).
// dibSection: load it as a DIB section instead of a device-dependent bitmap.
GdiBitmap LoadBitmapResource(int id, bool dibSection = false);

// Width and height of a bitmap; 0, 0 for none.
SIZE BitmapSize(HBITMAP bitmap);

// The bitmap's pixels as 32-bit 0x00RRGGBB values, top row first, whatever the
// bitmap's own format; *size gets its width and height. Empty on failure.
std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, SIZE* size);

// BitBlt / StretchBlt from a bitmap (through a temporary memory DC).
bool DrawBitmap(HDC dst, int x, int y, int width, int height, HBITMAP bitmap, int srcX = 0, int srcY = 0,
                DWORD rop = SRCCOPY);
bool StretchBitmap(HDC dst, int x, int y, int width, int height, HBITMAP bitmap, int srcX, int srcY, int srcWidth,
                   int srcHeight, DWORD rop = SRCCOPY);

// Fills a rectangle with a solid colour.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF color);
