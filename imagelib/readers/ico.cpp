// Windows icon files (little-endian): a directory of bitmaps, each a 40-byte
// bitmap information header, a palette for up to 8 bits, the colour rows
// bottom-up and a 1-bit transparency mask of the same size; or a PNG stream.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/readers/readers.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

constexpr uint32_t InfoHeaderSize = 40;
// Later bitmap headers (V4, V5) begin with the same 40 bytes; their colour
// masks and profile fields do not apply to icon entries.
constexpr uint32_t V4HeaderSize = 108;
constexpr uint32_t V5HeaderSize = 124;
constexpr int32_t MaxIconSide = 16000;
constexpr int EntryIsPng = -100;  // the chosen entry is a PNG stream, not a bitmap
constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct IconBitmap {
    int32_t width = 0;
    int32_t height = 0;  // of the picture: half the header's height
    uint16_t bits = 0;
    uint32_t paletteEntries = 0;
    uint8_t palette[256 * 3] = {};  // B, G, R
};

uint32_t rowBytes(int32_t width, int bits)
{
    return static_cast<uint32_t>((static_cast<uint64_t>(width) * bits + 31) / 32 * 4);
}

// Directory and the chosen entry's bitmap header and palette; the stream
// is left at the first colour row.
int readIconHeader(Stream& stream, ReaderContext& context, IconBitmap& icon)
{
    const uint16_t reserved = streamU16le(stream);
    const uint16_t type = streamU16le(stream);
    const uint16_t count = streamU16le(stream);
    if (streamFailed(stream) || reserved != 0 || type == 0 || count == 0) return ResultUnknownFormat;
    std::vector<uint8_t> directory(static_cast<size_t>(count) * 16);
    if (!streamReadExact(stream, directory.data(), directory.size())) return ResultUnknownFormat;
    context.imageCount = count;
    // The chosen entry's data; for a frame the file lacks, the data after the directory.
    uint64_t offset = streamTell(stream);
    if (context.params.frameIndex < count) {
        ByteReader entry(std::span<const uint8_t>(directory).subspan(context.params.frameIndex * 16, 16));
        entry.skip(12);
        offset = entry.u32le();
    }
    if (!streamSeek(stream, offset)) return ResultUnknownFormat;
    uint8_t signature[8];
    if (streamReadExact(stream, signature, sizeof signature) &&
        std::memcmp(signature, PngSignature, sizeof signature) == 0 && streamSeek(stream, offset))
        return EntryIsPng;
    if (!streamSeek(stream, offset)) return ResultUnknownFormat;

    uint8_t raw[InfoHeaderSize];
    if (!streamReadExact(stream, raw, sizeof raw)) return ResultUnknownFormat;
    ByteReader info(raw);
    const uint32_t size = info.u32le();
    const int32_t width = static_cast<int32_t>(info.u32le());
    const int32_t height = static_cast<int32_t>(info.u32le());
    const uint16_t planes = info.u16le();
    icon.bits = info.u16le();
    info.skip(16);
    const uint32_t coloursUsed = info.u32le();
    const bool knownSize = size == InfoHeaderSize || size == V4HeaderSize || size == V5HeaderSize;
    if (!knownSize || width <= 0 || width >= MaxIconSide || height <= 0 || height >= MaxIconSide ||
        planes != 1)
        return ResultUnknownFormat;
    if (size > InfoHeaderSize && !streamSeek(stream, offset + size)) return ResultReadError;
    icon.width = width;
    icon.height = std::max(height / 2, 1);
    switch (icon.bits) {
    case 1: case 4: case 8: case 15: case 16: case 24: case 32:
        break;
    default:
        return readerFail(context, ResultBadHeader, "Windows Icon : Bad bit count !");
    }
    if (icon.bits <= 8) {
        // Icons that store fewer colours than their depth allows say so; taking
        // 2^bits entries then would read pixels as palette.
        icon.paletteEntries = 1u << icon.bits;
        if (coloursUsed > 0 && coloursUsed < icon.paletteEntries) icon.paletteEntries = coloursUsed;
        uint8_t entry[4];
        for (uint32_t i = 0; i < icon.paletteEntries; i++) {
            if (!streamReadExact(stream, entry, 4)) return ResultReadError;
            std::memcpy(icon.palette + 3 * i, entry, 3);
        }
    }
    return ResultOk;
}

