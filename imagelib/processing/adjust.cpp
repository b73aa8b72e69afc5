// Tone corrections through lookup tables: brightness / contrast / gamma,
// automatic levels and contrast, colour balance, and the histograms they use.
#include "imagelib/adjust.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imagelib/result.h"

namespace fotrix {

namespace {

struct LumaPositions {
    int r, g, b;
};

LumaPositions lumaPositions(unsigned type)
{
    switch (type) {
    case Bgr: case Bgra: return {2, 1, 0};
    case Abgr: return {3, 2, 1};
    case Argb: return {1, 2, 3};
    default: return {0, 1, 2};
    }
}

int luminance(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

// Where a table operation writes: the source itself, or a full copy of it in
// `output` (pixels, palette, levels and attributes).
Bitmap* prepareTarget(Bitmap& bitmap, Bitmap* output, int& result)
{
    result = ResultOk;
    if (!output) return &bitmap;
    Bitmap copy;
    if (bitmapAllocateLike(copy, bitmap.type, bitmap) != 0 || copy.bytesPerRow != bitmap.bytesPerRow) {
        bitmapFree(copy);
        result = ResultNoMemory;
        return nullptr;
    }
    std::memcpy(copy.pixels, bitmap.pixels, static_cast<size_t>(bitmap.bytesPerRow) * bitmap.height);
    if (bitmap.palette && copy.palette) std::memcpy(copy.palette, bitmap.palette, PaletteBytes);
    copy.colorCount = bitmap.colorCount;
    copy.transparentIndex = bitmap.transparentIndex;
    *output = copy;
    return output;
}

// Maps the rectangle's bytes (or the palette) through per-position tables.
void mapThroughTables(Bitmap& target, const Rect& clip, const uint8_t* const tables[4], int positions)
{
    if (target.type == Indexed) {
        if (!target.palette) return;
        const int count = std::clamp<int>(target.colorCount, 0, 256);
        static constexpr int planes[3] = {PaletteRed, PaletteGreen, PaletteBlue};
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < count; ++i) target.palette[planes[k] + i] = tables[k][target.palette[planes[k] + i]];
        return;
    }
    const int step = target.bytesPerPixel;
    for (int y = clip.y; y < clip.y + clip.h; ++y) {
        uint8_t* p = bitmapRow(target, y) + static_cast<size_t>(clip.x) * step;
        for (int x = 0; x < clip.w; ++x, p += step)
            for (int k = 0; k < positions; ++k) p[k] = tables[k][p[k]];
    }
}

// Bytes mapped per pixel: the first three of four-byte pixels, else all.
int mappedPositions(const Bitmap& bitmap) { return bitmap.bytesPerPixel == 4 ? 3 : std::min<int>(bitmap.bytesPerPixel, 3); }

// The levels where the running counts from below and from above first
// exceed `threshold`; when they meet, the lowest and highest used levels.
void levelRange(const uint32_t histogram[256], uint32_t threshold, int& low, int& high)
{
    low = 255;
    high = 0;
    uint64_t sum = 0;
    for (int v = 0; v < 256; ++v)
        if ((sum += histogram[v]) > threshold) {
            low = v;
            break;
        }
    sum = 0;
    for (int v = 255; v >= 0; --v)
        if ((sum += histogram[v]) > threshold) {
            high = v;
            break;
        }
    if (low == high) {
        for (int v = 0; v < 256; ++v)
            if (histogram[v]) {
                low = v;
                break;
            }
        for (int v = 255; v >= 0; --v)
            if (histogram[v]) {
                high = v;
                break;
            }
    }
}

void stretchTable(uint8_t table[256], int low, int high)
{
    for (int v = 0; v < 256; ++v) {
        if (high <= low)
            table[v] = static_cast<uint8_t>(v);
        else if (v < low)
            table[v] = 0;
        else if (v > high)
            table[v] = 255;
        else
            table[v] = static_cast<uint8_t>((v - low) * 255 / (high - low));
    }
}

void widenLevels(Bitmap& bitmap)
{
    if (bitmap.type == Grey || bitmap.type == Indexed) bitmap.colorCount = 256;
}

}  // namespace

void bitmapLumaHistogram(const Bitmap& bitmap, uint32_t histogram[256])
{
    std::fill(histogram, histogram + 256, 0u);
    if (!bitmap.pixels) return;
    const LumaPositions c = lumaPositions(bitmap.type);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmapRow(bitmap, y);
        if (bitmap.type == Binary) {
            for (int x = 0; x < bitmap.width; ++x) ++histogram[bitGet(row, x) ? 255 : 0];
        } else if (bitmap.bytesPerPixel == 1) {
            for (int x = 0; x < bitmap.width; ++x) ++histogram[row[x]];
        } else if (bitmap.bytesPerPixel >= 3) {
            for (int x = 0; x < bitmap.width; ++x) {
                const uint8_t* p = row + static_cast<size_t>(x) * bitmap.bytesPerPixel;
                ++histogram[luminance(p[c.r], p[c.g], p[c.b])];
            }
        }
    }
}

