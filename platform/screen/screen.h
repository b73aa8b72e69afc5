#pragma once
// The device screen: its size and resolution, the task bar at the top (title of
// the active window), the place of the menu bar at the bottom, full-screen mode,
// system metrics and the work area between the bars.
#include "platform/base/types.h"

enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
};
int GetSystemMetrics(int index);

enum : UINT { SPI_GETWORKAREA = 0x0030 };
BOOL SystemParametersInfo(UINT action, UINT param, void* out, UINT winIni);

// Full-screen switches of the shell. The task bar flags show or hide the bar at
// the top; the input-panel button flags show or hide the menu-bar place at the
// bottom (the button lives there on the device).
enum : DWORD {
    SHFS_SHOWTASKBAR = 0x0001,
    SHFS_HIDETASKBAR = 0x0002,
    SHFS_SHOWSIPBUTTON = 0x0004,
    SHFS_HIDESIPBUTTON = 0x0008,
    SHFS_SHOWSTARTICON = 0x0010,
    SHFS_HIDESTARTICON = 0x0020,
};
// A change of the work area is sent to every top-level window as
// WM_SETTINGCHANGE with SPI_SETWORKAREA (see SHHandleWMSettingChange).
BOOL SHFullScreen(HWND hwnd, DWORD flags);

// The "ok" button at the right of the task bar: shown while `hwnd` is the
// active window; a tap on it sends WM_COMMAND IDOK to that window.
enum : DWORD { SHDB_SHOW = 0x0001, SHDB_HIDE = 0x0002 };
BOOL SHDoneButton(HWND hwnd, DWORD state);
bool screenHasDoneButton(HWND hwnd);
RECT screenDoneButtonRect();  // screen coordinates, within the task bar

// A size given at 96 dpi, scaled to the screen: (n * dpi + 48) / 96.
int ScaleForScreen(int n);

// Heights at 96 dpi of the two bars.
constexpr int kTaskBarHeight96 = 26;
constexpr int kMenuBarHeight96 = 26;

// Internal to platform/.
struct ScreenSetup {
    int width = 240;
    int height = 320;
    int dpi = 96;
};
bool screenOpen(const ScreenSetup& setup);
void screenClose();
void screenSize(int* width, int* height);
int screenDpi();
int screenMetric(int index);
RECT screenWorkArea();
RECT screenPreviousWorkArea();  // before the last change (SHFullScreen); empty at first
RECT screenMenuBarPlace();  // empty when hidden
struct Surface;
Surface* screenFramebuffer();  // null while the screen is closed
void screenMarkDirty();
bool screenTakeDirty();
void screenTitleChanged(HWND hwnd);
HWND screenTaskBar();

// Tap-and-hold: called on a stylus-down, it watches the stylus for half a
// second. A lift or a move of more than a few pixels means no gesture (0);
// holding still means the context-menu gesture (GN_CONTEXTMENU). Small moves
// while holding are taken from the queue; the lift or the long move stays in it.
struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;  // client coordinates of hwndClient
    DWORD dwFlags;
};
enum : DWORD { SHRG_RETURNCMD = 0x0001, SHRG_NOTIFYPARENT = 0x0002, SHRG_LONGDELAY = 0x0008 };
enum : DWORD { GN_CONTEXTMENU = 1000 };
constexpr DWORD kTapAndHoldMs = 500;
DWORD SHRecognizeGesture(SHRGINFO* info);
