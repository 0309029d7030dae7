// Window shapes from mask bitmaps.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

// The region covered by every pixel of `mask` whose colour is not `transparent`:
// one rectangle per maximal horizontal run of such pixels, row by row. An all
// transparent mask gives an empty region; an unreadable bitmap gives none.
GdiRegion RegionFromMask(HBITMAP mask, COLORREF transparent);
