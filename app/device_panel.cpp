// The device panel: the list of discovered devices, Refresh, what a click on a
// device fills in (LAN panel, volume list with drive letters), and Configuration,
// which opens the selected device's web pages (app/web_launcher.h).
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "app/port_query.h"
#include "app/web_launcher.h"
#include "framework/message_box.h"
#include "framework/seam.h"
#include "framework/wait_cursor.h"
#include "protocol.h"
#include "resource.h"

namespace {

constexpr char kTwoPortModel[] = "ZKM-150";

enum DeviceColumn { kColumnName = 0, kColumnIp = 1, kColumnNetmask = 2, kColumnGateway = 3 };

Seam<PortQuery> portQuery{{QueryPortConfig}};

}  // namespace

void MainDialog::SetUpDeviceList()
{
    const ListColumn columns[] = {{"Name", 94}, {"IP", 85}, {"Netmask", 85}, {"Gateway", 85}};
    SetUpList(deviceList_, &deviceFont_, columns);
}

void MainDialog::RefreshDevices()
{
    deviceList_.DeleteAllItems();
    volumeList_.DeleteAllItems();
    ClearLanPanel();

    // The discovery holds the window for about a second per interface.
    HWND refresh = GetItem(IDC_REFRESH);
    EnableWindow(refresh, FALSE);
    {
        WaitCursor wait;
        Discover(3, 3);
    }
    EnableWindow(refresh, TRUE);

    int row = 0;
    for (const DeviceRecord* record = deviceList.head; record; record = record->next, ++row) {
        row = deviceList_.InsertItem(row, "");
        if (row < 0)
            break;
        deviceList_.SetItemText(row, kColumnName, record->name);
        deviceList_.SetItemText(row, kColumnIp, record->address);
        deviceList_.SetItemText(row, kColumnNetmask, record->netmask);
        deviceList_.SetItemText(row, kColumnGateway, record->gateway);
    }
    deviceSelected = 0;
}

PortQuery SetPortQuery(const PortQuery& query)
{
    return portQuery.Replace(query);
}

void MainDialog::SelectDevice()
{
    // Up to four queries hold the window.
    WaitCursor wait;
    deviceSelected = 1;
    SetFocus(deviceList_.hwnd);

    // A click below the last row, or on a list whose selected row is scrolled out
    // of sight above, finds no row: every text is then empty.
    const int row = deviceList_.GetSelectedRowFromTop();
    auto cell = [&](int column) { return row >= 0 ? deviceList_.GetItemText(row, column) : std::string(); };
    const std::string ip = cell(kColumnIp);
    const std::string netmask = cell(kColumnNetmask);
    const std::string gateway = cell(kColumnGateway);
    const std::string name = cell(kColumnName);

    CopyTextTo(selectedHost, ip.c_str());
    CopyTextTo(protocolSession.selectedAddress, ip.c_str());

    // The row's text is the only link to its record; a device that has changed its
    // address since the list was filled has none.
    const DeviceRecord* record = FindDevice(ip.c_str());
    CopyTextTo(selectedModel, record ? record->model : "");
    char dhcpFlag[8] = {};
    CopyTextTo(dhcpFlag, record ? record->dhcpFlag : "");

    PortConfigTable& ports = protocolSession.portConfig;
    // A two-port device whose table did not come is shown, and set, from its row like
    // any other device: the table left from the device selected before would show
    // that device's ports, and Apply would give this one its addresses.
    bool portTable = false;
    if (std::strcmp(selectedModel, kTwoPortModel) == 0) {
        EnableWindow(portBox_.hwnd, TRUE);
        portBox_.ResetContent();
        portTable = portQuery->queryPortConfig() == 1;
    }
    if (portTable) {
        if (std::strcmp(ports.lan1.portName, "LAN1") == 0) {
            portBox_.AddString(ports.lan1.portName);
            portBox_.AddString(ports.lan2.portName);
            // The row shows the address the device answered with; when that is not
            // LAN1's, the device was found through LAN2.
            const bool throughLan2 = ip != ports.lan1.address;
            portBox_.SetCurSel(throughLan2 ? 1 : 0);
        } else {
            portBox_.AddString(ports.lan1.portName);
            portBox_.SetCurSel(0);
        }
        shownPortIndex = portBox_.GetCurSel();
    } else {
        ports.lan1.portName[0] = '\0';
        CopyTextTo(ports.lan1.address, ip.c_str());
        CopyTextTo(ports.lan1.netmask, netmask.c_str());
        CopyTextTo(ports.lan1.gateway, gateway.c_str());
        CopyTextTo(ports.lan1.dhcpFlag, dhcpFlag);
        portBox_.ResetContent();
        EnableWindow(portBox_.hwnd, FALSE);
    }

    ShowPortSettings(dhcpFlag, ip.c_str(), netmask.c_str(), gateway.c_str());

    QueryVolumes();
    protocolSession.sslValue[0] = '\0';
    QuerySsl();

    FillVolumeList(name.c_str(), ip.c_str());
}

void MainDialog::OnOpenWebConfig()
{
    const int row = deviceList_.GetSelectedRowFromTop();
    if (row < 0) {
        ShowMessageBox(hwnd, "Please select a device to configure.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string address = deviceList_.GetItemText(row, kColumnIp);
    CopyTextTo(selectedHost, address.c_str());
    const std::string url = DeviceUrl(address.c_str(), protocolSession.sslValue);
    StartReachabilityCheck(url);
    if (!WaitDeviceReachable())
        return;
    OpenInBrowser(url);
}

bool MainDialog::WaitDeviceReachable()
{
    {
        WaitCursor wait;
        if (PollReachability())
            return true;
    }
    // Gone, or silent for two seconds: show the network as it is now.
    ShowMessageBox(hwnd, "Device is no longer available.", "Warning", MB_OK | MB_ICONEXCLAMATION);
    RebuildDriveLetters();
    RefreshDevices();
    deviceSelected = 0;
    return false;
}
