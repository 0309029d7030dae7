#include "framework/busy.h"

#include <vector>

#include "framework/application.h"
#include "framework/thread.h"

namespace {

struct Deferred {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Call {
    void (*call)(void*);
    void* context;
};

// Per user-interface thread: how deep in RunBusy it is, the worker of the innermost
// step, and what waits for the end of the outermost one.
thread_local int depth = 0;
thread_local HANDLE running = nullptr;
thread_local std::vector<Deferred> deferred;
thread_local bool quitDeferred = false;
thread_local int quitCode = 0;
thread_local const wchar_t* stepReason = L"Waiting for the storage device";
bool stepsRefused = false;

constexpr char kKeepInput[] = "KavronKeepsInputDuringSteps";

// The thread's trampoline ends a throwing worker; on the calling thread the step
// ends the same way.
unsigned RunCall(void* param)
{
    const Call& c = *static_cast<Call*>(param);
    c.call(c.context);
    return 0;
}

void RunCallHere(const Call& c)
{
    try {
        c.call(c.context);
    } catch (...) {
    }
}

bool IsUserInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool IsFrameMouse(UINT message)
{
    return message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK;
}

// Alt+F4 closes the window of the focus: its default handling turns it into the
// window's SC_CLOSE, whose WM_CLOSE then waits.
bool IsAltF4(const MSG& msg)
{
    return msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4 && (HIWORD(msg.lParam) & KF_ALTDOWN);
}

// What a message taken from the queue during a step becomes.
enum class Fate { kDispatch, kDrop, kDefer };

Fate FateOf(const MSG& msg)
{
    if (IsUserInput(msg.message))
        return IsAltF4(msg) || (msg.hwnd && GetPropA(msg.hwnd, kKeepInput)) ? Fate::kDispatch : Fate::kDrop;
    // A top-level window's frame belongs to the system: dragging by the caption (the
    // main window's background reports itself as caption), minimising, the close box,
    // whose WM_CLOSE then waits. A child's frame is input like any other.
    if (IsFrameMouse(msg.message))
        return GetAncestor(msg.hwnd, GA_ROOT) == msg.hwnd ? Fate::kDispatch : Fate::kDrop;
    // A skipped tick comes again at the timer's next period; dispatched now, a
    // handler could start a second flow (the installer does its work on a tick).
    if (msg.message == WM_TIMER)
        return Fate::kDrop;
    if (msg.message == WM_CLOSE)
        return Fate::kDefer;
    return Fate::kDispatch;
}

// Pumps the thread's messages until `thread` has ended.
void PumpUntilEnded(HANDLE thread)
{
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r != WAIT_OBJECT_0 + 1)
            return;  // ended (or the handle is unusable: nothing left to wait for)
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitDeferred = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            switch (FateOf(msg)) {
            case Fate::kDispatch:
                DispatchMessageA(&msg);
                break;
            case Fate::kDefer:
                deferred.push_back({msg.hwnd, msg.message, msg.wParam, msg.lParam});
                break;
            case Fate::kDrop:
                break;
            }
        }
    }
}

// The cursor over the thread's windows as their own WM_SETCURSOR handling has it,
// without waiting for the mouse to move.
void RefreshCursor()
{
    POINT p;
    if (!GetCursorPos(&p))
        return;
    HWND under = WindowFromPoint(p);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId())
        return;
    const LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

void ReleaseDeferred()
{
    std::vector<Deferred> pending;
    pending.swap(deferred);
    for (const Deferred& d : pending)
        PostMessageA(d.window, d.message, d.wParam, d.lParam);
    if (quitDeferred) {
        quitDeferred = false;
        PostQuitMessage(quitCode);
    }
}

// The window that carries the reason on Windows' shutdown screen: the application's
// main window, else the step's own top-level window.
HWND ReasonWindow(HWND owner)
{
    HWND main = GetMainWindowHandle();
    if (main && GetWindowThreadProcessId(main, nullptr) == GetCurrentThreadId())
        return main;
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

}  // namespace

void RunBusyCall(HWND owner, void (*call)(void*), void* context)
{
    if (stepsRefused)
        return;
    // One step at a time: a step begun from a message sent during another waits for it.
    if (running)
        PumpUntilEnded(running);

    Call c{call, context};
    Thread worker = StartThread(RunCall, &c);
    if (!worker) {
        RunCallHere(c);
        return;
    }
    HWND reasonWindow = nullptr;
    if (depth++ == 0) {
        // Windows' end of the session waits for the step (the dialogs answer
        // WM_QUERYENDSESSION with FALSE meanwhile); the screen that lists what holds
        // it up shows why.
        reasonWindow = ReasonWindow(owner);
        if (reasonWindow && !ShutdownBlockReasonCreate(reasonWindow, stepReason))
            reasonWindow = nullptr;
    }
    HANDLE outer = running;
    running = worker.handle();
    // The wait cursor where the mouse is over one of the thread's windows (their
    // WM_SETCURSOR says so while busy), and nowhere else: the cursor is shared.
    RefreshCursor();
    PumpUntilEnded(worker.handle());
    worker.Wait();
    running = outer;
    if (--depth == 0) {
        if (reasonWindow)
            ShutdownBlockReasonDestroy(reasonWindow);
        ReleaseDeferred();
        RefreshCursor();
    }
}

bool IsBusy()
{
    return depth > 0;
}

UINT BusyQueryMessage()
{
    // The lab's window driver (winauto) registers the same name.
    static const UINT message = RegisterWindowMessageA("KavronBusyQuery");
    return message;
}

void PostWhenIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (depth > 0)
        deferred.push_back({window, message, wParam, lParam});
    else
        PostMessageA(window, message, wParam, lParam);
}

void KeepInputDuringSteps(HWND control, bool keep)
{
    if (!control)
        return;
    if (keep)
        SetPropA(control, kKeepInput, reinterpret_cast<HANDLE>(1));
    else
        RemovePropA(control, kKeepInput);
}

StepReason::StepReason(const wchar_t* text) : previous_(stepReason)
{
    stepReason = text;
}

StepReason::~StepReason()
{
    stepReason = previous_;
}

void WaitForStep()
{
    HANDLE worker = running;
    if (!worker)
        return;
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void RefuseSteps(bool refuse)
{
    stepsRefused = refuse;
}
