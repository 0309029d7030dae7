#include "addons/check_report.h"

#include "addons/installation/device_checks.h"
#include "framework/busy.h"
#include "framework/message_box.h"

int MessageBoxCheckReport::Wait(int (*ask)(), int failed)
{
    return RunBusy(
        owner_, [ask] { return ask(); }, failed);
}

void MessageBoxCheckReport::Refuse(const char* message)
{
    // Shown from the user-interface thread once the wait is over, owned by no window.
    ShowMessageBox(nullptr, message, nullptr, MB_OK);
}

void MessageBoxCheckReport::ShowPagesToFormat(const char* host)
{
    OpenDevicePages(host);
}
