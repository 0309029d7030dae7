// Every message box of the program goes through ShowMessageBox, so that a test can
// read each message (owner, caption, text, type and icon) through the hook and answer
// it without a modal box on screen.
#pragma once

#include <windows.h>

#include <functional>

// Called instead of MessageBoxA while set. Gets the owner and caption after the
// defaults are filled in; returns the button the "user" pressed.
using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;

// Shows a message box. owner nullptr: the application's main window. caption
// nullptr: the application's name.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Installs a hook (an empty function removes it); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
