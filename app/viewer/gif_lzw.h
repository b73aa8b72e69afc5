#pragma once
// The GIF variant of LZW (variable code width from minimum code size + 1 up
// to 12 bits, clear and end codes), decoding into a bounded output.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fotrix {

// Decodes `data` (the image's sub-blocks already joined) into `out`, which is
// filled up to its size. Returns the number of indices written; decoding stops
// at the end code, at the end of the data or when `out` is full. Returns -1
// for an invalid code.
long GifLzwDecode(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize);

}  // namespace fotrix
