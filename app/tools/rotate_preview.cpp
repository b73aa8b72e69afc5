// The tool pages' shared preview.
#include "app/tools/rotate_preview.h"

#include "app/resources/texts.h"
#include "app/viewer/view_window.h"

namespace fotrix {

namespace {

void setSizeLabel(HWND page, int id, TextId key, int value)
{
    std::string text = Tr(key) + ": " + (value > 0 ? std::to_string(value) : std::string("-"));
    SetDlgItemText(page, id, text.c_str());
}

}  // namespace

SIZE ClientSize(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND CreatePreviewView(HWND page, int placeholderId, int viewId)
{
    HWND placeholder = GetDlgItem(page, placeholderId);
    RECT rect{};
    GetWindowRect(placeholder, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(nullptr, page, corners, 2);
    RECT inPage{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    ShowWindow(placeholder, SW_HIDE);
    RegisterViewClass();
    HWND view = CreateView(page, WS_VISIBLE | WS_BORDER, &inPage, kPreviewBackground, viewId);
    SetFitMode(view, FitWindow);
    return view;
}

int LoadPreviewBitmap(const std::string& path, SIZE box, Bitmap& bitmap, FileInfo& full)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= Preview;
    params.maxWidth = box.cx > 0 ? box.cx : 1;
    params.maxHeight = box.cy > 0 ? box.cy : 1;
    params.scaleMethod = ScaleAreaAverage;
    return loadBitmap(path, bitmap, params, &full);
}

SIZE ShowFilePreview(HWND page, HWND view, const std::string& path, int widthLabel, int heightLabel)
{
    Bitmap bitmap;
    FileInfo full;
    SIZE size{0, 0};
    if (LoadPreviewBitmap(path, ClientSize(view), bitmap, full) == 0) {
        size = {full.width, full.height};
        SetPicture(view, &bitmap, true);
    } else {
        SetPicture(view, nullptr, false);
    }
    freeFileInfo(full);
    bitmapFree(bitmap);
    setSizeLabel(page, widthLabel, kIdsInfoWidth, size.cx);
    setSizeLabel(page, heightLabel, kIdsInfoHeight, size.cy);
    return size;
}

}  // namespace fotrix
