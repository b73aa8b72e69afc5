#pragma once
// The full-screen album player: a top-most window of class "slideClass" with
// a view window over all of it, one picture per delay, a tap ends the show.
#include <string>

#include "platform/windows.h"

namespace fotrix {

// Opens the album and starts the show; false (and nothing shown) when the
// album cannot be opened or its config is not an album.
bool slideshowStart(const std::string& path);
// For the script's state: whether a show runs, the index shown, and the
// sound member playing ("" when none).
bool slideshowRunning();
int slideshowShownIndex();
std::string slideshowSoundMember();

}  // namespace fotrix
