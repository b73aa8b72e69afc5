// CompuServe GIF writer: one image with a global colour table, optional
// interlacing, transparency (graphic control extension) and comment.
#include <cstring>
#include <memory>
#include <new>

#include "imagelib/save.h"
#include "imagelib/writers/gif_lzw_encoder.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

void gifWriterTypes(AcceptedLayout* slots)
{
    slots[0].typeMask = Indexed;
    slots[0].colourLimit = 256;
    slots[1].typeMask = Grey;
    slots[2].typeMask = Binary;
}

namespace {

// Row r of the picture for output position i of an interlaced image: every
// 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
int interlacedRow(int i, int height)
{
    static constexpr int starts[4] = {0, 4, 2, 1};
    static constexpr int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > starts[pass] ? (height - starts[pass] + steps[pass] - 1) / steps[pass] : 0;
        if (i < rows) return starts[pass] + i * steps[pass];
        i -= rows;
    }
    return 0;
}

}  // namespace

int writeGif(WriterContext& context)
{
    if (context.layoutClass != Binary && context.layoutClass != Grey && context.layoutClass != Indexed)
        return ResultLayoutRefused;
    if (context.width > 65535 || context.height > 65535) return ResultBadSize;
    const int b = context.layoutClass == Binary ? 1 : bitsForColours(context.colorCount);

    RowFormat format;
    format.description = "CompuServe GIF";
    format.samples = SamplesIndex;
    format.bitsPerPixel = 8;
    format.origin = 0;
    format.paletteOrder = PaletteOrderRgb;
    auto encoder = std::unique_ptr<GifLzwEncoder>(new (std::nothrow) GifLzwEncoder);
    if (!encoder) return ResultNoMemory;

    if (int opened = writerOpen(context); opened != ResultOk) return opened;
    if (beginRows(context, format) != ResultOk) return ResultNoMemory;

    writeBytes(context, context.params.gif87a ? "GIF87a" : "GIF89a", 6);
    writeU16le(context, static_cast<unsigned>(context.width));
    writeU16le(context, static_cast<unsigned>(context.height));
    writeU8(context, 128 + (b - 1));
    writeU8(context, 0);
    writeU8(context, 1);
    // The service builds 2^8 entries for 8-bit rows; the table holds the first 2^b.
    writeBytes(context, format.palette, static_cast<size_t>(3) << b);

    if (context.transparentIndex >= 0) {
        const uint8_t control[] = {33, 249, 4, 1, 0, 0, static_cast<uint8_t>(context.transparentIndex), 0};
        writeBytes(context, control, sizeof control);
    }
    if (context.comment && std::strlen(context.comment) < 255) {
        const size_t length = std::strlen(context.comment) + 1;
        writeU8(context, 33);
        writeU8(context, 254);
        writeU8(context, static_cast<unsigned>(length));
        writeBytes(context, context.comment, length);
        writeU8(context, 0);
    }
    writeU8(context, 44);
    writeU16le(context, 0);
    writeU16le(context, 0);
    writeU16le(context, static_cast<unsigned>(context.width));
    writeU16le(context, static_cast<unsigned>(context.height));
    writeU8(context, (context.params.interlace ? 64u : 0u) + static_cast<unsigned>(b - 1));

    const int minimumSize = b < 2 ? 2 : b;
    writeU8(context, static_cast<unsigned>(minimumSize));
    // Indices beyond the colour table are limited to it by the encoder's mask.
    gifLzwStart(*encoder, context, minimumSize);
    encoder->pixelMask = (1 << b) - 1;
    for (int i = 0; i < context.height && !writerFailed(context); ++i) {
        getRows(context, context.params.interlace ? interlacedRow(i, context.height) : i, 1);
        gifLzwPixels(*encoder, format.rows, context.width);
    }
    gifLzwFinish(*encoder);
    writeU8(context, 0);
    writeU8(context, 59);
    endRows(context);
    return writerClose(context);
}

}  // namespace fotrix
