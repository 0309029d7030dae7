// The restart wait's window: "The system is restarting. Please wait a moment." over a
// bar that a worker fills through the shared wait (addons/installation/restart_wait.h:
// 99 steps of 0.9 s), a window that closes itself after 90 s. The wait is complete,
// and restartState 0, when the worker has made every step or the window closes itself,
// whichever comes first; a wait dismissed early (Escape, the close box) leaves
// restartState as it was.
#pragma once

#include <windows.h>

#include "addons/installation/restart_wait.h"

// Shows the wait modally over owner (nullptr: the main window).
void RunRestartProgress(HWND owner);
