// Portable bitmap, greymap and pixmap reader (P1-P6, plain text and binary,
// 8- and 16-bit samples) and XV thumbnails (P7 332). One reader serves the
// pbm, pgm, ppm and pnm rows of the format table; the magic number tells the
// kinds apart. Samples are scaled to 8 bits by the file's maximum value.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/readers/buffered_input.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int MaxSide = 16000;
// Binary rows are read in blocks of about this size: larger than the input's
// buffers, so that the bulk of the pixels is read straight to its place.
constexpr size_t BytesPerCall = 1 << 18;

enum class PnmKind { Bitmap, Greymap, Pixmap, Thumbnail };

struct PnmType {
    PnmKind kind;
    bool text;
    int bits;
    const char* description;
};

constexpr PnmType Types[7] = {
    {PnmKind::Bitmap, true, 1, "Portable Bitmap (Type 1 - ASCII)"},
    {PnmKind::Greymap, true, 8, "Portable Graymap (Type 2 - ASCII)"},
    {PnmKind::Pixmap, true, 24, "Portable Pixmap (Type 3 - ASCII)"},
    {PnmKind::Bitmap, false, 1, "Portable Bitmap (Type 4 - Binary)"},
    {PnmKind::Greymap, false, 8, "Portable Graymap (Type 5 - Binary)"},
    {PnmKind::Pixmap, false, 24, "Portable Pixmap (Type 6 - Binary)"},
    {PnmKind::Thumbnail, false, 8, "XV visual schnauzer"},
};

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

void skipLine(BufferedInput& input)
{
    for (int c = input.next(); c >= 0 && c != '\n' && c != '\r'; c = input.next()) {}
}

// The next byte that is not blank and not part of a comment, or -1.
int nextSignificant(BufferedInput& input)
{
    for (;;) {
        const int c = input.next();
        if (c == '#')
            skipLine(input);
        else if (c < 0 || !isBlank(c))
            return c;
    }
}

// Reads a decimal number: 0, 2 when something else stands where it must
// start, 4 at the end of the file. The character after the digits is consumed
// (in binary files it is the one blank that separates header and data).
int readNumber(BufferedInput& input, uint32_t& value)
{
    int c = nextSignificant(input);
    if (c < 0) return LoadReadError;
    if (!isDigit(c)) return LoadUnknownFormat;
    uint64_t v = 0;
    for (; isDigit(c); c = input.next()) v = std::min<uint64_t>(v * 10 + static_cast<uint64_t>(c - '0'), 1u << 31);
    if (c == '#') skipLine(input);
    value = static_cast<uint32_t>(v);
    return LoadOk;
}

// Sample scaling to 8 bits by the maximum value; values above it count as it.
uint8_t scaleSample(uint32_t v, uint32_t maxValue)
{
    v = std::min(v, maxValue);
    if (maxValue == 255) return static_cast<uint8_t>(v);
    if (maxValue == 65535) return static_cast<uint8_t>(v >> 8);
    return static_cast<uint8_t>(v * 255 / maxValue);
}

struct RowJob {
    BufferedInput& input;
    ReaderContext& context;
    const ImageHeader& header;
    PnmType type;
    uint32_t maxValue;
    size_t samplesPerRow;  // bytes handed over per row
};

// Plain text rows, one per call. Bitmap samples are single characters "0" and
// "1" that need not be separated; other samples are decimal numbers.
int readTextRows(RowJob& job)
{
    uint8_t* row = job.header.rowBuffer;
    for (int y = 0; y < job.header.height; ++y) {
        int result = LoadOk;
        size_t x = 0;
        for (; x < job.samplesPerRow && result == LoadOk; ++x) {
            if (job.type.kind == PnmKind::Bitmap) {
                const int c = nextSignificant(job.input);
                if (c < 0) result = LoadReadError;
                else if (c != '0' && c != '1') result = LoadCorrupt;
                else row[x] = static_cast<uint8_t>(c - '0');
                continue;
            }
            uint32_t v = 0;
            result = readNumber(job.input, v);
            if (result == LoadUnknownFormat) result = LoadCorrupt;  // the header is long accepted
            if (result == LoadOk) row[x] = scaleSample(v, job.maxValue);
        }
        if (result != LoadOk) {
            // Hand over the part of the row that was read.
            const size_t done = x - 1;
            if (done > 0) {
                std::memset(row + done, 0, job.samplesPerRow - done);
                const int put = putRows(job.context, 0, y, 1);
                if (put != 0) return put;
            }
            return result;
        }
        const int put = putRows(job.context, 0, y, 1);
        if (put != 0) return put;
    }
    return LoadOk;
}

// Reads `count` binary rows to `rows`; returns how many file bytes there
// were. When the rows lie back to back as in the file, one read fills them all.
size_t readRowBlock(RowJob& job, uint8_t* rows, int count, size_t fileRowBytes, std::vector<uint8_t>& wideRow)
{
    const ImageHeader& header = job.header;
    const bool wide = job.maxValue > 255;
    if (!wide && header.rowStride == fileRowBytes)
        return job.input.read(rows, static_cast<size_t>(count) * fileRowBytes);
    size_t total = 0;
    for (int i = 0; i < count; ++i) {
        uint8_t* row = rows + static_cast<size_t>(i) * header.rowStride;
        const size_t got = job.input.read(wide ? wideRow.data() : row, fileRowBytes);
        if (wide)
            for (size_t s = 0; 2 * s + 1 < got; ++s)
                row[s] = scaleSample(static_cast<uint32_t>(wideRow[2 * s] << 8 | wideRow[2 * s + 1]), job.maxValue);
        total += got;
        if (got < fileRowBytes) break;
    }
    return total;
}

