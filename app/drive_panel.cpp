// The drive-mapping panel: the selected device's volumes with the drive letter each
// is mapped to, and the box of drive letters on offer.
#include <windows.h>
#include <commctrl.h>

#include "app/drive_table.h"
#include "app/main_dialog.h"
#include "app/text_convert.h"
#include "protocol.h"

namespace {

enum VolumeColumn { kColumnVolumeName = 0, kColumnLocation = 1 };

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

// Mapping and unmapping, with their login and drive-in-use prompts, come with the
// drive mapping flow; until then Connect and Disconnect do nothing.
void MainDialog::OnMapDrive() {}
void MainDialog::OnUnmapDrive() {}
