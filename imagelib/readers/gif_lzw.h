#pragma once
// The variable-length LZW decoder of GIF image data (GIF89a, appendix F),
// reading the data sub-blocks that follow an image descriptor.
#include <cstddef>
#include <cstdint>

#include "imagelib/readers/buffered_input.h"

namespace fotrix {

// Called for every finished row of the image with its running number
// (0, 1, 2 ... in the order the rows appear in the data); a non-zero answer
// stops decoding and is returned. Otherwise the sink sets `nextRow` to where
// the next row is to be decoded (width bytes).
using GifRowSink = int (*)(void* data, int runningRow, uint8_t** nextRow);

// Decodes one image of `width` x `height` pixels, the first row into `row`
// (width bytes, one index a pixel) and each next one where the sink says,
// handing each row to `sink`. Damaged or truncated data ends
// decoding quietly: a partly filled row is handed over zero-padded and the
// rows after it are left out. The sub-blocks are consumed up to and including
// their terminator. Returns 0, 1 when the tables cannot be allocated, or the
// sink's answer.
int gifDecodeLzw(BufferedInput& input, int minimumCodeSize, int width, int height, uint8_t* row,
                 GifRowSink sink, void* sinkData);

// Decodes LZW data already taken out of its sub-blocks (`size` bytes) into
// `out`, filled in order up to `outSize` indexes. Returns the number of
// indexes decoded: decoding stops at the end code, at the end of the data
// or when `out` is full (bytes after the last one decoded may have been
// written, never past `outSize`). Returns -1 at a code the table does not hold (the
// whole image is then taken as damaged), for a code size outside 2 .. 11,
// or when the tables cannot be allocated.
long gifDecodeLzwJoined(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize);

// Skips data sub-blocks up to and including the zero-length terminator.
void gifSkipSubBlocks(BufferedInput& input);

}  // namespace fotrix
