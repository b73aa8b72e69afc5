#pragma once
// The SDL2_mixer output of the wave player: one channel, one sound. A host
// without an audio device gives no sound and no error.
#include <string>

// Stops what plays and starts `path` (again and again when `loop`).
void mixerPlay(const std::string& path, bool loop);
bool mixerPlaying();
void mixerWait();  // until the sound has played
void mixerStop();
void mixerClose();
