#pragma once
// The sharpen/soften dialog's filters: noise reduction, sharpening and
// smoothing, on a palette picture turned true colour first.
#include "imagelib/bitmap.h"

namespace fotrix {

struct MiscValues {
    bool reduceNoise = false;
    int sharpen = 0;  // 0..100, 0 leaves it out
    int smooth = 0;   // 0..100, 0 leaves it out
};

// True when the values would change nothing.
bool miscIsNeutral(const MiscValues& values);

// Noise reduction, then sharpening, then smoothing, each only when asked
// for; an Indexed picture becomes Bgr before them. 0, or the failing step's
// result code (the picture is then as the last good step left it).
int applyMiscFilters(Bitmap& bitmap, const MiscValues& values);

}  // namespace fotrix
