#pragma once
// Playing an album from the start screen, until the album commands
// (album/album_commands.h) are merged in; then this file and its .cpp go.
#include "platform/windows.h"

#include <string>

namespace fotrix {

// Plays the album file in the main window.
void PlayAlbumFile(HWND mainWindow, const std::string& path);

}  // namespace fotrix
