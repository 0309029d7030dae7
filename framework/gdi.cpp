#include "framework/gdi.h"

#include "framework/application.h"

namespace {
int Positive(int v)
{
    return v > 0 ? v : 1;
}
}  // namespace

BackBuffer::BackBuffer(HDC target, int width, int height)
    : dc_(target), bitmap_(CreateCompatibleBitmap(target, Positive(width), Positive(height))), width_(width),
      height_(height), ok_(dc_ && bitmap_), select_(dc_.get(), bitmap_.get())
{}

bool BackBuffer::CopyTo(HDC target, int x, int y) const
{
    return ok_ && BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

GdiBitmap LoadBitmapResource(int id, bool dibSection)
{
    UINT flags = dibSection ? LR_CREATEDIBSECTION : 0;
    return GdiBitmap(
        static_cast<HBITMAP>(LoadImageA(ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, flags)));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    SIZE size = {0, 0};
    BITMAP bm = {};
    if (bitmap && GetObjectA(bitmap, sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, SIZE* size)
{
    *size = BitmapSize(bitmap);
    if (size->cx <= 0 || size->cy <= 0)
        return {};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size->cx;
    bi.bmiHeader.biHeight = -size->cy;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size->cx) * size->cy);
    ClientDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, size->cy, pixels.data(), &bi, DIB_RGB_COLORS) != size->cy)
        return {};
    return pixels;
}

bool DrawBitmap(HDC dst, int x, int y, int width, int height, HBITMAP bitmap, int srcX, int srcY, DWORD rop)
{
    if (!bitmap)
        return false;
    MemoryDC src(dst);
    if (!src)
        return false;
    SelectObjectGuard sel(src.get(), bitmap);
    return BitBlt(dst, x, y, width, height, src.get(), srcX, srcY, rop) != FALSE;
}

bool StretchBitmap(HDC dst, int x, int y, int width, int height, HBITMAP bitmap, int srcX, int srcY, int srcWidth,
                   int srcHeight, DWORD rop)
{
    if (!bitmap)
        return false;
    MemoryDC src(dst);
    if (!src)
        return false;
    SelectObjectGuard sel(src.get(), bitmap);
    return StretchBlt(dst, x, y, width, height, src.get(), srcX, srcY, srcWidth, srcHeight, rop) != FALSE;
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF color)
{
    COLORREF old = SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}
