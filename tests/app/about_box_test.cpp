// The About box as the About button shows it: modal, skinned, closed by OK, Escape
// or its close box, and built afresh every time.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "framework/window.h"
#include "resource.h"

namespace {

struct Visit {
    HWND dialog = nullptr;
    bool okSkinned = false;
    std::vector<std::string> texts;
};

std::vector<Visit> visits;
UINT closeWith = 0;  // message that closes the box: WM_COMMAND IDOK / IDCANCEL, or WM_CLOSE

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        return TRUE;
    char text[128] = {};
    GetWindowTextA(child, text, sizeof text);
    if (text[0])
        reinterpret_cast<Visit*>(param)->texts.push_back(text);
    return TRUE;
}

// Runs inside the box's modal loop: looks at the box, then closes it.
void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = GetActiveWindow();
    if (!box || GetDlgItem(box, IDOK) == nullptr)
        return;  // not up yet
    KillTimer(nullptr, timer);
    Visit visit;
    visit.dialog = box;
    visit.okSkinned = Window::FromHandle(GetDlgItem(box, IDOK)) != nullptr &&
                      (GetWindowLongA(GetDlgItem(box, IDOK), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&visit));
    visits.push_back(visit);
    if (closeWith == WM_CLOSE)
        PostMessageA(box, WM_CLOSE, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(closeWith, BN_CLICKED), 0);
}

TEST(AboutBox, OpensAnyNumberOfTimesSkinnedAndClosesEveryWay)
{
    for (UINT how : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), static_cast<UINT>(WM_CLOSE)}) {
        closeWith = how;
        SetTimer(nullptr, 0, 50, InspectAndClose);
        ShowAboutBox(nullptr);  // returns once the box has closed
    }
    ASSERT_EQ(3u, visits.size());
    for (const Visit& visit : visits) {
        EXPECT_TRUE(visit.okSkinned);
        EXPECT_FALSE(IsWindow(visit.dialog)) << "each box is destroyed when it closes";
        EXPECT_EQ((std::vector<std::string>{"Kavron Storage Utility", "Copyright (C) Kavron. All rights reserved.",
                                            "Version : 5.1.0.2"}),
                  visit.texts);
    }
}

}  // namespace
