// RunBusy: one step of a flow that waits (a device exchange, a network call, a
// pause) runs on a worker thread while the user-interface thread keeps its windows
// alive: it paints them, lets the system move, minimise and restore them, shows the
// wait cursor over them, and holds back the user's input to them until the step has
// returned. A flow therefore stays a straight sequence of steps:
//
//     const int verdict = RunBusy(hwnd, [] { return VerifyAdminPassword(); });
//
// While a step runs:
// - keyboard and mouse input for the thread's windows is thrown away (a second click
//   on a button does nothing); the system's own handling of a window frame (moving by
//   the caption, minimising, the close box) still works;
// - window timers are skipped (a periodic timer fires again at its next period), so
//   that no handler starts a second flow;
// - WM_CLOSE, posted or sent, is answered after the step has returned;
// - sent messages from other threads and processes are answered as usual, and
//   dialogs of the framework answer BusyQueryMessage() with 1, so that a driver in
//   another process can tell a window waiting on a worker from an idle one.
//
// The work must not touch windows of the calling thread (it would wait for the
// thread that waits for it) and must not show anything; it runs the process-wide
// protocol state alone, since the user-interface thread only pumps meanwhile.
// Steps run one at a time: a step started while another runs (only a message sent
// from outside could do that) waits for the first one to end.
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

// Runs call(context) on a worker thread and pumps the calling thread's messages as
// described above until it returns. Runs it on the calling thread when no thread can
// be started.
void RunBusyCall(HWND owner, void (*call)(void*), void* context);

template <class Work>
auto RunBusy(HWND owner, Work&& work) -> decltype(work())
{
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        RunBusyCall(
            owner, [](void* w) { (*static_cast<std::remove_reference_t<Work>*>(w))(); }, &work);
    } else {
        struct Frame {
            std::remove_reference_t<Work>* work;
            Result result;
        } frame{&work, Result()};
        RunBusyCall(
            owner,
            [](void* f) {
                auto* frame = static_cast<Frame*>(f);
                frame->result = (*frame->work)();
            },
            &frame);
        return frame.result;
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
