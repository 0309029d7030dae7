// The installer window: "Loading....." and a warning not to power the device down;
// two seconds after it opens, one timer tick does the whole installation
// (addons/installation/addon_files.h) and closes it.
#pragma once

#include <windows.h>

#include "addons/installation/addon_files.h"

// Runs the installer window modally over owner for the device at host.
void RunAddonInstaller(HWND owner, InstallMode mode, const char* host);
