#include "skin/skin_header_ctrl.h"

#include <commctrl.h>

#include <cstring>

#include "framework/dpi.h"
#include "res/resource.h"
#include "skin/paint_messages.h"
#include "skin/skin_pictures.h"

namespace {

// The 100 % sizes: the background strip is 1 x 17 (24 rows are copied, cut at the
// header's edge), the separator 12 x 17 and starts 2 pixels left of its column;
// the titles are 14 pixels high and sit 2 pixels inside their columns.
constexpr int kBackgroundHeight = 17;
constexpr int kCopiedHeight = 24;
constexpr int kSeparatorWidth = 12;
constexpr int kSeparatorOffset = 2;
constexpr int kTitleHeight = 14;
constexpr int kTitleInset = 2;

}  // namespace

void SkinHeaderCtrl::LoadPictures()
{
    // Picked up again whenever the window is laid out for another dpi.
    const UINT dpi = WindowDpi(hwnd);
    if (dpi == picturesDpi_ && background_ && separator_)
        return;
    picturesDpi_ = dpi;
    background_ = LoadSkinPicture(IDB_HEADER_BACKGROUND, dpi);
    separator_ = LoadSkinPicture(IDB_HEADER_SEPARATOR, dpi);
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
    const UINT dpi = picturesDpi_;
    const SIZE strip = BitmapSize(background_.get());
    const int stripHeight = ScaleToDpi(kBackgroundHeight, dpi);
    FillSolidRect(dc, client, RGB(0, 0, 0));
    StretchBitmap(dc, client.left, 0, client.right - client.left, stripHeight, background_.get(), 0, 0, strip.cx,
                  stripHeight);

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

        for (int x = r.right; x >= r.left; x -= strip.cx > 0 ? strip.cx : 1)
            DrawBitmap(dc, x, 0, strip.cx, ScaleToDpi(kCopiedHeight, dpi), background_.get());
        if (i > 0)
            DrawBitmap(dc, r.left - ScaleToDpi(kSeparatorOffset, dpi), 0, ScaleToDpi(kSeparatorWidth, dpi), stripHeight,
                       separator_.get());

        // "Tahoma 14" names no installed face: the font mapper picks one of that height.
        LOGFONTA lf = {};
        lf.lfHeight = ScaleToDpi(kTitleHeight, dpi);
        strcpy(lf.lfFaceName, "Tahoma 14");
        GdiFont font(CreateFontIndirectA(&lf));
        SelectObjectGuard sel(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        RECT textRect = r;
        InflateRect(&textRect, -ScaleToDpi(kTitleInset, dpi), -ScaleToDpi(kTitleInset, dpi));
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
    case HDM_LAYOUT: {
        // The list asks where its header goes whenever its size or font changes.
        const LRESULT r = DefaultProc(msg, wParam, lParam);
        auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
        const UINT dpi = WindowDpi(hwnd);
        if (r && layout && layout->prc && layout->pwpos && height96 > 0 && dpi != kBaseDpi) {
            const int height = ScaleToDpi(height96, dpi);
            layout->pwpos->cy = height;
            layout->prc->top = layout->pwpos->y + height;
        }
        return r;
    }
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}
