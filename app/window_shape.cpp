#include "window_shape.h"

#include <cstring>
#include <vector>

void MainWindowShapeRects(int w, int h, RECT (&r)[kWindowShapeRectCount])
{
    // Left and right edges step in over five columns. The right-hand side is not an
    // exact mirror: column w-4 spans one row less at each end than column 3.
    const RECT bands[kWindowShapeRectCount] = {
        {0, 5, 1, h - 5},         {1, 3, 2, h - 3},         {2, 2, 3, h - 2},         {3, 1, 4, h - 1},
        {4, 1, 5, h - 1},         {5, 1, w - 5, h},         {w - 5, 1, w - 4, h - 1}, {w - 4, 2, w - 3, h - 2},
        {w - 3, 2, w - 2, h - 2}, {w - 2, 3, w - 1, h - 3}, {w - 1, 5, w, h - 5},
    };
    std::memcpy(r, bands, sizeof(bands));
}

HRGN CreateMainWindowRegion(int width, int height)
{
    RECT rects[kWindowShapeRectCount];
    MainWindowShapeRects(width, height, rects);

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
