// Truevision Targa writer: true colour (24, 32 bits), colour-mapped, grey and
// one-bit pictures, top-left origin, optional run-length packets per row and
// the comment as image ID.
#include <cstring>
#include <vector>

#include "imagelib/save.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

namespace {

// Packs one row of `width` pixels of `size` bytes into run and raw packets;
// packets never cross the end of the row.
void encodeTargaRow(const uint8_t* row, int width, int size, std::vector<uint8_t>& out)
{
    auto same = [&](int a, int b) { return std::memcmp(row + a * size, row + b * size, size) == 0; };
    int i = 0;
    while (i < width) {
        if (i + 1 < width && same(i, i + 1)) {
            int run = 2;
            while (i + run < width && run < 128 && same(i, i + run)) ++run;
            out.push_back(static_cast<uint8_t>(128 + run - 1));
            out.insert(out.end(), row + i * size, row + (i + 1) * size);
            i += run;
        } else {
            int count = 1;
            while (i + count < width && count < 127 && !(i + count + 1 < width && same(i + count, i + count + 1)))
                ++count;
            out.push_back(static_cast<uint8_t>(count - 1));
            out.insert(out.end(), row + i * size, row + (i + count) * size);
            i += count;
        }
    }
}

}  // namespace

int writeTga(WriterContext& context)
{
    if (context.width > 65535 || context.height > 65535) return ResultBadSize;
    const bool rle = context.params.rle != 0 && context.layoutClass != Binary;
    const size_t commentLength = context.comment ? std::strlen(context.comment) : 0;
    const bool hasId = context.comment && commentLength < 255;

    RowFormat format;
    format.description = "Truevision Targa";
    format.origin = 0;
    format.paletteOrder = PaletteOrderBgr;
    int mapType = 0, imageType = 0, mapLength = 0, mapEntrySize = 0, depth = 0;
    switch (context.layoutClass) {
    case Binary:
        format.samples = SamplesIndex;
        format.bitsPerPixel = 1;
        imageType = 3;
        depth = 1;
        break;
    case Grey:
        // Grey values, so that pictures with fewer than 256 levels keep their tones.
        format.samples = SamplesGrey;
        format.bitsPerPixel = 8;
        imageType = rle ? 11 : 3;
        depth = 8;
        break;
    case Indexed:
        format.samples = SamplesIndex;
        format.bitsPerPixel = 8;
        mapType = 1;
        imageType = rle ? 9 : 1;
        mapLength = 256;
        mapEntrySize = 24;
        depth = 8;
        break;
    default:
        depth = context.bitsPerPixel;
        format.samples = depth == 32 ? SamplesBgra : SamplesBgr;
        format.bitsPerPixel = static_cast<uint16_t>(depth);
        imageType = rle ? 10 : 2;
        break;
    }

    if (int opened = writerOpen(context); opened != ResultOk) return opened;
    if (beginRows(context, format) != ResultOk) return ResultNoMemory;

    writeU8(context, hasId ? static_cast<unsigned>(commentLength + 1) : 0);
    writeU8(context, static_cast<unsigned>(mapType));
    writeU8(context, static_cast<unsigned>(imageType));
    writeU16le(context, 0);
    writeU16le(context, static_cast<unsigned>(mapLength));
    writeU8(context, static_cast<unsigned>(mapEntrySize));
    writeU16le(context, 0);
    writeU16le(context, 0);
    writeU16le(context, static_cast<unsigned>(context.width));
    writeU16le(context, static_cast<unsigned>(context.height));
    writeU8(context, static_cast<unsigned>(depth));
    writeU8(context, 32);  // top-left origin
    if (hasId) writeBytes(context, context.comment, commentLength + 1);
    if (mapType) writeBytes(context, format.palette, 256 * 3);

    const int pixelBytes = depth / 8;
    std::vector<uint8_t> encoded;
    for (int r = 0; r < context.height && !writerFailed(context); ++r) {
        getRows(context, r, 1);
        if (!rle) {
            writeBytes(context, format.rows, format.bytesPerRow);
            continue;
        }
        encoded.clear();
        encodeTargaRow(format.rows, context.width, pixelBytes, encoded);
        writeBytes(context, encoded.data(), encoded.size());
    }
    endRows(context);
    return writerClose(context);
}

}  // namespace fotrix
