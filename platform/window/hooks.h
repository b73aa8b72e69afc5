#pragma once
// What the floors above the window layer plug into it when the platform
// starts, so that the window layer never includes them: the desktop's window
// procedure and the listener for title and activation changes (the shell's
// desktop and task bar). Internal to platform/.
#include "platform/window/window.h"

// The desktop behind every top-level window paints with this procedure
// (DefWindowProc while none is set).
void setDesktopProc(WNDPROC proc);

// Called after a top-level window's title changes or another window becomes
// active (with the window, or null when none is active any more).
using TitleListener = void (*)(HWND hwnd);
void setTitleListener(TitleListener listener);
