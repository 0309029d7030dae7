#include "app/lan_panel.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/mapping/text_convert.h"
#include "framework/dlg_items.h"
#include "framework/message_box.h"
#include "res/resource.h"

namespace {

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

void LanPanel::Bind(HWND dialog)
{
    dialog_ = dialog;
    BindDlgItems(dialog, {
                             {IDC_LAN_PORT, &portBox_},
                             {IDC_IP_ADDRESS, &ipField_},
                             {IDC_NETMASK, &netmaskField_},
                             {IDC_GATEWAY, &gatewayField_},
                             {IDC_RECEIVE_DHCP, &dhcpBox_},
                         });
}

void LanPanel::Clear()
{
    portBox_.ResetContent();
    EnableWindow(portBox_.hwnd, FALSE);
    ipField_.ClearAddress();
    netmaskField_.ClearAddress();
    gatewayField_.ClearAddress();
}

void LanPanel::OpenPortBox()
{
    EnableWindow(portBox_.hwnd, TRUE);
    portBox_.ResetContent();
}

void LanPanel::ShowDevice(const SelectedDevice& device, bool portTable)
{
    PortConfigTable& ports = protocolSession.portConfig;
    if (portTable) {
        if (std::strcmp(ports.lan1.portName, "LAN1") == 0) {
            portBox_.AddString(ports.lan1.portName);
            portBox_.AddString(ports.lan2.portName);
            // The row shows the address the device answered with; when that is not
            // LAN1's, the device was found through LAN2.
            const bool throughLan2 = device.address != ports.lan1.address;
            portBox_.SetCurSel(throughLan2 ? 1 : 0);
        } else {
            portBox_.AddString(ports.lan1.portName);
            portBox_.SetCurSel(0);
        }
        shownPortIndex = portBox_.GetCurSel();
    } else {
        // A two-port device whose table did not come is shown, and set, from its row
        // like any other device: the table left from the device selected before would
        // show that device's ports, and Apply would give this one its addresses.
        ports.lan1.portName[0] = '\0';
        CopyTextTo(ports.lan1.address, device.address.c_str());
        CopyTextTo(ports.lan1.netmask, device.netmask.c_str());
        CopyTextTo(ports.lan1.gateway, device.gateway.c_str());
        CopyTextTo(ports.lan1.dhcpFlag, device.dhcpFlag.c_str());
        portBox_.ResetContent();
        EnableWindow(portBox_.hwnd, FALSE);
    }
    ShowPortSettings(device.dhcpFlag.c_str(), device.address.c_str(), device.netmask.c_str(), device.gateway.c_str());
}

void LanPanel::EnableAddressFields(bool enable)
{
    for (const IpAddressCtrl* field : {&ipField_, &gatewayField_, &netmaskField_})
        EnableWindow(field->hwnd, enable ? TRUE : FALSE);
}

void LanPanel::ShowPortSettings(const char* dhcpFlag, const char* address, const char* netmask, const char* gateway)
{
    const bool dhcpClient = dhcpFlag[0] == '1';
    dhcpBox_.SetCurSel(dhcpClient ? kDhcpEnable : kDhcpDisable);
    EnableAddressFields(!dhcpClient);
    ShowAddress(ipField_, address, false);
    ShowAddress(netmaskField_, netmask, false);
    ShowAddress(gatewayField_, gateway, true);
}

void LanPanel::OnDhcpChoice()
{
    const int selection = dhcpBox_.GetCurSel();
    if (selection < 0)
        return;
    EnableAddressFields(selection != kDhcpEnable);
}

const PortConfig* LanPanel::OnPortChoice()
{
    const int selection = portBox_.GetCurSel();
    if (selection == shownPortIndex)
        return nullptr;
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
    if (loaded)
        ShowPortSettings(loaded->dhcpFlag, loaded->address, loaded->netmask, loaded->gateway);
    return loaded;
}

AddressInput LanPanel::ReadAddress(const IpAddressCtrl& field) const
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

void LanPanel::StorePanelToPort(const char* portName)
{
    PortConfigTable& ports = protocolSession.portConfig;
    PortConfig* port = std::strcmp(portName, "LAN2") == 0 ? &ports.lan2 : &ports.lan1;
    StorePortSettings(ReadAddress(ipField_), ReadAddress(netmaskField_), ReadAddress(gatewayField_),
                      dhcpBox_.GetCurSel(), port);
}

void LanPanel::StoreShownPort()
{
    const int port = portBox_.GetCurSel();
    StorePanelToPort(port >= 0 ? portBox_.GetItemText(port).c_str() : "");
}

bool LanPanel::ValidateNetworkSettings()
{
    const SettingsCheck check = CheckAndRecordNetworkSettings(ReadAddress(ipField_), ReadAddress(netmaskField_),
                                                              ReadAddress(gatewayField_), &protocolSession);
    if (check.Accepted())
        return true;
    const UINT icon = check.icon == SettingsCheck::kExclamation   ? MB_ICONEXCLAMATION
                      : check.icon == SettingsCheck::kInformation ? MB_ICONINFORMATION
                                                                  : MB_ICONHAND;
    ShowMessageBox(dialog_, check.message, check.caption, MB_OK | icon);
    // The octet at fault takes the keyboard focus.
    const IpAddressCtrl* fields[] = {&ipField_, &netmaskField_, &gatewayField_};
    if (check.field >= 0 && check.field < 3 && check.octet >= 0)
        fields[check.field]->Send(IPM_SETFOCUS, static_cast<WPARAM>(check.octet));
    return false;
}
