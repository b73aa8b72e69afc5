// The default window and dialog procedures.
#include "platform/window/window_internal.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/screen_dc.h"
#include "platform/screen/metrics.h"

#include <algorithm>
#include <cstring>

namespace {

LRESULT eraseBackground(HWND hwnd, HDC hdc)
{
    HBRUSH brush;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return 0;
        brush = gdiResolveClassBrush(hwnd->cls->wc.hbrBackground);
    }
    if (!brush) return 0;
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(hdc, &r, brush);
    return 1;
}

// Border and scroll bars.
LRESULT paintNonClient(HWND hwnd)
{
    RECT wr;
    DWORD style;
    int border;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || !hwnd->parent) return 0;
        wr = windowRectOnScreen(hwnd);
        style = hwnd->style;
        border = borderWidth(hwnd);
    }
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    HDC hdc = GetWindowDC(hwnd);
    if (!hdc) return 0;
    if (style & (WS_VSCROLL | WS_HSCROLL)) paintScrollBars(hwnd, hdc);
    if (border) {
        HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
        RECT r{0, 0, w, h};
        FrameRect(hdc, &r, frame);
    }
    ReleaseDC(hwnd, hdc);
    return 0;
}

LRESULT setText(HWND hwnd, const char* text)
{
    bool topLevel;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return FALSE;
        hwnd->text = text ? text : "";
        topLevel = isTopLevel(hwnd);
    }
    if (topLevel) windowTitleChanged(hwnd);
    return TRUE;
}

LRESULT getText(HWND hwnd, WPARAM capacity, char* buffer)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !buffer || capacity == 0) return 0;
    size_t n = std::min(hwnd->text.size(), static_cast<size_t>(capacity - 1));
    // Never cut a UTF-8 sequence in half.
    while (n > 0 && n < hwnd->text.size() && (static_cast<uint8_t>(hwnd->text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, hwnd->text.data(), n);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return eraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_NCPAINT:
        return paintNonClient(hwnd);
    case WM_NCLBUTTONDOWN:
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONUP:
        return scrollBarStylus(hwnd, message, wParam, lParam);
    case WM_SETTEXT:
        return setText(hwnd, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
        return getText(hwnd, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        return windowAlive(hwnd) ? static_cast<LRESULT>(hwnd->text.size()) : 0;
    }
    case WM_SETCURSOR: {
        HCURSOR cursor = nullptr;
        {
            std::lock_guard<std::recursive_mutex> guard(windowLock());
            if (windowAlive(hwnd)) cursor = hwnd->cls->wc.hCursor;
        }
        if (cursor) {
            SetCursor(cursor);
            return TRUE;
        }
        return FALSE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            HWND focus = GetFocus();
            if (!focus || (focus != hwnd && !IsChild(hwnd, focus))) SetFocus(hwnd);
        }
        return 0;
    default:
        return 0;
    }
}

// DefDlgProc lives with the dialogs (platform/dialog/defdlg.cpp).
