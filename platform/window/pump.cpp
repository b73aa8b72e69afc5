// What the message loop does when it wakes on the thread that runs the
// platform: answer other processes, take the host's input, keep the idle
// timer, and show what was drawn.
#include "platform/backend/backend.h"
#include "platform/screen/metrics.h"
#include "platform/window/idle.h"
#include "platform/window/window_internal.h"

bool platformPump(int timeoutMs)
{
    bool any = serveRemoteWindows();
    if (backendPoll(any ? 0 : timeoutMs)) any = true;
    idleTimerService();
    return any;
}

void platformPresent()
{
    if (backendCurrent() && screenTakeDirty()) {
        if (Surface* s = screenFramebuffer()) backendPresent(*s);
    }
}
