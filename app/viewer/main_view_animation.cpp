// Animated GIF files in the main view: frame 0 shown, and timer 1002 of the
// main window stepping through the frames with each frame's delay. The
// frames are read at once while they fit the memory budget; a longer
// animation is composed frame by frame as it plays. The view borrows the
// frames; they are freed here.
#include "app/viewer/gif_animation.h"
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"

#include <vector>

namespace fotrix {

namespace {

std::vector<AnimationFrame> gFrames;  // every frame, when they fit
AnimationStream gStream;              // else the frames one at a time

const AnimationFrame& shownFrame()
{
    return gStream.isOpen() ? gStream.current() : gFrames[static_cast<size_t>(gApp.gifFrame)];
}

void showFrame()
{
    Bitmap borrowed = shownFrame().bitmap;
    SetPicture(gApp.viewWindow, &borrowed, false);
}

bool animating() { return gStream.isOpen() || !gFrames.empty(); }

// Steps to the next frame; false when there is none to show.
bool stepFrame()
{
    if (gStream.isOpen()) {
        if (gStream.next() != AnimationOk) return false;
        gApp.gifFrame = gStream.index();
        gApp.gifFrameCount = gStream.count();
        return true;
    }
    gApp.gifFrame = (gApp.gifFrame + 1) % static_cast<int>(gFrames.size());
    return true;
}

}  // namespace

void FreeAnimation()
{
    if (gApp.mainWindow) KillTimer(gApp.mainWindow, kAnimationTimer);
    // The view may still show a frame: it lets go before the frames go.
    if (animating() && GetViewBitmap(gApp.viewWindow)) SetPicture(gApp.viewWindow, nullptr, false);
    FreeAnimationFrames(gFrames);
    gStream.close();
    gApp.gifFrame = 0;
    gApp.gifFrameCount = 0;
}

int ShowAnimation(const std::string& path)
{
    bool cut = false;
    int result = ReadAnimatedGif(path, gFrames, kAnimationMemoryBudget, &cut);
    if (result != AnimationOk) return result;
    if (cut) {
        FreeAnimationFrames(gFrames);
        if ((result = gStream.open(path)) != AnimationOk) return result;
    }
    gApp.gifFrame = 0;
    gApp.gifFrameCount = gStream.isOpen() ? gStream.count() : static_cast<int>(gFrames.size());
    const Bitmap& first = shownFrame().bitmap;
    gApp.loadedWidth = first.width;
    gApp.loadedHeight = first.height;
    gApp.requestedWidth = gApp.requestedHeight = -1;
    gApp.loadedFull = 1;
    gApp.rotated = 0;
    gApp.rotationAllowed = 1;
    showFrame();
    if (gApp.gifFrameCount > 1 && gApp.mainWindow)
        SetTimer(gApp.mainWindow, kAnimationTimer, static_cast<UINT>(shownFrame().delayMs), nullptr);
    return AnimationOk;
}

int AnimationFrameDelay(int index)
{
    if (gStream.isOpen()) return index == gStream.index() ? gStream.current().delayMs : 0;
    return index >= 0 && index < static_cast<int>(gFrames.size()) ? gFrames[static_cast<size_t>(index)].delayMs : 0;
}

void OnAnimationTimer(HWND mainWindow)
{
    KillTimer(mainWindow, kAnimationTimer);
    if (!animating() || !stepFrame()) return;
    showFrame();
    SetTimer(mainWindow, kAnimationTimer, static_cast<UINT>(shownFrame().delayMs), nullptr);
}

}  // namespace fotrix
