// List view messages: items and their texts, images, parameters and states;
// columns; image lists, spacing, colours and extended styles; queries of
// geometry, selection and scrolling. The window procedure is a table of
// (message, handler) rows; before every message the control looks at its
// style, so that a style set with SetWindowLong lays the items out anew.
#include "platform/controls/listview_internal.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace listview {

using controls::scaled;

namespace {

template <class T>
T* ptr(LPARAM lParam) { return reinterpret_cast<T*>(lParam); }

bool validIndex(ListView* lv, int index) { return index >= 0 && index < static_cast<int>(lv->items.size()); }

// Copies UTF-8 text into a caller's buffer of `capacity` bytes, cut at a
// character boundary; returns the bytes copied.
int copyOut(const std::string& text, char* out, int capacity)
{
    if (!out || capacity <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return static_cast<int>(n);
}

void setItemText(Item& item, int subItem, const char* text)
{
    bool callback = text == LPSTR_TEXTCALLBACK;
    std::string value = callback || !text ? "" : text;
    if (subItem == 0) {
        item.text = value;
        item.textCallback = callback;
        return;
    }
    size_t s = static_cast<size_t>(subItem);
    if (item.subItems.size() <= s) item.subItems.resize(s + 1);
    if (item.subCallback.size() <= s) item.subCallback.resize(s + 1);
    item.subItems[s] = value;
    item.subCallback[s] = callback ? 1 : 0;
}

int textWidth(HWND hwnd, ListView* lv, const std::string& text)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, lv->font.get());
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

void layoutChanged(HWND hwnd, ListView* lv)
{
    clampScroll(hwnd, lv);
    invalidate(hwnd, lv);
}

// Runs a change of the cell sizes (spacing, images, font, window size) and
// keeps the same items in sight: the focused item when it was visible, else
// the first visible one stays first.
template <class F>
void relayout(HWND hwnd, ListView* lv, F change)
{
    RECT client, r;
    GetClientRect(hwnd, &client);
    bool focusShown = lv->focused >= 0 && itemRect(hwnd, lv, lv->focused, LVIR_BOUNDS, &r) && r.right > client.left &&
                      r.left < client.right && r.bottom > client.top && r.top < client.bottom;
    int anchor = focusShown ? lv->focused : (lv->items.empty() ? -1 : topIndex(hwnd, lv));
    change();
    if (anchor >= 0 && anchor < static_cast<int>(lv->items.size())) {
        if (focusShown) {
            ensureVisible(hwnd, lv, anchor, false);
        } else if (itemRect(hwnd, lv, anchor, LVIR_BOUNDS, &r)) {
            Grid g = grid(hwnd, lv);
            scrollTo(hwnd, lv, lv->scrollX + (g.rowMajor ? 0 : r.left - g.content.left),
                     lv->scrollY + (g.rowMajor ? r.top - g.content.top : 0));
        }
    }
    layoutChanged(hwnd, lv);
}

// ---- Window life ----

LRESULT onCreateState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = controls::createState<ListView>(hwnd, message, wParam, lParam);
    const auto* cs = ptr<const CREATESTRUCT>(lParam);
    if (cs) get(hwnd)->seenStyle = static_cast<DWORD>(cs->style);
    return r;
}

LRESULT onDestroyState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    // Image lists belong to the control unless it was told they are shared.
    if (lv && !(style(hwnd) & LVS_SHAREIMAGELISTS)) {
        for (HIMAGELIST l : {lv->normalImages, lv->smallImages, lv->stateImages})
            if (l) ImageList_Destroy(l);
    }
    return controls::destroyState<ListView>(hwnd, message, wParam, lParam);
}

LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListView* lv = get(hwnd);
    // A scroll bar coming or going resizes the window while the bars are set.
    if (lv->updatingBars) layoutChanged(hwnd, lv);
    else relayout(hwnd, lv, [] {});
    return 0;
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    relayout(hwnd, lv, [&] {
        lv->font.font = reinterpret_cast<HFONT>(wParam);
        lv->textHeight = 0;
        lv->measuredRowHeight = 0;
    });
    if (LOWORD(static_cast<uintptr_t>(lParam))) invalidate(hwnd, lv);
    return 0;
}

LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(get(hwnd)->font.font); }

LRESULT onSetRedraw(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    lv->redraw = wParam != 0;
    if (lv->redraw) layoutChanged(hwnd, lv);
    return 0;
}

