#pragma once
// Menus: trees of items (text with an "&" mnemonic, command id, check and
// grey state, sub-menus), built in code or loaded from menu resources that the
// program compiles in as tables, and shown as pop-ups by TrackPopupMenu(Ex).
// Text is UTF-8. Menus belong to the thread that uses them.
#include "platform/base/types.h"

// Flags of AppendMenu, InsertMenu, ModifyMenu, CheckMenuItem, EnableMenuItem,
// GetMenuState and RemoveMenu/DeleteMenu.
enum : UINT {
    MF_BYCOMMAND = 0x0000,
    MF_BYPOSITION = 0x0400,
    MF_STRING = 0x0000,
    MF_ENABLED = 0x0000,
    MF_GRAYED = 0x0001,
    MF_DISABLED = 0x0002,
    MF_UNCHECKED = 0x0000,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_MENUBARBREAK = 0x0020,
    MF_MENUBREAK = 0x0040,
    MF_HILITE = 0x0080,
    MF_OWNERDRAW = 0x0100,
    MF_SEPARATOR = 0x0800,
    MF_DEFAULT = 0x1000,
    // Item types and states of MENUITEMINFO (one enumeration with the MF_
    // flags, as resource tables combine them).
    MFT_STRING = 0x0000,
    MFT_MENUBARBREAK = 0x0020,
    MFT_MENUBREAK = 0x0040,
    MFT_RADIOCHECK = 0x0200,
    MFT_SEPARATOR = 0x0800,
    MFS_ENABLED = 0x0000,
    MFS_UNCHECKED = 0x0000,
    MFS_GRAYED = 0x0003,
    MFS_DISABLED = 0x0003,
    MFS_CHECKED = 0x0008,
    MFS_HILITE = 0x0080,
    MFS_DEFAULT = 0x1000,
};
enum : UINT {
    MIIM_STATE = 0x0001,
    MIIM_ID = 0x0002,
    MIIM_SUBMENU = 0x0004,
    MIIM_TYPE = 0x0010,
    MIIM_DATA = 0x0020,
    MIIM_STRING = 0x0040,
    MIIM_FTYPE = 0x0100,
};

struct MENUITEMINFO {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    char* dwTypeData;  // the text: read up to cch bytes; written with its length in cch
    UINT cch;
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and every sub-menu in it.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// idOrSubMenu is the command id, or the sub-menu (HMENU) with MF_POPUP.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrSubMenu, const char* text);
// Inserts before the item at `position` (MF_BYPOSITION; -1 appends) or before
// the item with command `position`.
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubMenu, const char* text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubMenu, const char* text);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
// RemoveMenu keeps an item's sub-menu alive (the caller owns it now); DeleteMenu destroys it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);

HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);           // -1 for a bad handle
UINT GetMenuItemID(HMENU menu, int position);  // -1 (0xFFFFFFFF) for sub-menus and missing items
// Returns the old check state (MF_CHECKED or MF_UNCHECKED), or -1 when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// Checks `check` with a radio mark and clears the checks of the others in first..last.
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
// MF_ENABLED, MF_GRAYED or MF_DISABLED; returns the old state, or -1.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
// MF_ flags of the item (for a sub-menu MF_POPUP, with its item count in the
// high byte), or 0xFFFFFFFF when there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuString(HMENU menu, UINT item, char* buffer, int capacity, UINT flags);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);

// ---- Menu resources ----
// A menu resource is a table read like a resource script: MF_POPUP opens a
// sub-menu (its text is the pop-up's label) that runs to the next
// MENU_END_POPUP; other rows are items (MF_STRING with a command id, or
// MF_SEPARATOR) with MF_GRAYED/MF_CHECKED/MFT_RADIOCHECK as their first state.
constexpr UINT MENU_END_POPUP = 0x80000000u;
struct MenuTemplateItem {
    UINT flags;
    const char* text;
    UINT id;
};
struct MenuResource {
    int id;
    const MenuTemplateItem* items;
    int count;
};
void RegisterMenus(const MenuResource* menus, int count);
// A new menu (the caller destroys it) whose items are the table's top-level
// rows; null when there is no such resource or its table is unbalanced.
HMENU LoadMenu(HINSTANCE instance, const char* name);

// ---- Pop-up menus ----
enum : UINT {
    TPM_LEFTBUTTON = 0x0000,
    TPM_LEFTALIGN = 0x0000,
    TPM_CENTERALIGN = 0x0004,
    TPM_RIGHTALIGN = 0x0008,
    TPM_TOPALIGN = 0x0000,
    TPM_VCENTERALIGN = 0x0010,
    TPM_BOTTOMALIGN = 0x0020,
    TPM_NONOTIFY = 0x0080,
    TPM_RETURNCMD = 0x0100,
};
struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};
// Shows `menu` at the screen point and runs until an item is chosen or the
// menu is cancelled (a tap outside, Escape). The owner hears WM_INITMENUPOPUP
// before each pop-up shows (unless TPM_NONOTIFY). A chosen item is posted to
// the owner as WM_COMMAND and TRUE returned, or with TPM_RETURNCMD its id is
// returned; 0 when cancelled.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
// Cancels the pop-up menu that is showing, as a tap outside it would.
BOOL EndMenu();

// For tests and tools: called with the innermost pop-up window whenever the
// pop-up loop has nothing left in its queue, after painting. Input injected
// there (PlatformStylusInput, PlatformKeyInput) drives the open menu. Null removes it.
typedef void (*MenuIdleHook)(HWND popup, void* data);
void SetMenuIdleHook(MenuIdleHook hook, void* data);
