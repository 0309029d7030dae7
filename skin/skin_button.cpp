#include "skin/skin_button.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "framework/dpi.h"
#include "skin/mask_region.h"
#include "skin/skin_pictures.h"

namespace {

bool LoadFace(SkinButton::Face* slot, int id, UINT dpi, bool* ok)
{
    if (id == 0)
        return true;
    *slot = LoadSharedSkinPicture(id, dpi);
    if (!*slot)
        *ok = false;
    return static_cast<bool>(*slot);
}

std::string WindowText(HWND h)
{
    int n = GetWindowTextLengthA(h);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(h, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// Where the focus rectangle of a button without a margin is drawn.
constexpr int kFocusInset = 3;

void DrawCaption(HDC dc, const std::string& caption, RECT r, int dx, int dy, COLORREF color)
{
    OffsetRect(&r, dx, dy);
    SetTextColor(dc, color);
    DrawTextA(dc, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

SkinButton::SkinButton() : textColor(GetSysColor(COLOR_BTNTEXT)) {}

void SkinButton::PreSubclassWindow()
{
    const LONG_PTR style = Style();
    const LONG_PTR type = style & BS_TYPEMASK;
    // Exact types: an owner-drawn template button or a group box is no check box.
    if (type == BS_AUTOCHECKBOX)
        kind = kCheckBox;
    else if (type == BS_AUTORADIOBUTTON)
        kind = kRadioButton;
    else
        kind = kPushButton;
    Button::PreSubclassWindow();
    SetWindowLongPtrA(hwnd, GWL_STYLE, style | BS_OWNERDRAW);
}

bool SkinButton::SetSkin(const ButtonFaces& faces, FaceDrawMode mode, bool border_, int margin_)
{
    normalBitmap.reset();
    downBitmap.reset();
    disabledBitmap.reset();
    maskBitmap.reset();
    overBitmap.reset();
    focusBitmap.reset();

    faces_ = faces;
    facesDpi = WindowDpi(hwnd);
    bool ok = true;
    LoadFace(&normalBitmap, faces.normal, facesDpi, &ok);
    LoadFace(&downBitmap, faces.down, facesDpi, &ok);
    LoadFace(&overBitmap, faces.over, facesDpi, &ok);
    LoadFace(&disabledBitmap, faces.disabled != 0 ? faces.disabled : faces.normal, facesDpi, &ok);
    LoadFace(&focusBitmap, faces.focus, facesDpi, &ok);
    // The region is cut by exact colour: read the mask as it was drawn, whatever
    // the screen's colour depth would turn a device-dependent copy into.
    if (faces.mask != 0) {
        maskBitmap = LoadSkinPicture(faces.mask, facesDpi, true);
        ok = ok && static_cast<bool>(maskBitmap);
    }

    drawMode = mode;
    border = border_ ? 1 : 0;
    margin = static_cast<short>(margin_ < 0 ? 0 : margin_);

    if (maskBitmap && hwnd) {
        region = RegionFromMask(maskBitmap.get(), RGB(255, 255, 255));
        if (region) {
            // SetWindowRgn takes ownership of what it gets: hand it a copy.
            HRGN copy = CreateRectRgn(0, 0, 0, 0);
            if (copy && CombineRgn(copy, region.get(), nullptr, RGN_COPY) != ERROR) {
                if (!SetWindowRgn(hwnd, copy, TRUE))
                    DeleteObject(copy);
            } else if (copy) {
                DeleteObject(copy);
            }
            ClientDC dc(hwnd);
            SelectClipRgn(dc.get(), region.get());
        }
        if (drawMode == FaceDrawMode::kCopy) {
            SIZE size = BitmapSize(maskBitmap.get());
            SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (hwnd)
        Invalidate();
    return ok;
}

bool SkinButton::IsUnderPoint(POINT screen) const
{
    return WindowFromPoint(screen) == hwnd;
}

void SkinButton::ClearOtherRadios()
{
    HWND parent = GetParent(hwnd);
    if (!parent)
        return;
    // Walk the group until we are back here; the bound guards against a group that
    // never leads back (this button hidden or disabled, so the walk skips it).
    HWND first = nullptr;
    HWND h = hwnd;
    for (int i = 0; i < 1024; ++i) {
        h = GetNextDlgGroupItem(parent, h, FALSE);
        if (!h || h == hwnd || h == first)
            break;
        if (!first)
            first = h;
        PostMessageA(h, kClearCheckMessage, 0, 0);
    }
}

LRESULT SkinButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;

    case WM_LBUTTONDOWN:
        if (!IsWindowEnabled(hwnd))
            return 0;
        if (hover) {
            TRACKMOUSEEVENT tme = {sizeof tme, TME_CANCEL | TME_LEAVE, hwnd, 0};
            if (TrackMouseEvent(&tme))
                hover = false;
        }
        {
            LRESULT r = DefaultProc(msg, wParam, lParam);
            pressed = true;
            return r;
        }

    case WM_DPICHANGED_AFTERPARENT:
        // The window was laid out for another dpi: the faces drawn for it.
        if (WindowDpi(hwnd) != facesDpi)
            SetSkin(faces_, drawMode, border != 0, margin);
        return DefaultProc(msg, wParam, lParam);

    case WM_LBUTTONDBLCLK:
        // A double click is a second press, so it clicks a second time.
        return Send(WM_LBUTTONDOWN, wParam, lParam);

    case WM_LBUTTONUP: {
        if (!IsWindowEnabled(hwnd)) {
            // Disabled while held: let go without a click.
            pressed = false;
            if (GetCapture() == hwnd)
                ReleaseCapture();
            return 0;
        }
        if (kind == kCheckBox || kind == kRadioButton) {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &pt);
            if (IsUnderPoint(pt))
                Send(BM_SETCHECK, kind == kCheckBox ? !checkState : TRUE);
        }
        pressed = false;
        return DefaultProc(msg, wParam, lParam);
    }

    case WM_MOUSEMOVE:
        if (!IsWindowEnabled(hwnd))
            return 0;
        if (pressed && GetCapture() == hwnd) {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &pt);
            const bool over = IsUnderPoint(pt);
            const bool pushed = (Send(BM_GETSTATE) & BST_PUSHED) != 0;
            if (over != pushed) {
                Send(BM_SETSTATE, over ? TRUE : FALSE);
                Invalidate();
            }
        } else if (!hover) {
            TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, hwnd, 0};
            if (TrackMouseEvent(&tme)) {
                hover = true;
                Invalidate();
            }
        }
        return DefaultProc(msg, wParam, lParam);

    case WM_MOUSELEAVE:
        hover = false;
        Invalidate();
        return DefaultProc(msg, wParam, lParam);

    case WM_KILLFOCUS:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        pressed = false;
        return DefaultProc(msg, wParam, lParam);

    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-press (or the system cancelled the
        // mode): the press is over. The button class un-pushes itself.
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            pressed = false;
        return DefaultProc(msg, wParam, lParam);

    case WM_GETDLGCODE: {
        // The dialog manager gives Enter to the dialog's default button; a focused
        // push button takes it itself, as it takes Space.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefaultProc(msg, wParam, lParam);
        if (kind == kPushButton && key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }

    case WM_KEYDOWN:
        if (wParam == VK_RETURN && kind == kPushButton) {
            if (IsWindowEnabled(hwnd))
                SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        if (wParam == VK_SPACE) {
            if (kind == kCheckBox)
                Send(BM_SETCHECK, !checkState);
            else if (kind == kRadioButton)
                Send(BM_SETCHECK, TRUE);
        }
        return DefaultProc(msg, wParam, lParam);

    case BM_SETSTYLE:
        // The dialog manager marks the default push button with this message; the
        // button stays owner-drawn whatever type it is given.
        return DefaultProc(msg, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);

    case BM_SETCHECK:
        checkState = wParam != 0 && kind != kPushButton;
        if (kind == kRadioButton && checkState)
            ClearOtherRadios();
        Invalidate();
        return 0;

    case BM_GETCHECK:
        return checkState ? BST_CHECKED : BST_UNCHECKED;

    case kClearCheckMessage:
        if (checkState) {
            checkState = false;
            Invalidate();
        }
        return 0;

    default:
        return DefaultProc(msg, wParam, lParam);
    }
}

void SkinButton::DrawFace(HDC dc, HBITMAP face, const RECT& r) const
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    if (drawMode == FaceDrawMode::kTile) {
        SIZE size = BitmapSize(face);
        if (size.cx <= 0 || size.cy <= 0)
            return;
        MemoryDC src(dc);
        SelectObjectGuard sel(src.get(), face);
        for (int y = r.top; y < r.bottom; y += size.cy)
            for (int x = r.left; x < r.right; x += size.cx)
                BitBlt(dc, x, y, std::min<int>(size.cx, r.right - x), std::min<int>(size.cy, r.bottom - y), src.get(),
                       0, 0, SRCCOPY);
        return;
    }
    if (maskBitmap) {
        // (screen ^ face) & mask ^ face: white mask pixels keep the screen, black
        // ones show the face. Built off screen, copied in one step.
        BackBuffer buf(dc, w, h);
        if (!buf)
            return;
        BitBlt(buf.dc(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
        if (drawMode == FaceDrawMode::kStretch) {
            SIZE fs = BitmapSize(face);
            SIZE ms = BitmapSize(maskBitmap.get());
            StretchBitmap(buf.dc(), 0, 0, w, h, face, 0, 0, fs.cx, fs.cy, SRCINVERT);
            StretchBitmap(buf.dc(), 0, 0, w, h, maskBitmap.get(), 0, 0, ms.cx, ms.cy, SRCAND);
            StretchBitmap(buf.dc(), 0, 0, w, h, face, 0, 0, fs.cx, fs.cy, SRCINVERT);
        } else {
            DrawBitmap(buf.dc(), 0, 0, w, h, face, 0, 0, SRCINVERT);
            DrawBitmap(buf.dc(), 0, 0, w, h, maskBitmap.get(), 0, 0, SRCAND);
            DrawBitmap(buf.dc(), 0, 0, w, h, face, 0, 0, SRCINVERT);
        }
        buf.CopyTo(dc, r.left, r.top);
        return;
    }
    if (drawMode == FaceDrawMode::kStretch) {
        SIZE fs = BitmapSize(face);
        StretchBitmap(dc, r.left, r.top, w, h, face, 0, 0, fs.cx, fs.cy, SRCCOPY);
    } else {
        DrawBitmap(dc, r.left, r.top, w, h, face, 0, 0, SRCCOPY);
    }
}

void SkinButton::DrawItem(DRAWITEMSTRUCT* dis)
{
    HDC dc = dis->hDC;
    const RECT item = dis->rcItem;
    const UINT state = dis->itemState;

    // While the button is held, its pushed look follows the cursor; a state change
    // brings a draw request of its own.
    if (pressed && GetCapture() == hwnd) {
        POINT cursor;
        GetCursorPos(&cursor);
        const bool over = IsUnderPoint(cursor);
        const bool pushed = (Send(BM_GETSTATE) & BST_PUSHED) != 0;
        if (over && !pushed) {
            Send(BM_SETSTATE, TRUE);
            return;
        }
        if (!over && pushed) {
            Send(BM_SETSTATE, FALSE);
            return;
        }
    }

    const std::string caption = showCaption ? WindowText(hwnd) : std::string();
    RECT captionRect = item;
    const UINT dpi = WindowDpi(hwnd);
    captionRect.left += ScaleToDpi(margin + 2, dpi);
    captionRect.right -= ScaleToDpi(margin + 2, dpi);
    SetBkMode(dc, TRANSPARENT);

    auto fill = [&] {
        RECT r = item;
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    };

    if (state & ODS_DISABLED) {
        if (disabledBitmap)
            DrawFace(dc, disabledBitmap->get(), item);
        else
            fill();
        if (border) {
            RECT r = item;
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        }
        // Embossed: a light copy, then the grey text one pixel up and left of it.
        const int d = checkState ? 1 : 0;
        DrawCaption(dc, caption, captionRect, d, d, GetSysColor(COLOR_3DHILIGHT));
        DrawCaption(dc, caption, captionRect, d - 1, d - 1, GetSysColor(COLOR_GRAYTEXT));
        return;
    }

    int shift = 0;
    if ((state & ODS_SELECTED) || checkState) {
        if (downBitmap)
            DrawFace(dc, downBitmap->get(), item);
        else
            fill();
        shift = 1;
        if (border) {
            RECT r = item;
            DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        }
    } else {
        HBITMAP face = normalBitmap ? normalBitmap->get() : nullptr;
        if (hover && overBitmap)
            face = overBitmap->get();
        else if ((state & ODS_FOCUS) && focusBitmap)
            face = focusBitmap->get();
        if (face)
            DrawFace(dc, face, item);
        else
            fill();
        if (border) {
            RECT r = item;
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        }
    }
    // The focus rectangle sits at the margin; a face without a margin and without a
    // focus face of its own gets one a few pixels inside its edge, so that the
    // keyboard's focus shows on every button. Hidden, as everywhere in Windows,
    // until the keyboard is used.
    const bool focusShown = (state & ODS_FOCUS) && !(state & ODS_NOFOCUSRECT);
    if (focusShown && (margin > 0 || !focusBitmap)) {
        const int inset = ScaleToDpi(margin > 0 ? margin : kFocusInset, dpi);
        RECT focusRect = item;
        InflateRect(&focusRect, -inset, -inset);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focusRect);
    }
    DrawCaption(dc, caption, captionRect, shift, shift, textColor);
}
