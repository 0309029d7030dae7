#include "framework/dlg_items.h"

bool BindDlgItems(HWND dialog, std::initializer_list<DlgItem> items)
{
    bool ok = true;
    for (const DlgItem& item : items) {
        HWND h = GetDlgItem(dialog, item.id);
        if (!h) {
            ok = false;
            continue;
        }
        if (item.binding == DlgItemBinding::kSubclass)
            ok = item.control->SubclassWindow(h) && ok;
        else
            item.control->hwnd = h;
    }
    return ok;
}
