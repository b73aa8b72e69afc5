// Windows and OS/2 device-independent bitmaps ("bmp" and the Pocket PC
// "2bp" files): 1, 2, 4 and 8 bits with a palette, 4- and 8-bit run-length
// compression, 15/16/24/32-bit true colour with or without bit-field masks,
// and the DXT1/DXT3 block-compressed textures some devices store in a BMP
// container. All fields are little-endian.
#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/reader.h"
#include "imagelib/readers/readers.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionRle8 = 1;
constexpr uint32_t CompressionRle4 = 2;
constexpr uint32_t CompressionBitFields = 3;
constexpr uint32_t CompressionDxt1 = 0x31545844;  // "DXT1"
constexpr uint32_t CompressionDxt3 = 0x33545844;  // "DXT3"

constexpr int MaxSide = 32000;
constexpr uint64_t DxtDataOffset = 74;
constexpr char SizeMessage[] = "Windows Bitmap : Bad picture's size !";

// The file header and the information header, as far as the reader uses them.
struct BmpFile {
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t pixelsPerMetreX = 0;
    uint32_t pixelsPerMetreY = 0;
    uint32_t coloursUsed = 0;
    bool os2 = false;
    int bpp = 0;
    uint64_t afterHeader = 0;  // where the masks (or the palette) may start
};

// Bits a pixel over all planes; absurd products stay absurd without overflowing.
int bitsOf(uint16_t planes, uint16_t bitCount)
{
    return static_cast<int>(std::min<int64_t>(int64_t{planes} * bitCount, 1 << 20));
}

// Reads the two headers: 0, 2 when the file is not a bitmap, 4 when it ends early.
int parseHeaders(Stream& stream, BmpFile& file)
{
    uint8_t head[18];
    if (!streamReadExact(stream, head, 2)) return ResultReadError;
    if (head[0] != 'B' || head[1] != 'M') return ResultUnknownFormat;
    if (!streamReadExact(stream, head + 2, 16)) return ResultReadError;
    ByteReader fields(head);
    file.dataOffset = fields.u32At(10);
    file.headerSize = fields.u32At(14);
    if (file.headerSize != 12 && file.headerSize < 40) return ResultUnknownFormat;

    uint8_t info[36];
    ByteReader core(info);
    if (file.headerSize == 12) {
        // OS/2 1.x: 16-bit width and height (unsigned), planes and bit count.
        if (!streamReadExact(stream, info, 8)) return ResultReadError;
        file.os2 = true;
        file.width = core.u16At(0);
        file.height = core.u16At(2);
        file.planes = core.u16At(4);
        file.bitCount = core.u16At(6);
        file.bpp = bitsOf(file.planes, file.bitCount);
        file.afterHeader = 26;
        return ResultOk;
    }
    if (!streamReadExact(stream, info, 36)) return ResultReadError;
    file.width = static_cast<int32_t>(core.u32At(0));
    file.height = static_cast<int32_t>(core.u32At(4));
    file.planes = core.u16At(8);
    file.bitCount = core.u16At(10);
    file.compression = core.u32At(12);
    file.pixelsPerMetreX = core.u32At(20);
    file.pixelsPerMetreY = core.u32At(24);
    file.coloursUsed = core.u32At(28);
    file.bpp = bitsOf(file.planes, file.bitCount);
    file.afterHeader = 54;
    // Headers of 56 bytes and more carry the masks of true-colour files
    // right after the first 40 bytes; otherwise the rest is skipped.
    if (file.headerSize != 40 && (file.headerSize < 56 || file.bpp < 15)) {
        file.afterHeader = 14 + uint64_t{file.headerSize};
        if (!streamSeek(stream, file.afterHeader)) return ResultReadError;
    }
    switch (file.compression) {
    case CompressionNone:
    case CompressionRle8:
    case CompressionRle4:
    case CompressionBitFields:
    case CompressionDxt1:
    case CompressionDxt3: return ResultOk;
    default: return ResultUnknownFormat;
    }
}

