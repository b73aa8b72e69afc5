// List box: a column of text items of one height, each with a data word. One
// item is selected, or several with LBS_MULTIPLESEL (taps toggle) or
// LBS_EXTENDEDSEL (a tap selects one, a drag a run). A list box made with
// WS_VSCROLL keeps its window scroll bar in step with the items: range = the
// items, page = the whole rows shown, position = the top item; the bar goes
// away while everything fits (unless LBS_DISABLENOSCROLL).
#include "platform/controls/control_kit.h"
#include "platform/controls/listbox.h"

#include <strings.h>

#include <cstring>

#include <string>
#include <vector>

using namespace controls;

namespace {

struct Item {
    std::string text;
    LPARAM data = 0;
    bool selected = false;  // multiple selection only
};

struct ListBox {
    FontHolder font;
    std::vector<Item> items;
    int current = -1;  // the selected item (single selection)
    int caret = 0;     // the focused item (multiple selection)
    int anchor = 0;    // where an extended selection starts
    int top = 0;
    int itemHeight = 0;    // LB_SETITEMHEIGHT; 0: the font's height
    bool scrollBar = false;
    bool tracking = false;  // the stylus went down on an item and is still down
    int before = -1;        // the selection when it went down (single selection)
    bool changed = false;   // the selection changed while tracking (multiple selection)
    int requestedHeight = -1;  // the height asked for, before cutting to whole items
    bool adjusting = false;
};

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
bool multiple(HWND hwnd) { return styleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
bool extended(HWND hwnd) { return styleOf(hwnd) & LBS_EXTENDEDSEL; }
int count(const ListBox* l) { return static_cast<int>(l->items.size()); }
bool valid(const ListBox* l, WPARAM index) { return index < l->items.size(); }

int itemHeight(HWND hwnd, const ListBox* l)
{
    if (l->itemHeight > 0) return l->itemHeight;
    return std::max(1, l->font.lineHeight(hwnd));
}

// Whole rows shown (at least one).
int rows(HWND hwnd, const ListBox* l)
{
    RECT c;
    GetClientRect(hwnd, &c);
    return std::max(1, static_cast<int>(c.bottom) / itemHeight(hwnd, l));
}

int maxTop(HWND hwnd, const ListBox* l) { return std::max(0, count(l) - rows(hwnd, l)); }

void notify(HWND hwnd, WORD code)
{
    if (styleOf(hwnd) & LBS_NOTIFY) notifyCommand(hwnd, code);
}

void updateScrollBar(HWND hwnd, const ListBox* l)
{
    if (!l->scrollBar) return;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, count(l) - 1), static_cast<UINT>(rows(hwnd, l)), l->top, 0};
    if (styleOf(hwnd) & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void setTop(HWND hwnd, ListBox* l, int top)
{
    top = std::clamp(top, 0, maxTop(hwnd, l));
    if (top != l->top) {
        l->top = top;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    updateScrollBar(hwnd, l);
}

void ensureVisible(HWND hwnd, ListBox* l, int index)
{
    if (index < 0 || index >= count(l)) return;
    int top = l->top;
    if (index < top) top = index;
    else if (index >= top + rows(hwnd, l)) top = index - rows(hwnd, l) + 1;
    setTop(hwnd, l, top);
}

// The item under a client point, or -1 below the last.
int itemAt(HWND hwnd, const ListBox* l, int y)
{
    if (y < 0) return -1;
    int index = l->top + y / itemHeight(hwnd, l);
    return index < count(l) ? index : -1;
}

void selectSingle(HWND hwnd, ListBox* l, int index)
{
    if (index == l->current) return;
    l->current = index;
    ensureVisible(hwnd, l, index);
    InvalidateRect(hwnd, nullptr, FALSE);
}

// Extended selection: exactly the items from the anchor to `to`.
void selectRun(HWND hwnd, ListBox* l, int to)
{
    int lo = std::min(l->anchor, to), hi = std::max(l->anchor, to);
    for (int i = 0; i < count(l); ++i) {
        bool on = i >= lo && i <= hi;
        if (l->items[static_cast<size_t>(i)].selected != on) l->changed = true;
        l->items[static_cast<size_t>(i)].selected = on;
    }
    l->caret = to;
    ensureVisible(hwnd, l, to);
    InvalidateRect(hwnd, nullptr, FALSE);
}

// The window height that shows whole items, for a height asked for.
int fittedHeight(HWND hwnd, const ListBox* l, int requested)
{
    if (styleOf(hwnd) & LBS_NOINTEGRALHEIGHT) return requested;
    RECT w, c;
    GetWindowRect(hwnd, &w);
    GetClientRect(hwnd, &c);
    int frame = (w.bottom - w.top) - c.bottom;
    int client = requested - frame;
    int h = itemHeight(hwnd, l);
    return client > h ? requested - client % h : requested;
}

// Height cut to whole items, from the height last asked for.
void fitHeight(HWND hwnd, ListBox* l)
{
    if (l->requestedHeight < 0 || l->adjusting) return;
    RECT w;
    GetWindowRect(hwnd, &w);
    int height = fittedHeight(hwnd, l, l->requestedHeight);
    if (height == w.bottom - w.top) return;
    l->adjusting = true;
    SetWindowPos(hwnd, nullptr, 0, 0, w.right - w.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    l->adjusting = false;
}

// ---- Painting ----

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT c;
    GetClientRect(hwnd, &c);
    FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, l->font.get());
    SetBkMode(dc, TRANSPARENT);
    int h = itemHeight(hwnd, l);
    bool enabled = IsWindowEnabled(hwnd);
    bool many = multiple(hwnd);
    for (int i = l->top; i < count(l) && (i - l->top) * h < c.bottom; ++i) {
        const Item& item = l->items[static_cast<size_t>(i)];
        RECT r{0, (i - l->top) * h, c.right, (i - l->top + 1) * h};
        bool selected = many ? item.selected : i == l->current;
        if (selected) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text{r.left + scaled(2), r.top, r.right, r.bottom};
        DrawText(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (many && i == l->caret && GetFocus() == hwnd) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- Stylus ----

void pressOn(HWND hwnd, ListBox* l, int index)
{
    l->tracking = true;
    l->before = l->current;
    l->changed = false;
    SetCapture(hwnd);
    if (!multiple(hwnd)) {
        selectSingle(hwnd, l, index);
    } else if (extended(hwnd)) {
        l->anchor = index;
        selectRun(hwnd, l, index);
    } else {
        Item& item = l->items[static_cast<size_t>(index)];
        item.selected = !item.selected;
        l->caret = index;
        l->changed = true;
        ensureVisible(hwnd, l, index);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

LRESULT onLButtonDown(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    SetFocus(hwnd);
    ListBox* l = state<ListBox>(hwnd);
    int index = itemAt(hwnd, l, GET_Y_LPARAM(lParam));
    if (index < 0) return 0;
    pressOn(hwnd, l, index);
    if (message == WM_LBUTTONDBLCLK) notify(hwnd, LBN_DBLCLK);
    return 0;
}

// Dragging moves the selection (single) or the end of the run (extended).
LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!l->tracking || count(l) == 0 || (multiple(hwnd) && !extended(hwnd))) return 0;
    int y = GET_Y_LPARAM(lParam);
    int index = y < 0 ? l->top : itemAt(hwnd, l, y);
    if (index < 0) index = std::min(count(l) - 1, l->top + rows(hwnd, l) - 1);
    if (extended(hwnd)) selectRun(hwnd, l, index);
    else selectSingle(hwnd, l, index);
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!l->tracking) return 0;
    l->tracking = false;
    ReleaseCapture();
    bool changed = multiple(hwnd) ? l->changed : l->current != l->before;
    if (changed) notify(hwnd, LBN_SELCHANGE);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    state<ListBox>(hwnd)->tracking = false;
    return 0;
}

// ---- Keys ----

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (count(l) == 0) return DefWindowProc(hwnd, message, wParam, lParam);
    bool many = multiple(hwnd);
    int from = many ? l->caret : l->current;
    int page = std::max(1, rows(hwnd, l) - 1);
    int to;
    switch (wParam) {
    case VK_UP: to = from - 1; break;
    case VK_DOWN: to = from + 1; break;
    case VK_PRIOR: to = from - page; break;
    case VK_NEXT: to = from + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = count(l) - 1; break;
    case VK_SPACE:
        if (many && !extended(hwnd) && valid(l, static_cast<WPARAM>(l->caret))) {
            Item& item = l->items[static_cast<size_t>(l->caret)];
            item.selected = !item.selected;
            InvalidateRect(hwnd, nullptr, FALSE);
            notify(hwnd, LBN_SELCHANGE);
        }
        return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (from < 0) to = 0;  // nothing selected yet: start at the first item
    to = std::clamp(to, 0, count(l) - 1);
    if (!many) {
        if (to == l->current) return 0;
        selectSingle(hwnd, l, to);
        notify(hwnd, LBN_SELCHANGE);
    } else if (extended(hwnd)) {
        l->anchor = to;
        l->changed = false;
        selectRun(hwnd, l, to);
        if (l->changed) notify(hwnd, LBN_SELCHANGE);
    } else {
        l->caret = to;
        ensureVisible(hwnd, l, to);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
}

// ---- Its scroll bar ----

LRESULT onVScroll(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    int page = std::max(1, rows(hwnd, l) - 1);
    int top = l->top;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = count(l); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = scrollThumbPosition(hwnd, SB_VERT, wParam); break;
    default: return 0;
    }
    setTop(hwnd, l, top);
    return 0;
}

// ---- Items ----

LRESULT insertAt(HWND hwnd, ListBox* l, int index, const char* text)
{
    if (!text) text = "";
    Item item;
    item.text = text;
    l->items.insert(l->items.begin() + index, item);
    if (l->current >= index) ++l->current;
    if (l->caret > index || (l->caret == index && count(l) > 1)) ++l->caret;
    if (l->anchor > index) ++l->anchor;
    updateScrollBar(hwnd, l);
    InvalidateRect(hwnd, nullptr, FALSE);
    return index;
}

LRESULT onAddString(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    const char* text = reinterpret_cast<const char*>(lParam);
    int index = count(l);
    if ((styleOf(hwnd) & LBS_SORT) && text) {
        // After the items that sort before or equal to it.
        auto at = std::upper_bound(l->items.begin(), l->items.end(), text,
                                   [](const char* t, const Item& item) { return strcasecmp(t, item.text.c_str()) < 0; });
        index = static_cast<int>(at - l->items.begin());
    }
    return insertAt(hwnd, l, index, text);
}

LRESULT onInsertString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    int index = static_cast<int>(wParam);
    if (index == -1) index = count(l);
    if (index < 0 || index > count(l)) return LB_ERR;
    return insertAt(hwnd, l, index, reinterpret_cast<const char*>(lParam));
}

LRESULT onDeleteString(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam)) return LB_ERR;
    int index = static_cast<int>(wParam);
    l->items.erase(l->items.begin() + index);
    if (l->current == index) l->current = -1;
    else if (l->current > index) --l->current;
    int last = std::max(0, count(l) - 1);
    if (l->caret > index) --l->caret;
    if (l->anchor > index) --l->anchor;
    l->caret = std::min(l->caret, last);
    l->anchor = std::min(l->anchor, last);
    l->top = std::min(l->top, maxTop(hwnd, l));
    updateScrollBar(hwnd, l);
    InvalidateRect(hwnd, nullptr, FALSE);
    return count(l);
}

LRESULT onResetContent(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    l->items.clear();
    l->current = -1;
    l->caret = l->anchor = l->top = 0;
    updateScrollBar(hwnd, l);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onGetCount(HWND hwnd, UINT, WPARAM, LPARAM) { return count(state<ListBox>(hwnd)); }

LRESULT onGetText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam) || !lParam) return LB_ERR;
    const std::string& text = l->items[wParam].text;
    char* out = reinterpret_cast<char*>(lParam);
    text.copy(out, text.size());
    out[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
}

