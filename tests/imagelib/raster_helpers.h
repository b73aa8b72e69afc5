#pragma once
// Helpers of the GIF, PCX, Targa and PNM reader tests: loading through the
// pipeline into RGBA (palettes applied, the transparent index as alpha 0),
// decodes by ImageMagick and Pillow for comparison, and small file builders.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/test_support.h"

namespace rastertest {

// A loaded picture that frees itself, with the loader's result code.
struct Loaded : testsupport::OwnedPicture {
    int code = -1;
};

// Loads with the default options (rows aligned to 1 byte) plus `options`.
void load(const std::filesystem::path& path, Loaded& out, uint32_t options = 0, uint32_t frameIndex = 0,
          int formatIndex = -1);

// Any bitmap of the library as 8-bit RGBA. Indexed pixels equal to the
// bitmap's transparent index get alpha 0 when `transparency` is set.
testsupport::Pixels rgbaOf(const fotrix::Bitmap& bitmap, bool transparency = false);

// Frame `index` of a file as ImageMagick decodes it, uncomposed, as RGBA.
bool magickFrame(const std::filesystem::path& path, int index, testsupport::Pixels& out);
// The first frame of a file as Pillow decodes it, as RGBA.
bool pillowRgba(const std::filesystem::path& path, testsupport::Pixels& out);
bool havePillow();

// Largest channel difference over pixels that are opaque in `reference`
// (alpha compared too when `withAlpha`); -1 when the sizes differ.
int opaqueDifference(const testsupport::Pixels& ours, const testsupport::Pixels& reference, bool withAlpha);

// Writes a random RGB picture as a binary PPM (for the other tools to convert).
void writeRandomPpm(const std::filesystem::path& path, int width, int height, unsigned seed, int levels = 256);

void putLe16(std::vector<uint8_t>& bytes, unsigned value);

}  // namespace rastertest
