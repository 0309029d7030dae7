#include "app/drive_panel.h"

#include <commctrl.h>

#include <cstdio>

#include "app/mapping/drive_table.h"
#include "app/panel_list.h"
#include "app/mapping/text_convert.h"
#include "framework/dlg_items.h"
#include "protocol.h"
#include "res/resource.h"

namespace {

enum VolumeColumn { kColumnVolumeName = 0, kColumnLocation = 1 };

}  // namespace

void DrivePanel::Bind(HWND dialog)
{
    BindDlgItems(dialog, {
                             {IDC_VOLUME_LIST, &volumeList_, DlgItemBinding::kSubclass},
                             {IDC_DRIVE_LETTERS, &letterBox_},
                         });
    const ListColumn columns[] = {{"Volume Name", 120}, {"Location", 111}};
    SetUpPanelList(dialog, volumeList_, &font_, columns);
}

void DrivePanel::ClearVolumes()
{
    volumeList_.DeleteAllItems();
}

void DrivePanel::RebuildDriveLetters()
{
    RefreshDriveTable();
    FillDriveLetterList(letterBox_.hwnd);
}

void DrivePanel::ShowVolumes(const SelectedDevice& device)
{
    FillVolumeList(device.name.c_str(), device.address.c_str());
}

void DrivePanel::ShowPortVolumes(const char* address)
{
    FillVolumeList(address, nullptr);
}

void DrivePanel::FillVolumeList(const char* serverA, const char* serverB)
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

std::optional<std::string> DrivePanel::SelectedVolume() const
{
    const int row = volumeList_.GetSelectedRowFromTop();
    if (row < 0)
        return std::nullopt;
    return volumeList_.GetItemText(row, kColumnVolumeName);
}

std::optional<DrivePanel::LetterChoice> DrivePanel::ChosenLetter() const
{
    const int letter = letterBox_.GetCurSel();
    if (letter < 0)
        return std::nullopt;
    // The box shows the letters of the drive table's last rebuild, which filled both:
    // what a letter is connected to is the table's, the box's text only names it.
    const std::string drive = letterBox_.GetItemText(letter).substr(0, 2);
    for (const DriveSlot& slot : driveTable) {
        if (drive == slot.drive) {
            const bool inUse = slot.server[0] && slot.share[0];
            return LetterChoice{drive, inUse,
                                inUse ? std::string("\\\\") + slot.server + "\\" + slot.share : std::string()};
        }
    }
    return std::nullopt;
}

bool DrivePanel::LetterTakenSince(const LetterChoice& letter)
{
    std::string now;
    if (!ReadDriveConnection(letter.localName.c_str(), &now))
        return false;  // free now: the forced cancel drops nothing
    if (letter.inUse && lstrcmpiA(now.c_str(), letter.share.c_str()) == 0)
        return false;  // the share the user agreed to give up
    RebuildDriveLetters();
    const LRESULT index = SendMessageA(letterBox_.hwnd, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(letter.localName.c_str()));
    letterBox_.SetCurSel(static_cast<int>(index));
    return true;
}

std::optional<std::string> DrivePanel::LetterToDrop() const
{
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
        const int letter = letterBox_.GetCurSel();
        if (letter < 0)
            return std::nullopt;
        text = letterBox_.GetItemText(letter);
    }
    return text.substr(0, 2);
}

void FillDriveLetterList(HWND comboBox)
{
    SendMessageA(comboBox, CB_RESETCONTENT, 0, 0);
    int offered = 0;
    int firstFree = 0;  // 1-based position of the first free letter, 0 = none
    for (const DriveOffer& offer : OfferedDriveLetters()) {
        const DriveSlot& s = *offer.slot;
        ++offered;
        char text[8 + 1 + 2 + 256 + 1 + 256];
        if (offer.inUse) {
            std::snprintf(text, sizeof(text), "%s \\\\%s\\%s", s.drive, s.server, s.share);
        } else {
            CopyText(text, sizeof(text), s.drive);
            if (firstFree == 0)
                firstFree = offered;
        }
        SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(comboBox, CB_SETCURSEL, static_cast<WPARAM>(firstFree - 1), 0);
}
