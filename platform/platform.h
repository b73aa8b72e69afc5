#pragma once
// Starting and stopping the platform: the device screen, the back end and the
// single-instance channel.
#include "platform/base/types.h"

struct PlatformConfig {
    int width = 240;        // --screen WxH
    int height = 320;
    int dpi = 96;           // --dpi N
    int zoom = 2;           // --zoom N: host pixels per screen pixel in the SDL window
    bool headless = false;  // --headless
};

// Takes --screen WxH, --dpi N, --zoom N and --headless out of argv (argc shrinks).
// Returns 0, or -1 with a message in error when a value is malformed.
int PlatformParseArgs(int* argc, char** argv, PlatformConfig* config, char* error, int errorCapacity);

// Starts the platform on the calling thread, which becomes the one that draws
// and receives input. Returns FALSE when the back end cannot start.
BOOL PlatformInit(const PlatformConfig* config);
void PlatformShutdown();
const char* PlatformBackendName();

// Writes the screen as a PNG of exactly the screen's size: on the headless back
// end the framebuffer, on SDL what the window shows (read back from it).
BOOL PlatformScreenshot(const char* path);

// Virtual clock of the headless back end (no effect on SDL).
void PlatformAdvanceClock(DWORD milliseconds);
// Number of MessageBeep calls seen by the headless back end.
int PlatformBeepCount();
// Runs queued messages until none is left (paint and due timers included). For tests.
void PlatformRunPending();
