// List view painting: only the items whose cells meet the area being painted
// are drawn (a list of thousands costs what its visible items cost). Each
// item is drawn by the parent (owner-drawn report rows), by the parent through
// custom drawing, or here: check box, image, label, and in report view the
// sub-item texts under a flat header.
#include "platform/controls/listview_internal.h"

namespace listview {

using controls::scaled;

void invalidate(HWND hwnd, ListView* lv)
{
    if (lv->redraw) InvalidateRect(hwnd, nullptr, FALSE);
}

void invalidateItem(HWND hwnd, ListView* lv, int index)
{
    RECT r;
    if (lv->redraw && itemRect(hwnd, lv, index, LVIR_BOUNDS, &r)) InvalidateRect(hwnd, &r, FALSE);
}

std::string itemText(HWND hwnd, ListView* lv, int index, int subItem)
{
    if (index < 0 || index >= static_cast<int>(lv->items.size())) return "";
    const Item& item = lv->items[static_cast<size_t>(index)];
    bool callback = subItem == 0 ? item.textCallback
                                 : static_cast<size_t>(subItem) < item.subCallback.size() && item.subCallback[static_cast<size_t>(subItem)];
    if (callback) {
        std::string text;
        askDispInfo(hwnd, lv, index, subItem, LVIF_TEXT, &text, nullptr);
        return text;
    }
    if (subItem == 0) return item.text;
    return static_cast<size_t>(subItem) < item.subItems.size() ? item.subItems[static_cast<size_t>(subItem)] : "";
}

int itemImage(HWND hwnd, ListView* lv, int index)
{
    if (index < 0 || index >= static_cast<int>(lv->items.size())) return -1;
    int image = lv->items[static_cast<size_t>(index)].image;
    if (image == I_IMAGECALLBACK) askDispInfo(hwnd, lv, index, 0, LVIF_IMAGE, nullptr, &image);
    return image;
}

namespace {

COLORREF resolve(COLORREF c, int sysColour) { return c == CLR_DEFAULT ? GetSysColor(sysColour) : c; }
bool isColour(COLORREF c) { return c != CLR_NONE && c != CLR_DEFAULT; }

void fill(HDC dc, const RECT& r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void drawCheckBox(HDC dc, const RECT& box, bool checked)
{
    fill(dc, box, GetSysColor(COLOR_WINDOW));
    FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
    if (!checked) return;
    // A tick three pixels thick, from the left middle down and up to the right.
    int w = box.right - box.left, h = box.bottom - box.top;
    POINT a{box.left + w / 5, box.top + h / 2 - 1}, b{box.left + w * 2 / 5, box.top + h * 7 / 10 - 1},
        c{box.right - w / 5, box.top + h / 4 - 1};
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int d = 0; d < 3; ++d) {
        MoveToEx(dc, a.x, a.y + d, nullptr);
        LineTo(dc, b.x, b.y + d);
        LineTo(dc, c.x + 1, c.y + d - 1);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

struct Look {
    bool selected = false;    // drawn as selected
    bool focusFrame = false;  // the focus frame is drawn
    bool tint = false;        // images blend with the highlight (selected, with the focus)
    COLORREF text = 0;
    COLORREF textBk = CLR_NONE;
    COLORREF highlight = 0;
    COLORREF highlightText = 0;
};

void drawStateImage(HWND hwnd, ListView* lv, HDC dc, int index)
{
    RECT box;
    // The state rectangle lies left of (or over the corner of) the icon.
    UINT state = lv->items[static_cast<size_t>(index)].state;
    int stateImage = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
    RECT bounds;
    itemRect(hwnd, lv, index, LVIR_BOUNDS, &bounds);
    if (lv->exStyle & LVS_EX_CHECKBOXES) {
        int side = checkBoxSize();
        if (viewType(hwnd) == LVS_ICON) box = RECT{bounds.left + scaled(2), bounds.top + scaled(2), 0, 0};
        else box = RECT{bounds.left + scaled(1), bounds.top + (bounds.bottom - bounds.top - side) / 2, 0, 0};
        box.right = box.left + side;
        box.bottom = box.top + side;
        drawCheckBox(dc, box, stateImage == 2);
    } else if (lv->stateImages && stateImage > 0) {
        int cx, cy;
        imageSize(lv->stateImages, &cx, &cy);
        ImageList_Draw(lv->stateImages, stateImage - 1, dc, bounds.left, bounds.top + (bounds.bottom - bounds.top - cy) / 2,
                       ILD_TRANSPARENT);
    }
}

// The label text, one line, cut with "..." to its rectangle; selected labels
// sit on the highlight as wide as their text.
void drawLabel(HDC dc, const std::string& text, RECT r, UINT align, const Look& look, bool fillWhole)
{
    RECT inner{r.left + scaled(2), r.top, r.right - scaled(2), r.bottom};
    SIZE extent{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    int width = std::min<int>(extent.cx + scaled(4), r.right - r.left);
    RECT band = r;
    if (!fillWhole) {
        if (align == DT_CENTER) band.left = r.left + (r.right - r.left - width) / 2;
        else if (align == DT_RIGHT) band.left = r.right - width;
        band.right = band.left + width;
    }
    if (look.selected) fill(dc, band, look.highlight);
    else if (isColour(look.textBk)) fill(dc, fillWhole ? r : band, look.textBk);
    SetTextColor(dc, look.selected ? look.highlightText : look.text);
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &inner,
             align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (look.focusFrame) FrameRect(dc, &band, GetSysColorBrush(look.selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

UINT alignOf(int fmt)
{
    switch (fmt & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

void drawImage(HIMAGELIST list, int image, HDC dc, const RECT& at, bool selected)
{
    if (list && image >= 0) ImageList_Draw(list, image, dc, at.left, at.top, ILD_TRANSPARENT | (selected ? static_cast<UINT>(ILD_SELECTED) : 0u));
}

void drawIconItem(HWND hwnd, ListView* lv, HDC dc, int index, const Look& look)
{
    RECT icon, label;
    itemRect(hwnd, lv, index, LVIR_ICON, &icon);
    itemRect(hwnd, lv, index, LVIR_LABEL, &label);
    drawImage(lv->normalImages, itemImage(hwnd, lv, index), dc, icon, look.tint);
    if (label.bottom > label.top) {
        label.bottom = std::min<LONG>(label.bottom, label.top + textHeight(hwnd, lv) + scaled(2));
        drawLabel(dc, itemText(hwnd, lv, index, 0), label, DT_CENTER, look, false);
    }
    drawStateImage(hwnd, lv, dc, index);
}

void drawRowItem(HWND hwnd, ListView* lv, HDC dc, int index, const Look& look)
{
    RECT icon, label, bounds;
    itemRect(hwnd, lv, index, LVIR_ICON, &icon);
    itemRect(hwnd, lv, index, LVIR_LABEL, &label);
    itemRect(hwnd, lv, index, LVIR_BOUNDS, &bounds);
    bool report = viewType(hwnd) == LVS_REPORT;
    bool fullRow = report && (lv->exStyle & LVS_EX_FULLROWSELECT);
    Look cell = look;
    if (fullRow && look.selected) {
        fill(dc, bounds, look.highlight);
        cell.textBk = CLR_NONE;
    }
    drawStateImage(hwnd, lv, dc, index);
    drawImage(lv->smallImages, itemImage(hwnd, lv, index), dc, icon, look.tint);
    Look first = cell;
    first.focusFrame = look.focusFrame && !fullRow;
    drawLabel(dc, itemText(hwnd, lv, index, 0), label, DT_LEFT, first, report);
    if (!report) return;
    Look rest = cell;
    rest.selected = false;
    rest.focusFrame = false;
    if (fullRow && look.selected) rest.text = look.highlightText;
    for (size_t c = 1; c < lv->columns.size(); ++c) {
        RECT r;
        subItemRect(hwnd, lv, index, static_cast<int>(c), LVIR_BOUNDS, &r);
        if (r.right <= r.left) continue;
        RECT inner{r.left + scaled(4), r.top, r.right - scaled(2), r.bottom};
        drawLabel(dc, itemText(hwnd, lv, index, lv->columns[c].subItem), inner, alignOf(lv->columns[c].fmt), rest, true);
    }
    if (fullRow && look.focusFrame) FrameRect(dc, &bounds, GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
    if (lv->exStyle & LVS_EX_GRIDLINES) {
        RECT line{bounds.left, bounds.bottom - 1, bounds.right, bounds.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void drawOwnerItem(HWND hwnd, ListView* lv, HDC dc, int index, bool hasFocus)
{
    const Item& item = lv->items[static_cast<size_t>(index)];
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_LISTVIEW;
    d.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    d.itemID = static_cast<UINT>(index);
    d.itemAction = ODA_DRAWENTIRE;
    if (item.state & LVIS_SELECTED) d.itemState |= ODS_SELECTED;
    if ((item.state & LVIS_FOCUSED) && hasFocus) d.itemState |= ODS_FOCUS;
    d.hwndItem = hwnd;
    d.hDC = dc;
    itemRect(hwnd, lv, index, LVIR_BOUNDS, &d.rcItem);
    d.itemData = static_cast<ULONG_PTR>(item.param);
    HWND parent = GetParent(hwnd);
    int saved = SaveDC(dc);
    if (parent) SendMessage(parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
    RestoreDC(dc, saved);
}

void drawHeader(HWND hwnd, ListView* lv, HDC dc)
{
    int h = headerHeight(hwnd, lv);
    if (h <= 0) return;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT bar{client.left, client.top, client.right, client.top + h};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int left = client.left - lv->scrollX;
    for (const Column& c : lv->columns) {
        RECT cell{left, bar.top, left + c.width, bar.bottom - 1};
        RECT text{cell.left + scaled(4), cell.top, cell.right - scaled(4), cell.bottom};
        if (text.right > text.left)
            DrawText(dc, c.text.c_str(), static_cast<int>(c.text.size()), &text,
                     alignOf(c.fmt) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        RECT divider{cell.right - 1, bar.top + scaled(2), cell.right, bar.bottom - scaled(2)};
        if (c.width > 0) FillRect(dc, &divider, GetSysColorBrush(COLOR_BTNSHADOW));
        left += c.width;
    }
    RECT bottom{bar.left, bar.bottom - 1, bar.right, bar.bottom};
    FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNSHADOW));
}

}  // namespace

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ListView* lv = get(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!lv->redraw) {
        EndPaint(hwnd, &ps);
        return 0;
    }
    HGDIOBJ oldFont = SelectObject(dc, lv->font.get());
    SetBkMode(dc, TRANSPARENT);
    if (lv->bkColour != CLR_NONE) fill(dc, ps.rcPaint, resolve(lv->bkColour, COLOR_WINDOW));

    bool hasFocus = GetFocus() == hwnd;
    bool showSelection = hasFocus || (style(hwnd) & LVS_SHOWSELALWAYS);
    bool ownerDrawn = viewType(hwnd) == LVS_REPORT && (style(hwnd) & LVS_OWNERDRAWFIXED);
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.hdc = dc;
    GetClientRect(hwnd, &cd.nmcd.rc);
    LRESULT pre = ownerDrawn ? CDRF_DODEFAULT : customDraw(hwnd, &cd, CDDS_PREPAINT);

    if (!(pre & CDRF_SKIPDEFAULT)) {
        Grid g = grid(hwnd, lv);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, g.content.left, g.content.top, g.content.right, g.content.bottom);
        std::vector<int> visible;
        visibleRange(hwnd, lv, ps.rcPaint, &visible);
        for (int index : visible) {
            if (index >= static_cast<int>(lv->items.size())) break;  // the parent changed the list meanwhile
            if (ownerDrawn) {
                drawOwnerItem(hwnd, lv, dc, index, hasFocus);
                continue;
            }
            const Item& item = lv->items[static_cast<size_t>(index)];
            Look look;
            look.selected = (item.state & (LVIS_SELECTED | LVIS_DROPHILITED)) && showSelection;
            look.focusFrame = (item.state & LVIS_FOCUSED) && hasFocus;
            look.tint = look.selected && hasFocus;
            look.text = resolve(lv->textColour, COLOR_WINDOWTEXT);
            look.textBk = lv->textBkColour;
            look.highlight = GetSysColor(hasFocus ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
            look.highlightText = GetSysColor(hasFocus ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
            LRESULT itemAnswer = CDRF_DODEFAULT;
            if (pre & CDRF_NOTIFYITEMDRAW) {
                itemRect(hwnd, lv, index, LVIR_BOUNDS, &cd.nmcd.rc);
                cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
                cd.nmcd.uItemState = ((item.state & LVIS_SELECTED) ? static_cast<UINT>(CDIS_SELECTED) : 0u) |
                                     ((item.state & LVIS_FOCUSED) && hasFocus ? static_cast<UINT>(CDIS_FOCUS) : 0u);
                cd.nmcd.lItemlParam = item.param;
                cd.clrText = look.text;
                cd.clrTextBk = look.textBk;
                cd.iSubItem = 0;
                int itemSaved = SaveDC(dc);
                itemAnswer = customDraw(hwnd, &cd, CDDS_ITEMPREPAINT);
                RestoreDC(dc, itemSaved);
                SelectObject(dc, lv->font.get());
                SetBkMode(dc, TRANSPARENT);
                look.text = cd.clrText == CLR_DEFAULT ? look.text : cd.clrText;
                look.textBk = cd.clrTextBk;
                if (index >= static_cast<int>(lv->items.size())) break;
            }
            if (!(itemAnswer & CDRF_SKIPDEFAULT)) {
                if (viewType(hwnd) == LVS_ICON) drawIconItem(hwnd, lv, dc, index, look);
                else drawRowItem(hwnd, lv, dc, index, look);
            }
            if (itemAnswer & CDRF_NOTIFYPOSTPAINT) customDraw(hwnd, &cd, CDDS_ITEMPOSTPAINT);
        }
        RestoreDC(dc, saved);
    }
    drawHeader(hwnd, lv, dc);
    if (pre & CDRF_NOTIFYPOSTPAINT) {
        GetClientRect(hwnd, &cd.nmcd.rc);
        customDraw(hwnd, &cd, CDDS_POSTPAINT);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace listview
