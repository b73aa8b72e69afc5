// The list a combo box drops: a top-level pop-up over everything, which holds
// the stylus while it is shown, so that a tap anywhere else closes it. Items
// follow the stylus while it is down; lifting it on an item chooses that item.
// When the list has fewer rows than items a scroll strip at its right pages
// (taps beside the thumb) or scrolls (dragging the thumb), and dragging past
// the top or bottom edge scrolls a row at a time.
#include "platform/controls/combo_internal.h"

using namespace controls;

namespace combo {

namespace {

constexpr const char* kListClass = "ComboLBox";

struct DropList {
    HWND combo = nullptr;
    int hot = -1;            // the highlighted item: the one Return or lifting chooses
    int top = 0;             // first row shown
    int rows = 1;
    bool tracking = false;   // the stylus is down, from the press that opened the list or on it
    bool thumbDrag = false;
    int grab = 0;            // stylus offset into the thumb while dragging it
};

DropList* listOf(HWND list) { return state<DropList>(list); }
int countOf(const DropList* d) { return static_cast<int>(comboOf(d->combo)->items.size()); }

struct ListLayout {
    RECT items;   // the rows, inside the frame
    RECT strip;   // the scroll strip (empty when every item shows)
    RECT thumb;
    int itemHeight;
};

ListLayout listLayout(HWND list, const DropList* d)
{
    ListLayout l;
    RECT c;
    GetClientRect(list, &c);
    l.itemHeight = itemHeight(d->combo);
    int count = countOf(d);
    bool scrolls = count > d->rows;
    int stripWidth = scrolls ? scaled(13) : 0;
    l.items = RECT{1, 1, c.right - 1 - stripWidth, c.bottom - 1};
    l.strip = RECT{l.items.right, 1, c.right - 1, c.bottom - 1};
    l.thumb = RECT{0, 0, 0, 0};
    if (scrolls) {
        int span = l.strip.bottom - l.strip.top;
        int thumbHeight = std::max(scaled(8), span * d->rows / count);
        int travel = span - thumbHeight;
        int top = l.strip.top + travel * d->top / (count - d->rows);
        l.thumb = RECT{l.strip.left, top, l.strip.right, top + thumbHeight};
    }
    return l;
}

void clampTop(DropList* d)
{
    d->top = std::clamp(d->top, 0, std::max(0, countOf(d) - d->rows));
}

void showRow(DropList* d, int index)
{
    if (index < 0) return;
    if (index < d->top) d->top = index;
    if (index >= d->top + d->rows) d->top = index - d->rows + 1;
    clampTop(d);
}

void setHot(HWND list, DropList* d, int index)
{
    int count = countOf(d);
    index = count == 0 ? -1 : std::clamp(index, 0, count - 1);
    showRow(d, index);
    d->hot = index;
    InvalidateRect(list, nullptr, FALSE);
}

LRESULT onCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = createState<DropList>(hwnd, message, wParam, lParam);
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    listOf(hwnd)->combo = static_cast<HWND>(cs->lpCreateParams);
    return r;
}

// A list destroyed from outside (with its owner) leaves the box closed.
LRESULT onDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DropList* d = listOf(hwnd);
    if (d && IsWindow(d->combo) && comboOf(d->combo)->list == hwnd) comboOf(d->combo)->list = nullptr;
    return destroyState<DropList>(hwnd, message, wParam, lParam);
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    DropList* d = listOf(hwnd);
    Combo* c = comboOf(d->combo);
    clampTop(d);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(dc, c->font.get());
    RECT client;
    GetClientRect(hwnd, &client);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    ListLayout l = listLayout(hwnd, d);
    // The box's parent may colour the list, as it colours the box.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HWND owner = GetParent(d->combo);
    LRESULT brush = owner ? SendMessage(owner, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)) : 0;
    if (brush) ink = GetTextColor(dc);
    FillRect(dc, &l.items, brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    int count = countOf(d);
    for (int row = 0; row < d->rows && d->top + row < count; ++row) {
        int i = d->top + row;
        RECT r{l.items.left, l.items.top + row * l.itemHeight, l.items.right, l.items.top + (row + 1) * l.itemHeight};
        bool hot = i == d->hot;
        if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink);
        r.left += scaled(2);
        const std::string& t = c->items[static_cast<size_t>(i)].text;
        DrawText(dc, t.c_str(), static_cast<int>(t.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (l.strip.right > l.strip.left) {
        FillRect(dc, &l.strip, GetSysColorBrush(COLOR_BTNFACE));
        RECT line{l.strip.left, l.strip.top, l.strip.left + 1, l.strip.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
        FillRect(dc, &l.thumb, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

int rowAt(const ListLayout& l, const DropList* d, int y) { return d->top + (y - l.items.top) / l.itemHeight; }

void scrollTo(HWND list, DropList* d, int top)
{
    d->top = top;
    clampTop(d);
    InvalidateRect(list, nullptr, FALSE);
}

// Coordinates reach the list even outside it, as it holds the stylus.
LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    DropList* d = listOf(hwnd);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    RECT client;
    GetClientRect(hwnd, &client);
    if (!contains(client, x, y)) {
        closeUp(d->combo, false);  // destroys this window
        return 0;
    }
    ListLayout l = listLayout(hwnd, d);
    if (contains(l.strip, x, y)) {
        if (contains(l.thumb, x, y)) {
            d->thumbDrag = true;
            d->grab = y - l.thumb.top;
        } else {
            scrollTo(hwnd, d, d->top + (y < l.thumb.top ? -d->rows : d->rows));
        }
        return 0;
    }
    d->tracking = true;
    if (contains(l.items, x, y)) setHot(hwnd, d, rowAt(l, d, y));
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    DropList* d = listOf(hwnd);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    ListLayout l = listLayout(hwnd, d);
    if (d->thumbDrag) {
        int span = (l.strip.bottom - l.strip.top) - (l.thumb.bottom - l.thumb.top);
        int spare = countOf(d) - d->rows;
        if (span > 0) scrollTo(hwnd, d, ((y - d->grab - l.strip.top) * spare * 2 + span) / (2 * span));
        return 0;
    }
    if (!d->tracking || x < l.items.left || x >= l.items.right) return 0;
    if (y < l.items.top) setHot(hwnd, d, d->top - 1);
    else if (y >= l.items.bottom) setHot(hwnd, d, d->top + d->rows);
    else setHot(hwnd, d, rowAt(l, d, y));
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    DropList* d = listOf(hwnd);
    if (d->thumbDrag) {
        d->thumbDrag = false;
        return 0;
    }
    bool tracking = d->tracking;
    d->tracking = false;
    ListLayout l = listLayout(hwnd, d);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    // Lifting outside (over the box, after the press that opened the list)
    // leaves the list open.
    if (tracking && contains(l.items, x, y) && rowAt(l, d, y) < countOf(d)) closeUp(d->combo, true);
    return 0;
}

// Anyone else taking the stylus ends the drop.
LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    DropList* d = listOf(hwnd);
    if (reinterpret_cast<HWND>(lParam) != hwnd && IsWindow(d->combo)) closeUp(d->combo, false);
    return 0;
}

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, onCreate},
    {WM_NCDESTROY, onDestroy},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

HWND topLevelOf(HWND hwnd)
{
    while (hwnd && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) && GetParent(hwnd)) hwnd = GetParent(hwnd);
    return hwnd;
}

}  // namespace

HWND createDropList(HWND combo, int hot, bool stylusDown)
{
    int rows = 1;
    RECT r = dropListRect(combo, &rows);
    HWND list = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kListClass, "", WS_POPUP, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, topLevelOf(combo), nullptr, nullptr, combo);
    if (!list) return nullptr;
    DropList* d = listOf(list);
    d->rows = rows;
    d->tracking = stylusDown;
    d->hot = hot;
    showRow(d, hot);
    ShowWindow(list, SW_SHOWNOACTIVATE);
    SetCapture(list);
    return list;
}

int dropListHot(HWND list) { return IsWindow(list) ? listOf(list)->hot : -1; }

void dropListSetHot(HWND list, int index) { setHot(list, listOf(list), index); }

bool dropListKey(HWND list, UINT key)
{
    DropList* d = listOf(list);
    switch (key) {
    case VK_UP: setHot(list, d, d->hot < 0 ? 0 : d->hot - 1); return true;
    case VK_DOWN: setHot(list, d, d->hot + 1); return true;
    case VK_PRIOR: setHot(list, d, d->hot - d->rows); return true;
    case VK_NEXT: setHot(list, d, d->hot + d->rows); return true;
    case VK_HOME: setHot(list, d, 0); return true;
    case VK_END: setHot(list, d, countOf(d) - 1); return true;
    default: return false;
    }
}

void registerDropListClass() { registerControlClass(kListClass, MessageMapProc<kMap>, CS_DBLCLKS); }

}  // namespace combo
