#pragma once
// Up-down control ("msctls_updown32"): two arrows that step a number, usually
// beside a buddy window whose text shows it (UDS_SETBUDDYINT).
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define UPDOWN_CLASS "msctls_updown32"

enum : DWORD {
    UDS_WRAP = 0x0001,         // past one end to the other
    UDS_SETBUDDYINT = 0x0002,  // the buddy's text is the position
    UDS_ALIGNRIGHT = 0x0004,   // sits at the buddy's right edge, the buddy narrowed by its width
    UDS_ALIGNLEFT = 0x0008,
    UDS_AUTOBUDDY = 0x0010,    // the previous sibling becomes the buddy
    UDS_ARROWKEYS = 0x0020,    // Up and Down in the buddy step the position
    UDS_HORZ = 0x0040,         // arrows side by side; WM_HSCROLL instead of WM_VSCROLL
    UDS_NOTHOUSANDS = 0x0080,  // no thousands separators in the buddy's text
};

enum : UINT {
    UDM_SETRANGE = WM_USER + 101,  // lParam MAKELPARAM(upper, lower)
    UDM_GETRANGE = WM_USER + 102,  // returns MAKELONG(upper, lower)
    UDM_SETPOS = WM_USER + 103,    // lParam LOWORD: the position; returns the old one
    UDM_GETPOS = WM_USER + 104,    // returns MAKELONG(position, nonzero when the buddy's text is no number in range)
    UDM_SETBUDDY = WM_USER + 105,  // returns the old buddy
    UDM_GETBUDDY = WM_USER + 106,
    UDM_SETRANGE32 = WM_USER + 111,  // wParam lower, lParam upper
    UDM_GETRANGE32 = WM_USER + 112,  // wParam int* lower, lParam int* upper
    UDM_SETPOS32 = WM_USER + 113,    // lParam the position; returns the old one
    UDM_GETPOS32 = WM_USER + 114,    // lParam BOOL* set when the buddy's text is no number in range
};

// UDN_DELTAPOS (WM_NOTIFY) before every step taken by tap or key: answering
// nonzero refuses the step. WM_VSCROLL (WM_HSCROLL with UDS_HORZ) follows with
// SB_THUMBPOSITION and the new position in HIWORD(wParam), then SB_ENDSCROLL
// when the stylus or key comes up; lParam is the up-down control.
enum : UINT { UDN_DELTAPOS = static_cast<UINT>(-722) };
struct NMUPDOWN {
    NMHDR hdr;
    int iPos;    // the position before the step
    int iDelta;  // the proposed step
};
