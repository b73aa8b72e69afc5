#pragma once
// List view ("SysListView32"): items with a text, an image, a parameter and a
// state, shown as large icons in a grid (rows, or columns with LVS_ALIGNLEFT
// for a one-row strip scrolled sideways), small icons, a list, or a report
// with columns and a flat header. Items can be owner-drawn (report view) or
// custom-drawn; every state change asks the parent first (LVN_ITEMCHANGING).
#include "platform/base/types.h"
#include "platform/controls/customdraw.h"
#include "platform/controls/imagelist.h"
#include "platform/window/messages.h"

#define WC_LISTVIEW "SysListView32"

// Styles.
enum : DWORD {
    LVS_ICON = 0x0000,
    LVS_REPORT = 0x0001,
    LVS_SMALLICON = 0x0002,
    LVS_LIST = 0x0003,
    LVS_TYPEMASK = 0x0003,
    LVS_SINGLESEL = 0x0004,
    LVS_SHOWSELALWAYS = 0x0008,
    LVS_SORTASCENDING = 0x0010,
    LVS_SORTDESCENDING = 0x0020,
    LVS_SHAREIMAGELISTS = 0x0040,
    LVS_NOLABELWRAP = 0x0080,
    LVS_AUTOARRANGE = 0x0100,
    LVS_EDITLABELS = 0x0200,
    LVS_OWNERDRAWFIXED = 0x0400,
    LVS_ALIGNTOP = 0x0000,
    LVS_ALIGNLEFT = 0x0800,
    LVS_ALIGNMASK = 0x0C00,
    LVS_NOSCROLL = 0x2000,
    LVS_NOCOLUMNHEADER = 0x4000,
    LVS_NOSORTHEADER = 0x8000,
};
enum : DWORD {
    LVS_EX_GRIDLINES = 0x0001,
    LVS_EX_CHECKBOXES = 0x0004,
    LVS_EX_FULLROWSELECT = 0x0020,
};

enum : UINT {
    LVM_FIRST = 0x1000,
    LVM_GETBKCOLOR = LVM_FIRST + 0,
    LVM_SETBKCOLOR = LVM_FIRST + 1,
    LVM_GETIMAGELIST = LVM_FIRST + 2,
    LVM_SETIMAGELIST = LVM_FIRST + 3,
    LVM_GETITEMCOUNT = LVM_FIRST + 4,
    LVM_GETITEM = LVM_FIRST + 5,
    LVM_SETITEM = LVM_FIRST + 6,
    LVM_INSERTITEM = LVM_FIRST + 7,
    LVM_DELETEITEM = LVM_FIRST + 8,
    LVM_DELETEALLITEMS = LVM_FIRST + 9,
    LVM_GETNEXTITEM = LVM_FIRST + 12,
    LVM_FINDITEM = LVM_FIRST + 13,
    LVM_GETITEMRECT = LVM_FIRST + 14,
    LVM_GETITEMPOSITION = LVM_FIRST + 16,
    LVM_GETSTRINGWIDTH = LVM_FIRST + 17,
    LVM_HITTEST = LVM_FIRST + 18,
    LVM_ENSUREVISIBLE = LVM_FIRST + 19,
    LVM_SCROLL = LVM_FIRST + 20,
    LVM_REDRAWITEMS = LVM_FIRST + 21,
    LVM_ARRANGE = LVM_FIRST + 22,
    LVM_GETCOLUMN = LVM_FIRST + 25,
    LVM_SETCOLUMN = LVM_FIRST + 26,
    LVM_INSERTCOLUMN = LVM_FIRST + 27,
    LVM_DELETECOLUMN = LVM_FIRST + 28,
    LVM_GETCOLUMNWIDTH = LVM_FIRST + 29,
    LVM_SETCOLUMNWIDTH = LVM_FIRST + 30,
    LVM_GETHEADER = LVM_FIRST + 31,
    LVM_GETVIEWRECT = LVM_FIRST + 34,
    LVM_GETTEXTCOLOR = LVM_FIRST + 35,
    LVM_SETTEXTCOLOR = LVM_FIRST + 36,
    LVM_GETTEXTBKCOLOR = LVM_FIRST + 37,
    LVM_SETTEXTBKCOLOR = LVM_FIRST + 38,
    LVM_GETTOPINDEX = LVM_FIRST + 39,
    LVM_GETCOUNTPERPAGE = LVM_FIRST + 40,
    LVM_GETORIGIN = LVM_FIRST + 41,
    LVM_UPDATE = LVM_FIRST + 42,
    LVM_SETITEMSTATE = LVM_FIRST + 43,
    LVM_GETITEMSTATE = LVM_FIRST + 44,
    LVM_GETITEMTEXT = LVM_FIRST + 45,
    LVM_SETITEMTEXT = LVM_FIRST + 46,
    LVM_SETITEMCOUNT = LVM_FIRST + 47,
    LVM_SORTITEMS = LVM_FIRST + 48,
    LVM_GETSELECTEDCOUNT = LVM_FIRST + 50,
    LVM_GETITEMSPACING = LVM_FIRST + 51,
    LVM_SETICONSPACING = LVM_FIRST + 53,
    LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54,
    LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55,
    LVM_GETSUBITEMRECT = LVM_FIRST + 56,
    LVM_SUBITEMHITTEST = LVM_FIRST + 57,
    LVM_GETSELECTIONMARK = LVM_FIRST + 66,
    LVM_SETSELECTIONMARK = LVM_FIRST + 67,
};

