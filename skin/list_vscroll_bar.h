// ListVScrollBar: the bitmap-drawn vertical bar right of a SkinListCtrl. It shows
// the list's vertical scroll position and scrolls the list with WM_VSCROLL line
// and page steps or, while the thumb is dragged, LVM_SCROLL.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

class ListVScrollBar : public Static {
public:
    enum Timer : UINT_PTR { kRepeatTimer = 1, kDelayTimer = 2 };

    ListVScrollBar();

    // Recomputes the thumb from the list's position and repaints.
    void Resync();
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    // Paints the whole bar into `dc` (off screen, copied in one step).
    void Paint(HDC dc);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    HWND list = nullptr;
    bool upPressed = false;
    bool downPressed = false;
    bool thumbPressed = false;
    int thumbTop = 14;
    double ratio = 0;

private:
    void Step(int code);
    void Clamp();
    void PaintNow();
    int Height() const;
    // Zones; the up arrow answers to a shorter band when pressed than on release.
    bool InUpPressZone(int x, int y) const;
    bool InUpReleaseZone(int x, int y) const;
    bool InDownZone(int x, int y) const;
    bool InThumb(int x, int y) const;
    void LoadPictures();

    GdiBitmap up_, down_, track_, thumb_;
    GdiBitmap upGrey_, downGrey_, trackGrey_;
};
