#pragma once
// The small interface between the platform and a host: the headless framebuffer
// or an SDL2 window (platform/host/). Nothing here knows windows or the screen;
// PlatformInit picks the host. Internal to platform/.
#include "platform/base/types.h"

struct Surface;

struct BackendOps {
    const char* name;
    bool (*open)(int width, int height, int zoom);
    void (*close)();
    // Delivers waiting host events as input (waiting up to timeoutMs for the
    // first); true when something arrived.
    bool (*poll)(int timeoutMs);
    void (*present)(const Surface& screen);
    DWORD (*ticks)();
    bool virtualClock;
    void (*advanceClock)(DWORD ms);
    void (*cursorChanged)(HCURSOR cursor);
    void (*beep)(UINT type);
    // Writes what the host shows, at screen size, as a PNG.
    bool (*screenshot)(const char* path);
    // Keeps the host's screen saver off (true) or lets it run again (false).
    void (*keepAwake)(bool on);
};

// The host in use (null: none); choosing one starts GetTickCount's own clock anew.
void backendUse(const BackendOps* ops);
const BackendOps* backendCurrent();
const char* backendName();  // "" without a host

// What the message loop asks of the host; without one they do nothing.
bool backendPoll(int timeoutMs);
void backendPresent(const Surface& screen);
bool platformClockIsVirtual();
void platformAdvanceClock(DWORD ms);
void platformCursorChanged(HCURSOR cursor);
void platformBeep(UINT type);
void platformKeepAwake(bool on);
