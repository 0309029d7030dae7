// RunBusy: one step of a flow that waits (a device exchange, a network call, a
// pause) runs on a worker thread while the user-interface thread keeps its windows
// alive: it paints them, lets the system move, minimise and restore them, shows the
// wait cursor over them, and holds back the user's input to them until the step has
// returned. A flow therefore stays a straight sequence of steps:
//
//     const int verdict = RunBusy(hwnd, [] { return VerifyAdminPassword(); });
//
// While a step runs:
// - keyboard and mouse input taken from the thread's queue is thrown away (a second
//   click on a button does nothing), except Alt+F4 and the input of the controls
//   marked with KeepInputDuringSteps (a window's close and Exit buttons); the
//   system's own handling of a window frame (moving by the caption, minimising, the
//   close box) still works;
// - window timers are skipped (a periodic timer fires again at its next period), by
//   the pump and, for ticks that a modal move or menu loop dispatches, by the
//   dialogs of the framework, so that no handler starts a second flow;
// - WM_CLOSE, posted or sent, is answered after the step has returned;
// - Windows' end of the session waits: the dialogs of the framework answer
//   WM_QUERYENDSESSION with FALSE, and the main window carries a reason for the
//   shutdown screen (StepReason) until the step has returned;
// - sent messages from other threads and processes are answered as usual, and
//   dialogs of the framework answer BusyQueryMessage() with 1, so that a driver in
//   another process can tell a window waiting on a worker from an idle one.
//
// The work must not touch windows of the calling thread (it would wait for the
// thread that waits for it) and must not show anything; it runs the process-wide
// protocol state alone, since the user-interface thread only pumps meanwhile.
// Steps run one at a time: a step started while another runs (only a message sent
// from outside could do that) waits for the first one to end.
//
// A step that throws (std::bad_alloc) has failed: the exception ends at the worker,
// and RunBusy returns the step's failure value as for a step that could not run.
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

// Runs call(context) on a worker thread and pumps the calling thread's messages as
// described above until it returns. Runs it on the calling thread when no thread can
// be started; does not run it at all while RefuseSteps holds.
void RunBusyCall(HWND owner, void (*call)(void*), void* context);

// The step's result, or `failed` when the work threw or did not run.
template <class Work>
auto RunBusy(HWND owner, Work&& work, decltype(work()) failed) -> decltype(work())
{
    using Result = decltype(work());
    struct Frame {
        std::remove_reference_t<Work>* work;
        Result result;
    } frame{&work, failed};
    RunBusyCall(
        owner,
        [](void* f) {
            auto* frame = static_cast<Frame*>(f);
            frame->result = (*frame->work)();
        },
        &frame);
    return frame.result;
}

// The same with the result type's zero (false, 0) as the failure value; for a result
// whose zero means success (NO_ERROR, a first enumerator), name the failure value.
template <class Work>
auto RunBusy(HWND owner, Work&& work) -> decltype(work())
{
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        RunBusyCall(
            owner, [](void* w) { (*static_cast<std::remove_reference_t<Work>*>(w))(); }, &work);
    } else {
        return RunBusy(owner, work, Result());
    }
}

// True while the calling thread is inside RunBusy.
bool IsBusy();

// The registered message that framework dialogs answer with 1 while their thread is
// inside RunBusy, 0 otherwise.
UINT BusyQueryMessage();

// For window procedures: asks for `message` to be posted to `window` once the
// current step has returned (used for WM_CLOSE while busy).
void PostWhenIdle(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Lets the user's input reach `control` during a step: for a button whose only
// command ends its window, which holds that end itself until its flow is over.
// Call again with keep false before the control is destroyed.
void KeepInputDuringSteps(HWND control, bool keep = true);

// What Windows' shutdown screen shows for the steps this thread starts while the
// object lives (short, as the screen is read in a hurry); outside any, "Waiting for
// the storage device". `text` must outlive the object.
class StepReason {
public:
    explicit StepReason(const wchar_t* text);
    ~StepReason();
    StepReason(const StepReason&) = delete;
    StepReason& operator=(const StepReason&) = delete;

private:
    const wchar_t* previous_;
};

// For a handler that must not touch the process-wide records under a worker (the end
// of the session): returns once the running step, if any, has returned, answering
// sent messages meanwhile.
void WaitForStep();

// The session is ending: every step asked for from now on fails at once, without
// running, so that nothing new starts on the network or a device's share. (Tests
// take steps again with false.)
void RefuseSteps(bool refuse = true);
