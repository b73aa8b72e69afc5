// The row service of the save pipeline: converts bitmap rows into the layout
// a writer asked for (sample order, bits per pixel, row order, mirroring)
// and builds the writer's palette.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "imagelib/save.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

namespace {

// Byte positions of R, G, B and A (-1: none) in one pixel of a true-colour type.
struct ChannelPositions {
    int r, g, b, a;
};

ChannelPositions channelPositions(unsigned type)
{
    switch (type) {
    case Rgb: return {0, 1, 2, -1};
    case Rgba: return {0, 1, 2, 3};
    case Bgr: return {2, 1, 0, -1};
    case Abgr: return {3, 2, 1, 0};
    case Bgra: return {2, 1, 0, 3};
    case Argb: return {1, 2, 3, 0};
    default: return {0, 1, 2, -1};
    }
}

ChannelPositions requestedPositions(unsigned samples)
{
    switch (samples) {
    case SamplesRgb: return {0, 1, 2, -1};
    case SamplesBgr: return {2, 1, 0, -1};
    case SamplesRgba: return {0, 1, 2, 3};
    case SamplesBgra: return {2, 1, 0, 3};
    default: return {0, 1, 2, -1};
    }
}

int requestedBytes(unsigned samples)
{
    switch (samples) {
    case SamplesRgb: case SamplesBgr: return 3;
    case SamplesRgba: case SamplesBgra: case SamplesCmyk: return 4;
    default: return 1;
    }
}

// The colour (R, G, B) of level or index v of a one-byte or binary bitmap.
void levelColour(const Bitmap& bitmap, int v, uint8_t rgb[3])
{
    if (bitmap.type == Indexed) {
        rgb[0] = bitmap.palette[PaletteRed + v];
        rgb[1] = bitmap.palette[PaletteGreen + v];
        rgb[2] = bitmap.palette[PaletteBlue + v];
        return;
    }
    int grey;
    if (bitmap.type == Binary) {
        grey = v ? 255 : 0;
    } else {
        const int levels = bitmap.colorCount >= 2 && bitmap.colorCount <= 256 ? bitmap.colorCount : 256;
        grey = std::min(v, levels - 1) * 255 / (levels - 1);
    }
    rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(grey);
}

inline int luminance(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

// Row conversion state kept between beginRows and endRows.
struct RowState {
    uint8_t* scratch = nullptr;           // one row of level numbers or RGBA pixels
    uint8_t levelRgb[256][3] = {};        // colours of the 256 levels of one-byte bitmaps
};

RowState* rowState(WriterContext& context);

// Source pixel x of stored row `row`, honouring OriginRight.
inline int sourceColumn(const Bitmap& bitmap, int x)
{
    return (bitmap.origin & OriginRight) ? bitmap.width - 1 - x : x;
}

// Level numbers (or indices, or binary values) of one stored row, one byte each.
void rowLevels(const Bitmap& bitmap, const uint8_t* row, uint8_t* out)
{
    const int width = bitmap.width;
    if (bitmap.type == Binary) {
        for (int x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(bitGet(row, sourceColumn(bitmap, x)));
    } else if (bitmap.type == Grey || bitmap.type == Indexed) {
        if (bitmap.origin & OriginRight)
            for (int x = 0; x < width; ++x) out[x] = row[width - 1 - x];
        else
            std::memcpy(out, row, width);
    } else {
        // A true-colour bitmap asked for levels: its luminance.
        const ChannelPositions p = channelPositions(bitmap.type);
        const int step = bitmap.bytesPerPixel;
        for (int x = 0; x < width; ++x) {
            const uint8_t* px = row + static_cast<size_t>(sourceColumn(bitmap, x)) * step;
            out[x] = static_cast<uint8_t>(luminance(px[p.r], px[p.g], px[p.b]));
        }
    }
}

// One stored row as R, G, B, A bytes.
void rowRgba(const Bitmap& bitmap, const RowState& state, const uint8_t* row, uint8_t* out)
{
    const int width = bitmap.width;
    if (bitmap.type == Cmyk) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* px = row + static_cast<size_t>(sourceColumn(bitmap, x)) * 4;
            const int k = 255 - px[3];
            out[4 * x] = static_cast<uint8_t>((255 - px[0]) * k / 255);
            out[4 * x + 1] = static_cast<uint8_t>((255 - px[1]) * k / 255);
            out[4 * x + 2] = static_cast<uint8_t>((255 - px[2]) * k / 255);
            out[4 * x + 3] = 255;
        }
    } else if (bitmap.type & AnyTrueColour) {
        const ChannelPositions p = channelPositions(bitmap.type);
        const int step = bitmap.bytesPerPixel;
        for (int x = 0; x < width; ++x) {
            const uint8_t* px = row + static_cast<size_t>(sourceColumn(bitmap, x)) * step;
            out[4 * x] = px[p.r];
            out[4 * x + 1] = px[p.g];
            out[4 * x + 2] = px[p.b];
            out[4 * x + 3] = p.a >= 0 ? px[p.a] : 255;
        }
    } else {
        uint8_t* levels = out + 3 * static_cast<size_t>(width);  // the last quarter of the buffer
        rowLevels(bitmap, row, levels);
        for (int x = 0; x < width; ++x) {
            const uint8_t* c = state.levelRgb[levels[x]];
            out[4 * x] = c[0];
            out[4 * x + 1] = c[1];
            out[4 * x + 2] = c[2];
            out[4 * x + 3] = 255;
        }
    }
}

// Packs one-byte values into 1, 4 or 8 bits a pixel, most significant first.
void packLevels(const uint8_t* levels, int width, int bits, uint8_t* out)
{
    if (bits == 8) {
        std::memcpy(out, levels, width);
    } else if (bits == 4) {
        for (int x = 0; x < width; x += 2) {
            const int high = levels[x] & 15;
            const int low = x + 1 < width ? levels[x + 1] & 15 : 0;
            out[x / 2] = static_cast<uint8_t>(high << 4 | low);
        }
    } else if (bits == 2) {
        std::memset(out, 0, (width + 3) / 4);
        for (int x = 0; x < width; ++x) out[x / 4] |= static_cast<uint8_t>((levels[x] & 3) << (6 - 2 * (x & 3)));
    } else {
        std::memset(out, 0, (width + 7) / 8);
        for (int x = 0; x < width; ++x)
            if (levels[x] & 1) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
}

void convertRow(WriterContext& context, const uint8_t* row, uint8_t* out)
{
    const Bitmap& bitmap = *context.bitmap;
    const RowFormat& format = *context.rowFormat;
    RowState& state = *rowState(context);
    const int width = bitmap.width;

    switch (format.samples) {
    case SamplesIndex:
        if (bitmap.type == Binary && format.bitsPerPixel == 1 && !(bitmap.origin & OriginRight)) {
            std::memcpy(out, row, (width + 7) / 8);
            if (width & 7) out[width / 8] &= static_cast<uint8_t>(0xFF00 >> (width & 7));
            return;
        }
        rowLevels(bitmap, row, state.scratch);
        packLevels(state.scratch, width, format.bitsPerPixel, out);
        return;
    case SamplesGrey: {
        if (bitmap.type == Binary && format.bitsPerPixel == 1) {
            rowLevels(bitmap, row, state.scratch);
            packLevels(state.scratch, width, 1, out);
            return;
        }
        if (bitmap.type & AnyTrueColour) {
            rowRgba(bitmap, state, row, state.scratch);
            for (int x = 0; x < width; ++x) {
                const uint8_t* px = state.scratch + 4 * static_cast<size_t>(x);
                state.scratch[x] = static_cast<uint8_t>(luminance(px[0], px[1], px[2]));
            }
        } else {
            rowLevels(bitmap, row, state.scratch);
            for (int x = 0; x < width; ++x) {
                const uint8_t* c = state.levelRgb[state.scratch[x]];
                state.scratch[x] = static_cast<uint8_t>(luminance(c[0], c[1], c[2]));
            }
        }
        if (format.bitsPerPixel == 1)
            for (int x = 0; x < width; ++x) state.scratch[x] = state.scratch[x] >= 128;
        packLevels(state.scratch, width, format.bitsPerPixel == 1 ? 1 : 8, out);
        return;
    }
    case SamplesCmyk:
        if (bitmap.type == Cmyk && !(bitmap.origin & OriginRight)) {
            std::memcpy(out, row, static_cast<size_t>(width) * 4);
            return;
        }
        rowRgba(bitmap, state, row, state.scratch);
        for (int x = 0; x < width; ++x) {
            out[4 * x] = static_cast<uint8_t>(255 - state.scratch[4 * x]);
            out[4 * x + 1] = static_cast<uint8_t>(255 - state.scratch[4 * x + 1]);
            out[4 * x + 2] = static_cast<uint8_t>(255 - state.scratch[4 * x + 2]);
            out[4 * x + 3] = 0;
        }
        return;
    default:
        break;
    }

    // True-colour requests.
    const ChannelPositions to = requestedPositions(format.samples);
    const int toBytes = requestedBytes(format.samples);
    if ((bitmap.type & AnyTrueColour) && bitmap.type != Cmyk) {
        const ChannelPositions from = channelPositions(bitmap.type);
        const int fromBytes = bitmap.bytesPerPixel;
        if (fromBytes == toBytes && from.r == to.r && from.g == to.g && from.b == to.b && from.a == to.a &&
            !(bitmap.origin & OriginRight)) {
            std::memcpy(out, row, static_cast<size_t>(width) * toBytes);
            return;
        }
        if (toBytes == 3 && fromBytes == 3 && !(bitmap.origin & OriginRight)) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* px = row + 3 * static_cast<size_t>(x);
                uint8_t* o = out + 3 * static_cast<size_t>(x);
                o[to.r] = px[from.r];
                o[to.g] = px[from.g];
                o[to.b] = px[from.b];
            }
            return;
        }
    }
    rowRgba(bitmap, state, row, state.scratch);
    for (int x = 0; x < width; ++x) {
        const uint8_t* px = state.scratch + 4 * static_cast<size_t>(x);
        uint8_t* o = out + static_cast<size_t>(x) * toBytes;
        o[to.r] = px[0];
        o[to.g] = px[1];
        o[to.b] = px[2];
        if (to.a >= 0) o[to.a] = px[3];
    }
}

