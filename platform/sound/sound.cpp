#include "platform/sound/sound.h"

#include "platform/backend/backend.h"
#include "platform/sound/mixer.h"
#include "platform/sound/wave.h"
#include "platform/window/window.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace {

std::recursive_mutex lock;
int started = 0;
int stopped = 0;
bool looping = false;
std::string current;

bool onSdl() { return std::strcmp(backendName(), "sdl") == 0; }

// Whether a sound plays now. On SDL a sound that ran out is over; headless,
// an asynchronous sound lasts until it is stopped.
bool playing()
{
    if (!current.empty() && onSdl() && !mixerPlaying()) current.clear();
    return !current.empty();
}

void stopCurrent()
{
    if (playing()) ++stopped;
    current.clear();
    looping = false;
    if (onSdl()) mixerStop();
}

BOOL cannotPlay(DWORD flags)
{
    if (!(flags & SND_NODEFAULT)) MessageBeep(0);
    return FALSE;
}

}  // namespace

BOOL PlaySound(const char* sound, HMODULE, DWORD flags)
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (!sound) {
        stopCurrent();
        return TRUE;
    }
    if ((flags & SND_NOSTOP) && playing()) return FALSE;
    // Only files: memory images and the system's named sounds are not kept here.
    if (!(flags & SND_FILENAME) || (flags & SND_MEMORY)) return cannotPlay(flags);
    if (!waveFileRead(sound, nullptr)) return cannotPlay(flags);
    stopCurrent();
    bool async = (flags & SND_ASYNC) != 0;
    ++started;
    current = sound;
    looping = async && (flags & SND_LOOP);
    if (onSdl()) mixerPlay(current, looping);
    if (!async) {
        if (onSdl()) mixerWait();
        current.clear();
    }
    return TRUE;
}

BOOL sndPlaySound(const char* sound, UINT flags) { return PlaySound(sound, nullptr, flags | SND_FILENAME); }

void PlatformSoundStatus(PlatformSoundState* out)
{
    if (!out) return;
    std::lock_guard<std::recursive_mutex> guard(lock);
    bool now = playing();
    out->started = started;
    out->stopped = stopped;
    out->looping = now && looping ? TRUE : FALSE;
    std::snprintf(out->current, sizeof out->current, "%s", now ? current.c_str() : "");
}

void soundShutdown()
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    if (onSdl()) mixerClose();
    started = stopped = 0;
    looping = false;
    current.clear();
}
