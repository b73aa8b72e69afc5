#pragma once
// Tree view ("SysTreeView32"): a hierarchy of items with text, images and
// lazily known children, expanded and collapsed by stylus, keys or messages.
// Items are HTREEITEM handles owned by the control; a handle stays valid until
// its item is deleted, and the control ignores handles of deleted items.
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define WC_TREEVIEW "SysTreeView32"

struct TreeItemRec;
typedef TreeItemRec* HTREEITEM;
#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0xFFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0xFFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0xFFFD)))

// Styles.
enum : DWORD {
    TVS_HASBUTTONS = 0x0001,
    TVS_HASLINES = 0x0002,
    TVS_LINESATROOT = 0x0004,
    TVS_DISABLEDRAGDROP = 0x0010,
    TVS_SHOWSELALWAYS = 0x0020,
    TVS_TRACKSELECT = 0x0200,
};

// Which fields of a TVITEM count.
enum : UINT {
    TVIF_TEXT = 0x0001,
    TVIF_IMAGE = 0x0002,
    TVIF_PARAM = 0x0004,
    TVIF_STATE = 0x0008,
    TVIF_HANDLE = 0x0010,
    TVIF_SELECTEDIMAGE = 0x0020,
    TVIF_CHILDREN = 0x0040,
    TVIF_DI_SETITEM = 0x1000,  // in a TVN_GETDISPINFO answer: keep the answer, do not ask again
};

// Item states.
enum : UINT {
    TVIS_SELECTED = 0x0002,
    TVIS_CUT = 0x0004,
    TVIS_DROPHILITED = 0x0008,
    TVIS_BOLD = 0x0010,
    TVIS_EXPANDED = 0x0020,
    TVIS_EXPANDEDONCE = 0x0040,
};

// Fields the parent supplies on demand through TVN_GETDISPINFO: text and
// pictures as in controls.h, and whether the item has children.
constexpr int I_CHILDRENCALLBACK = -1;

struct TVITEM {
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    char* pszText;   // UTF-8; LPSTR_TEXTCALLBACK to ask the parent
    int cchTextMax;  // bytes of the buffer, terminating zero included
    int iImage;
    int iSelectedImage;
    int cChildren;   // 0, 1, or I_CHILDRENCALLBACK
    LPARAM lParam;
};

struct TVINSERTSTRUCT {
    HTREEITEM hParent;      // TVI_ROOT or null for a top-level item
    HTREEITEM hInsertAfter; // TVI_FIRST, TVI_LAST, TVI_SORT or a sibling
    TVITEM item;
};

enum : UINT {
    TV_FIRST = 0x1100,
    TVM_INSERTITEM = TV_FIRST + 0,
    TVM_DELETEITEM = TV_FIRST + 1,
    TVM_EXPAND = TV_FIRST + 2,
    TVM_GETITEMRECT = TV_FIRST + 4,
    TVM_GETCOUNT = TV_FIRST + 5,
    TVM_GETINDENT = TV_FIRST + 6,
    TVM_SETINDENT = TV_FIRST + 7,
    TVM_GETIMAGELIST = TV_FIRST + 8,
    TVM_SETIMAGELIST = TV_FIRST + 9,
    TVM_GETNEXTITEM = TV_FIRST + 10,
    TVM_SELECTITEM = TV_FIRST + 11,
    TVM_GETITEM = TV_FIRST + 12,
    TVM_SETITEM = TV_FIRST + 13,
    TVM_GETVISIBLECOUNT = TV_FIRST + 16,
    TVM_HITTEST = TV_FIRST + 17,
    TVM_SORTCHILDREN = TV_FIRST + 19,
    TVM_ENSUREVISIBLE = TV_FIRST + 20,
    TVM_SORTCHILDRENCB = TV_FIRST + 21,
    TVM_SETITEMHEIGHT = TV_FIRST + 27,
    TVM_GETITEMHEIGHT = TV_FIRST + 28,
};

// TVM_EXPAND actions (also NMTREEVIEW::action of the expansion notifications).
enum : UINT {
    TVE_COLLAPSE = 0x0001,
    TVE_EXPAND = 0x0002,
    TVE_TOGGLE = 0x0003,
    TVE_COLLAPSERESET = 0x8000,  // with TVE_COLLAPSE: also delete the children
};

// TVM_GETNEXTITEM relations (TVM_SELECTITEM takes CARET, FIRSTVISIBLE and DROPHILITE).
enum : WPARAM {
    TVGN_ROOT = 0x0000,
    TVGN_NEXT = 0x0001,
    TVGN_PREVIOUS = 0x0002,
    TVGN_PARENT = 0x0003,
    TVGN_CHILD = 0x0004,
    TVGN_FIRSTVISIBLE = 0x0005,
    TVGN_NEXTVISIBLE = 0x0006,
    TVGN_PREVIOUSVISIBLE = 0x0007,
    TVGN_DROPHILITE = 0x0008,
    TVGN_CARET = 0x0009,
    TVGN_LASTVISIBLE = 0x000A,
};

// TVM_SETIMAGELIST / TVM_GETIMAGELIST.
enum : WPARAM { TVSIL_NORMAL = 0, TVSIL_STATE = 2 };

// TVM_HITTEST.
enum : UINT {
    TVHT_NOWHERE = 0x0001,
    TVHT_ONITEMICON = 0x0002,
    TVHT_ONITEMLABEL = 0x0004,
    TVHT_ONITEMINDENT = 0x0008,
    TVHT_ONITEMBUTTON = 0x0010,
    TVHT_ONITEMRIGHT = 0x0020,
    TVHT_ONITEMSTATEICON = 0x0040,
    TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON,
    TVHT_ABOVE = 0x0100,
    TVHT_BELOW = 0x0200,
    TVHT_TORIGHT = 0x0400,
    TVHT_TOLEFT = 0x0800,
};
struct TVHITTESTINFO {
    POINT pt;  // client coordinates
    UINT flags;
    HTREEITEM hItem;
};

// TVM_SORTCHILDRENCB: compare(lParam of one item, lParam of the other, lParamSort).
typedef int (*PFNTVCOMPARE)(LPARAM, LPARAM, LPARAM);
struct TVSORTCB {
    HTREEITEM hParent;
    PFNTVCOMPARE lpfnCompare;
    LPARAM lParam;
};

// Notifications (WM_NOTIFY to the parent).
enum : UINT {
    TVN_SELCHANGING = static_cast<UINT>(-401),  // answer TRUE to refuse
    TVN_SELCHANGED = static_cast<UINT>(-402),
    TVN_GETDISPINFO = static_cast<UINT>(-403),
    TVN_ITEMEXPANDING = static_cast<UINT>(-405),  // answer TRUE to refuse
    TVN_ITEMEXPANDED = static_cast<UINT>(-406),
    TVN_BEGINDRAG = static_cast<UINT>(-407),
    TVN_DELETEITEM = static_cast<UINT>(-409),
    TVN_KEYDOWN = static_cast<UINT>(-412),
};
// How a selection change came about (NMTREEVIEW::action of TVN_SELCHANGING/ED).
enum : UINT { TVC_UNKNOWN = 0, TVC_BYMOUSE = 1, TVC_BYKEYBOARD = 2 };

struct NMTREEVIEW {
    NMHDR hdr;
    UINT action;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag;
};
struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};
struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
