// Animated GIF files in the main view: all frames read at once, frame 0
// shown, and timer 1002 of the main window stepping through them with each
// frame's delay. The view borrows the frames; they are freed here.
#include "app/viewer/gif_animation.h"
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"

#include <vector>

namespace fotrix {

namespace {

std::vector<AnimationFrame> gFrames;

void showFrame(int index)
{
    Bitmap borrowed = gFrames[static_cast<size_t>(index)].bitmap;
    SetPicture(gApp.viewWindow, &borrowed, false);
}

}  // namespace

void FreeAnimation()
{
    if (gApp.mainWindow) KillTimer(gApp.mainWindow, kAnimationTimer);
    // The view may still show a frame: it lets go before the frames go.
    if (!gFrames.empty() && GetViewBitmap(gApp.viewWindow)) SetPicture(gApp.viewWindow, nullptr, false);
    FreeAnimationFrames(gFrames);
    gApp.gifFrame = 0;
    gApp.gifFrameCount = 0;
}

int ShowAnimation(const std::string& path)
{
    int result = ReadAnimatedGif(path, gFrames);
    if (result != AnimationOk) return result;
    gApp.gifFrame = 0;
    gApp.gifFrameCount = static_cast<int>(gFrames.size());
    gApp.loadedWidth = gFrames[0].bitmap.width;
    gApp.loadedHeight = gFrames[0].bitmap.height;
    gApp.requestedWidth = gApp.requestedHeight = -1;
    gApp.loadedFull = 1;
    gApp.rotated = 0;
    gApp.rotationAllowed = 1;
    showFrame(0);
    if (gFrames.size() > 1 && gApp.mainWindow)
        SetTimer(gApp.mainWindow, kAnimationTimer, static_cast<UINT>(gFrames[0].delayMs), nullptr);
    return AnimationOk;
}

int AnimationFrameDelay(int index)
{
    return index >= 0 && index < static_cast<int>(gFrames.size()) ? gFrames[static_cast<size_t>(index)].delayMs : 0;
}

void OnAnimationTimer(HWND mainWindow)
{
    KillTimer(mainWindow, kAnimationTimer);
    if (gFrames.empty()) return;
    gApp.gifFrame = (gApp.gifFrame + 1) % static_cast<int>(gFrames.size());
    showFrame(gApp.gifFrame);
    SetTimer(mainWindow, kAnimationTimer, static_cast<UINT>(gFrames[static_cast<size_t>(gApp.gifFrame)].delayMs),
             nullptr);
}

}  // namespace fotrix
