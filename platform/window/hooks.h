#pragma once
// What the floors above the window layer plug into it when the platform
// starts, so that the window layer never includes them: the thread that runs
// the platform, the desktop's window
// procedure and the listener for title and activation changes (the shell's
// desktop and task bar), and the windows of another process (the
// single-instance channel). Internal to platform/.
#include "platform/window/window.h"

// The calling thread becomes the one that draws and receives input (PlatformInit).
void setUiThread();

// The desktop behind every top-level window paints with this procedure
// (DefWindowProc while none is set).
void setDesktopProc(WNDPROC proc);

// The dialogs' default procedure, for message maps whose default is
// DefaultProcDialog (PlatformInit sets DefDlgProc; DefWindowProc until then).
void setDialogDefaultProc(WNDPROC proc);

// Called after a top-level window's title changes or another window becomes
// active (with the window, or null when none is active any more).
using TitleListener = void (*)(HWND hwnd);
void setTitleListener(TitleListener listener);

// Called for each window that DestroyWindow ends, after its WM_NCDESTROY and
// before its handle is freed, so that what is kept about it by handle can go
// before a new window is given the same handle.
using WindowGoneListener = void (*)(HWND hwnd);
void setWindowGoneListener(WindowGoneListener listener);

// Windows of another process, as FindWindow finds them through the
// single-instance channel: the window functions hand such a handle to these.
struct RemoteWindows {
    HWND (*find)(const char* className, const char* title);  // null when none answers
    bool (*owns)(HWND hwnd);                                   // a handle find gave
    LRESULT (*send)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL (*post)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL (*foreground)(HWND hwnd);
    bool (*serve)();  // answers waiting requests of other processes; true when there were some
};
void setRemoteWindows(const RemoteWindows* remote);
