// Dialog initialisation data: the list and combo box strings a dialog template
// carries in a resource of type 240 with the template's own name.
#pragma once

#include <windows.h>

// Sends each record's string to its control (CB_ADDSTRING / LB_ADDSTRING). Returns
// false when the data is malformed; a dialog without data is fine (true).
bool ExecuteDlgInit(HWND dialog, HINSTANCE module, int templateId);
