#pragma once
// Tab control ("SysTabControl32"): one row of tabs with text along the top,
// or along the bottom with TCS_BOTTOM; the rest of the control is the display
// area for the page of the selected tab.
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define WC_TABCONTROL "SysTabControl32"

enum : DWORD {
    TCS_BOTTOM = 0x0002,
    TCS_FIXEDWIDTH = 0x0400,
    TCS_FOCUSNEVER = 0x8000,
};

enum : UINT {
    TCM_FIRST = 0x1300,
    TCM_GETITEMCOUNT = TCM_FIRST + 4,
    TCM_GETITEM = TCM_FIRST + 5,
    TCM_SETITEM = TCM_FIRST + 6,
    TCM_INSERTITEM = TCM_FIRST + 7,
    TCM_DELETEITEM = TCM_FIRST + 8,
    TCM_DELETEALLITEMS = TCM_FIRST + 9,
    TCM_GETITEMRECT = TCM_FIRST + 10,
    TCM_GETCURSEL = TCM_FIRST + 11,
    TCM_SETCURSEL = TCM_FIRST + 12,
    TCM_HITTEST = TCM_FIRST + 13,
    TCM_ADJUSTRECT = TCM_FIRST + 40,
    TCM_SETITEMSIZE = TCM_FIRST + 41,
    TCM_GETROWCOUNT = TCM_FIRST + 44,
};

// TCITEM.mask: which fields count.
enum : UINT { TCIF_TEXT = 0x0001, TCIF_IMAGE = 0x0002, TCIF_PARAM = 0x0008 };

struct TCITEM {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    char* pszText;   // UTF-8; for TCM_GETITEM a buffer of cchTextMax bytes
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

enum : UINT { TCHT_NOWHERE = 0x0001, TCHT_ONITEMICON = 0x0002, TCHT_ONITEMLABEL = 0x0004, TCHT_ONITEM = 0x0006 };
struct TCHITTESTINFO {
    POINT pt;     // client coordinates
    UINT flags;   // out
};

// WM_NOTIFY codes. TCN_SELCHANGING comes first; an answer of TRUE keeps the
// old tab. TCN_SELCHANGE follows once the new tab is selected.
enum : UINT {
    TCN_KEYDOWN = static_cast<UINT>(-550),
    TCN_SELCHANGE = static_cast<UINT>(-551),
    TCN_SELCHANGING = static_cast<UINT>(-552),
};
