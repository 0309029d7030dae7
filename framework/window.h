// Window: a C++ object bound to a window handle. Controls of dialog templates are
// attached by subclassing (the window procedure is replaced and the original one
// becomes DefaultProc), so a derived class sees every message first.
#pragma once

#include <windows.h>
#include <commctrl.h>

class Window {
public:
    // A plain view of `h`: no subclassing, FromHandle does not know it.
    explicit Window(HWND h = nullptr) : hwnd(h) {}
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd;

    // Binds this object to `h` and routes its messages through WindowProc.
    // PreSubclassWindow runs first, with hwnd already set. Fails when this object
    // is already subclassing a window or `h` already belongs to another object.
    bool SubclassWindow(HWND h);
    bool SubclassDlgItem(int id, HWND parent);
    // Gives the window back its original procedure; returns the handle.
    HWND UnsubclassWindow();
    bool IsSubclassed() const { return originalProc_ != nullptr; }  // the tests ask

    virtual void PreSubclassWindow() {}
    // Default: the original window procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // The object bound to `h` (subclassed control or framework dialog), or nullptr.
    static Window* FromHandle(HWND h);

    // Notifications a parent hands back to the child that sent them. Return true
    // when handled; *result is then the notification's answer.
    virtual bool OnReflectedDrawItem(DRAWITEMSTRUCT*) { return false; }
    virtual bool OnReflectedNotify(NMHDR*, LRESULT*) { return false; }

    // For parents: passes WM_DRAWITEM and WM_NOTIFY on to the sending child's
    // object. Returns true when the child handled the message.
    static bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Small conveniences.
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageA(hwnd, msg, wParam, lParam);
    }
    RECT ClientRect() const;
    RECT WindowRect() const;
    void Invalidate(bool erase = true) const { InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE); }
    LONG_PTR Style() const { return GetWindowLongPtrA(hwnd, GWL_STYLE); }
    operator HWND() const { return hwnd; }

protected:
    // Binds the object without replacing the window procedure (dialogs get their
    // messages through their dialog procedure).
    bool AttachObject(HWND h);
    void DetachObject();

private:
    static LRESULT CALLBACK SubclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC originalProc_ = nullptr;
};
