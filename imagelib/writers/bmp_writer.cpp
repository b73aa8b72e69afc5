// Windows and OS/2 bitmap writer: 1, 4, 8, 24 and 32 bits a pixel, rows
// bottom-up, with optional run-length rows (RLE8, RLE4) in the Windows header.
#include <vector>

#include "imagelib/save.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

void acceptEveryLayout(AcceptedLayout*) {}

namespace {

constexpr int WindowsHeaderSize = 40;
constexpr int Os2HeaderSize = 12;

// The OS/2 header knows 1, 4, 8 and 24 bits only; four-byte pictures go out
// as 24 bits there.
int bmpBits(const WriterContext& context, bool os2)
{
    if (context.layoutClass == Binary) return 1;
    if (context.layoutClass == Grey || context.layoutClass == Indexed) return context.colorCount <= 16 ? 4 : 8;
    return os2 ? 24 : context.bitsPerPixel;
}

// One row of 8-bit indices as BMP RLE8 codes, ended by the end-of-line pair.
void encodeRle8(const uint8_t* row, int width, std::vector<uint8_t>& out)
{
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        // A stretch of differing indices ends before an index equal to its successor.
        int length = 0;
        while (i + length < width && length < 254 &&
               !(i + length + 1 < width && row[i + length] == row[i + length + 1]))
            ++length;
        if (length >= 3) {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(length));
            out.insert(out.end(), row + i, row + i + length);
            if (length & 1) out.push_back(0);
        } else {
            for (int k = 0; k < length; ++k) {
                out.push_back(1);
                out.push_back(row[i + k]);
            }
        }
        i += length;
    }
    out.push_back(0);
    out.push_back(0);
}

// One row of 4-bit indices (one byte each) as BMP RLE4 codes.
void encodeRle4(const uint8_t* row, int width, std::vector<uint8_t>& out)
{
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(static_cast<uint8_t>((row[i] & 15) << 4 | (row[i] & 15)));
            i += run;
            continue;
        }
        int length = 0;
        while (i + length < width && length < 254 &&
               !(i + length + 1 < width && row[i + length] == row[i + length + 1]))
            ++length;
        if (length >= 3) {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(length));
            const int packed = (length + 1) / 2;
            for (int k = 0; k < length; k += 2) {
                const int low = k + 1 < length ? row[i + k + 1] & 15 : 0;
                out.push_back(static_cast<uint8_t>((row[i + k] & 15) << 4 | low));
            }
            if (packed & 1) out.push_back(0);
        } else if (length == 2) {
            out.push_back(2);
            out.push_back(static_cast<uint8_t>((row[i] & 15) << 4 | (row[i + 1] & 15)));
        } else {
            out.push_back(1);
            out.push_back(static_cast<uint8_t>((row[i] & 15) << 4));
        }
        i += length;
    }
    out.push_back(0);
    out.push_back(0);
}

void writeHeaders(WriterContext& context, int bits, int entries, bool os2, int compression)
{
    const uint32_t offset = os2 ? 14 + Os2HeaderSize + 3 * entries : 14 + WindowsHeaderSize + 4 * entries;
    writeBytes(context, "BM", 2);
    writeU32le(context, 0);  // file size, patched at the end
    writeU16le(context, 0);
    writeU16le(context, 0);
    writeU32le(context, offset);
    if (os2) {
        writeU32le(context, Os2HeaderSize);
        writeU16le(context, static_cast<unsigned>(context.width));
        writeU16le(context, static_cast<unsigned>(context.height));
        writeU16le(context, 1);
        writeU16le(context, static_cast<unsigned>(bits));
    } else {
        writeU32le(context, WindowsHeaderSize);
        writeU32le(context, static_cast<uint32_t>(context.width));
        writeU32le(context, static_cast<uint32_t>(context.height));
        writeU16le(context, 1);
        writeU16le(context, static_cast<unsigned>(bits));
        writeU32le(context, static_cast<uint32_t>(compression));
        writeU32le(context, 0);
        writeU32le(context, dpiToPixelsPerMetre(context.dpiX));
        writeU32le(context, dpiToPixelsPerMetre(context.dpiY));
        writeU32le(context, 0);
        writeU32le(context, 0);
    }
}

}  // namespace

int writeBmp(WriterContext& context)
{
    const bool os2 = context.params.os2Bitmap != 0;
    if (os2 && (context.width > 65535 || context.height > 65535)) return ResultBadSize;
    const int bits = bmpBits(context, os2);
    const bool paletted = bits <= 8;
    const int entries = paletted ? 1 << bits : 0;
    const bool rle = !os2 && context.params.rle && (bits == 8 || bits == 4);
    const int compression = rle ? (bits == 8 ? 1 : 2) : 0;

    RowFormat format;
    format.description = "Windows Bitmap";
    format.origin = OriginBottom;
    format.paletteOrder = PaletteOrderBgr;
    if (paletted) {
        format.samples = SamplesIndex;
        format.bitsPerPixel = static_cast<uint16_t>(rle ? 8 : bits);
    } else {
        format.samples = bits == 32 ? SamplesBgra : SamplesBgr;
        format.bitsPerPixel = static_cast<uint16_t>(bits);
    }
    const uint64_t padded = (static_cast<uint64_t>(bits) * context.width + 31) / 32 * 4;
    if (padded > 0x7FFFFFFF) return ResultBadSize;
    format.bytesPerRow = rle ? 0 : static_cast<uint32_t>(padded);

    if (int opened = writerOpen(context); opened != ResultOk) return opened;
    if (beginRows(context, format) != ResultOk) return ResultNoMemory;

    writeHeaders(context, bits, entries, os2, compression);
    for (int i = 0; i < entries; ++i) {
        writeBytes(context, format.palette + 3 * i, 3);
        if (!os2) writeU8(context, 0);
    }
    std::vector<uint8_t> encoded;
    for (int r = 0; r < context.height && !writerFailed(context); ++r) {
        getRows(context, r, 1);
        if (!rle) {
            writeBytes(context, format.rows, format.bytesPerRow);
            continue;
        }
        encoded.clear();
        if (bits == 8)
            encodeRle8(format.rows, context.width, encoded);
        else
            encodeRle4(format.rows, context.width, encoded);
        writeBytes(context, encoded.data(), encoded.size());
    }
    if (rle) {
        writeU8(context, 0);
        writeU8(context, 1);
    }
    endRows(context);

    const long size = writerTell(context);
    if (size > 0 && writerSeek(context, 2)) writeU32le(context, static_cast<uint32_t>(size));
    return writerClose(context);
}

}  // namespace fotrix