uint32_t dpiOf(uint32_t pixelsPerMetre)
{
    return pixelsPerMetre ? static_cast<uint32_t>(pixelsPerMetre * 0.025399166666666667 + 0.5) : 0;
}

void copyText(char* target, size_t size, const char* text)
{
    std::strncpy(target, text, size - 1);
    target[size - 1] = '\0';
}

// ---------------------------------------------------------------------------
// Bit-field masks.

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t top = 0;  // largest value of the field, 2^bits - 1
};

Channel channelOf(uint32_t mask, uint32_t bitsConsidered)
{
    Channel c;
    c.mask = mask & bitsConsidered;
    if (!c.mask) return c;
    c.shift = std::countr_zero(c.mask);
    c.top = (uint64_t{1} << std::popcount(c.mask)) - 1;
    return c;
}

// The field scaled to 0..255; a channel without mask gives `absent`.
inline uint8_t channelValue(const Channel& c, uint32_t pixel, uint8_t absent)
{
    if (!c.mask) return absent;
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint8_t>(std::min<uint64_t>(v * 255 / c.top, 255));
}

struct Masks {
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

// The masks of a true-colour file: read after the first 40 header bytes for
// bit-field files when there is room for them, else the defaults of the depth.
bool readMasks(Stream& stream, const BmpFile& file, Masks& masks)
{
    if (file.bpp <= 16) masks = {0xF800, 0x07E0, 0x001F, 0};
    else masks = {0xFF0000, 0xFF00, 0xFF, 0};
    if (file.compression != CompressionBitFields || file.os2) return true;
    // A 52-byte header holds the three masks itself; a 40-byte header is
    // followed by them when the pixel data leaves room.
    const bool room = file.headerSize >= 52 || int64_t{file.dataOffset} >= 54 + 12;
    if (!room) return true;
    uint8_t bytes[16] = {};
    const size_t count = file.headerSize >= 56 ? 16 : 12;
    if (!streamSeek(stream, 54) || !streamReadExact(stream, bytes, count)) return false;
    ByteReader fields(bytes);
    masks.red = fields.u32le();
    masks.green = fields.u32le();
    masks.blue = fields.u32le();
    masks.alpha = fields.u32le();
    return true;
}

// ---------------------------------------------------------------------------
// True colour.

enum class Split { None, To24, To32 };

struct TrueColourLayout {
    uint32_t sampleFlags = 0;
    int fileBytes = 0;      // bytes of a pixel in the file
    Split split = Split::None;
    Channel red, green, blue, alpha;
};

// Chooses how rows are handed over; false for depths the reader does not know.
bool chooseTrueColour(const BmpFile& file, const Masks& masks, TrueColourLayout& layout)
{
    const bool onePlane = file.planes == 1;
    const bool fields = file.compression == CompressionBitFields;
    auto splitBy = [&](Split split, uint32_t considered) {
        layout.split = split;
        layout.red = channelOf(masks.red, considered);
        layout.green = channelOf(masks.green, considered);
        layout.blue = channelOf(masks.blue, considered);
        layout.alpha = channelOf(masks.alpha, considered);
        layout.sampleFlags = split == Split::To24 ? SampleReversed : SampleBgra;
    };
    switch (file.bpp) {
    case 24:
        layout.fileBytes = 3;
        layout.sampleFlags = onePlane ? SampleReversed : SampleReversed | SamplePlanePasses;
        return true;
    case 32:
        layout.fileBytes = 4;
        if (!fields) layout.sampleFlags = onePlane ? SampleBgra : SampleBgra | SamplePlanePasses;
        else if (masks.red == 0xFF0000 && masks.green == 0xFF00 && masks.blue == 0xFF) layout.sampleFlags = SampleBgra;
        else splitBy(Split::To32, 0xFFFFFFFF);
        return true;
    case 15:
    case 16:
        layout.fileBytes = 2;
        if (!fields) layout.sampleFlags = onePlane ? SamplePacked16 : SamplePacked16 | SamplePlanePasses;
        else if (masks.red == 0x7C00 && masks.green == 0x3E0 && masks.blue == 0x1F) layout.sampleFlags = SamplePacked16;
        else if (masks.red == 0xF800 && masks.green == 0x7E0 && masks.blue == 0x1F)
            layout.sampleFlags = onePlane && file.bitCount == 16 ? Sample565 : Sample565 | SamplePlanePasses;
        else splitBy(Split::To24, 0xFFFF);
        return true;
    default: return false;
    }
}

void splitRow(const TrueColourLayout& layout, const uint8_t* from, uint8_t* to, int width)
{
    const size_t fileBytes = layout.split == Split::To24 ? 2 : 4;
    ByteReader pixels(std::span<const uint8_t>(from, fileBytes * static_cast<size_t>(width)));
    if (layout.split == Split::To24) {
        for (int x = 0; x < width; ++x, to += 3) {
            const uint32_t p = pixels.u16le();
            to[0] = channelValue(layout.blue, p, 0);
            to[1] = channelValue(layout.green, p, 0);
            to[2] = channelValue(layout.red, p, 0);
        }
        return;
    }
    for (int x = 0; x < width; ++x, to += 4) {
        const uint32_t p = pixels.u32le();
        to[0] = channelValue(layout.blue, p, 0);
        to[1] = channelValue(layout.green, p, 0);
        to[2] = channelValue(layout.red, p, 0);
        to[3] = channelValue(layout.alpha, p, 255);
    }
}

// Reads the row's `bytes`, after skipping the padding of the row before
// (`padding` is 0 for the first row), so that the last row may lack its padding.
bool readRow(Stream& stream, uint8_t* target, size_t bytes, size_t padding)
{
    uint8_t pad[4];
    return (padding == 0 || streamReadExact(stream, pad, padding)) && streamReadExact(stream, target, bytes);
}

// A bottom-up file whose rows are all there, read for a top-down picture,
// is read from its last row backwards, a block of rows at a time, so that
// the rows reach the pipeline top row first: it then needs no whole picture
// to turn them over, and a conversion holds only a band. Files cut short
// keep the road from the first file row on, so that they keep the rows
// they have.
bool readsTopFirst(const Stream& stream, const ReaderContext& context, const BmpFile& file,
                   const ImageHeader& header, size_t rowBytes, size_t stride)
{
    if (header.fileOrigin != OriginBottom || (context.params.origin & OriginBottom) || header.height < 2) return false;
    const uint64_t end = file.dataOffset + (static_cast<uint64_t>(header.height) - 1) * stride + rowBytes;
    return end <= stream.size;
}

// The rows of an uncompressed bottom-up file, `rowBytes` each at `stride`,
// handed to the pipeline top row first. Each row is handed over from the
// block it was read into, or through `convert` into the pipeline's row
// buffer when the file's pixels need converting first. Returns putRows'
// answer when it stops the load; `readResult` says whether every row was read.
template <typename Convert>
int handRowsTopFirst(Stream& stream, ReaderContext& context, const BmpFile& file, ImageHeader& header,
                     size_t rowBytes, size_t stride, Convert convert, int& readResult)
{
    // Blocks of at least a stream block, so that they are read straight
    // from the file into `block`.
    const int blockRows = std::min<int>(header.height, static_cast<int>(StreamBlockBytes / stride) + 2);
    std::vector<uint8_t> block((static_cast<size_t>(blockRows) - 1) * stride + rowBytes);
    uint8_t* const rowBuffer = header.rowBuffer;
    int result = ResultOk;
    readResult = ResultOk;
    for (int top = 0; top < header.height && result == ResultOk; top += blockRows) {
        const int rows = std::min(blockRows, header.height - top);
        // Picture rows top .. top + rows - 1 are file rows height - top - rows .. height - top - 1.
        const uint64_t offset = file.dataOffset + static_cast<uint64_t>(header.height - top - rows) * stride;
        const size_t bytes = (static_cast<size_t>(rows) - 1) * stride + rowBytes;
        if (!streamSeek(stream, offset) || !streamReadExact(stream, block.data(), bytes)) {
            readResult = ResultReadError;
            break;
        }
        for (int i = 0; i < rows && result == ResultOk; ++i) {
            uint8_t* row = block.data() + static_cast<size_t>(rows - 1 - i) * stride;
            header.rowBuffer = convert(row, rowBuffer) ? rowBuffer : row;
            result = putRows(context, 0, top + i, 1);
        }
    }
    header.rowBuffer = rowBuffer;
    return result;
}

int readTrueColour(Stream& stream, ReaderContext& context, const BmpFile& file, ImageHeader& header)
{
    if (file.compression == CompressionRle8 || file.compression == CompressionRle4)
        return readerFail(context, LoadBadData, "Windows Bitmap : Bad compression !");
    Masks masks;
    if (!readMasks(stream, file, masks)) return ResultReadError;
    TrueColourLayout layout;
    if (!chooseTrueColour(file, masks, layout))
        return readerFail(context, LoadBadData, "Windows Bitmap : Unsupported bit count !");

    const int width = header.width;
    const int deliveredBytes = layout.split == Split::To24 ? 3 : layout.fileBytes;
    if (layout.split != Split::None) {
        header.planes = 1;
        header.bitsPerPlane = static_cast<int16_t>(deliveredBytes * 8);
    }
    header.sampleFlags = layout.sampleFlags;
    header.bytesPerPlane = static_cast<uint32_t>(width) * deliveredBytes;
    header.rowsPerCall = 1;
    const size_t rowBytes = static_cast<size_t>(width) * layout.fileBytes;
    const size_t padding = (4 - rowBytes % 4) % 4;
    const bool topFirst = !(layout.sampleFlags & SamplePlanePasses) &&
                          readsTopFirst(stream, context, file, header, rowBytes, rowBytes + padding);
    // Rows read top row first can flow to a writer as they come.
    header.rowsTopFirst = header.rowsInOrder = topFirst;
    if (int code = beginImage(context, header)) return code;

    if (topFirst) {
        int result = ResultOk;
        const auto split = [&](const uint8_t* row, uint8_t* rowBuffer) {
            if (layout.split == Split::None) return false;
            splitRow(layout, row, rowBuffer, width);
            return true;
        };
        if (int code = handRowsTopFirst(stream, context, file, header, rowBytes, rowBytes + padding, split, result))
            return code;
        endImage(context, 0, 0, nullptr);
        return result;
    }
    std::vector<uint8_t> raw;
    if (layout.split != Split::None) raw.resize(rowBytes);
    int result = streamSeek(stream, file.dataOffset) ? ResultOk : ResultReadError;
    for (int y = 0; y < header.height && result == 0; ++y) {
        uint8_t* target = layout.split == Split::None ? header.rowBuffer : raw.data();
        if (!readRow(stream, target, rowBytes, y > 0 ? padding : 0)) {
            result = ResultReadError;
            break;
        }
        if (layout.split != Split::None) splitRow(layout, raw.data(), header.rowBuffer, width);
        if (int code = putRows(context, 0, -1, 1)) return code;
    }
    endImage(context, 0, 0, nullptr);
    return result;
}

// ---------------------------------------------------------------------------
// Palette pictures.

// Buffered bytes for the run-length decoders.
struct ByteSource {
    Stream& stream;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(16384);
    size_t position = 0, length = 0;

