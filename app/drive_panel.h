// The drive-mapping panel: the selected device's volumes with the drive letter each
// is mapped to, and the box of drive letters on offer. It tells Connect which volume
// and letter were chosen, and Disconnect which letter to drop; how a connection is
// made is app/drive_mapping.h's.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/selected_device.h"
#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skin_list_ctrl.h"

class DrivePanel {
public:
    // A letter chosen in the box: "Z:", whether a share uses it already, and which
    // ("\\server\share"; empty for a free letter).
    struct LetterChoice {
        std::string localName;
        bool inUse;
        std::string share;
    };

    // Binds the volume list and the letter box of the main window's template and
    // gives the list its columns.
    void Bind(HWND dialog);

    // Empties the volume list.
    void ClearVolumes();
    // Reads the system's connections into the drive table and refills the letter box
    // from it, after anything that may have changed a connection.
    void RebuildDriveLetters();
    // The volumes of volumeList, each with the letter it is mapped to from the device
    // (by its name or its address).
    void ShowVolumes(const SelectedDevice& device);
    // The same for one address: a port of a two-port device.
    void ShowPortVolumes(const char* address);

    // The name of the selected volume at or below the first visible row; nothing
    // without one.
    std::optional<std::string> SelectedVolume() const;
    // The letter chosen in the box; nothing without a choice.
    std::optional<LetterChoice> ChosenLetter() const;
    // Whether a connection was made on the chosen letter since the box was filled (in
    // Explorer, with net use), or another took the place of the one shown: the system
    // is read again. If so, the table and the box are rebuilt and the letter, now shown
    // with its share, is chosen again.
    bool LetterTakenSince(const LetterChoice& letter);
    // The letter Disconnect drops: a selected volume's "Location" (even when it is
    // empty), or without one the letter chosen in the box; nothing without either.
    std::optional<std::string> LetterToDrop() const;

private:
    void FillVolumeList(const char* serverA, const char* serverB);

    SkinListCtrl volumeList_;
    GdiFont font_;
    ComboBox letterBox_;
};

// The drive panel's letter box from the drive table (app/mapping/drive_table.h): the
// offered letters, "Y: \\server\share" for one in use, the first free one chosen.
void FillDriveLetterList(HWND comboBox);
