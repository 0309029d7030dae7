// The device panel: the list of discovered devices, Refresh, and what a click on a
// device fills in (LAN panel, volume list with drive letters).
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/drive_table.h"
#include "app/list_view.h"
#include "app/main_dialog.h"
#include "app/text_convert.h"
#include "protocol.h"
#include "resource.h"

namespace {

constexpr char kTwoPortModel[] = "ZKM-150";

enum DeviceColumn { kColumnName = 0, kColumnIp = 1, kColumnNetmask = 2, kColumnGateway = 3 };
enum VolumeColumn { kColumnVolumeName = 0, kColumnLocation = 1 };
enum DhcpChoice { kDhcpDisable = 0, kDhcpEnable = 1 };

void ClearList(HWND list)
{
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    // Redraw now: the transactions that follow hold the window.
    UpdateWindow(list);
}

}  // namespace

void MainDialog::RefreshDevices()
{
    HWND devices = GetItem(IDC_DEVICE_LIST);
    SendMessageA(devices, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(GetItem(IDC_VOLUME_LIST), LVM_DELETEALLITEMS, 0, 0);

    HWND port = GetItem(IDC_LAN_PORT);
    SendMessageA(port, CB_RESETCONTENT, 0, 0);
    EnableWindow(port, FALSE);

    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY})
        SendMessageA(GetItem(id), IPM_CLEARADDRESS, 0, 0);

    HWND refresh = GetItem(IDC_REFRESH);
    EnableWindow(refresh, FALSE);
    Discover(3, 3);
    EnableWindow(refresh, TRUE);

    int row = 0;
    for (const DeviceRecord* record = deviceList.head; record; record = record->next, ++row) {
        row = InsertListRow(devices, row, "");
        if (row < 0)
            break;
        SetListItemText(devices, row, kColumnName, record->name);
        SetListItemText(devices, row, kColumnIp, record->address);
        SetListItemText(devices, row, kColumnNetmask, record->netmask);
        SetListItemText(devices, row, kColumnGateway, record->gateway);
    }
    deviceSelected = 0;
}

void MainDialog::SelectDevice()
{
    deviceSelected = 1;
    HWND devices = GetItem(IDC_DEVICE_LIST);
    SetFocus(devices);

    // A click below the last row selects nothing: every text is then empty.
    const int row = FindSelectedRowFromTop(devices);
    const std::string ip = ListItemText(devices, row, kColumnIp);
    const std::string netmask = ListItemText(devices, row, kColumnNetmask);
    const std::string gateway = ListItemText(devices, row, kColumnGateway);
    const std::string name = ListItemText(devices, row, kColumnName);

    CopyTextTo(selectedHost, ip.c_str());
    CopyTextTo(protocolSession.selectedAddress, ip.c_str());

    // The row's text is the only link to its record; a device that has changed its
    // address since the list was filled has none.
    const DeviceRecord* record = FindDevice(ip.c_str());
    CopyTextTo(selectedModel, record ? record->model : "");
    char dhcpFlag[8] = {};
    CopyTextTo(dhcpFlag, record ? record->dhcpFlag : "");

    HWND port = GetItem(IDC_LAN_PORT);
    PortConfigTable& ports = protocolSession.portConfig;
    if (std::strcmp(selectedModel, kTwoPortModel) == 0) {
        EnableWindow(port, TRUE);
        SendMessageA(port, CB_RESETCONTENT, 0, 0);
        QueryPortConfig();
        if (std::strcmp(ports.lan1.portName, "LAN1") == 0) {
            SendMessageA(port, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ports.lan1.portName));
            SendMessageA(port, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ports.lan2.portName));
            // The row shows the address the device answered with; when that is not
            // LAN1's, the device was found through LAN2.
            const bool throughLan2 = ip != ports.lan1.address;
            SendMessageA(port, CB_SETCURSEL, throughLan2 ? 1 : 0, 0);
        } else {
            SendMessageA(port, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ports.lan1.portName));
            SendMessageA(port, CB_SETCURSEL, 0, 0);
        }
        shownPortIndex = static_cast<int>(SendMessageA(port, CB_GETCURSEL, 0, 0));
    } else {
        ports.lan1.portName[0] = '\0';
        CopyTextTo(ports.lan1.address, ip.c_str());
        CopyTextTo(ports.lan1.netmask, netmask.c_str());
        CopyTextTo(ports.lan1.gateway, gateway.c_str());
        CopyTextTo(ports.lan1.dhcpFlag, dhcpFlag);
        SendMessageA(port, CB_RESETCONTENT, 0, 0);
        EnableWindow(port, FALSE);
    }

    const bool dhcpClient = dhcpFlag[0] == '1';
    SendMessageA(GetItem(IDC_RECEIVE_DHCP), CB_SETCURSEL, dhcpClient ? kDhcpEnable : kDhcpDisable, 0);
    EnableAddressFields(!dhcpClient);

    ShowAddress(IDC_IP_ADDRESS, ip.c_str(), false);
    ShowAddress(IDC_NETMASK, netmask.c_str(), false);
    ShowAddress(IDC_GATEWAY, gateway.c_str(), true);

    QueryVolumes();
    protocolSession.sslValue[0] = '\0';
    QuerySsl();

    FillVolumeList(name.c_str(), ip.c_str());
}

void MainDialog::ShowPortVolumes(const char* address)
{
    FillVolumeList(address, nullptr);
}

void MainDialog::FillVolumeList(const char* serverA, const char* serverB)
{
    HWND volumes = GetItem(IDC_VOLUME_LIST);
    ClearList(volumes);
    int row = 0;
    for (const VolumeEntry* entry = volumeList.head; entry; entry = entry->next, ++row) {
        char converted[256];
        Utf8ToAnsi(entry->name, converted, sizeof(converted));
        row = InsertListRow(volumes, row, converted);
        if (row < 0)
            break;
        SetListItemText(volumes, row, kColumnLocation, LocateVolumeDrive(converted, serverA, serverB));
    }
}

void MainDialog::ShowAddress(int controlId, const char* text, bool blankWhenZero)
{
    // Text that is not a dotted address (a click that hit no row) leaves the field
    // blank; so does a gateway of 0.0.0.0.
    HWND field = GetItem(controlId);
    DWORD address = 0;
    if (!ParseDottedAddress(text, &address) || (blankWhenZero && address == 0)) {
        SendMessageA(field, IPM_CLEARADDRESS, 0, 0);
        return;
    }
    SendMessageA(field, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void MainDialog::EnableAddressFields(bool enable)
{
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_NETMASK})
        EnableWindow(GetItem(id), enable ? TRUE : FALSE);
}

void MainDialog::OnDhcpChoice()
{
    HWND box = GetItem(IDC_RECEIVE_DHCP);
    const int selection = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
    if (selection < 0)
        return;
    char text[32] = {};
    if (SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0) < static_cast<LRESULT>(sizeof(text)))
        SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(selection), reinterpret_cast<LPARAM>(text));
    EnableAddressFields(std::strcmp(text, "Enable") != 0);
}
