#pragma once
// Windows, window classes, messages, timers, painting and input focus.
// Windows belong to the thread that creates them; every thread has its own
// message queue, and only the thread that started the platform draws.
#include "platform/base/types.h"
#include "platform/window/messages.h"

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;  // bytes of extra window words, reached through Get/SetWindowLongPtr at offsets >= 0
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;  // a brush, or (HBRUSH)(COLOR_xxx + 1), or null for none
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct CREATESTRUCT {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// WM_COPYDATA: lParam points at this record; the data is valid during the call only.
struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    void* lpData;
};

// Classes.
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* out);
int GetClassName(HWND hwnd, char* buffer, int capacity);

// Creation and the window tree.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param);
inline HWND CreateWindow(const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menuOrId, HINSTANCE instance, void* param)
{
    return CreateWindowEx(0, className, title, style, x, y, width, height, parent, menuOrId, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
// Finds a top-level window by class and/or title (null matches any). When this
// process has none, asks a running instance (see platform/instance).
HWND FindWindow(const char* className, const char* title);
typedef BOOL (*WNDENUMPROC)(HWND, LPARAM);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);

// Visibility, position and size. Child positions are relative to the parent's
// client area, top-level positions are screen coordinates.
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsWindowVisible(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* rect);   // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);   // (0, 0, width, height)
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
HWND WindowFromPoint(POINT screenPoint);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);

// Window words, text, state.
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
BOOL SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int capacity);
int GetWindowTextLength(HWND hwnd);
BOOL SetDlgItemText(HWND parent, int id, const char* text);
UINT GetDlgItemText(HWND parent, int id, char* buffer, int capacity);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns whether it was disabled before
BOOL IsWindowEnabled(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND GetDesktopWindow();
// Whether a key is down: the high bit (a negative value) while it is held.
SHORT GetKeyState(int virtualKey);

// Messages.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);  // 0 on WM_QUIT, -1 on error
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL WaitMessage();
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The default procedure of dialogs; WM_CLOSE becomes the Cancel command.
LRESULT DefDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
DWORD GetMessageTime();
BOOL InSendMessage();

// Timers (milliseconds of the platform clock; WM_TIMER carries the id in wParam).
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Milliseconds since the platform started; on the headless back end a virtual
// clock that only moves when told to or when a message loop waits for a timer.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// Painting.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);  // null rect: the whole client area
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);      // client area; null window: the whole screen
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// Cursors and sound.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(POINT* point);
BOOL MessageBeep(UINT type);
UINT GetDoubleClickTime();

// Window procedures as tables of (message, handler) pairs.
#include "platform/window/message_map.h"