    bool next(uint8_t& byte)
    {
        if (position == length) {
            length = streamRead(stream, buffer.data(), buffer.size());
            position = 0;
            if (length == 0) return false;
        }
        byte = buffer[position++];
        return true;
    }
};

// Run-length decoding of 8-bit (one byte a pixel) or 4-bit (two pixels a
// byte, high nibble first) rows. Rows are delivered by number; rows and
// pixels passed over by a delta or an early end keep index 0. Returns 0, 4
// when the data ends early, or 15 when the load is cancelled.
class RleDecoder {
public:
    RleDecoder(Stream& stream, ReaderContext& context, const ImageHeader& header, bool nibbles)
        : in_{stream}, context_(context), row_(header.rowBuffer), rowBytes_(header.bytesPerPlane),
          width_(header.width), height_(header.height), nibbles_(nibbles)
    {
        std::memset(row_, 0, rowBytes_);
    }

    int run()
    {
        while (y_ < height_) {
            uint8_t count, value;
            if (!in_.next(count) || !in_.next(value)) return ended();
            int code = 0;
            if (count > 0) repeat(count, value);
            else if (value == 0) code = deliver();
            else if (value == 1) return x_ > 0 || y_ < height_ ? deliver() : 0;
            else if (value == 2) code = delta();
            else if (!literal(value)) return ended();
            if (code) return code;
            // A row that never ends is given up after width + 50 pixels.
            if (nibbles_ && x_ > width_ + 50 && (code = deliver())) return code;
        }
        return ResultOk;
    }

private:
    void put(int v)
    {
        if (x_ < width_) {
            if (nibbles_) row_[x_ >> 1] |= static_cast<uint8_t>((v & 15) << ((x_ & 1) ? 0 : 4));
            else row_[x_] = static_cast<uint8_t>(v);
        }
        if (x_ <= width_ + 64) ++x_;  // pixels beyond the row are dropped
    }
    void repeat(int count, uint8_t value)
    {
        for (int i = 0; i < count; ++i) put(nibbles_ ? ((i & 1) ? value & 15 : value >> 4) : value);
    }
    bool literal(int count)
    {
        const int bytes = nibbles_ ? (count + 1) / 2 : count;
        uint8_t b = 0;
        for (int i = 0; i < count; ++i) {
            if (nibbles_ && (i & 1)) {
                put(b & 15);
                continue;
            }
            if (!in_.next(b)) return false;
            put(nibbles_ ? b >> 4 : b);
        }
        return (bytes & 1) == 0 || in_.next(b);  // runs are padded to whole words
    }
    int delta()
    {
        uint8_t dx, dy;
        if (!in_.next(dx) || !in_.next(dy)) return ended();
        const int column = x_ + dx;
        for (int i = 0; i < dy && y_ < height_; ++i)
            if (int code = deliver()) return code;
        x_ = std::min(column, width_ + 64);
        return ResultOk;
    }
    int deliver()
    {
        const int code = putRows(context_, 0, y_, 1);
        std::memset(row_, 0, rowBytes_);
        ++y_;
        x_ = 0;
        return code;
    }
    // The data ended early: keep the row decoded so far.
    int ended()
    {
        if (x_ > 0 && y_ < height_)
            if (int code = deliver()) return code;
        return ResultReadError;
    }

