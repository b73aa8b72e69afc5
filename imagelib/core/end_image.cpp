// endImage: finishes the bitmap. Sets the final type, applies the palette,
// converts colour models, and runs the reductions and turns that need the
// whole picture.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imagelib/core/end_image.h"
#include "imagelib/transform.h"

namespace fotrix {

namespace {

bool isBlack(const uint8_t* table, int i)
{
    return table[PaletteRed + i] == 0 && table[PaletteGreen + i] == 0 && table[PaletteBlue + i] == 0;
}

bool isWhite(const uint8_t* table, int i)
{
    return table[PaletteRed + i] == 255 && table[PaletteGreen + i] == 255 && table[PaletteBlue + i] == 255;
}

bool isBlackAndWhite(const uint8_t* table)
{
    return (isBlack(table, 0) && isWhite(table, 1)) || (isWhite(table, 0) && isBlack(table, 1));
}

uint16_t finalType(const PipelineState& p, const LoadParams& params, bool hasPalette, int bpp)
{
    const RowGeometry& g = p.geometry;
    const bool cmyk = (g.sampleFlags & (SampleCmykInverted | SampleCmykInk)) != 0;
    switch (g.output) {
    case OutputKind::Three: return params.channelOrder != 0 ? Bgr : Rgb;
    case OutputKind::Four:
        if (g.deep) return Rgba;
        if ((params.options & KeepCmyk) && cmyk) return Cmyk;
        return params.channelOrder == 0 ? Rgba : params.channelOrder == 1 ? Abgr : params.channelOrder == 3 ? Argb : Bgra;
    case OutputKind::Byte:
        if (bpp == 1) return Grey;
        return hasPalette ? Indexed : Grey;
    case OutputKind::Bit: return Binary;
    }
    return Grey;
}

// Alpha of each palette index for four-component output: a palette layout
// with alpha gives its own; else the reader's per-entry alpha; else the
// transparent index is clear; everything else gets fillAlpha.
void paletteAlphaTable(uint8_t* alpha, const PipelineState& p, const uint8_t* table, bool paletteAlpha)
{
    const ImageHeader& h = *p.header;
    for (int i = 0; i < 256; ++i) {
        if (paletteAlpha) alpha[i] = table[PaletteAlpha + i];
        else if (h.paletteAlphaCount > 0) alpha[i] = i < h.paletteAlphaCount ? h.paletteAlpha[i] : 255;
        else alpha[i] = i == h.transparentIndex ? 0 : p.geometry.fillAlpha;
    }
}

// Replaces the index standing where red will be by the palette colour (or,
// without a palette, by the grey level scaled to 0..255).
void expandIndexes(Bitmap& bitmap, const PipelineState& p, const uint8_t* table, bool hasPalette, int bpp,
                   bool whiteIsZero, bool paletteAlpha)
{
    const RowGeometry& g = p.geometry;
    const int size = bitmap.bytesPerPixel;
    const int red = g.channelPosition[0], green = g.channelPosition[1], blue = g.channelPosition[2];
    const int alpha = g.channelPosition[3];
    const unsigned maximum = (1u << std::min(bpp, 8)) - 1;
    uint8_t alphaOf[256];
    if (hasPalette) paletteAlphaTable(alphaOf, p, table, paletteAlpha);
    else std::memset(alphaOf, g.fillAlpha, sizeof alphaOf);
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* pixel = bitmapRow(bitmap, y);
        for (int x = 0; x < bitmap.width; ++x, pixel += size) {
            const unsigned i = pixel[red] & 0xFF;
            uint8_t r, gr, b;
            if (hasPalette) {
                r = table[PaletteRed + i];
                gr = table[PaletteGreen + i];
                b = table[PaletteBlue + i];
            } else {
                const unsigned level = std::min(i, maximum) * 255 / maximum;
                r = gr = b = static_cast<uint8_t>(whiteIsZero ? 255 - level : level);
            }
            pixel[red] = r;
            pixel[green] = gr;
            pixel[blue] = b;
            if (size == 4) pixel[alpha] = alphaOf[i];
        }
    }
}

// A one-bit picture stored one byte a pixel: levels 0/1 become black and white
// (or the palette's order of them).
void spreadBinaryBytes(Bitmap& bitmap, bool zeroIsWhite)
{
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmapRow(bitmap, y);
        for (int x = 0; x < bitmap.width; ++x) row[x] = ((row[x] & 1) != 0) != zeroIsWhite ? 255 : 0;
    }
}

