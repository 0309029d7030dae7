#include "skin/skin_header_ctrl.h"

#include <cstring>

#include "res/resource.h"
#include "skin/paint_messages.h"
#include "skin/skin_pictures.h"

void SkinHeaderCtrl::LoadPictures()
{
    if (!background_)
        background_ = LoadSkinPicture(IDB_HEADER_BACKGROUND, USER_DEFAULT_SCREEN_DPI);
    if (!separator_)
        separator_ = LoadSkinPicture(IDB_HEADER_SEPARATOR, USER_DEFAULT_SCREEN_DPI);
}

void SkinHeaderCtrl::PreSubclassWindow()
{
    LoadPictures();
    HeaderCtrl::PreSubclassWindow();
}

void SkinHeaderCtrl::Paint(HDC target)
{
    LoadPictures();
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0)
        return;
    BackBuffer buf(target, client.right, client.bottom);
    if (!buf)
        return;
    HDC dc = buf.dc();
    FillSolidRect(dc, client, RGB(0, 0, 0));
    StretchBitmap(dc, client.left, 0, client.right - client.left, 17, background_.get(), 0, 0, 1, 17);

    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        Send(HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        text[sizeof text - 1] = '\0';
        RECT r = {};
        GetItemRect(i, &r);

        for (int x = r.right; x >= r.left; --x)
            DrawBitmap(dc, x, 0, 1, 24, background_.get());
        if (i > 0)
            DrawBitmap(dc, r.left - 2, 0, 12, 17, separator_.get());

        // "Tahoma 14" names no installed face: the font mapper picks one of height 14.
        LOGFONTA lf = {};
        lf.lfHeight = 14;
        strcpy(lf.lfFaceName, "Tahoma 14");
        GdiFont font(CreateFontIndirectA(&lf));
        SelectObjectGuard sel(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        RECT textRect = r;
        InflateRect(&textRect, -2, -2);
        DrawTextA(dc, text, -1, &textRect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    buf.CopyTo(target);
}

LRESULT SkinHeaderCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HandlePaintMessage(*this, msg, wParam))
        return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 0;
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}