// ---- Items ----

LRESULT onInsertItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVITEM* in = ptr<const LVITEM>(lParam);
    if (!in || in->iSubItem != 0) return -1;
    int at = std::clamp(in->iItem, 0, static_cast<int>(lv->items.size()));
    Item item;
    if (in->mask & LVIF_TEXT) setItemText(item, 0, in->pszText);
    if (in->mask & LVIF_IMAGE) item.image = in->iImage;
    if (in->mask & LVIF_PARAM) item.param = in->lParam;
    if (in->mask & LVIF_INDENT) item.indent = std::max(0, in->iIndent);
    if (in->mask & LVIF_STATE) item.state = in->state & in->stateMask;
    if ((lv->exStyle & LVS_EX_CHECKBOXES) && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
    lv->items.insert(lv->items.begin() + at, std::move(item));
    if (lv->focused >= at) ++lv->focused;
    if (lv->selectionMark >= at) ++lv->selectionMark;
    if (lv->items[static_cast<size_t>(at)].state & LVIS_FOCUSED) {
        if (validIndex(lv, lv->focused)) lv->items[static_cast<size_t>(lv->focused)].state &= ~LVIS_FOCUSED;
        lv->focused = at;
    }
    notifyListView(hwnd, LVN_INSERTITEM, at, lv->items[static_cast<size_t>(at)].param);
    layoutChanged(hwnd, lv);
    return at;
}

LRESULT onSetItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVITEM* in = ptr<const LVITEM>(lParam);
    if (!in || !validIndex(lv, in->iItem) || in->iSubItem < 0) return FALSE;
    Item& item = lv->items[static_cast<size_t>(in->iItem)];
    if (in->iSubItem > 0) {
        if (!(in->mask & LVIF_TEXT)) return FALSE;
        setItemText(item, in->iSubItem, in->pszText);
        invalidateItem(hwnd, lv, in->iItem);
        return TRUE;
    }
    if (in->mask & LVIF_TEXT) setItemText(item, 0, in->pszText);
    if (in->mask & LVIF_IMAGE) item.image = in->iImage;
    if (in->mask & LVIF_PARAM) item.param = in->lParam;
    if (in->mask & LVIF_INDENT) item.indent = std::max(0, in->iIndent);
    invalidateItem(hwnd, lv, in->iItem);
    if (in->mask & LVIF_STATE) changeState(hwnd, lv, in->iItem, in->state, in->stateMask);
    return TRUE;
}

LRESULT onGetItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    LVITEM* out = ptr<LVITEM>(lParam);
    if (!out || !validIndex(lv, out->iItem) || out->iSubItem < 0) return FALSE;
    const Item& item = lv->items[static_cast<size_t>(out->iItem)];
    if (out->mask & LVIF_TEXT) copyOut(itemText(hwnd, lv, out->iItem, out->iSubItem), out->pszText, out->cchTextMax);
    if (out->mask & LVIF_IMAGE) out->iImage = out->iSubItem == 0 ? itemImage(hwnd, lv, out->iItem) : -1;
    if (out->mask & LVIF_PARAM) out->lParam = item.param;
    if (out->mask & LVIF_STATE) out->state = item.state & out->stateMask;
    if (out->mask & LVIF_INDENT) out->iIndent = item.indent;
    return TRUE;
}

LRESULT onGetItemCount(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(get(hwnd)->items.size()); }

LRESULT onSetItemCount(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    // Items are inserted afterwards; the count only makes room for them.
    get(hwnd)->items.reserve(std::min<size_t>(wParam, 1u << 20));
    return TRUE;
}

void forgetIndex(int* index, int removed)
{
    if (*index == removed) *index = -1;
    else if (*index > removed) --*index;
}

LRESULT onDeleteItem(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    int index = static_cast<int>(wParam);
    if (!validIndex(lv, index)) return FALSE;
    notifyListView(hwnd, LVN_DELETEITEM, index, lv->items[static_cast<size_t>(index)].param);
    if (!validIndex(lv, index)) return FALSE;
    lv->items.erase(lv->items.begin() + index);
    forgetIndex(&lv->focused, index);
    forgetIndex(&lv->selectionMark, index);
    layoutChanged(hwnd, lv);
    return TRUE;
}

