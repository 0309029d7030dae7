// The administrator check in front of a settings change: the device is first asked
// for "admin" with the empty password; only when it refuses is the user asked, once,
// through the login dialog, and the device asked again. A second refusal (a wrong
// password, Cancel, the close box, or no answer) is reported here.
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
