#pragma once
// Owner drawing: a control with an owner-drawn style asks its parent for the
// height of its items (WM_MEASUREITEM) and has the parent draw each one
// (WM_DRAWITEM); wParam of both is the control's id.
#include "platform/base/types.h"

enum : UINT { ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_LISTVIEW = 102 };
enum : UINT { ODA_DRAWENTIRE = 0x0001, ODA_SELECT = 0x0002, ODA_FOCUS = 0x0004 };
enum : UINT {
    ODS_SELECTED = 0x0001,
    ODS_GRAYED = 0x0002,
    ODS_DISABLED = 0x0004,
    ODS_CHECKED = 0x0008,
    ODS_FOCUS = 0x0010,
};

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;  // the parent sets it
    ULONG_PTR itemData;
};

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
