#pragma once
// Loading through the pipeline into RGBA pixels, for comparing our readers
// with what other tools decode.
#include <filesystem>
#include <functional>

#include "imagelib/load.h"
#include "tests/support/test_support.h"

namespace readertest {

struct Load {
    int code = -1;
    fotrix::FileInfo info;
    testsupport::Pixels pixels;  // RGBA
};

// Loads `path` as 8-bit RGBA (ForceTrueColour + ForceAlpha, channel order 0);
// `adjust` may change the parameters first.
Load loadRgba(const std::filesystem::path& path, const std::function<void(fotrix::LoadParams&)>& adjust = {});

// Largest difference over the colour channels of pixels whose alpha in `reference` is not 0
// (-1 when the shapes differ).
int maxColourDifference(const testsupport::Pixels& ours, const testsupport::Pixels& reference, bool ignoreTransparent);

}  // namespace readertest

namespace readertest {

// ImageMagick's decode of image `index` of a file, in sRGB, 8 bits, with alpha.
bool magickFrame(const std::filesystem::path& path, int index, testsupport::Pixels& out);

}  // namespace readertest
