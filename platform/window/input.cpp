// Focus, capture, activation, cursors, and routing of stylus, wheel, gesture
// and key input.
#include "platform/window/window_internal.h"
#include "platform/backend/backend.h"
#include "platform/window/input.h"
#include "platform/base/utf8.h"
#include "platform/screen/metrics.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

HWND focusWindow = nullptr;
HWND captureWindow = nullptr;
HWND activeWindow = nullptr;
HCURSOR currentCursor = nullptr;
POINT cursorPos{0, 0};
bool buttonDown = false;
// Keys held (Shift, Ctrl, Alt...) as of the key messages taken from the queue
// so far, so that a handler sees the state that went with its own message.
bool keyDown[256] = {};
// The window whose scroll bar the stylus went down on: it gets the stylus until
// the stylus comes up, decided here as the input arrives rather than when the
// queued messages are handled, so that a quick tap cannot lose its lift.
HWND scrollBarWindow = nullptr;

struct ClickMemory {
    HWND hwnd = nullptr;
    DWORD time = 0;
    POINT pt{0, 0};
    bool valid = false;
} lastClick;

constexpr UINT kDoubleClickTime = 500;

HWND topLevelOf(HWND hwnd)
{
    while (hwnd && (hwnd->style & WS_CHILD) && hwnd->parent) hwnd = hwnd->parent;
    return hwnd;
}

bool enabledChain(HWND hwnd)
{
    for (HWND w = hwnd; w && w->parent; w = w->parent)
        if (w->style & WS_DISABLED) return false;
    return true;
}

void postMouse(HWND target, UINT message, POINT screen, WPARAM keys)
{
    POINT p = screen;
    ScreenToClient(target, &p);
    PostMessage(target, message, keys, MAKELPARAM(p.x, p.y));
}

HWND nextActivatable(HWND except)
{
    HWND desk = desktopWindow();
    for (HWND w : desk->children)
        if (w != except && !w->destroying && (w->style & WS_VISIBLE) && !(w->exStyle & WS_EX_NOACTIVATE)) return w;
    return nullptr;
}

}  // namespace

void inputDropWindow(HWND hwnd)
{
    HWND newActive = nullptr;
    bool reactivate = false;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (captureWindow == hwnd) captureWindow = nullptr;
        if (scrollBarWindow == hwnd) scrollBarWindow = nullptr;
        if (lastClick.hwnd == hwnd) lastClick.valid = false;
        if (focusWindow && (focusWindow == hwnd || (windowAlive(focusWindow) && IsChild(hwnd, focusWindow))))
            focusWindow = nullptr;
        if (activeWindow == hwnd) {
            activeWindow = nullptr;
            newActive = nextActivatable(hwnd);
            reactivate = true;
        }
    }
    if (reactivate) {
        if (newActive) activateWindow(newActive, WA_ACTIVE);
        else windowTitleChanged(nullptr);
    }
}

