#include "addons/bittorrent.h"

#include "addons/addon_installer.h"
#include "addons/check_report.h"
#include "addons/installation/addon_checks.h"
#include "addons/installation/addon_state.h"
#include "addons/restart_progress.h"

bool CheckBitTorrentSupport(const char* host)
{
    // Up to about a minute of queries and pauses, off the window's thread; what the
    // user is told comes after, from the window's.
    MessageBoxCheckReport report(nullptr);
    return CheckBitTorrentDevice(host, report) == BtVerdict::kReady;
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
    return EndBitTorrentRun();
}
