#pragma once
// The shell's own windows: the desktop behind everything (with the menu-bar
// place at the bottom), the top-most task bar at the top showing the active
// window's title and its "ok" button, and full-screen mode, which hides them.
#include "platform/base/types.h"

// Full-screen switches of the shell. The task bar flags show or hide the bar at
// the top; the input-panel button flags show or hide the menu-bar place at the
// bottom (the button lives there on the device).
enum : DWORD {
    SHFS_SHOWTASKBAR = 0x0001,
    SHFS_HIDETASKBAR = 0x0002,
    SHFS_SHOWSIPBUTTON = 0x0004,
    SHFS_HIDESIPBUTTON = 0x0008,
    SHFS_SHOWSTARTICON = 0x0010,
    SHFS_HIDESTARTICON = 0x0020,
};
// A change of the work area is sent to every top-level window as
// WM_SETTINGCHANGE with SPI_SETWORKAREA (see SHHandleWMSettingChange).
// The bars are the window's own: they change at once, and again whenever
// another window becomes active, to what its owner chain asked for (the
// window itself, its owner, that one's owner ...; both bars when none did).
BOOL SHFullScreen(HWND hwnd, DWORD flags);
// The work area that `hwnd` (or a window it is about to own) has while it is
// active: dialogs are placed and sized in it before they are shown.
RECT shellWorkAreaFor(HWND hwnd);

// The "ok" button at the right of the task bar: shown while `hwnd` is the
// active window; a tap on it sends WM_COMMAND IDOK to that window.
enum : DWORD { SHDB_SHOW = 0x0001, SHDB_HIDE = 0x0002 };
BOOL SHDoneButton(HWND hwnd, DWORD state);
bool screenHasDoneButton(HWND hwnd);
RECT screenDoneButtonRect();  // screen coordinates, within the task bar

HWND screenTaskBar();  // null while the shell is closed

// The title the shell shows for a window: its own, or when it has none (a
// message box without a caption), the one of the nearest window of its owner
// chain that has one. Returns the length written to `buffer`.
int shellTitleOf(HWND hwnd, char* buffer, int capacity);

// Internal to platform/: made when the platform starts, after the screen.
bool shellOpen();
void shellClose();
// Internal to the shell: the active window changed; a window is being freed;
// the shell closes.
void shellActiveWindowChanged();
void shellForgetFullScreen(HWND hwnd);
void shellForgetAllFullScreen();
