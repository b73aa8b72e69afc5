#pragma once
// A hook that GetMessage calls on the user-interface thread whenever nothing
// is waiting: no sent or posted message, no paint, no timer due now. Every
// message loop (the main loop, modal dialogs, property sheets, message boxes,
// pop-up menus and the menu bar's drop-downs) waits in GetMessage, so a driver
// installed here acts inside whichever loop runs, as a user would.
//
// While the hook returns true it keeps the clock: GetMessage then does not jump
// a virtual clock to the next timer but waits briefly in real time, pumping the
// back end, so that other threads' posts arrive. Returning false lets the loop
// wait as usual.
#include "platform/base/types.h"

typedef bool (*PlatformIdleHook)(void* data);

// One hook at a time; null removes it.
void SetPlatformIdleHook(PlatformIdleHook hook, void* data);

// The earliest due time (GetTickCount) of the calling thread's timers; false
// when it has none. A driver that moves the clock uses it to stop at each timer.
bool PlatformNextTimerDue(DWORD* due);

// True when time is the headless back end's virtual clock, which only moves
// when someone moves it (PlatformAdvanceClock).
bool PlatformClockIsVirtual();
