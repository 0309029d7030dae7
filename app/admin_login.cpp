#include "app/admin_login.h"

#include "app/login_dialog.h"
#include "framework/message_box.h"
#include "framework/seam.h"
#include "framework/wait_cursor.h"
#include "protocol.h"

namespace {

Seam<AdminLoginSteps> steps{{VerifyAdminPassword, RunLoginDialog}};

// The device is asked while the window cannot answer: show it.
int Verify()
{
    WaitCursor wait;
    return steps->verify();
}

}  // namespace

AdminLoginSteps SetAdminLoginSteps(const AdminLoginSteps& next)
{
    return steps.Replace(next);
}

bool EnsureAdminLogin(HWND owner, int mode)
{
    CopyTextTo(protocolSession.adminUser, "admin");
    CopyTextTo(protocolSession.adminPassword, "");
    if (Verify() != 0)
        return true;
    steps->prompt(owner, mode);
    if (Verify() != 0)
        return true;
    ShowMessageBox(owner, "Wrong administrator password input!", "Error", MB_OK | MB_ICONHAND);
    return false;
}
