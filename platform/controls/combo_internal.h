#pragma once
// What the combo box and its drop list share: the box's state and geometry.
#include "platform/controls/control_kit.h"

#include <string>
#include <vector>

namespace combo {

struct Item {
    std::string text;
    LPARAM data = 0;
};

struct Combo {
    controls::FontHolder font;
    std::vector<Item> items;
    int sel = -1;
    HWND list = nullptr;      // the drop list while it is shown
    HWND edit = nullptr;      // the edit field of CBS_DROPDOWN
    bool focused = false;
    bool closing = false;     // closeUp is running: capture changes are ours
    bool quiet = false;       // the box itself sets the edit field's text
    bool sizing = false;      // the box is setting its own height
    int droppedHeight = 0;    // height asked for at creation: field plus list
    int droppedWidth = 0;     // least width of the list (0: the box's)
};

Combo* comboOf(HWND combo);
// Selects an item (-1 or out of range: none) without telling the parent.
void select(HWND combo, Combo* c, int index);
// Shows an item (or nothing) in the edit field of a CBS_DROPDOWN box, all of
// it selected, without the parent hearing CBN_EDITCHANGE.
void showInEdit(Combo* c, int index);
int itemHeight(HWND combo);
int fieldHeight(HWND combo);
// Where the list shows on the screen (screen coordinates) and how many rows it has.
RECT dropListRect(HWND combo, int* rows);
// Ends the drop: accepted (the list's highlighted item becomes the selection)
// or cancelled; tells the parent.
void closeUp(HWND combo, bool accept);

// The items (combo_items.cpp). find: the first item after `start` (-1: from
// the first), wrapping round, that matches by prefix or whole, without regard
// to case; CB_ERR when none does.
LRESULT find(Combo* c, WPARAM start, const char* text, bool exact);
LRESULT itemAddString(HWND, UINT, WPARAM, LPARAM);
LRESULT itemInsertString(HWND, UINT, WPARAM, LPARAM);
LRESULT itemDeleteString(HWND, UINT, WPARAM, LPARAM);
LRESULT itemResetContent(HWND, UINT, WPARAM, LPARAM);
LRESULT itemGetCount(HWND, UINT, WPARAM, LPARAM);
LRESULT itemGetCurSel(HWND, UINT, WPARAM, LPARAM);
LRESULT itemSetCurSel(HWND, UINT, WPARAM, LPARAM);
LRESULT itemGetLbText(HWND, UINT, WPARAM, LPARAM);
LRESULT itemGetLbTextLen(HWND, UINT, WPARAM, LPARAM);
LRESULT itemGetItemData(HWND, UINT, WPARAM, LPARAM);
LRESULT itemSetItemData(HWND, UINT, WPARAM, LPARAM);
LRESULT itemFindString(HWND, UINT, WPARAM, LPARAM);
LRESULT itemFindStringExact(HWND, UINT, WPARAM, LPARAM);
LRESULT itemSelectString(HWND, UINT, WPARAM, LPARAM);

// The drop list (combo_droplist.cpp): a top-level pop-up over everything,
// holding the stylus while it is shown.
HWND createDropList(HWND combo, int hot, bool stylusDown);
int dropListHot(HWND list);
// Moves the highlight by a key (arrows, Page Up/Down, Home/End); false for other keys.
bool dropListKey(HWND list, UINT key);
void dropListSetHot(HWND list, int index);
void registerDropListClass();

}  // namespace combo
