// The restart wait, with the timing shortened: complete when it closes itself or its
// worker has made every step, whichever is first; a wait dismissed early while its
// worker is mid-step, many times over, is not.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "addons/installation/addon_state.h"
#include "addons/restart_progress.h"
#include "modal_script.h"
#include "res/resource.h"

namespace {

class RestartProgressTest : public testing::Test {
protected:
    void TearDown() override { SetRestartTiming(previous_); }
    RestartTiming previous_ = SetRestartTiming({99, 900, 90000});
};

TEST_F(RestartProgressTest, TheWaitCompletesOnItsTimerOrWithTheWorkersLastStep)
{
    // The timer first, the worker far behind: the wait closes by itself and the run
    // counts as complete all the same; the worker is stopped, not waited for.
    SetRestartTiming({99, 900, 200});
    restartState = -1;
    const DWORD start = GetTickCount();
    RunRestartProgress(nullptr);
    EXPECT_EQ(0, restartState.load()) << "ended on its timer";
    EXPECT_LT(GetTickCount() - start, 30000u) << "the worker's 89 s were waited for";

    // The worker first: every step made, the bar from 1 to 100, the run complete
    // before the window goes (closed here with Cancel, long before its timer).
    SetRestartTiming({99, 1, 600000});
    restartState = -1;
    std::vector<int> bar;
    ModalScript script;
    script.Then(IDC_RESTART_PROGRESS, [&](HWND dialog) {
        // The worker steps the bar through this thread: take its messages meanwhile.
        for (const DWORD until = GetTickCount() + 60000; restartState != 0 && GetTickCount() < until;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        HWND progress = GetDlgItem(dialog, IDC_RESTART_PROGRESS);
        PBRANGE range = {};
        SendMessageA(progress, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        bar = {range.iLow, range.iHigh, static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0))};
        ModalScript::Press(dialog, IDCANCEL);
    });
    RunRestartProgress(nullptr);
    EXPECT_EQ((std::vector<int>{1, 100, 100}), bar);
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
