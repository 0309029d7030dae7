// The utility's side of the administrator check (protocol/admin_check.h): "admin"
// first, the device asked off the window's thread (no answer counts as a refusal), the
// login dialog as the prompt, the wrong password's message in a message box. A second
// refusal (a wrong password, Cancel, the close box, or no answer) gets the message.
#pragma once

#include <windows.h>

// The two steps the check is made of. The program uses VerifyAdminPassword and the
// login dialog; tests play a device and a user.
struct AdminLoginSteps {
    int (*verify)();                       // the device's verdict on the stored credentials
    void (*prompt)(HWND owner, int mode);  // asks the user and stores what was typed
};
AdminLoginSteps SetAdminLoginSteps(const AdminLoginSteps& steps);  // returns the previous ones

// True when the device accepted the credentials. owner owns the dialog and the message;
// mode is the login dialog's (adminLoginMode: 1 for the administrator).
bool EnsureAdminLogin(HWND owner, int mode);
