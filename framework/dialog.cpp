#include "framework/dialog.h"

#include <windowsx.h>

#include "framework/application.h"
#include "framework/busy.h"
#include "framework/dlg_init.h"
#include "framework/gdi.h"

namespace {

struct ColorScheme {
    bool active = false;
    COLORREF background = 0;
    COLORREF text = 0;
    GdiBrush brush;
};

ColorScheme& Scheme()
{
    static ColorScheme scheme;
    return scheme;
}

bool IsEditControl(HWND h)
{
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    return lstrcmpiA(cls, "Edit") == 0;
}

// The scheme applies to the dialog itself, its statics and its buttons. Read-only
// and disabled edits ask with CTLCOLOR_STATIC too; they keep the system colours.
HBRUSH SchemeBrush(HDC dc, HWND ctl, int kind)
{
    ColorScheme& s = Scheme();
    if (!s.active || !s.brush)
        return nullptr;
    if (kind != CTLCOLOR_DLG && kind != CTLCOLOR_STATIC && kind != CTLCOLOR_BTN)
        return nullptr;
    if (kind == CTLCOLOR_STATIC && IsEditControl(ctl))
        return nullptr;
    SetBkColor(dc, s.background);
    SetTextColor(dc, s.text);
    return s.brush.get();
}

// Messages whose dialog procedure result is the message result itself rather
// than a handled flag with the result in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg)
{
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

// Under per-monitor awareness (v2) the dialog manager would lay a dialog out again
// from its template at each dpi change, with the uneven base units the layout
// avoids: the dialogs lay themselves out (Windows 10 1703 and later have it).
void KeepSystemFromRelayingOut(HWND dialog)
{
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<SetBehaviorFn>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior")))
                      : nullptr;
    }();
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (setBehavior)
        setBehavior(dialog, kDisableAll, kDisableAll);
}

bool IsTopLevel(HWND h)
{
    return (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) == 0;
}

}  // namespace

void SetDialogBkColor(COLORREF background, COLORREF text)
{
    ColorScheme& s = Scheme();
    s.brush.reset(CreateSolidBrush(background));
    s.background = background;
    s.text = text;
    s.active = static_cast<bool>(s.brush);
}

void ResetDialogBkColor()
{
    ColorScheme& s = Scheme();
    s.active = false;
    s.brush.reset();
}

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog()
{
    // A modeless dialog still on screen goes with its object.
    if (hwnd && IsWindow(hwnd) && !modal_) {
        HWND h = hwnd;
        DetachObject();
        DestroyWindow(h);
    }
}

HWND Dialog::OwnerWindow() const
{
    if (parent_)
        return parent_;
    HWND main = GetMainWindowHandle();
    return main != hwnd ? main : nullptr;
}

INT_PTR Dialog::DoModal()
{
    if (hwnd)
        return -1;
    modal_ = true;
    ended_ = false;
    result_ = 0;
    INT_PTR r = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), OwnerWindow(),
                                &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd)
        DetachObject();
    if (r == -1 && !ended_)
        return -1;
    result_ = r;
    ended_ = true;
    return r;
}

HWND Dialog::CreateModeless(HWND parent)
{
    if (hwnd)
        return nullptr;
    modal_ = false;
    ended_ = false;
    result_ = 0;
    if (parent)
        parent_ = parent;
    HWND h = CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), OwnerWindow(),
                                &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    // A dialog that ended inside OnInitDialog is already gone again.
    return (h && IsWindow(h)) ? h : nullptr;
}

void Dialog::EndDialog(INT_PTR result)
{
    result_ = result;
    ended_ = true;
    if (!hwnd)
        return;
    if (modal_)
        ::EndDialog(hwnd, result);
    else
        DestroyWindow(hwnd);
}

void Dialog::DefaultEraseBkgnd(HDC dc)
{
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush)
        brush = GetSysColorBrush(COLOR_3DFACE);
    RECT r = ClientRect();
    FillRect(dc, &r, brush);
}