LRESULT onGetTextLen(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    return valid(l, wParam) ? static_cast<LRESULT>(l->items[wParam].text.size()) : static_cast<LRESULT>(LB_ERR);
}

LRESULT onSetItemData(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam)) return LB_ERR;
    l->items[wParam].data = lParam;
    return LB_OKAY;
}

LRESULT onGetItemData(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    return valid(l, wParam) ? l->items[wParam].data : static_cast<LRESULT>(LB_ERR);
}

// Searches after `start` (from the first item when -1 or out of range),
// wrapping round once; exact: the whole text, else a prefix; case ignored.
int find(const ListBox* l, WPARAM start, const char* text, bool exact)
{
    if (!text || l->items.empty()) return LB_ERR;
    size_t n = l->items.size();
    size_t from = start < n ? start + 1 : 0;
    size_t length = std::strlen(text);
    for (size_t k = 0; k < n; ++k) {
        const std::string& item = l->items[(from + k) % n].text;
        bool hit = exact ? strcasecmp(item.c_str(), text) == 0 : item.size() >= length && strncasecmp(item.c_str(), text, length) == 0;
        if (hit) return static_cast<int>((from + k) % n);
    }
    return LB_ERR;
}

LRESULT onFindString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return find(state<ListBox>(hwnd), wParam, reinterpret_cast<const char*>(lParam), false);
}

