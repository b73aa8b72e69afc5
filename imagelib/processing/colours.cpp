// bitmapConvertColours: black and white, grey levels and true-colour
// layouts; palettes are in colours_palette.cpp.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/colours.h"
#include "imagelib/processing/colours_common.h"
#include "imagelib/processing/colours_palette.h"
#include "imagelib/transform.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

using colours::Channels;
using colours::OrderedLevels;
using colours::RowReader;

constexpr int greyLevels[] = {4, 8, 16, 32, 64, 128, 216, 256};  // modes 2 .. 9

bool sameLayoutCopy(Bitmap& bitmap, Bitmap* output)
{
    if (output) return bitmapDuplicate(bitmap, output) == 0;
    return true;
}

// Error diffusion to black and white: 3/8 of the error to the right and
// below, 1/4 below-right, two alternating error rows.
void diffuse(RowReader& reader, Bitmap& result)
{
    const int w = result.width;
    std::vector<int> errors[2] = {std::vector<int>(w + 1, 0), std::vector<int>(w + 1, 0)};
    for (int y = 0; y < result.height; ++y) {
        std::vector<int>& current = errors[y % 2];
        std::vector<int>& next = errors[(y + 1) % 2];
        const uint8_t* grey = reader.grey(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < w; ++x) {
            const int s = grey[x] + current[x];
            const bool white = s >= 128;
            if (white) bitOr(out, x, 1);
            const int e = s - (white ? 255 : 0);
            const int d = (3 * e) / 8;
            next[x] += d;
            next[x + 1] += e / 4;
            current[x] = 0;
            current[x + 1] += d;
        }
    }
}

int toBinary(Bitmap& bitmap, Bitmap& result, unsigned dither)
{
    if (bitmapAllocateLike(result, Binary, bitmap) != 0) return ResultNoMemory;
    RowReader reader(bitmap);
    if (dither == DitherDiffusion) {
        diffuse(reader, result);
        return ResultOk;
    }
    const uint8_t (*m6)[6] = dither == DitherClustered ? clustered6 : dispersed6;
    for (int y = 0; y < result.height; ++y) {
        const uint8_t* grey = reader.grey(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < result.width; ++x) {
            const int v = grey[x];
            bool white;
            if (dither == DitherThreshold)
                white = v >= 127;
            else if (dither == DitherOrdered)
                white = v >= bayer16[y & 15][x & 15];
            else
                white = (v * 36) / 255 >= m6[y % 6][x % 6];
            if (white) bitOr(out, x, 1);
        }
    }
    return ResultOk;
}

int toGrey(Bitmap& bitmap, Bitmap& result, int levels, unsigned dither)
{
    if (bitmapAllocateLike(result, Grey, bitmap) != 0) return ResultNoMemory;
    result.colorCount = static_cast<int16_t>(levels);
    const int w = bitmap.width;
    if (bitmap.type == Binary) {
        for (int y = 0; y < bitmap.height; ++y) {
            const uint8_t* row = bitmapRow(bitmap, y);
            uint8_t* out = bitmapRow(result, y);
            for (int x = 0; x < w; ++x) out[x] = bitGet(row, x) ? static_cast<uint8_t>(levels - 1) : 0;
        }
        return ResultOk;
    }
    RowReader reader(bitmap);
    if (dither == DitherOrdered && levels != 256) {
        OrderedLevels ordered;
        ordered.build(levels);
        for (int y = 0; y < bitmap.height; ++y) {
            const uint8_t* grey = reader.grey(y);
            uint8_t* out = bitmapRow(result, y);
            for (int x = 0; x < w; ++x) out[x] = static_cast<uint8_t>(ordered.level(grey[x], x, y));
        }
        return ResultOk;
    }
    // Direct: a level keeps its place on the new scale; others go by luminance.
    uint8_t map[256];
    const int sourceLevels = bitmap.colorCount >= 2 && bitmap.colorCount <= 256 ? bitmap.colorCount : 256;
    for (int v = 0; v < 256; ++v)
        map[v] = bitmap.type == Grey ? static_cast<uint8_t>(std::min(v, sourceLevels - 1) * (levels - 1) / (sourceLevels - 1))
                                     : static_cast<uint8_t>(v * (levels - 1) / 255);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* in = bitmap.type == Grey ? bitmapRow(bitmap, y) : reader.grey(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < w; ++x) out[x] = map[in[x]];
    }
    return ResultOk;
}

int toTrueColour(Bitmap& bitmap, Bitmap& result, unsigned type)
{
    if (bitmapAllocateLike(result, type, bitmap) != 0) return ResultNoMemory;
    RowReader reader(bitmap);
    const Channels to = colours::channelsOf(type);
    const int step = result.bytesPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* rgb = reader.rgb(y);
        const uint8_t* alpha = reader.alpha(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < bitmap.width; ++x) {
            uint8_t* p = out + x * step;
            p[to.r] = rgb[3 * x];
            p[to.g] = rgb[3 * x + 1];
            p[to.b] = rgb[3 * x + 2];
            if (to.a >= 0) p[to.a] = alpha[x];
        }
    }
    return ResultOk;
}

constexpr uint16_t trueColourTypes[] = {Rgb, Rgba, Bgr, Abgr, Bgra, Argb};  // modes 19 .. 24

}  // namespace

int bitmapConvertColours(Bitmap& bitmap, Bitmap* output, unsigned mode, unsigned dither)
{
    const bool grey = mode >= ColourGrey4 && mode <= ColourGrey256;
    const bool palette = mode >= ColourPalette8 && mode <= ColourPalette256;
    const bool trueColour = mode >= ColourRgb && mode <= ColourArgb;
    if (mode != ColourBinary && !grey && !palette && !trueColour) return ResultBadSize;
    if (!bitmap.pixels || bitmap.width < 1 || bitmap.height < 1) return ResultBadSize;
    if (bitmap.type != Binary && bitmap.bitsPerComponent > 8) return ResultBadSize;

    if (mode == ColourBinary && bitmap.type == Binary) return sameLayoutCopy(bitmap, output) ? ResultOk : ResultNoMemory;
    if (trueColour && bitmap.type == trueColourTypes[mode - ColourRgb])
        return sameLayoutCopy(bitmap, output) ? ResultOk : ResultNoMemory;

    Bitmap result;
    int code;
    if (mode == ColourBinary)
        code = toBinary(bitmap, result, dither);
    else if (grey)
        code = toGrey(bitmap, result, greyLevels[mode - ColourGrey4], dither);
    else if (palette)
        code = colours::toPalette(bitmap, result, mode, dither);
    else
        code = toTrueColour(bitmap, result, trueColourTypes[mode - ColourRgb]);
    if (code != ResultOk) {
        bitmapFree(result);
        return code;
    }
    if (output) {
        *output = result;
    } else {
        bitmapMove(bitmap, result);
    }
    return ResultOk;
}

}  // namespace fotrix
