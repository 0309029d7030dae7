// SkinHeaderCtrl: the column header of a SkinListCtrl, drawn from the header
// background and separator pictures with centred column titles, as drawn for its
// window's dpi.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

class SkinHeaderCtrl : public HeaderCtrl {
public:
    // The header's height at 100 %, held at its multiple at other dpis (its font
    // alone does not grow in step). 0: the font's.
    int height96 = 0;
    // Paints the whole header into `dc` (off screen, copied in one step).
    void Paint(HDC dc);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void LoadPictures();
    GdiBitmap background_;
    GdiBitmap separator_;
    UINT picturesDpi_ = 0;
};
