// The viewer's commands: fixed zooms, the ladder steps (larger, smaller), the
// two fit rules, auto-rotation and the pages of multi-page files.
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"

#include <algorithm>
#include <iterator>

namespace fotrix {

namespace {

struct FixedZoomCommand {
    int command;
    int percent;
};
constexpr FixedZoomCommand kFixedZooms[] = {
    {CmdZoom200, 200}, {CmdZoom50, 50},  {CmdZoom75, 75},   {CmdZoom25, 25},
    {CmdZoom150, 150}, {CmdZoom400, 400}, {CmdZoom300, 300}, {CmdActualSize, 100},
};

constexpr int kLadderSteps = static_cast<int>(std::size(kZoomLadder));

// The first ladder entry the zoom reaches or exceeds (the ladder runs from
// the largest down), or kLadderSteps below the smallest.
int ladderPosition(int zoom)
{
    int i = 0;
    while (i < kLadderSteps && zoom < kZoomLadder[i]) ++i;
    return i;
}

// A zoom in percent of the picture's full size: the view shows a reduced
// decoding at 100 %, a full one at the percentage.
void applyZoom(int checkedItem, int percent)
{
    CheckZoomItem(checkedItem);
    SetZoom(gApp.viewWindow, gApp.loadedFull ? percent : 100);
    gApp.zoomPercent = percent;
    ReloadForZoom();
}

void applyFit(int command, int fitMode)
{
    CheckZoomItem(command);
    SetFitMode(gApp.viewWindow, fitMode);
    gApp.zoomPercent = -1;
    ReloadForZoom();
}

void turnPage(int delta)
{
    int page = gApp.currentPage + delta;
    if (page < 0 || page >= gApp.pageCount) return;
    LoadIntoView(gApp.currentIndex, page, false);
}

void toggleAutoRotate()
{
    gApp.rotateAuto = !gApp.rotateAuto;
    if (HMENU menu = MainMenu())
        CheckMenuItem(menu, CmdAutoRotate, MF_BYCOMMAND | (gApp.rotateAuto ? MF_CHECKED : MF_UNCHECKED));
    ReloadCurrent();
}

const FixedZoomCommand* fixedZoomOf(int command)
{
    for (const FixedZoomCommand& z : kFixedZooms)
        if (z.command == command) return &z;
    return nullptr;
}

}  // namespace

int ZoomLadderLarger(int zoom)
{
    int i = ladderPosition(zoom);
    if (i >= kLadderSteps) return kZoomLadder[kLadderSteps - 1];
    return kZoomLadder[i > 0 ? i - 1 : 0];
}

int ZoomLadderSmaller(int zoom)
{
    int i = ladderPosition(zoom);
    if (i >= kLadderSteps) return kZoomLadder[kLadderSteps - 1];
    if (zoom == kZoomLadder[i] && i + 1 < kLadderSteps) ++i;
    return kZoomLadder[i];
}

int EffectiveZoom()
{
    if (gApp.zoomPercent > 0) return gApp.zoomPercent;
    int zoom = GetZoom(gApp.viewWindow);
    if (gApp.requestedWidth > 0 && gApp.fullWidth > 0)
        return static_cast<int>(static_cast<long long>(zoom) * gApp.requestedWidth / gApp.fullWidth);
    return zoom;
}

namespace {

// The loaded picture's width against the full picture's side that lies
// across the view (the picture may be turned).
struct Scale {
    long long loaded;
    long long full;
};
Scale loadedScale()
{
    long long loaded = GetPictureSize(gApp.viewWindow).cx;
    long long full = gApp.rotated ? gApp.fullHeight : gApp.fullWidth;
    if (loaded <= 0 || full <= 0) return Scale{1, 1};
    return Scale{loaded, full};
}

}  // namespace

POINT FullPointAt(POINT client)
{
    POINT p = PicturePointAt(gApp.viewWindow, client);
    Scale s = loadedScale();
    return POINT{static_cast<int>(p.x * s.full / s.loaded), static_cast<int>(p.y * s.full / s.loaded)};
}

POINT LoadedPointOf(POINT full)
{
    Scale s = loadedScale();
    return POINT{static_cast<int>(full.x * s.loaded / s.full), static_cast<int>(full.y * s.loaded / s.full)};
}

void ZoomAbout(int percent, POINT full, POINT client)
{
    if (GetPictureSize(gApp.viewWindow).cx <= 0) return;
    percent = std::clamp(percent, 11, 1199);
    CheckZoomItem(0);
    gApp.zoomPercent = percent;
    // A reduced decoding is decoded again at the new zoom (and shown at 100 %),
    // or in full from 100 %.
    ReloadForZoom();
    ZoomAround(gApp.viewWindow, gApp.loadedFull ? percent : 100, LoadedPointOf(full), client);
}

bool ViewerCommandReady(int command)
{
    switch (command) {
    case CmdFitWindow:
    case CmdFitLargeFiles:
    case CmdZoomLarger:
    case CmdZoomSmaller:
    case CmdAutoRotate:
    case CmdPreviousPage:
    case CmdNextPage:
    case CmdSaveAdjusted: return true;
    default: return fixedZoomOf(command) != nullptr;
    }
}

void RunViewerCommand(HWND mainWindow, int command)
{
    if (const FixedZoomCommand* fixed = fixedZoomOf(command)) {
        applyZoom(fixed->command, fixed->percent);
        return;
    }
    switch (command) {
    case CmdZoomLarger: applyZoom(0, ZoomLadderLarger(EffectiveZoom())); break;
    case CmdZoomSmaller: applyZoom(0, ZoomLadderSmaller(EffectiveZoom())); break;
    case CmdFitWindow: applyFit(CmdFitWindow, FitWindow); break;
    case CmdFitLargeFiles: applyFit(CmdFitLargeFiles, ShrinkLarge); break;
    case CmdAutoRotate: toggleAutoRotate(); break;
    case CmdPreviousPage: turnPage(-1); break;
    case CmdNextPage: turnPage(+1); break;
    case CmdSaveAdjusted: RunAdjustAndSave(mainWindow); break;
    default: break;
    }
}

}  // namespace fotrix
