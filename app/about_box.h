// The About box: the application icon, the product name, the maker and the version
// on their picture, closed by OK, Escape or the close box.
#pragma once

#include <windows.h>

// Shows a fresh About box modally over `owner` (nullptr: the main window).
void ShowAboutBox(HWND owner);
