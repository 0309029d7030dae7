// What the list scroll bars read from their list.
#pragma once

#include <windows.h>

struct ListScrollPosition {
    int limit;  // highest scroll position; 0 when the list cannot scroll
    int pos;
};

// The list's scroll limit and position for SB_HORZ or SB_VERT, read the way the
// list's flat scroll bars keep them. A list whose contents fit (its page covers the
// whole range) has limit 0.
ListScrollPosition ReadListScroll(HWND list, int bar);

// double to int, truncated toward zero and kept inside the int range.
int TruncateToInt(double value);
