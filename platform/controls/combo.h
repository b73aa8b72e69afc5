#pragma once
// Combo box ("ComboBox"): a field showing the chosen item, with a list that
// drops below it (or above, when the screen has no room below). A
// CBS_DROPDOWNLIST box shows the item as text; a CBS_DROPDOWN box holds an edit
// field (control id 1001) in which any text may be typed. Item texts are UTF-8.
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define WC_COMBOBOX "ComboBox"

enum : DWORD {
    CBS_DROPDOWN = 0x0002,
    CBS_DROPDOWNLIST = 0x0003,
    CBS_TYPEMASK = 0x0003,
    CBS_AUTOHSCROLL = 0x0040,
    CBS_SORT = 0x0100,
    CBS_HASSTRINGS = 0x0200,
    CBS_NOINTEGRALHEIGHT = 0x0400,
};

enum : UINT {
    CB_GETEDITSEL = 0x0140,
    CB_LIMITTEXT = 0x0141,
    CB_SETEDITSEL = 0x0142,
    CB_ADDSTRING = 0x0143,
    CB_DELETESTRING = 0x0144,
    CB_GETCOUNT = 0x0146,
    CB_GETCURSEL = 0x0147,
    CB_GETLBTEXT = 0x0148,
    CB_GETLBTEXTLEN = 0x0149,
    CB_INSERTSTRING = 0x014A,
    CB_RESETCONTENT = 0x014B,
    CB_FINDSTRING = 0x014C,
    CB_SELECTSTRING = 0x014D,
    CB_SETCURSEL = 0x014E,
    CB_SHOWDROPDOWN = 0x014F,
    CB_GETITEMDATA = 0x0150,
    CB_SETITEMDATA = 0x0151,
    CB_GETDROPPEDCONTROLRECT = 0x0152,
    CB_GETITEMHEIGHT = 0x0154,
    CB_GETDROPPEDSTATE = 0x0157,
    CB_FINDSTRINGEXACT = 0x0158,
    CB_GETTOPINDEX = 0x015B,
    CB_GETDROPPEDWIDTH = 0x015F,
    CB_SETDROPPEDWIDTH = 0x0160,
};

enum : LRESULT { CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2 };

// WM_COMMAND codes (HIWORD(wParam)) a combo box sends its parent; lParam is the box.
enum : WORD {
    CBN_SELCHANGE = 1,
    CBN_SETFOCUS = 3,
    CBN_KILLFOCUS = 4,
    CBN_EDITCHANGE = 5,
    CBN_EDITUPDATE = 6,
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8,
    CBN_SELENDOK = 9,
    CBN_SELENDCANCEL = 10,
};
