// Tree view input. Stylus: a tap on a button expands or collapses, a tap on a
// picture or label selects (TVC_BYMOUSE), a double tap there toggles the item
// unless the parent takes NM_DBLCLK, dragging an item starts TVN_BEGINDRAG.
// Keys move the caret through the visible rows (TVC_BYKEYBOARD).
#include "platform/controls/treeview_internal.h"

namespace treeview {

namespace {

// Key pad plus and minus; '+' and '-' typed as characters do the same.
constexpr UINT kKeyAdd = 0x6B;
constexpr UINT kKeySubtract = 0x6D;

POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void notifyCode(HWND hwnd, UINT code)
{
    NMHDR header{};
    sendNotify(hwnd, &header, code);
}

void setHot(HWND hwnd, Tree* t, Item* item)
{
    if (item == t->hot) return;
    if (t->hot) repaintItem(hwnd, t, t->hot);
    t->hot = item;
    if (item) repaintItem(hwnd, t, item);
}

}  // namespace

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    if (GetFocus() != hwnd) SetFocus(hwnd);
    POINT p = pointOf(lParam);
    UINT flags = 0;
    Item* item = hitTest(hwnd, t, p, &flags);
    t->pressed = nullptr;
    t->dragNotified = false;
    t->pressPoint = p;
    SetCapture(hwnd);
    if (!item) return 0;
    if (flags & TVHT_ONITEMBUTTON) {
        expandItem(hwnd, t, item, TVE_TOGGLE);
    } else if (flags & TVHT_ONITEM) {
        t->pressed = item;
        selectItem(hwnd, t, item, TVC_BYMOUSE);
    }
    return 0;
}

LRESULT onLButtonDblClk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    UINT flags = 0;
    Item* item = hitTest(hwnd, t, pointOf(lParam), &flags);
    // A second tap on a button is one more toggle, as the first was.
    if (!item || !(flags & TVHT_ONITEM)) return onLButtonDown(hwnd, message, wParam, lParam);
    NMHDR header{};
    if (sendNotify(hwnd, &header, NM_DBLCLK) == 0 && alive(t, item)) expandItem(hwnd, t, item, TVE_TOGGLE);
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    POINT p = pointOf(lParam);
    DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    if (GetCapture() == hwnd && t->pressed && !t->dragNotified && !(style & TVS_DISABLEDRAGDROP)) {
        int slop = controls::scaled(5);
        if (std::abs(p.x - t->pressPoint.x) > slop || std::abs(p.y - t->pressPoint.y) > slop) {
            t->dragNotified = true;
            NMTREEVIEW nm{};
            describeItem(t->pressed, &nm.itemNew);
            nm.ptDrag = t->pressPoint;
            sendNotify(hwnd, &nm.hdr, TVN_BEGINDRAG);
        }
    }
    if (style & TVS_TRACKSELECT) {
        UINT flags = 0;
        Item* item = hitTest(hwnd, t, p, &flags);
        setHot(hwnd, t, (flags & TVHT_ONITEM) ? item : nullptr);
    }
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Tree* t = treeOf(hwnd);
    if (GetCapture() != hwnd) return 0;
    bool dragged = t->dragNotified;
    t->pressed = nullptr;
    ReleaseCapture();
    // On a touch screen nothing hovers once the stylus is lifted.
    setHot(hwnd, t, nullptr);
    if (!dragged) notifyCode(hwnd, NM_CLICK);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    treeOf(hwnd)->pressed = nullptr;
    return 0;
}

namespace {

// The row the keys start from: the caret's, or none when it is hidden or absent.
int caretRow(Tree* t) { return t->caret ? rowOf(t, t->caret) : -1; }

void selectRow(HWND hwnd, Tree* t, int row)
{
    const std::vector<Item*>& rows = visibleRows(t);
    if (rows.empty()) return;
    row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
    Item* item = rows[row];
    if (item == t->caret) ensureVisible(hwnd, t, item);
    else selectItem(hwnd, t, item, TVC_BYKEYBOARD);
}

void keyLeft(HWND hwnd, Tree* t)
{
    Item* c = t->caret;
    if (!c) return;
    if (isExpanded(c) && c->firstChild) expandItem(hwnd, t, c, TVE_COLLAPSE);
    else if (c->parent != &t->root) selectItem(hwnd, t, c->parent, TVC_BYKEYBOARD);
}

void keyRight(HWND hwnd, Tree* t)
{
    Item* c = t->caret;
    if (!c) return;
    if (!isExpanded(c)) expandItem(hwnd, t, c, TVE_EXPAND);
    else if (c->firstChild) selectItem(hwnd, t, c->firstChild, TVC_BYKEYBOARD);
}

}  // namespace

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    NMTVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(wParam);
    sendNotify(hwnd, &nm.hdr, TVN_KEYDOWN);
    int row = caretRow(t);
    int page = std::max(1, fullRowsShown(hwnd, t) - 1);
    switch (wParam) {
    case VK_UP: selectRow(hwnd, t, row < 0 ? 0 : row - 1); break;
    case VK_DOWN: selectRow(hwnd, t, row + 1); break;
    case VK_HOME: selectRow(hwnd, t, 0); break;
    case VK_END: selectRow(hwnd, t, static_cast<int>(visibleRows(t).size()) - 1); break;
    case VK_PRIOR: selectRow(hwnd, t, row < 0 ? 0 : row - page); break;
    case VK_NEXT: selectRow(hwnd, t, row < 0 ? 0 : row + page); break;
    case VK_LEFT: keyLeft(hwnd, t); break;
    case VK_RIGHT: keyRight(hwnd, t); break;
    case kKeyAdd: if (t->caret) expandItem(hwnd, t, t->caret, TVE_EXPAND); break;
    case kKeySubtract: if (t->caret) expandItem(hwnd, t, t->caret, TVE_COLLAPSE); break;
    case VK_RETURN: notifyCode(hwnd, NM_RETURN); break;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
    return 0;
}

LRESULT onChar(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    if (wParam == '+' && t->caret) expandItem(hwnd, t, t->caret, TVE_EXPAND);
    else if (wParam == '-' && t->caret) expandItem(hwnd, t, t->caret, TVE_COLLAPSE);
    else return DefWindowProc(hwnd, message, wParam, lParam);
    return 0;
}

}  // namespace treeview
