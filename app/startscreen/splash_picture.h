#pragma once
// The start screen's picture: a zip archive (the "SPLASH" resource) whose
// first member is an uncompressed 8-bit BMP of exactly 240 x 320 pixels.
#include "platform/windows.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fotrix {

constexpr int kSplashWidth = 240;
constexpr int kSplashHeight = 320;

// The BMP file held by the archive's first member; false (and nothing) when
// the archive is damaged or the member cannot be read whole.
bool ExtractSplashFile(const uint8_t* archive, size_t size, std::vector<uint8_t>& file);

// An 8-bit device-independent bitmap (256 colours) with the file's palette and
// rows; null when the file is not a 240 x 320 picture laid out as expected.
HBITMAP MakeSplashBitmap(const std::vector<uint8_t>& file);

// Both steps on the program's "SPLASH" resource 177; null without one.
HBITMAP LoadSplashPicture();

}  // namespace fotrix
