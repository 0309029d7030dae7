// The main window: a borderless dialog painted from one background picture, with
// the device panel, the LAN panel and the drive-mapping panel.
//
// main_dialog.cpp holds the window itself (start-up, skin, shape, dragging, the
// bottom bar) and routes the commands; each panel's handlers live in a file of
// their own: device_panel.cpp, lan_panel.cpp, drive_panel.cpp, and
// addon_commands.cpp for the hidden add-on buttons.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "protocol.h"
#include "skin/skin_buttons.h"
#include "skin/skin_list_ctrl.h"

class MainDialog : public Dialog {
public:
    MainDialog();
    ~MainDialog() override;

    // 1 after any click in the device list; 0 after a refresh.
    int deviceSelected = 0;
    // Model of the device whose row was clicked; empty when its record is gone.
    char selectedModel[34] = {};

    // Device panel (device_panel.cpp).
    void RefreshDevices();
    void SelectDevice();
    void OnOpenWebConfig();
    // Waits for the reachability verdict; when the device is gone, says so and
    // refreshes the drive letters and the device list. True when reachable.
    bool WaitDeviceReachable();

    // LAN panel (lan_panel.cpp).
    void OnDhcpChoice();
    void OnPortChoice();
    void ApplyNetworkSettings();

    // Drive-mapping panel (drive_panel.cpp).
    void ShowPortVolumes(const char* address);
    void OnMapDrive();
    void OnUnmapDrive();
    // Reads the system's connections into the drive table and refills the drive
    // letter box from it, after anything that may have changed a connection.
    void RebuildDriveLetters();

    // The hidden add-on buttons (addon_commands.cpp).
    void OnLanguage();
    void OnBitTorrent();
    void OnLaunchWidget();
    // After a device restarted: the drive letters and the device list as they are now.
    void RefreshAfterRestart();

    // Bottom bar.
    void OnAbout();
    // Exit button: forgets the devices, closes the sockets, ends the window.
    void OnExit();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    HBRUSH OnCtlColor(HDC dc, HWND ctl, int kind) override;
    bool OnEraseBkgnd(HDC dc) override;
    LRESULT OnNcHitTest(int x, int y, LRESULT defaultResult) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnClose() override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Posted once by the initialisation, so that the message is told over the window.
    static constexpr UINT kReportReceiveFailures = WM_APP + 1;

    struct ListColumn {
        const char* title;
        int width;
    };
    // Gives a list its bitmap scroll bars, full-row selection, its own 13-pixel
    // Tahoma (in the character set of the window's device context, kept in *font),
    // black text and its columns.
    template <size_t N>
    void SetUpList(SkinListCtrl& list, GdiFont* font, const ListColumn (&columns)[N])
    {
        SetUpList(list, font, columns, N);
    }
    void SetUpList(SkinListCtrl& list, GdiFont* font, const ListColumn* columns, size_t count);
    void SetUpDeviceList();
    void SetUpVolumeList();
    // Empties the LAN panel's address fields and its port box (disabled).
    void ClearLanPanel();
    // Shows one port's settings: the DHCP choice from the flag (a client's address
    // fields are disabled), the address and netmask, and the gateway unless it is
    // empty or 0.0.0.0.
    void ShowPortSettings(const char* dhcpFlag, const char* address, const char* netmask, const char* gateway);
    void EnableAddressFields(bool enable);
    AddressInput ReadAddress(const IpAddressCtrl& field) const;
    // Writes the panel into the port table: the second port for "LAN2", else the first.
    void StorePanelToPort(const char* portName);
    // The rules of a static configuration on the panel's fields; a refusal is shown
    // and its octet focused. Records the pending texts as the rules pass.
    bool ValidateNetworkSettings();
    void FillVolumeList(const char* serverA, const char* serverB);
    // Shows again the volumes of the device selected at or below firstRow, with the
    // letters they are now mapped to; nothing when no row there is selected.
    void RefillVolumesFrom(int firstRow);

    // Device panel.
    SkinListCtrl deviceList_;
    // LAN panel.
    ComboBox portBox_;
    IpAddressCtrl ipField_;
    IpAddressCtrl netmaskField_;
    IpAddressCtrl gatewayField_;
    ComboBox dhcpBox_;
    // Drive-mapping panel.
    SkinListCtrl volumeList_;
    ComboBox driveLetterBox_;
    // Every push button of the window, from the skin table.
    SkinButtonSet buttons_;

    GdiFont deviceFont_;
    GdiFont volumeFont_;
    GdiBitmap background_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
