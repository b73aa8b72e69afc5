// The shell's own windows: the desktop behind everything (with the menu-bar
// place at the bottom) and the top-most task bar showing the active window's title.
#include "platform/screen/screen.h"
#include "platform/gdi/gdi.h"
#include "platform/window/window.h"

#include <cstring>

void setDesktopProc(WNDPROC proc);
HWND desktopWindow();

namespace {

constexpr const char* kTaskBarClass = "FotrixTaskBar";
HWND taskBar = nullptr;

LOGFONT barFont(bool bold)
{
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(nullptr, LOGPIXELSY), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Tahoma");
    return lf;
}

LRESULT paintTaskBar(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(hdc, &r, GetSysColorBrush(COLOR_ACTIVECAPTION));
    char title[256] = "";
    HWND active = GetActiveWindow();
    if (active && active != hwnd) GetWindowText(active, title, sizeof title);
    LOGFONT lf = barFont(true);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text = r;
    text.left += ScaleForScreen(6);
    DrawText(hdc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(hdc, old);
    DeleteObject(font);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT taskBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) return paintTaskBar(hwnd);
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT paintDesktop(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT all;
    GetClientRect(hwnd, &all);
    FillRect(hdc, &all, GetSysColorBrush(COLOR_BACKGROUND));
    RECT place = screenMenuBarPlace();
    if (!IsRectEmpty(&place)) {
        FillRect(hdc, &place, GetSysColorBrush(COLOR_MENU));
        RECT line{place.left, place.top, place.right, place.top + 1};
        FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT desktopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) return paintDesktop(hwnd);
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool screenCreateShell()
{
    setDesktopProc(desktopProc);
    InvalidateRect(desktopWindow(), nullptr, TRUE);
    WNDCLASS wc{};
    wc.lpfnWndProc = taskBarProc;
    wc.lpszClassName = kTaskBarClass;
    RegisterClass(&wc);  // stays registered across restarts of the platform
    int w = 0, h = 0;
    screenSize(&w, &h);
    taskBar = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTaskBarClass, "", WS_POPUP | WS_VISIBLE, 0, 0, w,
                             ScaleForScreen(kTaskBarHeight96), nullptr, nullptr, nullptr, nullptr);
    return taskBar != nullptr;
}

void screenDestroyShell()
{
    if (taskBar) DestroyWindow(taskBar);
    taskBar = nullptr;
}

HWND screenTaskBar() { return IsWindow(taskBar) ? taskBar : nullptr; }

void screenTitleChanged(HWND hwnd)
{
    if (!taskBar) return;
    if (!hwnd || hwnd == GetActiveWindow()) InvalidateRect(taskBar, nullptr, FALSE);
}