RowState* rowState(WriterContext& context) { return static_cast<RowState*>(context.rowState); }

uint32_t packedRowBytes(const RowFormat& format, int width)
{
    int bits = format.bitsPerPixel;
    if (format.samples != SamplesIndex && format.samples != SamplesGrey) bits = 8 * requestedBytes(format.samples);
    return static_cast<uint32_t>((static_cast<uint64_t>(bits) * width + 7) / 8);
}

// One stored row in the writer's layout, its padding zeroed.
void convertPaddedRow(WriterContext& context, const uint8_t* stored, uint8_t* out)
{
    const RowFormat& format = *context.rowFormat;
    const uint32_t packed = packedRowBytes(format, context.bitmap->width);
    convertRow(context, stored, out);
    if (format.bytesPerRow > packed) std::memset(out + packed, 0, format.bytesPerRow - packed);
}

void buildPalette(const Bitmap& bitmap, RowState& state, RowFormat& format)
{
    std::memset(format.palette, 0, sizeof format.palette);
    format.paletteEntries = 0;
    if (bitmap.type & AnyTrueColour) return;
    if (format.samples != SamplesIndex) return;
    const int entries = std::min(1 << std::min<int>(format.bitsPerPixel, 8), 256);
    const int shift = 8 - std::clamp<int>(format.paletteBits, 1, 8);
    int meaningful = bitmap.type == Binary ? 2 : bitmap.type == Grey ? std::max<int>(bitmap.colorCount, 1) : 256;
    meaningful = std::min(meaningful, entries);
    for (int i = 0; i < meaningful; ++i) {
        const uint8_t* c = state.levelRgb[i];
        uint8_t* p = format.palette + 3 * i;
        const bool bgr = format.paletteOrder == PaletteOrderBgr;
        p[0] = static_cast<uint8_t>(c[bgr ? 2 : 0] >> shift);
        p[1] = static_cast<uint8_t>(c[1] >> shift);
        p[2] = static_cast<uint8_t>(c[bgr ? 0 : 2] >> shift);
    }
    format.paletteEntries = entries;
}

