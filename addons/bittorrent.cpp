#include "addons/bittorrent.h"

#include <direct.h>

#include "addons/addon_installer.h"
#include "addons/addon_state.h"
#include "addons/device_checks.h"
#include "addons/restart_progress.h"
#include "framework/busy.h"
#include "protocol.h"

namespace {

constexpr int kRounds = 15;
constexpr DWORD kRoundPauseMs = 2000;
constexpr DWORD kFirstFirmwarePauseMs = 1000;

enum DiskState { kNoDisks = 1, kUnformatted = 2, kReady = 3 };
enum Firmware { kRunsBitTorrent = 1, kNoBitTorrent = 2 };

int AskDiskState()
{
    int state = AskUntil(Checks().queryDiskState, protocolSession.diskStateValue, kRounds, kRoundPauseMs,
                         [](int n) { return n >= 1 && n <= 5; });
    // 4 and 5 are disks with more to offer: ready as far as BitTorrent goes.
    if (state >= kReady && state <= 5) {
        CopyTextTo(protocolSession.diskStateValue, "3");
        state = kReady;
    }
    return state;
}

int AskFirmware()
{
    protocolSession.btFirmwareValue[0] = '\0';
    Checks().queryBtFirmware();
    Checks().sleep(kFirstFirmwarePauseMs);
    // A first "no" is final; anything else is asked again until a "yes".
    if (LeadingNumber(protocolSession.btFirmwareValue) == kNoBitTorrent)
        return kNoBitTorrent;
    return AskUntil(Checks().queryBtFirmware, protocolSession.btFirmwareValue, kRounds, kRoundPauseMs,
                    [](int n) { return n == kRunsBitTorrent; });
}

}  // namespace

bool CheckBitTorrentSupport(const char* host)
{
    // Up to about a minute of queries and pauses, off the window's thread.
    int disks = 0;
    int firmware = 0;
    RunBusy(nullptr, [&] {
        disks = AskDiskState();
        firmware = AskFirmware();  // asked whatever the disks said
    });
    if (disks == kReady && firmware == kRunsBitTorrent)
        return true;
    if (disks == kNoDisks) {
        ShowPlainMessage("No hard drives were detected.\nPlease verify that the hard drives are properly connected "
                         "before continuing.");
    } else if (disks == kUnformatted) {
        ShowPlainMessage("Please format hard drive.");
        OpenDevicePages(host);
    } else {
        ShowPlainMessage("BitTorrent does not supported on this device now.");
    }
    restartState = -1;
    return false;
}

bool RunBitTorrentInstall(HWND owner, const char* host)
{
    if (!CheckBitTorrentSupport(host))
        return false;
    // The installation sets restartState to -1 and btInstalled to 0 as it starts: only
    // this run's programs lead to the wait, and only a completed wait to a refresh.
    RunAddonInstaller(owner, InstallMode::kBitTorrent, host);
    if (btInstalled == 1)
        RunRestartProgress(owner);
    if (restartState != 0)
        return false;
    btInstalled = 0;
    _rmdir("C:\\bt\\");  // only when empty; a failed copy may have left nothing else
    return true;
}
