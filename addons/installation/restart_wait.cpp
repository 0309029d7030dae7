#include "addons/installation/restart_wait.h"

#include "addons/installation/addon_state.h"

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

bool RunRestartWait(const RestartTiming& wait, const RestartWaitView& view)
{
    for (int step = 1; step <= wait.steps; ++step) {
        if (!view.step(step, wait.steps) || !view.pause(wait.stepMs))
            return false;
    }
    restartState = 0;
    return true;
}
