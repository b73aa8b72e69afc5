#pragma once
#include "platform/base/types.h"

// Tap-and-hold: called on a stylus-down, it watches the stylus for half a
// second. A lift or a move of more than a few pixels means no gesture (0);
// holding still means the context-menu gesture (GN_CONTEXTMENU). Small moves
// while holding are taken from the queue; the lift or the long move stays in it.
struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;  // client coordinates of hwndClient
    DWORD dwFlags;
};
enum : DWORD { SHRG_RETURNCMD = 0x0001, SHRG_NOTIFYPARENT = 0x0002, SHRG_LONGDELAY = 0x0008 };
enum : DWORD { GN_CONTEXTMENU = 1000 };
constexpr DWORD kTapAndHoldMs = 500;
DWORD SHRecognizeGesture(SHRGINFO* info);
