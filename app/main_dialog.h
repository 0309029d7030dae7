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

#include <vector>

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
    void OnDestroy() override;
    // The one door of every flow (see FlowArrival).
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(UINT dpi, const RECT* suggested) override;

private:
    // The window's icons at the size the system wants for its dpi.
    void SetIconsForDpi();
    // Posted once by the initialisation, so that the message is told over the window.
    static constexpr UINT kReportReceiveFailures = WM_APP + 1;
    // Posted by a key in the device list, once the list has moved its selection, and
    // at a flow's end when the list was clicked or keyed meanwhile: the list's row is
    // selected as a click selects it when the panels show another.
    static constexpr UINT kListSelection = WM_APP + 2;

    // Device panel: Refresh, a click in the list, Configuration.
    void RefreshDevices();
    void SelectDevice();
    void OnListSelection();
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
    // Windows ends the session: once the running step (if any) has returned, the
    // network stops as Exit stops it, no step starts any more, and the window ends
    // after the flow.
    void OnSessionEnd();

    // One flow at a time, whoever sends or posts its message (the user, another
    // program, a modal loop of the flow itself): a flow is a command's handling from
    // its message to its last message box. What arrives while one runs (or a step is
    // busy) is dropped, or held and posted again once the flow has ended.
    enum class FlowArrival {
        kNone,     // no flow's start
        kStart,    // a command (a button's click): dropped while a flow runs
        kCatchUp,  // a change the controls already show (a box's selection, a click or a
                   // key in the device list), the start-up notice: held, then handled
        kEnd,      // the window's end (WM_CLOSE, Exit, the close button): held as WM_CLOSE,
                   // so that the sockets never stop under a flow
    };
    FlowArrival ArrivalOf(UINT msg, WPARAM wParam, LPARAM lParam) const;
    void Hold(FlowArrival arrival, UINT msg, WPARAM wParam, LPARAM lParam);
    void EndFlow();
    bool Dispatch(int id, int code);
    bool flowRuns_ = false;
    struct Held {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Held> held_;

    DevicePanel devices_;
    LanPanel lan_;
    DrivePanel drives_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
