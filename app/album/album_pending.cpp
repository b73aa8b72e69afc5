// Stand-ins until albums are built: no album command is ready (the menu greys
// them), no album plays and the slideshow stays silent.
#include "app/album/album_commands.h"

namespace fotrix {

bool AlbumCommandReady(int) { return false; }
void RunAlbumCommand(HWND, int) {}
bool PlayAlbum(HWND, const std::string&) { return false; }
void StartSlideshowSound(const std::string&) {}
void StopSlideshowSound() {}
void ReleaseSoundLibrary() {}

}  // namespace fotrix
