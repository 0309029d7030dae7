#include "app/admin_login.h"

#include "app/login_dialog.h"
#include "framework/busy.h"
#include "framework/message_box.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

Seam<AdminLoginSteps> steps{{VerifyAdminPassword, RunLoginDialog}};

// The device is asked off the window's thread: the window answers meanwhile.
int Verify(HWND owner)
{
    return RunBusy(owner, [] { return steps->verify(); });
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
    if (Verify(owner) != 0)
        return true;
    steps->prompt(owner, mode);
    if (Verify(owner) != 0)
        return true;
    ShowMessageBox(owner, "Wrong administrator password input!", "Error", MB_OK | MB_ICONHAND);
    return false;
}
