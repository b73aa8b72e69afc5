#include "platform/window/idle.h"

#include "platform/backend/backend.h"
#include "platform/window/window.h"
#include "platform/window/window_internal.h"

#include <mutex>

namespace {

std::mutex lock;
int resets = 0;
DWORD lastReset = 0;
bool wanted = false;  // a reset came within the hold time
bool held = false;    // the back end has been told to keep the screen on

}  // namespace

void SystemIdleTimerReset()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ++resets;
        lastReset = GetTickCount();
        wanted = true;
    }
    if (currentThreadId() == uiThreadId()) idleTimerService();
}

void idleTimerService()
{
    bool change;
    bool on;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (wanted && GetTickCount() - lastReset >= kIdleHoldMs) wanted = false;
        change = wanted != held;
        on = held = wanted;
    }
    if (change) platformKeepAwake(on);
}

void idleTimerStart()
{
    std::lock_guard<std::mutex> guard(lock);
    resets = 0;
    lastReset = 0;
    wanted = held = false;
}

int PlatformIdleResetCount()
{
    std::lock_guard<std::mutex> guard(lock);
    return resets;
}

BOOL PlatformScreenSaverHeld()
{
    std::lock_guard<std::mutex> guard(lock);
    return held ? TRUE : FALSE;
}
