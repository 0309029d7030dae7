// RunBusy: a step on a worker while the window answers, holds input and waits with
// its close.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <new>

#include "framework/busy.h"
#include "framework/dialog.h"
#include "framework/thread.h"
#include "test_ids.h"

namespace {

class CountingDialog : public Dialog {
public:
    CountingDialog() : Dialog(IDD_TEST_FRAMEWORK) {}
    bool OnCommand(int id, int code, HWND) override
    {
        if (id == IDC_TEST_PLAIN && code == BN_CLICKED)
            ++clicks;
        return true;
    }
    void OnClose() override { ++closes; }
    void OnTimer(UINT_PTR) override { ++ticks; }
    int clicks = 0;
    int closes = 0;
    int ticks = 0;
};

// What another thread sees of the window while the step runs.
struct Probe {
    HWND dialog;
    HWND button;
    HWND edit;
    HANDLE stepStarted;
    HANDLE probed;
    bool answered = false;
    LRESULT busyAnswer = -1;
};

unsigned ProbeWindow(void* p)
{
    Probe& probe = *static_cast<Probe*>(p);
    if (WaitForSingleObject(probe.stepStarted, 5000) != WAIT_OBJECT_0)
        return 1;
    DWORD_PTR result = 0;
    probe.answered = SendMessageTimeoutA(probe.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 500, &result) != 0;
    SendMessageTimeoutA(probe.dialog, BusyQueryMessage(), 0, 0, SMTO_NORMAL, 500, &result);
    probe.busyAnswer = static_cast<LRESULT>(result);
    // A user's click (posted input) and a click sent straight to the button.
    PostMessageA(probe.button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(probe.button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageA(probe.edit, WM_CHAR, 'x', 1);
    SendMessageTimeoutA(probe.button, BM_CLICK, 0, 0, SMTO_NORMAL, 500, &result);
    // A tick that a modal loop other than the pump dispatches (the system's move loop).
    SendMessageTimeoutA(probe.dialog, WM_TIMER, 1, 0, SMTO_NORMAL, 500, &result);
    PostMessageA(probe.dialog, WM_CLOSE, 0, 0);
    SendMessageTimeoutA(probe.dialog, WM_CLOSE, 0, 0, SMTO_NORMAL, 500, &result);
    Sleep(100);  // time for the user-interface thread to take what was posted
    SetEvent(probe.probed);
    return 0;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TEST(BusyTest, WindowAnswersHoldsInputAndClosesAfterTheStep)
{
    CountingDialog dialog;
    ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
    ShowWindow(dialog.hwnd, SW_SHOW);
    SetTimer(dialog.hwnd, 1, 10, nullptr);

    Probe probe{dialog.hwnd, dialog.GetItem(IDC_TEST_PLAIN), dialog.GetItem(IDC_TEST_EDIT),
                CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    Thread prober = StartThread(ProbeWindow, &probe);
    ASSERT_TRUE(prober);

    const DWORD uiThread = GetCurrentThreadId();
    DWORD workThread = 0;
    bool busyInside = false;
    const int answer = RunBusy(dialog.hwnd, [&] {
        workThread = GetCurrentThreadId();
        SetEvent(probe.stepStarted);
        WaitForSingleObject(probe.probed, 5000);
        return 42;
    });
    busyInside = probe.busyAnswer == 1;
    ASSERT_TRUE(prober.Wait(5000));
    KillTimer(dialog.hwnd, 1);

    EXPECT_EQ(answer, 42);
    EXPECT_NE(workThread, uiThread);
    EXPECT_TRUE(probe.answered) << "the window must answer while the step runs";
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(IsBusy());
    EXPECT_EQ(dialog.clicks, 0) << "no click may act during the step";
    char typed[8] = "?";
    GetWindowTextA(probe.edit, typed, sizeof typed);
    EXPECT_STREQ(typed, "") << "typing during the step is thrown away";
    EXPECT_EQ(dialog.closes, 0) << "the close waits for the step";
    const int ticksAfterStep = dialog.ticks;

    PumpPending();
    EXPECT_EQ(dialog.closes, 2) << "both closes are answered once the step has returned";
    SendMessageA(dialog.GetItem(IDC_TEST_PLAIN), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.clicks, 1) << "clicks act again after the step";
    EXPECT_EQ(ticksAfterStep, 0) << "no timer handler runs during the step";

    // A void step runs too, and the query answers 0 when idle.
    bool ran = false;
    RunBusy(dialog.hwnd, [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(SendMessageA(dialog.hwnd, BusyQueryMessage(), 0, 0), 0);

    CloseHandle(probe.stepStarted);
    CloseHandle(probe.probed);
    DestroyWindow(dialog.hwnd);
}

unsigned Throw(void*)
{
    throw std::bad_alloc();
}

TEST(BusyTest, AStepThatThrowsFailsAndTheWindowGoesOn)
{
    CountingDialog dialog;
    ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
    // The step's failure value comes back: the zero of its result, or the one named.
    EXPECT_FALSE(RunBusy(dialog.hwnd, []() -> bool { throw std::bad_alloc(); }));
    EXPECT_EQ(-1, RunBusy(
                      dialog.hwnd, []() -> int { throw std::bad_alloc(); }, -1));
    RunBusy(dialog.hwnd, [] { throw std::bad_alloc(); });
    EXPECT_FALSE(IsBusy());
    EXPECT_EQ(7, RunBusy(
                     dialog.hwnd, [] { return 7; }, -1))
        << "the next step runs";
    SendMessageA(dialog.GetItem(IDC_TEST_PLAIN), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.clicks, 1);

    // Any worker: its thread ends, the process goes on.
    Thread worker = StartThread(Throw, nullptr);
    ASSERT_TRUE(worker.Wait(5000));
    DWORD code = 0;
    GetExitCodeThread(worker.handle(), &code);
    EXPECT_EQ(kThreadThrew, code);

    // Once the session ends, a step fails without running.
    RefuseSteps();
    bool ran = false;
    EXPECT_EQ(-1, RunBusy(
                      dialog.hwnd, [&] { return ran = true, 1; }, -1));
    RefuseSteps(false);
    EXPECT_FALSE(ran);
    DestroyWindow(dialog.hwnd);
}

}  // namespace
