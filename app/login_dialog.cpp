#include "app/login_dialog.h"

#include <cstring>
#include <string>

#include "app/mapping/windows_version.h"
#include "framework/controls.h"
#include "framework/dlg_items.h"
#include "framework/seam.h"
#include "protocol.h"
#include "res/resource.h"
#include "skin/skinned_dialog.h"

namespace {

BOOL SystemUserName(char* name, DWORD* length)
{
    return GetUserNameA(name, length);
}

Seam<LoginSystem> loginSystem{{DescribeWindowsVersion, SystemUserName}};

// The logged-on user's name where the share-user login offers it: Windows ME and
// 98 (tested in that order), whose networking logs on with it.
bool OffersWindowsUser(std::string* user)
{
    char version[64] = {};
    int code = 0;
    loginSystem->describeVersion(version, sizeof version, &code);
    if (std::strstr(version, "ME") == nullptr && std::strstr(version, "98") == nullptr)
        return false;
    char name[128] = {};
    DWORD length = sizeof name;
    if (!loginSystem->getUserName(name, &length))
        name[0] = '\0';
    name[sizeof name - 1] = '\0';
    *user = name;
    return true;
}

class LoginDialog : public SkinnedDialog {
public:
    LoginDialog(HWND owner, int mode) : SkinnedDialog(IDD_LOGIN, owner), mode_(mode) {}

protected:
    bool OnInitDialog() override
    {
        SkinnedDialog::OnInitDialog();
        BindDlgItems(hwnd, {{IDC_LOGIN_USER_NAME, &userName_}, {IDC_LOGIN_PASSWORD, &password_}});
        userName_.LimitText(kCredentialLength);
        password_.LimitText(kCredentialLength);
        std::string user;
        if (mode_ == 1)
            user = "admin";
        const bool fixedUser = mode_ == 1 || OffersWindowsUser(&user);
        SetWindowTextA(userName_.hwnd, user.c_str());
        EnableWindow(userName_.hwnd, fixedUser ? FALSE : TRUE);
        return true;
    }

    void OnOK() override
    {
        // The boxes take no 17th character; a longer Windows user name put in the
        // disabled box is cut, so the stored name stays within kCredentialLength characters.
        CopyTextTo(protocolSession.adminUser, Text(userName_).c_str());
        CopyTextTo(protocolSession.adminPassword, Text(password_).c_str());
        SkinnedDialog::OnOK();
    }

private:
    static std::string Text(const Edit& edit)
    {
        char text[256] = {};
        GetWindowTextA(edit.hwnd, text, sizeof text);
        return text;
    }

    int mode_;
    Edit userName_;
    Edit password_;
};

}  // namespace

LoginSystem SetLoginSystem(const LoginSystem& system)
{
    return loginSystem.Replace(system);
}

void RunLoginDialog(HWND owner, int mode)
{
    LoginDialog dialog(owner, mode);
    dialog.DoModal();
}
