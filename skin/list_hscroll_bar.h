// ListHScrollBar: the bitmap-drawn horizontal bar below a SkinListCtrl. It shows
// the list's horizontal scroll position and scrolls the list with WM_HSCROLL line
// and page steps or, while the thumb is dragged, LVM_SCROLL.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

class ListHScrollBar : public Static {
public:
    enum Timer : UINT_PTR { kRepeatTimer = 1, kDelayTimer = 2 };

    ListHScrollBar();

    // Recomputes the thumb from the list's position and repaints.
    void Resync();
    void LineLeft();
    void LineRight();
    void PageLeft();
    void PageRight();
    // Paints the whole bar into `dc` (off screen, copied in one step).
    void Paint(HDC dc);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool rightPressed = false;
    bool leftPressed = false;
    bool dragging = false;
    bool thumbPressed = false;
    int thumbX = 25;
    double pixelsPerUnit = 0;
    HWND list = nullptr;

private:
    void Step(int code);
    void Clamp();
    void PaintNow();
    int Width() const;
    bool InLeftArrow(int x, int y) const;
    bool InRightArrow(int x, int y) const;
    bool InThumb(int x, int y) const;
    void LoadPictures();

    GdiBitmap left_, right_, track_, thumb_;
    GdiBitmap leftGrey_, rightGrey_, trackGrey_;
};
