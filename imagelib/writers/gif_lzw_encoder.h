#pragma once
// The GIF variant of LZW compression: variable code width up to 12 bits,
// codes packed least significant bit first into sub-blocks.
#include <cstdint>

namespace fotrix {

struct WriterContext;

struct GifLzwEncoder {
    static constexpr int HashSize = 5003;
    WriterContext* context = nullptr;
    int minimumSize = 2;
    int clearCode = 0;
    int endCode = 0;
    int nextCode = 0;
    int codeWidth = 0;
    int largestCode = 0;        // the largest code of the current width
    int prefix = -1;            // code of the string matched so far
    int pixelMask = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    uint8_t block[256] = {};
    int blockLength = 0;
    int32_t keys[HashSize];     // (pixel << 12 | prefix), -1 for an empty slot
    uint16_t codes[HashSize];
};

void gifLzwStart(GifLzwEncoder& encoder, WriterContext& context, int minimumSize);
void gifLzwPixels(GifLzwEncoder& encoder, const uint8_t* pixels, int count);
// Writes the last prefix and the end code and flushes the last sub-block.
void gifLzwFinish(GifLzwEncoder& encoder);

}  // namespace fotrix
