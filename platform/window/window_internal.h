#pragma once
// Records behind HWND and the state the window modules share. Private to platform/.
#include "platform/sync/thread_id.h"
#include "platform/window/hooks.h"
#include "platform/window/window.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct ClassRec {
    std::string name;
    WNDCLASS wc{};
    HINSTANCE instance = nullptr;
};

// One scroll bar of a window (SetScrollInfo); shown while the style has its WS_ bit.
struct ScrollBarRec {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool disabled = false;
};

struct WindowRec {
    uint32_t magic = 0;
    ClassRec* cls = nullptr;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;        // the desktop for top-level windows
    HWND owner = nullptr;         // top-level windows made with a parent: they live and die with it
    std::vector<HWND> children;   // z-order: front() is the top
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    int id = 0;
    HMENU menu = nullptr;
    std::string text;
    RECT rect{};                  // window rectangle in the parent's client coordinates
    std::vector<uint8_t> extra;   // cbWndExtra bytes
    DWORD threadId = 0;
    RECT update{};                // invalid part of the client area (client coordinates)
    bool erasePending = false;
    bool ncPending = false;
    bool destroying = false;
    ScrollBarRec scroll[2];       // SB_HORZ, SB_VERT
};

constexpr uint32_t kWindowMagic = 0x57494E44;  // "WIND"

// One lock guards the window tree, classes, focus and capture. It is recursive
// because window procedures run while callers may hold it only briefly; we never
// call a window procedure with it held.
std::recursive_mutex& windowLock();

// Valid, not yet freed window (under windowLock).
bool windowAlive(HWND hwnd);
HWND desktopWindow();
bool isTopLevel(HWND hwnd);  // parent is the desktop

// Geometry helpers (under windowLock).
RECT clientRectInWindow(HWND hwnd);    // client area relative to the window's own top-left
POINT clientOriginOnScreen(HWND hwnd);
RECT windowRectOnScreen(HWND hwnd);
bool windowShown(HWND hwnd);           // visible itself and all ancestors
// Part of the screen where the window's client area can draw: its client area
// cut by its ancestors and minus the visible windows above it.
std::vector<RECT> visibleClientRegion(HWND hwnd, bool clipChildren);
std::vector<RECT> visibleWindowRegion(HWND hwnd);
int borderWidth(HWND hwnd);

// Paint bookkeeping (paint.cpp).
void invalidateScreenArea(const RECT& screenRect);  // every window touching it, and the desktop
void invalidateTree(HWND hwnd, const RECT* clientRect, bool erase);
bool findWindowToPaint(DWORD threadId, HWND* out);
void markScreenDirty();

// Thread queues (queue.cpp).
DWORD uiThreadId();
void queueDropWindow(HWND hwnd);
void queueWake(DWORD threadId);

// The loop's turn on the thread that runs the platform (pump.cpp): serves other
// processes and the host (true when something arrived), and shows what was drawn.
bool platformPump(int timeoutMs);
void platformPresent();

// Timers (timers.cpp).
bool timerTakeDue(DWORD threadId, DWORD now, MSG* msg, bool remove);
bool timerNextDue(DWORD threadId, DWORD* due);
void timerDropWindow(HWND hwnd);

// Input state (input.cpp).
void inputDropWindow(HWND hwnd);
void activateWindow(HWND hwnd, WORD how);
void inputNoteKeyMessage(const MSG& msg);  // keeps GetKeyState in step with the queue

// Tells the title listener (hooks.h) that a title or the active window changed.
void windowTitleChanged(HWND hwnd);
// Tells the window-gone listener (hooks.h) that a window is about to be freed.
void windowGone(HWND hwnd);
// The hooks for a window of another process when hwnd is one, else null.
const RemoteWindows* remoteWindowFor(HWND hwnd);
HWND findRemoteWindow(const char* className, const char* title);
bool serveRemoteWindows();

// Scroll bars (scrollbars.cpp). The hit test takes screen coordinates and
// answers HTHSCROLL, HTVSCROLL or HTNOWHERE; after a tap on a bar the router
// sends the window WM_NCLBUTTONDOWN and then, until the stylus comes up,
// WM_NCMOUSEMOVE and WM_NCLBUTTONUP, which the default procedure passes to
// scrollBarStylus.
int scrollBarHitTest(HWND hwnd, POINT screen);
LRESULT scrollBarStylus(HWND hwnd, UINT message, WPARAM hit, LPARAM screenPoint);
void paintScrollBars(HWND hwnd, HDC windowDC);
// After a change of WS_HSCROLL/WS_VSCROLL: redraws the window and tells it its new client size.
void windowFrameChanged(HWND hwnd);

// Calls a window procedure; tolerates windows destroyed on the way.
LRESULT callWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
