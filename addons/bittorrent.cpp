#include "addons/bittorrent.h"

#include "addons/addon_checks.h"
#include "addons/addon_installer.h"
#include "addons/addon_state.h"
#include "addons/device_checks.h"
#include "addons/restart_progress.h"
#include "addons/staging_folder.h"
#include "framework/busy.h"
#include "protocol.h"

bool CheckBitTorrentSupport(const char* host)
{
    // Up to about a minute of queries and pauses, off the window's thread; what the
    // user is told comes after, from the window's. Checks that failed count as a
    // device that never answered.
    const BtVerdict verdict = RunBusy(
        nullptr, [] { return AskBitTorrentDevice(); }, BtVerdict::kSilent);
    if (verdict == BtVerdict::kReady)
        return true;
    ShowPlainMessage(BitTorrentRefusal(verdict));
    if (verdict == BtVerdict::kUnformatted)
        OpenDevicePages(host);
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
    // The run's folder is used once: it goes whether or not the wait completed.
    RemoveBtStaging();
    if (restartState != 0)
        return false;
    btInstalled = 0;
    return true;
}
