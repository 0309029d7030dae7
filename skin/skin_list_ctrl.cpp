#include "skin/skin_list_ctrl.h"

#include <commctrl.h>

#include "framework/application.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "skin/paint_messages.h"

namespace {

// The bars' thickness at 100 %; the vertical one stops a pixel above the list's
// bottom edge, the horizontal one two short of its right edge.
constexpr int kBarThickness = 14;
constexpr int kVBarShortening = 1;
constexpr int kHBarShortening = 2;

// SS_NOTIFY: a static control without it is transparent to the mouse.
constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
// The id a label gets (-1 as a 16-bit control id): the bars send no command
// anyone listens to.
constexpr int kBarControlId = 0xFFFF;

HWND CreateBar(HWND parent)
{
    return CreateWindowExA(0, "STATIC", "", kBarStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarControlId)), ResourceInstance(), nullptr);
}

}  // namespace

SkinListCtrl::~SkinListCtrl()
{
    // The bars are the list's, though they are its parent's children.
    for (Window* bar : {static_cast<Window*>(&vBar), static_cast<Window*>(&hBar)}) {
        HWND h = bar->UnsubclassWindow();
        if (h && IsWindow(h))
            DestroyWindow(h);
    }
}

void SkinListCtrl::PreSubclassWindow()
{
    HWND h = GetHeader();
    if (h)
        header.SubclassWindow(h);
    dpi_ = WindowDpi(hwnd);
    ListCtrl::PreSubclassWindow();
}

bool SkinListCtrl::AttachScrollBars()
{
    if (!hwnd)
        return false;
    InitializeFlatSB(hwnd);
    FlatSB_EnableScrollBar(hwnd, SB_BOTH, ESB_DISABLE_BOTH);
    // The flat bars live in a subclass of the list that InitializeFlatSB puts in
    // front of this class, so it sees WM_NCCALCSIZE first and may size the frame
    // from its own record of which bar is shown rather than from the window style
    // that WindowProc clears. Bars of no thickness take no room either way. Where
    // flat bars are not implemented these calls fail and the style alone does it.
    FlatSB_SetScrollProp(hwnd, WSB_PROP_CXVSCROLL, 0, FALSE);
    FlatSB_SetScrollProp(hwnd, WSB_PROP_CYHSCROLL, 0, FALSE);
    HWND parent = GetParent(hwnd);
    if (!vBar.hwnd) {
        HWND v = CreateBar(parent);
        if (!v || !vBar.SubclassWindow(v))
            return false;
    }
    if (!hBar.hwnd) {
        HWND h = CreateBar(parent);
        if (!h || !hBar.SubclassWindow(h))
            return false;
    }
    vBar.list = hwnd;
    hBar.list = hwnd;
    // Recompute the frame now, without the list's own bars.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    PositionScrollBars();
    return true;
}

void SkinListCtrl::PositionScrollBars()
{
    if (!vBar.hwnd || !hBar.hwnd)
        return;
    RECT r = WindowRect();
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    const UINT dpi = WindowDpi(hwnd);
    const int thickness = ScaleToDpi(kBarThickness, dpi);
    SetWindowPos(vBar.hwnd, nullptr, r.right, r.top, thickness, r.bottom - r.top - ScaleToDpi(kVBarShortening, dpi),
                 flags);
    SetWindowPos(hBar.hwnd, nullptr, r.left, r.bottom, r.right - r.left - ScaleToDpi(kHBarShortening, dpi), thickness,
                 flags);
    hBar.Resync();
    vBar.Resync();
}

void SkinListCtrl::SetRowHeight(int rowHeight96)
{
    rowHeight96_ = rowHeight96;
    ApplyRowHeight();
}

void SkinListCtrl::ApplyRowHeight()
{
    // A small image list one pixel wide: the list makes a row as high as the
    // higher of its font and its small images, plus one pixel of padding. At 100 %
    // the font's own height is the row's.
    constexpr int kRowPadding = 1;
    const UINT dpi = WindowDpi(hwnd);
    HIMAGELIST rows = nullptr;
    if (rowHeight96_ > 0 && dpi != kBaseDpi)
        rows = ImageList_Create(1, ScaleToDpi(rowHeight96_, dpi) - kRowPadding, ILC_COLOR, 0, 1);
    // The list owns the image list it holds (no LVS_SHAREIMAGELISTS); the one it gives back is ours.
    auto previous = reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows)));
    if (previous)
        ImageList_Destroy(previous);
}

