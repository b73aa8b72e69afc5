// beginImage: checks the reader's description, fills the caller's FileInfo,
// decides the output kind and the reduction, allocates the bitmap and the row
// buffers, and chooses the row functions.
#include <algorithm>
#include <cstring>

#include "imagelib/bytes.h"
#include "imagelib/core/end_image.h"
#include "imagelib/core/pipeline.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

namespace {

constexpr int MaxDimension = 400000;
// No picture buffer above this size is attempted: such a header is either
// damaged or beyond what a viewer can show.
constexpr uint64_t MaxPixelBytes = uint64_t{1} << 30;

bool isColumnOrigin(uint16_t origin) { return origin == 128 || origin == 129 || origin == 144 || origin == 145; }

// Copies a header text into a shorter FileInfo field, cut and NUL-terminated.
void copyText(char* target, size_t size, const char* text, size_t textSize)
{
    const size_t length = std::min(strnlen(text, textSize), size - 1);
    std::memcpy(target, text, length);
    target[length] = '\0';
}

void fillFileInfo(FileInfo& info, const ImageHeader& h)
{
    const bool preview = h.fullWidth >= 1;
    info.fileOrigin = h.fileOrigin;
    info.width = preview ? static_cast<int32_t>(h.fullWidth) : h.width;
    info.height = preview ? static_cast<int32_t>(h.fullHeight) : h.height;
    if (isColumnOrigin(h.fileOrigin)) std::swap(info.width, info.height);
    if (preview) {
        info.bitsPerComponent = h.fullBits;
        info.componentCount = h.fullComponents;
        info.bytesPerPlane = h.fullBytes;
    } else {
        if (h.components >= 1) {
            info.bitsPerComponent = static_cast<uint16_t>(h.bitsPerPlane);
            info.componentCount = static_cast<uint16_t>(h.components);
        } else if (h.bitsPerPlane > 8) {
            info.bitsPerComponent = 8;
            info.componentCount = static_cast<uint16_t>(h.bitsPerPlane / 8);
        } else {
            info.bitsPerComponent = static_cast<uint16_t>(h.bitsPerPlane);
            info.componentCount = static_cast<uint16_t>(h.planes);
        }
        info.bytesPerPlane = h.bytesPerPlane;
    }
    info.planes = static_cast<uint16_t>(h.planes);
    info.bitsPerPlane = static_cast<uint16_t>(h.bitsPerPlane);
    info.dpiX = static_cast<uint16_t>(h.dpiX);
    info.dpiY = static_cast<uint16_t>(h.dpiY);
    info.compression = h.compression;
    info.colourModel = h.colourModel;
    copyText(info.description, sizeof info.description, h.description, sizeof h.description);
    copyText(info.compressionText, sizeof info.compressionText, h.compressionText, sizeof h.compressionText);
}

OutputKind chooseOutputKind(const ImageHeader& h, int bpp, uint32_t options)
{
    const int c = h.components;
    const bool cmyk = (h.sampleFlags & (SampleCmykInverted | SampleCmykInk)) != 0;
    if (cmyk && bpp == 32) return OutputKind::Four;
    if (c >= 2) return (c == 4 || (options & ForceAlpha)) ? OutputKind::Four : OutputKind::Three;
    if (bpp <= 8) {
        if ((options & ForceTrueColour) && (options & ForceAlpha)) return OutputKind::Four;
        if (options & ForceTrueColour) return OutputKind::Three;
        if (bpp == 1 && !(options & ExpandBinary)) return OutputKind::Bit;
        return OutputKind::Byte;
    }
    if (c == 1) return OutputKind::Byte;
    if (bpp > 24) return (options & NoAlpha) ? OutputKind::Three : OutputKind::Four;
    return (options & ForceAlpha) ? OutputKind::Four : OutputKind::Three;
}

// Bytes of one canonical pixel as the unpacker produces it (0: packed bits).
int canonicalPixelBytes(const RowGeometry& g)
{
    if (g.output == OutputKind::Bit) return 0;
    if (g.sampleFlags & SamplePlanePasses) return 1;
    const int wide = g.deep ? 2 : 1;
    if (g.components >= 2) return (g.components == 3 ? 3 : 4) * wide;
    if (g.components == 1 && g.bitsPerPlane > 8) return wide;
    if (g.bitsPerPixel <= 8) return 1;
    if (g.sampleFlags & SamplePlanesInRow) return std::min(g.planes, 4);
    return g.bitsPerPixel == 32 ? 4 : 3;
}

// Where R, G, B, A of a pixel go in the final type.
void setChannelPositions(RowGeometry& g, int channelOrder)
{
    static const uint8_t threeRgb[4] = {0, 1, 2, 3}, threeBgr[4] = {2, 1, 0, 3};
    static const uint8_t rgba[4] = {0, 1, 2, 3}, abgr[4] = {3, 2, 1, 0}, argb[4] = {1, 2, 3, 0}, bgra[4] = {2, 1, 0, 3};
    const uint8_t* positions = rgba;
    if (g.output == OutputKind::Three) {
        positions = channelOrder == 0 ? threeRgb : threeBgr;
    } else if (g.output == OutputKind::Four && !g.deep) {
        positions = channelOrder == 0 ? rgba : channelOrder == 1 ? abgr : channelOrder == 3 ? argb : bgra;
    }
    std::memcpy(g.channelPosition, positions, 4);
}

int outputBytesPerPixel(const RowGeometry& g)
{
    const int wide = g.deep ? 2 : 1;
    switch (g.output) {
    case OutputKind::Bit: return 0;
    case OutputKind::Byte: return wide;
    case OutputKind::Three: return 3 * wide;
    case OutputKind::Four: return 4 * wide;
    }
    return 1;
}

// Output size of a picture fitted into the caller's box with its proportions
// (rounded), taking the proportions from the full picture when the reader
// decodes a preview.
void fitBox(const ImageHeader& h, int maxW, int maxH, int& outW, int& outH)
{
    double w = h.width, ht = h.height;
    if (h.fullWidth >= 1 && h.fullHeight >= 1) {
        w = h.fullWidth;
        ht = h.fullHeight;
        const bool decodedLandscape = h.width > h.height, fullLandscape = h.fullWidth > h.fullHeight;
        if (decodedLandscape != fullLandscape && h.width != h.height && h.fullWidth != h.fullHeight)
            std::swap(w, ht);
    }
    outH = static_cast<int>(maxW * ht / w + 0.5);
    if (outH > maxH) {
        outW = static_cast<int>(maxH * w / ht + 0.5);
        outH = maxH;
    } else {
        outW = maxW;
    }
    outW = std::clamp(outW, 1, h.width);
    outH = std::clamp(outH, 1, h.height);
}

void planeReduction(PipelineState& p, const ImageHeader& h, const LoadParams& params)
{
    using Reduction = PipelineState::Reduction;
    p.outWidth = h.width;
    p.outHeight = h.height;
    p.reduction = Reduction::None;
    if (params.maxWidth < 1 || params.maxHeight < 1) return;
    if (h.width <= params.maxWidth && h.height <= params.maxHeight) return;
    const uint32_t fullPicture = SampleFullPicture | SampleFullPictureRaw;
    if (params.scaleMethod != ScaleAreaAverage) {
        if (h.sampleFlags & fullPicture) {
            p.reduction = Reduction::AfterLoading;
            return;
        }
        fitBox(h, params.maxWidth, params.maxHeight, p.outWidth, p.outHeight);
        p.reduction = Reduction::Nearest;
        return;
    }
    const uint32_t notArea = SamplePlanePasses | SampleCmykInverted | SampleCmykInk | SampleLab | SampleLabVariant |
                             SampleLabSigned | SampleLabSignedVariant | fullPicture;
    if (h.bitsPerPlane == 24 && h.components == 0 && !(h.sampleFlags & notArea) && !p.geometry.deep) {
        fitBox(h, params.maxWidth, params.maxHeight, p.outWidth, p.outHeight);
        p.reduction = Reduction::Area;
        return;
    }
    p.reduction = Reduction::ShrinkAfterLoading;
}

// Nearest-sample tables: the output row of every file row (-1 for rows that
// map to the same output row as the row before), and the file column of
// every output column.
void buildNearestTables(PipelineState& p, int width, int height, bool bitOutput)
{
    p.rowTarget.assign(height, -1);
    int64_t previous = -1;
    for (int y = 0; y < height; ++y) {
        const int64_t out = static_cast<int64_t>(p.outHeight) * y / height;
        if (out != previous) p.rowTarget[y] = static_cast<int32_t>(out);
        previous = out;
    }
    p.columnSource.assign(p.outWidth, 0);
    if (bitOutput) {
        for (int i = 0; i < p.outWidth; ++i)
            p.columnSource[i] = static_cast<uint32_t>(static_cast<int64_t>(width) * i / p.outWidth);
        return;
    }
    // Several file columns may map to one output column: the last one stays.
    for (int x = 0; x < width; ++x)
        p.columnSource[static_cast<int64_t>(p.outWidth) * x / width] = static_cast<uint32_t>(x);
}

uint32_t outputRowBytes(int width, int bytesPerPixel, int alignment)
{
    const uint64_t a = std::max(alignment, 1);
    const uint64_t raw = bytesPerPixel == 0 ? (static_cast<uint64_t>(width) + 7) / 8
                                            : static_cast<uint64_t>(width) * bytesPerPixel;
    return static_cast<uint32_t>((raw + a - 1) / a * a);
}

int allocateBitmap(ReaderContext& context, PipelineState& p)
{
    Bitmap& bitmap = *context.bitmap;
    const LoadParams& params = context.params;
    const uint32_t stride = outputRowBytes(p.outWidth, p.outBytesPerPixel, params.rowAlignment);
    if (static_cast<uint64_t>(stride) * p.outHeight > MaxPixelBytes)
        return readerFail(context, LoadNoMemory, "Picture too large for memory");
    const bool noPixels = context.option(NoPixels);
    if (params.allocCallback && !noPixels) {
        bitmapClear(bitmap);
        bitmap.bytesPerRow = stride;
        bitmap.width = p.outWidth;
        bitmap.height = p.outHeight;
        bitmap.transparentIndex = -1;
        bitmap.pixels = params.allocCallback(p.outWidth, p.outHeight, std::max(p.outBytesPerPixel, 1),
                                             p.geometry.deep ? 16 : 8, params.rowAlignment, stride,
                                             params.allocCallbackData);
        if (!bitmap.pixels) return LoadNoMemory;
    } else if (!bitmapAllocateWithStride(bitmap, 0, stride, p.outWidth, p.outHeight, !noPixels)) {
        return LoadNoMemory;
    }
    bitmap.rowAlignment = static_cast<int16_t>(std::max<int>(params.rowAlignment, 1));
    return LoadOk;
}

// Rows can flow to a writer as they are stored when each is finished then:
// the reader hands them over once each, top row first, the picture keeps its
// size, and nothing is left for endImage to do to the pixels (palettes,
// colour models, turns).
bool rowsCanFlow(const ReaderContext& context, const PipelineState& p, const ImageHeader& h)
{
    const uint32_t wholePicture = SamplePlanePasses | SampleFullPicture | SampleFullPictureRaw | SampleCmykInverted |
                                  SampleCmykInk | SampleLab | SampleLabVariant | SampleLabSigned |
                                  SampleLabSignedVariant;
    const RowGeometry& g = p.geometry;
    const bool trueColour = g.output == OutputKind::Three || g.output == OutputKind::Four;
    return h.rowsInOrder && trueColour && !g.paletteIndexes && !g.deep && !(h.sampleFlags & wholePicture) &&
           p.reduction == PipelineState::Reduction::None && !p.flipRows &&
           !(context.params.origin & OriginBottom) && !isColumnOrigin(h.fileOrigin) &&
           !context.option(NoPixels | ToleratePartial);
}

// About `bandBytes` of rows, whole multiples of the reader's rows per call
// so that a reader reading several rows at once finds them side by side.
int bandRowsFor(const ImageHeader& h, uint32_t stride, size_t bandBytes)
{
    const int block = std::max<int>(h.rowsPerCall, 1);
    const int wanted = std::max<int>(2 * block, static_cast<int>(bandBytes / std::max<uint32_t>(stride, 1)));
    const int rows = (wanted + block - 1) / block * block;
    const int wholePicture = (h.height + block - 1) / block * block;
    return std::min(rows, wholePicture);
}

// Starts the writer of a conversion on the picture as the load will finish
// it; its rows then go into the writer's band instead of a bitmap. When the
// rows cannot flow the load stops, for the caller to load the picture whole.
int startHandoff(ReaderContext& context, PipelineState& p, const ImageHeader& h)
{
    if (!rowsCanFlow(context, p, h)) {
        context.handoff->decline();
        return LoadCancelled;
    }
    Bitmap picture;
    picture.bytesPerRow = outputRowBytes(p.outWidth, p.outBytesPerPixel, context.params.rowAlignment);
    picture.rowAlignment = static_cast<int16_t>(std::max<int>(context.params.rowAlignment, 1));
    describeFinishedBitmap(picture, p, context.params, false);
    picture.comment = context.comment;  // borrowed: the hand-off keeps copies
    picture.metadata = context.metadata;
    if (!context.handoff->start(picture, bandRowsFor(h, picture.bytesPerRow, context.handoff->bandBytes()))) return LoadCancelled;
    p.handoff = context.handoff;
    return LoadOk;
}

// The bytes an unpacker reads from one raw row, whatever the reader claims,
// so that a header with a too small bytesPerPlane cannot make it read past
// the row buffer.
size_t rawRowBytesRead(const RowGeometry& g, const ImageHeader& h)
{
    const size_t width = static_cast<size_t>(h.width);
    if (g.sampleFlags & SamplePlanePasses) return width * g.sampleBytes;
    if (g.components >= 1 && (g.components >= 2 || g.bitsPerPlane > 8)) return width * g.components * g.sampleBytes;
    const size_t planeBytes = (width * g.bitsPerPlane + 7) / 8;
    if (g.sampleFlags & SamplePlanesInRow) return static_cast<size_t>(g.planes) * std::max<size_t>(planeBytes, g.bytesPerPlane);
    if (g.sampleFlags & SampleBytePerPixel) return width;
    return (width * g.bitsPerPixel + 7) / 8;
}

// Row buffer, scratch and canonical rows.
int allocateRowBuffers(PipelineState& p, ImageHeader& h)
{
    const RowGeometry& g = p.geometry;
    size_t pixelBytes;
    if (h.components >= 1) pixelBytes = static_cast<size_t>((h.bitsPerPlane + 7) / 8) * h.components;
    else if (g.bitsPerPixel >= 9) pixelBytes = (g.bitsPerPixel + 1) / 8;
    else pixelBytes = 1;
    const size_t rows = std::max<int>(h.rowsPerCall, 1);
    size_t stride = h.components == 0 ? static_cast<size_t>(h.planes) * h.bytesPerPlane
                                      : static_cast<size_t>((h.bitsPerPlane + 7) / 8) * h.width * h.components;
    stride = std::max({stride, static_cast<size_t>(h.bytesPerPlane), rawRowBytesRead(g, h)});
    size_t bufferBytes;
    if (!checkedMultiply(rows, static_cast<size_t>(h.width), pixelBytes, bufferBytes)) return LoadNoMemory;
    size_t strideBytes;
    if (!checkedMultiply(rows, stride, strideBytes)) return LoadNoMemory;
    bufferBytes = std::max(bufferBytes, strideBytes) + 1024;
    if (bufferBytes > MaxPixelBytes) return LoadNoMemory;
    const size_t canonical = static_cast<size_t>(h.width) * 8 + 16;
    try {
        p.rowBuffer.assign(bufferBytes, 0);
        p.scratch.assign(std::max<size_t>(8 * static_cast<size_t>(h.bytesPerPlane), stride) + 16, 0);
        p.unpacked.assign(canonical, 0);
        p.gathered.assign(canonical, 0);
    } catch (const std::bad_alloc&) {
        return LoadNoMemory;
    }
    h.rowBuffer = p.rowBuffer.data();
    h.rowStride = static_cast<uint32_t>(stride);
    p.geometry.scratch = p.scratch.data();
    return LoadOk;
}

void setUpGeometry(PipelineState& p, const ImageHeader& h, const LoadParams& params, OutputKind kind, int bpp)
{
    RowGeometry& g = p.geometry;
    g = RowGeometry{};
    g.width = h.width;
    g.planes = h.planes;
    g.bitsPerPlane = h.bitsPerPlane;
    g.bitsPerPixel = bpp;
    g.components = h.components;
    g.sampleBytes = (h.bitsPerPlane + 7) / 8;
    if (h.components == 0 || (h.sampleFlags & SamplePlanePasses)) g.sampleBytes = h.bitsPerPlane > 8 ? 2 : 1;
    g.bytesPerPlane = h.bytesPerPlane;
    g.sampleFlags = h.sampleFlags;
    g.output = kind;
    g.fillAlpha = params.fillAlpha;
    g.deep = (params.options & KeepDeep) && h.components >= 1 && h.bitsPerPlane > 8 &&
             !(h.sampleFlags & SamplePlanePasses);
    g.keepFileOrder = (h.sampleFlags & (SampleCmykInverted | SampleCmykInk | SampleLab | SampleLabVariant |
                                        SampleLabSigned | SampleLabSignedVariant)) != 0;
    g.canonicalBytes = canonicalPixelBytes(g);
    g.paletteIndexes = kind != OutputKind::Bit && bpp <= 8 && h.components <= 1 &&
                       !(h.sampleFlags & SamplePlanePasses);
    setChannelPositions(g, params.channelOrder);
    p.outBytesPerPixel = outputBytesPerPixel(g);
    g.outputPixelBytes = p.outBytesPerPixel;
}

}  // namespace

