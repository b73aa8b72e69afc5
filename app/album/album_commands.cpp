// The album entry points of the main window. The album wizard (4152, 4176)
// is not built yet, so those commands answer "not ready" and the menu greys
// them; albums play, and the in-window slideshow plays its sound through the
// wave player.
#include "app/album/album_commands.h"

#include "app/album/slideshow_player.h"
#include "platform/sound/music.h"
#include "platform/sound/sound.h"

namespace fotrix {

bool AlbumCommandReady(int) { return false; }
void RunAlbumCommand(HWND, int) {}
bool PlayAlbum(HWND, const std::string& path) { return slideshowStart(path); }
void StartSlideshowSound(const std::string& path)
{
    PlaySound(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}
void StopSlideshowSound() { PlaySound(nullptr, nullptr, 0); }
void ReleaseSoundLibrary()
{
    PlaySound(nullptr, nullptr, 0);
    musicClose();
}

}  // namespace fotrix
