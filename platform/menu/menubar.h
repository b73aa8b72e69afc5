#pragma once
// The menu bar of the Pocket PC shell: a strip in the menu-bar place at the
// bottom of the screen with text buttons that drop a menu up above the bar and
// tool buttons with images that send their command. It is a tool bar: the
// TB_ messages read and change its buttons and their states.
#include "platform/base/types.h"
#include "platform/menu/menu.h"
#include "platform/window/messages.h"

typedef intptr_t INT_PTR;

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;      // hears WM_COMMAND and WM_INITMENUPOPUP; owns the bar
    DWORD dwFlags;        // SHCMBF_
    UINT nToolBarId;      // menu-bar resource (a menu resource with SHCMBF_HMENU)
    HINSTANCE hInstRes;
    int nBmpId;           // bitmap resource holding cBmpImages images side by side, or 0
    int cBmpImages;
    HWND hwndMB;          // the bar, on return
    COLORREF clrBk;       // background with SHCMBF_COLORBK
};
enum : DWORD {
    SHCMBF_EMPTYBAR = 0x0001,        // no buttons; nToolBarId is not read
    SHCMBF_HIDDEN = 0x0002,          // made hidden
    SHCMBF_HIDESIPBUTTON = 0x0004,   // no input-panel button at the right end
    SHCMBF_COLORBK = 0x0008,
    SHCMBF_HMENU = 0x0010,           // nToolBarId names a menu: one button per top-level item
};
// Makes the bar in the menu-bar place; FALSE (and hwndMB null) when the
// resource does not exist. The bar is owned by hwndParent and dies with it.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

enum : UINT {
    SHCMBM_SETSUBMENU = WM_USER + 400,  // wParam command of a drop-down button, lParam HMENU: returns the old one
    SHCMBM_GETSUBMENU = WM_USER + 401,  // lParam command of a drop-down button: its menu
    SHCMBM_GETMENU = WM_USER + 402,     // the bar's menu (whose pop-ups the buttons drop down)
};

// ---- Menu-bar resources ----
// One row a button: image index (I_IMAGENONE for a text button), command,
// TBSTATE_ and TBSTYLE_ bits, the text of a text button, and the position of
// the pop-up of the bar's menu that the button drops down (NOMENU for none).
constexpr int I_IMAGENONE = -2;
constexpr int NOMENU = 0xFFFF;
struct MenuBarButtonTemplate {
    int image;
    UINT command;
    BYTE state;
    BYTE style;
    const char* text;
    int subMenu;
};
struct MenuBarResource {
    int id;
    int menuId;  // the menu resource of the drop-down menus, or 0
    const MenuBarButtonTemplate* buttons;
    int count;
};
void RegisterMenuBars(const MenuBarResource* bars, int count);

// ---- Tool-bar buttons and messages ----
enum : BYTE {
    TBSTATE_CHECKED = 0x01,
    TBSTATE_PRESSED = 0x02,
    TBSTATE_ENABLED = 0x04,
    TBSTATE_HIDDEN = 0x08,
    TBSTATE_INDETERMINATE = 0x10,
};
enum : BYTE {
    TBSTYLE_BUTTON = 0x00,
    TBSTYLE_SEP = 0x01,
    TBSTYLE_CHECK = 0x02,
    TBSTYLE_GROUP = 0x04,
    TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK,
    TBSTYLE_DROPDOWN = 0x08,
    TBSTYLE_AUTOSIZE = 0x10,
};
struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;  // index in the bar's string list, -1 for none
};
enum : DWORD {
    TBIF_IMAGE = 0x0001,
    TBIF_TEXT = 0x0002,
    TBIF_STATE = 0x0004,
    TBIF_STYLE = 0x0008,
    TBIF_LPARAM = 0x0010,
    TBIF_COMMAND = 0x0020,
    TBIF_SIZE = 0x0040,
    TBIF_BYINDEX = 0x80000000u,  // wParam is a position instead of a command
};
struct TBBUTTONINFO {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    char* pszText;
    int cchText;
};
enum : UINT {
    TB_ENABLEBUTTON = WM_USER + 1,      // wParam command, lParam TRUE/FALSE
    TB_CHECKBUTTON = WM_USER + 2,
    TB_PRESSBUTTON = WM_USER + 3,
    TB_HIDEBUTTON = WM_USER + 4,
    TB_ISBUTTONENABLED = WM_USER + 9,
    TB_ISBUTTONCHECKED = WM_USER + 10,
    TB_ISBUTTONHIDDEN = WM_USER + 12,
    TB_SETSTATE = WM_USER + 17,         // wParam command, lParam TBSTATE_ bits
    TB_GETSTATE = WM_USER + 18,         // -1 for no such button
    TB_DELETEBUTTON = WM_USER + 22,     // wParam position
    TB_GETBUTTON = WM_USER + 23,        // wParam position, lParam TBBUTTON*
    TB_BUTTONCOUNT = WM_USER + 24,
    TB_COMMANDTOINDEX = WM_USER + 25,
    TB_GETITEMRECT = WM_USER + 29,      // wParam position, lParam RECT* (client coordinates)
    TB_BUTTONSTRUCTSIZE = WM_USER + 30,
    TB_SETIMAGELIST = WM_USER + 48,     // lParam image list; returns the old one
    TB_GETIMAGELIST = WM_USER + 49,
    TB_SETDISABLEDIMAGELIST = WM_USER + 54,
    TB_GETDISABLEDIMAGELIST = WM_USER + 55,
    TB_GETBUTTONINFO = WM_USER + 63,    // wParam command (or position with TBIF_BYINDEX), lParam TBBUTTONINFO*
    TB_SETBUTTONINFO = WM_USER + 64,
    TB_INSERTBUTTON = WM_USER + 67,     // wParam position (past the end appends), lParam TBBUTTON*
    TB_ADDBUTTONS = WM_USER + 68,       // wParam count, lParam TBBUTTON array
    TB_ADDSTRING = WM_USER + 77,        // lParam: texts one after another, each ending in a zero, an empty one last;
                                        // or wParam an instance and lParam a string resource id. Returns the first new index.
};
