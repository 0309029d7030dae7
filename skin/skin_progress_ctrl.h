// SkinProgressCtrl: the standard progress bar's range, position and messages,
// drawn as a flat blue bar over the button face.
#pragma once

#include <windows.h>

#include "framework/controls.h"

class SkinProgressCtrl : public ProgressCtrl {
public:
    static constexpr COLORREF kBarColor = 0xE88604;  // red 4, green 134, blue 232

    // Pixels filled for `pos` in lower..upper on a bar `width` wide: computed in
    // floating point and truncated; nothing for an empty range.
    static int FilledWidth(int lower, int upper, int pos, int width);

    // Paints the whole bar into `dc` (off screen, copied in one step).
    void Paint(HDC dc);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
