// Tab control: a row of tabs along the top (or the bottom with TCS_BOTTOM) and
// the display area for the selected tab's page. One layout function places the
// tabs for painting, for taps and for TCM_GETITEMRECT alike; a row wider than
// the control gets two arrows at its right end that scroll it. Taps and the arrow
// keys ask the parent first (TCN_SELCHANGING, refusable) and then report
// TCN_SELCHANGE; TCM_SETCURSEL selects silently.
#include "platform/controls/control_kit.h"
#include "platform/controls/tab.h"

#include <string>
#include <vector>

using namespace controls;

namespace {

struct Tab {
    std::string text;
    int image = -1;
    LPARAM param = 0;
};

struct TabControl {
    FontHolder font;
    std::vector<Tab> tabs;
    int current = -1;
    int first = 0;        // first tab shown when the row is wider than the control
    int fixedWidth = 0;   // TCM_SETITEMSIZE; 0 for the default
    int fixedHeight = 0;
};

bool atBottom(HWND hwnd) { return GetWindowLong(hwnd, GWL_STYLE) & TCS_BOTTOM; }

int textWidth(HWND hwnd, const TabControl* t, const std::string& text)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, t->font.get());
    SIZE size{0, 0};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

// Height of the tab row: the font's line with a margin above and below.
int rowHeight(HWND hwnd, const TabControl* t)
{
    if (t->fixedHeight > 0) return t->fixedHeight;
    return t->font.lineHeight(hwnd) + 2 * scaled(3) + 1;
}

int tabWidth(HWND hwnd, const TabControl* t, const Tab& tab)
{
    if (GetWindowLong(hwnd, GWL_STYLE) & TCS_FIXEDWIDTH) return t->fixedWidth > 0 ? t->fixedWidth : scaled(64);
    return textWidth(hwnd, t, tab.text) + 2 * scaled(6);
}

struct Layout {
    int height = 0;          // of the tab row
    RECT strip{};            // the row itself, in client coordinates
    std::vector<RECT> tabs;  // cut at `room`; empty for tabs scrolled out at the left or beyond the room
    std::vector<int> ends;   // uncut right edge of each tab (as if along the top)
    int room = 0;            // right edge of the tabs' part of the row
    bool overflow = false;   // the row is wider than the control: arrows at its right end scroll it
    RECT back{};             // arrow that shows earlier tabs
    RECT forward{};          // arrow that shows later tabs
};

// Tabs are laid out as if along the top; with TCS_BOTTOM every rectangle is
// mirrored to the bottom edge.
RECT placed(HWND hwnd, const RECT& top)
{
    if (!atBottom(hwnd)) return top;
    RECT c;
    GetClientRect(hwnd, &c);
    return RECT{top.left, c.bottom - top.bottom, top.right, c.bottom - top.top};
}

Layout layout(HWND hwnd, const TabControl* t)
{
    Layout l;
    RECT c;
    GetClientRect(hwnd, &c);
    l.height = std::min<int>(rowHeight(hwnd, t), c.bottom);
    l.strip = placed(hwnd, RECT{0, 0, c.right, l.height});
    std::vector<int> widths;
    int total = 0;
    for (const Tab& tab : t->tabs) {
        widths.push_back(tabWidth(hwnd, t, tab));
        total += widths.back();
    }
    l.overflow = total > c.right;
    l.room = c.right;
    if (l.overflow) {
        int arrow = scaled(14);
        l.room = std::max(0, static_cast<int>(c.right) - 2 * arrow);
        l.back = placed(hwnd, RECT{l.room, 0, l.room + arrow, l.height});
        l.forward = placed(hwnd, RECT{l.room + arrow, 0, l.room + 2 * arrow, l.height});
    }
    int x = 0;
    for (size_t i = 0; i < t->tabs.size(); ++i) {
        if (static_cast<int>(i) < t->first) {
            l.tabs.push_back(RECT{0, 0, 0, 0});
            l.ends.push_back(0);
            continue;
        }
        int right = x + widths[i];
        l.ends.push_back(right);
        l.tabs.push_back(x < l.room ? placed(hwnd, RECT{x, 0, std::min(right, l.room), l.height}) : RECT{0, 0, 0, 0});
        x = right;
    }
    return l;
}

bool canScrollForward(const Layout& l) { return l.overflow && !l.ends.empty() && l.ends.back() > l.room; }

// Scrolls the row so that the selected tab is wholly shown (when it fits).
void showCurrent(HWND hwnd, TabControl* t)
{
    if (t->current < 0) {
        t->first = 0;
        return;
    }
    t->first = std::min(t->first, t->current);
    while (t->first < t->current) {
        Layout l = layout(hwnd, t);
        if (l.ends[static_cast<size_t>(t->current)] <= l.room) break;
        ++t->first;
    }
}

int tabAt(HWND hwnd, const TabControl* t, int x, int y)
{
    Layout l = layout(hwnd, t);
    for (size_t i = 0; i < l.tabs.size(); ++i)
        if (contains(l.tabs[i], x, y)) return static_cast<int>(i);
    return -1;
}

