#pragma once
// The start screen: a full-screen picture with six tiles, each starting one of
// the program's main tasks (browse, play an album, make an album, make a
// slideshow program, go to the storage card, options). A tap on a tile shows
// the main window, runs the task and closes the start screen.
#include "platform/windows.h"

namespace fotrix {

constexpr const char* kStartScreenClass = "SplashClass";

// Creates and shows the start screen over `mainWindow`; null when it could
// not be made.
HWND ShowStartScreen(HWND mainWindow);

}  // namespace fotrix
