#include "utility_app.h"

#include "app/main_dialog.h"
#include "framework/dialog.h"
#include "protocol.h"

bool UtilityApp::InitInstance()
{
    StartCommonControls();
    // Without a socket layer there is nothing the utility can do: end at once, with
    // status 1 and no window.
    if (!StartNetwork()) {
        exitCode = 1;
        return false;
    }

    MainDialog dialog;
    mainWindow = &dialog;
    SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
    dialog.DoModal();
    mainWindow = nullptr;

    // Every way out (Exit, the close button, Alt+F4) closes the sockets already; a
    // second StopNetwork does nothing.
    StopNetwork();
    return false;
}
