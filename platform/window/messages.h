#pragma once
// Message numbers, styles and key codes, with the values the program and its
// stored settings use.
#include "platform/base/types.h"

enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_SETTINGCHANGE = 0x001A,
    WM_SETCURSOR = 0x0020,
    WM_MEASUREITEM = 0x002C,
    WM_DRAWITEM = 0x002B,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_COPYDATA = 0x004A,
    WM_NOTIFY = 0x004E,
    WM_NCCREATE = 0x0081,
    WM_NCDESTROY = 0x0082,
    WM_NCPAINT = 0x0085,
    WM_GETDLGCODE = 0x0087,
    WM_NCMOUSEMOVE = 0x00A0,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_INITMENUPOPUP = 0x0117,
    WM_GESTURE = 0x0119,
    WM_CTLCOLOREDIT = 0x0133,
    WM_CTLCOLORLISTBOX = 0x0134,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_MOUSEWHEEL = 0x020A,
    WM_CAPTURECHANGED = 0x0215,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};
enum : UINT {
    WM_KEYFIRST = WM_KEYDOWN,
    WM_KEYLAST = 0x0109,
    WM_MOUSEFIRST = WM_MOUSEMOVE,
    WM_MOUSELAST = 0x020D,
};

// WM_ACTIVATE
enum : WORD { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
// WM_SIZE
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
// WM_MOUSEWHEEL: the wheel's turn in HIWORD(wParam), WHEEL_DELTA a notch,
// positive away from the user; the pointer in screen coordinates in lParam.
constexpr int WHEEL_DELTA = 120;
inline constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<int16_t>((w >> 16) & 0xFFFF); }

// WM_GESTURE: the gesture id in wParam, a gesture handle in lParam that
// GetGestureInfo reads. Only the two-finger zoom is delivered: ullArguments
// is the distance between the fingers in pixels, ptsLocation their centre
// on the screen; the first message of a gesture has GF_BEGIN, the last GF_END.
enum : DWORD { GID_BEGIN = 1, GID_END = 2, GID_ZOOM = 3 };
enum : DWORD { GF_BEGIN = 1, GF_INERTIA = 2, GF_END = 4 };
struct POINTS {
    int16_t x;
    int16_t y;
};
using HGESTUREINFO = struct GestureInfoHandle*;
struct GESTUREINFO {
    UINT cbSize;
    DWORD dwFlags;
    DWORD dwID;
    HWND hwndTarget;
    POINTS ptsLocation;
    DWORD dwInstanceID;
    DWORD dwSequenceID;
    uint64_t ullArguments;
    UINT cbExtraArgs;
};
// False for a handle that is not (or no longer) known: the platform keeps
// the last few gestures' records.
BOOL GetGestureInfo(HGESTUREINFO handle, GESTUREINFO* info);
BOOL CloseGestureInfoHandle(HGESTUREINFO handle);

// Mouse key state in wParam.
enum : WPARAM { MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008 };

// Window styles.
enum : DWORD {
    WS_OVERLAPPED = 0x00000000,
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_SYSMENU = 0x00080000,
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
};
// Extended styles.
enum : DWORD {
    WS_EX_DLGMODALFRAME = 0x00000001,
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_CLIENTEDGE = 0x00000200,
    WS_EX_NOACTIVATE = 0x08000000,
};
// Class styles.
enum : UINT {
    CS_VREDRAW = 0x0001,
    CS_HREDRAW = 0x0002,
    CS_DBLCLKS = 0x0008,
    CS_PARENTDC = 0x0080,
    CS_NOCLOSE = 0x0200,
    CS_GLOBALCLASS = 0x4000,
};

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ShowWindow commands.
enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_MAXIMIZE = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
};

// GetWindowLong indices.
enum : int {
    GWL_WNDPROC = -4,
    GWL_HINSTANCE = -6,
    GWL_HWNDPARENT = -8,
    GWL_STYLE = -16,
    GWL_EXSTYLE = -20,
    GWL_USERDATA = -21,
    GWL_ID = -12,
    GWLP_WNDPROC = -4,
    GWLP_USERDATA = -21,
    GWLP_ID = -12,
};

// GetWindow relations.
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5 };

// SetWindowPos.
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<intptr_t>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-2)))
#define HWND_BROADCAST (reinterpret_cast<HWND>(static_cast<intptr_t>(0xFFFF)))
enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010,
    SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080,
};

// PeekMessage.
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002 };

// RedrawWindow.
enum : UINT {
    RDW_INVALIDATE = 0x0001,
    RDW_ERASE = 0x0004,
    RDW_VALIDATE = 0x0008,
    RDW_NOERASE = 0x0020,
    RDW_ALLCHILDREN = 0x0080,
    RDW_UPDATENOW = 0x0100,
};

// Virtual keys.
enum : UINT {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F4 = 0x73,
};

// MessageBeep kinds and message-box icons (the boxes come with the dialogs).
enum : UINT {
    MB_OK = 0x0000,
    MB_ICONHAND = 0x0010,
    MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030,
    MB_ICONASTERISK = 0x0040,
    MB_ICONERROR = MB_ICONHAND,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONINFORMATION = MB_ICONASTERISK,
};

// Command identifiers of dialogs.
enum : int { IDOK = 1, IDCANCEL = 2 };

// WM_NOTIFY: lParam points at this header (controls extend it).
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

// Hit codes of WM_SETCURSOR and of the non-client stylus messages.
enum : int { HTNOWHERE = 0, HTCLIENT = 1, HTHSCROLL = 6, HTVSCROLL = 7 };
