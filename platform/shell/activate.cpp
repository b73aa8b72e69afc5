#include "platform/shell/activate.h"

#include "platform/screen/metrics.h"
#include "platform/window/window.h"

namespace {

// The record as the program declares it: size word, focus handle, flag word.
constexpr DWORD kSmallestRecord = 12;

bool ownsWindow(HWND hwnd, HWND other) { return other && (other == hwnd || IsChild(hwnd, other)); }

}  // namespace

BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO* info, DWORD)
{
    if (!info || info->cbSize < kSmallestRecord || !IsWindow(hwnd)) return FALSE;
    info->fSipUp = 0;
    info->fSipOnDeactivation = 0;
    if (LOWORD(wParam) == WA_INACTIVE) {
        info->fActive = 0;
        HWND focus = GetFocus();
        info->hwndLastFocus = ownsWindow(hwnd, focus) ? focus : nullptr;
        return TRUE;
    }
    info->fActive = 1;
    HWND last = info->hwndLastFocus;
    if (IsWindow(last) && ownsWindow(hwnd, last) && IsWindowVisible(last) && IsWindowEnabled(last)) SetFocus(last);
    else if (!ownsWindow(hwnd, GetFocus())) SetFocus(hwnd);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO*)
{
    if (wParam != SPI_SETWORKAREA && wParam != SPI_SETSIPINFO) return FALSE;
    if (!IsWindow(hwnd) || (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) return TRUE;
    RECT now, before = screenPreviousWorkArea(), after = screenWorkArea();
    GetWindowRect(hwnd, &now);
    if (EqualRect(&now, &before) && !EqualRect(&now, &after))
        SetWindowPos(hwnd, nullptr, after.left, after.top, after.right - after.left, after.bottom - after.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}
