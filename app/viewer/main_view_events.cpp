// What taps, double taps and tap-and-hold in the main view do: zoom into a
// drawn selection, switch between the browse modes and full screen, stop a
// slideshow, and the pop-up menu of zoom steps; the wheel and a pinch zoom,
// a swipe steps to the next or previous picture.
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
    // The full picture's side that lies across the view (the picture may be turned).
    int fullAcross = gApp.rotated ? gApp.fullHeight : gApp.fullWidth;
    if (gApp.loadedFull || fullAcross <= 0) return;
    CheckZoomItem(0);
    int oldWidth = GetPictureSize(view).cx;
    gApp.zoomPercent = static_cast<int>(static_cast<long long>(GetZoom(view)) * oldWidth / fullAcross);
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

// The wheel steps along the zoom ladder, a notch a step, about the pointer.
void wheelZoom(const ViewEvent& event)
{
    static int pending = 0;  // the part of a notch that high-resolution wheels turn
    pending += event.amount;
    while (pending >= WHEEL_DELTA || pending <= -WHEEL_DELTA) {
        bool larger = pending > 0;
        pending += larger ? -WHEEL_DELTA : WHEEL_DELTA;
        int zoom = larger ? ZoomLadderLarger(EffectiveZoom()) : ZoomLadderSmaller(EffectiveZoom());
        ZoomAbout(zoom, FullPointAt(event.point), event.point);
    }
}

// A pinch scales the zoom it began with by the fingers' distance against
// their first one, the picture point first under their centre staying under
// it. While the fingers move only the view's zoom changes; their lift
// settles the zoom and decodes again when the picture needs more pixels.
struct Pinch {
    bool active = false;
    int startDistance = 1;
    int startZoom = 100;
    POINT anchor{};  // full-picture point
} pinch;

void pinchZoom(const ViewEvent& event)
{
    if (event.phase & GF_BEGIN) {
        pinch.active = GetPictureSize(gApp.viewWindow).cx > 0;
        pinch.startDistance = std::max(event.amount, 1);
        pinch.startZoom = EffectiveZoom();
        pinch.anchor = FullPointAt(event.point);
    }
    if (!pinch.active) return;
    int zoom = static_cast<int>(static_cast<long long>(pinch.startZoom) * std::max(event.amount, 1) / pinch.startDistance);
    zoom = std::clamp(zoom, 11, 1199);
    if (event.phase & GF_END) {
        pinch.active = false;
        ZoomAbout(zoom, pinch.anchor, event.point);
        return;
    }
    // The loaded picture at the zoom the fingers ask for.
    int full = gApp.rotated ? gApp.fullHeight : gApp.fullWidth;
    int loaded = GetPictureSize(gApp.viewWindow).cx;
    int viewZoom = full > 0 ? static_cast<int>(static_cast<long long>(zoom) * full / std::max(loaded, 1)) : zoom;
    ZoomAround(gApp.viewWindow, viewZoom, LoadedPointOf(pinch.anchor), event.point);
}

void swipe(const ViewEvent& event)
{
    if (gApp.mode != ModeImage && gApp.mode != ModeFullScreen) return;
    RunKeyAction(event.amount > 0 ? KeyActionNextPicture : KeyActionPreviousPicture, 0);
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
    case ViewWheel:
        if (!slideshow) wheelZoom(event);
        break;
    case ViewPinch:
        if (!slideshow) pinchZoom(event);
        break;
    case ViewSwipe:
        swipe(event);
        break;
    default: break;
    }
}

// Stand-ins for the shell's operations, for programs and tests built without
// the shell; the shell's own definitions replace them when it is linked.
__attribute__((weak)) void StopSlideshow() {}
__attribute__((weak)) void UpdateMenuState() {}
__attribute__((weak)) void RunKeyAction(int, UINT) {}

}  // namespace fotrix
