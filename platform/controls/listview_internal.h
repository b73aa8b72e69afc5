#pragma once
// The list view's state and the functions its files share: messages
// (listview.cpp), layout per view mode (listview_layout.cpp), painting
// (listview_paint.cpp), stylus and keys (listview_input.cpp) and the
// notifications to the parent (listview_notify.cpp).
#include "platform/controls/control_kit.h"
#include "platform/controls/listview.h"

#include <string>
#include <vector>

namespace listview {

struct Item {
    std::string text;
    bool textCallback = false;
    int image = 0;
    LPARAM param = 0;
    UINT state = 0;
    int indent = 0;
    std::vector<std::string> subItems;  // by sub-item number; [0] unused
    std::vector<uint8_t> subCallback;   // sub-item texts asked for with LVN_GETDISPINFO
};

struct Column {
    std::string text;
    int width = 0;
    int fmt = LVCFMT_LEFT;
    int subItem = 0;
};

struct ListView {
    std::vector<Item> items;
    std::vector<Column> columns;
    HIMAGELIST normalImages = nullptr;
    HIMAGELIST smallImages = nullptr;
    HIMAGELIST stateImages = nullptr;
    controls::FontHolder font;
    COLORREF bkColour = CLR_DEFAULT;       // CLR_DEFAULT: the window colour
    COLORREF textColour = CLR_DEFAULT;     // CLR_DEFAULT: the window text colour
    COLORREF textBkColour = CLR_NONE;      // behind item texts; CLR_NONE: none
    DWORD exStyle = 0;
    int spacingX = -1, spacingY = -1;      // icon spacing; -1: from the image list
    int listColumnWidth = 0;               // LVS_LIST column width; 0: default
    int selectionMark = -1;
    int focused = -1;                      // the item with LVIS_FOCUSED, or -1
    int scrollX = 0, scrollY = 0;          // pixels of the content scrolled off
    bool redraw = true;
    DWORD seenStyle = 0;                   // the style the layout was made for
    int measuredRowHeight = 0;             // owner-drawn rows: the parent's answer; 0: ask
    int textHeight = 0;                    // of the font; 0: measure again
    // Stylus.
    int pressedItem = -1;
    bool pressed = false;
    bool doubleTapped = false;
    bool updatingBars = false;             // inside the scroll-bar update
};

inline ListView* get(HWND hwnd) { return controls::state<ListView>(hwnd); }
DWORD style(HWND hwnd);
int viewType(HWND hwnd);

// ---- Layout (listview_layout.cpp) ----
// Where the items go: a grid of equal cells filled along rows (row-major) or
// down columns. Report view is a grid of one cell per row under the header.
struct Grid {
    int view = LVS_ICON;
    int cellW = 1, cellH = 1;
    int perLine = 1;          // cells along a row (row-major) or down a column
    bool rowMajor = true;
    RECT content{};           // client area that shows items (below the header)
    int extentW = 0, extentH = 0;  // size of all the items together
};
Grid grid(HWND hwnd, ListView* lv);
int textHeight(HWND hwnd, ListView* lv);
int headerHeight(HWND hwnd, ListView* lv);
int rowHeight(HWND hwnd, ListView* lv);
void imageSize(HIMAGELIST list, int* cx, int* cy);
int checkBoxSize();
// Item rectangles in client coordinates (LVIR_ codes); false for a bad index.
bool itemRect(HWND hwnd, ListView* lv, int index, int code, RECT* out);
bool subItemRect(HWND hwnd, ListView* lv, int index, int column, int code, RECT* out);
// The item at a client point, with LVHT_ flags and the column; -1 when none.
int hitTest(HWND hwnd, ListView* lv, POINT p, UINT* flags, int* column);
// The items whose cells meet `area` (client coordinates), in drawing order.
void visibleRange(HWND hwnd, ListView* lv, const RECT& area, std::vector<int>* out);
// The neighbour of `from` in a direction (LVNI_ABOVE/BELOW/TOLEFT/TORIGHT), or -1.
int neighbour(HWND hwnd, ListView* lv, int from, UINT direction);
int countPerPage(HWND hwnd, ListView* lv);
int topIndex(HWND hwnd, ListView* lv);
// Scrolling: offsets are kept within the content; report view scrolls by rows.
// The window's scroll bars count rows in report view, columns in list view
// and pixels otherwise (barUnit pixels a step).
int barUnit(const Grid& g, bool vertical);
void clampScroll(HWND hwnd, ListView* lv);
void scrollTo(HWND hwnd, ListView* lv, int x, int y);
void ensureVisible(HWND hwnd, ListView* lv, int index, bool partialOk);
// Re-reads the style and drops cached metrics when it changed.
void syncStyle(HWND hwnd, ListView* lv);
void metricsChanged(HWND hwnd, ListView* lv);

// ---- Painting (listview_paint.cpp) ----
void invalidate(HWND hwnd, ListView* lv);
void invalidateItem(HWND hwnd, ListView* lv, int index);
LRESULT onPaint(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The text shown for an item's column (asks the parent for callback texts).
std::string itemText(HWND hwnd, ListView* lv, int index, int subItem);
int itemImage(HWND hwnd, ListView* lv, int index);

// ---- Notifications (listview_notify.cpp) ----
// Changes the state bits in `mask` of one item, asking the parent first;
// false when the parent refused or nothing changed.
bool changeState(HWND hwnd, ListView* lv, int index, UINT state, UINT mask);
// Selects only `index` (and focuses it), or clears the selection for -1.
void selectOnly(HWND hwnd, ListView* lv, int index);
void setFocusItem(HWND hwnd, ListView* lv, int index);
LRESULT notifyItemActivate(HWND hwnd, UINT code, int index, int column, POINT at);
LRESULT notifyListView(HWND hwnd, UINT code, int index, LPARAM param);
bool askDispInfo(HWND hwnd, ListView* lv, int index, int subItem, UINT mask, std::string* text, int* image);
LRESULT customDraw(HWND hwnd, NMLVCUSTOMDRAW* draw, DWORD stage);

// ---- Input (listview_input.cpp) ----
LRESULT onLButtonDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLButtonDblClk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLButtonUp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onCaptureChanged(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onFocus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace listview