void showProgress(WriterContext& context, int rowsDone)
{
    if (!(context.params.flags & SaveProgressBar) || context.height < 1) return;
    const int shown = static_cast<int>(static_cast<int64_t>(std::min(rowsDone, context.height)) * 60 / context.height);
    for (; context.progressShown < shown; ++context.progressShown) std::fputc('-', stderr);
}

}  // namespace

int beginRows(WriterContext& context, RowFormat& format)
{
    const Bitmap& bitmap = *context.bitmap;
    const uint32_t packed = packedRowBytes(format, bitmap.width);
    if (format.bytesPerRow < packed) format.bytesPerRow = packed;
    if (format.rowsPerCall < 1) format.rowsPerCall = 1;
    if (format.rowsPerCall > bitmap.height) format.rowsPerCall = bitmap.height;
    const uint64_t bufferSize = static_cast<uint64_t>(format.bytesPerRow) * format.rowsPerCall + 1024;
    if (bufferSize > (uint64_t{1} << 40)) return ResultNoMemory;
    // Rows still loading can only be taken the way they arrive.
    if (context.handoff && !context.handoff->writerBegins(format)) return ResultCancelled;

    auto* state = new (std::nothrow) RowState;
    if (!state) return ResultNoMemory;
    state->scratch = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bitmap.width) * 4 + 64));
    format.rows = static_cast<uint8_t*>(std::calloc(bufferSize, 1));
    if (!state->scratch || !format.rows) {
        std::free(state->scratch);
        std::free(format.rows);
        format.rows = nullptr;
        delete state;
        return ResultNoMemory;
    }
    if (!(bitmap.type & AnyTrueColour))
        for (int v = 0; v < 256; ++v) levelColour(bitmap, v, state->levelRgb[v]);
    context.rowState = state;
    context.rowFormat = &format;
    context.nextRow = 0;
    context.progressShown = 0;
    buildPalette(bitmap, *state, format);

    if (context.params.flags & SaveDiagnostics) {
        const bool levels = format.samples == SamplesIndex || format.samples == SamplesGrey;
        const int bits = std::min<int>(levels ? format.bitsPerPixel : 8 * requestedBytes(format.samples), 24);
        std::fprintf(stderr, "A %s was writen : %s\n", format.description ? format.description : "",
                     context.fileName.c_str());
        std::fprintf(stderr, "    Width:%d Height:%d with %ld colors\n", bitmap.width, bitmap.height, 1L << bits);
    }
    return ResultOk;
}

