#pragma once
// Helpers of the save-side tests: deterministic pictures of every layout,
// the RGBA a picture stands for, and decoding with Pillow.
#include <filesystem>
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/save.h"
#include "tests/support/test_support.h"

namespace writertest {

// A w x h picture of `type` filled with deterministic noise; Indexed and Grey
// pictures use `colours` palette entries or levels.
void makePicture(fotrix::Bitmap& bitmap, unsigned type, int w, int h, int colours = 256, unsigned seed = 1);

// The picture as top-down RGBA, the way a viewer shows it.
testsupport::Pixels expectedRgba(const fotrix::Bitmap& bitmap);

// Decodes with ImageMagick into RGBA (grey widened); false when it cannot.
bool decodeWithMagickRgba(const std::filesystem::path& picture, testsupport::Pixels& out);

// Decodes with Pillow into RGBA; false when Pillow cannot open the file.
bool decodeWithPillow(const std::filesystem::path& picture, testsupport::Pixels& out);

// saveBitmap with the defaults and the named format.
int save(const std::filesystem::path& path, const fotrix::Bitmap& bitmap, const char* format,
         void (*adjust)(fotrix::SaveParams&) = nullptr);

// Files in a folder (to check that failed saves leave nothing).
int fileCount(const std::filesystem::path& folder);

}  // namespace writertest
