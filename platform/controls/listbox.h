#pragma once
// List box ("ListBox"): a column of text items, one selected (or several with
// LBS_MULTIPLESEL / LBS_EXTENDEDSEL), scrolled by its own vertical scroll bar
// when made with WS_VSCROLL.
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define WC_LISTBOX "ListBox"

enum : DWORD {
    LBS_NOTIFY = 0x0001,            // LBN_ codes to the parent
    LBS_SORT = 0x0002,              // LB_ADDSTRING keeps the items in order, ignoring case
    LBS_MULTIPLESEL = 0x0008,       // a tap turns an item's selection on or off
    LBS_HASSTRINGS = 0x0040,
    LBS_NOINTEGRALHEIGHT = 0x0100,  // otherwise the height is cut to whole items
    LBS_EXTENDEDSEL = 0x0800,       // a tap selects one item, a drag a run of them
    LBS_DISABLENOSCROLL = 0x1000,   // the scroll bar stays, disabled, when all items fit
    LBS_STANDARD = 0x00A00003,      // LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER
};

enum : UINT {
    LB_ADDSTRING = 0x0180,
    LB_INSERTSTRING = 0x0181,  // wParam index, -1 for the end
    LB_DELETESTRING = 0x0182,  // returns the items left
    LB_RESETCONTENT = 0x0184,
    LB_SETSEL = 0x0185,        // multiple selection: wParam on/off, lParam index (-1: all)
    LB_SETCURSEL = 0x0186,     // single selection: wParam index (-1: none)
    LB_GETSEL = 0x0187,
    LB_GETCURSEL = 0x0188,     // the selected item; with multiple selection the focused one
    LB_GETTEXT = 0x0189,       // lParam: a buffer of LB_GETTEXTLEN + 1 bytes
    LB_GETTEXTLEN = 0x018A,
    LB_GETCOUNT = 0x018B,
    LB_SELECTSTRING = 0x018C,  // wParam: search after this index (-1: from the start)
    LB_GETTOPINDEX = 0x018E,
    LB_FINDSTRING = 0x018F,    // the first item starting with the text, ignoring case
    LB_GETSELCOUNT = 0x0190,
    LB_GETSELITEMS = 0x0191,   // wParam capacity, lParam int array
    LB_SETTOPINDEX = 0x0197,
    LB_GETITEMRECT = 0x0198,
    LB_GETITEMDATA = 0x0199,
    LB_SETITEMDATA = 0x019A,
    LB_SELITEMRANGE = 0x019B,  // wParam on/off, lParam MAKELPARAM(first, last)
    LB_GETANCHORINDEX = 0x019D,
    LB_SETCARETINDEX = 0x019E,
    LB_GETCARETINDEX = 0x019F,
    LB_SETITEMHEIGHT = 0x01A0,
    LB_GETITEMHEIGHT = 0x01A1,
    LB_FINDSTRINGEXACT = 0x01A2,  // the whole text, ignoring case
    LB_ITEMFROMPOINT = 0x01A9,    // returns MAKELONG(index, 1 when outside the items)
};
enum : int { LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2 };

// WM_COMMAND codes (with LBS_NOTIFY).
enum : WORD { LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5 };
