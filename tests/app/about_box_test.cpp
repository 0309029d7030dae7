// The About box as the About button shows it: modal, skinned, closed by OK, Escape
// or its close box, and built afresh every time.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "framework/window.h"
#include "modal_script.h"
#include "res/resource.h"
#include "res/version.h"

namespace {

struct Visit {
    HWND dialog = nullptr;
    bool okSkinned = false;
    std::vector<std::string> texts;
};

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

TEST(AboutBox, OpensAnyNumberOfTimesSkinnedAndClosesEveryWay)
{
    std::vector<Visit> visits;
    for (UINT how : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), static_cast<UINT>(WM_CLOSE)}) {
        ModalScript script;
        script.Then(IDOK, [&](HWND box) {
            Visit visit;
            visit.dialog = box;
            HWND ok = GetDlgItem(box, IDOK);
            visit.okSkinned = Window::FromHandle(ok) && (GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&visit));
            visits.push_back(visit);
            if (how == WM_CLOSE)
                PostMessageA(box, WM_CLOSE, 0, 0);
            else
                ModalScript::Press(box, static_cast<int>(how));
        });
        ShowAboutBox(nullptr);  // returns once the box has closed
    }
    ASSERT_EQ(3u, visits.size());
    for (const Visit& visit : visits) {
        EXPECT_TRUE(visit.okSkinned);
        EXPECT_FALSE(IsWindow(visit.dialog)) << "each box is destroyed when it closes";
        EXPECT_EQ((std::vector<std::string>{"Kavron Storage Utility", "Copyright (C) Kavron. All rights reserved.",
                                            "Version : " KAVRON_VERSION_TEXT, "OK"}),
                  visit.texts);
    }
}

}  // namespace
