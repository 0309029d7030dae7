// Binds a dialog's template controls to the C++ objects that stand for them, from
// one table per dialog: a view (ComboBox, IpAddressCtrl, ...) only learns its
// control's handle; a subclassed control (a skinned list, say) also gets its
// messages first. Bind in OnInitDialog, before anything touches the controls.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "framework/window.h"

enum class DlgItemBinding {
    kView,
    kSubclass,
};

struct DlgItem {
    int id;
    Window* control;
    DlgItemBinding binding = DlgItemBinding::kView;
};

// True when every control exists and was bound; the others are bound all the same.
bool BindDlgItems(HWND dialog, std::initializer_list<DlgItem> items);
