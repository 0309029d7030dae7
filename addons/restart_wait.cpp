// The restart wait's timing, and the wait itself without a window: restart_progress.h.
#include "addons/addon_state.h"
#include "addons/restart_progress.h"

namespace {

RestartTiming timing{99, 900, 90000};

}  // namespace

RestartTiming SetRestartTiming(const RestartTiming& next)
{
    const RestartTiming previous = timing;
    timing = next;
    return previous;
}

const RestartTiming& CurrentRestartTiming()
{
    return timing;
}

void RunRestartWait(const RestartTiming& wait, void (*onStep)(int step, int steps))
{
    for (int step = 1; step <= wait.steps; ++step) {
        onStep(step, wait.steps);
        Sleep(wait.stepMs);
    }
    restartState = 0;
}
