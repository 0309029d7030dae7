// The main window's flows: what a command does across the panels, step by step.
// Each panel shows and reads its own controls; only these flows move a value from
// one panel to another, call the protocol's exchanges, and show the messages that
// end a flow.
#include <windows.h>

#include <optional>
#include <string>

#include "addons/bittorrent.h"
#include "addons/codepage_selection.h"
#include "addons/widget_launcher.h"
#include "app/admin_login.h"
#include "app/app_state.h"
#include "app/drive_in_use_dialog.h"
#include "app/drive_mapping.h"
#include "app/main_dialog.h"
#include "app/port_query.h"
#include "app/web_launcher.h"
#include "framework/message_box.h"
#include "framework/busy.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

Seam<PortQuery> portQuery{{QueryPortConfig}};

}  // namespace

PortQuery SetPortQuery(const PortQuery& query)
{
    return portQuery.Replace(query);
}

void MainDialog::RefreshDevices()
{
    devices_.Clear();
    drives_.ClearVolumes();
    lan_.Clear();

    // The discovery lasts about a second, whatever the number of interfaces; the
    // window answers meanwhile.
    devices_.EnableRefresh(false);
    RunBusy(hwnd, [] { Discover(kDiscoverySelector1, kDiscoverySelector2); });
    devices_.EnableRefresh(true);
    devices_.ShowDevices();
}

void MainDialog::SelectDevice()
{
    const SelectedDevice device = devices_.OnClick();
    CopyTextTo(selectedHost, device.address.c_str());
    CopyTextTo(protocolSession.selectedAddress, device.address.c_str());

    bool portTable = false;
    if (device.IsTwoPortModel()) {
        lan_.OpenPortBox();
        portTable = RunBusy(hwnd, [] { return portQuery->queryPortConfig() == 1; });
    }
    lan_.ShowDevice(device, portTable);

    RunBusy(hwnd, [] {
        QueryVolumes();
        protocolSession.sslValue[0] = '\0';
        QuerySsl();
    });

    drives_.ShowVolumes(device);
}

