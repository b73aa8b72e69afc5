// Full-screen mode: hides or shows the task bar and the menu-bar place, and
// tells every top-level window when the work area between them changed.
//
// The bars a window leaves on the screen belong to that window: SHFullScreen
// records them for its top-level window, and whenever another window becomes
// active the shell shows what that window's owner chain asked for. A dialog
// run over the full-screen viewer keeps the screen whole; a dialog of the
// main window run over the start screen gets the task bar, with its title and
// "ok", although the start screen hid it.
#include "platform/screen/metrics.h"
#include "platform/shell/activate.h"
#include "platform/shell/taskbar.h"
#include "platform/window/window.h"

#include <algorithm>
#include <vector>

namespace {

struct Bars {
    bool taskBar = true;
    bool menuPlace = true;
};

struct WindowBars {
    HWND window;
    Bars bars;
};

std::vector<WindowBars> asked;  // top-level windows that called SHFullScreen, with the bars they left

HWND topLevelOf(HWND hwnd)
{
    while (hwnd && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
    return hwnd;
}

Bars* askedBy(HWND hwnd)
{
    auto it = std::find_if(asked.begin(), asked.end(), [hwnd](const WindowBars& w) { return w.window == hwnd; });
    return it == asked.end() ? nullptr : &it->bars;
}

// What the window's owner chain asked for, nearest first; both bars when none asked.
Bars barsFor(HWND hwnd)
{
    for (HWND w = topLevelOf(hwnd); w; w = GetWindow(w, GW_OWNER))
        if (const Bars* bars = askedBy(w)) return *bars;
    return Bars{};
}

BOOL tellWorkAreaChanged(HWND hwnd, LPARAM)
{
    if (hwnd != screenTaskBar()) SendMessage(hwnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    return TRUE;
}

void showBars(Bars bars)
{
    if (bars.taskBar == screenTaskBarShown() && bars.menuPlace == screenMenuBarPlaceShown()) return;
    RECT before = screenWorkArea();
    screenShowBars(bars.taskBar, bars.menuPlace);
    if (HWND bar = screenTaskBar()) ShowWindow(bar, bars.taskBar ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(GetDesktopWindow(), nullptr, TRUE);
    RECT after = screenWorkArea();
    if (!EqualRect(&before, &after)) EnumWindows(tellWorkAreaChanged, 0);
}

}  // namespace

// Changes the bars that the window asked for before (or, the first time, the
// ones its owner chain gives it), and shows them unless another window's
// choice holds for the active window.
BOOL SHFullScreen(HWND hwnd, DWORD flags)
{
    HWND top = topLevelOf(hwnd);
    if (top && !IsWindow(top)) top = nullptr;
    Bars bars = top ? barsFor(top) : Bars{screenTaskBarShown(), screenMenuBarPlaceShown()};
    if (flags & SHFS_HIDETASKBAR) bars.taskBar = false;
    if (flags & SHFS_SHOWTASKBAR) bars.taskBar = true;
    if (flags & SHFS_HIDESIPBUTTON) bars.menuPlace = false;
    if (flags & SHFS_SHOWSIPBUTTON) bars.menuPlace = true;
    if (!top) {
        showBars(bars);
        return TRUE;
    }
    if (Bars* own = askedBy(top)) *own = bars;
    else asked.push_back(WindowBars{top, bars});
    HWND active = GetActiveWindow();
    showBars(active ? barsFor(active) : bars);
    return TRUE;
}

void shellActiveWindowChanged()
{
    if (HWND active = GetActiveWindow()) showBars(barsFor(active));
}

void shellForgetFullScreen(HWND hwnd)
{
    if (std::erase_if(asked, [hwnd](const WindowBars& w) { return w.window == hwnd; }) == 0) return;
    // A window that becomes active gives the screen its own bars; with none
    // left active (a show started without a main window), the bars its choice
    // hid come back.
    HWND active = GetActiveWindow();
    if (!active || active == hwnd) showBars(Bars{});
}

void shellForgetAllFullScreen() { asked.clear(); }

RECT shellWorkAreaFor(HWND hwnd)
{
    Bars bars = barsFor(hwnd);
    return screenWorkAreaWith(bars.taskBar, bars.menuPlace);
}
