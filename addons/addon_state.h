// What the add-on flows share across their windows, one integer each, process-wide.
#pragma once

#include <atomic>

// -1 when an add-on run ended without installing; 0 when the restart wait has
// completed (and at start). The restart dialog's worker writes it.
extern std::atomic<int> restartState;
// The codepage list index chosen in the Language dialog.
extern int chosenCodepageIndex;
// 1 when the selected device's firmware takes the codepages 865, 852 and 857.
extern int extendedCodepages;
// Set by the installer: a file write failed (codepage runs read it) / the
// BitTorrent programs were written and announced (the BitTorrent run resets it).
extern bool installFailed;
extern int btInstalled;
