#pragma once
// The full-screen slideshow player: a top-most window of class "slideClass"
// with a view window over all of it, one picture per delay, a tap ends the
// show. It plays any SlideSource: an album in fotrix, the show of a
// self-running file in fotrix-slide.
#include <memory>
#include <string>

#include "app/album/core/slide_source.h"
#include "platform/windows.h"

namespace fotrix {

// Told when a show starts and when its window goes (either may be null).
struct SlideshowHooks {
    void (*started)() = nullptr;
    void (*ended)() = nullptr;
};

// Starts the show on `background` (0x00BBGGRR); false (and nothing shown,
// no hook called) when a show runs already or the window cannot be made.
bool slideshowPlay(std::unique_ptr<SlideSource> source, COLORREF background, SlideshowHooks hooks = {});
// Opens an album and plays it as fotrix does: on the slideshow background
// of the settings, with the browser's thumbnail worker stopped meanwhile.
// False (and nothing shown) when the album cannot be opened or its config
// is not an album.
bool slideshowStart(const std::string& path);
// Ends the show that runs, if any, as a tap would: its window goes, and with
// it the sound and the working folder (for the program's end).
void slideshowStop();
// For the script's state: whether a show runs, the index shown, and the
// sound playing ("" when none).
bool slideshowRunning();
int slideshowShownIndex();
std::string slideshowSoundMember();
// The program's temporary folder, where shows get their working folders.
std::string slideshowTemporaryRoot();

}  // namespace fotrix
