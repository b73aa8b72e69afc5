#pragma once
// JPEG streams inside other files: the camera raw decoder hands over the
// preview pictures that raw files embed.
#include <cstdint>

#include "imagelib/reader.h"

namespace fotrix {

// Decodes the JPEG stream that starts at the stream's current position, at
// most `length` bytes of it (0: up to the end of the file), through the load
// pipeline like a whole file: COM markers become the comment, and with
// `Preview` and a box (`maxWidth` and `maxHeight` 1 or more) the stream is
// decoded at 1/2, 1/4 or 1/8 size. A non-zero `fullWidth` and `fullHeight`
// are reported as the size of the whole picture. Returns the load result
// (0, -1 in the information-only mode, or an error code).
int jpegReadEmbedded(Stream& stream, ReaderContext& context, uint64_t length, uint32_t fullWidth,
                     uint32_t fullHeight);

// Reads only the header of the JPEG stream at the stream's current position
// and gives its size. 0, or 2 when it is not a JPEG stream, 10 when it is
// empty or of an unsupported kind. The stream is put back where it was.
int jpegEmbeddedSize(Stream& stream, uint64_t length, int& width, int& height);

}  // namespace fotrix