// Notifications (WM_NOTIFY codes).
enum : UINT {
    LVN_FIRST = static_cast<UINT>(-100),
    LVN_ITEMCHANGING = LVN_FIRST - 0,
    LVN_ITEMCHANGED = LVN_FIRST - 1,
    LVN_INSERTITEM = LVN_FIRST - 2,
    LVN_DELETEITEM = LVN_FIRST - 3,
    LVN_DELETEALLITEMS = LVN_FIRST - 4,
    LVN_COLUMNCLICK = LVN_FIRST - 8,
    LVN_GETDISPINFO = LVN_FIRST - 50,
    LVN_KEYDOWN = LVN_FIRST - 55,
};

// Item fields (LVITEM.mask) and states.
enum : UINT {
    LVIF_TEXT = 0x0001,
    LVIF_IMAGE = 0x0002,
    LVIF_PARAM = 0x0004,
    LVIF_STATE = 0x0008,
    LVIF_INDENT = 0x0010,
    LVIF_DI_SETITEM = 0x1000,
};
enum : UINT {
    LVIS_FOCUSED = 0x0001,
    LVIS_SELECTED = 0x0002,
    LVIS_CUT = 0x0004,
    LVIS_DROPHILITED = 0x0008,
    LVIS_OVERLAYMASK = 0x0F00,
    LVIS_STATEIMAGEMASK = 0xF000,
};
inline constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }


struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    char* pszText;  // UTF-8; LPSTR_TEXTCALLBACK: asked for with LVN_GETDISPINFO
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};

// Columns.
enum : UINT { LVCF_FMT = 0x0001, LVCF_WIDTH = 0x0002, LVCF_TEXT = 0x0004, LVCF_SUBITEM = 0x0008 };
enum : int { LVCFMT_LEFT = 0x0000, LVCFMT_RIGHT = 0x0001, LVCFMT_CENTER = 0x0002, LVCFMT_JUSTIFYMASK = 0x0003 };
enum : int { LVSCW_AUTOSIZE = -1, LVSCW_AUTOSIZE_USEHEADER = -2 };
struct LVCOLUMN {
    UINT mask;
    int fmt;
    int cx;
    char* pszText;
    int cchTextMax;
    int iSubItem;
};

// LVM_GETNEXTITEM flags.
enum : UINT {
    LVNI_ALL = 0x0000,
    LVNI_FOCUSED = 0x0001,
    LVNI_SELECTED = 0x0002,
    LVNI_ABOVE = 0x0100,
    LVNI_BELOW = 0x0200,
    LVNI_TOLEFT = 0x0400,
    LVNI_TORIGHT = 0x0800,
};

// LVM_GETITEMRECT parts (in RECT.left).
enum : int { LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2, LVIR_SELECTBOUNDS = 3 };

// LVM_SETIMAGELIST kinds.
enum : int { LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2 };

// Hit testing.
enum : UINT {
    LVHT_NOWHERE = 0x0001,
    LVHT_ONITEMICON = 0x0002,
    LVHT_ONITEMLABEL = 0x0004,
    LVHT_ONITEMSTATEICON = 0x0008,
    LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON,
    LVHT_ABOVE = 0x0008,
    LVHT_BELOW = 0x0010,
    LVHT_TORIGHT = 0x0020,
    LVHT_TOLEFT = 0x0040,
};
struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
};

// LVM_FINDITEM.
enum : UINT { LVFI_PARAM = 0x0001, LVFI_STRING = 0x0002, LVFI_PARTIAL = 0x0008, LVFI_WRAP = 0x0020 };
struct LVFINDINFO {
    UINT flags;
    const char* psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};

typedef int (*PFNLVCOMPARE)(LPARAM, LPARAM, LPARAM);

// Notification records.
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
// NM_CLICK, NM_DBLCLK and NM_RETURN carry this (iItem -1 when no item was hit).
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};
struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};
struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iSubItem;
};

