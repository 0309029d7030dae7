// The LAN panel: the selected device's (or port's) TCP/IP settings in the address
// fields and the Receive DHCP box, the hidden LAN port box of the two-port model, and
// Apply: validation, the administrator check and the settings transaction. The
// rules and their messages are protocol/network_rules.h's; this file shows them.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/admin_login.h"
#include "app/app_state.h"
#include "app/main_dialog.h"
#include "app/text_convert.h"
#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "protocol.h"

namespace {

enum DhcpChoice { kDhcpDisable = 0, kDhcpEnable = 1 };

// Text that is not a dotted address (a click that hit no row) leaves the field
// blank; so does 0.0.0.0 where blankWhenZero.
void ShowAddress(const IpAddressCtrl& field, const char* text, bool blankWhenZero)
{
    DWORD address = 0;
    if (!ParseDottedAddress(text, &address) || (blankWhenZero && address == 0))
        field.ClearAddress();
    else
        field.SetAddress(address);
}

}  // namespace

void MainDialog::ClearLanPanel()
{
    portBox_.ResetContent();
    EnableWindow(portBox_.hwnd, FALSE);
    ipField_.ClearAddress();
    netmaskField_.ClearAddress();
    gatewayField_.ClearAddress();
}

void MainDialog::EnableAddressFields(bool enable)
{
    for (const IpAddressCtrl* field : {&ipField_, &gatewayField_, &netmaskField_})
        EnableWindow(field->hwnd, enable ? TRUE : FALSE);
}

void MainDialog::ShowPortSettings(const char* dhcpFlag, const char* address, const char* netmask, const char* gateway)
{
    const bool dhcpClient = dhcpFlag[0] == '1';
    dhcpBox_.SetCurSel(dhcpClient ? kDhcpEnable : kDhcpDisable);
    EnableAddressFields(!dhcpClient);
    ShowAddress(ipField_, address, false);
    ShowAddress(netmaskField_, netmask, false);
    ShowAddress(gatewayField_, gateway, true);
}

void MainDialog::OnDhcpChoice()
{
    const int selection = dhcpBox_.GetCurSel();
    if (selection < 0)
        return;
    EnableAddressFields(dhcpBox_.GetItemText(selection) != "Enable");
}

void MainDialog::OnPortChoice()
{
    const int selection = portBox_.GetCurSel();
    if (selection == shownPortIndex)
        return;
    shownPortIndex = selection;
    // The panel held the other port: keep what it shows there, then show this one.
    PortConfigTable& ports = protocolSession.portConfig;
    const PortConfig* loaded = nullptr;
    if (selection == 0) {
        StorePanelToPort("LAN2");
        loaded = &ports.lan1;
    } else if (selection == 1) {
        StorePanelToPort("LAN1");
        loaded = &ports.lan2;
    }
    if (!loaded)
        return;
    ShowPortSettings(loaded->dhcpFlag, loaded->address, loaded->netmask, loaded->gateway);
    ShowPortVolumes(loaded->address);
}

AddressInput MainDialog::ReadAddress(const IpAddressCtrl& field) const
{
    AddressInput input = {};
    DWORD address = 0;
    field.GetAddress(&address);
    input.blank = field.IsBlank();
    input.octets[0] = FIRST_IPADDRESS(address);
    input.octets[1] = SECOND_IPADDRESS(address);
    input.octets[2] = THIRD_IPADDRESS(address);
    input.octets[3] = FOURTH_IPADDRESS(address);
    return input;
}

void MainDialog::StorePanelToPort(const char* portName)
{
    PortConfigTable& ports = protocolSession.portConfig;
    PortConfig* port = std::strcmp(portName, "LAN2") == 0 ? &ports.lan2 : &ports.lan1;
    StorePortSettings(ReadAddress(ipField_), ReadAddress(netmaskField_), ReadAddress(gatewayField_),
                      dhcpBox_.GetCurSel(), port);
}

bool MainDialog::ValidateNetworkSettings()
{
    const SettingsCheck check = CheckNetworkSettings(ReadAddress(ipField_), ReadAddress(netmaskField_),
                                                     ReadAddress(gatewayField_), &protocolSession);
    if (check.Accepted())
        return true;
    const UINT icon = check.icon == SettingsCheck::kExclamation   ? MB_ICONEXCLAMATION
                      : check.icon == SettingsCheck::kInformation ? MB_ICONINFORMATION
                                                                  : MB_ICONHAND;
    ShowMessageBox(hwnd, check.message, check.caption, MB_OK | icon);
    // The octet at fault takes the keyboard focus.
    const IpAddressCtrl* fields[] = {&ipField_, &netmaskField_, &gatewayField_};
    if (check.field >= 0 && check.field < 3 && check.octet >= 0)
        fields[check.field]->Send(IPM_SETFOCUS, static_cast<WPARAM>(check.octet));
    return false;
}

void MainDialog::ApplyNetworkSettings()
{
    adminLoginMode = 1;
    if (deviceSelected == 0) {
        ShowMessageBox(hwnd, "Please select a device in the above section.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    const int port = portBox_.GetCurSel();
    StorePanelToPort(port >= 0 ? portBox_.GetItemText(port).c_str() : "");

    // A two-port device takes its whole port table, each port's DHCP choice with it.
    const bool twoPorts = !IsPortConfigEmpty(protocolSession.portConfig);
    const int dhcpChoice = dhcpBox_.GetCurSel();
    if (twoPorts || dhcpChoice == kDhcpDisable) {
        if (!ValidateNetworkSettings() || !EnsureAdminLogin(hwnd))
            return;
        WaitCursor wait;
        ApplyAddressSettings();
        // Whatever the answer, the list shows the devices as they now answer.
        RefreshDevices();
        return;
    }
    if (dhcpChoice != kDhcpEnable || !EnsureAdminLogin(hwnd))
        return;
    int enabled = 0;
    {
        WaitCursor wait;
        enabled = EnableDhcpClient();
    }
    if (!enabled) {
        ShowMessageBox(hwnd, "Set to dhcp client fail.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "DHCP client enabled.", "Confirm", MB_OK | MB_ICONINFORMATION);
    RefreshDevices();
}
