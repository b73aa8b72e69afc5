#pragma once
// What the tree view's files share: the item record, the control's state, and
// the functions each file offers the others.
//   treeview_items.cpp   the item store: links, insertion, sorting, visible rows
//   treeview_notify.cpp  what the parent hears and answers: display information,
//                        expansion, selection and deletion with their notifications
//   treeview_layout.cpp  metrics, where each part of a row lies, hit tests, scrolling
//   treeview_paint.cpp   painting the visible rows
//   treeview_input.cpp   stylus and keys
//   treeview.cpp         the message table
#include "platform/controls/control_kit.h"
#include "platform/controls/imagelist.h"
#include "platform/controls/treeview.h"

#include <string>
#include <unordered_set>
#include <vector>

// One item. The handle HTREEITEM is a pointer to it.
struct TreeItemRec {
    TreeItemRec* parent = nullptr;  // the tree's hidden root for top-level items
    TreeItemRec* firstChild = nullptr;
    TreeItemRec* lastChild = nullptr;
    TreeItemRec* next = nullptr;
    TreeItemRec* prev = nullptr;
    std::string text;
    bool textCallback = false;
    int image = 0;           // or I_IMAGECALLBACK
    int selectedImage = 0;   // or I_IMAGECALLBACK
    int children = 0;        // 0, 1 or I_CHILDRENCALLBACK: whether it has children before any are inserted
    UINT state = 0;          // TVIS_ bits
    LPARAM param = 0;
    int depth = 0;           // 0 for top-level items
    int row = -1;            // index among the visible rows, valid when rowGeneration matches
    unsigned rowGeneration = 0;
};
using Item = TreeItemRec;

namespace treeview {

struct Tree {
    Item root;  // hidden; always expanded; depth -1
    std::unordered_set<Item*> live;
    size_t count = 0;

    Item* caret = nullptr;       // the selected item
    Item* dropHilite = nullptr;
    Item* hot = nullptr;         // under the stylus, with TVS_TRACKSELECT

    // Visible rows in display order, rebuilt on demand after a change.
    std::vector<Item*> rows;
    bool rowsDirty = true;
    unsigned generation = 0;

    int topRow = 0;   // first row shown
    int scrollX = 0;  // pixels scrolled to the left
    int widest = 0;   // right edge of the widest label seen, unscrolled

    int indent = 0;       // 0: the default
    int itemHeight = 0;   // 0: from font and images
    int fontHeight = 0;   // cached text height of the font; 0: measure again
    controls::FontHolder font;
    HIMAGELIST images = nullptr;  // the normal image list (item pictures)

    bool focused = false;
    // Stylus: the item pressed and where, for clicks and the start of a drag.
    Item* pressed = nullptr;
    POINT pressPoint{};
    bool dragNotified = false;
    bool destroying = false;
    bool barsStale = false;   // the scroll bars wait to be set at the next paint
    bool settingBars = false;
};

Tree* treeOf(HWND hwnd);

// ---- Item store (treeview_items.cpp) ----
bool alive(const Tree* t, HTREEITEM item);
// The item a parent handle names: TVI_ROOT and null give the hidden root; a
// deleted item gives null.
Item* parentItem(Tree* t, HTREEITEM handle);
// Links a new item under parent after `after` (TVI_FIRST, TVI_LAST, TVI_SORT or
// a child of parent); null when `after` is neither.
Item* insertItem(HWND hwnd, Tree* t, Item* parent, HTREEITEM after, const TVITEM& fields);
// Sets the fields a TVITEM names (TVM_SETITEM); selection and expansion stay the control's.
void setItemFields(Item* item, const TVITEM& fields);
// Unlinks an item from its siblings and lists it and its descendants, parents
// before children. The items stay allocated; the caller frees them.
std::vector<Item*> unlinkSubtree(Tree* t, Item* item);
bool isAncestor(const Item* ancestor, const Item* item);
// Sorts the children of parent (and deeper with recurse) by text without regard
// to case, or with a caller's comparison of the items' lParam.
void sortChildren(HWND hwnd, Tree* t, Item* parent, bool recurse);
void sortChildrenBy(Tree* t, Item* parent, PFNTVCOMPARE compare, LPARAM data);
int compareText(const std::string& a, const std::string& b);
void markRowsChanged(Tree* t);
const std::vector<Item*>& visibleRows(Tree* t);
int rowOf(Tree* t, const Item* item);  // -1 when hidden under a collapsed ancestor
bool isExpanded(const Item* item);

// ---- Parent conversations (treeview_notify.cpp) ----
std::string itemText(HWND hwnd, Tree* t, Item* item);
int itemImage(HWND hwnd, Tree* t, Item* item, bool selected);
bool hasChildren(HWND hwnd, Tree* t, Item* item);
// Fills a TVITEM with every field of the item (text pointing at the stored text).
void describeItem(const Item* item, TVITEM* out);
// Expands, collapses or toggles (TVE_ codes). Returns whether the item ends in
// the asked state.
bool expandItem(HWND hwnd, Tree* t, Item* item, UINT action);
// Moves the caret (null clears it). False when the parent refuses.
bool selectItem(HWND hwnd, Tree* t, Item* item, UINT cause);
// Deletes an item with its subtree (the hidden root: everything).
void deleteItem(HWND hwnd, Tree* t, Item* item, bool notifySelection = true);
// Expands the ancestors of an item and scrolls it into view.
bool ensureVisible(HWND hwnd, Tree* t, Item* item);
LRESULT sendNotify(HWND hwnd, NMHDR* header, UINT code);

// ---- Layout (treeview_layout.cpp) ----
struct Metrics {
    int itemHeight;
    int indent;
    int imageWidth;   // 0 without a normal image list
    int imageHeight;
    int textHeight;
};
Metrics metrics(HWND hwnd, Tree* t);
struct RowParts {
    RECT row;      // the whole row
    int column;    // centre x of the row's button and line column; INT_MIN when none
    RECT icon;     // empty without images
    RECT label;
};
// The parts of the item shown at visible row `row` (computes the label width
// from its text).
RowParts rowParts(HWND hwnd, Tree* t, Item* item, int row);
// With a paint DC (its font selected) the text is measured on it.
RowParts rowParts(HWND hwnd, Tree* t, Item* item, int row, const std::string& text, HDC paintDc);
int defaultIndent();
int minimumIndent();
Item* hitTest(HWND hwnd, Tree* t, POINT p, UINT* flags);
int clientHeight(HWND hwnd);
int fullRowsShown(HWND hwnd, Tree* t);
// Scrolls so that `row` is the first row shown (clamped); repaints when it moved.
void scrollToRow(HWND hwnd, Tree* t, int row);
void scrollToX(HWND hwnd, Tree* t, int x);
// Keeps the first row and horizontal offset inside their ranges after a change.
void clampScroll(HWND hwnd, Tree* t);
// Repaints after the rows changed from `fromItem` down (null: all).
void repaintFrom(HWND hwnd, Tree* t, Item* fromItem);
void repaintItem(HWND hwnd, Tree* t, Item* item);
// Marks the scroll bars for setting at the next paint; applyScrollBars sets them.
void updateScrollBars(HWND hwnd, Tree* t);
void applyScrollBars(HWND hwnd, Tree* t);
LRESULT onVScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onHScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Painting and input (treeview_paint.cpp, treeview_input.cpp) ----
LRESULT onPaint(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLButtonDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLButtonDblClk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onMouseMove(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLButtonUp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onCaptureChanged(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onChar(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace treeview
