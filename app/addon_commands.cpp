// The main window's hidden add-on buttons: Language (codepage files), BitTorrent
// and the desktop widget. Their flows live in addons/; these handlers check the
// selection (and for BitTorrent the administrator), start a flow with the device's
// address, and refresh the panels after a completed restart.
#include <windows.h>

#include <string>

#include "addons/addon_state.h"
#include "addons/bittorrent.h"
#include "addons/codepage_selection.h"
#include "addons/widget_launcher.h"
#include "app/admin_login.h"
#include "app/app_state.h"
#include "app/main_dialog.h"
#include "framework/message_box.h"

namespace {

enum DeviceColumn { kColumnIp = 1 };

}  // namespace

void MainDialog::OnLanguage()
{
    if (deviceSelected == 0) {
        ShowMessageBox(hwnd, "Please select a device.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    RunLanguageDialog(hwnd, selectedHost);
    if (restartState == 0)
        RefreshAfterRestart();
}

void MainDialog::OnBitTorrent()
{
    if (deviceSelected == 0) {
        ShowMessageBox(hwnd, "Please select a device.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    adminLoginMode = 1;
    if (!EnsureAdminLogin(hwnd))
        return;
    if (RunBitTorrentInstall(hwnd, selectedHost))
        RefreshAfterRestart();
}

void MainDialog::OnLaunchWidget()
{
    SetFocus(deviceList_.hwnd);
    const int row = deviceList_.GetSelectedRowFromTop();
    if (row < 0) {
        ShowMessageBox(hwnd, "Please select a server.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    LaunchWidget(hwnd, deviceList_.GetItemText(row, kColumnIp).c_str(), selectedModel);
}

void MainDialog::RefreshAfterRestart()
{
    RebuildDriveLetters();
    RefreshDevices();
    deviceSelected = 0;
}
