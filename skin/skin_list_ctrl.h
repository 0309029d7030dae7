// SkinListCtrl: a report list with a skinned header, the selected row drawn in
// its own colours, off-screen painting, and bitmap scroll bars placed just outside
// its right and bottom edges in place of its own.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/list_hscroll_bar.h"
#include "skin/list_vscroll_bar.h"
#include "skin/skin_header_ctrl.h"

class SkinListCtrl : public ListCtrl {
public:
    SkinListCtrl() = default;
    ~SkinListCtrl() override;

    // Once, after the dialog's controls exist: turns off the list's own bars and
    // creates, links and places the two bitmap bars (siblings of the list).
    bool AttachScrollBars();
    // Places the bars against the list and refreshes them.
    void PositionScrollBars();
    // Rows at least rowHeight96 pixels high at 100 %, times the scale at other dpis
    // (the list sizes its rows from its font, which does not grow exactly in step).
    void SetRowHeight(int rowHeight96);
    // Paints the list (without its header) into `dc` off screen.
    void Paint(HDC dc);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnReflectedNotify(NMHDR* nm, LRESULT* result) override;

    SkinHeaderCtrl header;
    COLORREF selectedTextColor = RGB(0, 0, 0);
    COLORREF selectedBackColor = RGB(190, 190, 190);
    ListVScrollBar vBar;
    ListHScrollBar hBar;

private:
    void ResyncBars();
    // The window was laid out for another dpi: the font and the column widths are
    // scaled from the old dpi to the new one, the header and bars follow.
    void FollowDpi();
    void ApplyRowHeight();
    UINT dpi_ = 0;  // the dpi the font and the columns are at
    int rowHeight96_ = 0;
    GdiFont font_;  // the font this list made for a new dpi, once it made one
    // Carries the selection of the item being drawn from its pre-paint to its
    // post-paint notification.
    bool drawingSelected_ = false;
};
