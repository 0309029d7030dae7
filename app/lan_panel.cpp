// The LAN panel: the selected device's (or port's) TCP/IP settings in the address
// fields and the Receive DHCP box, and the hidden LAN port box of the two-port
// model.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "app/main_dialog.h"
#include "app/text_convert.h"

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

// Switching the shown port, and Apply with its validation, administrator check and
// settings transaction, come with the settings transactions; until then they do
// nothing.
void MainDialog::OnPortChoice() {}
void MainDialog::ApplyNetworkSettings() {}
