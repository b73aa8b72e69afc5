// List view layout: one grid of equal cells per view mode places the items
// for painting, hit testing, item rectangles, keyboard neighbours and
// scrolling alike, so what is drawn is what is tapped.
//
// - Icons: cells of the icon spacing, filled along rows (LVS_ALIGNTOP) or down
//   columns (LVS_ALIGNLEFT: a list as high as one cell is a sideways strip).
// - Small icons: cells of a small image and a label, filled like icons.
// - List: cells of a small image and a label, filled down columns.
// - Report: one row per item under the header, as wide as the columns.
#include "platform/controls/listview_internal.h"
#include "platform/window/scrollbars.h"

namespace listview {

using controls::scaled;

DWORD style(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
int viewType(HWND hwnd) { return static_cast<int>(style(hwnd) & LVS_TYPEMASK); }

void imageSize(HIMAGELIST list, int* cx, int* cy)
{
    *cx = *cy = 0;
    if (list) ImageList_GetIconSize(list, cx, cy);
}

int checkBoxSize() { return scaled(13); }

int textHeight(HWND hwnd, ListView* lv)
{
    if (lv->textHeight > 0) return lv->textHeight;
    const int height = lv->font.lineHeight(hwnd);
    lv->textHeight = height > 0 ? height : scaled(13);
    return lv->textHeight;
}

int headerHeight(HWND hwnd, ListView* lv)
{
    if (viewType(hwnd) != LVS_REPORT || (style(hwnd) & LVS_NOCOLUMNHEADER)) return 0;
    return textHeight(hwnd, lv) + scaled(6);
}

namespace {

bool hasStateArea(ListView* lv) { return (lv->exStyle & LVS_EX_CHECKBOXES) || lv->stateImages; }

int stateAreaWidth(ListView* lv)
{
    if (lv->exStyle & LVS_EX_CHECKBOXES) return checkBoxSize() + scaled(3);
    int cx, cy;
    imageSize(lv->stateImages, &cx, &cy);
    return cx;
}

// Row height of small-icon, list and report cells before the owner has its say.
int plainRowHeight(HWND hwnd, ListView* lv)
{
    int cx, cy;
    imageSize(lv->smallImages, &cx, &cy);
    int h = std::max(textHeight(hwnd, lv), cy);
    if (lv->exStyle & LVS_EX_CHECKBOXES) h = std::max(h, checkBoxSize());
    return h + scaled(2);
}

int columnsWidth(ListView* lv)
{
    int w = 0;
    for (const Column& c : lv->columns) w += c.width;
    return w;
}

void iconSpacing(HWND hwnd, ListView* lv, int* cx, int* cy)
{
    int w, h;
    imageSize(lv->normalImages, &w, &h);
    if (!lv->normalImages) w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    *cx = lv->spacingX > 0 ? lv->spacingX : w + scaled(43);
    *cy = lv->spacingY > 0 ? lv->spacingY : h + textHeight(hwnd, lv) * 2 + scaled(8);
}

POINT cellOrigin(const Grid& g, int index)
{
    int line = index / g.perLine, along = index % g.perLine;
    return g.rowMajor ? POINT{along * g.cellW, line * g.cellH} : POINT{line * g.cellW, along * g.cellH};
}

}  // namespace

int rowHeight(HWND hwnd, ListView* lv)
{
    int plain = plainRowHeight(hwnd, lv);
    if (viewType(hwnd) != LVS_REPORT || !(style(hwnd) & LVS_OWNERDRAWFIXED)) return plain;
    if (lv->measuredRowHeight <= 0) {
        // Owner-drawn rows: the parent tells their height once per layout change.
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_LISTVIEW;
        m.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        m.itemHeight = static_cast<UINT>(plain);
        HWND parent = GetParent(hwnd);
        if (parent) SendMessage(parent, WM_MEASUREITEM, m.CtlID, reinterpret_cast<LPARAM>(&m));
        lv->measuredRowHeight = m.itemHeight > 0 ? static_cast<int>(m.itemHeight) : plain;
    }
    return lv->measuredRowHeight;
}

Grid grid(HWND hwnd, ListView* lv)
{
    Grid g;
    g.view = viewType(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    g.content = client;
    g.content.top = std::min(client.bottom, client.top + headerHeight(hwnd, lv));
    int contentW = g.content.right - g.content.left, contentH = g.content.bottom - g.content.top;
    bool alignLeft = style(hwnd) & LVS_ALIGNLEFT;
    int smallW, smallH;
    imageSize(lv->smallImages, &smallW, &smallH);
    switch (g.view) {
    case LVS_REPORT:
        g.cellW = std::max(1, columnsWidth(lv));
        g.cellH = rowHeight(hwnd, lv);
        g.rowMajor = true;
        break;
    case LVS_LIST:
        g.cellW = lv->listColumnWidth > 0 ? lv->listColumnWidth : scaled(100);
        g.cellH = plainRowHeight(hwnd, lv);
        g.rowMajor = false;
        break;
    case LVS_SMALLICON:
        g.cellW = (hasStateArea(lv) ? stateAreaWidth(lv) : 0) + smallW + scaled(84);
        g.cellH = plainRowHeight(hwnd, lv);
        g.rowMajor = !alignLeft;
        break;
    default:
        iconSpacing(hwnd, lv, &g.cellW, &g.cellH);
        g.rowMajor = !alignLeft;
        break;
    }
    g.cellW = std::max(1, g.cellW);
    g.cellH = std::max(1, g.cellH);
    if (g.view == LVS_REPORT) g.perLine = 1;
    else g.perLine = std::max(1, g.rowMajor ? contentW / g.cellW : contentH / g.cellH);
    int count = static_cast<int>(lv->items.size());
    int lines = (count + g.perLine - 1) / g.perLine;
    if (g.view == LVS_REPORT) {
        g.extentW = g.cellW;
        g.extentH = count * g.cellH;
    } else if (g.rowMajor) {
        g.extentW = std::min(count, g.perLine) * g.cellW;
        g.extentH = lines * g.cellH;
    } else {
        g.extentW = lines * g.cellW;
        g.extentH = std::min(count, g.perLine) * g.cellH;
    }
    return g;
}

namespace {

// The parts of an item in client coordinates.
struct Parts {
    RECT bounds;
    RECT state;  // check box or state image; empty when there is none
    RECT icon;
    RECT label;
};

Parts parts(HWND hwnd, ListView* lv, const Grid& g, int index)
{
    POINT o = cellOrigin(g, index);
    int x = g.content.left + o.x - lv->scrollX, y = g.content.top + o.y - lv->scrollY;
    Parts p;
    p.bounds = RECT{x, y, x + g.cellW, y + g.cellH};
    const Item& item = lv->items[static_cast<size_t>(index)];
    int cb = (lv->exStyle & LVS_EX_CHECKBOXES) ? checkBoxSize() : 0;
    if (g.view == LVS_ICON) {
        int w, h;
        imageSize(lv->normalImages, &w, &h);
        int left = x + (g.cellW - w) / 2, top = y + scaled(2);
        p.icon = RECT{left, top, left + w, top + h};
        p.label = RECT{x, p.icon.bottom + scaled(2), x + g.cellW, y + g.cellH};
        if (p.label.top > p.label.bottom) p.label.top = p.label.bottom;
        int sx = x + scaled(2), sy = y + scaled(2);
        p.state = cb ? RECT{sx, sy, sx + cb, sy + cb} : RECT{sx, sy, sx, sy};
        return p;
    }
    int right = g.view == LVS_REPORT ? x + (lv->columns.empty() ? g.cellW : lv->columns[0].width) : x + g.cellW;
    int left = x;
    if (hasStateArea(lv)) {
        int w = stateAreaWidth(lv);
        int side = cb ? cb : w;
        int top = y + (g.cellH - side) / 2;
        p.state = RECT{left + scaled(1), top, left + scaled(1) + side, top + side};
        left += w;
    } else {
        p.state = RECT{left, y, left, y};
    }
    int w, h;
    imageSize(lv->smallImages, &w, &h);
    left += item.indent * w;
    int top = y + (g.cellH - h) / 2;
    p.icon = RECT{left, top, left + w, top + h};
    p.label = RECT{std::min(right, p.icon.right + (w ? scaled(2) : scaled(2))), y, std::max(right, p.icon.right), y + g.cellH};
    return p;
}

RECT unite(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool validIndex(ListView* lv, int index) { return index >= 0 && index < static_cast<int>(lv->items.size()); }

}  // namespace

bool itemRect(HWND hwnd, ListView* lv, int index, int code, RECT* out)
{
    if (!validIndex(lv, index) || !out) return false;
    Grid g = grid(hwnd, lv);
    Parts p = parts(hwnd, lv, g, index);
    switch (code) {
    case LVIR_BOUNDS: *out = p.bounds; return true;
    case LVIR_ICON: *out = p.icon; return true;
    case LVIR_LABEL: *out = p.label; return true;
    case LVIR_SELECTBOUNDS:
        *out = (g.view == LVS_REPORT && (lv->exStyle & LVS_EX_FULLROWSELECT)) || g.view == LVS_ICON ? p.bounds
                                                                                                     : unite(p.icon, p.label);
        return true;
    default: return false;
    }
}

bool subItemRect(HWND hwnd, ListView* lv, int index, int column, int code, RECT* out)
{
    if (column == 0) return itemRect(hwnd, lv, index, code, out);
    if (!validIndex(lv, index) || !out || viewType(hwnd) != LVS_REPORT || column < 0 ||
        column >= static_cast<int>(lv->columns.size()))
        return false;
    RECT bounds;
    itemRect(hwnd, lv, index, LVIR_BOUNDS, &bounds);
    int left = bounds.left;
    for (int c = 0; c < column; ++c) left += lv->columns[static_cast<size_t>(c)].width;
    *out = RECT{left, bounds.top, left + lv->columns[static_cast<size_t>(column)].width, bounds.bottom};
    return true;
}

int hitTest(HWND hwnd, ListView* lv, POINT pt, UINT* flags, int* column)
{
    *flags = LVHT_NOWHERE;
    *column = -1;
    Grid g = grid(hwnd, lv);
    RECT client;
    GetClientRect(hwnd, &client);
    if (pt.y < g.content.top) *flags = LVHT_ABOVE;
    if (pt.y >= client.bottom) *flags = LVHT_BELOW;
    if (pt.x < client.left) *flags = LVHT_TOLEFT;
    if (pt.x >= client.right) *flags = LVHT_TORIGHT;
    if (*flags != LVHT_NOWHERE) return -1;
    int cx = pt.x - g.content.left + lv->scrollX, cy = pt.y - g.content.top + lv->scrollY;
    if (cx < 0 || cy < 0) return -1;
    int across = cx / g.cellW, down = cy / g.cellH;
    int index;
    if (g.view == LVS_REPORT) {
        if (cx >= g.cellW) return -1;
        index = down;
    } else if (g.rowMajor) {
        if (across >= g.perLine) return -1;
        index = down * g.perLine + across;
    } else {
        if (down >= g.perLine) return -1;
        index = across * g.perLine + down;
    }
    if (!validIndex(lv, index)) return -1;
    Parts p = parts(hwnd, lv, g, index);
    if (g.view == LVS_REPORT) {
        int left = p.bounds.left;
        for (size_t c = 0; c < lv->columns.size(); ++c) {
            int right = left + lv->columns[c].width;
            if (pt.x >= left && pt.x < right) *column = static_cast<int>(c);
            left = right;
        }
        // Without full-row selection only the first column's icon and label take taps.
        bool wholeRow = (lv->exStyle & LVS_EX_FULLROWSELECT) || (style(hwnd) & LVS_OWNERDRAWFIXED);
        if (!wholeRow && *column != 0) {
            *flags = LVHT_NOWHERE;
            return -1;
        }
    } else {
        *column = 0;
    }
    if (controls::contains(p.state, pt.x, pt.y)) *flags = LVHT_ONITEMSTATEICON;
    else if (controls::contains(p.icon, pt.x, pt.y)) *flags = LVHT_ONITEMICON;
    else *flags = LVHT_ONITEMLABEL;
    return index;
}

void visibleRange(HWND hwnd, ListView* lv, const RECT& area, std::vector<int>* out)
{
    out->clear();
    Grid g = grid(hwnd, lv);
    RECT r{std::max(area.left, g.content.left), std::max(area.top, g.content.top), std::min(area.right, g.content.right),
           std::min(area.bottom, g.content.bottom)};
    if (r.left >= r.right || r.top >= r.bottom || lv->items.empty()) return;
    int x0 = r.left - g.content.left + lv->scrollX, x1 = r.right - g.content.left + lv->scrollX;
    int y0 = r.top - g.content.top + lv->scrollY, y1 = r.bottom - g.content.top + lv->scrollY;
    int count = static_cast<int>(lv->items.size());
    int c0 = std::max(0, x0 / g.cellW), c1 = std::max(0, (x1 - 1) / g.cellW);
    int l0 = std::max(0, y0 / g.cellH), l1 = std::max(0, (y1 - 1) / g.cellH);
    if (g.view == LVS_REPORT) {
        if (x0 >= g.cellW) return;
        for (int row = l0; row <= l1 && row < count; ++row) out->push_back(row);
        return;
    }
    if (g.rowMajor) {
        for (int line = l0; line <= l1; ++line)
            for (int col = c0; col <= std::min(c1, g.perLine - 1); ++col) {
                int i = line * g.perLine + col;
                if (i < count) out->push_back(i);
            }
    } else {
        for (int col = c0; col <= c1; ++col)
            for (int row = l0; row <= std::min(l1, g.perLine - 1); ++row) {
                int i = col * g.perLine + row;
                if (i < count) out->push_back(i);
            }
    }
}

int neighbour(HWND hwnd, ListView* lv, int from, UINT direction)
{
    if (!validIndex(lv, from)) return -1;
    Grid g = grid(hwnd, lv);
    int count = static_cast<int>(lv->items.size());
    int along = from % g.perLine;
    int next = -1;
    // "Along" moves within a line of the fill order, "across" jumps a line.
    bool alongBack, alongForward, lineBack, lineForward;
    if (g.rowMajor) {
        alongBack = direction == LVNI_TOLEFT, alongForward = direction == LVNI_TORIGHT;
        lineBack = direction == LVNI_ABOVE, lineForward = direction == LVNI_BELOW;
    } else {
        alongBack = direction == LVNI_ABOVE, alongForward = direction == LVNI_BELOW;
        lineBack = direction == LVNI_TOLEFT, lineForward = direction == LVNI_TORIGHT;
    }
    if (alongBack && along > 0) next = from - 1;
    if (alongForward && along < g.perLine - 1) next = from + 1;
    if (lineBack) next = from - g.perLine;
    if (lineForward) next = from + g.perLine;
    return next >= 0 && next < count ? next : -1;
}

int countPerPage(HWND hwnd, ListView* lv)
{
    Grid g = grid(hwnd, lv);
    int contentW = g.content.right - g.content.left, contentH = g.content.bottom - g.content.top;
    if (g.view == LVS_REPORT) return contentH / g.cellH;
    int lines = g.rowMajor ? contentH / g.cellH : contentW / g.cellW;
    return std::max(1, lines) * g.perLine;
}

int topIndex(HWND hwnd, ListView* lv)
{
    if (lv->items.empty()) return 0;
    Grid g = grid(hwnd, lv);
    int line = g.rowMajor ? lv->scrollY / g.cellH : lv->scrollX / g.cellW;
    return std::min(static_cast<int>(lv->items.size()) - 1, line * g.perLine);
}

namespace {

int roundUp(int v, int step) { return (v + step - 1) / step * step; }

}  // namespace

namespace {

// Keeps the offsets within the content: report rows and list columns scroll
// whole, and the last one may then show in full.
void clampOffsets(HWND hwnd, ListView* lv)
{
    Grid g = grid(hwnd, lv);
    int contentW = g.content.right - g.content.left, contentH = g.content.bottom - g.content.top;
    int maxX = std::max(0, g.extentW - contentW), maxY = std::max(0, g.extentH - contentH);
    if (g.view == LVS_REPORT) maxY = roundUp(maxY, g.cellH);
    if (g.view == LVS_LIST) maxX = roundUp(maxX, g.cellW);
    lv->scrollX = std::clamp(lv->scrollX, 0, maxX);
    lv->scrollY = std::clamp(lv->scrollY, 0, maxY);
    if (g.view == LVS_REPORT) lv->scrollY -= lv->scrollY % g.cellH;
    if (g.view == LVS_LIST) lv->scrollX -= lv->scrollX % g.cellW;
}

void setBar(HWND hwnd, int bar, int total, int page, int pos)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, total - 1);
    si.nPage = static_cast<UINT>(std::max(0, page));
    si.nPos = pos;
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

// Tells the window's scroll bars the content, the page and the offset; a bar
// shows while there is more than a page (its WS_VSCROLL or WS_HSCROLL style
// bit says whether it does). A bar that appears or goes changes the client
// area, which can change the layout and so the other bar: this settles within
// a few rounds.
void updateScrollBars(HWND hwnd, ListView* lv)
{
    if ((style(hwnd) & LVS_NOSCROLL) || lv->updatingBars || !lv->redraw) return;
    lv->updatingBars = true;
    for (int round = 0; round < 3; ++round) {
        RECT before;
        GetClientRect(hwnd, &before);
        Grid g = grid(hwnd, lv);
        int contentW = g.content.right - g.content.left, contentH = g.content.bottom - g.content.top;
        int unitY = barUnit(g, true), unitX = barUnit(g, false);
        setBar(hwnd, SB_VERT, (g.extentH + unitY - 1) / unitY, contentH / unitY, lv->scrollY / unitY);
        setBar(hwnd, SB_HORZ, (g.extentW + unitX - 1) / unitX, contentW / unitX, lv->scrollX / unitX);
        RECT after;
        GetClientRect(hwnd, &after);
        clampOffsets(hwnd, lv);
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    lv->updatingBars = false;
}

}  // namespace

int barUnit(const Grid& g, bool vertical)
{
    if (vertical) return g.view == LVS_REPORT ? g.cellH : 1;
    return g.view == LVS_LIST ? g.cellW : 1;
}

void clampScroll(HWND hwnd, ListView* lv)
{
    clampOffsets(hwnd, lv);
    updateScrollBars(hwnd, lv);
}

void scrollTo(HWND hwnd, ListView* lv, int x, int y)
{
    int oldX = lv->scrollX, oldY = lv->scrollY;
    lv->scrollX = x;
    lv->scrollY = y;
    clampScroll(hwnd, lv);
    if (lv->scrollX != oldX || lv->scrollY != oldY) invalidate(hwnd, lv);
}

void ensureVisible(HWND hwnd, ListView* lv, int index, bool partialOk)
{
    if (!validIndex(lv, index)) return;
    Grid g = grid(hwnd, lv);
    POINT o = cellOrigin(g, index);
    int contentW = g.content.right - g.content.left, contentH = g.content.bottom - g.content.top;
    int x = lv->scrollX, y = lv->scrollY;
    auto fit = [&](int start, int size, int view, int offset, int step) {
        int end = start + size;
        if (partialOk && end > offset && start < offset + view) return offset;
        if (start < offset || size > view) return start;
        if (end > offset + view) return roundUp(end - view, step);
        return offset;
    };
    y = fit(o.y, g.cellH, contentH, y, g.view == LVS_REPORT ? g.cellH : 1);
    if (g.view != LVS_REPORT) x = fit(o.x, g.cellW, contentW, x, g.view == LVS_LIST ? g.cellW : 1);
    scrollTo(hwnd, lv, x, y);
}

void metricsChanged(HWND hwnd, ListView* lv)
{
    lv->textHeight = 0;
    lv->measuredRowHeight = 0;
    clampScroll(hwnd, lv);
    invalidate(hwnd, lv);
}

void syncStyle(HWND hwnd, ListView* lv)
{
    DWORD now = style(hwnd);
    constexpr DWORD kLayoutBits = LVS_TYPEMASK | LVS_ALIGNMASK | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER;
    if ((now & kLayoutBits) == (lv->seenStyle & kLayoutBits)) {
        // Scroll bars taken away from outside come back when they are needed.
        bool barsChanged = (now ^ lv->seenStyle) & (WS_VSCROLL | WS_HSCROLL);
        lv->seenStyle = now;
        if (barsChanged && !lv->updatingBars) clampScroll(hwnd, lv);
        return;
    }
    bool viewChanged = (now & (LVS_TYPEMASK | LVS_ALIGNMASK)) != (lv->seenStyle & (LVS_TYPEMASK | LVS_ALIGNMASK));
    lv->seenStyle = now;
    lv->measuredRowHeight = 0;
    // A new arrangement starts from its beginning, with the focused item in sight.
    if (viewChanged) {
        lv->scrollX = lv->scrollY = 0;
        if (lv->focused >= 0) ensureVisible(hwnd, lv, lv->focused, true);
    }
    clampScroll(hwnd, lv);
    invalidate(hwnd, lv);
}

}  // namespace listview