// ---- Message wrappers ----
inline LRESULT ListViewSend(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
inline int ListView_GetItemCount(HWND l) { return static_cast<int>(ListViewSend(l, LVM_GETITEMCOUNT, 0, 0)); }
inline int ListView_InsertItem(HWND l, const LVITEM* item)
{
    return static_cast<int>(ListViewSend(l, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_SetItem(HWND l, const LVITEM* item)
{
    return static_cast<BOOL>(ListViewSend(l, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_GetItem(HWND l, LVITEM* item)
{
    return static_cast<BOOL>(ListViewSend(l, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_DeleteItem(HWND l, int i) { return static_cast<BOOL>(ListViewSend(l, LVM_DELETEITEM, static_cast<WPARAM>(i), 0)); }
inline BOOL ListView_DeleteAllItems(HWND l) { return static_cast<BOOL>(ListViewSend(l, LVM_DELETEALLITEMS, 0, 0)); }
inline int ListView_GetNextItem(HWND l, int start, UINT flags)
{
    return static_cast<int>(ListViewSend(l, LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
}
inline BOOL ListView_SetItemState(HWND l, int i, UINT state, UINT mask)
{
    LVITEM item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(ListViewSend(l, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
}
inline UINT ListView_GetItemState(HWND l, int i, UINT mask)
{
    return static_cast<UINT>(ListViewSend(l, LVM_GETITEMSTATE, static_cast<WPARAM>(i), static_cast<LPARAM>(mask)));
}
inline void ListView_SetCheckState(HWND l, int i, BOOL checked)
{
    ListView_SetItemState(l, i, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}
inline BOOL ListView_GetCheckState(HWND l, int i) { return ((ListView_GetItemState(l, i, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
inline void ListView_SetItemText(HWND l, int i, int sub, const char* text)
{
    LVITEM item{};
    item.iSubItem = sub;
    item.pszText = const_cast<char*>(text);
    ListViewSend(l, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}
inline BOOL ListView_GetItemRect(HWND l, int i, RECT* r, int code)
{
    if (r) r->left = code;
    return static_cast<BOOL>(ListViewSend(l, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(r)));
}
inline BOOL ListView_EnsureVisible(HWND l, int i, BOOL partialOk)
{
    return static_cast<BOOL>(ListViewSend(l, LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), partialOk));
}
inline int ListView_HitTest(HWND l, LVHITTESTINFO* info)
{
    return static_cast<int>(ListViewSend(l, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(info)));
}
inline HIMAGELIST ListView_SetImageList(HWND l, HIMAGELIST list, int kind)
{
    return reinterpret_cast<HIMAGELIST>(ListViewSend(l, LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
}
inline DWORD ListView_SetIconSpacing(HWND l, int cx, int cy)
{
    return static_cast<DWORD>(ListViewSend(l, LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)));
}
inline int ListView_InsertColumn(HWND l, int i, const LVCOLUMN* column)
{
    return static_cast<int>(ListViewSend(l, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(column)));
}
inline BOOL ListView_SetColumnWidth(HWND l, int i, int cx)
{
    return static_cast<BOOL>(ListViewSend(l, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(cx, 0)));
}
inline int ListView_GetColumnWidth(HWND l, int i) { return static_cast<int>(ListViewSend(l, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0)); }
inline void ListView_SetItemCount(HWND l, int n) { ListViewSend(l, LVM_SETITEMCOUNT, static_cast<WPARAM>(n), 0); }
inline UINT ListView_GetSelectedCount(HWND l) { return static_cast<UINT>(ListViewSend(l, LVM_GETSELECTEDCOUNT, 0, 0)); }
inline int ListView_GetSelectionMark(HWND l) { return static_cast<int>(ListViewSend(l, LVM_GETSELECTIONMARK, 0, 0)); }
inline int ListView_SetSelectionMark(HWND l, int i) { return static_cast<int>(ListViewSend(l, LVM_SETSELECTIONMARK, 0, i)); }
inline int ListView_GetTopIndex(HWND l) { return static_cast<int>(ListViewSend(l, LVM_GETTOPINDEX, 0, 0)); }
inline int ListView_GetCountPerPage(HWND l) { return static_cast<int>(ListViewSend(l, LVM_GETCOUNTPERPAGE, 0, 0)); }
inline BOOL ListView_Scroll(HWND l, int dx, int dy) { return static_cast<BOOL>(ListViewSend(l, LVM_SCROLL, static_cast<WPARAM>(dx), dy)); }
inline BOOL ListView_RedrawItems(HWND l, int first, int last)
{
    return static_cast<BOOL>(ListViewSend(l, LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
}
inline BOOL ListView_Update(HWND l, int i) { return static_cast<BOOL>(ListViewSend(l, LVM_UPDATE, static_cast<WPARAM>(i), 0)); }
inline DWORD ListView_SetExtendedListViewStyle(HWND l, DWORD style)
{
    return static_cast<DWORD>(ListViewSend(l, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

// SendMessage without pulling the whole window header into every user.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT ListViewSend(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessage(list, message, wParam, lParam);
}
