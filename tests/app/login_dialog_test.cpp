// The login dialog on its real window: who it asks for, what it stores, and what
// Cancel and the close box leave alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "app/login_dialog.h"
#include "modal_script.h"
#include "protocol.h"
#include "res/resource.h"

namespace {

const char* playedVersion = "Vista";

bool PlayedVersion(char* text, size_t capacity, int* code)
{
    lstrcpynA(text, playedVersion, static_cast<int>(capacity));
    *code = 0;
    return true;
}

BOOL PlayedUserName(char* name, DWORD* length)
{
    lstrcpynA(name, "a-windows-user-with-a-long-name", static_cast<int>(*length));
    return TRUE;
}

// What the dialog showed, read inside its modal loop before `answer` answers it.
struct Seen {
    std::string user;
    bool userEnabled = false;
    LRESULT userLimit = 0, passwordLimit = 0;
};
Seen seen;

void OpenDialog(int mode, const char* version, std::function<void(HWND)> answer)
{
    playedVersion = version;
    seen = Seen{};
    CopyTextTo(protocolSession.adminUser, "before");
    CopyTextTo(protocolSession.adminPassword, "before");
    ModalScript script;
    script.Then(IDC_LOGIN_PASSWORD, [answer](HWND box) {
        HWND user = GetDlgItem(box, IDC_LOGIN_USER_NAME);
        char text[64] = {};
        GetWindowTextA(user, text, sizeof text);
        seen.user = text;
        seen.userEnabled = IsWindowEnabled(user) != FALSE;
        seen.userLimit = SendMessageA(user, EM_GETLIMITTEXT, 0, 0);
        seen.passwordLimit = SendMessageA(GetDlgItem(box, IDC_LOGIN_PASSWORD), EM_GETLIMITTEXT, 0, 0);
        answer(box);
    });
    RunLoginDialog(nullptr, mode);
}

void TypeAndPress(HWND box, const char* password, int button)
{
    SetDlgItemTextA(box, IDC_LOGIN_PASSWORD, password);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

TEST(LoginDialog, AsksForTheRightUserStoresSixteenCharactersAtMostAndCancelStoresNothing)
{
    const LoginSystem previous = SetLoginSystem({PlayedVersion, PlayedUserName});

    // The administrator: "admin", fixed; both boxes take 16 characters.
    OpenDialog(1, "Windows 98 SE", [](HWND box) { TypeAndPress(box, "sixteen-chars-ok", IDOK); });
    EXPECT_EQ("admin", seen.user);
    EXPECT_FALSE(seen.userEnabled);
    EXPECT_EQ(16, seen.userLimit);
    EXPECT_EQ(16, seen.passwordLimit);
    EXPECT_STREQ("admin", protocolSession.adminUser);
    EXPECT_STREQ("sixteen-chars-ok", protocolSession.adminPassword);

    // A share user on Windows 98 or ME: the logged-on user, fixed, stored cut to 16.
    for (const char* version : {"Windows ME", "Windows 98"}) {
        OpenDialog(0, version, [](HWND box) { TypeAndPress(box, "pw", IDOK); });
        EXPECT_EQ("a-windows-user-with-a-long-name", seen.user) << version;
        EXPECT_FALSE(seen.userEnabled);
        EXPECT_STREQ("a-windows-user-w", protocolSession.adminUser);
    }

    // Elsewhere the share user types the name; Cancel and the close box store nothing.
    OpenDialog(0, "Windows XP", [](HWND box) {
        SetDlgItemTextA(box, IDC_LOGIN_USER_NAME, "guest");
        TypeAndPress(box, "pw", IDCANCEL);
    });
    EXPECT_EQ("", seen.user);
    EXPECT_TRUE(seen.userEnabled);
    EXPECT_STREQ("before", protocolSession.adminUser);
    EXPECT_STREQ("before", protocolSession.adminPassword);
    OpenDialog(0, "Vista", [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
    EXPECT_STREQ("before", protocolSession.adminUser);

    SetLoginSystem(previous);
}

}  // namespace
