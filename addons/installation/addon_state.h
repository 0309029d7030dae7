// What the add-on flows share across their windows, one integer each, process-wide.
#pragma once

#include <atomic>

// 0 when the restart wait has completed (and at start); -1 from the start of an
// installation until then, and when an add-on run ended without installing. The
// restart wait writes 0 when its worker has made every step or its timer ends it.
extern std::atomic<int> restartState;
// The codepage list index chosen in the Language dialog.
extern int chosenCodepageIndex;
// 1 when the selected device's firmware takes the codepages 865, 852 and 857.
extern int extendedCodepages;
// Set by the installer: a file write failed (codepage runs read it) / the
// BitTorrent programs were written and announced. Both are cleared when an
// installation starts.
extern bool installFailed;
extern int btInstalled;
