// Tree view layout: row height and indent from the font and images, where the
// button column, icon and label of a row lie, hit tests, and scrolling. One
// function places a row's parts for painting, taps and TVM_GETITEMRECT alike,
// so what is drawn is what is tapped.
#include "platform/controls/treeview_internal.h"

#include <climits>

namespace treeview {

namespace {

int textHeight(HWND hwnd, Tree* t)
{
    if (t->fontHeight > 0) return t->fontHeight;
    t->fontHeight = std::max(1, t->font.lineHeight(hwnd));
    return t->fontHeight;
}

int textWidth(HWND hwnd, Tree* t, const std::string& text, HDC paintDc)
{
    HDC dc = paintDc ? paintDc : GetDC(hwnd);
    HGDIOBJ old = paintDc ? nullptr : SelectObject(dc, t->font.get());
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (!paintDc) {
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
    return size.cx;
}

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

}  // namespace

int defaultIndent() { return controls::scaled(16); }
int minimumIndent() { return controls::scaled(8); }

Metrics metrics(HWND hwnd, Tree* t)
{
    Metrics m{};
    m.textHeight = textHeight(hwnd, t);
    if (!t->images || !ImageList_GetIconSize(t->images, &m.imageWidth, &m.imageHeight)) m.imageWidth = m.imageHeight = 0;
    if (t->itemHeight > 0) {
        m.itemHeight = t->itemHeight;
    } else {
        // Even heights keep the dotted lines of one row joined to the next.
        m.itemHeight = std::max(m.textHeight + controls::scaled(3), m.imageHeight + 1);
        m.itemHeight += m.itemHeight & 1;
    }
    m.indent = t->indent > 0 ? t->indent : std::max(defaultIndent(), m.imageWidth + controls::scaled(3));
    return m;
}

RowParts rowParts(HWND hwnd, Tree* t, Item* item, int row) { return rowParts(hwnd, t, item, row, itemText(hwnd, t, item), nullptr); }

RowParts rowParts(HWND hwnd, Tree* t, Item* item, int row, const std::string& text, HDC paintDc)
{
    Metrics m = metrics(hwnd, t);
    RECT c;
    GetClientRect(hwnd, &c);
    DWORD style = styleOf(hwnd);
    bool columns = style & (TVS_HASLINES | TVS_HASBUTTONS);
    int level = item->depth + ((columns && (style & TVS_LINESATROOT)) ? 1 : 0);
    int y = (row - t->topRow) * m.itemHeight;
    int x = level * m.indent - t->scrollX;
    RowParts p{};
    p.row = RECT{0, y, c.right, y + m.itemHeight};
    p.column = (columns && level > 0) ? x - m.indent + m.indent / 2 : INT_MIN;
    if (m.imageWidth > 0) {
        int top = y + (m.itemHeight - m.imageHeight) / 2;
        p.icon = RECT{x, top, x + m.imageWidth, top + m.imageHeight};
        x += m.imageWidth + controls::scaled(2);
    } else {
        p.icon = RECT{x, y, x, y};
    }
    int pad = controls::scaled(2);
    p.label = RECT{x, y, x + textWidth(hwnd, t, text, paintDc) + 2 * pad, y + m.itemHeight};
    return p;
}

int clientHeight(HWND hwnd)
{
    RECT c;
    GetClientRect(hwnd, &c);
    return c.bottom;
}

int fullRowsShown(HWND hwnd, Tree* t) { return clientHeight(hwnd) / metrics(hwnd, t).itemHeight; }

Item* hitTest(HWND hwnd, Tree* t, POINT p, UINT* flags)
{
    RECT c;
    GetClientRect(hwnd, &c);
    UINT f = 0;
    if (p.y < 0) f |= TVHT_ABOVE;
    else if (p.y >= c.bottom) f |= TVHT_BELOW;
    if (p.x < 0) f |= TVHT_TOLEFT;
    else if (p.x >= c.right) f |= TVHT_TORIGHT;
    *flags = f ? f : TVHT_NOWHERE;
    if (f) return nullptr;
    Metrics m = metrics(hwnd, t);
    const std::vector<Item*>& rows = visibleRows(t);
    size_t row = static_cast<size_t>(t->topRow + p.y / m.itemHeight);
    if (row >= rows.size()) return nullptr;
    Item* item = rows[row];
    RowParts parts = rowParts(hwnd, t, item, static_cast<int>(row));
    if (!alive(t, item)) return nullptr;  // the parent deleted it while telling its text
    if (controls::contains(parts.icon, p.x, p.y)) *flags = TVHT_ONITEMICON;
    else if (p.x >= parts.label.left && p.x < parts.label.right) *flags = TVHT_ONITEMLABEL;
    else if (p.x >= parts.label.right) *flags = TVHT_ONITEMRIGHT;
    else if (parts.column != INT_MIN && (styleOf(hwnd) & TVS_HASBUTTONS) && p.x >= parts.column - m.indent / 2 &&
             p.x < parts.column - m.indent / 2 + m.indent && hasChildren(hwnd, t, item))
        *flags = TVHT_ONITEMBUTTON;
    else *flags = TVHT_ONITEMINDENT;
    return alive(t, item) ? item : nullptr;
}

namespace {

int lastTopRow(HWND hwnd, Tree* t)
{
    int rows = static_cast<int>(visibleRows(t).size());
    return std::max(0, rows - std::max(1, fullRowsShown(hwnd, t)));
}

int widestScroll(HWND hwnd, Tree* t)
{
    RECT c;
    GetClientRect(hwnd, &c);
    return std::max(0, t->widest - static_cast<int>(c.right));
}

}  // namespace

void scrollToRow(HWND hwnd, Tree* t, int row)
{
    row = std::clamp(row, 0, lastTopRow(hwnd, t));
    if (row == t->topRow) return;
    t->topRow = row;
    InvalidateRect(hwnd, nullptr, TRUE);
    updateScrollBars(hwnd, t);
}

void scrollToX(HWND hwnd, Tree* t, int x)
{
    x = std::clamp(x, 0, widestScroll(hwnd, t));
    if (x == t->scrollX) return;
    t->scrollX = x;
    InvalidateRect(hwnd, nullptr, TRUE);
    updateScrollBars(hwnd, t);
}

void clampScroll(HWND hwnd, Tree* t)
{
    int top = std::clamp(t->topRow, 0, lastTopRow(hwnd, t));
    int x = std::clamp(t->scrollX, 0, widestScroll(hwnd, t));
    if (top == t->topRow && x == t->scrollX) return;
    t->topRow = top;
    t->scrollX = x;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void repaintFrom(HWND hwnd, Tree* t, Item* fromItem)
{
    // While the rows wait to be rebuilt, finding the item's row would rebuild them
    // once per change; repainting everything is cheaper then.
    int row = t->rowsDirty ? -1 : rowOf(t, fromItem);
    if (row < 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    RECT c;
    GetClientRect(hwnd, &c);
    RECT r{0, std::max(0, (row - t->topRow) * metrics(hwnd, t).itemHeight), c.right, c.bottom};
    InvalidateRect(hwnd, &r, TRUE);
}

void repaintItem(HWND hwnd, Tree* t, Item* item)
{
    int row = t->rowsDirty ? -1 : rowOf(t, item);
    if (row < 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    RECT c;
    GetClientRect(hwnd, &c);
    int h = metrics(hwnd, t).itemHeight;
    RECT r{0, (row - t->topRow) * h, c.right, (row - t->topRow + 1) * h};
    InvalidateRect(hwnd, &r, TRUE);
}

// Bars are set lazily: changes only mark them stale, and painting sets them,
// so that inserting thousands of items does not count the rows once per item.
void updateScrollBars(HWND hwnd, Tree* t)
{
    t->barsStale = true;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void applyScrollBars(HWND hwnd, Tree* t)
{
    if (t->settingBars) return;
    t->settingBars = true;
    t->barsStale = false;
    // Showing one bar narrows the client area, which may call for the other:
    // repeat until the client area stays as it is.
    for (int pass = 0; pass < 3; ++pass) {
        RECT before;
        GetClientRect(hwnd, &before);
        clampScroll(hwnd, t);
        int rows = static_cast<int>(visibleRows(t).size());
        SCROLLINFO v{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, rows - 1,
                     static_cast<UINT>(std::max(1, fullRowsShown(hwnd, t))), t->topRow, 0};
        SetScrollInfo(hwnd, SB_VERT, &v, TRUE);
        SCROLLINFO h{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, t->widest - 1,
                     static_cast<UINT>(std::max<LONG>(1, before.right)), t->scrollX, 0};
        SetScrollInfo(hwnd, SB_HORZ, &h, TRUE);
        RECT after;
        GetClientRect(hwnd, &after);
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    clampScroll(hwnd, t);
    t->settingBars = false;
}

namespace {

// The new offset for a scroll code, from the current one, a line and a page.
int scrolled(WORD code, int now, int line, int page, int thumb, int end)
{
    switch (code) {
    case SB_LINEUP: return now - line;
    case SB_LINEDOWN: return now + line;
    case SB_PAGEUP: return now - page;
    case SB_PAGEDOWN: return now + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return thumb;
    case SB_TOP: return 0;
    case SB_BOTTOM: return end;
    default: return now;
    }
}

}  // namespace

// Vertical scrolling is by whole rows: the thumb position is the first row shown.
LRESULT onVScroll(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Tree* t = treeOf(hwnd);
    int page = std::max(1, fullRowsShown(hwnd, t));
    const int thumb = controls::scrollThumbPosition(hwnd, SB_VERT, wParam);
    scrollToRow(hwnd, t, scrolled(LOWORD(wParam), t->topRow, 1, page, thumb, lastTopRow(hwnd, t)));
    return 0;
}

// Horizontal scrolling is by pixels, up to the widest label drawn so far.
LRESULT onHScroll(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Tree* t = treeOf(hwnd);
    RECT c;
    GetClientRect(hwnd, &c);
    int line = metrics(hwnd, t).indent / 2;
    scrollToX(hwnd, t, scrolled(LOWORD(wParam), t->scrollX, std::max(1, line), std::max(1, static_cast<int>(c.right)),
                                controls::scrollThumbPosition(hwnd, SB_HORZ, wParam), widestScroll(hwnd, t)));
    return 0;
}

}  // namespace treeview