// While a step of a flow runs on a worker (framework/busy.h): the wait cursor, a
// close that waits for the step, Windows' end of the session refused, and no
// command or tick that a user's action or a timer would start. The input itself is
// held back by the busy pump; this also covers clicks that reach a control as sent
// messages and ticks that a modal loop other than the pump dispatches (the system's
// move and menu loops).
bool Dialog::HoldWhileBusy(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        *result = TRUE;
        return true;
    case WM_CLOSE:
        PostWhenIdle(hwnd, WM_CLOSE);
        *result = 0;
        return true;
    case WM_QUERYENDSESSION:
        *result = FALSE;
        return true;
    case WM_TIMER:
        *result = 0;
        return true;
    case WM_COMMAND: {
        const int code = HIWORD(wParam);
        *result = 0;
        return code == BN_CLICKED || code == CBN_SELCHANGE;
    }
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
        *result = 0;
        return nm && (nm->code == NM_CLICK || nm->code == NM_DBLCLK || nm->code == NM_RETURN);
    }
    default:
        return false;
    }
}

void Dialog::LayOutForFirstDpi()
{
    if (!layout_.Record(hwnd, ResourceInstance(), templateId_))
        return;
    KeepSystemFromRelayingOut(hwnd);
    HWND owner = GetWindow(hwnd, GW_OWNER);
    const UINT dpi = WindowDpi(owner ? owner : hwnd);
    if (IsTopLevel(hwnd))
        SetLayoutDpi(hwnd, dpi);
    layout_.Apply(hwnd, dpi, nullptr);
}

void Dialog::OnDpiChanged(UINT dpi, const RECT* suggested)
{
    if (IsTopLevel(hwnd))
        SetLayoutDpi(hwnd, dpi);
    layout_.Apply(hwnd, dpi, suggested);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, WM_DPICHANGED_AFTERPARENT, 0, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

INT_PTR Dialog::Finish(UINT msg, LRESULT result)
{
    if (ReturnsResultDirectly(msg))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (!self || !self->AttachObject(h))
            return FALSE;
    } else {
        self = static_cast<Dialog*>(FromHandle(h));
        // Messages before WM_INITDIALOG (WM_SETFONT and the like) get the defaults.
        if (!self || self->hwnd != h)
            return FALSE;
    }
    INT_PTR r = self->DialogProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY && self->hwnd == h) {
        ForgetLayoutDpi(h);
        self->DetachObject();
        if (!self->modal_)
            self->ended_ = true;
    }
    return r;
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (msg == BusyQueryMessage())
        return Finish(msg, IsBusy() ? 1 : 0);
    if (IsBusy() && HoldWhileBusy(msg, wParam, lParam, &result))
        return Finish(msg, result);
    if (OnMessage(msg, wParam, lParam, &result))
        return Finish(msg, result);

    switch (msg) {
    case WM_INITDIALOG:
        // Laid out for its dpi before anything reads a control's place. The
        // template's list and combo box strings go in before the dialog's own
        // initialisation, which may select among them.
        LayOutForFirstDpi();
        ExecuteDlgInit(hwnd, ResourceInstance(), templateId_);
        return OnInitDialog() ? TRUE : FALSE;

    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        HWND ctl = reinterpret_cast<HWND>(lParam);
        // Enter, Escape, the buttons and the accelerator-less keyboard all arrive as
        // BN_CLICKED (0) commands.
        if (code == BN_CLICKED && id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (code == BN_CLICKED && id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, ctl) ? TRUE : FALSE;
    }

    case WM_NOTIFY: {
        if (ReflectToChild(msg, wParam, lParam, &result))
            return Finish(msg, result);
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        if (nm && OnNotify(static_cast<int>(nm->idFrom), nm, &result))
            return Finish(msg, result);
        return FALSE;
    }

    case WM_DRAWITEM:
        if (ReflectToChild(msg, wParam, lParam, &result))
            return TRUE;
        return FALSE;

    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND ctl = reinterpret_cast<HWND>(lParam);
        const int kind = static_cast<int>(msg - WM_CTLCOLORMSGBOX);
        HBRUSH brush = OnCtlColor(dc, ctl, kind);
        if (!brush)
            brush = SchemeBrush(dc, ctl, kind);
        return reinterpret_cast<INT_PTR>(brush);
    }

    case WM_ERASEBKGND:
        if (OnEraseBkgnd(reinterpret_cast<HDC>(wParam)))
            return Finish(msg, TRUE);
        return FALSE;

    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return TRUE;

    case WM_NCHITTEST: {
        LRESULT def = DefWindowProcA(hwnd, msg, wParam, lParam);
        return Finish(msg, OnNcHitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), def));
    }

    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return FALSE;

    case WM_CLOSE:
        OnClose();
        return TRUE;

    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return Finish(msg, 0);

    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;

    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());

    case WM_DESTROY:
        OnDestroy();
        return FALSE;

    default:
        return FALSE;
    }
}
