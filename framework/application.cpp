#include "framework/application.h"

#include <commctrl.h>
#include <cstring>

#include "framework/window.h"

namespace {
Application* currentApplication = nullptr;
}

int RunApplication(Application& app, HINSTANCE instance)
{
    Application* previous = currentApplication;
    currentApplication = &app;
    app.instance = instance;
    if (app.InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (msg.message == WM_QUIT)
            app.exitCode = static_cast<int>(msg.wParam);
    }
    const int code = app.ExitInstance();
    currentApplication = previous;
    return code;
}

Application* GetApplication()
{
    return currentApplication;
}

HWND GetMainWindowHandle()
{
    if (!currentApplication || !currentApplication->mainWindow)
        return nullptr;
    HWND h = currentApplication->mainWindow->hwnd;
    return (h && IsWindow(h)) ? h : nullptr;
}

HINSTANCE ResourceInstance()
{
    if (currentApplication && currentApplication->instance)
        return currentApplication->instance;
    return GetModuleHandleA(nullptr);
}

const char* ApplicationName()
{
    static char name[MAX_PATH];
    if (name[0] == '\0') {
        char path[MAX_PATH] = {};
        DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
        if (n == 0 || n >= sizeof path)
            return "Application";
        const char* base = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/')
                base = p + 1;
        size_t len = strlen(base);
        const char* dot = strrchr(base, '.');
        if (dot)
            len = static_cast<size_t>(dot - base);
        if (len >= sizeof name)
            len = sizeof name - 1;
        memcpy(name, base, len);
        name[len] = '\0';
    }
    return name;
}

bool StartCommonControls()
{
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC =
        ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
    return InitCommonControlsEx(&icc) != FALSE;
}
