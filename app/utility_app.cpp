#include "utility_app.h"

#include "app/main_dialog.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "protocol.h"
#include "skin/skin_pictures.h"

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
    // imaging component: on such a screen, COM and its factory once for the window's
    // life rather than once per picture. At 100 % the pictures need neither, and
    // setting them up would only lengthen the start-up (a later move to another
    // monitor sets them up per picture).
    const PictureDecoding decoding(SystemDpi() != kBaseDpi);
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
