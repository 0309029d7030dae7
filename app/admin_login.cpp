#include "app/admin_login.h"

#include "app/login_dialog.h"
#include "framework/busy.h"
#include "framework/message_box.h"
#include "framework/seam.h"
#include "protocol.h"

namespace {

Seam<AdminLoginSteps> steps{{VerifyAdminPassword, RunLoginDialog}};

}  // namespace

AdminLoginSteps SetAdminLoginSteps(const AdminLoginSteps& next)
{
    return steps.Replace(next);
}

bool EnsureAdminLogin(HWND owner, int mode)
{
    AdminCheckSteps check;
    // The device is asked off the window's thread: the window answers meanwhile.
    check.ask = [owner] {
        return RunBusy(owner, [] { return steps->verify(); }) != 0 ? AdminAnswer::kAccepted : AdminAnswer::kRefused;
    };
    // Cancel and the close box store nothing: the device is asked again all the same.
    check.prompt = [owner, mode] {
        steps->prompt(owner, mode);
        return true;
    };
    check.tell = [owner](const char* message) { ShowMessageBox(owner, message, "Error", MB_OK | MB_ICONHAND); };
    return RunAdminCheck("admin", check) == AdminCheck::kAccepted;
}
