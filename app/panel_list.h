// The look both lists of the main window share: the bitmap scroll bars, full-row
// selection, a 13-pixel Tahoma of their own, black text, and their columns (the
// pixel sizes at 100 %, scaled for the window's dpi).
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/gdi.h"
#include "skin/skin_list_ctrl.h"

// The lists' row and header heights at 100 % (as their font gives them under Wine 8).
constexpr int kPanelRowHeight = 15;
constexpr int kPanelHeaderHeight = 18;

struct ListColumn {
    const char* title;
    int width;
};

// Sets up a list bound in dialog; *font is the list's (in the character set of the
// dialog's device context) and must live as long as the list.
void SetUpPanelList(HWND dialog, SkinListCtrl& list, GdiFont* font, const ListColumn* columns, size_t count);

template <size_t N>
void SetUpPanelList(HWND dialog, SkinListCtrl& list, GdiFont* font, const ListColumn (&columns)[N])
{
    SetUpPanelList(dialog, list, font, columns, N);
}