int beginImage(ReaderContext& context, ImageHeader& h)
{
    context.headerAccepted = true;
    context.pipeline = std::make_unique<PipelineState>();
    PipelineState& p = *context.pipeline;
    p.header = &h;

    const int bpp = h.planes * h.bitsPerPlane;
    if (h.planes < 1 || h.bitsPerPlane < 1 || bpp < 1 || bpp > 32 || h.width < 1 || h.height < 1 ||
        h.width >= MaxDimension || h.height >= MaxDimension)
        return LoadUnknownFormat;
    if (h.dpiX >= 3) {
        if (h.dpiY < 3 || h.dpiX > 10000 || h.dpiY > 10000) h.dpiX = h.dpiY = 0;
    } else {
        h.dpiX = h.dpiY = 0;
    }
    if (context.info) fillFileInfo(*context.info, h);
    if (context.infoOnly()) return -1;

    LoadParams& params = context.params;
    if (h.sampleFlags & (SampleLab | SampleLabVariant | SampleLabSigned | SampleLabSignedVariant))
        params.options |= NoAlpha;
    if (h.dpiX == 0) h.dpiX = h.dpiY = 72;
    if ((h.sampleFlags & SamplePlanePasses) && h.planes == 1 && h.components == 0)
        h.sampleFlags &= ~static_cast<uint32_t>(SamplePlanePasses);

    const OutputKind kind = chooseOutputKind(h, bpp, params.options);
    setUpGeometry(p, h, params, kind, bpp);
    p.unpack = chooseUnpacker(p.geometry);
    p.store = chooseStorer(p.geometry);
    if (!p.unpack || !p.store) return readerFail(context, LoadBadData, "Unsupported pixel layout");

    planeReduction(p, h, params);
    p.unpackInPlace = p.reduction == PipelineState::Reduction::None && storerCopiesUnchanged(p.geometry);
    if (p.reduction == PipelineState::Reduction::Nearest)
        buildNearestTables(p, h.width, h.height, kind == OutputKind::Bit);
    if (p.reduction == PipelineState::Reduction::Area) areaSetUp(p.area, h.width, h.height, p.outWidth, p.outHeight);

    const uint16_t rowOrigin = h.rowsTopFirst ? static_cast<uint16_t>(h.fileOrigin & ~OriginBottom) : h.fileOrigin;
    p.flipRows = ((rowOrigin ^ params.origin) & OriginBottom) != 0;
    p.mirrorRows = ((h.fileOrigin ^ params.origin) & OriginRight) != 0;
    p.planePasses = (h.sampleFlags & SamplePlanePasses) != 0;
    p.rawIsStored = p.unpackInPlace && !p.mirrorRows && !p.planePasses && unpackerCopiesUnchanged(p.unpack);
    p.totalRows = static_cast<int64_t>(h.height) * (p.planePasses ? h.planes : 1);

    const int allocated = context.handoff ? startHandoff(context, p, h) : allocateBitmap(context, p);
    if (allocated != LoadOk) return allocated;
    return allocateRowBuffers(p, h);
}

}  // namespace fotrix
