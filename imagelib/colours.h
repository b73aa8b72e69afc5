#pragma once
// Colour reduction and pixel-layout conversion: black and white with five
// dithers, grey with 4 to 256 levels, palettes of 8 to 256 colours (colour
// cube with ordered dither, exact palette, or median cut) and the six
// true-colour byte orders. Result convention as in transform.h.
#include <cstdint>

#include "imagelib/bitmap.h"

namespace fotrix {

enum ColourMode : uint16_t {
    ColourBinary = 1,
    ColourGrey4 = 2, ColourGrey8 = 3, ColourGrey16 = 4, ColourGrey32 = 5, ColourGrey64 = 6,
    ColourGrey128 = 7, ColourGrey216 = 8, ColourGrey256 = 9,
    ColourPalette8 = 12, ColourPalette16 = 13, ColourPalette32 = 14, ColourPalette64 = 15,
    ColourPalette128 = 16, ColourPalette216 = 17, ColourPalette256 = 18,
    ColourRgb = 19, ColourRgba = 20, ColourBgr = 21, ColourAbgr = 22, ColourBgra = 23, ColourArgb = 24,
};

// Dither for mode 1: 0 threshold, 1 ordered 16x16, 3 clustered 6x6,
// 5 error diffusion, other values dispersed 6x6. For grey and palette modes
// 1 is ordered dither and other values none (4 is what callers pass).
enum DitherMode : uint16_t {
    DitherThreshold = 0, DitherOrdered = 1, DitherClustered = 3, DitherNone = 4, DitherDiffusion = 5,
    DitherDispersed = 6,
};

// 0, 1 out of memory, 16 bad mode (nothing allocated).
int bitmapConvertColours(Bitmap& bitmap, Bitmap* output, unsigned mode, unsigned dither);

// The threshold matrices, exposed for their tests.
extern const uint8_t bayer16[16][16];
extern const uint8_t clustered6[6][6];
extern const uint8_t dispersed6[6][6];
extern const uint8_t ordered8[8][8];

}  // namespace fotrix
