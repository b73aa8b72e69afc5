// Palette conversions: colour cube with ordered dither, exact palettes and
// median cut with a lazily filled inverse colour map.
#include "imagelib/processing/colours_palette.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>

#include "imagelib/colours.h"
#include "imagelib/processing/colours_common.h"
#include "imagelib/result.h"

namespace fotrix::colours {

namespace {

constexpr int paletteSizes[] = {8, 16, 32, 64, 128, 216, 256};  // modes 12 .. 18

struct CubeLevels {
    int r, g, b;
};

CubeLevels cubeFor(int colours)
{
    switch (colours) {
    case 8: return {2, 2, 2};
    case 16: return {2, 4, 2};
    case 32: return {4, 4, 2};
    case 64: return {4, 4, 4};
    case 216: return {6, 6, 6};
    default: return {8, 8, 4};  // 128 and 256 share the 256-entry cube
    }
}

void setEntry(Bitmap& bitmap, int i, int r, int g, int b)
{
    bitmap.palette[PaletteRed + i] = static_cast<uint8_t>(r);
    bitmap.palette[PaletteGreen + i] = static_cast<uint8_t>(g);
    bitmap.palette[PaletteBlue + i] = static_cast<uint8_t>(b);
}

void toCube(const Bitmap& bitmap, Bitmap& result, int colours)
{
    const CubeLevels c = cubeFor(colours);
    for (int ri = 0; ri < c.r; ++ri)
        for (int gi = 0; gi < c.g; ++gi)
            for (int bi = 0; bi < c.b; ++bi)
                setEntry(result, ri * (c.g * c.b) + gi * c.b + bi, ri * 255 / (c.r - 1), gi * 255 / (c.g - 1),
                         bi * 255 / (c.b - 1));
    result.colorCount = static_cast<int16_t>(c.r * c.g * c.b);
    OrderedLevels red, green, blue;
    red.build(c.r);
    green.build(c.g);
    blue.build(c.b);
    RowReader reader(bitmap);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* rgb = reader.rgb(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < bitmap.width; ++x) {
            const int ri = red.level(rgb[3 * x], x, y);
            const int gi = green.level(rgb[3 * x + 1], x, y);
            const int bi = blue.level(rgb[3 * x + 2], x, y);
            out[x] = static_cast<uint8_t>(ri * (c.g * c.b) + gi * c.b + bi);
        }
    }
}

// Distinct colours of a true-colour picture in order of first appearance;
// false as soon as there are more than `limit`.
bool exactTrueColour(const Bitmap& bitmap, Bitmap& result, int limit)
{
    constexpr int Slots = 1024;  // open addressing, at most 256 colours kept
    uint32_t keys[Slots];
    uint8_t indices[Slots];
    std::fill(std::begin(keys), std::end(keys), 0xFFFFFFFFu);
    int found = 0;
    RowReader reader(bitmap);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* rgb = reader.rgb(y);
        uint8_t* out = bitmapRow(result, y);
        uint32_t lastKey = 0xFFFFFFFFu;
        uint8_t lastIndex = 0;
        for (int x = 0; x < bitmap.width; ++x) {
            const uint32_t key = uint32_t(rgb[3 * x]) << 16 | rgb[3 * x + 1] << 8 | rgb[3 * x + 2];
            if (key != lastKey) {
                uint32_t slot = (key * 2654435761u) >> 22;
                while (keys[slot] != key && keys[slot] != 0xFFFFFFFFu) slot = (slot + 1) & (Slots - 1);
                if (keys[slot] != key) {
                    if (found == limit) return false;
                    keys[slot] = key;
                    indices[slot] = static_cast<uint8_t>(found);
                    setEntry(result, found, rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
                    ++found;
                }
                lastKey = key;
                lastIndex = indices[slot];
            }
            out[x] = lastIndex;
        }
    }
    return true;
}

// Grey and palette pictures: the byte values in use, most used first.
bool exactByValue(const Bitmap& bitmap, Bitmap& result, int limit)
{
    uint32_t counts[256] = {};
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmapRow(bitmap, y);
        for (int x = 0; x < bitmap.width; ++x) ++counts[row[x]];
    }
    int order[256];
    std::iota(order, order + 256, 0);
    std::stable_sort(order, order + 256, [&](int a, int b) { return counts[a] > counts[b]; });
    const int used = static_cast<int>(std::count_if(counts, counts + 256, [](uint32_t c) { return c != 0; }));
    if (used > limit) return false;
    uint8_t renumber[256] = {};
    RowReader reader(bitmap);
    const int levels = bitmap.colorCount >= 2 && bitmap.colorCount <= 256 ? bitmap.colorCount : 256;
    for (int k = 0; k < limit && k < 256; ++k) {
        const int v = order[k];
        renumber[v] = static_cast<uint8_t>(k);
        if (bitmap.type == Indexed) {
            setEntry(result, k, bitmap.palette[PaletteRed + v], bitmap.palette[PaletteGreen + v],
                     bitmap.palette[PaletteBlue + v]);
        } else {
            const int grey = std::min(v, levels - 1) * 255 / (levels - 1);
            setEntry(result, k, grey, grey, grey);
        }
    }
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmapRow(bitmap, y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < bitmap.width; ++x) out[x] = renumber[row[x]];
    }
    return true;
}

