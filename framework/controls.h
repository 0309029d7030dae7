// Thin wrappers of the standard and common controls: each is a Window with a few
// typed helpers over the control's messages. Use them as views of a control
// (Window(HWND)) or derive from them and subclass a template control. The tests drive
// the controls through the same views: ComboBox::GetCount and ListCtrl's
// EnsureVisible, GetCountPerPage and Scroll serve only them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/window.h"

class Button : public Window {
public:
    using Window::Window;
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int check) const { Send(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetState() const { return static_cast<UINT>(Send(BM_GETSTATE)); }
    void SetState(bool pushed) const { Send(BM_SETSTATE, pushed ? TRUE : FALSE); }
};

class Edit : public Window {
public:
    using Window::Window;
    void LimitText(int chars) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
};

class ComboBox : public Window {
public:
    using Window::Window;
    int AddString(const char* text) const;
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    void ResetContent() const { Send(CB_RESETCONTENT); }
    // The item's text, or "" for an index that does not exist.
    std::string GetItemText(int index) const;
};

// The IP address control; addresses in host order (first octet in the high byte).
class IpAddressCtrl : public Window {
public:
    using Window::Window;
    // Number of non-blank fields; *address gets the address (blank fields are 0).
    int GetAddress(DWORD* address) const;
    void SetAddress(DWORD address) const { Send(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
    void ClearAddress() const { Send(IPM_CLEARADDRESS); }
    bool IsBlank() const { return Send(IPM_ISBLANK) != 0; }
};

class ProgressCtrl : public Window {
public:
    using Window::Window;
    void SetRange(int lower, int upper) const { Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange(int* lower, int* upper) const;
    int SetPos(int pos) const { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
};

class HeaderCtrl : public Window {
public:
    using Window::Window;
    int GetItemCount() const { return static_cast<int>(Send(HDM_GETITEMCOUNT)); }
    bool GetItemRect(int index, RECT* rect) const
    {
        return Send(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)) != 0;
    }
};

// The list view, in the report style the program uses.
class ListCtrl : public Window {
public:
    using Window::Window;
    HWND GetHeader() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }
    DWORD SetExtendedStyle(DWORD style) const
    {
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
    }
    int InsertColumn(int index, const char* heading, int format = LVCFMT_LEFT, int width = -1) const;
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int InsertItem(int index, const char* text) const;
    bool SetItemText(int item, int subItem, const char* text) const;
    std::string GetItemText(int item, int subItem) const;
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
    UINT GetItemState(int item, UINT mask) const
    {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
    }
    bool SetItemState(int item, UINT state, UINT mask) const;
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
    }
    int GetTopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    // The first selected row at or below the first visible one, or -1: a selected
    // row scrolled out of sight above does not count.
    int GetSelectedRowFromTop() const { return GetNextItem(GetTopIndex() - 1, LVNI_SELECTED); }
    int GetCountPerPage() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE)); }
    bool GetItemRect(int item, RECT* rect, int code) const;
    bool Scroll(int dx, int dy) const { return Send(LVM_SCROLL, static_cast<WPARAM>(dx), dy) != 0; }
    bool SetTextColor(COLORREF color) const { return Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)) != 0; }
    bool SetTextBkColor(COLORREF color) const { return Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color)) != 0; }
    bool EnsureVisible(int item) const { return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE) != 0; }
};
