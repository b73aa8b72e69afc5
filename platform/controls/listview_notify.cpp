// List view notifications: state changes asked for (LVN_ITEMCHANGING, which
// the parent may refuse) and reported (LVN_ITEMCHANGED), activation (NM_CLICK,
// NM_DBLCLK, NM_RETURN), callback texts and images (LVN_GETDISPINFO) and
// custom drawing (NM_CUSTOMDRAW).
#include "platform/controls/listview_internal.h"

#include <cstring>

namespace listview {

namespace {

bool validIndex(ListView* lv, int index) { return index >= 0 && index < static_cast<int>(lv->items.size()); }

LRESULT sendStateNotice(HWND hwnd, UINT code, int index, UINT oldState, UINT newState, LPARAM param)
{
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.uChanged = LVIF_STATE;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    nm.ptAction = POINT{0, 0};
    nm.lParam = param;
    return controls::notifyParent(hwnd, &nm.hdr, code);
}

}  // namespace

bool changeState(HWND hwnd, ListView* lv, int index, UINT state, UINT mask)
{
    if (!validIndex(lv, index)) return false;
    UINT old = lv->items[static_cast<size_t>(index)].state;
    UINT wanted = (old & ~mask) | (state & mask);
    if (wanted == old) return false;
    LPARAM param = lv->items[static_cast<size_t>(index)].param;
    if (sendStateNotice(hwnd, LVN_ITEMCHANGING, index, old, wanted, param)) return false;
    // The parent may have changed the list while it was asked.
    if (!validIndex(lv, index)) return false;
    // Only one item holds the focus: taking it removes it from the other one.
    if ((wanted & LVIS_FOCUSED) && lv->focused != index && validIndex(lv, lv->focused)) {
        int previous = lv->focused;
        if (!changeState(hwnd, lv, previous, 0, LVIS_FOCUSED) && (lv->items[static_cast<size_t>(previous)].state & LVIS_FOCUSED))
            return false;
        if (!validIndex(lv, index)) return false;
    }
    Item& item = lv->items[static_cast<size_t>(index)];
    old = item.state;
    item.state = wanted;
    if (wanted & LVIS_FOCUSED) lv->focused = index;
    else if (lv->focused == index) lv->focused = -1;
    invalidateItem(hwnd, lv, index);
    sendStateNotice(hwnd, LVN_ITEMCHANGED, index, old, wanted, item.param);
    return true;
}

void setFocusItem(HWND hwnd, ListView* lv, int index)
{
    if (index >= 0) changeState(hwnd, lv, index, LVIS_FOCUSED, LVIS_FOCUSED);
    else if (lv->focused >= 0) changeState(hwnd, lv, lv->focused, 0, LVIS_FOCUSED);
}

void selectOnly(HWND hwnd, ListView* lv, int index)
{
    for (int i = 0; i < static_cast<int>(lv->items.size()); ++i)
        if (i != index && (lv->items[static_cast<size_t>(i)].state & LVIS_SELECTED)) changeState(hwnd, lv, i, 0, LVIS_SELECTED);
    if (index >= 0) {
        changeState(hwnd, lv, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        lv->selectionMark = index;
    }
}

LRESULT notifyItemActivate(HWND hwnd, UINT code, int index, int column, POINT at)
{
    ListView* lv = get(hwnd);
    NMITEMACTIVATE nm{};
    nm.iItem = index;
    nm.iSubItem = column < 0 ? 0 : column;
    nm.ptAction = at;
    if (validIndex(lv, index)) {
        nm.uOldState = nm.uNewState = lv->items[static_cast<size_t>(index)].state;
        nm.lParam = lv->items[static_cast<size_t>(index)].param;
    }
    return controls::notifyParent(hwnd, &nm.hdr, code);
}

LRESULT notifyListView(HWND hwnd, UINT code, int index, LPARAM param)
{
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.lParam = param;
    return controls::notifyParent(hwnd, &nm.hdr, code);
}

bool askDispInfo(HWND hwnd, ListView* lv, int index, int subItem, UINT mask, std::string* text, int* image)
{
    if (!validIndex(lv, index)) return false;
    char buffer[MAX_PATH] = {};
    NMLVDISPINFO nm{};
    nm.item.mask = mask;
    nm.item.iItem = index;
    nm.item.iSubItem = subItem;
    nm.item.pszText = buffer;
    nm.item.cchTextMax = sizeof buffer;
    nm.item.lParam = lv->items[static_cast<size_t>(index)].param;
    nm.item.state = lv->items[static_cast<size_t>(index)].state;
    controls::notifyParent(hwnd, &nm.hdr, LVN_GETDISPINFO);
    if (!validIndex(lv, index)) return false;
    Item& item = lv->items[static_cast<size_t>(index)];
    if ((mask & LVIF_TEXT) && text) {
        // The parent may fill our buffer or point at its own text.
        const char* given = nm.item.pszText && nm.item.pszText != LPSTR_TEXTCALLBACK ? nm.item.pszText : "";
        if (given == buffer) buffer[sizeof buffer - 1] = 0;
        *text = given;
        if ((nm.item.mask & LVIF_DI_SETITEM) && subItem == 0) {
            item.text = *text;
            item.textCallback = false;
        }
    }
    if ((mask & LVIF_IMAGE) && image) {
        *image = nm.item.iImage;
        if (nm.item.mask & LVIF_DI_SETITEM) item.image = *image;
    }
    return true;
}

LRESULT customDraw(HWND hwnd, NMLVCUSTOMDRAW* draw, DWORD stage)
{
    draw->nmcd.dwDrawStage = stage;
    return controls::notifyParent(hwnd, &draw->nmcd.hdr, NM_CUSTOMDRAW);
}

}  // namespace listview
