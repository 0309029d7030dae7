#include "skin/skin_progress_ctrl.h"

#include "framework/gdi.h"
#include "skin/list_scroll.h"
#include "skin/paint_messages.h"

int SkinProgressCtrl::FilledWidth(int lower, int upper, int pos, int width)
{
    if (upper == lower || width <= 0)
        return 0;
    const double filled = (static_cast<double>(pos) - lower) * width / (static_cast<double>(upper) - lower);
    const int w = TruncateToInt(filled);
    return w < 0 ? 0 : (w > width ? width : w);
}

void SkinProgressCtrl::Paint(HDC target)
{
    const RECT client = ClientRect();
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    BackBuffer buf(target, w, h);
    if (!buf)
        return;
    SavedDC saved(buf.dc());
    FillSolidRect(buf.dc(), client, GetSysColor(COLOR_BTNFACE));
    int lower = 0, upper = 0;
    GetRange(&lower, &upper);
    RECT bar = client;
    bar.right = client.left + FilledWidth(lower, upper, GetPos(), w);
    if (bar.right > bar.left)
        FillSolidRect(buf.dc(), bar, kBarColor);
    buf.CopyTo(target);
}

LRESULT SkinProgressCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HandlePaintMessage(*this, msg, wParam))
        return 0;
    switch (msg) {
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}