void invertRows(Bitmap& bitmap, size_t bytes, uint8_t maximum)
{
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmapRow(bitmap, y);
        for (size_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(maximum - row[i]);
    }
}

int applyPalette(Bitmap& bitmap, const PipelineState& p, int bpp, int paletteFormat, const uint8_t* table,
                 bool hasPalette)
{
    const OutputKind output = p.geometry.output;
    const bool whiteIsZero = !hasPalette && paletteFormat == PaletteGrey;
    if (output == OutputKind::Three || output == OutputKind::Four) {
        const int format = paletteFormat & ~PaletteBgrOrder;
        const bool paletteAlpha = format == PaletteRgba || format == PaletteAbgr || format == PaletteBgra;
        if (p.geometry.paletteIndexes) expandIndexes(bitmap, p, table, hasPalette, bpp, whiteIsZero, paletteAlpha);
        return LoadOk;
    }
    if (bpp == 1 && output == OutputKind::Byte) {
        if (hasPalette && !isBlackAndWhite(table)) {
            bitmap.type = Indexed;
        } else {
            spreadBinaryBytes(bitmap, hasPalette ? isWhite(table, 0) : whiteIsZero);
            return LoadOk;
        }
    }
    if (bpp == 1 && output == OutputKind::Bit && hasPalette && !isBlackAndWhite(table)) {
        // Two colours that are not black and white: one byte a pixel with the palette.
        Bitmap indexed;
        if (!bitmapAllocate(indexed, Indexed, bitmap.rowAlignment, bitmap.width, bitmap.height)) return LoadNoMemory;
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x) bitmapRow(indexed, y)[x] = static_cast<uint8_t>(bitGet(bitmapRow(bitmap, y), x));
        std::free(indexed.palette);
        indexed.palette = nullptr;
        std::swap(bitmap.pixels, indexed.pixels);
        bitmap.bytesPerRow = indexed.bytesPerRow;
        bitmap.type = Indexed;
        bitmapFree(indexed);
    }
    if (bitmap.type == Indexed) {
        bitmap.palette = static_cast<uint8_t*>(std::malloc(PaletteBytes));
        if (!bitmap.palette) return LoadNoMemory;
        std::memcpy(bitmap.palette, table, PaletteBytes);
        return LoadOk;
    }
    if (bitmap.type == Binary && ((hasPalette && !isBlack(table, 0)) || whiteIsZero))
        invertRows(bitmap, bitmap.bytesPerRow, 255);
    else if (bitmap.type == Grey && whiteIsZero)
        invertRows(bitmap, static_cast<size_t>(bitmap.width), static_cast<uint8_t>((1u << std::min(bpp, 8)) - 1));
    return LoadOk;
}

void setPixelFields(Bitmap& bitmap, const PipelineState& p, int bpp)
{
    const RowGeometry& g = p.geometry;
    const int wide = g.deep ? 2 : 1;
    switch (g.output) {
    case OutputKind::Bit: bitmap.componentCount = 1; bitmap.bytesPerPixel = 1; break;
    case OutputKind::Byte: bitmap.componentCount = 1; bitmap.bytesPerPixel = static_cast<uint16_t>(wide); break;
    case OutputKind::Three: bitmap.componentCount = 3; bitmap.bytesPerPixel = static_cast<uint16_t>(3 * wide); break;
    case OutputKind::Four: bitmap.componentCount = 4; bitmap.bytesPerPixel = static_cast<uint16_t>(4 * wide); break;
    }
    bitmap.colorCount = static_cast<int16_t>(std::min(1 << std::min(bpp, 9), 256));
    const bool wholeBytes = g.output == OutputKind::Three || g.output == OutputKind::Four ||
                            (g.output == OutputKind::Byte && (bpp == 1 || bpp > 8));
    bitmap.bitsPerComponent = static_cast<uint16_t>(g.deep ? 16 : wholeBytes ? 8 : bpp);
    if (g.output == OutputKind::Three || g.output == OutputKind::Four) bitmap.colorCount = 0;
}

