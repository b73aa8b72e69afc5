// Truevision Targa reader: colour-mapped, true-colour and grey pictures, plain
// (types 1-3) or run-length encoded (types 9-11). Targa files carry no
// signature, so the header checks below are what claims a file while probing;
// they are deliberately strict.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/readers/buffered_input.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int HeaderSize = 18;
constexpr int MaxSide = 15000;
constexpr int DescriptorTopDown = 32;
constexpr int DescriptorRightToLeft = 16;
// Rows handed over per call for plain files.
constexpr int RowsPerCall = 16;

// Image types: the colour model in the low bits, run-length coding from 9 on.
enum TgaImageType : int {
    TypeColourMapped = 1,
    TypeTrueColour = 2,
    TypeGrey = 3,
    TypeRunLengthColourMapped = 9,
    TypeRunLengthTrueColour = 10,
    TypeRunLengthGrey = 11,
};
constexpr int FirstRunLengthType = TypeRunLengthColourMapped;
// The colour map field: 0 for none, 1 for one map.
constexpr int MapPresent = 1;
// The compression the header reports to the pipeline.
constexpr int CompressionNone = 0;
constexpr int CompressionRunLength = 1;

struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    int descriptor = 0;
};

TgaHeader parseHeader(const uint8_t* raw)
{
    ByteReader reader(std::span<const uint8_t>(raw, HeaderSize));
    TgaHeader h;
    h.idLength = reader.u8();
    h.mapType = reader.u8();
    h.imageType = reader.u8();
    h.mapFirst = reader.u16le();
    h.mapLength = reader.u16le();
    h.mapEntryBits = reader.u8();
    reader.skip(4);  // x and y origin
    h.width = reader.u16le();
    h.height = reader.u16le();
    h.depth = reader.u8();
    h.descriptor = reader.u8();
    return h;
}

bool headerAcceptable(const TgaHeader& h)
{
    const bool knownType = h.imageType == TypeColourMapped || h.imageType == TypeTrueColour ||
                           h.imageType == TypeGrey || h.imageType == TypeRunLengthColourMapped ||
                           h.imageType == TypeRunLengthTrueColour || h.imageType == TypeRunLengthGrey;
    const bool knownDepth =
        h.depth == 1 || h.depth == 8 || h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    if (h.mapType > MapPresent || !knownType || !knownDepth) return false;
    if (h.mapEntryBits != 0 && h.mapEntryBits != 24 && h.mapEntryBits != 32) return false;
    if (h.width > MaxSide || h.height > MaxSide) return false;
    if (h.mapType == MapPresent) {
        if (h.mapLength == 0 || h.mapEntryBits == 0 || h.mapLength > 256) return false;
        if (h.mapFirst > h.mapLength) return false;
    }
    return true;
}

bool colourMapped(const TgaHeader& h)
{
    return h.imageType == TypeColourMapped || h.imageType == TypeRunLengthColourMapped;
}

// Reads the colour map into B, G, R entries (and, for 32-bit entries, their
// alpha). Map entry i is the colour of pixel value first + i.
bool readColourMap(Stream& stream, const TgaHeader& h, uint8_t* bgr, ImageHeader& header)
{
    const int entryBytes = h.mapEntryBits / 8;
    if (entryBytes < 3) return true;  // no entry size: nothing to read
    const int count = std::min(h.mapLength, 256);
    std::vector<uint8_t> raw(static_cast<size_t>(count) * entryBytes);
    if (!streamReadExact(stream, raw.data(), raw.size())) return false;
    for (int i = 0; i < count && h.mapFirst + i < 256; ++i)
        std::memcpy(bgr + 3 * (h.mapFirst + i), raw.data() + static_cast<size_t>(i) * entryBytes, 3);
    if (entryBytes == 4) {
        header.paletteAlphaCount = 256;
        std::memset(header.paletteAlpha, 255, sizeof header.paletteAlpha);
        for (int i = 0; i < count && h.mapFirst + i < 256; ++i)
            header.paletteAlpha[h.mapFirst + i] = raw[static_cast<size_t>(i) * entryBytes + 3];
    }
    return true;
}

bool greyWithAlpha(const TgaHeader& h)
{
    return (h.imageType == TypeGrey || h.imageType == TypeRunLengthGrey) && h.depth == 16;
}

// Plain rows, several per call.
int readPlainRows(BufferedInput& input, ReaderContext& context, const ImageHeader& header, size_t rowBytes)
{
    for (int y = 0; y < header.height; y += header.rowsPerCall) {
        const int count = std::min<int>(header.rowsPerCall, header.height - y);
        for (int i = 0; i < count; ++i) {
            if (input.read(header.rowBuffer + static_cast<size_t>(i) * header.rowStride, rowBytes) != rowBytes) {
                const int put = i > 0 ? putRows(context, 0, y, i) : 0;
                return put != 0 ? put : LoadReadError;
            }
        }
        const int put = putRows(context, 0, y, count);
        if (put != 0) return put;
    }
    return LoadOk;
}

