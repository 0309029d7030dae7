// The drive-mapping panel: the selected device's volumes with the drive letter each
// is mapped to, the box of drive letters on offer, and Connect and Disconnect. How a
// connection is made is app/drive_mapping.h's; this file picks what to connect and
// tells the user.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/drive_in_use_dialog.h"
#include "app/drive_mapping.h"
#include "app/drive_table.h"
#include "app/main_dialog.h"
#include "app/text_convert.h"
#include "framework/message_box.h"
#include "framework/wait_cursor.h"
#include "protocol.h"

namespace {

enum VolumeColumn { kColumnVolumeName = 0, kColumnLocation = 1 };
// The device list's columns this panel reads.
enum DeviceColumn { kDeviceColumnName = 0, kDeviceColumnIp = 1 };

}  // namespace

void MainDialog::SetUpVolumeList()
{
    const ListColumn columns[] = {{"Volume Name", 120}, {"Location", 111}};
    SetUpList(volumeList_, &volumeFont_, columns);
}

void MainDialog::RebuildDriveLetters()
{
    RefreshDriveTable();
    FillDriveLetterList(driveLetterBox_.hwnd);
}

void MainDialog::ShowPortVolumes(const char* address)
{
    FillVolumeList(address, nullptr);
}

void MainDialog::FillVolumeList(const char* serverA, const char* serverB)
{
    volumeList_.DeleteAllItems();
    // Redraw now: the transactions that follow hold the window.
    UpdateWindow(volumeList_.hwnd);
    int row = 0;
    for (const VolumeEntry* entry = volumeList.head; entry; entry = entry->next, ++row) {
        char converted[256];
        Utf8ToAnsi(entry->name, converted, sizeof(converted));
        row = volumeList_.InsertItem(row, converted);
        if (row < 0)
            break;
        volumeList_.SetItemText(row, kColumnLocation, LocateVolumeDrive(converted, serverA, serverB));
    }
}

void MainDialog::RefillVolumesFrom(int firstRow)
{
    // The device whose volumes the list shows: the selected row at or below firstRow.
    const int count = deviceList_.GetItemCount();
    for (int row = firstRow < 0 ? 0 : firstRow; row < count; ++row) {
        if (deviceList_.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) {
            FillVolumeList(deviceList_.GetItemText(row, kDeviceColumnName).c_str(),
                           deviceList_.GetItemText(row, kDeviceColumnIp).c_str());
            return;
        }
    }
}

void MainDialog::OnMapDrive()
{
    PrepareMapping();
    const int deviceRow = deviceList_.GetSelectedRowFromTop();
    std::string server;
    if (deviceRow >= 0) {
        server = deviceList_.GetItemText(deviceRow, kDeviceColumnIp);
        CopyTextTo(selectedHost, server.c_str());
    }
    // Without a volume, or without the device it belongs to, there is nothing to map.
    const int volumeRow = volumeList_.GetSelectedRowFromTop();
    if (volumeRow < 0 || deviceRow < 0) {
        ShowMessageBox(hwnd, "Please select a device in the above section.", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string volume = volumeList_.GetItemText(volumeRow, kColumnVolumeName);
    const int letter = driveLetterBox_.GetCurSel();
    if (letter < 0)
        return;
    // "Z:", or "Y: \\server\share" for a letter that is connected already.
    const std::string choice = driveLetterBox_.GetItemText(letter);
    const std::string localName = choice.substr(0, 2);
    const std::string inUse = choice.size() > 4 ? choice.substr(4) : std::string();
    if (!inUse.empty() && AskDriveInUse(hwnd) != 1)
        return;

    DWORD error;
    std::string reason;
    {
        WaitCursor wait;
        error = ConnectVolume(hwnd, server.c_str(), volume.c_str(), localName.c_str());
        // Read at once: a provider's extended error lasts until the next networking call.
        if (error != NO_ERROR)
            reason = DescribeMappingError(error);
    }
    if (error != NO_ERROR) {
        // Windows' reason on the second line: a user can act on "already connected
        // with other credentials", a wrong password, a missing share or a refused guest.
        ShowMessageBox(hwnd, ("Failed to map drive.\n" + reason).c_str(), "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "Successfully mapped drive.", "Confirm", MB_OK | MB_ICONINFORMATION);
    RebuildDriveLetters();
    RefillVolumesFrom(deviceRow);
}

void MainDialog::OnUnmapDrive()
{
    const int firstDeviceRow = deviceList_.GetTopIndex();
    // A selected volume names its letter in "Location", even when that is empty;
    // without one, the letter chosen in the box is dropped.
    std::string text;
    bool fromVolume = false;
    const int count = volumeList_.GetItemCount();
    for (int row = volumeList_.GetTopIndex(); row < count; ++row) {
        if (volumeList_.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) {
            text = volumeList_.GetItemText(row, kColumnLocation);
            fromVolume = true;
        }
    }
    if (!fromVolume) {
        const int letter = driveLetterBox_.GetCurSel();
        if (letter < 0)
            return;
        text = driveLetterBox_.GetItemText(letter);
    }
    const std::string localName = text.substr(0, 2);
    if (!DisconnectDrive(localName.c_str())) {
        ShowMessageBox(hwnd,
                       "Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the "
                       "drive is not being accessed.",
                       "Error", MB_OK | MB_ICONHAND);
        return;
    }
    ShowMessageBox(hwnd, "Successfully unmapped drive.", "Confirm", MB_OK | MB_ICONINFORMATION);
    RebuildDriveLetters();
    RefillVolumesFrom(firstDeviceRow);
}
