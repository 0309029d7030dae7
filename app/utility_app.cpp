#include "utility_app.h"

#include <objbase.h>

#include "app/main_dialog.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
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

    // The skin decodes the pictures drawn for other scales than 100 % with the
    // imaging component: on such a screen, COM once for the window's life rather
    // than once per picture. At 100 % the pictures need no COM, and setting it up
    // would only lengthen the start-up (a later move to another monitor sets it up
    // per picture).
    const bool com = SystemDpi() != kBaseDpi && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    MainDialog dialog;
    mainWindow = &dialog;
    SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
    dialog.DoModal();
    mainWindow = nullptr;
    if (com)
        CoUninitialize();

    // Every way out (Exit, the close button, Alt+F4) closes the sockets already; a
    // second StopNetwork does nothing.
    StopNetwork();
    return false;
}