LRESULT onFindStringExact(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return find(state<ListBox>(hwnd), wParam, reinterpret_cast<const char*>(lParam), true);
}

LRESULT onSelectString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (multiple(hwnd)) return LB_ERR;
    int index = find(l, wParam, reinterpret_cast<const char*>(lParam), false);
    if (index >= 0) selectSingle(hwnd, l, index);
    return index;
}

LRESULT onGetCurSel(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (multiple(hwnd)) return count(l) > 0 ? l->caret : LB_ERR;
    return l->current;
}

LRESULT onSetCurSel(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (multiple(hwnd)) return LB_ERR;
    // -1 clears the selection (and, as ever, answers LB_ERR); an index past the
    // items is refused and changes nothing.
    if (wParam != static_cast<WPARAM>(-1) && !valid(l, wParam)) return LB_ERR;
    int index = valid(l, wParam) ? static_cast<int>(wParam) : -1;
    selectSingle(hwnd, l, index);
    return index;
}

LRESULT onGetSel(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam)) return LB_ERR;
    return multiple(hwnd) ? l->items[wParam].selected : static_cast<int>(wParam) == l->current;
}

LRESULT onSetSel(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    int index = static_cast<int>(lParam);
    if (!multiple(hwnd) || index < -1 || index >= count(l)) return LB_ERR;
    for (int i = 0; i < count(l); ++i)
        if (index == -1 || i == index) l->items[static_cast<size_t>(i)].selected = wParam != 0;
    if (index >= 0) {
        l->caret = l->anchor = index;
        ensureVisible(hwnd, l, index);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return LB_OKAY;
}

LRESULT onSelItemRange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!multiple(hwnd)) return LB_ERR;
    int first = LOWORD(static_cast<uintptr_t>(lParam)), last = HIWORD(static_cast<uintptr_t>(lParam));
    for (int i = std::max(0, first); i <= std::min(last, count(l) - 1); ++i) l->items[static_cast<size_t>(i)].selected = wParam != 0;
    InvalidateRect(hwnd, nullptr, FALSE);
    return LB_OKAY;
}

