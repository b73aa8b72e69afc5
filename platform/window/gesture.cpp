// Tap-and-hold recognition.
#include "platform/window/gesture.h"
#include "platform/backend/backend.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

#include <cstdlib>

namespace {

POINT toScreen(HWND hwnd, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &p);
    return p;
}

}  // namespace

DWORD SHRecognizeGesture(SHRGINFO* info)
{
    if (!info || !IsWindow(info->hwndClient)) return 0;
    POINT down = info->ptDown;
    ClientToScreen(info->hwndClient, &down);
    int slop = ScaleForScreen(5);
    DWORD hold = (info->dwFlags & SHRG_LONGDELAY) ? kTapAndHoldMs * 2 : kTapAndHoldMs;
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) return 0;
        // A second finger makes it a pinch, not a hold.
        if (PeekMessage(&msg, nullptr, WM_GESTURE, WM_GESTURE, PM_NOREMOVE)) return 0;
        while (PeekMessage(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE)) {
            POINT p = toScreen(msg.hwnd, msg.lParam);
            if (std::abs(p.x - down.x) > slop || std::abs(p.y - down.y) > slop) return 0;
            PeekMessage(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
        }
        if (GetTickCount() - start >= hold) return GN_CONTEXTMENU;
        // Nothing moves a virtual clock but us; a real one we wait for.
        if (platformClockIsVirtual()) platformAdvanceClock(10);
        else Sleep(10);
    }
}
