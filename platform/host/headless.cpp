// The headless back end: nothing is shown; the framebuffer is the screen, input
// is injected by the caller, and time is a virtual clock moved on purpose.
#include "platform/host/hosts.h"
#include "platform/gdi/surface.h"
#include "platform/screen/metrics.h"

#include <atomic>

namespace {

std::atomic<DWORD> clockMs{0};
std::atomic<int> beeps{0};

bool open(int, int, int)
{
    clockMs = 0;
    beeps = 0;
    return true;
}

void close() {}
bool poll(int) { return false; }
void present(const Surface&) {}
DWORD ticks() { return clockMs.load(); }
void advance(DWORD ms) { clockMs += ms; }
void cursorChanged(HCURSOR) {}
void beep(UINT) { ++beeps; }

bool screenshot(const char* path)
{
    Surface* s = screenFramebuffer();
    return s && writeSurfacePng(*s, RECT{0, 0, s->width, s->height}, path);
}

// Nothing to keep awake; the idle timer's own state tells tests what was asked.
void keepAwake(bool) {}

const BackendOps ops = {"headless", open, close, poll, present, ticks, true, advance, cursorChanged, beep, screenshot, keepAwake};

}  // namespace

const BackendOps* headlessBackend() { return &ops; }
int headlessBeepCount() { return beeps.load(); }
