// Tree view painting: only the rows inside the invalid area are drawn, each
// with its dotted lines, button, picture and label.
#include "platform/controls/treeview_internal.h"

#include <climits>

namespace treeview {

namespace {

struct PaintContext {
    HWND hwnd;
    Tree* t;
    HDC dc;
    Metrics m;
    DWORD style;
    int rootLevel;  // 1 when top-level items have a button and line column
    COLORREF lineColour;
};

int columnOf(const PaintContext& pc, const Item* item)
{
    int level = item->depth + pc.rootLevel;
    return level > 0 ? level * pc.m.indent - pc.m.indent + pc.m.indent / 2 - pc.t->scrollX : INT_MIN;
}

// Dots on every other pixel, by the parity of x + y on the screen's grid, so that
// the segments of neighbouring rows join into one dotted line.
void dottedVertical(const PaintContext& pc, int x, int top, int bottom)
{
    for (int y = top; y < bottom; ++y)
        if (((x + y) & 1) == 0) SetPixel(pc.dc, x, y, pc.lineColour);
}
void dottedHorizontal(const PaintContext& pc, int left, int right, int y)
{
    for (int x = left; x < right; ++x)
        if (((x + y) & 1) == 0) SetPixel(pc.dc, x, y, pc.lineColour);
}

void drawLines(const PaintContext& pc, Item* item, const RowParts& parts)
{
    int top = parts.row.top, bottom = parts.row.bottom, mid = (top + bottom) / 2;
    if (parts.column != INT_MIN) {
        dottedHorizontal(pc, parts.column, parts.icon.left - 1, mid);
        bool joinedAbove = item->prev || item->parent != &pc.t->root;
        if (joinedAbove) dottedVertical(pc, parts.column, top, mid);
        if (item->next) dottedVertical(pc, parts.column, mid, bottom);
    }
    // Ancestors with later siblings carry their line through this row.
    for (Item* a = item->parent; a && a != &pc.t->root; a = a->parent) {
        int x = columnOf(pc, a);
        if (a->next && x != INT_MIN) dottedVertical(pc, x, top, bottom);
    }
}

void drawButton(const PaintContext& pc, Item* item, const RowParts& parts)
{
    int size = controls::scaled(9) | 1;  // odd, so the sign sits in the middle
    int half = size / 2;
    int mid = (parts.row.top + parts.row.bottom) / 2;
    RECT box{parts.column - half, mid - half, parts.column - half + size, mid - half + size};
    FillRect(pc.dc, &box, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(pc.dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    int arm = half - 2;
    RECT minus{parts.column - arm, mid, parts.column + arm + 1, mid + 1};
    FillRect(pc.dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
    if (!isExpanded(item)) {
        RECT bar{parts.column, mid - arm, parts.column + 1, mid + arm + 1};
        FillRect(pc.dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
}

void drawLabel(const PaintContext& pc, Item* item, const RowParts& parts, const std::string& text)
{
    Tree* t = pc.t;
    bool selected = item == t->caret && (t->focused || (pc.style & TVS_SHOWSELALWAYS));
    bool highlighted = (selected && t->focused) || item == t->dropHilite || (item->state & TVIS_DROPHILITED);
    COLORREF textColour = GetSysColor(IsWindowEnabled(pc.hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    if (highlighted) {
        FillRect(pc.dc, &parts.label, GetSysColorBrush(COLOR_HIGHLIGHT));
        textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (selected) {
        // Keeps showing where the selection is while the tree has no focus.
        FillRect(pc.dc, &parts.label, GetSysColorBrush(COLOR_BTNFACE));
    }
    bool hot = item == t->hot && (pc.style & TVS_TRACKSELECT) && !highlighted;
    if (hot) textColour = GetSysColor(COLOR_HIGHLIGHT);
    SetTextColor(pc.dc, textColour);
    SetBkMode(pc.dc, TRANSPARENT);
    int x = parts.label.left + controls::scaled(2);
    int y = parts.label.top + (pc.m.itemHeight - pc.m.textHeight) / 2;
    TextOut(pc.dc, x, y, text.c_str(), static_cast<int>(text.size()));
    if (hot) {
        RECT underline{x, y + pc.m.textHeight - 1, parts.label.right - controls::scaled(2), y + pc.m.textHeight};
        HBRUSH brush = CreateSolidBrush(textColour);
        FillRect(pc.dc, &underline, brush);
        DeleteObject(brush);
    }
}

void drawRow(PaintContext& pc, Item* item, int row)
{
    std::string text = itemText(pc.hwnd, pc.t, item);
    if (!alive(pc.t, item)) return;
    RowParts parts = rowParts(pc.hwnd, pc.t, item, row, text, pc.dc);
    if (pc.style & TVS_HASLINES) drawLines(pc, item, parts);
    if (parts.column != INT_MIN && (pc.style & TVS_HASBUTTONS) && hasChildren(pc.hwnd, pc.t, item) && alive(pc.t, item))
        drawButton(pc, item, parts);
    if (!alive(pc.t, item)) return;
    if (pc.t->images) {
        // The selected item shows its selected picture (an open folder, say).
        int image = itemImage(pc.hwnd, pc.t, item, item == pc.t->caret);
        if (!alive(pc.t, item)) return;
        if (image >= 0) ImageList_Draw(pc.t->images, image, pc.dc, parts.icon.left, parts.icon.top, ILD_TRANSPARENT);
    }
    drawLabel(pc, item, parts, text);
    pc.t->widest = std::max(pc.t->widest, static_cast<int>(parts.label.right) + pc.t->scrollX);
}

}  // namespace

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Tree* t = treeOf(hwnd);
    if (t->barsStale) applyScrollBars(hwnd, t);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_WINDOW));
    DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    PaintContext pc{hwnd, t, dc, metrics(hwnd, t), style,
                    (style & TVS_LINESATROOT) && (style & (TVS_HASLINES | TVS_HASBUTTONS)) ? 1 : 0,
                    GetSysColor(COLOR_BTNSHADOW)};
    HGDIOBJ oldFont = SelectObject(dc, t->font.get());
    int widestBefore = t->widest;
    int first = t->topRow + std::max(0, static_cast<int>(ps.rcPaint.top)) / pc.m.itemHeight;
    int last = t->topRow + (static_cast<int>(ps.rcPaint.bottom) - 1) / pc.m.itemHeight;
    // The parent may change the tree while it tells a text or picture; the rows
    // are looked up again for every row drawn.
    for (int row = first; row <= last; ++row) {
        const std::vector<Item*>& rows = visibleRows(t);
        if (row >= static_cast<int>(rows.size())) break;
        drawRow(pc, rows[row], row);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    // A wider label than any before: the horizontal bar grows (which may
    // narrow the client area and repaint).
    if (t->widest != widestBefore) applyScrollBars(hwnd, t);
    return 0;
}

}  // namespace treeview
