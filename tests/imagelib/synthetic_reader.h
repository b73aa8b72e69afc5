#pragma once
// Drives the load pipeline the way a reader does, with rows made in the test,
// so that the pipeline's rules can be checked without any file format.
#include <cstdint>
#include <vector>

#include "imagelib/reader.h"

namespace testsupport {

struct SyntheticPicture {
    fotrix::ImageHeader header;
    std::vector<std::vector<uint8_t>> rows;  // raw file rows in file order (per plane for plane passes)
    int paletteFormat = 0;
    int paletteBits = 8;
    std::vector<uint8_t> palette;  // empty: none
    int rowsToDeliver = -1;        // fewer rows: the file ends early
    // Deliver rows in blocks of rowsPerCall placed through rowDestination, as
    // readers of uncompressed rows do; rowsPlacedInBitmap counts the rows that
    // went straight into the bitmap.
    bool placeRows = false;
    int* rowsPlacedInBitmap = nullptr;
};

// Header defaults plus the given geometry; bytesPerPlane from width and bits.
SyntheticPicture syntheticPicture(int width, int height, int planes, int bitsPerPlane, int components = 0);

// Runs beginImage, putRows for every row (plane passes: every plane of every
// row) and endImage. Returns the first non-zero result.
int loadSynthetic(const SyntheticPicture& picture, const fotrix::LoadParams& params, fotrix::Bitmap& bitmap,
                  fotrix::FileInfo* info = nullptr);

// Pixel bytes of row y of a bitmap (width x bytesPerPixel bytes).
std::vector<uint8_t> bitmapRowBytes(const fotrix::Bitmap& bitmap, int y);

}  // namespace testsupport