LRESULT onDeleteAllItems(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListView* lv = get(hwnd);
    // A parent that answers TRUE to LVN_DELETEALLITEMS does not want one
    // LVN_DELETEITEM per item.
    if (!lv->items.empty() && !notifyListView(hwnd, LVN_DELETEALLITEMS, -1, 0)) {
        std::vector<LPARAM> params;
        for (const Item& item : lv->items) params.push_back(item.param);
        for (size_t i = 0; i < params.size(); ++i) notifyListView(hwnd, LVN_DELETEITEM, static_cast<int>(i), params[i]);
    }
    lv->items.clear();
    lv->focused = -1;
    lv->selectionMark = -1;
    lv->scrollX = lv->scrollY = 0;
    layoutChanged(hwnd, lv);
    return TRUE;
}

bool matches(const Item& item, UINT flags)
{
    if ((flags & LVNI_SELECTED) && !(item.state & LVIS_SELECTED)) return false;
    if ((flags & LVNI_FOCUSED) && !(item.state & LVIS_FOCUSED)) return false;
    return true;
}

LRESULT onGetNextItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int start = static_cast<int>(static_cast<intptr_t>(wParam));
    UINT flags = static_cast<UINT>(lParam);
    UINT direction = flags & (LVNI_ABOVE | LVNI_BELOW | LVNI_TOLEFT | LVNI_TORIGHT);
    if (direction) {
        for (int i = neighbour(hwnd, lv, start, direction); i >= 0; i = neighbour(hwnd, lv, i, direction))
            if (matches(lv->items[static_cast<size_t>(i)], flags)) return i;
        return -1;
    }
    for (int i = std::max(0, start + 1); i < static_cast<int>(lv->items.size()); ++i)
        if (matches(lv->items[static_cast<size_t>(i)], flags)) return i;
    return -1;
}

LRESULT onSetItemState(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVITEM* in = ptr<const LVITEM>(lParam);
    int index = static_cast<int>(static_cast<intptr_t>(wParam));
    if (!in) return FALSE;
    if (index == -1) {
        for (int i = 0; i < static_cast<int>(lv->items.size()); ++i) changeState(hwnd, lv, i, in->state, in->stateMask);
        return TRUE;
    }
    if (!validIndex(lv, index)) return FALSE;
    changeState(hwnd, lv, index, in->state, in->stateMask);
    return TRUE;
}

LRESULT onGetItemState(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int index = static_cast<int>(wParam);
    return validIndex(lv, index) ? static_cast<LRESULT>(lv->items[static_cast<size_t>(index)].state & static_cast<UINT>(lParam)) : 0;
}

LRESULT onGetItemText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    LVITEM* out = ptr<LVITEM>(lParam);
    int index = static_cast<int>(wParam);
    if (!out || !validIndex(lv, index) || out->iSubItem < 0) return 0;
    return copyOut(itemText(hwnd, lv, index, out->iSubItem), out->pszText, out->cchTextMax);
}

LRESULT onSetItemText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVITEM* in = ptr<const LVITEM>(lParam);
    int index = static_cast<int>(wParam);
    if (!in || !validIndex(lv, index) || in->iSubItem < 0) return FALSE;
    setItemText(lv->items[static_cast<size_t>(index)], in->iSubItem, in->pszText);
    invalidateItem(hwnd, lv, index);
    return TRUE;
}

LRESULT onGetSelectedCount(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListView* lv = get(hwnd);
    return std::count_if(lv->items.begin(), lv->items.end(), [](const Item& i) { return (i.state & LVIS_SELECTED) != 0; });
}

LRESULT onGetSelectionMark(HWND hwnd, UINT, WPARAM, LPARAM) { return get(hwnd)->selectionMark; }

LRESULT onSetSelectionMark(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int old = lv->selectionMark;
    int mark = static_cast<int>(lParam);
    lv->selectionMark = validIndex(lv, mark) ? mark : -1;
    return old;
}

LRESULT onSortItems(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    auto compare = reinterpret_cast<PFNLVCOMPARE>(lParam);
    if (!compare) return FALSE;
    std::vector<int> order(lv->items.size());
    std::iota(order.begin(), order.end(), 0);
    auto sortParam = static_cast<LPARAM>(wParam);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(lv->items[static_cast<size_t>(a)].param, lv->items[static_cast<size_t>(b)].param, sortParam) < 0;
    });
    std::vector<Item> sorted;
    sorted.reserve(order.size());
    int mark = -1, focused = -1;
    for (size_t n = 0; n < order.size(); ++n) {
        if (order[n] == lv->selectionMark) mark = static_cast<int>(n);
        if (order[n] == lv->focused) focused = static_cast<int>(n);
        sorted.push_back(std::move(lv->items[static_cast<size_t>(order[n])]));
    }
    lv->items = std::move(sorted);
    lv->selectionMark = mark;
    lv->focused = focused;
    invalidate(hwnd, lv);
    return TRUE;
}

