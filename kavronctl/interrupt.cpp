#include "interrupt.h"

#include <signal.h>
#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::atomic<bool> interrupted{false};

#ifdef _WIN32
// The system ends the process 5 seconds after a close event at the latest (20 for log
// off and shutdown): the handler waits a little less for the command to end.
constexpr DWORD kCloseGraceMs = 4000;

CRITICAL_SECTION outputLock;
HANDLE commandEnded = nullptr;  // manual-reset event

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        // Handled: the process goes on, and the command ends after its pass.
        interrupted = true;
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // Whatever this returns, the system ends the process as soon as it returns: the
        // command gets what time there is to end its pass and write its lines, and the
        // process never ends in the middle of one.
        interrupted = true;
        if (WaitForSingleObject(commandEnded, kCloseGraceMs) != WAIT_OBJECT_0) {
            EnterCriticalSection(&outputLock);  // kept: no line is begun after this
            fflush(stdout);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
#else
void OnSignal(int)
{
    interrupted = true;
}
#endif

}  // namespace

void CatchInterrupt()
{
#ifdef _WIN32
    InitializeCriticalSection(&outputLock);
    commandEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#endif
}

bool Interrupted()
{
    return interrupted;
}

bool PauseUnlessInterrupted(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!interrupted) {
        const Clock::time_point now = Clock::now();
        if (now >= end)
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, std::chrono::milliseconds(50)));
    }
    return false;
}

#ifdef _WIN32

OutputLines::OutputLines()
{
    EnterCriticalSection(&outputLock);
}

OutputLines::~OutputLines()
{
    LeaveCriticalSection(&outputLock);
}

void EndOfCommand()
{
    SetEvent(commandEnded);
}

#else

OutputLines::OutputLines() = default;
OutputLines::~OutputLines() = default;

void EndOfCommand() {}

#endif
