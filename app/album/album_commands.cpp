// The album entry points of the main window: the album wizard (4152 makes a
// self-running slideshow, 4176 an album), playing an album file, and the
// sound of the in-window slideshow through the wave player.
#include "app/album/album_commands.h"

#include "app/album/album_wizard.h"
#include "app/album/slideshow_player.h"
#include "app/shell/command_ids.h"
#include "platform/sound/music.h"
#include "platform/sound/sound.h"

namespace fotrix {

bool AlbumCommandReady(int command) { return command == CmdMakeSlideshowProgram || command == CmdMakeAlbum; }

void RunAlbumCommand(HWND mainWindow, int command)
{
    RunAlbumWizard(mainWindow, command == CmdMakeSlideshowProgram ? WizardProduct::SelfRunning : WizardProduct::Album);
}

bool PlayAlbum(HWND, const std::string& path) { return slideshowStart(path); }
void StartSlideshowSound(const std::string& path)
{
    PlaySound(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}
void StopSlideshowSound() { PlaySound(nullptr, nullptr, 0); }
void ReleaseSoundLibrary()
{
    slideshowStop();  // a show still open when the program ends leaves nothing behind
    PlaySound(nullptr, nullptr, 0);
    musicClose();
}

}  // namespace fotrix
