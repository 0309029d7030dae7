// The main window: a borderless dialog painted from one background picture, with
// the device panel, the LAN panel and the drive-mapping panel.
#pragma once
#include <windows.h>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "skin/skin_button.h"
#include "skin/skin_list_ctrl.h"

class MainDialog : public Dialog {
public:
    MainDialog();
    ~MainDialog() override;

    // 1 after any click in the device list; 0 after a refresh.
    int deviceSelected = 0;
    // Model of the device whose row was clicked; empty when its record is gone.
    char selectedModel[34] = {};

    // Device panel.
    void RefreshDevices();
    void SelectDevice();
    void ShowPortVolumes(const char* address);

    // LAN panel, drive mapping, web pages, About and the add-ons. Their handlers
    // are wired here; their work is done by the panels that own them.
    void ApplyNetworkSettings();
    void OnDhcpChoice();
    void OnPortChoice();
    void OnMapDrive();
    void OnUnmapDrive();
    void OnOpenWebConfig();
    void OnAbout();
    void OnLanguage();
    void OnBitTorrent();
    void OnLaunchWidget();

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

private:
    void SetUpLists();
    void SkinButtons();
    void FillVolumeList(const char* serverA, const char* serverB);
    void ShowAddress(int controlId, const char* text, bool blankWhenZero);
    void EnableAddressFields(bool enable);

    static constexpr int kButtonCount = 12;
    SkinButton buttons_[kButtonCount];
    SkinListCtrl deviceListCtrl_;
    SkinListCtrl volumeListCtrl_;
    GdiFont deviceFont_;
    GdiFont volumeFont_;
    GdiBitmap background_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
