#include "skin/mask_region.h"

#include <cstdint>
#include <cstring>
#include <vector>

GdiRegion RegionFromMask(HBITMAP mask, COLORREF transparent)
{
    SIZE size{};
    const std::vector<uint32_t> pixels = ReadBitmapPixels(mask, &size);
    if (pixels.empty())
        return GdiRegion();
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
