#include "skin/skin_pictures.h"

#include "framework/dpi.h"

// Stand-in until the pictures drawn for each scale are carried: the 100 % picture,
// scaled smoothly.
GdiBitmap LoadSkinPicture(int id, UINT dpi)
{
    GdiBitmap base = LoadBitmapResource(id, true);
    if (!base || dpi == kBaseDpi)
        return base;
    const SIZE size = BitmapSize(base.get());
    const int w = ScaleToDpi(size.cx, dpi), h = ScaleToDpi(size.cy, dpi);
    ClientDC screen(nullptr);
    GdiBitmap scaled(CreateCompatibleBitmap(screen.get(), w, h));
    MemoryDC dst(screen.get()), src(screen.get());
    if (!scaled || !dst || !src)
        return GdiBitmap();
    SelectObjectGuard d(dst.get(), scaled.get());
    SelectObjectGuard s(src.get(), base.get());
    SetStretchBltMode(dst.get(), HALFTONE);
    StretchBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, size.cx, size.cy, SRCCOPY);
    return scaled;
}
