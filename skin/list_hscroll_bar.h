// ListHScrollBar: the bitmap-drawn horizontal bar below a SkinListCtrl. It shows
// the list's horizontal scroll position and scrolls the list with WM_HSCROLL line
// and page steps or, while the thumb is dragged, LVM_SCROLL by pixels.
#pragma once

#include "skin/list_scroll_bar.h"

class ListHScrollBar : public ListScrollBar {
public:
    ListHScrollBar();

    void LineLeft() { LineBack(); }
    void LineRight() { LineForward(); }
    void PageLeft() { PageBack(); }
    void PageRight() { PageForward(); }

    bool& rightPressed = forwardPressed_;
    bool& leftPressed = backPressed_;
    int& thumbX = thumb_;            // x of the thumb's hit zone
    double& pixelsPerUnit = scale_;  // pixels of thumb travel per pixel of the list's range
};
