// The wait while a device restarts after an add-on installation: "The system is
// restarting. Please wait a moment." over a bar that fills in 99 steps of 0.9 s and
// a window that closes itself after 90 s. The wait is complete, and restartState 0,
// when the worker that drives the bar has made every step or the window closes itself,
// whichever comes first; a wait dismissed early (Escape, the close box) leaves
// restartState as it was.
#pragma once

#include <windows.h>

// Shows the wait modally over owner (nullptr: the main window).
void RunRestartProgress(HWND owner);

// The wait's timing. The program uses 99 steps of 900 ms and closes after 90 s;
// tests shorten it.
struct RestartTiming {
    int steps;
    DWORD stepMs;
    UINT closeMs;
};
RestartTiming SetRestartTiming(const RestartTiming& timing);  // returns the previous one
const RestartTiming& CurrentRestartTiming();

// The same wait without a window (restart_wait.cpp, which kavronctl shares): the given
// timing's steps, each reported to onStep (1 to steps) before its pause; then
// restartState is 0.
void RunRestartWait(const RestartTiming& timing, void (*onStep)(int step, int steps));
