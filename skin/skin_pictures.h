// The one lookup of the skin's pictures: a picture by its resource number, as drawn
// for a dpi. Every skinned control takes its pictures here, at its window's dpi.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

// The picture `id` for `dpi`; none when it cannot be loaded.
GdiBitmap LoadSkinPicture(int id, UINT dpi);
