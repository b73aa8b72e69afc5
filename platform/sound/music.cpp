#include "platform/sound/music.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

bool opened = false;
Mix_Music* music = nullptr;

// A device that is busy at first often comes free: the open is tried again up
// to ten times, 100 ms apart.
bool openAudio()
{
    if (opened) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    for (int attempt = 0; attempt <= 10; ++attempt) {
        if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) == 0) {
            Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MOD);
            return opened = true;
        }
        if (attempt < 10) SDL_Delay(100);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

}  // namespace

bool musicPlay(const std::string& path, bool loop)
{
    musicStop();
    if (!openAudio()) return false;
    music = Mix_LoadMUS(path.c_str());
    if (!music) return false;
    if (Mix_PlayMusic(music, loop ? -1 : 1) != 0) {
        musicStop();
        return false;
    }
    return true;
}

bool musicPlaying() { return music && Mix_PlayingMusic(); }

void musicStop()
{
    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    music = nullptr;
}

void musicClose()
{
    musicStop();
    if (!opened) return;
    Mix_Quit();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    opened = false;
}
