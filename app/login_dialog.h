// The login dialog: asks for a user name and a password, for the device's
// administrator (mode 1: the name is "admin" and cannot be changed) or for a share
// user (0: on Windows 98 and ME the name is the logged-on user's). OK stores both, at
// most kCredentialLength characters each, in protocolSession.adminUser and
// adminPassword; Cancel and the close box store nothing.
#pragma once

#include <windows.h>

#include <cstddef>

// What the dialog asks the system. The program uses the real calls; tests play a
// Windows version and a logged-on user.
struct LoginSystem {
    bool (*describeVersion)(char* text, size_t capacity, int* code);
    BOOL (*getUserName)(char* name, DWORD* length);
};
LoginSystem SetLoginSystem(const LoginSystem& system);  // returns the previous one

// Runs the dialog modally over owner (nullptr: the main window); mode is
// adminLoginMode's value.
void RunLoginDialog(HWND owner, int mode);
