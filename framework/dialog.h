// Dialog: runs a dialog template (modal, or modeless for tests) and turns its
// messages into virtual handlers. Children's owner-draw and notification messages
// are offered to the child's own object first (reflection).
#pragma once

#include <windows.h>

#include "framework/dialog_layout.h"
#include "framework/window.h"

// Process-wide colour scheme for dialogs that leave WM_CTLCOLOR* to the framework:
// the dialog background, static controls and buttons get `background` as their
// brush and background colour and `text` as their text colour. Edits, list boxes,
// scroll bars and message boxes always keep the system colours.
void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
// Forgets the scheme again (system colours everywhere): for the tests, which set it
// and must leave the next test the system's colours.
void ResetDialogBkColor();

class Dialog : public Window {
public:
    explicit Dialog(int templateId, HWND parent = nullptr);
    ~Dialog() override;

    // Runs the dialog until EndDialog. A null parent means the application's main
    // window, when there is one. Returns the EndDialog value, or -1 when the
    // dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog without a modal loop (tests drive it with messages).
    // Returns nullptr when it could not be created.
    HWND CreateModeless(HWND parent);
    // Ends a modal dialog; destroys a modeless one. Either way the value is kept
    // in Result().
    void EndDialog(INT_PTR result);

    HWND GetItem(int id) const { return GetDlgItem(hwnd, id); }
    int TemplateId() const { return templateId_; }
    bool HasEnded() const { return ended_; }  // the tests ask whether a dialog ended
    INT_PTR Result() const { return result_; }

    // Handlers. Each default does what the system dialog would do.
    // Runs after the template's initialisation data (combo and list box strings)
    // has been applied. Return true to let the system set the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Commands other than IDOK/IDCANCEL clicks. Return true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*ctl*/) { return false; }
    // Notifications the sending child did not take. Return true when handled.
    virtual bool OnNotify(int /*id*/, NMHDR*, LRESULT* /*result*/) { return false; }
    // kind is CTLCOLOR_*. Return nullptr for the framework's colours.
    virtual HBRUSH OnCtlColor(HDC, HWND /*ctl*/, int /*kind*/) { return nullptr; }
    // Return true when the background is painted; false for the default erase.
    virtual bool OnEraseBkgnd(HDC) { return false; }
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // x, y in screen coordinates; defaultResult is the system's hit test.
    virtual LRESULT OnNcHitTest(int /*x*/, int /*y*/, LRESULT defaultResult) { return defaultResult; }
    virtual void OnSize(UINT /*type*/, int /*cx*/, int /*cy*/) {}
    virtual void OnClose() { OnCancel(); }
    // Return true when painted; false for the default painting.
    virtual bool OnPaint() { return false; }
    virtual HICON OnQueryDragIcon() { return nullptr; }
    virtual void OnDestroy() {}
    // Sees every message before the handlers above. Return true to stop there;
    // *result is then the message's result.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT* /*result*/) { return false; }

    // The window moved to a monitor of another scale (WM_DPICHANGED; a test sends
    // one with any dpi): the default lays the dialog out for `dpi` at `suggested`,
    // tells every child (WM_DPICHANGED_AFTERPARENT) and repaints. A derived dialog
    // calls it first, then reloads what it drew for the old dpi.
    virtual void OnDpiChanged(UINT dpi, const RECT* suggested);
    // The dpi the dialog is laid out for, and its layout (96-dpi rectangles).
    UINT Dpi() const { return WindowDpi(hwnd); }
    const DialogLayout& Layout() const { return layout_; }

    // The erase the system would do: the WM_CTLCOLORDLG brush over the client area.
    void DefaultEraseBkgnd(HDC dc);

protected:
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Finish(UINT msg, LRESULT result);
    bool HoldWhileBusy(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    HWND OwnerWindow() const;
    // At WM_INITDIALOG: the template's layout at the owner's dpi (a dialog opens on
    // its owner's monitor), or the window's own for an unowned one.
    void LayOutForFirstDpi();

    int templateId_;
    HWND parent_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
    DialogLayout layout_;
};
