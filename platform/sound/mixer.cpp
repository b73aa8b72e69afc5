#include "platform/sound/mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

bool opened = false;
bool unavailable = false;  // tried once and failed: stay silent
Mix_Chunk* chunk = nullptr;
int channel = -1;

bool openAudio()
{
    if (opened) return true;
    if (unavailable) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        unavailable = true;
        return false;
    }
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        unavailable = true;
        return false;
    }
    opened = true;
    return true;
}

}  // namespace

void mixerPlay(const std::string& path, bool loop)
{
    mixerStop();
    if (!openAudio()) return;
    chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return;
    channel = Mix_PlayChannel(-1, chunk, loop ? -1 : 0);
    if (channel < 0) mixerStop();
}

bool mixerPlaying() { return channel >= 0 && Mix_Playing(channel); }

void mixerWait()
{
    while (mixerPlaying()) SDL_Delay(5);
}

void mixerStop()
{
    if (channel >= 0) Mix_HaltChannel(channel);
    channel = -1;
    if (chunk) Mix_FreeChunk(chunk);
    chunk = nullptr;
}

void mixerClose()
{
    mixerStop();
    if (opened) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    opened = false;
    unavailable = false;
}
