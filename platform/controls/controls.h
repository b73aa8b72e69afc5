#pragma once
// Controls: window classes with their messages, styles and notifications,
// drawn in the flat Pocket PC style. InitCommonControls (or ...Ex) registers
// every class; registering again is harmless.
#include "platform/base/types.h"
#include "platform/window/messages.h"
#include "platform/controls/customdraw.h"
#include "platform/controls/imagelist.h"
#include "platform/controls/ownerdraw.h"

#include "platform/controls/combo.h"
#include "platform/controls/edit.h"

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
enum : DWORD {
    ICC_LISTVIEW_CLASSES = 0x0001,
    ICC_TREEVIEW_CLASSES = 0x0002,
    ICC_BAR_CLASSES = 0x0004,
    ICC_PROGRESS_CLASS = 0x0020,
    ICC_WIN95_CLASSES = 0x00FF,
};
void InitCommonControls();
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// Class names.
#define WC_BUTTON "Button"
#define WC_STATIC "Static"
#define PROGRESS_CLASS "msctls_progress32"
#define TRACKBAR_CLASS "msctls_trackbar32"

// Notification header codes shared by the common controls (WM_NOTIFY).
enum : UINT {
    NM_CLICK = static_cast<UINT>(-2),
    NM_DBLCLK = static_cast<UINT>(-3),
    NM_RETURN = static_cast<UINT>(-4),
    NM_SETFOCUS = static_cast<UINT>(-7),
    NM_KILLFOCUS = static_cast<UINT>(-8),
};

// ---- Buttons ("Button") ----
enum : DWORD {
    BS_PUSHBUTTON = 0x0000,
    BS_DEFPUSHBUTTON = 0x0001,
    BS_CHECKBOX = 0x0002,
    BS_AUTOCHECKBOX = 0x0003,
    BS_RADIOBUTTON = 0x0004,
    BS_3STATE = 0x0005,
    BS_AUTO3STATE = 0x0006,
    BS_GROUPBOX = 0x0007,
    BS_AUTORADIOBUTTON = 0x0009,
    BS_OWNERDRAW = 0x000B,
    BS_TYPEMASK = 0x000F,
    BS_LEFTTEXT = 0x0020,
    BS_PUSHLIKE = 0x1000,
    BS_NOTIFY = 0x4000,
};
enum : UINT {
    BM_GETCHECK = 0x00F0,
    BM_SETCHECK = 0x00F1,
    BM_GETSTATE = 0x00F2,
    BM_SETSTATE = 0x00F3,
    BM_SETSTYLE = 0x00F4,
    BM_CLICK = 0x00F5,
};
enum : UINT {
    BST_UNCHECKED = 0x0000,
    BST_CHECKED = 0x0001,
    BST_INDETERMINATE = 0x0002,
    BST_PUSHED = 0x0004,
    BST_FOCUS = 0x0008,
};
// WM_COMMAND codes (HIWORD(wParam)); lParam is the button.
enum : WORD { BN_CLICKED = 0, BN_SETFOCUS = 6, BN_KILLFOCUS = 7 };
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks `check` and clears the other buttons with ids first..last.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

// ---- Static text and pictures ("Static") ----
enum : DWORD {
    SS_LEFT = 0x0000,
    SS_CENTER = 0x0001,
    SS_RIGHT = 0x0002,
    SS_BLACKRECT = 0x0004,
    SS_GRAYRECT = 0x0005,
    SS_WHITERECT = 0x0006,
    SS_LEFTNOWORDWRAP = 0x000C,
    SS_BITMAP = 0x000E,
    SS_TYPEMASK = 0x001F,
    SS_NOPREFIX = 0x0080,
    SS_NOTIFY = 0x0100,
    SS_CENTERIMAGE = 0x0200,
};
enum : UINT { STM_SETIMAGE = 0x0172, STM_GETIMAGE = 0x0173 };
enum : WPARAM { IMAGE_BITMAP = 0 };
enum : WORD { STN_CLICKED = 0 };

// ---- Progress bar ("msctls_progress32") ----
enum : DWORD { PBS_SMOOTH = 0x01, PBS_VERTICAL = 0x04 };
enum : UINT {
    PBM_SETRANGE = WM_USER + 1,
    PBM_SETPOS = WM_USER + 2,
    PBM_DELTAPOS = WM_USER + 3,
    PBM_SETSTEP = WM_USER + 4,
    PBM_STEPIT = WM_USER + 5,
    PBM_SETRANGE32 = WM_USER + 6,
    PBM_GETRANGE = WM_USER + 7,
    PBM_GETPOS = WM_USER + 8,
};
struct PBRANGE {
    int iLow;
    int iHigh;
};

// ---- Track bar ("msctls_trackbar32") ----
enum : DWORD {
    TBS_HORZ = 0x0000,
    TBS_AUTOTICKS = 0x0001,
    TBS_VERT = 0x0002,
    TBS_TOP = 0x0004,
    TBS_BOTH = 0x0008,
    TBS_NOTICKS = 0x0010,
};
enum : UINT {
    TBM_GETPOS = WM_USER,
    TBM_GETRANGEMIN = WM_USER + 1,
    TBM_GETRANGEMAX = WM_USER + 2,
    TBM_SETPOS = WM_USER + 5,
    TBM_SETRANGE = WM_USER + 6,
    TBM_SETRANGEMIN = WM_USER + 7,
    TBM_SETRANGEMAX = WM_USER + 8,
    TBM_SETTICFREQ = WM_USER + 20,
    TBM_SETPAGESIZE = WM_USER + 21,
    TBM_GETPAGESIZE = WM_USER + 22,
    TBM_SETLINESIZE = WM_USER + 23,
    TBM_GETLINESIZE = WM_USER + 24,
    TBM_GETTHUMBRECT = WM_USER + 25,
    TBM_GETCHANNELRECT = WM_USER + 26,
};
// Scroll codes of the WM_HSCROLL/WM_VSCROLL a track bar sends its parent
// (LOWORD(wParam); HIWORD is the position for the thumb codes; lParam the track bar).
enum : WORD {
    TB_LINEUP = 0,
    TB_LINEDOWN = 1,
    TB_PAGEUP = 2,
    TB_PAGEDOWN = 3,
    TB_THUMBPOSITION = 4,
    TB_THUMBTRACK = 5,
    TB_TOP = 6,
    TB_BOTTOM = 7,
    TB_ENDTRACK = 8,
};
