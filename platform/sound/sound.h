#pragma once
// The system's wave player: one sound at a time, from a .wav file. On SDL it
// plays through SDL2_mixer; headless it only keeps count of what was asked,
// so that tests can see it.
#include "platform/base/types.h"

enum : DWORD {
    SND_SYNC = 0x00000000,       // returns when the sound has played
    SND_ASYNC = 0x00000001,      // returns at once
    SND_NODEFAULT = 0x00000002,  // a sound that cannot be played stays silent (else: the default beep)
    SND_MEMORY = 0x00000004,     // not supported here
    SND_LOOP = 0x00000008,       // with SND_ASYNC: again and again until the next call
    SND_NOSTOP = 0x00000010,     // fail instead of stopping a sound that is playing
    SND_FILENAME = 0x00020000,   // `sound` is a file path
};

// Plays the .wav file `sound` (SND_FILENAME), or stops the current sound when
// `sound` is null. FALSE when the file is missing or not a PCM wave file, or
// with SND_NOSTOP while a sound plays.
BOOL PlaySound(const char* sound, HMODULE module, DWORD flags);
// The same with a path always (SND_ASYNC, SND_LOOP, SND_NODEFAULT, SND_NOSTOP apply).
BOOL sndPlaySound(const char* sound, UINT flags);

// What the wave player did, for tests: sounds started, stops (a null sound, or
// a sound replaced by the next), and the sound now playing (empty when none;
// headless, an asynchronous sound plays until it is stopped or replaced).
struct PlatformSoundState {
    int started;
    int stopped;
    BOOL looping;
    char current[MAX_PATH];
};
void PlatformSoundStatus(PlatformSoundState* out);

// Internal to platform/: stops the sound and closes the audio (PlatformShutdown).
void soundShutdown();
