#pragma once
// Custom drawing: a control that draws items asks its parent, through
// WM_NOTIFY with NM_CUSTOMDRAW, before painting and before each item; the
// parent's answer says whether it wants per-item calls and whether the
// control's own drawing is skipped.
#include "platform/base/types.h"
#include "platform/window/messages.h"

enum : UINT { NM_CUSTOMDRAW = static_cast<UINT>(-12) };

// Draw stages (dwDrawStage).
enum : DWORD {
    CDDS_PREPAINT = 0x00000001,
    CDDS_POSTPAINT = 0x00000002,
    CDDS_PREERASE = 0x00000003,
    CDDS_POSTERASE = 0x00000004,
    CDDS_ITEM = 0x00010000,
    CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
    CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT,
    CDDS_SUBITEM = 0x00020000,
};

// Answers.
enum : LRESULT {
    CDRF_DODEFAULT = 0x00000000,
    CDRF_NEWFONT = 0x00000002,
    CDRF_SKIPDEFAULT = 0x00000004,
    CDRF_NOTIFYPOSTPAINT = 0x00000010,
    CDRF_NOTIFYITEMDRAW = 0x00000020,
    CDRF_NOTIFYSUBITEMDRAW = 0x00000020,
    CDRF_NOTIFYPOSTERASE = 0x00000040,
};

// Item states (uItemState).
enum : UINT {
    CDIS_SELECTED = 0x0001,
    CDIS_GRAYED = 0x0002,
    CDIS_DISABLED = 0x0004,
    CDIS_CHECKED = 0x0008,
    CDIS_FOCUS = 0x0010,
    CDIS_DEFAULT = 0x0020,
    CDIS_HOT = 0x0040,
};

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;  // the item's index
    UINT uItemState;
    LPARAM lItemlParam;
};
