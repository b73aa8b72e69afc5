// Drawing the list: the thumbnail cells of the Thumbnails and Strip modes
// (custom draw), the shaded rows of List mode and the owner-drawn Details rows.
#include "app/browser/browser_internal.h"

#include "app/browser/file_texts.h"
#include "platform/controls/listview.h"
#include "platform/gdi/gdi.h"
#include "platform/resources/resources.h"
#include "platform/window/window.h"

#include <algorithm>

namespace fotrix {

namespace {

constexpr COLORREF kSelectedFrame = 0x0000FF;
constexpr COLORREF kLabelBand = 0xFF0000;
constexpr COLORREF kOddListRow = 0xC3C3C3;
constexpr COLORREF kDetailsSelected = 0xE3D6CE;
constexpr COLORREF kDetailsEven = 0xE6E6EB;
constexpr COLORREF kDetailsOdd = 0xCAEDED;

void fillColour(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void drawBitmapCentred(HDC dc, HBITMAP bitmap, int width, int height, const RECT& cell)
{
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    const int x = cell.left + (cell.right - cell.left - width) / 2;
    const int y = cell.top + (cell.bottom - cell.top - height) / 2;
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The album picture that suits the cell: large, middle or small.
void drawAlbumPicture(HDC dc, const RECT& cell)
{
    const int w = cell.right - cell.left, h = cell.bottom - cell.top;
    const int id = w >= 120 && h >= 120 ? 169 : w >= 60 && h >= 60 ? 166 : 167;
    HBITMAP picture = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(id));
    if (!picture) return;
    BITMAP info{};
    GetObject(picture, sizeof info, &info);
    drawBitmapCentred(dc, picture, info.bmWidth, info.bmHeight, cell);
    DeleteObject(picture);
}

void drawFrame(HDC dc, const RECT& cell, bool selected)
{
    HPEN pen = CreatePen(PS_SOLID, 1, selected ? kSelectedFrame : 0x000000);
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT corners[] = {{cell.left - 2, cell.top - 2},
                             {cell.right + 1, cell.top - 2},
                             {cell.right + 1, cell.bottom + 1},
                             {cell.left - 2, cell.bottom + 1},
                             {cell.left - 2, cell.top - 2}};
    Polyline(dc, corners, 5);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void drawLabel(HDC dc, const FileEntry& entry, const RECT& item, const RECT& cell, bool selected, int textHeight)
{
    const std::string label = FitText(dc, DisplayName(entry.path, gApp.showExt != 0), (item.right - item.left) - 4);
    RECT band{item.left, cell.bottom + (4 * gApp.dpiY + 48) / 96, item.right, 0};
    band.bottom = band.top + textHeight;
    SetBkMode(dc, TRANSPARENT);
    if (selected) {
        fillColour(dc, band, kLabelBand);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(dc, 0x000000);
    }
    DrawText(dc, label.c_str(), static_cast<int>(label.size()), &band, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void drawThumbnailItem(HDC dc, int index, RECT item, bool selected)
{
    const FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    const int textHeight = ListTextHeight();
    RECT cell = item;
    cell.bottom -= gApp.showLabel ? (4 * gApp.dpiY + 48) / 96 + textHeight : 2;
    cell.left += 4;
    cell.top += 4;
    cell.right -= 4;
    if (selected) fillColour(dc, item, GetSysColor(COLOR_HIGHLIGHT));
    drawFrame(dc, cell, selected);
    if (entry.state == EntryThumbnail && entry.thumbnail)
        drawBitmapCentred(dc, entry.thumbnail, entry.thumbnailWidth, entry.thumbnailHeight, cell);
    else if (entry.state == EntryAlbum)
        drawAlbumPicture(dc, cell);
    if (gApp.showLabel) drawLabel(dc, entry, item, cell, selected, textHeight);
}

LRESULT drawThumbnailCell(NMLVCUSTOMDRAW* draw)
{
    const int index = static_cast<int>(draw->nmcd.dwItemSpec);
    HWND list = draw->nmcd.hdr.hwndFrom;
    if (index < 0 || index >= fileCount()) return CDRF_DODEFAULT;
    RECT item{};
    if (!ListView_GetItemRect(list, index, &item, LVIR_BOUNDS)) return CDRF_DODEFAULT;
    RECT client{}, visible{};
    GetClientRect(list, &client);
    if (!IntersectRect(&visible, &item, &client)) return CDRF_SKIPDEFAULT;
    const UINT state = ListView_GetItemState(list, index, LVIS_SELECTED | LVIS_DROPHILITED);
    drawThumbnailItem(draw->nmcd.hdc, index, item, state != 0);
    return CDRF_SKIPDEFAULT;
}

}  // namespace

std::string FitText(HDC dc, const std::string& text, int width)
{
    SIZE size{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx <= width) return text;
    std::string cut = text;
    while (!cut.empty()) {
        do cut.pop_back();  // whole UTF-8 characters: drop continuation bytes with their lead
        while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80);
        if (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0xC0) cut.pop_back();
        const std::string candidate = cut + "...";
        GetTextExtentPoint32(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
        if (size.cx <= width) return candidate;
    }
    return "...";
}

LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw)
{
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (stage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    if (gApp.mode == ModeList) {
        if (draw->nmcd.dwItemSpec % 2 == 1) draw->clrTextBk = kOddListRow;
        return CDRF_DODEFAULT;
    }
    if (gApp.mode == ModeThumbnails || gApp.mode == ModeStrip) return drawThumbnailCell(draw);
    return CDRF_DODEFAULT;
}

void MeasureDetailsRow(MEASUREITEMSTRUCT* measure)
{
    if (!measure) return;
    const int h = ThumbnailCellHeight();
    measure->itemHeight = static_cast<UINT>(std::max(h + 4, (60 * gApp.dpiY + 48) / 96));
}

namespace {

void drawTextAt(HDC dc, HFONT font, const std::string& text, RECT box, UINT format)
{
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_NOPREFIX);
    if (old) SelectObject(dc, old);
}

int fontHeight(HDC dc, HFONT font)
{
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    if (old) SelectObject(dc, old);
    return metrics.tmHeight;
}

std::string itemText(int index, int column)
{
    char text[260] = "";
    LVITEM item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(gApp.listWindow, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace

void DrawDetailsRow(const DRAWITEMSTRUCT* draw)
{
    if (!draw || static_cast<int>(draw->itemID) >= fileCount()) return;
    const int index = static_cast<int>(draw->itemID);
    const FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    HDC dc = draw->hDC;
    const RECT row = draw->rcItem;
    const bool selected = draw->itemState & ODS_SELECTED;
    fillColour(dc, row, selected ? kDetailsSelected : index % 2 == 0 ? kDetailsEven : kDetailsOdd);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? 0x000000 : GetSysColor(COLOR_WINDOWTEXT));
    const int cellW = ThumbnailCellWidth();
    const RECT cell{row.left + 6, row.top, row.left + 6 + cellW, row.bottom};
    if (entry.state == EntryThumbnail && entry.thumbnail)
        drawBitmapCentred(dc, entry.thumbnail, entry.thumbnailWidth, entry.thumbnailHeight, cell);
    else if (entry.state == EntryAlbum)
        drawAlbumPicture(dc, cell);
    // The row is as wide as the report's columns; the text keeps to what the list shows.
    RECT client{};
    GetClientRect(draw->hwndItem, &client);
    RECT text{cell.right + 4, row.top + 2, std::min(row.right, client.right) - 2, row.bottom};
    const int boldHeight = fontHeight(dc, gListResources.boldFont);
    const int normalHeight = fontHeight(dc, gListResources.normalFont);
    // The full path; when it is too long, its middle gives way to the file name.
    drawTextAt(dc, gListResources.boldFont, entry.path, text, DT_LEFT | DT_PATH_ELLIPSIS);
    text.top += boldHeight + 4;
    drawTextAt(dc, gListResources.normalFont, itemText(index, 1), text, DT_LEFT);
    drawTextAt(dc, gListResources.normalFont, itemText(index, 2), text, DT_RIGHT);
    text.top += normalHeight;
    drawTextAt(dc, gListResources.normalFont, itemText(index, 4), text, DT_LEFT);
    text.top += normalHeight;
    drawTextAt(dc, gListResources.normalFont, itemText(index, 3), text, DT_LEFT);
}

}  // namespace fotrix
