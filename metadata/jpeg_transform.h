#pragma once
// Lossless turning and flipping of JPEG files: the DCT coefficients are
// rearranged instead of decoding and encoding the picture again, so nothing
// is lost and every marker (EXIF, IPTC, comments) survives.

namespace fotrix {

enum JpegTransformCode : int {
    JpegTransformNone = 0,
    JpegRotate90 = 1,    // clockwise
    JpegRotate180 = 2,
    JpegRotate270 = 3,   // counter-clockwise
    JpegFlipVertical = 4,    // top to bottom
    JpegFlipHorizontal = 5,  // left to right
};

// Transforms `input` into `output` (which may be the same file). With `trim`
// the partial blocks at the right and bottom edges that cannot be moved are
// dropped; without it they stay where they were. The output is written to a
// temporary file beside it and renamed into place only on success, so a
// failure leaves both files as they were. A read-only output is refused.
// Returns 1 on success, 0 on failure; `failure` (when given) then receives
// the image library's result code (3, 5, 6, 11, 18 for a read-only output).
int jpegTransformLossless(const char* input, const char* output, int code, bool trim, int* failure = nullptr);

// Rewrites the EXIF pixel width and height (tags 40962 and 40963 of the EXIF
// sub-directory) of a TIFF structure (an APP1 payload after "Exif", 0, 0)
// in place, as one LONG each. Returns the number of entries rewritten.
int exifPatchPixelSize(unsigned char* tiff, unsigned length, unsigned width, unsigned height);

}  // namespace fotrix
