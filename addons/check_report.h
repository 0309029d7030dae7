// The utility's side of the add-on checks (addons/installation/addon_checks.h): their
// waits on a worker while the window answers, their refusals in a message box with no
// icon and the application's name as caption, the device's pages opened with explorer.
#pragma once

#include <windows.h>

#include "addons/installation/addon_checks.h"

class MessageBoxCheckReport final : public AddonCheckReport {
public:
    // owner: the window whose flow waits (nullptr: the main window).
    explicit MessageBoxCheckReport(HWND owner) : owner_(owner) {}

    int Wait(int (*ask)(), int failed) override;
    void Refuse(const char* message) override;
    void ShowPagesToFormat(const char* host) override;

private:
    HWND owner_;
};