void MainDialog::OnOpenWebConfig()
{
    const std::optional<SelectedDevice> device = devices_.Selection();
    if (!device) {
        ShowMessageBox(hwnd, "Please select a device to configure.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CopyTextTo(selectedHost, device->address.c_str());
    const std::string url = DeviceUrl(device->address.c_str(), protocolSession.sslValue);
    StartReachabilityCheck(url);
    if (!WaitDeviceReachable())
        return;
    OpenInBrowser(url);
}

bool MainDialog::WaitDeviceReachable()
{
    if (RunBusy(hwnd, [] { return PollReachability(); }))
        return true;
    // Gone, or silent for two seconds: show the network as it is now, with no device
    // selected.
    ShowMessageBox(hwnd, "Device is no longer available.", "Warning", MB_OK | MB_ICONEXCLAMATION);
    drives_.RebuildDriveLetters();
    RefreshDevices();
    return false;
}

void MainDialog::OnPortChoice()
{
    if (const PortConfig* shown = lan_.OnPortChoice())
        drives_.ShowPortVolumes(shown->address);
}

void MainDialog::ApplyNetworkSettings()
{
    adminLoginMode = 1;
    if (!devices_.ListClicked()) {
        ShowMessageBox(hwnd, "Please select a device in the above section.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    lan_.StoreShownPort();

    // A two-port device takes its whole port table, each port's DHCP choice with it.
    const bool twoPorts = !IsPortConfigEmpty(protocolSession.portConfig);
    const int dhcpChoice = lan_.DhcpChoice();
    if (twoPorts || dhcpChoice == LanPanel::kDhcpDisable) {
        if (!lan_.ValidateNetworkSettings() || !EnsureAdminLogin(hwnd, adminLoginMode))
            return;
        RunBusy(hwnd, [] { ApplyAddressSettings(); });
        // Whatever the answer, the list shows the devices as they now answer.
        RefreshDevices();
        return;
    }
    if (dhcpChoice != LanPanel::kDhcpEnable || !EnsureAdminLogin(hwnd, adminLoginMode))
        return;
    if (!RunBusy(hwnd, [] { return EnableDhcpClient(); })) {
        ShowMessageBox(hwnd, "Set to dhcp client fail.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "DHCP client enabled.", "Confirm", MB_OK | MB_ICONINFORMATION);
    RefreshDevices();
}

void MainDialog::OnMapDrive()
{
    PrepareMapping();
    const std::optional<SelectedDevice> device = devices_.Selection();
    if (device)
        CopyTextTo(selectedHost, device->address.c_str());
    // Without a volume, or without the device it belongs to, there is nothing to map.
    const std::optional<std::string> volume = drives_.SelectedVolume();
    if (!volume || !device) {
        ShowMessageBox(hwnd, "Please select a device in the above section.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::optional<DrivePanel::LetterChoice> letter = drives_.ChosenLetter();
    if (!letter)
        return;
    if (letter->inUse && AskDriveInUse(hwnd) != 1)
        return;
    // The box shows the letters as they were at its last rebuild; a letter mapped since
    // is asked for before the forced cancel drops its mapping (open files and all).
    if (drives_.LetterTakenSince(*letter) && AskDriveInUse(hwnd) != 1)
        return;

    std::string reason;
    const DWORD error = ConnectVolume(MappingStepsOf(hwnd, &reason), hwnd, device->address.c_str(), volume->c_str(),
                                      letter->localName.c_str());
    if (error != NO_ERROR) {
        // Windows' reason on the second line: a user can act on "already connected
        // with other credentials", a wrong password, a missing share or a refused guest.
        ShowMessageBox(hwnd, ("Failed to map drive.\n" + reason).c_str(), "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "Successfully mapped drive.", "Confirm", MB_OK | MB_ICONINFORMATION);
    drives_.RebuildDriveLetters();
    drives_.ShowVolumes(*device);
}

void MainDialog::OnUnmapDrive()
{
    // The device whose volumes the list shows again afterwards, if one is selected.
    const std::optional<SelectedDevice> device = devices_.Selection();
    const std::optional<std::string> localName = drives_.LetterToDrop();
    if (!localName)
        return;
    if (!RunBusy(hwnd, [&] { return DisconnectDrive(MappingCalls(), localName->c_str()) == NO_ERROR; })) {
        ShowMessageBox(hwnd,
                       "Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the "
                       "drive is not being accessed.",
                       "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "Successfully unmapped drive.", "Confirm", MB_OK | MB_ICONINFORMATION);
    drives_.RebuildDriveLetters();
    if (device)
        drives_.ShowVolumes(*device);
}

void MainDialog::OnLanguage()
{
    if (!devices_.ListClicked()) {
        ShowMessageBox(hwnd, "Please select a device.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    if (RunLanguageDialog(hwnd, selectedHost))
        RefreshAfterRestart();
}

void MainDialog::OnBitTorrent()
{
    if (!devices_.ListClicked()) {
        ShowMessageBox(hwnd, "Please select a device.", "Error", MB_OK | MB_ICONHAND);
        return;
    }
    adminLoginMode = 1;
    if (!EnsureAdminLogin(hwnd, adminLoginMode))
        return;
    if (RunBitTorrentInstall(hwnd, selectedHost))
        RefreshAfterRestart();
}

void MainDialog::OnLaunchWidget()
{
    devices_.Focus();
    const std::optional<SelectedDevice> device = devices_.Selection();
    if (!device) {
        ShowMessageBox(hwnd, "Please select a server.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    LaunchWidget(hwnd, device->address.c_str(), devices_.SelectedModel().c_str());
}

void MainDialog::RefreshAfterRestart()
{
    drives_.RebuildDriveLetters();
    RefreshDevices();
}
