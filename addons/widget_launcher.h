// The desktop widget command: the device's address goes to "C:\ip.txt" for the
// widget to read; the user is reminded that the widget engine is needed (and may go
// and download it); then the widget file for the device's model is opened through
// the shell, after asking for the model when the device's is not known.
#pragma once

#include <windows.h>

// The calls the launcher makes. The program uses WinExec and ShellExecuteA; tests
// play a shell.
// Opens a file through the shell, as ShellExecuteA does.
using ShellOpen = HINSTANCE (*)(HWND owner, const char* verb, const char* file, const char* parameters,
                                const char* folder, int show);
struct WidgetSystem {
    UINT (*run)(const char* commandLine, UINT show);
    ShellOpen open;
};
WidgetSystem SetWidgetSystem(const WidgetSystem& system);  // returns the previous one

// The widget file for a model name (compared exactly); nullptr for a model it does
// not know.
const char* WidgetFileOf(const char* model);

// Launches the widget for the device at address, of the given model, over owner.
void LaunchWidget(HWND owner, const char* address, const char* model);

// The answers of the launcher's two dialogs.
extern int engineAnswer;  // 1 "Download", 0 "Next"
extern int modelAnswer;   // 0 ZKM-110, 1 ZKM-120, 2 ZKM-140, -1 none
