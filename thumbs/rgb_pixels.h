#pragma once
// Reading the pixels of any layout the load pipeline hands back as 0x00RRGGBB
// words, and turning such a picture into plain 24-bit RGB rows, top row first.
// Thumbnails are small, so one simple path serves every layout.
#include <cstdint>

#include "imagelib/bitmap.h"

namespace fotrix {

// Whether the picture has pixels in a layout pixelRgb reads (8-bit components or Binary).
bool pixelLayoutKnown(const Bitmap& bitmap);

// The colour of stored pixel x of a stored row.
uint32_t pixelRgb(const Bitmap& bitmap, const uint8_t* row, int x);

// `output` becomes an Rgb picture (row alignment 1, top-left origin) of the
// same colours; 0, or 1 when memory runs out, 16 for an unknown layout.
int bitmapToRgb(const Bitmap& source, Bitmap& output);

}  // namespace fotrix