// Run-length packets: a header byte h, then one pixel repeated (h & 127) + 1
// times (h >= 128) or h + 1 literal pixels. Packets run on across row ends.
int readRunLengthRows(BufferedInput& input, ReaderContext& context, const ImageHeader& header, size_t rowBytes,
                      size_t pixelBytes)
{
    uint8_t* row = header.rowBuffer;
    size_t x = 0;
    int y = 0;
    bool cut = false;
    uint8_t pixel[4] = {};
    while (y < header.height && !cut) {
        const int packet = input.next();
        if (packet < 0) break;
        size_t count = static_cast<size_t>(packet & 127) + 1;
        const bool repeat = packet >= 128;
        if (repeat && input.read(pixel, pixelBytes) != pixelBytes) break;
        while (count > 0 && y < header.height) {
            const size_t n = std::min(count, (rowBytes - x) / pixelBytes);
            if (repeat) {
                for (size_t i = 0; i < n; ++i) std::memcpy(row + x + i * pixelBytes, pixel, pixelBytes);
            } else {
                const size_t got = input.read(row + x, n * pixelBytes);
                if (got != n * pixelBytes) {
                    x += got;
                    cut = true;
                    break;
                }
            }
            x += n * pixelBytes;
            count -= n;
            if (x == rowBytes) {
                const int put = putRows(context, 0, y, 1);
                if (put != 0) return put;
                ++y;
                x = 0;
            }
        }
    }
    if (y >= header.height) return LoadOk;
    // The data ended inside the picture: hand over the partly filled row.
    if (x > 0) {
        std::memset(row + x, 0, rowBytes - x);
        const int put = putRows(context, 0, y, 1);
        if (put != 0) return put;
    }
    return LoadReadError;
}

}  // namespace

int readTga(Stream& stream, ReaderContext& context)
{
    uint8_t raw[HeaderSize];
    if (!streamReadExact(stream, raw, HeaderSize)) return LoadReadError;
    const TgaHeader tga = parseHeader(raw);
    if (!headerAcceptable(tga)) return LoadUnknownFormat;

    if (tga.idLength > 0 && !readComment(context, stream, static_cast<uint32_t>(tga.idLength)))
        return LoadReadError;

    ImageHeader header;
    imageHeaderDefaults(header);
    // B, G, R entries, 256 of them; unused ones stay black.
    uint8_t colourMap[768] = {};
    const bool usesMap = (tga.mapType == MapPresent || colourMapped(tga)) && tga.depth <= 8;
    if (usesMap && tga.mapLength > 0 && !readColourMap(stream, tga, colourMap, header)) return LoadReadError;
    // The pixels start after the map, whether it was used or not.
    const uint64_t pixelStart =
        HeaderSize + static_cast<uint64_t>(tga.idLength) + static_cast<uint64_t>(tga.mapLength) * tga.mapEntryBits / 8;
    if (!streamSeek(stream, pixelStart)) return LoadReadError;

    header.width = tga.width;
    header.height = tga.height;
    header.planes = 1;
    header.bitsPerPlane = static_cast<int16_t>(tga.depth == 16 ? 15 : tga.depth);
    header.fileOrigin = (tga.descriptor & DescriptorTopDown) ? 0 : OriginBottom;
    if (tga.descriptor & DescriptorRightToLeft) header.fileOrigin |= OriginRight;
    header.compression = tga.imageType >= FirstRunLengthType ? CompressionRunLength : CompressionNone;
    std::snprintf(header.description, sizeof header.description, "Truevision TARGA (Type %d)", tga.imageType);
    switch (tga.depth) {
    case 15:
    case 16: header.sampleFlags = SamplePacked16; break;  // 5-5-5, little-endian words, top bit unused
    case 24: header.sampleFlags = SampleReversed; break;  // B, G, R
    case 32: header.sampleFlags = SampleBgra; break;      // B, G, R, A
    default: header.sampleFlags = 0; break;
    }
    if (greyWithAlpha(tga)) {  // grey level, then alpha: two interleaved samples
        header.sampleFlags = 0;
        header.components = 2;
        header.bitsPerPlane = 8;
    }
    const size_t pixelBytes = static_cast<size_t>((tga.depth + 7) / 8);
    const size_t rowBytes = tga.depth == 1 ? (static_cast<size_t>(tga.width) + 7) / 8
                                           : static_cast<size_t>(tga.width) * pixelBytes;
    header.bytesPerPlane = static_cast<uint32_t>(rowBytes);
    header.rowsPerCall = tga.imageType >= FirstRunLengthType ? 1 : RowsPerCall;
    header.rowsInOrder = true;  // the image ID comes first, and nothing is read after the rows

    // Colour-mapped pictures with more than 8 bits a pixel index a map we do not keep.
    if (colourMapped(tga) && tga.depth > 8) return readerFail(context, LoadBadData, "Targa : Unknown image type !");

    const int begun = beginImage(context, header);
    if (begun != 0) return begun;

    BufferedInput input(stream);
    const int result = tga.imageType >= FirstRunLengthType ? readRunLengthRows(input, context, header, rowBytes, pixelBytes)
                                          : readPlainRows(input, context, header, rowBytes);
    if (result == LoadCancelled) return result;
    const bool withPalette = colourMapped(tga) && tga.depth <= 8;
    const int ended = endImage(context, PaletteRgb | PaletteBgrOrder, 8, withPalette ? colourMap : nullptr);
    return ended != 0 ? ended : result;
}

}  // namespace fotrix
