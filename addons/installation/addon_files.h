// Installing an add-on onto the selected device without a window: the files the
// program carries as resources are written to the device's system volume over the
// Windows network, then the device is told. The utility runs it in its installer
// window (addons/addon_installer.h), kavronctl at once. Results: installFailed,
// btInstalled (addon_state.h).
#pragma once

#include <windows.h>
#include <winnetwk.h>

#include <string>
#include <vector>

enum class InstallMode {
    kCodepage,    // the files of the chosen codepage, then the device's codepage is set
    kBitTorrent,  // the two BitTorrent programs, then the device is told
};

// The calls the installation makes besides the files. The program uses the device
// transactions and the system's networking; tests play a device.
struct InstallerSystem {
    int (*setAccessMode)(const char* mode);
    int (*queryShareName)();  // fills protocolSession.shareNameValue
    int (*setCodepage)(const char* codepage);
    int (*notifyAddonInstalled)(const char* text);
    int (*sendStop)(const char* text);
    DWORD (*addConnection)(NETRESOURCEA* resource, const char* password, const char* user, DWORD flags);
};
InstallerSystem SetInstallerSystem(const InstallerSystem& system);  // returns the previous one

// The folder on the device that takes the add-on's files, by the system volume name
// the device reported; false for a name that is neither HDD_1, HDD_a nor empty.
bool AddonFolder(const char* systemVolume, InstallMode mode, std::string* folder);

// The codepage files (resource ids, in writing order) of a list index, for a device
// with the HDD_1 layout or not; none for the codepages without files.
std::vector<int> CodepageFiles(int codepageIndex, bool hdd1Layout);
// "950", "936", ... of a list index; "" outside the list.
const char* CodepageNumber(int codepageIndex);

// Writes the resource of type and id to writePath byte for byte. With a finalPath,
// writePath is a local staging file: it is then copied to finalPath and deleted; a
// staging file that is not whole is deleted without touching finalPath. True when the
// file is at its destination afterwards, whole. A missing resource is a failed write.
bool WriteEmbeddedFile(const char* type, int id, const std::string& writePath, const std::string& finalPath);

// The installation itself: true when every file was written. On a failed write the
// device is told to stop and the rest is skipped. The BitTorrent programs go through
// the run's staging folder (staging_folder.h). It starts a run: restartState -1,
// btInstalled 0, installFailed false.
bool InstallAddon(InstallMode mode, const char* host);

// The end of a BitTorrent run, whatever its outcome: the run's staging folder goes
// (it is used once); after a completed restart wait btInstalled is cleared. True when
// the restart wait completed (restartState 0): the front end then shows the device
// anew.
bool EndBitTorrentRun();

// The message of a failed installation.
extern const char kCheckDrives[];
