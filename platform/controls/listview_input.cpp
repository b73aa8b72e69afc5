// List view input. A tap selects the tapped item alone (with the Ctrl key
// held it toggles it, with Shift it selects from the selection mark), a tap
// on a check box toggles the check, a tap on empty space clears the selection;
// the parent hears NM_CLICK when the stylus comes up and NM_DBLCLK on a double
// tap. Every selection change goes through LVN_ITEMCHANGING, so a parent that
// refuses them can make taps do what it wants (it toggles on NM_CLICK).
// Keys move the focus by the layout; the parent hears LVN_KEYDOWN first and
// NM_RETURN for Return.
#include "platform/controls/listview_internal.h"
#include "platform/window/scrollbars.h"

namespace listview {

using controls::scaled;

namespace {

bool singleSelection(HWND hwnd) { return style(hwnd) & LVS_SINGLESEL; }

void toggleCheck(HWND hwnd, ListView* lv, int index)
{
    UINT image = (lv->items[static_cast<size_t>(index)].state & LVIS_STATEIMAGEMASK) >> 12;
    changeState(hwnd, lv, index, INDEXTOSTATEIMAGEMASK(image == 2 ? 1 : 2), LVIS_STATEIMAGEMASK);
}

void selectRange(HWND hwnd, ListView* lv, int from, int to)
{
    int lo = std::min(from, to), hi = std::max(from, to);
    for (int i = 0; i < static_cast<int>(lv->items.size()); ++i) {
        bool inside = i >= lo && i <= hi;
        changeState(hwnd, lv, i, inside ? static_cast<UINT>(LVIS_SELECTED) : 0u, LVIS_SELECTED);
    }
    setFocusItem(hwnd, lv, to);
}

// The selection part of a tap; returns the item tapped (or -1).
int press(HWND hwnd, ListView* lv, LPARAM lParam, WPARAM keys, bool allowToggle)
{
    if (GetFocus() != hwnd) SetFocus(hwnd);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Grid g = grid(hwnd, lv);
    if (pt.y < g.content.top) {
        // The header: tell which column was tapped.
        int left = -lv->scrollX;
        for (size_t c = 0; c < lv->columns.size(); ++c) {
            if (pt.x >= left && pt.x < left + lv->columns[c].width) {
                NMLISTVIEW nm{};
                nm.iItem = -1;
                nm.iSubItem = static_cast<int>(c);
                nm.ptAction = pt;
                controls::notifyParent(hwnd, &nm.hdr, LVN_COLUMNCLICK);
                break;
            }
            left += lv->columns[c].width;
        }
        return -2;
    }
    UINT flags;
    int column;
    int index = hitTest(hwnd, lv, pt, &flags, &column);
    if (index < 0) {
        selectOnly(hwnd, lv, -1);
        return -1;
    }
    bool multi = !singleSelection(hwnd);
    if ((flags & LVHT_ONITEMSTATEICON) && (lv->exStyle & LVS_EX_CHECKBOXES) && allowToggle) {
        toggleCheck(hwnd, lv, index);
        setFocusItem(hwnd, lv, index);
    } else if (multi && allowToggle && (keys & MK_CONTROL)) {
        bool selected = lv->items[static_cast<size_t>(index)].state & LVIS_SELECTED;
        changeState(hwnd, lv, index, selected ? 0u : static_cast<UINT>(LVIS_SELECTED), LVIS_SELECTED);
        setFocusItem(hwnd, lv, index);
        lv->selectionMark = index;
    } else if (multi && (keys & MK_SHIFT) && lv->selectionMark >= 0) {
        selectRange(hwnd, lv, lv->selectionMark, index);
    } else {
        selectOnly(hwnd, lv, index);
    }
    ensureVisible(hwnd, lv, index, false);
    return index;
}

}  // namespace

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int index = press(hwnd, lv, lParam, wParam, true);
    if (index == -2) return 0;
    lv->pressedItem = index;
    lv->pressed = true;
    lv->doubleTapped = false;
    SetCapture(hwnd);
    return 0;
}

