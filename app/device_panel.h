// The device panel: the list of the devices the last discovery found, and Refresh.
// A click in the list counts as a selection until the list is filled again; the
// panel hands the clicked (or selected) device to the main window as a
// SelectedDevice, which gives it to the other panels.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/selected_device.h"
#include "framework/gdi.h"
#include "skin/skin_list_ctrl.h"

class DevicePanel {
public:
    // Binds the list and Refresh of the main window's template and gives the list its
    // columns.
    void Bind(HWND dialog);

    // Empties the list.
    void Clear();
    // Refresh is disabled while a discovery holds the window.
    void EnableRefresh(bool enable);
    // One row per record of deviceList, in list order; no click counts any more.
    void ShowDevices();

    // A click in the list, on a row or not: the list takes the keyboard focus, the
    // click counts as a selection, and the clicked device (every text empty when the
    // click found no row) becomes the selected one, whose model SelectedModel keeps.
    SelectedDevice OnClick();
    // The device of the selected row at or below the first visible row (a selected
    // row scrolled out of sight above does not count); nothing without one.
    std::optional<SelectedDevice> Selection() const;
    // True when the list's selected row (or none) is not the one OnClick last handed
    // out since the list was filled: a key or a click moved it after.
    bool ShowsAnotherRow() const;
    // Gives the list the keyboard focus.
    void Focus() const;

    // Whether the list was clicked since it was last filled, on a row or below the
    // rows: what Apply, Language and BitTorrent ask before they act.
    bool ListClicked() const { return deviceSelected_; }
    // The model of the device last clicked; empty when its row had no record.
    const std::string& SelectedModel() const { return selectedModel_; }

private:
    SelectedDevice DeviceOfRow(int row) const;

    SkinListCtrl list_;
    GdiFont font_;
    HWND refresh_ = nullptr;
    bool refreshHadFocus_ = false;
    bool deviceSelected_ = false;
    int shownRow_ = -1;
    std::string selectedModel_;
};