bool equalNoCase(const std::string& a, const char* b, bool prefix)
{
    size_t n = std::strlen(b);
    if (prefix ? a.size() < n : a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

LRESULT onFindItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVFINDINFO* find = ptr<const LVFINDINFO>(lParam);
    int count = static_cast<int>(lv->items.size());
    if (!find || count == 0) return -1;
    int start = static_cast<int>(static_cast<intptr_t>(wParam)) + 1;
    if (start < 0 || start > count) start = 0;
    int steps = (find->flags & LVFI_WRAP) ? count : count - start;
    for (int k = 0; k < steps; ++k) {
        int i = (start + k) % count;
        const Item& item = lv->items[static_cast<size_t>(i)];
        if ((find->flags & LVFI_PARAM) && item.param == find->lParam) return i;
        if ((find->flags & (LVFI_STRING | LVFI_PARTIAL)) && find->psz &&
            equalNoCase(itemText(hwnd, lv, i, 0), find->psz, find->flags & LVFI_PARTIAL))
            return i;
    }
    return -1;
}

// ---- Geometry and scrolling ----

LRESULT onGetItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    RECT* r = ptr<RECT>(lParam);
    return r && itemRect(hwnd, get(hwnd), static_cast<int>(wParam), r->left, r) ? TRUE : FALSE;
}

LRESULT onGetSubItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    RECT* r = ptr<RECT>(lParam);
    return r && subItemRect(hwnd, get(hwnd), static_cast<int>(wParam), r->top, r->left, r) ? TRUE : FALSE;
}

LRESULT onGetItemPosition(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    POINT* p = ptr<POINT>(lParam);
    RECT r;
    if (!p || !itemRect(hwnd, get(hwnd), static_cast<int>(wParam), LVIR_BOUNDS, &r)) return FALSE;
    *p = POINT{r.left, r.top};
    return TRUE;
}

LRESULT onHitTest(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    LVHITTESTINFO* info = ptr<LVHITTESTINFO>(lParam);
    if (!info) return -1;
    int column;
    info->iItem = hitTest(hwnd, get(hwnd), info->pt, &info->flags, &column);
    if (message == LVM_SUBITEMHITTEST) info->iSubItem = info->iItem >= 0 ? column : -1;
    return info->iItem;
}

LRESULT onEnsureVisible(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    if (!validIndex(lv, static_cast<int>(wParam))) return FALSE;
    ensureVisible(hwnd, lv, static_cast<int>(wParam), lParam != 0);
    return TRUE;
}

LRESULT onScrollBy(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int dx = static_cast<int>(static_cast<intptr_t>(wParam)), dy = static_cast<int>(lParam);
    if (viewType(hwnd) == LVS_REPORT && dy != 0) {
        // Report view scrolls whole rows: any part of a row counts as one.
        int row = rowHeight(hwnd, lv);
        dy = (dy > 0 ? (dy + row - 1) / row : -((-dy + row - 1) / row)) * row;
    }
    scrollTo(hwnd, lv, lv->scrollX + dx, lv->scrollY + dy);
    return TRUE;
}

LRESULT onRedrawItems(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int first = std::max(0, static_cast<int>(wParam));
    int last = std::min(static_cast<int>(lParam), static_cast<int>(lv->items.size()) - 1);
    for (int i = first; i <= last; ++i) invalidateItem(hwnd, lv, i);
    return TRUE;
}

LRESULT onUpdate(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    clampScroll(hwnd, lv);
    invalidateItem(hwnd, lv, static_cast<int>(wParam));
    return TRUE;
}

LRESULT onArrange(HWND hwnd, UINT, WPARAM, LPARAM)
{
    // Items always stand in their grid order; arranging only repaints.
    layoutChanged(hwnd, get(hwnd));
    return TRUE;
}

LRESULT onGetTopIndex(HWND hwnd, UINT, WPARAM, LPARAM) { return topIndex(hwnd, get(hwnd)); }
LRESULT onGetCountPerPage(HWND hwnd, UINT, WPARAM, LPARAM) { return countPerPage(hwnd, get(hwnd)); }

