#pragma once
// The batch tools as the main window calls them: convert, crop, resize,
// adjust, rotate, sharpen/soften, batch rename, capture and find; and the
// delayed screen capture of timer 1001.
#include "platform/windows.h"

#include <string>

namespace fotrix {

bool ToolCommandReady(int command);
void RunToolCommand(HWND mainWindow, int command);
// Timer 1001: takes the screen capture into `folder` and tells the user.
void TakeScreenCapture(HWND mainWindow, const std::string& folder);

}  // namespace fotrix
