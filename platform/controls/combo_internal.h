#pragma once
// What the combo box and its drop list share: the box's state and geometry.
#include "platform/controls/controls_internal.h"

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
int itemHeight(HWND combo);
int fieldHeight(HWND combo);
// Where the list shows on the screen (screen coordinates) and how many rows it has.
RECT dropListRect(HWND combo, int* rows);
// Ends the drop: accepted (the list's highlighted item becomes the selection)
// or cancelled; tells the parent.
void closeUp(HWND combo, bool accept);

// The drop list (combo_droplist.cpp): a top-level pop-up over everything,
// holding the stylus while it is shown.
HWND createDropList(HWND combo, int hot, bool stylusDown);
int dropListHot(HWND list);
// Moves the highlight by a key (arrows, Page Up/Down, Home/End); false for other keys.
bool dropListKey(HWND list, UINT key);
void dropListSetHot(HWND list, int index);
void registerDropListClass();

}  // namespace combo
