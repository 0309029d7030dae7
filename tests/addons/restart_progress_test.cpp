// The restart wait: its steps and its own close, with the timing shortened, and a
// wait dismissed early while its worker is mid-step, many times over.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "addons/addon_state.h"
#include "addons/restart_progress.h"
#include "modal_script.h"
#include "resource.h"

namespace {

class RestartProgressTest : public testing::Test {
protected:
    void TearDown() override { SetRestartTiming(previous_); }
    RestartTiming previous_ = SetRestartTiming({99, 900, 90000});
};

TEST_F(RestartProgressTest, TheBarFillsInItsStepsAndTheWaitClosesByItself)
{
    SetRestartTiming({99, 2, 1500});
    restartState = -1;
    std::vector<int> positions;
    ModalScript script;
    script.Then(IDC_RESTART_PROGRESS, [&](HWND dialog) {
        HWND bar = GetDlgItem(dialog, IDC_RESTART_PROGRESS);
        PBRANGE range = {};
        SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        positions = {range.iLow, range.iHigh};
    });
    const DWORD start = GetTickCount();
    RunRestartProgress(nullptr);
    EXPECT_GE(GetTickCount() - start, 1400u) << "closed by its own timer";
    EXPECT_EQ((std::vector<int>{1, 100}), positions);
    EXPECT_EQ(0, restartState.load()) << "every step made";
}

TEST_F(RestartProgressTest, AWaitDismissedEarlyStopsItsWorkerAndKeepsTheRestartState)
{
    SetRestartTiming({99, 3, 90000});
    for (int run = 0; run < 50; ++run) {
        restartState = -1;
        ModalScript script;
        script.Then(IDC_RESTART_PROGRESS, [run](HWND dialog) {
            Sleep(static_cast<DWORD>(run % 7));  // somewhere inside a step
            PostMessageA(dialog, run % 2 ? WM_CLOSE : WM_COMMAND, run % 2 ? 0 : MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        RunRestartProgress(nullptr);
        ASSERT_EQ(1u, script.Done());
        EXPECT_EQ(-1, restartState.load()) << "run " << run;
    }
}

}  // namespace
