#pragma once
// PackBits run-length decoding (Apple's scheme, used by Photoshop files and
// TIFF compression 32773), shared by the readers that meet it.
#include <cstddef>
#include <cstdint>

namespace fotrix {

struct PackBitsResult {
    size_t consumed = 0;  // source bytes used
    size_t produced = 0;  // output bytes written
};

// Decodes from `source` until `output` is full or the source ends. A header
// byte n below 128 copies the next n + 1 bytes, 129..255 repeats the next byte
// 257 - n times, 128 is a no-op. Runs that would overflow `output` are cut.
PackBitsResult packBitsDecode(const uint8_t* source, size_t sourceSize, uint8_t* output, size_t outputSize);

}  // namespace fotrix
