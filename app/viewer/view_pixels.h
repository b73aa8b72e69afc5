#pragma once
// Reading the rows of any Bitmap layout as 32-bit screen pixels (0x00RRGGBB,
// the layout of the platform's 32-bit surfaces).
#include "imagelib/bitmap.h"

#include <cstdint>

namespace fotrix {

// Row `y` of the picture as it is seen (origin flags applied), `bitmap.width`
// pixels into `out`. False for layouts the view cannot show.
bool readScreenRow(const Bitmap& bitmap, int y, uint32_t* out);

inline uint32_t screenPixel(int r, int g, int b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

}  // namespace fotrix
