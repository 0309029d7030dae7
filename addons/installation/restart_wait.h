// The wait while a device restarts after an add-on installation: a number of steps,
// each shown before its pause. The utility shows it in its restart window
// (addons/restart_progress.h), whose worker runs it; kavronctl as a progress line.
#pragma once

#include <windows.h>

#include <functional>

// The wait's timing. The program uses 99 steps of 900 ms, and the window closes after
// 90 s; tests shorten it.
struct RestartTiming {
    int steps;
    DWORD stepMs;
    UINT closeMs;
};
RestartTiming SetRestartTiming(const RestartTiming& timing);  // returns the previous one
const RestartTiming& CurrentRestartTiming();

// How a front end shows the wait: each step (1 to steps) before its pause, and the
// pause itself. Either returns false to end the wait early (the window went).
struct RestartWaitView {
    std::function<bool(int step, int steps)> step;
    std::function<bool(DWORD ms)> pause = [](DWORD ms) {
        Sleep(ms);
        return true;
    };
};

// The given timing's steps, each shown and paused by view. True, and restartState 0,
// when every step was made; false when the view ended the wait (restartState as it
// was).
bool RunRestartWait(const RestartTiming& timing, const RestartWaitView& view);
