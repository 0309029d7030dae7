// ListVScrollBar: the bitmap-drawn vertical bar right of a SkinListCtrl. It shows
// the list's vertical scroll position and scrolls the list with WM_VSCROLL line
// and page steps or, while the thumb is dragged, LVM_SCROLL by whole rows.
#pragma once

#include "skin/list_scroll_bar.h"

class ListVScrollBar : public ListScrollBar {
public:
    ListVScrollBar();

    void LineUp() { LineBack(); }
    void LineDown() { LineForward(); }
    void PageUp() { PageBack(); }
    void PageDown() { PageForward(); }

    bool& upPressed = backPressed_;
    bool& downPressed = forwardPressed_;
    int& thumbTop = thumb_;  // y of the thumb's hit zone
    double& ratio = scale_;  // pixels of thumb travel per row of the list's range
};