// Binary rows, many per call. A short file keeps its complete rows and the
// part of the last one, the rest of that row black.
int readBinaryRows(RowJob& job, size_t rowBytes)
{
    const ImageHeader& header = job.header;
    const bool wide = job.maxValue > 255;
    const size_t fileRowBytes = wide ? job.samplesPerRow * 2 : rowBytes;
    std::vector<uint8_t> wideRow(wide ? fileRowBytes : 0);
    uint8_t table[256];
    const bool scale = !wide && job.type.kind != PnmKind::Bitmap && job.maxValue != 255;
    for (uint32_t v = 0; v < 256 && scale; ++v) table[v] = scaleSample(v, job.maxValue);

    for (int y = 0; y < header.height; y += header.rowsPerCall) {
        const int count = std::min<int>(header.rowsPerCall, header.height - y);
        uint8_t* destination = rowDestination(job.context, y, count);
        const size_t got = readRowBlock(job, destination, count, fileRowBytes, wideRow);
        const int rows = static_cast<int>((got + fileRowBytes - 1) / fileRowBytes);
        for (int i = 0; i < rows; ++i) {
            uint8_t* row = destination + static_cast<size_t>(i) * header.rowStride;
            const size_t have = std::min(fileRowBytes, got - static_cast<size_t>(i) * fileRowBytes);
            const size_t haveSamples = wide ? have / 2 : have;
            if (haveSamples < rowBytes) std::memset(row + haveSamples, 0, rowBytes - haveSamples);
            if (scale)
                for (size_t s = 0; s < haveSamples; ++s) row[s] = table[row[s]];
        }
        if (rows < count || got < static_cast<size_t>(count) * fileRowBytes) {
            const int put = rows > 0 ? putRows(job.context, 0, y, rows) : 0;
            return put != 0 ? put : LoadReadError;
        }
        const int put = putRows(job.context, 0, y, count);
        if (put != 0) return put;
    }
    return LoadOk;
}

// XV thumbnails hold 3-3-2 colour bytes: red in the top three bits.
void thumbnailPalette(uint8_t* rgb)
{
    for (int v = 0; v < 256; ++v) {
        rgb[3 * v] = static_cast<uint8_t>((v >> 5) * 255 / 7);
        rgb[3 * v + 1] = static_cast<uint8_t>((v >> 2 & 7) * 255 / 7);
        rgb[3 * v + 2] = static_cast<uint8_t>((v & 3) * 255 / 3);
    }
}

}  // namespace

int readPnm(Stream& stream, ReaderContext& context)
{
    BufferedInput input(stream);
    const int p = input.next();
    const int digit = input.next();
    if (p != 'P' || digit < '1' || digit > '7') return LoadUnknownFormat;
    const PnmType type = Types[digit - '1'];

    uint32_t width = 0, height = 0, maxValue = 255, ignored = 0;
    int result = LoadOk;
    if (type.kind == PnmKind::Thumbnail) result = readNumber(input, ignored);
    if (result == LoadOk) result = readNumber(input, width);
    if (result == LoadOk) result = readNumber(input, height);
    if (result == LoadOk && type.kind != PnmKind::Bitmap) result = readNumber(input, maxValue);
    if (result != LoadOk) return result;
    if (width < 1 || width >= MaxSide || height < 1 || height >= MaxSide)
        return readerFail(context, LoadBadData, "Portable Bitmap : Bad picture's size !");
    // A maximum of 0 would divide by zero; above 65535 the samples have no defined size.
    if (maxValue < 1 || maxValue > 65535)
        return readerFail(context, LoadBadData, "Portable Bitmap : Bad maximum value !");

    const size_t samplesPerRow = static_cast<size_t>(width) * (type.kind == PnmKind::Pixmap ? 3 : 1);
    const bool packedBits = type.kind == PnmKind::Bitmap && !type.text;
    const size_t rowBytes = packedBits ? (static_cast<size_t>(width) + 7) / 8 : samplesPerRow;

    ImageHeader header;
    imageHeaderDefaults(header);
    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);
    header.planes = 1;
    header.bitsPerPlane = static_cast<int16_t>(type.bits);
    header.bytesPerPlane = static_cast<uint32_t>(rowBytes);
    if (type.kind == PnmKind::Bitmap && type.text) header.sampleFlags = SampleBytePerPixel;
    header.rowsPerCall = type.text ? 1 : static_cast<int16_t>(std::clamp<size_t>(BytesPerCall / rowBytes, 1, height));
    std::strcpy(header.description, type.description);
    header.rowsInOrder = true;

    const int begun = beginImage(context, header);
    if (begun != 0) return begun;

    RowJob job{input, context, header, type, maxValue, type.kind == PnmKind::Bitmap && !type.text ? rowBytes : samplesPerRow};
    result = type.text ? readTextRows(job) : readBinaryRows(job, rowBytes);
    if (result == LoadCancelled) return result;

    int ended;
    if (type.kind == PnmKind::Bitmap) {
        ended = endImage(context, PaletteGrey, 1, nullptr);
    } else if (type.kind == PnmKind::Thumbnail) {
        uint8_t palette[768];
        thumbnailPalette(palette);
        ended = endImage(context, PaletteRgb, 8, palette);
    } else {
        ended = endImage(context, 0, 0, nullptr);
    }
    return ended != 0 ? ended : result;
}

}  // namespace fotrix
