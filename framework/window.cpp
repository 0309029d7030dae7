#include "framework/window.h"

namespace {
// The object pointer and the procedure we replaced live in window properties, so a
// window keeps working even when its object went away before the window did.
const char kObjectProp[] = "Kavron.Window";
const char kOriginalProcProp[] = "Kavron.WindowProc";
}  // namespace

Window::~Window()
{
    if (originalProc_ && hwnd)
        UnsubclassWindow();
    else if (hwnd && FromHandle(hwnd) == this)
        DetachObject();
}

bool Window::AttachObject(HWND h)
{
    if (!h || !IsWindow(h) || GetPropA(h, kObjectProp))
        return false;
    hwnd = h;
    return SetPropA(h, kObjectProp, this) != FALSE;
}

void Window::DetachObject()
{
    if (hwnd && GetPropA(hwnd, kObjectProp) == this)
        RemovePropA(hwnd, kObjectProp);
    hwnd = nullptr;
}

bool Window::SubclassWindow(HWND h)
{
    // A window whose earlier object could not unhook (someone subclassed on top of
    // it) still has our procedure in its chain; a second entry would loop.
    if (originalProc_ || !h || GetPropA(h, kOriginalProcProp) || !AttachObject(h))
        return false;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
    if (!old) {
        DetachObject();
        return false;
    }
    originalProc_ = old;
    SetPropA(h, kOriginalProcProp, reinterpret_cast<HANDLE>(old));
    return true;
}

bool Window::SubclassDlgItem(int id, HWND parent)
{
    HWND h = GetDlgItem(parent, id);
    return h && SubclassWindow(h);
}

HWND Window::UnsubclassWindow()
{
    HWND h = hwnd;
    if (!originalProc_ || !h)
        return nullptr;
    // Only put the old procedure back if nobody subclassed the window after us;
    // otherwise SubclassProc stays in the chain and forwards through the property.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)) == &Window::SubclassProc) {
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropA(h, kOriginalProcProp);
    }
    originalProc_ = nullptr;
    DetachObject();
    return h;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(msg, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (originalProc_)
        return CallWindowProcA(originalProc_, hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

Window* Window::FromHandle(HWND h)
{
    return h ? static_cast<Window*>(GetPropA(h, kObjectProp)) : nullptr;
}

bool Window::ReflectToChild(UINT msg, WPARAM, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!dis || dis->CtlType == ODT_MENU)
            return false;
        Window* child = FromHandle(dis->hwndItem);
        if (child && child->OnReflectedDrawItem(dis)) {
            *result = TRUE;
            return true;
        }
        return false;
    }
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        if (!nm)
            return false;
        Window* child = FromHandle(nm->hwndFrom);
        LRESULT r = 0;
        if (child && child->OnReflectedNotify(nm, &r)) {
            *result = r;
            return true;
        }
    }
    return false;
}

RECT Window::ClientRect() const
{
    RECT r = {};
    GetClientRect(hwnd, &r);
    return r;
}

RECT Window::WindowRect() const
{
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

LRESULT CALLBACK Window::SubclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = FromHandle(h);
    if (!self || !self->originalProc_) {
        auto original = reinterpret_cast<WNDPROC>(GetPropA(h, kOriginalProcProp));
        if (msg == WM_NCDESTROY)
            RemovePropA(h, kOriginalProcProp);
        return original ? CallWindowProcA(original, h, msg, wParam, lParam) : DefWindowProcA(h, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        WNDPROC original = self->originalProc_;
        LRESULT r = self->WindowProc(msg, wParam, lParam);
        // The window is gone: forget it, but only if WindowProc did not already.
        if (self->hwnd == h) {
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropA(h, kOriginalProcProp);
            self->originalProc_ = nullptr;
            self->DetachObject();
        }
        return r;
    }
    return self->WindowProc(msg, wParam, lParam);
}
