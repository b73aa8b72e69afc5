#pragma once
// Background music through SDL2_mixer: music modules, MP3, Ogg and wave files
// as one looping stream. The audio device is opened on first use and closed
// with musicClose; when it cannot be opened, nothing plays and the caller
// may fall back to the wave player.
#include <string>

// Stops what plays and starts `path`; false when the device or the file
// cannot be opened.
bool musicPlay(const std::string& path, bool loop);
bool musicPlaying();
void musicStop();
void musicClose();
