// The BitTorrent command after the administrator check: the device is asked whether
// its disks are ready and whether its firmware runs BitTorrent; then the installer
// copies the two programs and the device restarts behind the restart wait.
#pragma once

#include <windows.h>

// The disk and firmware checks, with their messages. False (and restartState -1)
// when the installation must not go on.
bool CheckBitTorrentSupport(const char* host);

// The checks, the installation and the restart wait for the device at host. True
// when the restart wait completed: the caller then refreshes its lists. The run's
// staging folder of the programs is removed when the run ends, in every outcome.
bool RunBitTorrentInstall(HWND owner, const char* host);