void SkinListCtrl::FollowDpi()
{
    const UINT dpi = WindowDpi(hwnd);
    if (dpi == dpi_ || dpi_ == 0) {
        dpi_ = dpi;
        return;
    }
    const int from = static_cast<int>(dpi_), to = static_cast<int>(dpi);
    dpi_ = dpi;
    LOGFONTA lf = {};
    auto current = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    if (current && GetObjectA(current, sizeof lf, &lf)) {
        lf.lfHeight = MulDiv(lf.lfHeight, to, from);
        lf.lfWidth = MulDiv(lf.lfWidth, to, from);
        GdiFont made(CreateFontIndirectA(&lf));
        if (made) {
            Send(WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), FALSE);
            font_ = std::move(made);  // the one it replaces, if ours, goes now
        }
    }
    const int columns = header.hwnd ? static_cast<int>(header.Send(HDM_GETITEMCOUNT)) : 0;
    for (int i = 0; i < columns; ++i)
        Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
             MulDiv(static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i))), to, from));
    ApplyRowHeight();
    PositionScrollBars();
    Invalidate();
    if (header.hwnd)
        header.Invalidate();
}

void SkinListCtrl::ResyncBars()
{
    if (vBar.hwnd)
        vBar.Resync();
    if (hBar.hwnd)
        hBar.Resync();
}

void SkinListCtrl::Paint(HDC target)
{
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0)
        return;
    SavedDC saved(target);
    BackBuffer buf(target, client.right, client.bottom);
    if (!buf)
        return;
    // The header paints itself; keep the copy below from covering it.
    if (header.hwnd && IsWindowVisible(header.hwnd)) {
        RECT hr = header.WindowRect();
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&hr), 2);
        ExcludeClipRect(target, hr.left, hr.top, hr.right, hr.bottom);
    }
    RECT box;
    GetClipBox(buf.dc(), &box);
    FillSolidRect(buf.dc(), box, RGB(255, 255, 255));
    SetTextBkColor(RGB(255, 255, 255));
    ResyncBars();
    DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(buf.dc()), 0);
    buf.CopyTo(target);
}

LRESULT SkinListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HandlePaintMessage(*this, msg, wParam))
        return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        ResyncBars();
        return 0;
    case WM_DPICHANGED_AFTERPARENT:
        FollowDpi();
        return DefaultProc(msg, wParam, lParam);
    case WM_NCCALCSIZE:
        UpdateWindow(hwnd);
        // Once the bitmap bars stand in for them, the list's own bars stay out of
        // the frame: disabling them is not enough where the list view re-enables
        // them whenever its contents change. Their scroll ranges live on.
        if (vBar.hwnd && hBar.hwnd) {
            const LONG_PTR style = Style();
            if (style & (WS_HSCROLL | WS_VSCROLL))
                SetWindowLongPtrA(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL));
        }
        return DefaultProc(msg, wParam, lParam);
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
        ResyncBars();
        return DefaultProc(msg, wParam, lParam);
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}

bool SkinListCtrl::OnReflectedNotify(NMHDR* nm, LRESULT* result)
{
    if (nm->code != NM_CUSTOMDRAW)
        return false;
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    const int item = static_cast<int>(cd->nmcd.dwItemSpec);
    *result = CDRF_DODEFAULT;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        drawingSelected_ = (GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (drawingSelected_) {
            cd->clrText = selectedTextColor;
            cd->clrTextBk = selectedBackColor;
            // Drawn as an unselected row in these colours; selected again after.
            // Some list views take the selection for this draw from the record
            // they pass us rather than from the item, so clear it there as well.
            SetItemState(item, 0, LVIS_SELECTED);
            cd->nmcd.uItemState &= ~CDIS_SELECTED;
        }
        *result = CDRF_NOTIFYPOSTPAINT;
        break;
    case CDDS_ITEMPOSTPAINT:
        if (drawingSelected_)
            SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        break;
    default:
        break;
    }
    return true;
}
