// The shell's own windows: the desktop behind everything (with the menu-bar
// place at the bottom) and the top-most task bar showing the active window's title.
#include "platform/shell/taskbar.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"
#include "platform/window/hooks.h"
#include "platform/window/window.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kTaskBarClass = "FotrixTaskBar";
HWND taskBar = nullptr;
std::vector<HWND> doneWindows;  // windows that show the "ok" button while active
bool donePressed = false;       // the stylus went down on the "ok" button

HWND activeWithDoneButton()
{
    HWND active = GetActiveWindow();
    return active && screenHasDoneButton(active) ? active : nullptr;
}

// The "ok" button: a framed box at the right end of the bar.
void paintDoneButton(HDC hdc, const RECT& bar)
{
    RECT box = screenDoneButtonRect();
    if (IsRectEmpty(&box)) return;
    OffsetRect(&box, -bar.left, 0);
    int inset = ScaleForScreen(3);
    InflateRect(&box, -inset, -inset);
    FillRect(hdc, &box, GetSysColorBrush(donePressed ? COLOR_CAPTIONTEXT : COLOR_ACTIVECAPTION));
    FrameRect(hdc, &box, GetSysColorBrush(COLOR_CAPTIONTEXT));
    SetTextColor(hdc, GetSysColor(donePressed ? COLOR_ACTIVECAPTION : COLOR_CAPTIONTEXT));
    DrawText(hdc, "ok", -1, &box, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

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
    if (active && active != hwnd) shellTitleOf(active, title, sizeof title);
    LOGFONT lf = barFont(true);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text = r;
    text.left += ScaleForScreen(6);
    bool done = activeWithDoneButton() != nullptr;
    if (done) text.right = screenDoneButtonRect().left;
    DrawText(hdc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (done) paintDoneButton(hdc, r);
    SelectObject(hdc, old);
    DeleteObject(font);
    EndPaint(hwnd, &ps);
    return 0;
}

bool onDoneButton(HWND bar, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(bar, &p);
    RECT box = screenDoneButtonRect();
    return PtInRect(&box, p) != 0;
}

void setDonePressed(HWND bar, bool pressed)
{
    if (donePressed == pressed) return;
    donePressed = pressed;
    InvalidateRect(bar, nullptr, FALSE);
}

// A tap on the "ok" button counts when the stylus comes up over it, like a push button.
LRESULT taskBarStylus(HWND hwnd, UINT message, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        if (!activeWithDoneButton() || !onDoneButton(hwnd, lParam)) return 0;
        SetCapture(hwnd);
        setDonePressed(hwnd, true);
        return 0;
    }
    if (GetCapture() != hwnd) return 0;
    if (message == WM_MOUSEMOVE) {
        setDonePressed(hwnd, onDoneButton(hwnd, lParam));
        return 0;
    }
    bool inside = onDoneButton(hwnd, lParam);
    setDonePressed(hwnd, false);
    ReleaseCapture();
    HWND target = activeWithDoneButton();
    if (inside && target) PostMessage(target, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return 0;
}

LRESULT taskBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) return paintTaskBar(hwnd);
    if (message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE || message == WM_LBUTTONUP)
        return taskBarStylus(hwnd, message, lParam);
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

// Repaints the task bar when the title it shows may have changed, and gives
// the screen the bars that the active window asked for.
void titleChanged(HWND hwnd)
{
    if (!taskBar) return;
    shellActiveWindowChanged();
    if (!hwnd || hwnd == GetActiveWindow()) InvalidateRect(taskBar, nullptr, FALSE);
}

void windowGone(HWND hwnd)
{
    std::erase(doneWindows, hwnd);
    shellForgetFullScreen(hwnd);
}

}  // namespace

bool shellOpen()
{
    setDesktopProc(desktopProc);
    setTitleListener(titleChanged);
    setWindowGoneListener(windowGone);
    InvalidateRect(GetDesktopWindow(), nullptr, TRUE);
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

void shellClose()
{
    if (taskBar) DestroyWindow(taskBar);
    taskBar = nullptr;
    doneWindows.clear();
    donePressed = false;
    shellForgetAllFullScreen();
}

BOOL SHDoneButton(HWND hwnd, DWORD state)
{
    if (!IsWindow(hwnd)) return FALSE;
    // Forget windows that are gone, so a new window at a reused address starts without the button.
    std::erase_if(doneWindows, [](HWND w) { return !IsWindow(w); });
    auto it = std::find(doneWindows.begin(), doneWindows.end(), hwnd);
    if (state & SHDB_SHOW && it == doneWindows.end()) doneWindows.push_back(hwnd);
    if (state & SHDB_HIDE && it != doneWindows.end()) doneWindows.erase(it);
    if (taskBar) InvalidateRect(taskBar, nullptr, FALSE);
    return TRUE;
}

bool screenHasDoneButton(HWND hwnd)
{
    return IsWindow(hwnd) && std::find(doneWindows.begin(), doneWindows.end(), hwnd) != doneWindows.end();
}

RECT screenDoneButtonRect()
{
    if (!screenTaskBar() || !IsWindowVisible(taskBar)) return RECT{0, 0, 0, 0};
    RECT bar;
    GetWindowRect(taskBar, &bar);
    int width = ScaleForScreen(34);
    return RECT{bar.right - width, bar.top, bar.right, bar.bottom};
}

HWND screenTaskBar() { return IsWindow(taskBar) ? taskBar : nullptr; }

int shellTitleOf(HWND hwnd, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = '\0';
    for (HWND w = hwnd; w; w = GetWindow(w, GW_OWNER)) {
        while (w && (GetWindowLong(w, GWL_STYLE) & WS_CHILD)) w = GetParent(w);
        if (!w) break;
        if (int n = GetWindowText(w, buffer, capacity); n > 0) return n;
    }
    return 0;
}