LRESULT onGetOrigin(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    POINT* p = ptr<POINT>(lParam);
    int view = viewType(hwnd);
    if (!p || view == LVS_REPORT || view == LVS_LIST) return FALSE;
    *p = POINT{lv->scrollX, lv->scrollY};
    return TRUE;
}

LRESULT onGetViewRect(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    RECT* r = ptr<RECT>(lParam);
    if (!r) return FALSE;
    Grid g = grid(hwnd, lv);
    r->left = g.content.left - lv->scrollX;
    r->top = g.content.top - lv->scrollY;
    r->right = r->left + g.extentW;
    r->bottom = r->top + g.extentH;
    return TRUE;
}

LRESULT onGetStringWidth(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    const char* text = ptr<const char>(lParam);
    return text ? textWidth(hwnd, get(hwnd), text) : 0;
}

LRESULT onSetIconSpacing(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    Grid before = grid(hwnd, lv);
    auto cx = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    auto cy = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
    relayout(hwnd, lv, [&] {
        lv->spacingX = cx > 0 ? cx : -1;
        lv->spacingY = cy > 0 ? cy : -1;
    });
    bool icons = before.view == LVS_ICON;
    return MAKELPARAM(icons ? before.cellW : lv->spacingX, icons ? before.cellH : lv->spacingY);
}

LRESULT onGetItemSpacing(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    if (wParam) {
        int cx, cy;
        imageSize(lv->smallImages, &cx, &cy);
        return MAKELPARAM(cx + scaled(84), rowHeight(hwnd, lv));
    }
    int w, h;
    imageSize(lv->normalImages, &w, &h);
    if (!lv->normalImages) w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    int cx = lv->spacingX > 0 ? lv->spacingX : w + scaled(43);
    int cy = lv->spacingY > 0 ? lv->spacingY : h + textHeight(hwnd, lv) * 2 + scaled(8);
    return MAKELPARAM(cx, cy);
}

// ---- Image lists, colours, extended styles ----

HIMAGELIST* imageListSlot(ListView* lv, WPARAM kind)
{
    switch (kind) {
    case LVSIL_NORMAL: return &lv->normalImages;
    case LVSIL_SMALL: return &lv->smallImages;
    case LVSIL_STATE: return &lv->stateImages;
    default: return nullptr;
    }
}

LRESULT onSetImageList(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    HIMAGELIST* slot = imageListSlot(lv, wParam);
    if (!slot) return 0;
    HIMAGELIST old = *slot;
    relayout(hwnd, lv, [&] {
        *slot = reinterpret_cast<HIMAGELIST>(lParam);
        lv->measuredRowHeight = 0;  // small images set the row height
    });
    return reinterpret_cast<LRESULT>(old);
}

LRESULT onGetImageList(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    HIMAGELIST* slot = imageListSlot(get(hwnd), wParam);
    return slot ? reinterpret_cast<LRESULT>(*slot) : 0;
}

LRESULT onSetExtendedStyle(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
    DWORD old = lv->exStyle;
    lv->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
    bool checksNow = lv->exStyle & LVS_EX_CHECKBOXES, checksBefore = old & LVS_EX_CHECKBOXES;
    if (checksNow != checksBefore) {
        // Check boxes are state images 1 (clear) and 2 (checked).
        for (Item& item : lv->items) {
            if (checksNow && !(item.state & LVIS_STATEIMAGEMASK)) item.state |= INDEXTOSTATEIMAGEMASK(1);
            if (!checksNow) item.state &= ~LVIS_STATEIMAGEMASK;
        }
    }
    lv->measuredRowHeight = 0;
    layoutChanged(hwnd, lv);
    return static_cast<LRESULT>(old);
}

LRESULT onGetExtendedStyle(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(get(hwnd)->exStyle); }

LRESULT setColour(HWND hwnd, COLORREF ListView::*field, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    lv->*field = static_cast<COLORREF>(lParam);
    invalidate(hwnd, lv);
    return TRUE;
}
LRESULT onSetBkColour(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return setColour(hwnd, &ListView::bkColour, lParam); }
LRESULT onSetTextColour(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return setColour(hwnd, &ListView::textColour, lParam); }
LRESULT onSetTextBkColour(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return setColour(hwnd, &ListView::textBkColour, lParam); }
LRESULT onGetBkColour(HWND hwnd, UINT, WPARAM, LPARAM)
{
    COLORREF c = get(hwnd)->bkColour;
    return c == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : c;
}
LRESULT onGetTextColour(HWND hwnd, UINT, WPARAM, LPARAM)
{
    COLORREF c = get(hwnd)->textColour;
    return c == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : c;
}
LRESULT onGetTextBkColour(HWND hwnd, UINT, WPARAM, LPARAM) { return get(hwnd)->textBkColour; }

