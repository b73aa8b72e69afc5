#pragma once
// The view window: a child window of class "CBmpClass" that shows one picture
// with a fit rule or a zoom, scrolls and pans it, draws a selection, shows a
// one-line label, blends new pictures in with transitions and tells its owner
// about taps, double taps, tap-and-hold and selection changes. The main
// window has one; tool dialogs make their own for previews.
#include "app/viewer/view_state.h"

namespace fotrix {

constexpr const char* kViewClassName = "CBmpClass";

// Registers the class once (a message box "RegisterClass() failed" when it cannot).
bool RegisterViewClass();

// A view as a child of `parent`: WS_CHILD | WS_TABSTOP | extraStyle, at `rect`
// or at (0, 0) sized 256 x 256 without one; `param` becomes the control id.
HWND CreateView(HWND parent, DWORD extraStyle, const RECT* rect, COLORREF background, int param);

// Every operation does nothing for a window that is not a view.
// With ownsBitmap the view takes the pixel buffers of `bitmap` (the caller's
// record is cleared) and frees them; without, it only borrows them and the
// caller keeps them alive until the view lets go. Null clears the view.
void SetPicture(HWND view, Bitmap* bitmap, bool ownsBitmap);
void SetPictureWithTransition(HWND view, Bitmap* bitmap);
// A ready 32-bit device bitmap of the given size; the view owns it afterwards.
void SetDeviceBitmap(HWND view, HBITMAP handle, SIZE size);
void SetDeviceBitmapWithTransition(HWND view, HBITMAP handle, SIZE size);
// With keep off the view keeps only a device bitmap of the pictures it gets.
void SetKeepBitmap(HWND view, bool keep);

void SetFitMode(HWND view, int mode);
int GetFitMode(HWND view);
// Ignored unless 11 <= percent <= 1199; keeps the point at the client centre.
void SetZoom(HWND view, int percent);
int GetZoom(HWND view);
// The picture pixel under a client point (outside the picture for a point
// beside it), and a zoom (held to 11 ... 1199) that shows picture pixel
// `picturePoint` at client point `client` as far as the scroll range allows.
POINT PicturePointAt(HWND view, POINT client);
void ZoomAround(HWND view, int percent, POINT picturePoint, POINT client);
void SetBackground(HWND view, COLORREF colour);
void SetCallback(HWND view, ViewCallback callback, void* data);
// 1 or 4: dragging draws a selection; 2: dragging pans; 0: dragging does nothing.
void SetMouseMode(HWND view, int mode);
bool GetSelection(HWND view, Rect* selection);
void SetSelection(HWND view, const Rect* selection);
void ScrollBy(HWND view, int dx, int dy);
void ZoomToSelection(HWND view);
SIZE GetPictureSize(HWND view);
void SetScrollbars(HWND view, bool on);
void SetLabel(HWND view, const char* text);
// Scroll position: the display pixel at the client area's left/top.
POINT GetScrollPosition(HWND view);
SIZE GetDisplaySize(HWND view);
// The view's own picture (null when it keeps only a device bitmap).
Bitmap* GetViewBitmap(HWND view);

// For tools that change the shown picture live (pictures of 3 components
// only): the copy keeps the unchanged pixels; after changing the view's
// bitmap the tool calls RefreshPicture.
bool MakePreviewCopy(HWND view);
const std::vector<uint8_t>* GetPreviewCopy(HWND view);
void RefreshPicture(HWND view);
void RestoreFromPreviewCopy(HWND view);
void EndPreview(HWND view, bool keep);

// A 32-bit device bitmap with the pixels of `bitmap` (any layout); null when
// memory runs out or the layout is unknown.
HBITMAP BitmapToDeviceBitmap(const Bitmap& bitmap);

}  // namespace fotrix