LRESULT onGetSelCount(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!multiple(hwnd)) return LB_ERR;
    return std::count_if(l->items.begin(), l->items.end(), [](const Item& i) { return i.selected; });
}

LRESULT onGetSelItems(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    int* out = reinterpret_cast<int*>(lParam);
    if (!multiple(hwnd) || !out) return LB_ERR;
    int n = 0;
    for (int i = 0; i < count(l) && static_cast<WPARAM>(n) < wParam; ++i)
        if (l->items[static_cast<size_t>(i)].selected) out[n++] = i;
    return n;
}

LRESULT onGetAnchor(HWND hwnd, UINT, WPARAM, LPARAM) { return state<ListBox>(hwnd)->anchor; }
LRESULT onGetCaret(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    return multiple(hwnd) ? l->caret : l->current < 0 ? 0 : l->current;
}
LRESULT onSetCaret(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam)) return LB_ERR;
    l->caret = static_cast<int>(wParam);
    ensureVisible(hwnd, l, l->caret);
    InvalidateRect(hwnd, nullptr, FALSE);
    return LB_OKAY;
}

LRESULT onSetTopIndex(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam)) return LB_ERR;
    setTop(hwnd, l, static_cast<int>(wParam));
    return LB_OKAY;
}
LRESULT onGetTopIndex(HWND hwnd, UINT, WPARAM, LPARAM) { return state<ListBox>(hwnd)->top; }

LRESULT onGetItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!valid(l, wParam) || !lParam) return LB_ERR;
    RECT c;
    GetClientRect(hwnd, &c);
    int h = itemHeight(hwnd, l);
    int y = (static_cast<int>(wParam) - l->top) * h;
    *reinterpret_cast<RECT*>(lParam) = RECT{0, y, c.right, y + h};
    return LB_OKAY;
}

