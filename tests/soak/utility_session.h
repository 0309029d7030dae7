// The real utility, started as a user would start it and driven through its window
// from this process: Refresh, a click on a device row, and Exit. Each step waits until
// the utility's handler has returned and checks what the window shows afterwards.
#pragma once
#include <windows.h>

#include <string>

#include "winauto.h"

namespace soak {

class UtilitySession {
public:
    // Starts the program and waits for its main window; check window().
    explicit UtilitySession(const std::string& windowsPath);

    HWND window() const { return window_; }
    HANDLE process() const { return process_.handle(); }
    DWORD pid() const { return process_.id(); }

    // Each returns an empty text when the window shows what it should afterwards,
    // otherwise what went wrong.
    // Refresh, then the list must hold `devices` rows and no address be shown.
    std::string Refresh(size_t devices);
    // A click on the named device's row; its address must then be shown and the
    // volume list hold `volumes` rows.
    std::string Select(const char* name, size_t volumes);
    // Exit; the process must end with status 0.
    std::string Exit();

private:
    winauto::StartedProcess process_;
    HWND window_ = nullptr;
};

}  // namespace soak
