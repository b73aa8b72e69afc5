#pragma once
// The Rotate tool's rules: its five operations (the page's radio buttons),
// the road each file takes (the lossless JPEG transform or a bitmap turned in
// memory), the turn of a loaded bitmap, and the EXIF fields that must follow
// a picture whose pixels were turned or resized.
#include <string>

#include "imagelib/bitmap.h"

namespace fotrix {

// In the order of the page's radio buttons.
enum RotateOperation : int {
    RotateLeft90 = 0,   // -90 degrees
    RotateRight90 = 1,  // 90 degrees clockwise
    Rotate180 = 2,
    RotateMirror = 3,   // left to right
    RotateFlip = 4,     // top to bottom
};
constexpr int kRotateOperationCount = 5;

// The lossless transform's code for an operation.
int losslessCode(int operation);

enum class RotateRoad { Lossless, Bitmap };
// Lossless when the box is ticked and the file reads as a JPEG, whatever its
// extension; every other file goes through a bitmap.
RotateRoad chooseRotateRoad(const std::string& path, bool losslessTicked);

// Turns or mirrors a loaded bitmap in place. 0 or the operation's result.
int rotateBitmap(Bitmap& bitmap, int operation);

// After the pixels were turned: an EXIF orientation other than 1 becomes 1,
// so that a viewer honouring it does not turn the picture a second time.
// True when the tag was changed.
bool exifResetOrientation(Bitmap& bitmap);
// After the pixels were turned, resized or cropped: the EXIF pixel width and
// height become the bitmap's. The number of fields rewritten.
int exifMatchPixelSize(Bitmap& bitmap);

}  // namespace fotrix
