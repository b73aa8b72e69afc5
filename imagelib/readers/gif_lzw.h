#pragma once
// The variable-length LZW decoder of GIF image data (GIF89a, appendix F),
// reading the data sub-blocks that follow an image descriptor.
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

// Skips data sub-blocks up to and including the zero-length terminator.
void gifSkipSubBlocks(BufferedInput& input);

}  // namespace fotrix
