#pragma once
// Scroll bars of a window: strips outside the client area along the right
// (WS_VSCROLL) and bottom (WS_HSCROLL) edges. Taps on them reach the window
// itself as WM_VSCROLL / WM_HSCROLL with lParam 0.
#include "platform/base/types.h"

enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };

// Codes in LOWORD(wParam) of WM_HSCROLL and WM_VSCROLL; HIWORD is the position
// for SB_THUMBTRACK and SB_THUMBPOSITION (GetScrollInfo with SIF_TRACKPOS gives
// it unclipped to 16 bits).
enum : WORD {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

enum : UINT {
    SIF_RANGE = 0x0001,
    SIF_PAGE = 0x0002,
    SIF_POS = 0x0004,
    SIF_DISABLENOSCROLL = 0x0008,
    SIF_TRACKPOS = 0x0010,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS,
};

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};

enum : UINT { ESB_ENABLE_BOTH = 0x0000, ESB_DISABLE_BOTH = 0x0003 };

// Sets the parts named by fMask; the page is kept within the range and the
// position within min .. max - page + 1. A bar whose whole range fits in one
// page is hidden, or only disabled with SIF_DISABLENOSCROLL; a bar with more
// to show appears. Returns the position.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);  // returns the old position
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
