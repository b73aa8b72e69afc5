// The host in use and the calls through to it.
#include "platform/backend/backend.h"

#include <chrono>

namespace {

const BackendOps* backend = nullptr;
auto startTime = std::chrono::steady_clock::now();

}  // namespace

void backendUse(const BackendOps* ops)
{
    backend = ops;
    if (ops) startTime = std::chrono::steady_clock::now();
}

const BackendOps* backendCurrent() { return backend; }

const char* backendName() { return backend ? backend->name : ""; }

bool backendPoll(int timeoutMs) { return backend && backend->poll(timeoutMs); }

void backendPresent(const Surface& screen)
{
    if (backend) backend->present(screen);
}

bool platformClockIsVirtual() { return backend && backend->virtualClock; }

void platformAdvanceClock(DWORD ms)
{
    if (backend && backend->virtualClock) backend->advanceClock(ms);
}

void platformCursorChanged(HCURSOR cursor)
{
    if (backend) backend->cursorChanged(cursor);
}

void platformKeepAwake(bool on)
{
    if (backend && backend->keepAwake) backend->keepAwake(on);
}

void platformBeep(UINT type)
{
    if (backend) backend->beep(type);
}

DWORD GetTickCount()
{
    if (backend) return backend->ticks();
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - startTime).count());
}
