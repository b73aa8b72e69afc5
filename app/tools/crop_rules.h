#pragma once
// The Crop tool's arithmetic: the integer percentage s that turns preview
// pixels into picture pixels, both directions of that turn, and the bounds
// the four typed fields are kept within.
#include "imagelib/bitmap.h"

namespace fotrix {

// s = W * 100 / preview width, at least 1 so that a very small picture in
// a wide preview still divides.
int cropScale(int pictureWidth, int previewWidth);

// A rectangle drawn on the preview, in picture pixels (each value * s / 100).
Rect previewToPicture(const Rect& preview, int scale);
// The four fields shown again on the preview (each value * 100 / s).
Rect pictureToPreview(const Rect& picture, int scale);

// The fields kept within the spin ranges: left 0..W, top 0..H, width 1..W,
// height 1..H.
Rect clampCropFields(const Rect& fields, int pictureWidth, int pictureHeight);

}  // namespace fotrix