int medianCut(const Bitmap& bitmap, Bitmap& result, int colours)
{
    auto cut = std::make_unique<MedianCut>();
    RowReader reader(bitmap);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* rgb = reader.rgb(y);
        for (int x = 0; x < bitmap.width; ++x) cut->count(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
    }
    uint8_t palette[256][3] = {};
    cut->build(colours, palette);
    for (int i = 0; i < 256; ++i) setEntry(result, i, palette[i][0], palette[i][1], palette[i][2]);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* rgb = reader.rgb(y);
        uint8_t* out = bitmapRow(result, y);
        for (int x = 0; x < bitmap.width; ++x)
            out[x] = static_cast<uint8_t>(cut->map(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]));
    }
    return ResultOk;
}

}  // namespace

// --- median cut --------------------------------------------------------------

MedianCut::MedianCut() : histogram_(Cells, 0) {}

void MedianCut::shrink(MedianCutBox& box) const
{
    int rMin = 32, rMax = -1, gMin = 64, gMax = -1, bMin = 32, bMax = -1, count = 0;
    for (int r = box.rMin; r <= box.rMax; ++r)
        for (int g = box.gMin; g <= box.gMax; ++g) {
            const uint16_t* line = &histogram_[r << 11 | g << 5];
            for (int b = box.bMin; b <= box.bMax; ++b) {
                if (!line[b]) continue;
                ++count;
                rMin = std::min(rMin, r), rMax = std::max(rMax, r);
                gMin = std::min(gMin, g), gMax = std::max(gMax, g);
                bMin = std::min(bMin, b), bMax = std::max(bMax, b);
            }
        }
    if (count) box = {rMin, rMax, gMin, gMax, bMin, bMax, 0, count};
    else box.colourCount = 0;
    const int64_t dr = (box.rMax - box.rMin) * 16, dg = (box.gMax - box.gMin) * 12, db = (box.bMax - box.bMin) * 8;
    box.volume = dr * dr + dg * dg + db * db;
}

int MedianCut::build(int colours, uint8_t palette[][3])
{
    boxes_.clear();
    boxes_.push_back({0, 31, 0, 63, 0, 31, 0, 0});
    shrink(boxes_[0]);
    if (boxes_[0].colourCount == 0) boxes_.clear();
    while (!boxes_.empty() && static_cast<int>(boxes_.size()) < colours) {
        const bool byCount = 2 * static_cast<int>(boxes_.size()) <= colours;
        int pick = -1;
        for (int i = 0; i < static_cast<int>(boxes_.size()); ++i) {
            const MedianCutBox& box = boxes_[i];
            if (box.volume == 0) continue;
            if (pick < 0 || (byCount ? box.colourCount > boxes_[pick].colourCount : box.volume > boxes_[pick].volume))
                pick = i;
        }
        if (pick < 0) break;
        MedianCutBox lower = boxes_[pick], upper = boxes_[pick];
        const int er = (lower.rMax - lower.rMin) * 16, eg = (lower.gMax - lower.gMin) * 12,
                  eb = (lower.bMax - lower.bMin) * 8;
        if (eb > er && eb > eg) {
            const int mid = (lower.bMin + lower.bMax) / 2;
            lower.bMax = mid, upper.bMin = mid + 1;
        } else if (er > eg) {
            const int mid = (lower.rMin + lower.rMax) / 2;
            lower.rMax = mid, upper.rMin = mid + 1;
        } else {
            const int mid = (lower.gMin + lower.gMax) / 2;
            lower.gMax = mid, upper.gMin = mid + 1;
        }
        shrink(lower);
        shrink(upper);
        boxes_[pick] = lower;
        boxes_.push_back(upper);
    }
    colours_ = static_cast<int>(boxes_.size());
    for (int i = 0; i < colours_; ++i) {
        const MedianCutBox& box = boxes_[i];
        uint64_t total = 0, sr = 0, sg = 0, sb = 0;
        for (int r = box.rMin; r <= box.rMax; ++r)
            for (int g = box.gMin; g <= box.gMax; ++g)
                for (int b = box.bMin; b <= box.bMax; ++b) {
                    const uint64_t n = histogram_[r << 11 | g << 5 | b];
                    total += n;
                    sr += n * (r * 8 + 4), sg += n * (g * 4 + 2), sb += n * (b * 8 + 4);
                }
        int cr = static_cast<int>((sr + total / 2) / total);
        int cg = static_cast<int>((sg + total / 2) / total);
        int cb = static_cast<int>((sb + total / 2) / total);
        // Boxes at the edges of the histogram reach pure black and full intensity.
        if (box.rMin == 0) cr = 0; else if (box.rMax == 31) cr = 255;
        if (box.gMin == 0) cg = 0; else if (box.gMax == 63) cg = 255;
        if (box.bMin == 0) cb = 0; else if (box.bMax == 31) cb = 255;
        palette_[i][0] = palette[i][0] = static_cast<uint8_t>(cr);
        palette_[i][1] = palette[i][1] = static_cast<uint8_t>(cg);
        palette_[i][2] = palette[i][2] = static_cast<uint8_t>(cb);
    }
    std::fill(histogram_.begin(), histogram_.end(), 0);  // now the inverse colour map: index + 1
    return colours_;
}

