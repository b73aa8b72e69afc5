// What taps, double taps and tap-and-hold in the main view do: zoom into a
// drawn selection, switch between the browse modes and full screen, stop a
// slideshow, and the pop-up menu of zoom steps.
#include "app/language.h"
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"

#include <algorithm>

namespace fotrix {

namespace {

constexpr int kMenuViewPopup = 185;

void sendMode(int mode) { SendMessage(gApp.mainWindow, WM_COMMAND, MAKEWPARAM(CmdModeThumbnails + mode, 0), 0); }

void goBack()
{
    int mode = gApp.returnMode;
    gApp.returnMode = -1;
    sendMode(mode);
}

// Zooms into the selection; a picture decoded reduced is decoded again for
// the new zoom (against the full picture) and the same part zoomed into.
void zoomIntoSelection()
{
    HWND view = gApp.viewWindow;
    Rect selection;
    if (!GetSelection(view, &selection)) return;
    ZoomToSelection(view);
    if (gApp.loadedFull || gApp.fullWidth <= 0) return;
    CheckZoomItem(0);
    int oldWidth = GetPictureSize(view).cx;
    gApp.zoomPercent = static_cast<int>(static_cast<long long>(GetZoom(view)) * oldWidth / gApp.fullWidth);
    gApp.zoomPercent = std::max(gApp.zoomPercent, 1);
    LoadIntoView(gApp.currentIndex, gApp.currentPage, false);
    int newWidth = GetPictureSize(view).cx;
    if (newWidth <= 0 || oldWidth <= 0) return;
    auto scale = [&](int v) { return static_cast<int>(static_cast<long long>(v) * newWidth / oldWidth); };
    Rect again{scale(selection.x), scale(selection.y), scale(selection.w), scale(selection.h)};
    SetSelection(view, &again);
    ZoomToSelection(view);
}

void doubleTapWithoutSelection()
{
    int mode = gApp.mode;
    if (mode == ModeFullScreen) {
        if (gApp.openInFull && gApp.returnMode != -1) goBack();
    } else if (mode == ModeImage && !gApp.openInFull) {
        if (gApp.returnMode != -1) goBack();
        else sendMode(ModeFullScreen);
    } else if (mode == ModeImage) {
        // Full screen later returns to Thumbnails rather than to Image.
        if (gApp.returnMode == ModeThumbnails) {
            gApp.returnMode = -1;
            gApp.mode = ModeThumbnails;
        }
        sendMode(ModeFullScreen);
    } else if (isBrowseMode(mode)) {
        sendMode(ModeFullScreen);
    }
}

void showZoomMenu(POINT screen)
{
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(kMenuViewPopup));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0) ? GetSubMenu(menu, 0) : menu;
    TranslateMenu(nullptr, popup);
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, gApp.mainWindow, nullptr);
    DestroyMenu(menu);
}

}  // namespace

void OnMainViewEvent(const ViewEvent& event)
{
    bool slideshow = gApp.mode == ModeSlideshow;
    switch (event.kind) {
    case ViewTapReleased:
        if (slideshow) StopSlideshow();
        else if (!gApp.viewMove && event.hasSelection) zoomIntoSelection();
        break;
    case ViewDoubleTap:
        if (slideshow) StopSlideshow();
        else if (event.hasSelection) zoomIntoSelection();
        else doubleTapWithoutSelection();
        break;
    case ViewTapAndHold:
        if (!slideshow) showZoomMenu(event.point);
        break;
    default: break;
    }
}

// Stand-ins for the shell's operations, for programs and tests built without
// the shell; the shell's own definitions replace them when it is linked.
__attribute__((weak)) void StopSlideshow() {}
__attribute__((weak)) void UpdateMenuState() {}

}  // namespace fotrix
