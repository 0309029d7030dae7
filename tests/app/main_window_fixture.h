// The main window's template in-process, with the network closed and the PC's drives
// played by FakeDrives: either one panel bound to it alone (PanelFixture), or the
// whole MainDialog driven by the messages its controls send (MainDialogFixture).
// Both read and set the controls by id, as the user sees them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/port_query.h"
#include "fakes.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "protocol.h"
#include "res/resource.h"

class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&protocolSession, 0, sizeof(protocolSession));
        drives_.types = {{'C', DRIVE_FIXED}, {'X', DRIVE_CDROM}};
        drives_.connections = {{'Y', "\\\\198.51.100.20\\HDD_1"}};
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        ClearDevices();
        ClearVolumes(&volumeList);
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    ListCtrl Devices() const { return ListCtrl(Item(IDC_DEVICE_LIST)); }
    ListCtrl Volumes() const { return ListCtrl(Item(IDC_VOLUME_LIST)); }

    // A record and its row, as a discovery and a refresh would have made them.
    void AddRow(const char* name, const char* address, const char* netmask, const char* gateway, const char* dhcp,
                const char* model)
    {
        AddDeviceRecord(name, address, netmask, gateway, dhcp, model);
        const ListCtrl list = Devices();
        const int row = list.InsertItem(list.GetItemCount(), "");
        list.SetItemText(row, 0, name);
        list.SetItemText(row, 1, address);
        list.SetItemText(row, 2, netmask);
        list.SetItemText(row, 3, gateway);
    }
    void Select(int row) { Devices().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED); }
    // The table a two-port device's port query leaves: LAN1 and LAN2 at these addresses.
    PortConfigTable& SetPortTable(const char* lan1, const char* lan2)
    {
        PortConfigTable& ports = protocolSession.portConfig;
        CopyTextTo(ports.lan1.portName, "LAN1");
        CopyTextTo(ports.lan1.address, lan1);
        CopyTextTo(ports.lan2.portName, "LAN2");
        CopyTextTo(ports.lan2.address, lan2);
        return ports;
    }
    std::string Address(int id) const
    {
        const IpAddressCtrl field(Item(id));
        if (field.IsBlank())
            return "blank";
        DWORD value = 0;
        field.GetAddress(&value);
        return std::to_string(FIRST_IPADDRESS(value)) + "." + std::to_string(SECOND_IPADDRESS(value)) + "." +
               std::to_string(THIRD_IPADDRESS(value)) + "." + std::to_string(FOURTH_IPADDRESS(value));
    }
    // Puts an address into a field as the user would type it; "" leaves it blank.
    void SetAddress(int id, const char* dotted) const
    {
        const IpAddressCtrl field(Item(id));
        unsigned char bytes[4];
        if (!ParseDottedOctets(dotted, bytes)) {
            field.ClearAddress();
            return;
        }
        field.SetAddress(MAKEIPADDRESS(bytes[0], bytes[1], bytes[2], bytes[3]));
    }
    int DhcpChoice() const { return ComboBox(Item(IDC_RECEIVE_DHCP)).GetCurSel(); }
    std::vector<std::string> Items(int id) const
    {
        const ComboBox box(Item(id));
        std::vector<std::string> items;
        for (int i = 0; i < box.GetCount(); ++i)
            items.push_back(box.GetItemText(i));
        return items;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

    FakeDrives drives_;
    HWND window_ = nullptr;
};

// The main window's template with no window class of its own: a test binds the
// panel it drives.
class PanelFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_NE(nullptr, window_ = host_.CreateModeless(nullptr));
    }

    Dialog host_{IDD_MAIN};
};

// The main window itself.
class MainDialogFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // The network is closed: a two-port selection's query plays the answer from
        // the table the test sets, or no answer when portQueryAnswers is 0.
        portQueryAnswers = 1;
        previousPortQuery_ = SetPortQuery({[] { return portQueryAnswers; }});
        ASSERT_NE(nullptr, window_ = dialog_.CreateModeless(nullptr));
    }
    void TearDown() override
    {
        SetPortQuery(previousPortQuery_);
        MainWindowFixture::TearDown();
    }

    void Click(int id, int code = BN_CLICKED)
    {
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }
    // A click in the device list, on whatever row is selected.
    void ClickDeviceList()
    {
        NMHDR header{Item(IDC_DEVICE_LIST), IDC_DEVICE_LIST, static_cast<UINT>(NM_CLICK)};
        SendMessageA(window_, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&header));
    }
    // The user picks an item of a box.
    void Choose(int id, int index)
    {
        ComboBox(Item(id)).SetCurSel(index);
        Click(id, CBN_SELCHANGE);
    }

    static inline int portQueryAnswers = 1;
    PortQuery previousPortQuery_{};
    MainDialog dialog_;
};
