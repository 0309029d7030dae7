#include "skin/mask_region.h"

#include <cstdint>
#include <cstring>
#include <vector>

GdiRegion RegionFromMask(HBITMAP mask, COLORREF transparent)
{
    SIZE size = BitmapSize(mask);
    if (size.cx <= 0 || size.cy <= 0)
        return GdiRegion();

    // Read the mask as 32-bit top-down pixels, whatever its own format.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = -size.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    {
        ClientDC screen(nullptr);
        if (GetDIBits(screen.get(), mask, 0, size.cy, pixels.data(), &bi, DIB_RGB_COLORS) != size.cy)
            return GdiRegion();
    }
    const uint32_t key = (GetRValue(transparent) << 16) | (GetGValue(transparent) << 8) | GetBValue(transparent);

    std::vector<RECT> runs;
    for (int y = 0; y < size.cy; ++y) {
        const uint32_t* row = &pixels[static_cast<size_t>(y) * size.cx];
        int x = 0;
        while (x < size.cx) {
            while (x < size.cx && (row[x] & 0xFFFFFF) == key)
                ++x;
            if (x == size.cx)
                break;
            const int start = x;
            while (x < size.cx && (row[x] & 0xFFFFFF) != key)
                ++x;
            runs.push_back(RECT{start, y, x, y + 1});
        }
    }

    std::vector<char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(runs.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    rd->rdh.rcBound = RECT{0, 0, size.cx, size.cy};
    if (!runs.empty())
        memcpy(rd->Buffer, runs.data(), runs.size() * sizeof(RECT));
    return GdiRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rd));
}