// ---- Columns ----

bool validColumn(ListView* lv, int c) { return c >= 0 && c < static_cast<int>(lv->columns.size()); }

void applyColumn(Column& c, const LVCOLUMN* in)
{
    if (in->mask & LVCF_FMT) c.fmt = in->fmt;
    if (in->mask & LVCF_WIDTH) c.width = std::max(0, in->cx);
    if (in->mask & LVCF_TEXT) c.text = in->pszText && in->pszText != LPSTR_TEXTCALLBACK ? in->pszText : "";
    if (in->mask & LVCF_SUBITEM) c.subItem = std::max(0, in->iSubItem);
}

LRESULT onInsertColumn(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVCOLUMN* in = ptr<const LVCOLUMN>(lParam);
    if (!in) return -1;
    int at = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(lv->columns.size()));
    Column c;
    c.subItem = at;
    applyColumn(c, in);
    lv->columns.insert(lv->columns.begin() + at, c);
    layoutChanged(hwnd, lv);
    return at;
}

LRESULT onSetColumn(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    const LVCOLUMN* in = ptr<const LVCOLUMN>(lParam);
    int c = static_cast<int>(wParam);
    if (!in || !validColumn(lv, c)) return FALSE;
    applyColumn(lv->columns[static_cast<size_t>(c)], in);
    layoutChanged(hwnd, lv);
    return TRUE;
}

LRESULT onGetColumn(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    LVCOLUMN* out = ptr<LVCOLUMN>(lParam);
    int c = static_cast<int>(wParam);
    if (!out || !validColumn(lv, c)) return FALSE;
    const Column& col = lv->columns[static_cast<size_t>(c)];
    if (out->mask & LVCF_FMT) out->fmt = col.fmt;
    if (out->mask & LVCF_WIDTH) out->cx = col.width;
    if (out->mask & LVCF_TEXT) copyOut(col.text, out->pszText, out->cchTextMax);
    if (out->mask & LVCF_SUBITEM) out->iSubItem = col.subItem;
    return TRUE;
}

LRESULT onDeleteColumn(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    int c = static_cast<int>(wParam);
    if (!validColumn(lv, c)) return FALSE;
    lv->columns.erase(lv->columns.begin() + c);
    layoutChanged(hwnd, lv);
    return TRUE;
}

LRESULT onGetColumnWidth(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListView* lv = get(hwnd);
    if (viewType(hwnd) == LVS_LIST) return lv->listColumnWidth > 0 ? lv->listColumnWidth : scaled(100);
    int c = static_cast<int>(wParam);
    return validColumn(lv, c) ? lv->columns[static_cast<size_t>(c)].width : 0;
}

int autoWidth(HWND hwnd, ListView* lv, int column, bool withHeader)
{
    const Column& col = lv->columns[static_cast<size_t>(column)];
    int widest = withHeader ? textWidth(hwnd, lv, col.text) : 0;
    for (int i = 0; i < static_cast<int>(lv->items.size()); ++i)
        widest = std::max(widest, textWidth(hwnd, lv, itemText(hwnd, lv, i, column == 0 ? 0 : col.subItem)));
    int extra = scaled(12);
    if (column == 0) {
        int cx, cy;
        imageSize(lv->smallImages, &cx, &cy);
        extra += cx + ((lv->exStyle & LVS_EX_CHECKBOXES) ? checkBoxSize() + scaled(3) : 0);
    }
    return widest + extra;
}

LRESULT onSetColumnWidth(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = get(hwnd);
    int cx = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    if (viewType(hwnd) == LVS_LIST) {
        lv->listColumnWidth = std::max(1, cx);
        layoutChanged(hwnd, lv);
        return TRUE;
    }
    int c = static_cast<int>(wParam);
    if (!validColumn(lv, c)) return FALSE;
    if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) cx = autoWidth(hwnd, lv, c, cx == LVSCW_AUTOSIZE_USEHEADER);
    lv->columns[static_cast<size_t>(c)].width = std::max(0, cx);
    layoutChanged(hwnd, lv);
    return TRUE;
}

