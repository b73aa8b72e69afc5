// Giving a view its picture (a Bitmap it keeps, or a device bitmap), dropping
// it, and the preview copy of tools that change the shown picture live.
#include "app/viewer/view_state.h"
#include "app/viewer/view_transition.h"
#include "app/viewer/view_window.h"

#include <cstring>

namespace fotrix {

namespace {

size_t pixelBytes(const Bitmap& b) { return static_cast<size_t>(b.bytesPerRow) * static_cast<size_t>(b.height); }

void clearSelection(ViewState& s)
{
    s.mouseFlags &= ~MouseHasSelection;
    s.selection = Rect{};
    s.capture = s.capture == CaptureSelecting ? CaptureNone : s.capture;
}

// After a new picture: lay out anew and repaint; the background needs erasing
// only when the picture's size changed.
void showNewPicture(HWND view, ViewState& s, int oldWidth, int oldHeight)
{
    clearSelection(s);
    viewLayout(view, s, true);
    viewRepaint(view, oldWidth != s.pictureWidth || oldHeight != s.pictureHeight);
}

void takeDeviceBitmap(ViewState& s, HBITMAP handle, SIZE size)
{
    s.deviceBitmap = handle;
    s.ownsDeviceBitmap = true;
    s.pictureWidth = size.cx;
    s.pictureHeight = size.cy;
    s.bitsPerPixel = 24;
}

}  // namespace

void viewDropPicture(ViewState& s)
{
    if (s.hasBitmap) {
        if (s.ownsBitmap) bitmapFree(s.bitmap);
        else bitmapClear(s.bitmap);
    }
    s.hasBitmap = false;
    if (s.deviceBitmap && s.ownsDeviceBitmap) DeleteObject(s.deviceBitmap);
    s.deviceBitmap = nullptr;
    s.pictureWidth = s.pictureHeight = 0;
    s.previewCopy.clear();
    s.previewCopy.shrink_to_fit();
    displayFree(s.display);
}

void viewRepaint(HWND view, bool erase) { InvalidateRect(view, nullptr, erase); }

void SetPicture(HWND view, Bitmap* bitmap, bool ownsBitmap)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    int oldWidth = s->pictureWidth, oldHeight = s->pictureHeight;
    viewDropPicture(*s);
    if (bitmap && bitmap->pixels && bitmap->width > 0 && bitmap->height > 0) {
        s->pictureWidth = bitmap->width;
        s->pictureHeight = bitmap->height;
        s->bitsPerPixel = bitmap->bitsPerComponent * bitmap->componentCount;
        if (s->keepBitmap) {
            s->bitmap = *bitmap;
            s->hasBitmap = true;
            s->ownsBitmap = ownsBitmap;
            if (ownsBitmap) bitmapClear(*bitmap);
        } else {
            s->deviceBitmap = BitmapToDeviceBitmap(*bitmap);
            s->ownsDeviceBitmap = true;
            if (ownsBitmap) bitmapFree(*bitmap);
        }
    }
    showNewPicture(view, *s, oldWidth, oldHeight);
}

void SetDeviceBitmap(HWND view, HBITMAP handle, SIZE size)
{
    ViewState* s = viewStateOf(view);
    if (!s) {
        if (handle) DeleteObject(handle);
        return;
    }
    int oldWidth = s->pictureWidth, oldHeight = s->pictureHeight;
    viewDropPicture(*s);
    if (handle && size.cx > 0 && size.cy > 0) takeDeviceBitmap(*s, handle, size);
    else if (handle) DeleteObject(handle);
    showNewPicture(view, *s, oldWidth, oldHeight);
}

void SetDeviceBitmapWithTransition(HWND view, HBITMAP handle, SIZE size)
{
    ViewState* s = viewStateOf(view);
    if (!s) {
        if (handle) DeleteObject(handle);
        return;
    }
    viewDropPicture(*s);
    if (handle && size.cx > 0 && size.cy > 0) takeDeviceBitmap(*s, handle, size);
    else if (handle) DeleteObject(handle);
    clearSelection(*s);
    viewLayout(view, *s, true);
    RunTransition(view, *s);
}

// The caller's Bitmap is converted and freed: a transition blends device bitmaps.
void SetPictureWithTransition(HWND view, Bitmap* bitmap)
{
    HBITMAP handle = bitmap ? BitmapToDeviceBitmap(*bitmap) : nullptr;
    SIZE size{bitmap ? bitmap->width : 0, bitmap ? bitmap->height : 0};
    if (bitmap) bitmapFree(*bitmap);
    SetDeviceBitmapWithTransition(view, handle, size);
}

void SetKeepBitmap(HWND view, bool keep)
{
    if (ViewState* s = viewStateOf(view)) s->keepBitmap = keep;
}

void RefreshPicture(HWND view)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    viewLayout(view, *s, true);
    viewRepaint(view, false);
}

bool MakePreviewCopy(HWND view)
{
    ViewState* s = viewStateOf(view);
    if (!s || !s->hasBitmap || s->bitmap.componentCount != 3 || !s->bitmap.pixels) return false;
    const uint8_t* pixels = s->bitmap.pixels;
    s->previewCopy.assign(pixels, pixels + pixelBytes(s->bitmap));
    return true;
}

void RestoreFromPreviewCopy(HWND view)
{
    ViewState* s = viewStateOf(view);
    if (!s || !s->hasBitmap || s->previewCopy.size() != pixelBytes(s->bitmap)) return;
    std::memcpy(s->bitmap.pixels, s->previewCopy.data(), s->previewCopy.size());
    RefreshPicture(view);
}

void EndPreview(HWND view, bool keep)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    if (!keep) RestoreFromPreviewCopy(view);
    s->previewCopy.clear();
    s->previewCopy.shrink_to_fit();
}

const std::vector<uint8_t>* GetPreviewCopy(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s && !s->previewCopy.empty() ? &s->previewCopy : nullptr;
}

}  // namespace fotrix