// Fills the 4 x 8 x 4 block of cells around `c` with the nearest palette
// colour of each cell centre, considering only colours that can be nearest
// somewhere in the block.
void MedianCut::fillBlock(int c)
{
    const int r0 = (c >> 11) & ~3, g0 = (c >> 5 & 63) & ~7, b0 = (c & 31) & ~3;
    const int lo[3] = {r0 * 8 + 4, g0 * 4 + 2, b0 * 8 + 4};
    const int hi[3] = {(r0 + 3) * 8 + 4, (g0 + 7) * 4 + 2, (b0 + 3) * 8 + 4};
    static constexpr int weight[3] = {4, 9, 1};
    int nearest[256];
    int leastFarthest = 1 << 30;
    for (int i = 0; i < colours_; ++i) {
        int dMin = 0, dMax = 0;
        for (int k = 0; k < 3; ++k) {
            const int v = palette_[i][k];
            const int below = v < lo[k] ? lo[k] - v : v > hi[k] ? v - hi[k] : 0;
            const int far = std::max(std::abs(v - lo[k]), std::abs(v - hi[k]));
            dMin += weight[k] * below * below;
            dMax += weight[k] * far * far;
        }
        nearest[i] = dMin;
        leastFarthest = std::min(leastFarthest, dMax);
    }
    int candidates[256], candidateCount = 0;
    for (int i = 0; i < colours_; ++i)
        if (nearest[i] <= leastFarthest) candidates[candidateCount++] = i;
    for (int r = r0; r < r0 + 4; ++r)
        for (int g = g0; g < g0 + 8; ++g)
            for (int b = b0; b < b0 + 4; ++b) {
                const int cr = r * 8 + 4, cg = g * 4 + 2, cb = b * 8 + 4;
                int best = 0, bestDistance = 1 << 30;
                for (int k = 0; k < candidateCount; ++k) {
                    const uint8_t* p = palette_[candidates[k]];
                    const int dr = 2 * (cr - p[0]), dg = 3 * (cg - p[1]), db = cb - p[2];
                    const int d = dr * dr + dg * dg + db * db;
                    if (d < bestDistance) bestDistance = d, best = candidates[k];
                }
                histogram_[r << 11 | g << 5 | b] = static_cast<uint16_t>(best + 1);
            }
}

int toPalette(const Bitmap& bitmap, Bitmap& result, unsigned mode, unsigned dither)
{
    const int colours = paletteSizes[mode - ColourPalette8];
    if (bitmapAllocateLike(result, Indexed, bitmap) != 0 || !result.palette) return ResultNoMemory;
    result.colorCount = static_cast<int16_t>(colours);
    if (bitmap.type == Binary) {
        setEntry(result, 1, 255, 255, 255);
        for (int y = 0; y < bitmap.height; ++y) {
            const uint8_t* row = bitmapRow(bitmap, y);
            uint8_t* out = bitmapRow(result, y);
            for (int x = 0; x < bitmap.width; ++x) out[x] = static_cast<uint8_t>(bitGet(row, x));
        }
        return ResultOk;
    }
    if (dither == DitherOrdered) {
        toCube(bitmap, result, colours);
        return ResultOk;
    }
    const bool byValue = bitmap.type == Grey || bitmap.type == Indexed;
    if (byValue ? exactByValue(bitmap, result, colours) : exactTrueColour(bitmap, result, colours)) return ResultOk;
    std::memset(result.palette, 0, PaletteBytes);
    return medianCut(bitmap, result, colours);
}

}  // namespace fotrix::colours
