#pragma once
// Albums and the slideshow sound, as the main window calls them: playing an
// album file, the album wizard (4152 make slideshow program, 4176 make album),
// and the sound played during the in-window slideshow.
#include "platform/windows.h"

#include <string>

namespace fotrix {

bool AlbumCommandReady(int command);
void RunAlbumCommand(HWND mainWindow, int command);
// Plays an album file; false when it could not be played.
bool PlayAlbum(HWND mainWindow, const std::string& path);
void StartSlideshowSound(const std::string& path);
void StopSlideshowSound();
void ReleaseSoundLibrary();

}  // namespace fotrix