LRESULT onLButtonDblClk(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int index = press(hwnd, lv, lParam, wParam, false);
    if (index == -2) return 0;
    lv->pressedItem = index;
    lv->pressed = true;
    lv->doubleTapped = true;
    SetCapture(hwnd);
    UINT flags;
    int column;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    hitTest(hwnd, lv, pt, &flags, &column);
    notifyItemActivate(hwnd, NM_DBLCLK, index, column, pt);
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    if (!lv->pressed) return 0;
    lv->pressed = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (lv->doubleTapped) {
        lv->doubleTapped = false;
        return 0;
    }
    // The click belongs to the item where the tap began, wherever the stylus slid.
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    UINT flags;
    int column = 0;
    if (lv->pressedItem >= 0) hitTest(hwnd, lv, pt, &flags, &column);
    notifyItemActivate(hwnd, NM_CLICK, lv->pressedItem, column, pt);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    get(hwnd)->pressed = false;
    return 0;
}

namespace {

int keyTarget(HWND hwnd, ListView* lv, WPARAM key, int from)
{
    int count = static_cast<int>(lv->items.size());
    if (from < 0) return key == VK_END ? count - 1 : 0;
    int page = std::max(1, countPerPage(hwnd, lv));
    switch (key) {
    case VK_UP: return neighbour(hwnd, lv, from, LVNI_ABOVE);
    case VK_DOWN: return neighbour(hwnd, lv, from, LVNI_BELOW);
    case VK_LEFT: return neighbour(hwnd, lv, from, LVNI_TOLEFT);
    case VK_RIGHT: return neighbour(hwnd, lv, from, LVNI_TORIGHT);
    case VK_HOME: return 0;
    case VK_END: return count - 1;
    case VK_PRIOR: return std::max(0, from - page);
    case VK_NEXT: return std::min(count - 1, from + page);
    default: return -1;
    }
}

bool isMoveKey(WPARAM key)
{
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        return true;
    default:
        return false;
    }
}

}  // namespace

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    NMLVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(wParam);
    controls::notifyParent(hwnd, &nm.hdr, LVN_KEYDOWN);
    int from = lv->focused >= 0 ? lv->focused : lv->selectionMark;
    if (from >= static_cast<int>(lv->items.size())) from = -1;
    if (wParam == VK_RETURN) {
        notifyItemActivate(hwnd, NM_RETURN, from, 0, POINT{0, 0});
        return 0;
    }
    if (wParam == VK_SPACE) {
        if (from < 0) return 0;
        if (lv->exStyle & LVS_EX_CHECKBOXES) toggleCheck(hwnd, lv, from);
        else selectOnly(hwnd, lv, from);
        return 0;
    }
    if (!isMoveKey(wParam)) return DefWindowProc(hwnd, message, wParam, lParam);
    if (lv->items.empty()) return 0;
    // Report rows have no neighbours sideways: Left and Right scroll instead.
    if (viewType(hwnd) == LVS_REPORT && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
        scrollTo(hwnd, lv, lv->scrollX + (wParam == VK_LEFT ? -1 : 1) * scaled(16), lv->scrollY);
        return 0;
    }
    int target = keyTarget(hwnd, lv, wParam, from);
    if (target < 0 || target == from) return 0;
    selectOnly(hwnd, lv, target);
    ensureVisible(hwnd, lv, target, false);
    return 0;
}

LRESULT onFocus(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    NMHDR nm{};
    controls::notifyParent(hwnd, &nm, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
    // Selected items change colour with the focus.
    invalidate(hwnd, get(hwnd));
    return 0;
}

LRESULT onScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    Grid g = grid(hwnd, lv);
    bool vertical = message == WM_VSCROLL;
    int line = vertical ? g.cellH : (g.view == LVS_REPORT ? scaled(16) : g.cellW);
    int page = vertical ? g.content.bottom - g.content.top : g.content.right - g.content.left;
    if (g.view == LVS_REPORT && vertical) page = std::max(line, page / line * line);
    int pos = vertical ? lv->scrollY : lv->scrollX;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = controls::scrollThumbPosition(hwnd, vertical ? SB_VERT : SB_HORZ, wParam) * barUnit(g, vertical); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = vertical ? g.extentH : g.extentW; break;
    default: return 0;
    }
    if (vertical) scrollTo(hwnd, lv, lv->scrollX, pos);
    else scrollTo(hwnd, lv, pos, lv->scrollY);
    return 0;
}

}  // namespace listview
