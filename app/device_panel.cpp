#include "app/device_panel.h"

#include "app/panel_list.h"
#include "framework/dlg_items.h"
#include "protocol.h"
#include "res/resource.h"

namespace {

enum DeviceColumn { kColumnName = 0, kColumnIp = 1, kColumnNetmask = 2, kColumnGateway = 3 };

}  // namespace

void DevicePanel::Bind(HWND dialog)
{
    BindDlgItems(dialog, {{IDC_DEVICE_LIST, &list_, DlgItemBinding::kSubclass}});
    refresh_ = GetDlgItem(dialog, IDC_REFRESH);
    const ListColumn columns[] = {{"Name", 94}, {"IP", 85}, {"Netmask", 85}, {"Gateway", 85}};
    SetUpPanelList(dialog, list_, &font_, columns);
}

void DevicePanel::Clear()
{
    list_.DeleteAllItems();
    shownRow_ = -1;
}

void DevicePanel::EnableRefresh(bool enable)
{
    // A window that is disabled loses the keyboard focus to no window at all: Refresh
    // pressed from the keyboard takes it back once it is enabled again.
    if (!enable)
        refreshHadFocus_ = GetFocus() == refresh_;
    EnableWindow(refresh_, enable ? TRUE : FALSE);
    if (enable && refreshHadFocus_ && !GetFocus())
        SetFocus(refresh_);
}

void DevicePanel::ShowDevices()
{
    // Every row added changes the list's scroll range, and the skinned list paints at
    // once at each change of its frame: with redrawing off the rows go in unpainted,
    // then the list and its bars are painted once (250 rows took 0.85 s under Wine).
    list_.Send(WM_SETREDRAW, FALSE);
    int row = 0;
    for (const DeviceRecord* record = deviceList.head; record; record = record->next, ++row) {
        row = list_.InsertItem(row, "");
        if (row < 0)
            break;
        list_.SetItemText(row, kColumnName, record->name);
        list_.SetItemText(row, kColumnIp, record->address);
        list_.SetItemText(row, kColumnNetmask, record->netmask);
        list_.SetItemText(row, kColumnGateway, record->gateway);
    }
    list_.Send(WM_SETREDRAW, TRUE);
    list_.Invalidate();
    deviceSelected_ = false;
    shownRow_ = -1;
}

SelectedDevice DevicePanel::OnClick()
{
    deviceSelected_ = true;
    Focus();
    // A click below the last row, or on a list whose selected row is scrolled out of
    // sight above, finds no row: every text is then empty.
    shownRow_ = list_.GetSelectedRowFromTop();
    const SelectedDevice device = DeviceOfRow(shownRow_);
    selectedModel_ = device.model;
    return device;
}

bool DevicePanel::ShowsAnotherRow() const
{
    return list_.GetSelectedRowFromTop() != shownRow_;
}

std::optional<SelectedDevice> DevicePanel::Selection() const
{
    const int row = list_.GetSelectedRowFromTop();
    if (row < 0)
        return std::nullopt;
    return DeviceOfRow(row);
}

void DevicePanel::Focus() const
{
    SetFocus(list_.hwnd);
}

SelectedDevice DevicePanel::DeviceOfRow(int row) const
{
    SelectedDevice device;
    if (row >= 0) {
        device.address = list_.GetItemText(row, kColumnIp);
        device.netmask = list_.GetItemText(row, kColumnNetmask);
        device.gateway = list_.GetItemText(row, kColumnGateway);
        device.name = list_.GetItemText(row, kColumnName);
    }
    // The row's text is the only link to its record; a device that has changed its
    // address since the list was filled has none.
    if (const DeviceRecord* record = FindDevice(device.address.c_str())) {
        device.model = record->model;
        device.dhcpFlag = record->dhcpFlag;
    }
    return device;
}