void bitmapChannelHistograms(const Bitmap& bitmap, uint32_t histograms[4][256])
{
    for (int k = 0; k < 4; ++k) std::fill(histograms[k], histograms[k] + 256, 0u);
    if (!bitmap.pixels || bitmap.type == Binary) return;
    const int channels = std::min<int>(bitmap.bytesPerPixel, 4);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* p = bitmapRow(bitmap, y);
        for (int x = 0; x < bitmap.width; ++x, p += bitmap.bytesPerPixel)
            for (int k = 0; k < channels; ++k) ++histograms[k][p[k]];
    }
}

void buildAdjustTable(uint8_t table[256], int brightness, int contrast, double gamma)
{
    // Contrast beyond +-127 would divide by zero or turn the scale over.
    const int c = std::clamp(contrast, -127, 127);
    const bool keepGamma = !(gamma > 0) || (gamma >= 0.9999 && gamma <= 1.0001);
    for (int i = 0; i < 256; ++i) {
        double v = std::clamp(i + brightness, 0, 255);
        if (c > 0)
            v = std::trunc((v - c) * 255 / (255 - 2 * c));
        else
            v = std::trunc((2 * c + 255) * v * (1.0 / 255) - c);
        v = std::clamp(v, 0.0, 255.0);
        if (!keepGamma) v = std::trunc(std::pow(v * (1.0 / 255), 1.0 / gamma) * 255 + 0.5);
        table[i] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
    }
}

int bitmapAdjust(Bitmap& bitmap, Bitmap* output, const Rect* rect, int brightness, int contrast, double gamma)
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    if (!bitmap.pixels) return ResultBadSize;
    uint8_t table[256];
    buildAdjustTable(table, brightness, contrast, gamma);
    // An empty rectangle changes nothing; an output record still gets its copy.
    Rect clip;
    const bool empty = bitmapClipRect(bitmap, rect, clip) != 0;
    int result;
    Bitmap* target = prepareTarget(bitmap, output, result);
    if (!target || empty) return result;
    const int levels = target->colorCount;
    if (target->type == Grey && levels >= 2 && levels < 256) {
        // Level numbers 0 .. n - 1: map through the grey each stands for.
        uint8_t levelTable[256];
        for (int k = 0; k < 256; ++k) {
            const int level = std::min(k, levels - 1);
            levelTable[k] = static_cast<uint8_t>(table[level * 255 / (levels - 1)] * (levels - 1) / 255);
        }
        std::memcpy(table, levelTable, 256);
    }
    const uint8_t* tables[4] = {table, table, table, table};
    mapThroughTables(*target, clip, tables, mappedPositions(*target));
    return ResultOk;
}

int bitmapApplyChannelTables(Bitmap& bitmap, Bitmap* output, const Rect* rect, const uint8_t tables[3][256])
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    if (!bitmap.pixels) return ResultBadSize;
    // An empty rectangle changes nothing; an output record still gets its copy.
    Rect clip;
    const bool empty = bitmapClipRect(bitmap, rect, clip) != 0;
    int result;
    Bitmap* target = prepareTarget(bitmap, output, result);
    if (!target || empty) return result;
    const uint8_t* list[4] = {tables[0], tables[1], tables[2], tables[2]};
    mapThroughTables(*target, clip, list, mappedPositions(*target));
    return ResultOk;
}

int bitmapAutoLevels(Bitmap& bitmap, Bitmap* output, const Rect* rect)
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    if (!bitmap.pixels) return ResultBadSize;
    uint32_t histograms[4][256];
    bitmapChannelHistograms(bitmap, histograms);
    const uint32_t threshold = static_cast<uint32_t>(static_cast<uint64_t>(bitmap.width) * bitmap.height / 1000);
    uint8_t tables[3][256];
    const int channels = bitmap.bytesPerPixel == 1 ? 1 : mappedPositions(bitmap);
    for (int k = 0; k < channels; ++k) {
        int low, high;
        levelRange(histograms[k], threshold, low, high);
        stretchTable(tables[k], low, high);
    }
    for (int k = channels; k < 3; ++k) std::memcpy(tables[k], tables[0], 256);  // one table for all palette planes
    const int result = bitmapApplyChannelTables(bitmap, output, rect, tables);
    if (result == ResultOk) widenLevels(output ? *output : bitmap);
    return result;
}

int bitmapAutoContrast(Bitmap& bitmap, Bitmap* output, const Rect* rect)
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    uint32_t histogram[256];
    bitmapLumaHistogram(bitmap, histogram);
    const uint32_t threshold = static_cast<uint32_t>(static_cast<uint64_t>(bitmap.width) * bitmap.height / 1000);
    int low, high;
    levelRange(histogram, threshold, low, high);
    return bitmapAdjust(bitmap, output, rect, 128 - (high + low) / 2, (low - high + 255) / 2, 1.0);
}

int bitmapColourBalance(Bitmap& bitmap, Bitmap* output, const Rect* rect, int offset0, int offset1, int offset2)
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    uint8_t tables[3][256];
    const int offsets[3] = {offset0, offset1, offset2};
    for (int k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v) tables[k][v] = static_cast<uint8_t>(std::clamp(v + offsets[k], 0, 255));
    const int result = bitmapApplyChannelTables(bitmap, output, rect, tables);
    if (result == ResultOk) widenLevels(output ? *output : bitmap);
    return result;
}

}  // namespace fotrix
