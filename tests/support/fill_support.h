#pragma once
// Bitmaps of one colour, made to order, and a byte-for-byte comparison of two.
#include <cstdint>

#include "imagelib/bitmap.h"

namespace testsupport {

// Allocates `bitmap` as w x h Grey (rows aligned to 4) with every pixel `value`.
void fillGrey(fotrix::Bitmap& bitmap, int w, int h, int value);
// Allocates `bitmap` as w x h Rgb (rows aligned to 4) with every pixel (r, g, b).
void fillRgb(fotrix::Bitmap& bitmap, int w, int h, uint8_t r, uint8_t g, uint8_t b);
// Same size, same row length and the same bytes in every row (padding included).
bool samePixels(const fotrix::Bitmap& a, const fotrix::Bitmap& b);

}  // namespace testsupport