    ByteSource in_;
    ReaderContext& context_;
    uint8_t* row_;
    size_t rowBytes_;
    int width_, height_;
    bool nibbles_;
    int x_ = 0, y_ = 0;
};

// Reads the colour table into 3-byte B, G, R entries; never past the pixel data.
void readPalette(Stream& stream, const BmpFile& file, uint8_t* table)
{
    const uint64_t wanted = file.coloursUsed ? file.coloursUsed : uint64_t{1} << file.bpp;
    const int entrySize = file.os2 ? 3 : 4;
    uint64_t entries = std::min<uint64_t>(wanted, 256);
    if (file.dataOffset > file.afterHeader)
        entries = std::min<uint64_t>(entries, (file.dataOffset - file.afterHeader) / entrySize);
    if (!streamSeek(stream, file.afterHeader)) return;
    for (uint64_t i = 0; i < entries; ++i) {
        uint8_t entry[4];
        if (!streamReadExact(stream, entry, entrySize)) return;
        std::memcpy(table + i * 3, entry, 3);
    }
}

int readPaletted(Stream& stream, ReaderContext& context, const BmpFile& file, ImageHeader& header)
{
    const bool rle8 = file.compression == CompressionRle8;
    const bool rle4 = file.compression == CompressionRle4;
    if (file.bpp != 1 && file.bpp != 2 && file.bpp != 4 && file.bpp != 8)
        return readerFail(context, LoadBadData, "Windows Bitmap : Unsupported bit count !");
    if ((rle8 && file.bpp != 8) || (rle4 && file.bpp != 4) || file.compression == CompressionBitFields)
        return readerFail(context, LoadBadData, "Windows Bitmap : Bad compression !");

    const size_t rowBytes = (static_cast<size_t>(header.width) * file.bpp + 7) / 8;
    header.bytesPerPlane = static_cast<uint32_t>((rowBytes + 3) / 4 * 4);
    header.sampleFlags = 0;
    header.rowsPerCall = 1;
    if (rle8 || rle4) header.compression = 1;
    const bool topFirst = !rle8 && !rle4 && readsTopFirst(stream, context, file, header, rowBytes, header.bytesPerPlane);
    header.rowsTopFirst = topFirst;
    if (int code = beginImage(context, header)) return code;

    uint8_t table[768] = {};
    readPalette(stream, file, table);

    int result = 0;
    if (!streamSeek(stream, file.dataOffset)) {
        result = ResultReadError;
    } else if (rle8 || rle4) {
        result = RleDecoder(stream, context, header, rle4).run();
        if (result == 15) return result;
    } else if (topFirst) {
        const auto asTheyAre = [](const uint8_t*, uint8_t*) { return false; };
        if (int code = handRowsTopFirst(stream, context, file, header, rowBytes, header.bytesPerPlane, asTheyAre, result))
            return code;
    } else {
        const size_t padding = header.bytesPerPlane - rowBytes;
        for (int y = 0; y < header.height; ++y) {
            if (!readRow(stream, header.rowBuffer, rowBytes, y > 0 ? padding : 0)) {
                result = ResultReadError;
                break;
            }
            if (int code = putRows(context, 0, y, 1)) return code;
        }
    }
    endImage(context, PaletteRgb | PaletteBgrOrder, 8, table);
    return result;
}

// ---------------------------------------------------------------------------
// DXT1 / DXT3 blocks.

struct Rgba {
    uint8_t r, g, b, a;
};

// 5-6-5 endpoints are widened by shifting alone, without repeating the high bits.
Rgba expand565(uint16_t c)
{
    return {static_cast<uint8_t>((c >> 8) & 0xF8), static_cast<uint8_t>((c >> 3) & 0xFC),
            static_cast<uint8_t>((c << 3) & 0xF8), 255};
}

void colourTable(ByteReader colour, bool alwaysFour, Rgba colours[4])
{
    const uint16_t c0 = colour.u16leAt(0), c1 = colour.u16leAt(2);
    const Rgba a = expand565(c0), b = expand565(c1);
    colours[0] = a;
    colours[1] = b;
    auto mix = [](int p, int q, int wp, int wq, int div, int bias) {
        return static_cast<uint8_t>((wp * p + wq * q + bias) / div);
    };
    if (alwaysFour || c0 > c1) {
        colours[2] = {mix(a.r, b.r, 2, 1, 3, 1), mix(a.g, b.g, 2, 1, 3, 1), mix(a.b, b.b, 2, 1, 3, 1), 255};
        colours[3] = {mix(a.r, b.r, 1, 2, 3, 1), mix(a.g, b.g, 1, 2, 3, 1), mix(a.b, b.b, 1, 2, 3, 1), 255};
    } else {
        colours[2] = {mix(a.r, b.r, 1, 1, 2, 0), mix(a.g, b.g, 1, 1, 2, 0), mix(a.b, b.b, 1, 1, 2, 0), 255};
        colours[3] = {mix(a.r, b.r, 1, 2, 3, 1), mix(a.g, b.g, 1, 2, 3, 1), mix(a.b, b.b, 1, 2, 3, 1), 0};
    }
}

// Decodes one block into the band of up to four rows at `band`, clipped to
// `columns` x `rows` pixels.
void decodeBlock(const uint8_t* block, bool dxt3, uint8_t* band, uint32_t stride, int columns, int rows)
{
    // A DXT3 block is 8 bytes of alpha followed by a DXT1 colour block.
    ByteReader bytes(std::span<const uint8_t>(block, dxt3 ? 16 : 8));
    ByteReader colour = bytes.sub(dxt3 ? 8 : 0, 8);
    Rgba colours[4];
    colourTable(colour, dxt3, colours);
    for (int py = 0; py < rows; ++py) {
        const uint8_t indexes = colour.u8At(4 + static_cast<size_t>(py));
        const uint16_t alphas = dxt3 ? bytes.u16leAt(2 * static_cast<size_t>(py)) : 0;
        uint8_t* out = band + py * stride;
        for (int px = 0; px < columns; ++px, out += 4) {
            const Rgba& c = colours[(indexes >> (2 * px)) & 3];
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
            out[3] = dxt3 ? static_cast<uint8_t>(((alphas >> (4 * px)) & 15) * 17) : c.a;
        }
    }
}

int readDxt(Stream& stream, ReaderContext& context, const BmpFile& file, ImageHeader& header)
{
    const bool dxt3 = file.compression == CompressionDxt3;
    copyText(header.description, sizeof header.description, "Windows Bitmap (DXT)");
    copyText(header.compressionText, sizeof header.compressionText, dxt3 ? "DXT3" : "DXT1");
    header.compression = 255;
    header.fileOrigin = OriginBottom;
    header.planes = 1;
    header.bitsPerPlane = 32;
    header.sampleFlags = 0;
    header.bytesPerPlane = static_cast<uint32_t>(header.width) * 4;
    header.rowsPerCall = 4;
    if (int code = beginImage(context, header)) return code;

    // One band of blocks at a time: the whole picture is never held.
    const int blockBytes = dxt3 ? 16 : 8;
    const int blocksAcross = (header.width + 3) / 4;
    std::vector<uint8_t> blocks(static_cast<size_t>(blocksAcross) * blockBytes);
    const uint32_t stride = header.rowStride ? header.rowStride : header.bytesPerPlane;
    int result = streamSeek(stream, DxtDataOffset) ? ResultOk : ResultReadError;
    for (int top = 0; top < header.height && result == 0; top += 4) {
        if (!streamReadExact(stream, blocks.data(), blocks.size())) {
            result = ResultReadError;
            break;
        }
        const int rows = std::min(4, header.height - top);
        for (int bx = 0; bx < blocksAcross; ++bx)
            decodeBlock(&blocks[static_cast<size_t>(bx) * blockBytes], dxt3, header.rowBuffer + bx * 16, stride,
                        std::min(4, header.width - bx * 4), rows);
        if (int code = putRows(context, 0, -1, rows)) return code;
    }
    endImage(context, 0, 0, nullptr);
    return result;
}

}  // namespace

