// Commands about time: `wait` on the program's clock, `sleep` and `idle` in
// real time with the clock held.
#include "app/script/script_runners.h"
#include "app/script/script_runtime.h"

#include <cstdio>

namespace fotrix::script {

namespace {

constexpr long long kIdleLimitMs = 60000;

}  // namespace

// On a virtual clock the clock moves to each due timer in turn (the timer runs
// before the next turn) and finally to the end; on a real clock time passes.
StepResult RunWait(const Command& c, Step& step)
{
    if (step.phase == 0) {
        step.targetTick = step.startTick + static_cast<unsigned long>(c.number(0));
        step.phase = 1;
    }
    if (GetTickCount() >= step.targetTick) return StepResult::Done;
    AdvanceClockTowards(static_cast<DWORD>(step.targetTick));
    return StepResult::Again;
}

StepResult RunSleep(const Command& c, Step& step)
{
    return RealNowMs() - step.realStartMs >= c.number(0) ? StepResult::Done : StepResult::Again;
}

// Done after two idle turns in a row with the workers done: a post made just
// before a worker finished is then certain to have been handled.
StepResult RunIdle(const Command& c, Step& step)
{
    if (WorkersBusy()) {
        step.calmTurns = 0;
        if (RealNowMs() - step.realStartMs < kIdleLimitMs) return StepResult::Again;
        std::fprintf(stderr, "line %d: idle: the workers are still busy after 60 s; going on\n", c.line);
        return StepResult::Done;
    }
    return ++step.calmTurns >= 2 ? StepResult::Done : StepResult::Again;
}

}  // namespace fotrix::script
