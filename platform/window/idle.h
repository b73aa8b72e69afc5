#pragma once
// The idle timer: while the program keeps resetting it (a slideshow does, at
// every picture) the host's screen saver stays off. Resets may come from any
// thread; the screen saver is switched on the thread that runs the platform.
#include "platform/base/types.h"

void SystemIdleTimerReset();

// How long one reset holds the screen saver off.
constexpr DWORD kIdleHoldMs = 3 * 60 * 1000;

// For tests (headless): resets seen since the platform started, and whether
// the screen saver is held off now.
int PlatformIdleResetCount();
BOOL PlatformScreenSaverHeld();

// Internal to platform/: called by the message loop whenever it wakes.
void idleTimerService();
void idleTimerStart();
