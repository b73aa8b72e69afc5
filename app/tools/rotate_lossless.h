#pragma once
// The Rotate tool's lossless road for JPEG files: the coefficients are
// rearranged by the transform core (partial blocks at the right and bottom
// edges trimmed), every marker is kept, the EXIF pixel size follows the new
// size, and the EXIF orientation is set to 1 so that no viewer turns the
// result a second time.
#include <string>

namespace fotrix {

enum class LosslessResult {
    Done,
    Failed,    // unreadable input, not a usable JPEG, or the output could not be written
    ReadOnly,  // the output exists and may not be written
};

// Transforms `input` into `output`, which may be the input itself. The
// result is made as `output` + ".fotrix" and renamed over `output` only
// when complete, so a failure leaves the input and any existing output as
// they were (and removes the temporary).
LosslessResult rotateJpegLossless(const std::string& input, const std::string& output, int operation);

// Sets the EXIF orientation of a JPEG file to 1 in place, when its first
// EXIF segment has one other than 1. For the tool's own temporary file only.
// True when the file is fine as it is or was patched.
bool resetJpegFileOrientation(const std::string& path);

}  // namespace fotrix
