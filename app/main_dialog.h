// The main window: a borderless dialog painted from one background picture, with
// the device panel, the LAN panel and the drive-mapping panel.
//
// Each panel binds and owns its controls. The window routes the commands to the
// panels and sequences every flow that spans them (a selection, Apply, Connect,
// Configuration, the add-ons): each flow is a straight sequence of the panels'
// steps and the protocol's exchanges, and only the window moves a value from one
// panel to another. Its background, labels and skinned buttons are SkinnedDialog's.
#pragma once

#include <windows.h>

#include "app/device_panel.h"
#include "app/drive_panel.h"
#include "app/lan_panel.h"
#include "skin/skinned_dialog.h"

class MainDialog : public SkinnedDialog {
public:
    MainDialog();
    ~MainDialog() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    LRESULT OnNcHitTest(int x, int y, LRESULT defaultResult) override;
    void OnSize(UINT type, int cx, int cy) override;
    // Enter on no button and Escape do nothing here: the window has no OK or Cancel,
    // and a stray key must not close it.
    void OnOK() override {}
    void OnCancel() override {}
    void OnClose() override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDpiChanged(UINT dpi, const RECT* suggested) override;

private:
    // The window's icons at the size the system wants for its dpi.
    void SetIconsForDpi();
    // Posted once by the initialisation, so that the message is told over the window.
    static constexpr UINT kReportReceiveFailures = WM_APP + 1;
    // Posted by a key in the device list: once the list has moved its selection.
    static constexpr UINT kKeyboardSelection = WM_APP + 2;

    // Device panel: Refresh, a click in the list, Configuration.
    void RefreshDevices();
    void SelectDevice();
    // After a key in the device list: a row the keyboard selected is selected as a
    // click selects it, once per change.
    void OnListKey();
    void OnKeyboardSelection(int rowBefore);
    void OnOpenWebConfig();
    // Waits for the reachability verdict; when the device is gone, says so and
    // refreshes the drive letters and the device list. True when reachable.
    bool WaitDeviceReachable();

    // LAN panel: the port box's choice (the volumes follow the shown port) and Apply.
    void OnPortChoice();
    void ApplyNetworkSettings();

    // Drive-mapping panel: Connect and Disconnect.
    void OnMapDrive();
    void OnUnmapDrive();

    // The hidden add-on buttons; their flows are in addons/.
    void OnLanguage();
    void OnBitTorrent();
    void OnLaunchWidget();
    // After a device restarted: the drive letters and the device list as they are now.
    void RefreshAfterRestart();

    // Bottom bar. Exit forgets the devices, closes the sockets and ends the window;
    // the close button, Alt+F4 and the system menu's Close end it the same way.
    void OnAbout();
    void OnExit();

    // A command's flow, from the click to its last message. The window's end (the close
    // box, Alt+F4, the skin's close button, Exit) that comes meanwhile, e.g. the close
    // box clicked during a wait, whose WM_CLOSE the framework posts again after the
    // step, waits for the flow's end: the sockets are never stopped under a flow, nor
    // the window ended from the loop of a message box the flow shows.
    // True (and the end is posted again when the flow is over) while a flow runs.
    bool DeferEnd(UINT msg, WPARAM wParam);
    void EndFlow();
    bool Dispatch(int id, int code);
    int flows_ = 0;
    UINT pendingEnd_ = 0;
    WPARAM pendingEndParam_ = 0;

    DevicePanel devices_;
    LanPanel lan_;
    DrivePanel drives_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
