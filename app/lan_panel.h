// The LAN panel: the selected device's (or port's) TCP/IP settings in the address
// fields and the Receive DHCP box, and the hidden port box of the two-port model,
// each port's settings kept in protocolSession.portConfig while the other is shown.
// The rules of a static configuration and their messages are
// protocol/network_rules.h's; the panel shows them on its fields.
#pragma once

#include <windows.h>

#include "app/selected_device.h"
#include "framework/controls.h"
#include "protocol.h"

class LanPanel {
public:
    enum DhcpChoice { kDhcpDisable = 0, kDhcpEnable = 1 };

    // Binds the fields and boxes of the main window's template; messages are shown
    // over dialog.
    void Bind(HWND dialog);

    // Empties the address fields and the port box (disabled); the DHCP choice stays.
    void Clear();
    // Before a two-port device's port table is asked for: the port box enabled, empty.
    void OpenPortBox();
    // Shows a selected device. With its port table (a two-port device whose table
    // came) the box offers the ports, the one the device answered through chosen;
    // without, the table's first port takes the row's values and the box is emptied
    // and disabled. The DHCP choice and the fields come from the row.
    void ShowDevice(const SelectedDevice& device, bool portTable);

    // The Receive DHCP box's choice changed: "Enable" disables the fields.
    void OnDhcpChoice();
    // The port box's choice changed: what the panel shows goes to the port it held,
    // and the chosen port is shown. Returns that port, or nullptr when the choice is
    // the port already shown.
    const PortConfig* OnPortChoice();

    // Apply's steps. Writes the panel into the port the box names (the first port
    // when the box is empty).
    void StoreShownPort();
    // The Receive DHCP box's selection, a DhcpChoice or -1.
    int DhcpChoice() const { return dhcpBox_.GetCurSel(); }
    // The rules of a static configuration on the fields; a refusal is shown and its
    // octet focused. Records the pending texts as the rules pass.
    bool ValidateNetworkSettings();

private:
    // Shows one port's settings: the DHCP choice from the flag (a client's address
    // fields are disabled), the address and netmask, and the gateway unless it is
    // empty or 0.0.0.0.
    void ShowPortSettings(const char* dhcpFlag, const char* address, const char* netmask, const char* gateway);
    void EnableAddressFields(bool enable);
    AddressInput ReadAddress(const IpAddressCtrl& field) const;
    // Writes the panel into the port table: the second port for "LAN2", else the first.
    void StorePanelToPort(const char* portName);

    HWND dialog_ = nullptr;
    ComboBox portBox_;
    IpAddressCtrl ipField_;
    IpAddressCtrl netmaskField_;
    IpAddressCtrl gatewayField_;
    ComboBox dhcpBox_;
};
