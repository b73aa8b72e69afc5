// Turns a picture upright by the eight camera orientation values, whatever
// the picture's shape: mirrors and quarter turns composed from the
// geometric transforms.
#include "imagelib/transform.h"

namespace fotrix {

namespace {

struct OrientationSteps {
    int angle;    // clockwise quarter turns first (0, 90, 180, -90)
    bool mirror;  // then left-right
    bool flip;    // then top-bottom
};

// Index = orientation value; 1 and unknown values change nothing.
constexpr OrientationSteps Steps[9] = {
    {0, false, false},   // unknown
    {0, false, false},   // 1 upright
    {0, true, false},    // 2 mirrored
    {180, false, false}, // 3 upside down
    {0, false, true},    // 4 flipped
    {90, true, false},   // 5 transposed: turn right, then mirror
    {90, false, false},  // 6 turned left by the camera: turn right
    {90, false, true},   // 7 transversed: turn right, then flip
    {-90, false, false}, // 8 turned right by the camera: turn left
};

}  // namespace

int bitmapApplyOrientation(Bitmap& bitmap, int orientation)
{
    if (orientation < 2 || orientation > 8) return 0;
    const OrientationSteps& s = Steps[orientation];
    if (s.angle != 0)
        if (const int result = bitmapRotate(bitmap, nullptr, s.angle, 0, nullptr, 0); result != 0) return result;
    if (s.mirror)
        if (const int result = bitmapMirror(bitmap, nullptr, nullptr); result != 0) return result;
    if (s.flip)
        if (const int result = bitmapFlip(bitmap, nullptr, nullptr); result != 0) return result;
    return 0;
}

}  // namespace fotrix
