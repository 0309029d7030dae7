#include "skin/list_scroll.h"

#include <commctrl.h>

#include <climits>
#include <cmath>

ListScrollPosition ReadListScroll(HWND list, int bar)
{
    ListScrollPosition result = {0, 0};
    if (!list || !IsWindow(list))
        return result;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // The list's own bars are flat scroll bars (SkinListCtrl::AttachScrollBars).
    // Once a window has them, the common controls keep its scroll information
    // themselves and the plain GetScrollInfo need not see it; the flat call falls
    // back to the plain one for a window without them.
    if (!FlatSB_GetScrollInfo(list, bar, &si))
        return result;
    // The last position a page can start at. A page larger than the range would
    // give a negative limit; such a list does not scroll.
    const int page = static_cast<int>(si.nPage);
    const int limit = si.nMax - (page > 1 ? page - 1 : 0);
    result.limit = limit > 0 ? limit : 0;
    result.pos = si.nPos;
    return result;
}

int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
