// The in-window slideshow: full screen, a step by timer 1000 or by key, over
// the selected pictures when more than one is selected, else over the list.
#include "app/album/album_commands.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"

#include <algorithm>

namespace fotrix {

namespace {

// The view takes no drags while a slideshow runs.
constexpr int kViewMouseOff = 2;

bool isAlbum(int index) { return gApp.files[index].state == EntryAlbum; }

// The first picture from `start` on, skipping albums; -1 when none is left.
int firstPictureFrom(int start)
{
    for (int i = start; i < fileCount(); ++i)
        if (!isAlbum(i)) return i;
    return -1;
}

void startTimer()
{
    if (gApp.slideUseDelay) SetTimer(gApp.mainWindow, kSlideshowTimer, static_cast<UINT>(gApp.slideDelay) * 1000, nullptr);
}

// The next index over the selected items; -1 to stop.
int stepOverSelection(const std::vector<int>& selected, int direction)
{
    if (direction > 0) {
        auto next = std::upper_bound(selected.begin(), selected.end(), gApp.currentIndex);
        if (next != selected.end()) return *next;
        return gApp.slideLoop ? selected.front() : -1;
    }
    auto before = std::lower_bound(selected.begin(), selected.end(), gApp.currentIndex);
    if (before != selected.begin()) return *(before - 1);
    return gApp.slideLoop ? selected.back() : -1;
}

// The next picture of the whole list, skipping albums; -1 to stop.
int stepOverList(int direction)
{
    int count = fileCount();
    int index = gApp.currentIndex;
    for (int tries = 0; tries < count; ++tries) {
        index += direction;
        if (index < 0 || index >= count) {
            if (!gApp.slideLoop) return -1;
            index = index < 0 ? count - 1 : 0;
        }
        if (!isAlbum(index)) return index;
    }
    return -1;
}

}  // namespace

void StartSlideshow()
{
    if (gApp.mode == ModeSlideshow || fileCount() == 0) return;
    int current = gApp.currentIndex;
    int start = firstPictureFrom(current >= 0 && current < fileCount() ? current : 0);
    if (start < 0) return;
    bool fromViewer = gApp.mode == ModeImage || gApp.mode == ModeFullScreen;
    gShell.returnBeforeSlideshow = fromViewer ? gApp.returnMode : -1;
    int back = gApp.mode;
    SetViewMode(CmdModeFullScreen);
    gApp.returnMode = back;
    gApp.mode = ModeSlideshow;
    ShowEntry(start, false);
    if (gApp.useSoundFilename) StartSlideshowSound(gApp.soundFilename);
    startTimer();
    ViewSetBackground(gApp.slideBackColor);
    EnterFullScreenPlacement();
    ViewSetMouseMode(kViewMouseOff);
    UpdateMenuState();
}

void StepSlideshow(int direction)
{
    if (gApp.mode != ModeSlideshow) return;
    if (gApp.slideUseDelay) KillTimer(gApp.mainWindow, kSlideshowTimer);
    std::vector<int> selected = ListSelectedIndexes();
    int next = selected.size() > 1 ? stepOverSelection(selected, direction) : stepOverList(direction);
    if (next < 0 || next >= fileCount()) {
        StopSlideshow();
        return;
    }
    ShowEntry(next, gApp.slideUseTransition != 0);
    startTimer();
}

void StopSlideshow()
{
    if (gApp.mode != ModeSlideshow) return;
    KillTimer(gApp.mainWindow, kSlideshowTimer);
    int back = gApp.returnMode >= 0 && gApp.returnMode <= ModeFullScreen ? gApp.returnMode : ModeThumbnails;
    // Leave as from FullScreen, so that a browse mode gives the window its place back.
    gApp.mode = ModeFullScreen;
    SetViewMode(CmdModeThumbnails + back);
    gApp.returnMode = back == ModeImage || back == ModeFullScreen ? gShell.returnBeforeSlideshow : -1;
    gShell.returnBeforeSlideshow = -1;
    StopSlideshowSound();
    if (gApp.currentIndex >= 0 && gApp.currentIndex < fileCount()) {
        ListSetAllSelected(0);
        ListSelectOnly(gApp.currentIndex);
    }
    ViewSetBackground(gApp.viewBackColor);
    if (back != ModeFullScreen) LeaveFullScreenPlacement();
    ViewSetMouseMode(gApp.viewMove);
    UpdateMenuState();
}

}  // namespace fotrix