void activateWindow(HWND hwnd, WORD how)
{
    HWND old;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        hwnd = topLevelOf(hwnd);
        if (!windowAlive(hwnd) || hwnd == activeWindow) return;
        old = activeWindow;
        activeWindow = hwnd;
    }
    if (old && IsWindow(old)) callWindow(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (IsWindow(hwnd)) callWindow(hwnd, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
    windowTitleChanged(hwnd);
}

HWND SetActiveWindow(HWND hwnd)
{
    HWND old = GetActiveWindow();
    if (IsWindow(hwnd)) activateWindow(hwnd, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow()
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(activeWindow) ? activeWindow : nullptr;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    if (const RemoteWindows* remote = remoteWindowFor(hwnd)) return remote->foreground(hwnd);
    // Callers may pass the handle with its lowest bit set (a shell convention): strip it.
    hwnd = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hwnd) & ~static_cast<uintptr_t>(1));
    if (!IsWindow(hwnd)) return FALSE;
    BringWindowToTop(topLevelOf(hwnd));
    activateWindow(hwnd, WA_ACTIVE);
    return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetFocus(HWND hwnd)
{
    HWND old;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (hwnd && (!windowAlive(hwnd) || (hwnd->style & WS_DISABLED))) return nullptr;
        old = windowAlive(focusWindow) ? focusWindow : nullptr;
        if (old == hwnd) return old;
        focusWindow = hwnd;
    }
    if (old) callWindow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) {
        HWND top;
        {
            std::lock_guard<std::recursive_mutex> guard(windowLock());
            top = topLevelOf(hwnd);
        }
        if (top != GetActiveWindow()) activateWindow(top, WA_ACTIVE);
        if (GetFocus() == hwnd) callWindow(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus()
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(focusWindow) ? focusWindow : nullptr;
}

HWND SetCapture(HWND hwnd)
{
    HWND old;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        old = windowAlive(captureWindow) ? captureWindow : nullptr;
        captureWindow = windowAlive(hwnd) ? hwnd : nullptr;
    }
    if (old && old != hwnd) callWindow(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture()
{
    HWND old;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        old = windowAlive(captureWindow) ? captureWindow : nullptr;
        captureWindow = nullptr;
    }
    if (old) callWindow(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(captureWindow) ? captureWindow : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR old = currentCursor;
    currentCursor = cursor;
    if (old != cursor) platformCursorChanged(cursor);
    return old;
}

HCURSOR GetCursor() { return currentCursor; }

BOOL GetCursorPos(POINT* point)
{
    if (!point) return FALSE;
    *point = cursorPos;
    return TRUE;
}

UINT GetDoubleClickTime() { return kDoubleClickTime; }

BOOL MessageBeep(UINT type)
{
    platformBeep(type);
    return TRUE;
}

namespace {

// Where the pointer's input at `pt` goes: the window holding the capture,
// else the enabled window under the point (none when it or an owner is
// disabled). Notes the point as the cursor's position.
HWND pointerTarget(POINT pt)
{
    cursorPos = pt;
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (windowAlive(captureWindow)) return captureWindow;
    HWND target = WindowFromPoint(pt);
    return target && enabledChain(target) ? target : nullptr;
}

}  // namespace

void PlatformStylusInput(StylusAction action, int x, int y)
{
    POINT pt{x, y};
    HWND target = pointerTarget(pt);
    if (action == StylusDown) buttonDown = true;
    if (action == StylusUp) buttonDown = false;
    // A scroll bar that follows the stylus gets it in screen coordinates, as
    // non-client messages the default procedure handles.
    if (action != StylusDown && scrollBarWindow) {
        HWND bar = scrollBarWindow;
        if (action == StylusUp) scrollBarWindow = nullptr;
        if (IsWindow(bar)) PostMessage(bar, action == StylusMove ? WM_NCMOUSEMOVE : WM_NCLBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        return;
    }
    if (!target) return;
    if (action != StylusUp && !GetCapture()) callWindow(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, 0));
    int barHit = action == StylusDown && !GetCapture() ? scrollBarHitTest(target, pt) : HTNOWHERE;
    WPARAM keys = buttonDown ? static_cast<WPARAM>(MK_LBUTTON) : 0;
    if (action == StylusMove) {
        postMouse(target, WM_MOUSEMOVE, pt, keys);
        return;
    }
    if (action == StylusUp) {
        postMouse(target, WM_LBUTTONUP, pt, keys);
        return;
    }
    HWND top;
    bool dblclks;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        top = topLevelOf(target);
        dblclks = (target->cls->wc.style & CS_DBLCLKS) != 0;
    }
    if (top != GetActiveWindow() && !(top->exStyle & WS_EX_NOACTIVATE)) activateWindow(top, WA_CLICKACTIVE);
    if (barHit != HTNOWHERE) {
        lastClick.valid = false;
        scrollBarWindow = target;
        PostMessage(target, WM_NCLBUTTONDOWN, static_cast<WPARAM>(barHit), MAKELPARAM(pt.x, pt.y));
        return;
    }
    DWORD now = GetTickCount();
    int slop = screenMetric(SM_CXDOUBLECLK) / 2;
    bool isDouble = dblclks && lastClick.valid && lastClick.hwnd == target && now - lastClick.time <= kDoubleClickTime &&
                    std::abs(pt.x - lastClick.pt.x) <= slop && std::abs(pt.y - lastClick.pt.y) <= slop;
    // A third tap starts a new pair rather than making a second double click.
    lastClick = isDouble ? ClickMemory{} : ClickMemory{target, now, pt, true};
    postMouse(target, isDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, pt, MK_LBUTTON);
}

SHORT GetKeyState(int vk) { return vk >= 0 && vk < 256 && keyDown[vk] ? static_cast<SHORT>(0x8000) : 0; }

void PlatformKeyInput(UINT vk, bool down)
{
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return;
    LPARAM flags = down ? 1 : static_cast<LPARAM>(0xC0000001u);
    PostMessage(target, down ? WM_KEYDOWN : WM_KEYUP, vk, flags);
}

void PlatformTextInput(const char* utf8)
{
    if (!utf8) return;
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return;
    std::string_view text(utf8);
    size_t pos = 0;
    while (pos < text.size()) PostMessage(target, WM_CHAR, utf8Next(text, &pos), 1);
}

void inputNoteKeyMessage(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return;
    keyDown[msg.wParam & 0xFF] = msg.message == WM_KEYDOWN;
}

void PlatformWheelInput(int x, int y, int delta)
{
    POINT pt{x, y};
    HWND target = pointerTarget(pt);
    if (!target || delta == 0) return;
    WPARAM keys = buttonDown ? static_cast<WPARAM>(MK_LBUTTON) : 0;
    PostMessage(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(keys), delta), MAKELPARAM(pt.x, pt.y));
}

