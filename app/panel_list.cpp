#include "app/panel_list.h"

#include <commctrl.h>

#include "framework/dpi.h"

void SetUpPanelList(HWND dialog, SkinListCtrl& list, GdiFont* font, const ListColumn* columns, size_t count)
{
    BYTE charset = DEFAULT_CHARSET;
    ClientDC dc(dialog);
    if (dc)
        charset = static_cast<BYTE>(GetTextCharset(dc.get()) & 0xFF);
    // 13 pixels and the columns' widths at 100 %, scaled for the window's dpi (the
    // list scales them again when the window moves to a monitor of another scale).
    const UINT dpi = WindowDpi(dialog);
    font->reset(CreateFontA(ScaleToDpi(13, dpi), 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma"));
    list.AttachScrollBars();
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font->get()), TRUE);
    for (size_t i = 0; i < count; ++i)
        list.InsertColumn(static_cast<int>(i), columns[i].title, LVCFMT_LEFT, ScaleToDpi(columns[i].width, dpi));
    list.SetTextColor(RGB(0, 0, 0));
    // The row height the 13-pixel font gives at 100 % (measured under Wine 8), held
    // at its multiple at other scales.
    list.SetRowHeight(kPanelRowHeight);
    list.header.height96 = kPanelHeaderHeight;
}