int readBmp(Stream& stream, ReaderContext& context)
{
    BmpFile file;
    if (int code = parseHeaders(stream, file)) return code;

    ImageHeader header;
    imageHeaderDefaults(header);
    copyText(header.description, sizeof header.description, file.os2 ? "OS/2 Bitmap" : "Windows Bitmap");
    const int64_t width = file.width < 0 ? -file.width : file.width;
    const int64_t height = file.height < 0 ? -file.height : file.height;
    header.fileOrigin = file.height < 0 ? 0 : OriginBottom;
    header.planes = static_cast<int16_t>(std::min<int>(file.planes, INT16_MAX));
    header.bitsPerPlane = static_cast<int16_t>(std::min<int>(file.bitCount, INT16_MAX));
    header.dpiX = dpiOf(file.pixelsPerMetreX);
    header.dpiY = dpiOf(file.pixelsPerMetreY);
    if (width < 1 || height < 1 || width >= MaxSide || height >= MaxSide)
        return readerFail(context, LoadBadData, SizeMessage);
    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);

    try {
        if (file.compression == CompressionDxt1 || file.compression == CompressionDxt3)
            return readDxt(stream, context, file, header);
        if (file.bpp < 1 || file.bpp > 32) return ResultUnknownFormat;  // no depth the pipeline knows
        if (file.bpp >= 15) return readTrueColour(stream, context, file, header);
        return readPaletted(stream, context, file, header);
    } catch (const std::bad_alloc&) {
        return ResultNoMemory;
    }
}

}  // namespace fotrix