int convertColourModel(Bitmap& bitmap, const PipelineState& p, const LoadParams& params)
{
    const uint32_t flags = p.geometry.sampleFlags;
    const bool bgr = params.channelOrder == 1 || params.channelOrder == 2;
    if ((flags & (SampleLab | SampleLabVariant | SampleLabSigned | SampleLabSignedVariant)) && bitmap.componentCount >= 3) {
        convertLabToRgb(bitmap, flags, bgr);
    } else if (flags & SampleCmykInverted) {
        if (bitmap.type == Cmyk) invertSamples(bitmap);
        else convertCmykToRgb(bitmap, true, bgr);
    } else if ((flags & SampleCmykInk) && bitmap.type != Cmyk) {
        convertCmykToRgb(bitmap, false, bgr);
    }
    return LoadOk;
}

// Reductions that need the whole picture, fitted in integers.
int reduceAfterLoading(Bitmap& bitmap, const PipelineState& p, const LoadParams& params)
{
    int outW = 0, outH = 0;
    fitIntoBox(bitmap.width, bitmap.height, params.maxWidth, params.maxHeight, outW, outH);
    if (p.reduction == PipelineState::Reduction::ShrinkAfterLoading)
        return bitmapShrink(bitmap, nullptr, outW, outH, params.channelOrder == 1 ? Bgr : Rgb);
    return bitmapResample(bitmap, nullptr, outW, outH, ResampleArea);
}

// Files whose rows are columns: mirror, then a quarter turn.
int turnColumnOrigin(Bitmap& bitmap, uint16_t fileOrigin)
{
    if (const int result = bitmapMirror(bitmap, nullptr, nullptr); result != 0) return result;
    const int angle = (fileOrigin == 128 || fileOrigin == 145) ? -90 : 90;
    return bitmapRotate(bitmap, nullptr, angle, 0, nullptr, 0);
}

}  // namespace

void describeFinishedBitmap(Bitmap& bitmap, const PipelineState& p, const LoadParams& params, bool hasPalette)
{
    const ImageHeader& h = *p.header;
    const int bpp = h.planes * h.bitsPerPlane;
    bitmap.origin = params.origin;
    bitmap.dpiX = h.dpiX;
    bitmap.dpiY = h.dpiY;
    bitmap.transparentIndex = h.transparentIndex;
    bitmap.width = p.outWidth;
    bitmap.height = p.outHeight;
    bitmap.type = finalType(p, params, hasPalette, bpp);
    setPixelFields(bitmap, p, bpp);
}

int endImage(ReaderContext& context, int paletteFormat, int paletteBits, const uint8_t* palette)
{
    if (!context.pipeline || !context.pipeline->header) return LoadCorrupt;
    PipelineState& p = *context.pipeline;
    const ImageHeader& h = *p.header;
    const LoadParams& params = context.params;
    Bitmap& bitmap = *context.bitmap;
    const int bpp = h.planes * h.bitsPerPlane;

    if (p.reduction == PipelineState::Reduction::Area) {
        const int finished = areaFlush(p.area);
        if (finished >= 0 && bitmap.pixels) {
            const int out = p.flipRows ? p.outHeight - 1 - finished : finished;
            p.store(p.area.finished.data(), 0, bitmapRow(bitmap, out), p.outWidth, p.geometry);
        }
    }
    const bool hasPalette = palette != nullptr && bpp <= 8;
    describeFinishedBitmap(bitmap, p, params, hasPalette);
    const PipelineState::Reduction reduction = p.reduction;
    const uint16_t fileOrigin = h.fileOrigin;
    if (!bitmap.pixels) {
        context.pipeline->header = nullptr;
        return LoadOk;
    }

    uint8_t table[PaletteBytes] = {};
    if (hasPalette) decodePalette(table, paletteFormat, paletteBits, palette, bpp);
    if (bpp <= 8 && h.components <= 1) {
        if (const int result = applyPalette(bitmap, p, bpp, paletteFormat, table, hasPalette); result != LoadOk)
            return result;
    } else {
        convertColourModel(bitmap, p, params);
    }
    if (reduction == PipelineState::Reduction::AfterLoading || reduction == PipelineState::Reduction::ShrinkAfterLoading)
        if (const int result = reduceAfterLoading(bitmap, p, params); result != 0) return result;
    if (params.origin == 0 && (fileOrigin == 128 || fileOrigin == 129 || fileOrigin == 144 || fileOrigin == 145))
        if (const int result = turnColumnOrigin(bitmap, fileOrigin); result != 0) return result;

    // The work buffers go; the header stays the reader's.
    p.rowBuffer = {};
    p.scratch = {};
    p.unpacked = {};
    p.gathered = {};
    p.header = nullptr;
    return LoadOk;
}

}  // namespace fotrix
