// Window words, text and the enabled state.
#include "platform/window/window_internal.h"

#include <cstring>

namespace {

bool extraSlot(HWND hwnd, int index, size_t size)
{
    return index >= 0 && static_cast<size_t>(index) + size <= hwnd->extra.size();
}

}  // namespace

LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(hwnd->proc);
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(hwnd->instance);
    case GWL_HWNDPARENT:
        return (hwnd->style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(hwnd->parent) : 0;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(hwnd->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(hwnd->exStyle);
    case GWL_USERDATA:
        return hwnd->userData;
    case GWL_ID:
        return hwnd->id;
    default:
        break;
    }
    if (extraSlot(hwnd, index, sizeof(LONG_PTR))) {
        LONG_PTR v;
        std::memcpy(&v, hwnd->extra.data() + index, sizeof v);
        return v;
    }
    if (extraSlot(hwnd, index, sizeof(LONG))) {
        LONG v;
        std::memcpy(&v, hwnd->extra.data() + index, sizeof v);
        return v;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_WNDPROC:
        if (value) hwnd->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWL_STYLE:
        // Visibility changes only through ShowWindow, which also repaints.
        hwnd->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | (hwnd->style & WS_VISIBLE);
        return old;
    case GWL_EXSTYLE:
        hwnd->exStyle = static_cast<DWORD>(value);
        return old;
    case GWL_USERDATA:
        hwnd->userData = value;
        return old;
    case GWL_ID:
        hwnd->id = static_cast<int>(value);
        return old;
    default:
        break;
    }
    if (extraSlot(hwnd, index, sizeof(LONG_PTR))) {
        std::memcpy(hwnd->extra.data() + index, &value, sizeof value);
        return old;
    }
    if (extraSlot(hwnd, index, sizeof(LONG))) {
        LONG v = static_cast<LONG>(value);
        std::memcpy(hwnd->extra.data() + index, &v, sizeof v);
        return old;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }

LONG SetWindowLong(HWND hwnd, int index, LONG value)
{
    {
        // Extra words addressed as LONG must not spill into the next word.
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (windowAlive(hwnd) && index >= 0 && extraSlot(hwnd, index, sizeof(LONG))) {
            LONG old;
            std::memcpy(&old, hwnd->extra.data() + index, sizeof old);
            std::memcpy(hwnd->extra.data() + index, &value, sizeof value);
            return old;
        }
    }
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

BOOL SetWindowText(HWND hwnd, const char* text)
{
    if (!IsWindow(hwnd)) return FALSE;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    if (!IsWindow(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return IsWindow(hwnd) ? static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0; }

BOOL SetDlgItemText(HWND parent, int id, const char* text)
{
    HWND item = GetDlgItem(parent, id);
    return item ? SetWindowText(item, text) : FALSE;
}

UINT GetDlgItemText(HWND parent, int id, char* buffer, int capacity)
{
    HWND item = GetDlgItem(parent, id);
    if (!item) {
        if (buffer && capacity > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowText(item, buffer, capacity));
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    bool wasDisabled;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return FALSE;
        wasDisabled = (hwnd->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled;
        if (enable) hwnd->style &= ~WS_DISABLED;
        else hwnd->style |= WS_DISABLED;
    }
    if (!enable) {
        HWND focus = GetFocus();
        if (focus == hwnd || IsChild(hwnd, focus)) SetFocus(nullptr);
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(hwnd) && !(hwnd->style & WS_DISABLED);
}