namespace {

// Stored row `stored`: from the bitmap, or from the band of a load still running.
const uint8_t* sourceRow(WriterContext& context, int stored)
{
    if (context.handoff) return context.handoff->rowForWriting(stored);
    return bitmapRow(*context.bitmap, stored);
}

// The stored row that is row `r` in the writer's row order.
int storedRow(const Bitmap& bitmap, const RowFormat& format, int r)
{
    const bool bitmapBottomUp = (bitmap.origin & OriginBottom) != 0;
    const bool writerBottomUp = (format.origin & OriginBottom) != 0;
    return bitmapBottomUp != writerBottomUp ? bitmap.height - 1 - r : r;
}

}  // namespace

const uint8_t* nextBitmapRow(WriterContext& context)
{
    if (!context.rowFormat || !context.rowState) return nullptr;
    const Bitmap& bitmap = *context.bitmap;
    if (context.nextRow >= bitmap.height) return nullptr;
    const int stored = storedRow(bitmap, *context.rowFormat, context.nextRow);
    countRowTaken(context);
    return sourceRow(context, stored);
}

void countRowTaken(WriterContext& context)
{
    ++context.nextRow;
    showProgress(context, context.nextRow);
}

const uint8_t* convertRowForWriter(WriterContext& context, const uint8_t* stored)
{
    convertPaddedRow(context, stored, context.rowFormat->rows);
    return context.rowFormat->rows;
}

void getRows(WriterContext& context, int first, int count)
{
    if (!context.rowFormat || !context.rowState) return;
    const Bitmap& bitmap = *context.bitmap;
    RowFormat& format = *context.rowFormat;
    if (first < 0) first = context.nextRow;
    count = std::clamp(count, 0, format.rowsPerCall);
    if (first >= bitmap.height) return;
    count = std::min(count, bitmap.height - first);
    for (int i = 0; i < count; ++i) {
        const int stored = storedRow(bitmap, format, first + i);
        convertPaddedRow(context, sourceRow(context, stored), format.rows + static_cast<size_t>(i) * format.bytesPerRow);
    }
    context.nextRow = first + count;
    showProgress(context, context.nextRow);
}

void endRows(WriterContext& context)
{
    if (context.rowFormat) {
        std::free(context.rowFormat->rows);
        context.rowFormat->rows = nullptr;
    }
    if (RowState* state = rowState(context)) {
        std::free(state->scratch);
        delete state;
        context.rowState = nullptr;
    }
    if (context.params.flags & SaveProgressBar) std::fputc('\r', stderr);
    if (context.params.flags & SaveDiagnostics) std::fputc('\n', stderr);
    context.rowFormat = nullptr;
}

}  // namespace fotrix
