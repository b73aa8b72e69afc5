// Stylus and key commands: input on the platform's injection path, as the
// back end would deliver it from a real stylus or keypad.
#include "app/script/script_runners.h"
#include "app/script/script_runtime.h"

#include <algorithm>
#include <cstdlib>

namespace fotrix::script {

namespace {

// Longest stylus move between two points of a drag.
constexpr int kDragStep = 8;

void stylus(StylusAction action, long x, long y) { PlatformStylusInput(action, static_cast<int>(x), static_cast<int>(y)); }

int dragSteps(const Command& c)
{
    long dx = std::labs(c.number(2) - c.number(0));
    long dy = std::labs(c.number(3) - c.number(1));
    return static_cast<int>(std::max(1L, (std::max(dx, dy) + kDragStep - 1) / kDragStep));
}

// Point `i` of `n` on the way from the start to the end of the drag.
POINT dragPoint(const Command& c, int i, int n)
{
    long x = c.number(0) + (c.number(2) - c.number(0)) * i / n;
    long y = c.number(1) + (c.number(3) - c.number(1)) * i / n;
    return POINT{static_cast<int>(x), static_cast<int>(y)};
}

}  // namespace

// Down and lift go in together: a window whose down handler waits for the
// tap-and-hold gesture finds the lift already queued, as after a quick tap.
StepResult RunTap(const Command& c, Step&)
{
    stylus(StylusDown, c.number(0), c.number(1));
    stylus(StylusUp, c.number(0), c.number(1));
    return StepResult::Done;
}

StepResult RunDoubleTap(const Command& c, Step&)
{
    for (int i = 0; i < 2; ++i) {
        stylus(StylusDown, c.number(0), c.number(1));
        stylus(StylusUp, c.number(0), c.number(1));
    }
    return StepResult::Done;
}

// Down, then the clock moves on (timer by timer) until the stylus has been down
// for the tap-and-hold time, then the lift. A down handler that runs the
// gesture recogniser moves the clock itself and may open a menu before the
// lift: the next turn then comes from the menu's loop and lifts there.
StepResult RunHold(const Command& c, Step& step)
{
    if (step.phase == 0) {
        stylus(StylusDown, c.number(0), c.number(1));
        step.targetTick = GetTickCount() + kTapAndHoldMs;
        step.phase = 1;
        return StepResult::Again;
    }
    if (GetTickCount() < step.targetTick) {
        AdvanceClockTowards(static_cast<DWORD>(step.targetTick));
        return StepResult::Again;
    }
    stylus(StylusUp, c.number(0), c.number(1));
    return StepResult::Done;
}

// The first move goes in with the down, so that a gesture recogniser sees the
// stylus leave at once; each further move gets its own turn, so that the
// window that took the capture on the down receives it.
StepResult RunDrag(const Command& c, Step& step)
{
    int n = dragSteps(c);
    if (step.phase == 0) {
        stylus(StylusDown, c.number(0), c.number(1));
        POINT p = dragPoint(c, 1, n);
        stylus(StylusMove, p.x, p.y);
        step.phase = 2;
        return StepResult::Again;
    }
    if (step.phase <= n) {
        POINT p = dragPoint(c, step.phase, n);
        stylus(StylusMove, p.x, p.y);
        ++step.phase;
        return StepResult::Again;
    }
    stylus(StylusUp, c.number(2), c.number(3));
    return StepResult::Done;
}

// Notches of the mouse wheel at a point, all in one turn (positive away from
// the user).
StepResult RunWheel(const Command& c, Step&)
{
    PlatformWheelInput(static_cast<int>(c.number(0)), static_cast<int>(c.number(1)),
                       static_cast<int>(c.number(2)) * WHEEL_DELTA);
    return StepResult::Done;
}

// Two fingers about a centre, their distance going from the first value to
// the second by at most 8 pixels a turn, as the back end reports a pinch.
StepResult RunPinch(const Command& c, Step& step)
{
    int x = static_cast<int>(c.number(0)), y = static_cast<int>(c.number(1));
    long from = std::max(1L, c.number(2)), to = std::max(1L, c.number(3));
    int n = static_cast<int>(std::max(1L, (std::labs(to - from) + kDragStep - 1) / kDragStep));
    if (step.phase == 0) {
        PlatformZoomGesture(GF_BEGIN, x, y, static_cast<int>(from));
        step.phase = 1;
        return StepResult::Again;
    }
    int distance = static_cast<int>(from + (to - from) * step.phase / n);
    if (step.phase < n) {
        PlatformZoomGesture(0, x, y, distance);
        ++step.phase;
        return StepResult::Again;
    }
    PlatformZoomGesture(GF_END, x, y, static_cast<int>(to));
    return StepResult::Done;
}

StepResult RunKey(const Command& c, Step&)
{
    auto vk = static_cast<UINT>(c.number(0));
    PlatformKeyInput(vk, true);
    PlatformKeyInput(vk, false);
    return StepResult::Done;
}

StepResult RunText(const Command& c, Step&)
{
    PlatformTextInput(c.text(0).c_str());
    return StepResult::Done;
}

}  // namespace fotrix::script
