// The application object and process-wide start-up helpers.
#pragma once

#include <windows.h>

class Window;

class Application {
public:
    Application() = default;
    virtual ~Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Called once by RunApplication. Return true to run a message loop until
    // WM_QUIT; return false when all work is done (typically after a modal main
    // dialog has ended) and the process should end.
    virtual bool InitInstance() { return false; }
    // Called when the application ends; its result is the process exit code.
    virtual int ExitInstance() { return exitCode; }

    HINSTANCE instance = nullptr;
    // The window that owns message boxes and dialogs created without a parent.
    Window* mainWindow = nullptr;
    int exitCode = 0;
};

// Makes `app` the current application, runs InitInstance and, if it asks for
// one, a message loop. Returns the exit code.
int RunApplication(Application& app, HINSTANCE instance);

// The running application, or nullptr (tests run without one). Only the tests ask.
Application* GetApplication();

// Handle of the main window of the running application, or nullptr.
HWND GetMainWindowHandle();

// Module whose resources (dialogs, bitmaps) are loaded: the application's
// instance, or the executable when no application runs.
HINSTANCE ResourceInstance();

// The executable's file name without folder and extension: the caption of
// message boxes that name no caption of their own.
const char* ApplicationName();

// Starts the common controls (InitCommonControlsEx) with the classes the program's
// dialogs use: list view, header, IP address, progress, the standard and the bar
// classes. False when the system refuses.
bool StartCommonControls();
