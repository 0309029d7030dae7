#include "addons/device_checks.h"
#include "framework/message_box.h"

void ShowPlainMessage(const char* text)
{
    ShowMessageBox(nullptr, text, nullptr, MB_OK);
}
