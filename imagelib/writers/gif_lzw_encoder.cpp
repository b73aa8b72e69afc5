// GIF LZW encoder. The string table is an open-addressed hash of 5003 slots,
// keyed by (pixel x 16 + prefix) modulo 5003 and probed backwards, which
// keeps the table small and the lookups short at 4096 codes.
#include "imagelib/writers/gif_lzw_encoder.h"

#include <cstring>

#include "imagelib/save.h"

namespace fotrix {

namespace {

constexpr int MaxCodes = 4096;
constexpr int MaxSubBlock = 254;

void flushBlock(GifLzwEncoder& e)
{
    if (e.blockLength == 0) return;
    writeU8(*e.context, static_cast<unsigned>(e.blockLength));
    writeBytes(*e.context, e.block, static_cast<size_t>(e.blockLength));
    e.blockLength = 0;
}

void resetTable(GifLzwEncoder& e)
{
    std::memset(e.keys, 0xFF, sizeof e.keys);
    e.nextCode = e.clearCode + 2;
    e.codeWidth = e.minimumSize + 1;
    e.largestCode = (1 << e.codeWidth) - 1;
}

void emit(GifLzwEncoder& e, int code)
{
    e.bits |= static_cast<uint32_t>(code) << e.bitCount;
    e.bitCount += e.codeWidth;
    while (e.bitCount >= 8) {
        e.block[e.blockLength++] = static_cast<uint8_t>(e.bits);
        e.bits >>= 8;
        e.bitCount -= 8;
        if (e.blockLength == MaxSubBlock) flushBlock(e);
    }
    // The width grows once the next free code no longer fits (the decoder
    // widens at the same point after adding its entry).
    if (e.nextCode > e.largestCode && e.codeWidth < 12) {
        ++e.codeWidth;
        e.largestCode = e.codeWidth == 12 ? MaxCodes : (1 << e.codeWidth) - 1;
    }
}

void emitClear(GifLzwEncoder& e)
{
    emit(e, e.clearCode);
    resetTable(e);
}

}  // namespace

void gifLzwStart(GifLzwEncoder& e, WriterContext& context, int minimumSize)
{
    e.context = &context;
    e.minimumSize = minimumSize;
    e.clearCode = 1 << minimumSize;
    e.endCode = e.clearCode + 1;
    e.pixelMask = e.clearCode - 1;
    e.bits = 0;
    e.bitCount = 0;
    e.blockLength = 0;
    e.prefix = -1;
    resetTable(e);
    emit(e, e.clearCode);
}

void gifLzwPixels(GifLzwEncoder& e, const uint8_t* pixels, int count)
{
    int i = 0;
    if (e.prefix < 0 && count > 0) e.prefix = pixels[i++] & e.pixelMask;
    int prefix = e.prefix;
    for (; i < count; ++i) {
        const int pixel = pixels[i] & e.pixelMask;
        const int32_t key = pixel << 12 | prefix;
        int slot = (pixel * 16 + prefix) % GifLzwEncoder::HashSize;
        const int step = slot == 0 ? 1 : GifLzwEncoder::HashSize - slot;
        bool found = false;
        while (e.keys[slot] >= 0) {
            if (e.keys[slot] == key) {
                prefix = e.codes[slot];
                found = true;
                break;
            }
            slot -= step;
            if (slot < 0) slot += GifLzwEncoder::HashSize;
        }
        if (found) continue;
        emit(e, prefix);
        if (e.nextCode < MaxCodes) {
            e.codes[slot] = static_cast<uint16_t>(e.nextCode++);
            e.keys[slot] = key;
        } else {
            emitClear(e);
        }
        prefix = pixel;
    }
    e.prefix = prefix;
}

void gifLzwFinish(GifLzwEncoder& e)
{
    if (e.prefix >= 0) emit(e, e.prefix);
    emit(e, e.endCode);
    if (e.bitCount > 0) {
        e.block[e.blockLength++] = static_cast<uint8_t>(e.bits);
        e.bits = 0;
        e.bitCount = 0;
    }
    flushBlock(e);
}

}  // namespace fotrix
