#include "window_shape.h"

#include <cstring>
#include <vector>

#include "framework/dpi.h"

void MainWindowShapeRects(int w, int h, RECT (&r)[kWindowShapeRectCount], UINT dpi)
{
    // Left and right edges step in over five columns. The right-hand side is not an
    // exact mirror: column w-4 spans one row less at each end than column 3.
    auto s = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
    const RECT bands[kWindowShapeRectCount] = {
        {0, s(5), s(1), h - s(5)},
        {s(1), s(3), s(2), h - s(3)},
        {s(2), s(2), s(3), h - s(2)},
        {s(3), s(1), s(4), h - s(1)},
        {s(4), s(1), s(5), h - s(1)},
        {s(5), s(1), w - s(5), h},
        {w - s(5), s(1), w - s(4), h - s(1)},
        {w - s(4), s(2), w - s(3), h - s(2)},
        {w - s(3), s(2), w - s(2), h - s(2)},
        {w - s(2), s(3), w - s(1), h - s(3)},
        {w - s(1), s(5), w, h - s(5)},
    };
    std::memcpy(r, bands, sizeof(bands));
}

HRGN CreateMainWindowRegion(int width, int height, UINT dpi)
{
    RECT rects[kWindowShapeRectCount];
    MainWindowShapeRects(width, height, rects, dpi);

    std::vector<unsigned char> buffer(sizeof(RGNDATAHEADER) + sizeof(rects));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = kWindowShapeRectCount;
    data->rdh.nRgnSize = sizeof(rects);
    data->rdh.rcBound = {0, 0, width, height};
    std::memcpy(data->Buffer, rects, sizeof(rects));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
}