namespace {

// The records behind the gesture handles of the last messages: a handler
// reads its own long before this many more gestures arrive.
constexpr uint32_t kGestureRecords = 64;
struct GestureRecord {
    uint32_t sequence = 0;
    GESTUREINFO info{};
};
std::mutex gestureLock;
GestureRecord gestureRecords[kGestureRecords];
uint32_t gestureSequence = 0;
uint32_t gestureInstance = 0;
HWND gestureWindow = nullptr;

}  // namespace

void PlatformZoomGesture(DWORD flags, int x, int y, int distance)
{
    POINT pt{x, y};
    HWND target;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if ((flags & GF_BEGIN) || !windowAlive(gestureWindow)) {
            gestureWindow = WindowFromPoint(pt);
            if (gestureWindow && !enabledChain(gestureWindow)) gestureWindow = nullptr;
            if (flags & GF_BEGIN) ++gestureInstance;
        }
        target = gestureWindow;
        if (flags & GF_END) gestureWindow = nullptr;
    }
    if (!target) return;
    uint32_t sequence;
    {
        std::lock_guard<std::mutex> guard(gestureLock);
        sequence = ++gestureSequence;
        if (sequence == 0) sequence = ++gestureSequence;  // 0 is never a handle
        GestureRecord& record = gestureRecords[sequence % kGestureRecords];
        record.sequence = sequence;
        record.info = GESTUREINFO{};
        record.info.cbSize = sizeof(GESTUREINFO);
        record.info.dwFlags = flags & (GF_BEGIN | GF_END);
        record.info.dwID = GID_ZOOM;
        record.info.hwndTarget = target;
        record.info.ptsLocation = POINTS{static_cast<int16_t>(x), static_cast<int16_t>(y)};
        record.info.dwInstanceID = gestureInstance;
        record.info.dwSequenceID = sequence;
        record.info.ullArguments = static_cast<uint64_t>(std::max(distance, 0));
    }
    PostMessage(target, WM_GESTURE, GID_ZOOM, static_cast<LPARAM>(sequence));
}

BOOL GetGestureInfo(HGESTUREINFO handle, GESTUREINFO* info)
{
    auto sequence = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
    if (!info || sequence == 0) return FALSE;
    std::lock_guard<std::mutex> guard(gestureLock);
    const GestureRecord& record = gestureRecords[sequence % kGestureRecords];
    if (record.sequence != sequence) return FALSE;
    *info = record.info;
    return TRUE;
}

BOOL CloseGestureInfoHandle(HGESTUREINFO handle) { return handle ? TRUE : FALSE; }