// Colour rows expanded to B, G, R, A with the mask as alpha (mask bit 1 = transparent).
int deliverWithMask(Stream& stream, ReaderContext& context, ImageHeader& header, const IconBitmap& icon)
{
    const uint32_t colourStride = rowBytes(icon.width, icon.bits);
    const uint32_t maskStride = rowBytes(icon.width, 1);
    const size_t colourBytes = static_cast<size_t>(colourStride) * icon.height;
    const size_t maskBytes = static_cast<size_t>(maskStride) * icon.height;
    std::vector<uint8_t> data(colourBytes + maskBytes);
    const size_t got = streamRead(stream, data.data(), data.size());
    for (int32_t y = 0; y < icon.height; y++) {
        const uint8_t* colour = data.data() + static_cast<size_t>(y) * colourStride;
        const uint8_t* mask = data.data() + colourBytes + static_cast<size_t>(y) * maskStride;
        uint8_t* out = header.rowBuffer;
        for (int32_t x = 0; x < icon.width; x++, out += 4) {
            if (icon.bits == 24) {
                std::memcpy(out, colour + 3 * x, 3);
            } else {
                const unsigned index = icon.bits == 8   ? colour[x]
                                       : icon.bits == 4 ? (colour[x / 2] >> (x & 1 ? 0 : 4)) & 15u
                                                        : (colour[x / 8] >> (7 - x % 8)) & 1u;
                std::memcpy(out, icon.palette + 3 * index, 3);
            }
            out[3] = (mask[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
        }
        const int result = putRows(context, 0, y, 1);
        if (result != 0) return result;
    }
    return got < data.size() ? 4 : 0;
}

int deliverRows(Stream& stream, ReaderContext& context, ImageHeader& header, const IconBitmap& icon)
{
    const uint32_t stride = rowBytes(icon.width, icon.bits);
    for (int32_t y = 0; y < icon.height; y++) {
        if (!streamReadExact(stream, header.rowBuffer, stride)) return ResultReadError;
        const int result = putRows(context, 0, y, 1);
        if (result != 0) return result;
    }
    return ResultOk;
}

}  // namespace

int readIco(Stream& stream, ReaderContext& context)
{
    IconBitmap icon;
    int result = readIconHeader(stream, context, icon);
    // Current icon sets store their large entries as PNG streams, with alpha.
    if (result == EntryIsPng) return readPng(stream, context);
    if (result != 0) return result;

    const bool maskAsAlpha = context.params.icoMaskAsAlpha &&
                             (icon.bits == 1 || icon.bits == 4 || icon.bits == 8 || icon.bits == 24);
    ImageHeader header;
    imageHeaderDefaults(header);
    std::strcpy(header.description, "Windows Icon");
    header.fileOrigin = OriginBottom;
    header.width = icon.width;
    header.height = icon.height;
    header.fullBits = icon.bits;
    if (maskAsAlpha) {
        header.bitsPerPlane = 32;
        header.sampleFlags = SampleBgra;
        header.bytesPerPlane = static_cast<uint32_t>(icon.width) * 4;
    } else {
        header.bitsPerPlane = static_cast<int16_t>(icon.bits);
        header.sampleFlags = icon.bits <= 8    ? 0u
                             : icon.bits <= 16 ? uint32_t{SamplePacked16}
                             : icon.bits == 24 ? uint32_t{SampleReversed}
                                               : uint32_t{SampleBgra};
        header.bytesPerPlane = rowBytes(icon.width, icon.bits);
    }
    result = beginImage(context, header);
    if (result != 0) return result;

    const int rows = maskAsAlpha ? deliverWithMask(stream, context, header, icon)
                                 : deliverRows(stream, context, header, icon);
    if (rows == 15) return rows;
    const int end = icon.bits <= 8 && !maskAsAlpha
                        ? endImage(context, PaletteRgb | PaletteBgrOrder, 8, icon.palette)
                        : endImage(context, 0, 0, nullptr);
    return rows != 0 ? rows : end;
}

}  // namespace fotrix
