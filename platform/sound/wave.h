#pragma once
// Checks a RIFF wave file before it is handed to the audio output: the chunk
// sizes are checked against the file, and only PCM of 8 or 16 bits in one or
// two channels is accepted, as the device's wave player takes.
#include <cstdint>
#include <string>

struct WaveFormat {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    uint32_t dataBytes = 0;
};

bool waveFileRead(const std::string& path, WaveFormat* out);
