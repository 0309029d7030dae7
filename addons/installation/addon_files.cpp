#include "addons/installation/addon_files.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "addons/installation/addon_state.h"
#include "addons/installation/staging_folder.h"
#include "framework/seam.h"
#include "protocol.h"
#include "res/codepages.h"
#include "res/payloads.h"

namespace {

constexpr int kShareNameRounds = 10;
constexpr int kConnectAttempts = 6;

DWORD SystemAddConnection(NETRESOURCEA* resource, const char* password, const char* user, DWORD flags)
{
    return WNetAddConnection2A(resource, password, user, flags);
}

Seam<InstallerSystem> installerSystem{
    {SetAccessMode, QueryShareName, SetCodepage, NotifyAddonInstalled, SendStop, SystemAddConnection}};

// The BitTorrent programs: written to a file of the run's staging folder, then copied.
struct BtFile {
    int id;
    const char* name;
};
const BtFile kBtFiles[] = {{215, "bt"}, {220, "btdog"}};

std::string Destination(const char* host, const std::string& folder, const char* file)
{
    return std::string("\\\\") + host + "\\" + folder + "\\" + file;
}

// Asks the network for the share behind path, as an explorer window would before a
// write; whether it connects does not matter (a local path never does).
void ConnectTo(const std::string& path)
{
    char remote[261];
    lstrcpynA(remote, path.c_str(), sizeof remote);
    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = remote;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        if (installerSystem->addConnection(&resource, "", "", 0) == NO_ERROR)
            return;
    }
}

bool WriteWhole(const std::string& path, const void* data, DWORD size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

}  // namespace

InstallerSystem SetInstallerSystem(const InstallerSystem& system)
{
    return installerSystem.Replace(system);
}

bool AddonFolder(const char* systemVolume, InstallMode mode, std::string* folder)
{
    const char* addon = mode == InstallMode::kBitTorrent ? "Nas_Prog/BT" : ".codepages";
    if (systemVolume[0] == '\0' || lstrcmpiA(systemVolume, "HDD_a") == 0) {
        *folder = std::string("HDD_a\\") + addon;
        return true;
    }
    if (lstrcmpiA(systemVolume, "HDD_1") == 0) {
        // Codepages go below the system files, in the volume as the device spells it.
        *folder = mode == InstallMode::kBitTorrent ? std::string("HDD_1\\") + addon
                                                   : std::string(systemVolume) + "\\.systemfile\\" + addon;
        return true;
    }
    return false;
}

std::vector<int> CodepageFiles(int codepageIndex, bool hdd1Layout)
{
    std::vector<int> files;
    if (codepageIndex < 0 || codepageIndex >= kCodepageCount)
        return files;
    for (int id : hdd1Layout ? kCodepages[codepageIndex].hdd1 : kCodepages[codepageIndex].hddA) {
        if (id == 0)
            break;
        files.push_back(id);
    }
    return files;
}

const char* CodepageNumber(int codepageIndex)
{
    return codepageIndex >= 0 && codepageIndex < kCodepageCount ? kCodepages[codepageIndex].number : "";
}

bool WriteEmbeddedFile(const char* type, int id, const std::string& writePath, const std::string& finalPath)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id & 0xFFFF), type);
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    const DWORD size = SizeofResource(nullptr, resource);

    ConnectTo(writePath);
    // A short write leaves a file behind that is not the payload: a failure all the same.
    const bool whole = WriteWhole(writePath, data, size);
    if (finalPath.empty())
        return PathFileExistsA(writePath.c_str()) && whole;

    // Local first, then across: the old program on the device is replaced, but only by
    // a whole copy. A local file that could not be written, or came out short, leaves
    // the device's program as it is rather than leave the device without one.
    bool copied = false;
    if (whole) {
        DeleteFileA(finalPath.c_str());
        copied = CopyFileA(writePath.c_str(), finalPath.c_str(), TRUE) != FALSE;
    }
    DeleteFileA(writePath.c_str());
    return copied && PathFileExistsA(finalPath.c_str());
}

bool InstallAddon(InstallMode mode, const char* host)
{
    // A new run: it has restarted nothing yet (only a completed restart wait says so),
    // and nothing of an earlier run counts as installed.
    restartState = -1;
    btInstalled = 0;
    installFailed = false;
    installerSystem->setAccessMode("rw");
    for (int round = 0; round < kShareNameRounds; ++round) {
        protocolSession.shareNameValue[0] = '\0';
        installerSystem->queryShareName();
        const char* volume = protocolSession.shareNameValue;
        if (lstrcmpiA(volume, "HDD_1") == 0 || lstrcmpiA(volume, "HDD_a") == 0)
            break;
    }
    std::string folder;
    bool ok = AddonFolder(protocolSession.shareNameValue, mode, &folder);
    const bool hdd1 = lstrcmpiA(protocolSession.shareNameValue, "HDD_1") == 0;

    if (ok && mode == InstallMode::kBitTorrent) {
        // A folder no other account can write in: the device runs what is copied from it.
        ok = BtStaging().Create();
        for (const BtFile& file : kBtFiles) {
            ok = ok && WriteEmbeddedFile(PayloadResourceType(PayloadType::kBt), file.id, BtStaging().Path() + file.name,
                                         Destination(host, folder, file.name));
        }
    } else if (ok) {
        for (int id : CodepageFiles(chosenCodepageIndex, hdd1)) {
            const Payload* payload = FindPayload(id);
            ok = payload && WriteEmbeddedFile(PayloadResourceType(PayloadType::kCodepage), id,
                                              Destination(host, folder, payload->name), "");
            if (!ok)
                break;
        }
    }
    if (!ok) {
        RemoveBtStaging();  // a failed copy has deleted its file
        installFailed = true;
        installerSystem->sendStop("stop");
        return false;
    }
    if (mode == InstallMode::kBitTorrent) {
        installerSystem->notifyAddonInstalled("BT");
        btInstalled = 1;
    } else {
        CopyTextTo(protocolSession.codepageValue, CodepageNumber(chosenCodepageIndex));
        installerSystem->setCodepage(protocolSession.codepageValue);
    }
    return true;
}

const char kCheckDrives[] = "Please check hard drives.";

bool EndBitTorrentRun()
{
    RemoveBtStaging();
    if (restartState != 0)
        return false;
    btInstalled = 0;
    return true;
}
