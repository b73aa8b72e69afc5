// Cell sizes of the list. The image lists hold no pictures: they only give
// the control its cell sizes for each mode, while the program draws the cells.
#include "app/browser/browser_internal.h"

#include "platform/controls/listview.h"
#include "platform/gdi/gdi.h"
#include "platform/window/window.h"

#include <algorithm>

namespace fotrix {

namespace {

// Base cell size by the ThumbSize setting (0 and anything out of range: the smallest).
int baseCellSize()
{
    constexpr int kBase[] = {38, 50, 60, 80, 102};
    return gApp.thumbSize >= 1 && gApp.thumbSize <= 4 ? kBase[gApp.thumbSize] : kBase[0];
}

int scaledY(int n) { return (n * gApp.dpiY + 48) / 96; }

// Room below the cell: a gap and one line of label, or 2 pixels without labels.
int labelSpace() { return gApp.showLabel ? scaledY(4) + ListTextHeight() : 2; }

void replaceImageList(HIMAGELIST& slot, int kind, int width, int height)
{
    HIMAGELIST fresh = ImageList_Create(std::max(1, width), std::max(1, height), ILC_COLOR, 0, 1);
    if (gApp.listWindow) ListView_SetImageList(gApp.listWindow, fresh, kind);
    if (slot) ImageList_Destroy(slot);
    slot = fresh;
}

}  // namespace

int ThumbnailCellWidth() { return (baseCellSize() * gApp.dpiX + 48) / 96; }
int ThumbnailCellHeight() { return (baseCellSize() * gApp.dpiY + 48) / 96; }

int ListTextHeight()
{
    HWND list = gApp.listWindow;
    HDC dc = GetDC(list);
    HFONT font = list ? reinterpret_cast<HFONT>(SendMessage(list, WM_GETFONT, 0, 0)) : nullptr;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    if (old) SelectObject(dc, old);
    ReleaseDC(list, dc);
    return metrics.tmHeight > 0 ? metrics.tmHeight : scaledY(13);
}

// One item of the icon grid: the cell, 4 pixels each side and above for the
// frame drawn 2 pixels outside it, and the label's room below.
void ApplyIconSpacing()
{
    if (!gApp.listWindow) return;
    ListView_SetIconSpacing(gApp.listWindow, ThumbnailCellWidth() + 12, ThumbnailCellHeight() + 8 + labelSpace());
}

void RebuildCellSizes()
{
    const int w = ThumbnailCellWidth(), h = ThumbnailCellHeight();
    const int margin = gApp.dpiY > 96 ? 4 : 2;
    replaceImageList(gListResources.normalImages, LVSIL_NORMAL, w - margin, gApp.showLabel ? h - margin : h - 2 * margin);
    if (gApp.mode == ModeDetails)
        replaceImageList(gListResources.smallImages, LVSIL_SMALL, w - 1, std::max(h + 4, scaledY(60)));
    else
        replaceImageList(gListResources.smallImages, LVSIL_SMALL, 1, 1);
    ApplyIconSpacing();
}

void DestroyListImageLists()
{
    if (gApp.listWindow) {
        ListView_SetImageList(gApp.listWindow, nullptr, LVSIL_NORMAL);
        ListView_SetImageList(gApp.listWindow, nullptr, LVSIL_SMALL);
    }
    if (gListResources.normalImages) ImageList_Destroy(gListResources.normalImages);
    if (gListResources.smallImages) ImageList_Destroy(gListResources.smallImages);
    gListResources.normalImages = gListResources.smallImages = nullptr;
}

}  // namespace fotrix