void select(HWND hwnd, TabControl* t, int index)
{
    t->current = index;
    showCurrent(hwnd, t);
    InvalidateRect(hwnd, nullptr, FALSE);
}

// A change the user asked for: the parent may refuse it.
void userSelect(HWND hwnd, int index)
{
    TabControl* t = state<TabControl>(hwnd);
    if (index < 0 || index >= static_cast<int>(t->tabs.size()) || index == t->current) return;
    NMHDR header{};
    if (notifyParent(hwnd, &header, TCN_SELCHANGING)) return;
    t = state<TabControl>(hwnd);  // the parent may have changed the tabs meanwhile
    if (!t || index >= static_cast<int>(t->tabs.size())) return;
    select(hwnd, t, index);
    notifyParent(hwnd, &header, TCN_SELCHANGE);
}

// ---- Painting ----

void paintTab(HWND hwnd, HDC dc, const TabControl* t, const Tab& tab, RECT r, bool selected)
{
    bool bottom = atBottom(hwnd);
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_WINDOW : COLOR_BTNFACE));
    HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
    // Three sides: the side towards the page stays open on the selected tab.
    RECT left{r.left, r.top, r.left + 1, r.bottom};
    RECT right{r.right - 1, r.top, r.right, r.bottom};
    RECT outer = bottom ? RECT{r.left, r.bottom - 1, r.right, r.bottom} : RECT{r.left, r.top, r.right, r.top + 1};
    FillRect(dc, &left, frame);
    FillRect(dc, &right, frame);
    FillRect(dc, &outer, frame);
    HGDIOBJ old = SelectObject(dc, t->font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    DrawText(dc, tab.text.c_str(), static_cast<int>(tab.text.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
}

// A framed box with a small triangle pointing left or right, grey when there
// is nothing more that way.
void paintArrow(HDC dc, const RECT& box, bool right, bool enabled)
{
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    HBRUSH glyph = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    int rows = std::max(2, (box.right - box.left) / 3);
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    for (int i = 0; i < rows; ++i) {
        // Column i is 2i+1 high; column 0 is the tip.
        int x = right ? cx + rows / 2 - i : cx - rows / 2 + i;
        RECT r{x, cy - i, x + 1, cy + i + 1};
        FillRect(dc, &r, glyph);
    }
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    TabControl* t = state<TabControl>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT c;
    GetClientRect(hwnd, &c);
    Layout l = layout(hwnd, t);
    FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
    FillRect(dc, &l.strip, GetSysColorBrush(COLOR_BTNFACE));
    // The line between the row and the page, broken under the selected tab.
    bool bottom = atBottom(hwnd);
    RECT line = bottom ? RECT{0, l.strip.top, c.right, l.strip.top + 1} : RECT{0, l.strip.bottom - 1, c.right, l.strip.bottom};
    FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    for (size_t i = 0; i < t->tabs.size(); ++i) {
        if (IsRectEmpty(&l.tabs[i])) continue;
        paintTab(hwnd, dc, t, t->tabs[i], l.tabs[i], static_cast<int>(i) == t->current);
    }
    if (l.overflow) {
        paintArrow(dc, l.back, false, t->first > 0);
        paintArrow(dc, l.forward, true, canScrollForward(l));
    }
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- Input ----

// The arrows of an overflowing row scroll it by a tab; the selection stays.
bool scrollRow(HWND hwnd, TabControl* t, int x, int y)
{
    Layout l = layout(hwnd, t);
    if (!l.overflow) return false;
    if (contains(l.back, x, y)) {
        if (t->first > 0) --t->first;
    } else if (contains(l.forward, x, y)) {
        if (canScrollForward(l)) ++t->first;
    } else {
        return false;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    if (scrollRow(hwnd, t, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
    int index = tabAt(hwnd, t, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (index < 0) return 0;
    if (!(GetWindowLong(hwnd, GWL_STYLE) & TCS_FOCUSNEVER)) SetFocus(hwnd);
    userSelect(hwnd, index);
    return 0;
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    int count = static_cast<int>(t->tabs.size());
    int target;
    switch (wParam) {
    case VK_LEFT: target = t->current - 1; break;
    case VK_RIGHT: target = t->current + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
    userSelect(hwnd, target);
    return 0;
}

// ---- Items ----

void readItem(Tab& tab, const TCITEM* item)
{
    if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
    if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
    if (item->mask & TCIF_PARAM) tab.param = item->lParam;
}

bool validIndex(const TabControl* t, WPARAM index) { return index < t->tabs.size(); }

LRESULT onGetItemCount(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(state<TabControl>(hwnd)->tabs.size()); }

LRESULT onInsertItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    const TCITEM* item = reinterpret_cast<const TCITEM*>(lParam);
    int index = static_cast<int>(wParam);
    if (!item || index < 0) return -1;
    index = std::min(index, static_cast<int>(t->tabs.size()));
    Tab tab;
    readItem(tab, item);
    t->tabs.insert(t->tabs.begin() + index, tab);
    if (t->current < 0) t->current = 0;  // the first tab starts selected
    else if (index <= t->current) ++t->current;
    showCurrent(hwnd, t);
    InvalidateRect(hwnd, nullptr, FALSE);
    return index;
}

LRESULT onSetItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    const TCITEM* item = reinterpret_cast<const TCITEM*>(lParam);
    if (!item || !validIndex(t, wParam)) return FALSE;
    readItem(t->tabs[wParam], item);
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT onGetItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    TCITEM* item = reinterpret_cast<TCITEM*>(lParam);
    if (!item || !validIndex(t, wParam)) return FALSE;
    const Tab& tab = t->tabs[wParam];
    if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        size_t n = std::min(tab.text.size(), static_cast<size_t>(item->cchTextMax - 1));
        // Never cut a UTF-8 sequence in half.
        while (n > 0 && n < tab.text.size() && (static_cast<uint8_t>(tab.text[n]) & 0xC0) == 0x80) --n;
        tab.text.copy(item->pszText, n);
        item->pszText[n] = 0;
    }
    if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
    if (item->mask & TCIF_PARAM) item->lParam = tab.param;
    return TRUE;
}

LRESULT onDeleteItem(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    TabControl* t = state<TabControl>(hwnd);
    if (!validIndex(t, wParam)) return FALSE;
    int index = static_cast<int>(wParam);
    t->tabs.erase(t->tabs.begin() + index);
    if (index == t->current) t->current = -1;
    else if (index < t->current) --t->current;
    t->first = std::min(t->first, std::max(0, static_cast<int>(t->tabs.size()) - 1));
    showCurrent(hwnd, t);
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT onDeleteAll(HWND hwnd, UINT, WPARAM, LPARAM)
{
    TabControl* t = state<TabControl>(hwnd);
    t->tabs.clear();
    t->current = -1;
    t->first = 0;
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT onGetCurSel(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TabControl>(hwnd)->current; }

LRESULT onSetCurSel(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    TabControl* t = state<TabControl>(hwnd);
    if (!validIndex(t, wParam)) return -1;
    int old = t->current;
    select(hwnd, t, static_cast<int>(wParam));
    return old;
}

LRESULT onGetItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    if (!validIndex(t, wParam) || !lParam) return FALSE;
    *reinterpret_cast<RECT*>(lParam) = layout(hwnd, t).tabs[wParam];
    return TRUE;
}

LRESULT onHitTest(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TCHITTESTINFO* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
    if (!info) return -1;
    int index = tabAt(hwnd, state<TabControl>(hwnd), info->pt.x, info->pt.y);
    info->flags = index < 0 ? TCHT_NOWHERE : TCHT_ONITEMLABEL;
    return index;
}

// wParam FALSE: a window rectangle (client coordinates of the control) becomes
// the display area; TRUE: a display area becomes the window rectangle it needs.
LRESULT onAdjustRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    RECT* r = reinterpret_cast<RECT*>(lParam);
    if (!r) return 0;
    int row = rowHeight(hwnd, state<TabControl>(hwnd));
    int sign = wParam ? -1 : 1;
    if (atBottom(hwnd)) r->bottom -= sign * row;
    else r->top += sign * row;
    return 0;
}

LRESULT onSetItemSize(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    Layout before = layout(hwnd, t);
    int oldWidth = t->tabs.empty() ? t->fixedWidth : tabWidth(hwnd, t, t->tabs[0]);
    LRESULT old = MAKELPARAM(oldWidth, before.height);
    int cx = GET_X_LPARAM(lParam), cy = GET_Y_LPARAM(lParam);
    if (cx > 0) t->fixedWidth = cx;
    if (cy > 0) t->fixedHeight = cy;
    showCurrent(hwnd, t);
    InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT onGetRowCount(HWND, UINT, WPARAM, LPARAM) { return 1; }

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    TabControl* t = state<TabControl>(hwnd);
    t->font.font = reinterpret_cast<HFONT>(wParam);
    showCurrent(hwnd, t);
    if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(state<TabControl>(hwnd)->font.font); }

LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM)
{
    showCurrent(hwnd, state<TabControl>(hwnd));
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<TabControl>},
    {WM_NCDESTROY, destroyState<TabControl>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_SIZE, onSize},
    {WM_ENABLE, repaintAfterDefault},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_KEYDOWN, onKeyDown},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {TCM_GETITEMCOUNT, onGetItemCount},
    {TCM_GETITEM, onGetItem},
    {TCM_SETITEM, onSetItem},
    {TCM_INSERTITEM, onInsertItem},
    {TCM_DELETEITEM, onDeleteItem},
    {TCM_DELETEALLITEMS, onDeleteAll},
    {TCM_GETITEMRECT, onGetItemRect},
    {TCM_GETCURSEL, onGetCurSel},
    {TCM_SETCURSEL, onSetCurSel},
    {TCM_HITTEST, onHitTest},
    {TCM_ADJUSTRECT, onAdjustRect},
    {TCM_SETITEMSIZE, onSetItemSize},
    {TCM_GETROWCOUNT, onGetRowCount},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerTabClass() { registerControlClass(WC_TABCONTROL, MessageMapProc<kMap>); }
