// The small dialogs as a screen reader walks them: each template bound to its skin,
// its controls in Tab order with the names Windows' standard proxy gives them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "accessible_name.h"
#include "res/resource.h"
#include "skin/skinned_dialog.h"

namespace {

// The names of the Tab stops from the first, as the dialog manager steps through them.
std::vector<std::string> TabStopNames(HWND dialog)
{
    std::vector<std::string> names;
    const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    HWND control = first;
    for (int stop = 0; control && stop < 20; ++stop) {
        if (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP)
            names.push_back(StandardProxyName(control));
        control = GetNextDlgTabItem(dialog, control, FALSE);
        if (control == first)
            break;
    }
    return names;
}

TEST(SmallDialogs, EveryControlIsReachedInReadingOrderWithItsName)
{
    struct Expected {
        int dialog;
        std::vector<std::string> names;
    };
    const Expected dialogs[] = {
        {IDD_LOGIN, {"User name :", "Password :", "OK", "Cancel"}},
        {IDD_LANGUAGE, {"Language :", "OK", "Cancel"}},
        {IDD_DRIVE_IN_USE, {"OK", "Cancel"}},
        {IDD_WIDGET_ENGINE_PROMPT, {"Download", "Next"}},
        {IDD_WIDGET_MODEL, {"ZKM-110", "ZKM-120", "ZKM-140", "OK", "Cancel"}},
        {IDD_ABOUT, {"OK"}},
        {IDD_RESTART_PROGRESS, {}},
        {IDD_ADDON_INSTALLER, {}},
    };
    for (const Expected& expected : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(expected.dialog));
        SkinnedDialog dialog(expected.dialog);
        ASSERT_NE(nullptr, dialog.CreateModeless(nullptr));
        EXPECT_EQ(expected.names, TabStopNames(dialog.hwnd));
    }
    // The restart wait's bar is named by the sentence above it.
    SkinnedDialog restart(IDD_RESTART_PROGRESS);
    ASSERT_NE(nullptr, restart.CreateModeless(nullptr));
    EXPECT_EQ("The system is restarting. Please wait a moment.",
              StandardProxyName(restart.GetItem(IDC_RESTART_PROGRESS)));
}

}  // namespace
