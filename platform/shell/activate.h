#pragma once
// The shell's handling of activation and setting changes for a program's main
// window. There is no input panel here: the record always tells it is down.
// What remains is keeping the focus where the user left it across activations
// and keeping a window that covers the work area covering it when the task
// bar or the menu-bar place is shown or hidden.
#include "platform/base/types.h"

struct SHACTIVATEINFO {
    DWORD cbSize;  // at least 12 (the size the program's record is known by)
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
enum : DWORD { SHA_INPUTDIALOG = 0x00000001 };
// wParam of WM_SETTINGCHANGE: the work area changed (SHFullScreen sends it to
// every top-level window), or the input panel did.
enum : UINT { SPI_SETWORKAREA = 0x002F, SPI_SETSIPINFO = 0x00E0 };

// For WM_ACTIVATE. Going inactive, remembers which of the window's own windows
// had the focus; coming back, gives the focus to it again (or to the window
// itself). FALSE when the record is missing or too small.
BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
// For WM_SETTINGCHANGE. On a work-area change, a top-level window that covered
// the old work area is moved and sized to cover the new one; other windows
// (full screen, dialogs, anything placed by the program) keep their place.
// TRUE when wParam is a change it handles.
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
