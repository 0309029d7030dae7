// The Language command: a dialog that first asks the device whether its disks can
// take a codepage and which one it uses, offers the nine codepages with that one
// chosen, and on OK installs the chosen codepage's files, then waits for the device
// to restart. After a failed installation a new dialog asks again. Every way out
// other than a completed installation leaves restartState at -1.
#pragma once

#include <windows.h>

// Runs the dialog (and what follows its OK) over owner for the device at host. True
// when the restart wait completed: the caller then refreshes its lists.
bool RunLanguageDialog(HWND owner, const char* host);
