#pragma once
// What each tile of the start screen does once the main window shows again.
#include "platform/windows.h"

namespace fotrix {

// Runs tile `tile`'s task; the choosers are owned by `startScreen`.
void RunStartTile(int tile, HWND startScreen, HWND mainWindow);

}  // namespace fotrix
