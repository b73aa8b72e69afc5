// Full-screen mode: hides or shows the task bar and the menu-bar place, and
// tells every top-level window when the work area between them changed.
#include "platform/screen/metrics.h"
#include "platform/shell/activate.h"
#include "platform/shell/taskbar.h"
#include "platform/window/window.h"

namespace {

BOOL tellWorkAreaChanged(HWND hwnd, LPARAM)
{
    if (hwnd != screenTaskBar()) SendMessage(hwnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    return TRUE;
}

}  // namespace

BOOL SHFullScreen(HWND, DWORD flags)
{
    RECT before = screenWorkArea();
    bool taskBarShown = screenTaskBarShown();
    bool menuPlaceShown = screenMenuBarPlaceShown();
    if (flags & SHFS_HIDETASKBAR) taskBarShown = false;
    if (flags & SHFS_SHOWTASKBAR) taskBarShown = true;
    if (flags & SHFS_HIDESIPBUTTON) menuPlaceShown = false;
    if (flags & SHFS_SHOWSIPBUTTON) menuPlaceShown = true;
    screenShowBars(taskBarShown, menuPlaceShown);
    if (HWND bar = screenTaskBar()) ShowWindow(bar, taskBarShown ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(GetDesktopWindow(), nullptr, TRUE);
    RECT after = screenWorkArea();
    if (!EqualRect(&before, &after)) EnumWindows(tellWorkAreaChanged, 0);
    return TRUE;
}
