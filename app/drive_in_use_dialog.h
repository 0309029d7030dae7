// The question before a letter that is already connected is taken over: "The drive
// letter has been used. Do you still want to use this drive letter?"
#pragma once

#include <windows.h>

// 1 when the user chose OK, 0 for Cancel, Escape or the close box. The answer is
// also left in driveInUseAnswer.
int AskDriveInUse(HWND owner);

extern int driveInUseAnswer;
