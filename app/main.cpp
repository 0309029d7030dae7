#include <windows.h>

#include "app/utility_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    UtilityApp app;
    return RunApplication(app, instance);
}
