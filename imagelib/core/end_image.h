#pragma once
// Pieces of endImage: the finished bitmap's description, palette decoding
// and colour-model conversion.
#include <cstdint>

#include "imagelib/core/pipeline.h"

namespace fotrix {

// Sets the fields of the bitmap a load finishes with (size, type, pixel
// layout, origin, resolution), without touching its buffers.
void describeFinishedBitmap(Bitmap& bitmap, const PipelineState& p, const LoadParams& params, bool hasPalette);

// Decodes 2^bpp entries of a reader's palette into the four-plane table.
void decodePalette(uint8_t* table, int paletteFormat, int paletteBits, const uint8_t* palette, int bpp);

// Converts a four- or three-component bitmap of CMYK or L*a*b* samples in
// place to three components (Bgr when `bgr`, else Rgb).
void convertLabToRgb(Bitmap& bitmap, uint32_t sampleFlags, bool bgr);
void convertCmykToRgb(Bitmap& bitmap, bool inverted, bool bgr);
// Inverts CMYK samples stored as 0 = full ink so that they hold ink amounts.
void invertSamples(Bitmap& bitmap);

}  // namespace fotrix