LRESULT onGetItemHeight(HWND hwnd, UINT, WPARAM, LPARAM) { return itemHeight(hwnd, state<ListBox>(hwnd)); }
LRESULT onSetItemHeight(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    int h = LOWORD(static_cast<uintptr_t>(lParam));
    if (h <= 0 || h > 255) return LB_ERR;
    l->itemHeight = h;
    fitHeight(hwnd, l);
    setTop(hwnd, l, l->top);
    InvalidateRect(hwnd, nullptr, FALSE);
    return LB_OKAY;
}

LRESULT onItemFromPoint(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    int y = GET_Y_LPARAM(lParam);
    int index = itemAt(hwnd, l, y);
    bool outside = index < 0;
    if (outside) index = y < 0 ? l->top : std::max(0, count(l) - 1);
    return static_cast<LRESULT>(static_cast<DWORD>(MAKELPARAM(index, outside ? 1 : 0)));
}

// ---- Window life ----

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    const CREATESTRUCT* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    l->scrollBar = cs && (cs->style & WS_VSCROLL);
    l->requestedHeight = cs ? cs->cy : -1;
    fitHeight(hwnd, l);
    updateScrollBar(hwnd, l);
    return 0;
}

LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListBox* l = state<ListBox>(hwnd);
    if (!l->adjusting) {
        // A height other than the one cut from the last request is a new request.
        RECT w;
        GetWindowRect(hwnd, &w);
        int height = w.bottom - w.top;
        if (l->requestedHeight < 0 || height != fittedHeight(hwnd, l, l->requestedHeight)) l->requestedHeight = height;
        fitHeight(hwnd, l);
    }
    setTop(hwnd, l, l->top);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    ListBox* l = state<ListBox>(hwnd);
    l->font.font = reinterpret_cast<HFONT>(wParam);
    fitHeight(hwnd, l);
    setTop(hwnd, l, l->top);
    if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}
LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(state<ListBox>(hwnd)->font.font); }

LRESULT onSetFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    notify(hwnd, LBN_SETFOCUS);
    return 0;
}
LRESULT onKillFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    notify(hwnd, LBN_KILLFOCUS);
    return 0;
}
constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<ListBox>},
    {WM_NCDESTROY, destroyState<ListBox>},
    {WM_CREATE, onCreate},
    {WM_SIZE, onSize},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_ENABLE, repaintAfterDefault},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_SETFOCUS, onSetFocus},
    {WM_KILLFOCUS, onKillFocus},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_KEYDOWN, onKeyDown},
    {WM_VSCROLL, onVScroll},
    {LB_ADDSTRING, onAddString},
    {LB_INSERTSTRING, onInsertString},
    {LB_DELETESTRING, onDeleteString},
    {LB_RESETCONTENT, onResetContent},
    {LB_SETSEL, onSetSel},
    {LB_SETCURSEL, onSetCurSel},
    {LB_GETSEL, onGetSel},
    {LB_GETCURSEL, onGetCurSel},
    {LB_GETTEXT, onGetText},
    {LB_GETTEXTLEN, onGetTextLen},
    {LB_GETCOUNT, onGetCount},
    {LB_SELECTSTRING, onSelectString},
    {LB_GETTOPINDEX, onGetTopIndex},
    {LB_FINDSTRING, onFindString},
    {LB_GETSELCOUNT, onGetSelCount},
    {LB_GETSELITEMS, onGetSelItems},
    {LB_SETTOPINDEX, onSetTopIndex},
    {LB_GETITEMRECT, onGetItemRect},
    {LB_GETITEMDATA, onGetItemData},
    {LB_SETITEMDATA, onSetItemData},
    {LB_SELITEMRANGE, onSelItemRange},
    {LB_GETANCHORINDEX, onGetAnchor},
    {LB_SETCARETINDEX, onSetCaret},
    {LB_GETCARETINDEX, onGetCaret},
    {LB_SETITEMHEIGHT, onSetItemHeight},
    {LB_GETITEMHEIGHT, onGetItemHeight},
    {LB_FINDSTRINGEXACT, onFindStringExact},
    {LB_ITEMFROMPOINT, onItemFromPoint},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerListBoxClass() { registerControlClass(WC_LISTBOX, MessageMapProc<kMap>, CS_DBLCLKS); }