LRESULT onGetHeader(HWND, UINT, WPARAM, LPARAM) { return 0; }

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, onCreateState},
    {WM_NCDESTROY, onDestroyState},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, controls::paintsOwnBackground},
    {WM_SIZE, onSize},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_SETREDRAW, onSetRedraw},
    {WM_SETFOCUS, onFocus},
    {WM_KILLFOCUS, onFocus},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDblClk},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_KEYDOWN, onKeyDown},
    {WM_HSCROLL, onScroll},
    {WM_VSCROLL, onScroll},
    {LVM_GETBKCOLOR, onGetBkColour},
    {LVM_SETBKCOLOR, onSetBkColour},
    {LVM_GETTEXTCOLOR, onGetTextColour},
    {LVM_SETTEXTCOLOR, onSetTextColour},
    {LVM_GETTEXTBKCOLOR, onGetTextBkColour},
    {LVM_SETTEXTBKCOLOR, onSetTextBkColour},
    {LVM_GETIMAGELIST, onGetImageList},
    {LVM_SETIMAGELIST, onSetImageList},
    {LVM_GETITEMCOUNT, onGetItemCount},
    {LVM_SETITEMCOUNT, onSetItemCount},
    {LVM_GETITEM, onGetItem},
    {LVM_SETITEM, onSetItem},
    {LVM_INSERTITEM, onInsertItem},
    {LVM_DELETEITEM, onDeleteItem},
    {LVM_DELETEALLITEMS, onDeleteAllItems},
    {LVM_GETNEXTITEM, onGetNextItem},
    {LVM_FINDITEM, onFindItem},
    {LVM_GETITEMRECT, onGetItemRect},
    {LVM_GETSUBITEMRECT, onGetSubItemRect},
    {LVM_GETITEMPOSITION, onGetItemPosition},
    {LVM_GETSTRINGWIDTH, onGetStringWidth},
    {LVM_HITTEST, onHitTest},
    {LVM_SUBITEMHITTEST, onHitTest},
    {LVM_ENSUREVISIBLE, onEnsureVisible},
    {LVM_SCROLL, onScrollBy},
    {LVM_REDRAWITEMS, onRedrawItems},
    {LVM_UPDATE, onUpdate},
    {LVM_ARRANGE, onArrange},
    {LVM_GETCOLUMN, onGetColumn},
    {LVM_SETCOLUMN, onSetColumn},
    {LVM_INSERTCOLUMN, onInsertColumn},
    {LVM_DELETECOLUMN, onDeleteColumn},
    {LVM_GETCOLUMNWIDTH, onGetColumnWidth},
    {LVM_SETCOLUMNWIDTH, onSetColumnWidth},
    {LVM_GETHEADER, onGetHeader},
    {LVM_GETVIEWRECT, onGetViewRect},
    {LVM_GETTOPINDEX, onGetTopIndex},
    {LVM_GETCOUNTPERPAGE, onGetCountPerPage},
    {LVM_GETORIGIN, onGetOrigin},
    {LVM_SETITEMSTATE, onSetItemState},
    {LVM_GETITEMSTATE, onGetItemState},
    {LVM_GETITEMTEXT, onGetItemText},
    {LVM_SETITEMTEXT, onSetItemText},
    {LVM_SORTITEMS, onSortItems},
    {LVM_GETSELECTEDCOUNT, onGetSelectedCount},
    {LVM_GETITEMSPACING, onGetItemSpacing},
    {LVM_SETICONSPACING, onSetIconSpacing},
    {LVM_SETEXTENDEDLISTVIEWSTYLE, onSetExtendedStyle},
    {LVM_GETEXTENDEDLISTVIEWSTYLE, onGetExtendedStyle},
    {LVM_GETSELECTIONMARK, onGetSelectionMark},
    {LVM_SETSELECTIONMARK, onSetSelectionMark},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

LRESULT listViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NCCREATE && message != WM_NCDESTROY) {
        if (ListView* lv = get(hwnd)) syncStyle(hwnd, lv);
    }
    return DispatchMessageMap(&kMap, hwnd, message, wParam, lParam);
}

}  // namespace

}  // namespace listview

void registerListViewClass() { controls::registerControlClass(WC_LISTVIEW, listview::listViewProc, CS_DBLCLKS); }
