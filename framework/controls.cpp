#include "framework/controls.h"

#include <vector>

int ComboBox::AddString(const char* text) const
{
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

std::string ComboBox::GetItemText(int index) const
{
    LRESULT len = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (len == CB_ERR || len < 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(len) + 1, '\0');
    if (Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())) == CB_ERR)
        return std::string();
    return std::string(buffer.data());
}

int IpAddressCtrl::GetAddress(DWORD* address) const
{
    DWORD a = 0;
    int fields = static_cast<int>(Send(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a)));
    if (address)
        *address = a;
    return fields;
}

void ProgressCtrl::GetRange(int* lower, int* upper) const
{
    PBRANGE range = {};
    Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    if (lower)
        *lower = range.iLow;
    if (upper)
        *upper = range.iHigh;
}

int ListCtrl::InsertColumn(int index, const char* heading, int format, int width) const
{
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = format;
    col.pszText = const_cast<char*>(heading);
    col.iSubItem = index;
    if (width >= 0) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

int ListCtrl::InsertItem(int index, const char* text) const
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListCtrl::SetItemText(int item, int subItem, const char* text) const
{
    LVITEMA lv = {};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<char*>(text);
    return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::string ListCtrl::GetItemText(int item, int subItem) const
{
    // The list view cannot tell the length in advance; grow until it fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(static_cast<size_t>(size), '\0');
        LVITEMA lv = {};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = size;
        LRESULT n = Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (n < size - 1)
            return std::string(buffer.data());
    }
    return std::string();
}

bool ListCtrl::SetItemState(int item, UINT state, UINT mask) const
{
    LVITEMA lv = {};
    lv.state = state;
    lv.stateMask = mask;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

bool ListCtrl::GetItemRect(int item, RECT* rect, int code) const
{
    rect->left = code;
    return Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)) != 0;
}
