// The TIFF reader: checks the chosen directory, describes the picture to the
// pipeline, decodes strips or tiles with the decoder of their compression and
// hands the rows over, reduced to what the pipeline takes (8 bits a sample
// for deep samples, the first sample of grey pictures with extra samples,
// three or four colour samples).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "imagelib/bytes.h"
#include "imagelib/readers/readers.h"
#include "imagelib/readers/tiff/tiff_internal.h"

namespace fotrix {

namespace tiff {
namespace {

constexpr size_t MaxChunkBytes = size_t{512} << 20;

enum class Kind { Grey, Palette, Colour, YCbCr, LogL, LogLuv };

// How decoded rows become delivered rows.
enum class Repack {
    Copy,         // the decoded row is what the pipeline takes
    ByteIndex,    // first sample of each pixel, one byte a pixel, unscaled (palette and grey below 8 bits)
    EightBit,     // `delivered` samples of each pixel, 8 bits each
};

struct Layout {
    Kind kind = Kind::Grey;
    int samples = 1;    // in the file
    int bits = 1;       // in the file
    bool planar = false;
    int delivered = 1;  // samples handed over per pixel
    bool planePasses = false;
    bool unpremultiply = false;  // associated alpha: colours were multiplied by it
    Repack repack = Repack::Copy;
    uint32_t rowBytes = 0;  // of a delivered row of the whole width
};

// What one decoded chunk row holds.
struct RowShape {
    int bits = 8;
    int samples = 1;
};

bool isCcitt(uint16_t c)
{
    return c == CompressionModifiedHuffman || c == CompressionGroup3 || c == CompressionGroup4;
}

bool knownCompression(const TiffInfo& info)
{
    switch (info.compression) {
    case CompressionNone: case CompressionModifiedHuffman: case CompressionGroup3: case CompressionGroup4:
    case CompressionLzw: case CompressionJpeg: case CompressionDeflate: case CompressionPackBits:
    case CompressionThunderScan: case CompressionDeflateOld: case CompressionSgiLog: case CompressionSgiLog24:
        return true;
    case CompressionOldJpeg:  // needs an interchange stream or the tables' tags
        return info.jpegInterchangeOffset >= 0 || info.jpegQTables.present;
    default:
        return false;
    }
}

bool knownPhotometric(uint16_t p)
{
    switch (p) {
    case WhiteIsZero: case BlackIsZero: case PhotometricRgb: case PhotometricPalette: case PhotometricSeparated:
    case PhotometricYCbCr: case PhotometricCieLab: case PhotometricLogL: case PhotometricLogLuv:
        return true;
    default:
        return false;
    }
}

uint16_t originOf(uint16_t orientation)
{
    static const uint16_t origins[9] = {0, 0, 1, 17, 16, 128, 129, 145, 144};
    return orientation <= 8 ? origins[orientation] : 0;
}

void describeCompression(const TiffInfo& info, ImageHeader& header)
{
    struct Name { uint16_t tiff; uint16_t code; const char* text; };
    static const Name names[] = {
        {CompressionNone, 0, ""}, {CompressionPackBits, 1, ""}, {CompressionLzw, 2, ""},
        {CompressionJpeg, 3, ""}, {CompressionDeflate, 4, ""}, {CompressionDeflateOld, 4, ""},
        {CompressionModifiedHuffman, 6, ""}, {CompressionGroup4, 9, ""},
        {CompressionSgiLog, 255, "SGILog"}, {CompressionSgiLog24, 255, "SGILog24"},
        {CompressionOldJpeg, 255, "Jpeg Old Style"}, {CompressionThunderScan, 255, "ThunderScan"},
    };
    if (info.compression == CompressionGroup3) {
        header.compression = info.t4Options & 1 ? 8 : 7;
        return;
    }
    for (const Name& n : names) {
        if (n.tiff != info.compression) continue;
        header.compression = n.code;
        std::strncpy(header.compressionText, n.text, sizeof header.compressionText - 1);
    }
}

// dpi from a resolution: unit 1 integer division, 2 inches, 3 centimetres.
uint32_t dpiOf(const TiffRational& r, uint16_t unit)
{
    if (!r.present || r.denominator == 0) return 0;
    if (unit == 1) return r.numerator / r.denominator;
    const double value = static_cast<double>(r.numerator) / r.denominator;
    if (unit == 3) return static_cast<uint32_t>(std::min(value * 2.5380710659898478, 4e9));
    return static_cast<uint32_t>(std::min(value, 4e9));
}

int refuse(ReaderContext& context, const char* message) { return readerFail(context, ResultBadHeader, message); }

int chooseLayout(ReaderContext& context, const TiffInfo& info, Layout& l)
{
    l.samples = std::max<int>(info.samplesPerPixel, 1);
    l.bits = info.bitsPerSample;
    l.planar = info.planar == 2 && l.samples > 1;
    if (l.bits < 1 || l.bits > 32) return refuse(context, "TIFF : Bad bits per sample !");
    if (l.samples > 64) return refuse(context, "TIFF : Bad samples per pixel !");
    const uint32_t width = info.width;
    switch (info.photometric) {
    case WhiteIsZero: case BlackIsZero: l.kind = Kind::Grey; break;
    case PhotometricPalette: l.kind = l.bits <= 8 ? Kind::Palette : Kind::Grey; break;
    case PhotometricLogL: l.kind = Kind::LogL; break;
    case PhotometricLogLuv: l.kind = Kind::LogLuv; break;
    case PhotometricYCbCr: l.kind = info.compression == CompressionJpeg ? Kind::Colour : Kind::YCbCr; break;
    default: l.kind = Kind::Colour; break;
    }
    const bool logCompression = info.compression == CompressionSgiLog || info.compression == CompressionSgiLog24;
    // The 24-bit form always carries chroma: there is no 24-bit LogL.
    if ((l.kind == Kind::LogL || l.kind == Kind::LogLuv) != logCompression ||
        (l.kind == Kind::LogL && info.compression == CompressionSgiLog24))
        return refuse(context, "TIFF : Bad photometric interpretation !");

    if (l.kind == Kind::Grey || l.kind == Kind::Palette) {
        l.delivered = 1;
        // The pipeline spreads 1, 2, 4 and 8-bit pixels; other depths come one byte a pixel.
        const bool spreadable = l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8;
        if (spreadable && (l.samples == 1 || l.planar)) {
            l.repack = Repack::Copy;
            l.rowBytes = static_cast<uint32_t>((static_cast<uint64_t>(width) * l.bits + 7) / 8);
        } else if (l.bits < 8 && l.kind == Kind::Palette) {
            l.repack = Repack::ByteIndex;
            l.rowBytes = width;
        } else {
            l.repack = Repack::EightBit;
            l.rowBytes = width;
        }
        return ResultOk;
    }
    if (l.kind == Kind::LogL) {
        l.delivered = 1;
        l.rowBytes = width;
        return ResultOk;
    }
    if (l.kind == Kind::LogLuv || l.kind == Kind::YCbCr) {
        if (l.kind == Kind::YCbCr && (l.samples < 3 || l.bits != 8))
            return refuse(context, "TIFF : Bad photometric interpretation !");
        l.delivered = 3;
        l.rowBytes = width * 3;
        return ResultOk;
    }
    // RGB, CMYK, Lab and JPEG-coded YCbCr.
    const int colours = info.photometric == PhotometricSeparated ? 4 : 3;
    if (l.samples < colours) return refuse(context, "TIFF : Bad photometric interpretation !");
    const bool alpha = info.photometric == PhotometricRgb && l.samples > 3 && info.hasExtraSamples &&
                       (info.extraSamples == 1 || info.extraSamples == 2);
    l.delivered = colours + (alpha ? 1 : 0);
    l.planePasses = l.planar;
    l.unpremultiply = alpha && info.extraSamples == 1 && !l.planar;
    l.repack = !l.planar && l.bits == 8 && l.samples == l.delivered ? Repack::Copy : Repack::EightBit;
    l.rowBytes = width * (l.planar ? 1 : l.delivered);
    return ResultOk;
}

// One sample of a decoded row reduced to 8 bits (scaled up below 8 bits when `scale`).
inline uint8_t sampleTo8(const uint8_t* row, size_t index, int bits, bool bigEndian, bool scale)
{
    switch (bits) {
    case 8: return row[index];
    case 16: return row[2 * index + (bigEndian ? 0 : 1)];
    case 32: return row[4 * index + (bigEndian ? 0 : 3)];
    default: break;
    }
    // Other depths form one bit stream, most significant bit first.
    const size_t bit = index * bits;
    uint32_t v = 0;
    for (int i = 0; i < bits; i++) {
        const size_t b = bit + i;
        v = v << 1 | ((row[b >> 3] >> (7 - (b & 7))) & 1);
    }
    if (bits < 8) return static_cast<uint8_t>(scale ? v * 255 / ((1u << bits) - 1) : v);
    return static_cast<uint8_t>(v >> (bits - 8));
}

// Colours stored multiplied by their alpha, divided back out (rounded).
void unpremultiplyRow(uint8_t* row, uint32_t width)
{
    for (uint32_t x = 0; x < width; x++, row += 4) {
        const unsigned a = row[3];
        if (a == 0 || a == 255) continue;
        for (int c = 0; c < 3; c++) row[c] = static_cast<uint8_t>(std::min(255u, (row[c] * 255u + a / 2) / a));
    }
}

void repackSamples(const Layout& l, const RowShape& shape, const uint8_t* in, uint8_t* out, uint32_t width,
                   bool bigEndian);

void repackRow(const Layout& l, const RowShape& shape, const uint8_t* in, uint8_t* out, uint32_t width,
               bool bigEndian)
{
    repackSamples(l, shape, in, out, width, bigEndian);
    if (l.unpremultiply) unpremultiplyRow(out, width);
}

void repackSamples(const Layout& l, const RowShape& shape, const uint8_t* in, uint8_t* out, uint32_t width,
                   bool bigEndian)
{
    const int samples = shape.samples;
    switch (l.repack) {
    case Repack::Copy:
        if (shape.bits == 8 && samples == l.delivered) std::memcpy(out, in, static_cast<size_t>(width) * samples);
        else std::memcpy(out, in, (static_cast<size_t>(width) * samples * shape.bits + 7) / 8);
        return;
    case Repack::ByteIndex:
        for (uint32_t x = 0; x < width; x++) out[x] = sampleTo8(in, static_cast<size_t>(x) * samples, shape.bits, bigEndian, false);
        return;
    case Repack::EightBit: {
        const int take = std::min(l.planePasses ? 1 : l.delivered, samples);
        const int outSamples = l.planePasses ? 1 : l.delivered;
        if (shape.bits == 8) {
            for (uint32_t x = 0; x < width; x++)
                for (int s = 0; s < take; s++) out[x * outSamples + s] = in[static_cast<size_t>(x) * samples + s];
            return;
        }
        for (uint32_t x = 0; x < width; x++)
            for (int s = 0; s < take; s++)
                out[x * outSamples + s] = sampleTo8(in, static_cast<size_t>(x) * samples + s, shape.bits, bigEndian,
                                                    l.kind != Kind::Palette);
        return;
    }
    }
}

// Everything a strip or tile decode needs besides its bytes.
struct Decoder {
    Stream& stream;
    ReaderContext& context;
    const TiffInfo& info;
    const Layout& layout;
    std::vector<uint8_t> tables;
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> decoded;
    std::vector<uint8_t> converted;
    // Rows of the last chunk that had data: an uncompressed chunk cut short
    // by the end of the file has none past the cut, and handing over its
    // empty rows would only cost time (a tiny file may claim a huge picture).
    uint32_t rowsWithData = 0;
};

YCbCrParams ycbcrParams(const TiffInfo& info)
{
    YCbCrParams p{info.lumaRed, info.lumaGreen, info.lumaBlue, info.subsampleH, info.subsampleV};
    p.h = std::clamp<uint16_t>(p.h, 1, 4);
    p.v = std::clamp<uint16_t>(p.v, 1, 4);
    return p;
}

// Reads and decodes one chunk of `rows` rows `width` pixels wide; on return
// `out` points at rows of `shape`, `rowBytes` apart.
int decodeChunk(Decoder& d, uint32_t offset, uint32_t byteCount, uint32_t width, uint32_t rows, int samples,
                const uint8_t*& out, RowShape& shape, size_t& rowBytes)
{
    const TiffInfo& info = d.info;
    const Stream& stream = d.stream;
    shape = {d.layout.bits, samples};
    size_t fileRowBytes = (static_cast<size_t>(width) * samples * d.layout.bits + 7) / 8;
    size_t needed = 0;
    const uint16_t c = info.compression;
    const bool ycbcr = d.layout.kind == Kind::YCbCr && !d.layout.planar;
    const YCbCrParams yp = ycbcrParams(info);
    if (c == CompressionJpeg) {
        fileRowBytes = static_cast<size_t>(width) * samples;
        shape = {8, samples};
    } else if (c == CompressionSgiLog || c == CompressionSgiLog24) {
        fileRowBytes = static_cast<size_t>(width) * (d.layout.kind == Kind::LogLuv ? 3 : 1);
        shape = {8, d.layout.kind == Kind::LogLuv ? 3 : 1};
    } else if (isCcitt(c)) {
        fileRowBytes = (width + 7) / 8;
        shape = {1, 1};
    } else if (c == CompressionThunderScan) {
        fileRowBytes = (width + 1) / 2;
        shape = {4, 1};
    }
    if (!checkedMultiply(fileRowBytes, rows, needed)) return ResultNoMemory;
    if (ycbcr && c != CompressionJpeg) needed = ycbcrStripBytes(width, rows, yp);
    if (needed > MaxChunkBytes) return ResultNoMemory;

    // The compressed bytes, bounded by the file.
    if (offset >= stream.size) return ResultReadError;
    uint64_t available = stream.size - offset;
    uint64_t size = byteCount;
    if (size == 0) size = c == CompressionNone ? needed : std::min<uint64_t>(available, needed * 4 + 65536);
    if (c == CompressionNone) size = std::min<uint64_t>(size, needed);
    const bool cut = size > available;
    size = std::min(size, available);
    if (size > MaxChunkBytes) return ResultNoMemory;
    try {
        d.compressed.resize(size);
        d.decoded.assign(needed, 0);
    } catch (const std::bad_alloc&) {
        return ResultNoMemory;
    }
    if (!streamSeek(d.stream, offset) || !streamReadExact(d.stream, d.compressed.data(), size)) return ResultReadError;
    std::span<uint8_t> in(d.compressed);
    std::span<uint8_t> dst(d.decoded);
    if (info.fillOrder == 2 && c != CompressionDeflate && c != CompressionDeflateOld && c != CompressionJpeg &&
        !isCcitt(c))
        reverseBits(in);

    int result = 0;
    switch (c) {
    case CompressionNone:
        std::memcpy(dst.data(), in.data(), std::min(in.size(), dst.size()));
        result = in.size() < dst.size() ? 4 : 0;
        break;
    case CompressionPackBits: result = decodePackBits(in, dst); break;
    case CompressionLzw: result = decodeLzw(in, dst); break;
    case CompressionDeflate: case CompressionDeflateOld: result = decodeDeflate(in, dst); break;
    case CompressionModifiedHuffman: case CompressionGroup3: case CompressionGroup4: {
        if (info.fillOrder == 2) reverseBits(in);
        result = decodeCcitt(in, dst, {c, info.t4Options, width, rows});
        break;
    }
    case CompressionJpeg:
        result = decodeJpegStrip(in, dst, {d.tables, info.photometric, samples, width, rows});
        break;
    case CompressionSgiLog: case CompressionSgiLog24:
        result = decodeSgiLog(in, dst, width, rows, d.layout.kind == Kind::LogLuv, c == CompressionSgiLog24);
        break;
    case CompressionThunderScan: result = decodeThunderScan(in, dst, width, rows); break;
    default: result = 9; break;
    }
    if (result == 0 && cut) result = 4;
    d.rowsWithData = rows;
    if (c == CompressionNone && in.size() < dst.size() && !ycbcr && fileRowBytes > 0)
        d.rowsWithData = static_cast<uint32_t>(std::min<size_t>(rows, (in.size() + fileRowBytes - 1) / fileRowBytes));

    if (info.predictor != 1 && (c == CompressionLzw || c == CompressionDeflate || c == CompressionDeflateOld) &&
        (shape.bits == 8 || shape.bits == 16)) {
        for (uint32_t y = 0; y < rows; y++)
            undoPredictor(d.decoded.data() + y * fileRowBytes, width, samples, shape.bits, info.bigEndian);
    }
    out = d.decoded.data();
    rowBytes = fileRowBytes;
    if (ycbcr && c != CompressionJpeg) {
        try {
            d.converted.assign(static_cast<size_t>(width) * rows * 3, 0);
        } catch (const std::bad_alloc&) {
            return ResultNoMemory;
        }
        ycbcrToRgb(d.decoded, d.converted, width, rows, yp);
        out = d.converted.data();
        rowBytes = static_cast<size_t>(width) * 3;
        shape = {8, 3};
    }
    return result;
}

// Offsets and byte counts of the strips or tiles.
bool chunkTable(Stream& stream, const TiffInfo& info, const TiffArray& offsets, const TiffArray& counts, size_t total,
                std::vector<uint32_t>& offsetList, std::vector<uint32_t>& countList)
{
    if (!readArray(stream, info, offsets, offsetList, total)) return false;
    if (!readArray(stream, info, counts, countList, total)) countList.clear();
    countList.resize(offsetList.size(), 0);
    stream.failed = false;
    return true;
}

int failureMessage(ReaderContext& context, int code)
{
    if (code == ResultBadHeader) return readerFail(context, ResultBadHeader, "TIFF : Bad LZW codes !");
    if (code == ResultCorrupt) return readerFail(context, ResultCorrupt, "TIFF : Corrupt picture data !");
    if (code == ResultNoMemory) return readerFail(context, ResultNoMemory, "TIFF : Strip or tile too large !");
    return code;
}

int deliverStrips(Decoder& d, ImageHeader& header)
{
    const TiffInfo& info = d.info;
    const Layout& l = d.layout;
    const uint32_t height = info.height;
    const uint32_t rowsPerStrip = info.rowsPerStrip == 0 || info.rowsPerStrip > height ? height : info.rowsPerStrip;
    const size_t stripsPerPlane = (height + rowsPerStrip - 1) / rowsPerStrip;
    const int filePlanes = l.planar ? l.samples : 1;
    std::vector<uint32_t> offsets, counts;
    if (!chunkTable(d.stream, info, info.stripOffsets, info.stripByteCounts, stripsPerPlane * filePlanes, offsets,
                    counts))
        return ResultReadError;
    const int planesWanted = l.planePasses ? l.delivered : 1;
    const int samplesInChunk = l.planar ? 1 : l.samples;
    for (int plane = 0; plane < planesWanted; plane++) {
        for (size_t s = 0; s < stripsPerPlane; s++) {
            const size_t index = plane * stripsPerPlane + s;
            if (index >= offsets.size()) return ResultReadError;
            const uint32_t first = static_cast<uint32_t>(s * rowsPerStrip);
            const uint32_t rows = std::min(rowsPerStrip, height - first);
            const uint8_t* data = nullptr;
            RowShape shape;
            size_t rowBytes = 0;
            const int result = decodeChunk(d, offsets[index], counts[index], info.width, rows, samplesInChunk, data,
                                           shape, rowBytes);
            // Rows decoded before a failure still count.
            for (uint32_t y = 0; y < std::min(rows, d.rowsWithData) && data; y++) {
                repackRow(l, shape, data + y * rowBytes, header.rowBuffer, info.width, info.bigEndian);
                const int put = putRows(d.context, plane, static_cast<int>(first + y), 1);
                if (put != 0) return put;
            }
            if (result != 0) return result;
        }
    }
    return ResultOk;
}

int deliverTiles(Decoder& d, ImageHeader& header)
{
    const TiffInfo& info = d.info;
    const Layout& l = d.layout;
    const uint32_t tw = info.tileWidth, tl = info.tileLength;
    const size_t across = (info.width + tw - 1) / tw;
    const size_t down = (info.height + tl - 1) / tl;
    const size_t perPlane = across * down;
    const int filePlanes = l.planar ? l.samples : 1;
    std::vector<uint32_t> offsets, counts;
    // Early tiled files list their tiles in the strip tags.
    const bool stripTags = !info.tileOffsets.present;
    if (!chunkTable(d.stream, info, stripTags ? info.stripOffsets : info.tileOffsets,
                    stripTags ? info.stripByteCounts : info.tileByteCounts, perPlane * filePlanes, offsets, counts))
        return ResultReadError;
    const int planesWanted = l.planePasses ? l.delivered : 1;
    const int samplesInChunk = l.planar ? 1 : l.samples;
    for (int plane = 0; plane < planesWanted; plane++) {
        for (size_t t = 0; t < perPlane; t++) {
            const size_t index = plane * perPlane + t;
            if (index >= offsets.size()) return ResultReadError;
            const uint32_t x0 = static_cast<uint32_t>((t % across) * tw);
            const uint32_t y0 = static_cast<uint32_t>((t / across) * tl);
            const uint8_t* data = nullptr;
            RowShape shape;
            size_t rowBytes = 0;
            const int result = decodeChunk(d, offsets[index], counts[index], tw, tl, samplesInChunk, data, shape,
                                           rowBytes);
            const uint32_t w = std::min(tw, info.width - x0);
            const uint32_t rows = std::min(tl, info.height - y0);
            for (uint32_t y = 0; y < std::min(rows, d.rowsWithData) && data; y++) {
                repackRow(l, shape, data + y * rowBytes, header.rowBuffer, w, info.bigEndian);
                const int put = putRowPart(d.context, plane, static_cast<int>(y0 + y), 1, static_cast<int>(x0),
                                           static_cast<int>(w));
                if (put != 0) return put;
            }
            if (result != 0) return result;
        }
    }
    return ResultOk;
}

// How one plane of a planar YCbCr file is cut into chunks: strips are
// chunks as wide as the plane.
struct PlaneGrid {
    uint32_t width = 0, height = 0;          // of the plane
    uint32_t chunkWidth = 0, chunkRows = 0;  // of a full chunk in this plane
    size_t across = 1, down = 1;
    bool tiles = false;  // tiles are stored whole; strips end at the plane's bottom
};

// Decodes the chunks of one plane into `plane`, cut at its edges. A missing
// or damaged chunk ends the plane with its code; what came before stays.
int decodePlane(Decoder& d, const PlaneGrid& g, const std::vector<uint32_t>& offsets,
                const std::vector<uint32_t>& counts, size_t firstChunk, std::vector<uint8_t>& plane)
{
    for (size_t t = 0; t < g.across * g.down; t++) {
        const uint32_t x0 = static_cast<uint32_t>((t % g.across) * g.chunkWidth);
        const uint32_t y0 = static_cast<uint32_t>((t / g.across) * g.chunkRows);
        if (x0 >= g.width || y0 >= g.height) continue;
        const size_t index = firstChunk + t;
        if (index >= offsets.size()) return ResultReadError;
        const uint32_t w = std::min(g.chunkWidth, g.width - x0);
        const uint32_t rows = std::min(g.chunkRows, g.height - y0);
        const uint8_t* data = nullptr;
        RowShape shape;
        size_t rowBytes = 0;
        const int result = decodeChunk(d, offsets[index], counts[index], g.chunkWidth, g.tiles ? g.chunkRows : rows,
                                       1, data, shape, rowBytes);
        for (uint32_t y = 0; y < std::min(rows, d.rowsWithData) && data; y++)
            std::memcpy(&plane[static_cast<size_t>(y0 + y) * g.width + x0], data + y * rowBytes, w);
        if (result != 0) return result;
    }
    return ResultOk;
}

// YCbCr in three planes: luma at full size, the chroma planes subsampled,
// in strips or in tiles (a chroma tile covers the same part of the picture
// as a luma tile, so it is the luma tile's size divided by the subsampling).
// The planes are decoded whole, then joined row by row; chroma that cannot
// be read stays neutral, so the rows decoded before a failure still count.
int deliverPlanarYCbCr(Decoder& d, ImageHeader& header)
{
    const TiffInfo& info = d.info;
    const YCbCrParams yp = ycbcrParams(info);
    const uint32_t width = info.width, height = info.height;
    PlaneGrid grids[3];
    grids[0] = {width, height, width, 0, 1, 1, info.tiled()};
    if (info.tiled()) {
        grids[0].chunkWidth = info.tileWidth;
        grids[0].chunkRows = info.tileLength;
        grids[0].across = (width + info.tileWidth - 1) / info.tileWidth;
    } else {
        grids[0].chunkRows = info.rowsPerStrip == 0 || info.rowsPerStrip > height ? height : info.rowsPerStrip;
    }
    grids[0].down = (height + grids[0].chunkRows - 1) / grids[0].chunkRows;
    for (int p = 1; p < 3; p++) {
        grids[p] = grids[0];
        grids[p].width = (width + yp.h - 1) / yp.h;
        grids[p].height = (height + yp.v - 1) / yp.v;
        grids[p].chunkWidth = info.tiled() ? (grids[0].chunkWidth + yp.h - 1) / yp.h : grids[p].width;
        grids[p].chunkRows = (grids[0].chunkRows + yp.v - 1) / yp.v;
    }
    const size_t perPlane = grids[0].across * grids[0].down;
    // Early tiled files list their tiles in the strip tags.
    const bool stripTags = !info.tiled() || !info.tileOffsets.present;
    std::vector<uint32_t> offsets, counts;
    if (!chunkTable(d.stream, info, stripTags ? info.stripOffsets : info.tileOffsets,
                    stripTags ? info.stripByteCounts : info.tileByteCounts, perPlane * 3, offsets, counts))
        return ResultReadError;
    std::vector<uint8_t> planes[3];
    int result = 0;
    for (int p = 0; p < 3; p++) {
        const size_t bytes = static_cast<size_t>(grids[p].width) * grids[p].height;
        if (bytes > MaxChunkBytes) return ResultNoMemory;
        try {
            planes[p].assign(bytes, p == 0 ? 0 : 128);
        } catch (const std::bad_alloc&) {
            return ResultNoMemory;
        }
        if (result == 0) result = decodePlane(d, grids[p], offsets, counts, p * perPlane, planes[p]);
    }
    for (uint32_t y = 0; y < height; y++) {
        const uint8_t* luma = &planes[0][static_cast<size_t>(y) * width];
        const size_t chromaRow = static_cast<size_t>(y / yp.v) * grids[1].width;
        for (uint32_t x = 0; x < width; x++)
            ycbcrPixel(luma[x], planes[1][chromaRow + x / yp.h], planes[2][chromaRow + x / yp.h], yp,
                       header.rowBuffer + 3 * x);
        const int put = putRows(d.context, 0, static_cast<int>(y), 1);
        if (put != 0) return put;
    }
    return result;
}

// Old-style JPEG: one JPEG frame put together from the file's pieces
// (old_jpeg.cpp). YCbCr goes through the TIFF conversion with
// ReferenceBlackWhite, the chroma repeated over its block, as libtiff decodes
// these files; tiled files hold their tiles one below the other in the frame.
int readOldJpeg(Stream& stream, ReaderContext& context, const TiffInfo& info, uint32_t pages)
{
    OldJpegStream assembled;
    const int built = assembleOldJpeg(stream, info, assembled);
    if (built == ResultNoMemory) return failureMessage(context, built);
    if (built != 0) return readerFail(context, ResultCorrupt, "TIFF : Bad JPEG data !");
    const bool ycbcr = info.photometric == PhotometricYCbCr && assembled.components == 3;
    uint32_t frameWidth = 0, frameHeight = 0;
    int components = 0;
    JpegSession* session = jpegSessionOpen(assembled.bytes, ycbcr, frameWidth, frameHeight, components);
    if (!session) return readerFail(context, ResultCorrupt, "TIFF : Bad JPEG data !");
    const bool tiled = info.tiled();
    if (tiled && frameWidth != info.tileWidth) {
        jpegSessionClose(session);
        return readerFail(context, ResultCorrupt, "TIFF : Bad JPEG data !");
    }
    context.imageCount = pages;
    ImageHeader header;
    imageHeaderDefaults(header);
    std::strcpy(header.description, "TIFF (jpeg)");
    header.width = static_cast<int32_t>(std::min<uint32_t>(info.width, 0x7FFFFFFF));
    header.height = static_cast<int32_t>(std::min<uint32_t>(info.height, 0x7FFFFFFF));
    header.bitsPerPlane = static_cast<int16_t>(8 * components);
    header.bytesPerPlane = info.width * components;
    header.compression = 255;
    std::strcpy(header.compressionText, "Jpeg Old Style");
    if (components == 4) {
        header.sampleFlags = info.photometric == PhotometricSeparated ? SampleCmykInk : SampleCmykInverted;
        header.colourModel = 3;
    }
    if (ycbcr) header.colourModel = 4;
    if (tiled) header.sampleFlags |= SampleFullPictureRaw;
    header.dpiX = dpiOf(info.xResolution, info.resolutionUnit);
    header.dpiY = dpiOf(info.yResolution, info.resolutionUnit);
    header.fileOrigin = originOf(info.orientation);
    int result = beginImage(context, header);
    if (result != 0) {
        jpegSessionClose(session);
        return result;
    }
    YCbCrTables tables;
    if (ycbcr) ycbcrTablesInit(tables, info);
    std::vector<uint8_t> decoded(static_cast<size_t>(frameWidth) * components);
    const uint32_t across = tiled ? (info.width + info.tileWidth - 1) / info.tileWidth : 1;
    int rows = 0;
    uint32_t delivered = 0;
    for (uint32_t y = 0; y < frameHeight && rows == 0; y++) {
        // Where this frame row belongs in the picture.
        uint32_t row = y, x = 0;
        if (tiled) {
            const uint32_t tile = y / info.tileLength;
            row = tile / across * info.tileLength + y % info.tileLength;
            x = tile % across * info.tileWidth;
        }
        if (!tiled && row >= info.height) break;
        rows = jpegSessionReadRow(session, decoded.data());
        if (rows != 0) break;
        if (row >= info.height || x >= info.width) continue;  // padding of an edge tile
        const uint32_t w = std::min(frameWidth, info.width - x);
        if (ycbcr) ycbcrTablesConvert(tables, decoded.data(), header.rowBuffer, w);
        else std::memcpy(header.rowBuffer, decoded.data(), static_cast<size_t>(w) * components);
        rows = tiled ? putRowPart(context, 0, static_cast<int>(row), 1, static_cast<int>(x), static_cast<int>(w))
                     : putRows(context, 0, static_cast<int>(row), 1);
        delivered++;
    }
    jpegSessionClose(session);
    if (rows == 15) return rows;
    // A frame smaller than the picture leaves rows without data.
    if (rows == 0 && ((!tiled && delivered < info.height) || assembled.cut)) rows = ResultReadError;
    const int end = info.photometric == WhiteIsZero && components == 1 ? endImage(context, PaletteGrey, 0, nullptr)
                                                                        : endImage(context, 0, 0, nullptr);
    return rows != 0 ? failureMessage(context, rows) : end;
}

// The colour map as three planes of big-endian 16-bit values.
bool readColourMap(Stream& stream, const TiffInfo& info, int bits, std::vector<uint8_t>& palette)
{
    const size_t entries = size_t{1} << bits;
    std::vector<uint32_t> values;
    if (!readArray(stream, info, info.colorMap, values, 3 * entries) || values.size() < 3 * entries) return false;
    palette.resize(values.size() * 2);
    for (size_t i = 0; i < values.size(); i++) {
        palette[2 * i] = static_cast<uint8_t>(values[i] >> 8);
        palette[2 * i + 1] = static_cast<uint8_t>(values[i]);
    }
    return true;
}

}  // namespace
}  // namespace tiff

int readTiff(Stream& stream, ReaderContext& context)
{
    using namespace tiff;
    TiffInfo info;
    uint32_t pages = 0;
    int result = readDirectory(stream, context, info, pages);
    if (result != 0) return result;
    context.imageCount = pages;

    if (!knownCompression(info)) return refuse(context, "TIFF : Bad data compression algorithm !");
    if (!knownPhotometric(info.photometric)) return refuse(context, "TIFF : Bad photometric interpretation !");
    if (info.width == 0 || info.height == 0) return refuse(context, "TIFF : Bad picture's size !");

    readTextsAndMetadata(stream, context, info);
    const uint32_t dpiX = dpiOf(info.xResolution, info.resolutionUnit);
    const uint32_t dpiY = dpiOf(info.yResolution, info.resolutionUnit);
    if (info.xPosition.present && info.yPosition.present && info.xPosition.denominator && info.yPosition.denominator &&
        info.xResolution.present && info.yResolution.present && info.xResolution.denominator &&
        info.yResolution.denominator && (info.resolutionUnit == 2 || info.resolutionUnit == 3)) {
        const double xres = static_cast<double>(info.xResolution.numerator) / info.xResolution.denominator;
        const double yres = static_cast<double>(info.yResolution.numerator) / info.yResolution.denominator;
        const double xpos = static_cast<double>(info.xPosition.numerator) / info.xPosition.denominator;
        const double ypos = static_cast<double>(info.yPosition.numerator) / info.yPosition.denominator;
        context.readerValues[0] = static_cast<uint32_t>(std::min(xres * xpos, 4e9));
        context.readerValues[1] = static_cast<uint32_t>(std::min(yres * ypos, 4e9));
    }
    if (info.compression == CompressionOldJpeg) return readOldJpeg(stream, context, info, pages);

    Layout layout;
    result = chooseLayout(context, info, layout);
    if (result != 0) return result;
    if (info.compression == CompressionJpeg && layout.bits != 8)
        return refuse(context, "TIFF : Bad bits per sample !");
    if (isCcitt(info.compression) && (layout.bits != 1 || layout.samples != 1))
        return refuse(context, "TIFF : Bad bits per sample !");
    if (info.tiled() && (info.tileWidth > 65536 || info.tileLength > 65536))
        return refuse(context, "TIFF : Bad tile size !");

    ImageHeader header;
    imageHeaderDefaults(header);
    std::strcpy(header.description, info.tiled() ? "TIFF (Tiled)" : "TIFF");
    describeCompression(info, header);
    header.width = static_cast<int32_t>(std::min<uint32_t>(info.width, 0x7FFFFFFF));
    header.height = static_cast<int32_t>(std::min<uint32_t>(info.height, 0x7FFFFFFF));
    header.dpiX = dpiX;
    header.dpiY = dpiY;
    header.fileOrigin = originOf(info.orientation);
    header.fullBits = static_cast<uint16_t>(layout.bits);
    header.bytesPerPlane = layout.rowBytes;
    if (layout.kind == Kind::Grey || layout.kind == Kind::Palette) {
        header.bitsPerPlane = static_cast<int16_t>(layout.repack == Repack::EightBit ? 8 : layout.bits);
        if (layout.repack == Repack::ByteIndex) header.sampleFlags |= SampleBytePerPixel;
    } else if (layout.planePasses) {
        header.planes = static_cast<int16_t>(layout.delivered);
        header.bitsPerPlane = 8;
        header.sampleFlags |= SamplePlanePasses;
    } else {
        header.bitsPerPlane = static_cast<int16_t>(8 * layout.delivered);
    }
    switch (info.photometric) {
    case PhotometricSeparated: header.colourModel = 3; header.sampleFlags |= SampleCmykInk; break;
    case PhotometricYCbCr: header.colourModel = 4; break;
    case PhotometricCieLab: header.colourModel = 6; header.sampleFlags |= SampleLabSigned; break;
    case PhotometricLogLuv: header.colourModel = 7; break;
    case PhotometricLogL: header.colourModel = 8; break;
    default: break;
    }
    if (info.tiled()) header.sampleFlags |= SampleFullPictureRaw;

    std::vector<uint8_t> palette;
    const bool usePalette = layout.kind == Kind::Palette && readColourMap(stream, info, layout.bits, palette);
    Decoder decoder{stream, context, info, layout, {}, {}, {}, {}, 0};
    if (info.compression == CompressionJpeg && info.jpegTables.present()) readBlock(stream, info.jpegTables, decoder.tables);
    stream.failed = false;

    result = beginImage(context, header);
    if (result != 0) return result;

    const int rows = layout.kind == Kind::YCbCr && layout.planar ? deliverPlanarYCbCr(decoder, header)
                     : info.tiled()                               ? deliverTiles(decoder, header)
                                                                  : deliverStrips(decoder, header);
    if (rows == 15) return rows;
    int end;
    if (usePalette) end = endImage(context, PalettePlanes, 16, palette.data());
    else if (layout.kind == Kind::Grey && info.photometric == WhiteIsZero) end = endImage(context, PaletteGrey, 0, nullptr);
    else end = endImage(context, 0, 0, nullptr);
    return rows != 0 ? failureMessage(context, rows) : end;
}

}  // namespace fotrix
