// Threshold matrices of the dithers and the row reader of the colour conversions.
#include <algorithm>

#include "imagelib/colours.h"
#include "imagelib/processing/colours_common.h"

namespace fotrix {

namespace {

// The recursive Bayer matrix: M(2n) = (4M, 4M + 2; 4M + 3, 4M + 1), with
// the top-left 0 stored as 1 so that black stays black.
struct Bayer16 {
    uint8_t m[16][16] = {};
    constexpr Bayer16()
    {
        for (int size = 1; size < 16; size *= 2)
            for (int y = size - 1; y >= 0; --y)
                for (int x = size - 1; x >= 0; --x) {
                    const uint8_t v = static_cast<uint8_t>(4 * m[y][x]);
                    m[y][x] = v;
                    m[y][x + size] = static_cast<uint8_t>(v + 2);
                    m[y + size][x] = static_cast<uint8_t>(v + 3);
                    m[y + size][x + size] = static_cast<uint8_t>(v + 1);
                }
        m[0][0] = 1;
    }
};

constexpr Bayer16 bayer;

}  // namespace


const uint8_t bayer16[16][16] = {
#define ROW(y) {bayer.m[y][0], bayer.m[y][1], bayer.m[y][2], bayer.m[y][3], bayer.m[y][4], bayer.m[y][5], \
                bayer.m[y][6], bayer.m[y][7], bayer.m[y][8], bayer.m[y][9], bayer.m[y][10], bayer.m[y][11], \
                bayer.m[y][12], bayer.m[y][13], bayer.m[y][14], bayer.m[y][15]}
    ROW(0), ROW(1), ROW(2), ROW(3), ROW(4), ROW(5), ROW(6), ROW(7),
    ROW(8), ROW(9), ROW(10), ROW(11), ROW(12), ROW(13), ROW(14), ROW(15),
#undef ROW
};

const uint8_t clustered6[6][6] = {
    {30, 19, 13, 20, 31, 35}, {18, 8, 5, 9, 21, 29}, {12, 4, 1, 2, 10, 28},
    {17, 7, 3, 6, 14, 27},    {26, 16, 11, 15, 22, 32}, {34, 25, 24, 23, 33, 36},
};

const uint8_t dispersed6[6][6] = {
    {15, 9, 17, 32, 22, 30}, {7, 1, 3, 19, 35, 23}, {13, 5, 11, 27, 26, 33},
    {31, 21, 29, 16, 10, 18}, {20, 36, 24, 8, 2, 4}, {28, 25, 34, 14, 6, 12},
};

const uint8_t ordered8[8][8] = {
    {0, 38, 9, 47, 2, 40, 11, 50},   {25, 12, 35, 22, 27, 15, 37, 24},
    {6, 44, 3, 41, 8, 47, 5, 43},    {31, 19, 28, 15, 34, 21, 31, 18},
    {1, 39, 11, 49, 0, 39, 10, 48},  {27, 14, 36, 23, 26, 13, 35, 23},
    {7, 46, 4, 43, 7, 45, 3, 42},    {33, 20, 30, 17, 32, 19, 29, 16},
};

namespace colours {

Channels channelsOf(unsigned type)
{
    switch (type) {
    case Rgba: return {0, 1, 2, 3};
    case Bgr: return {2, 1, 0, -1};
    case Abgr: return {3, 2, 1, 0};
    case Bgra: return {2, 1, 0, 3};
    case Argb: return {1, 2, 3, 0};
    default: return {0, 1, 2, -1};
    }
}

RowReader::RowReader(const Bitmap& bitmap) : bitmap_(bitmap)
{
    rgb_.resize(static_cast<size_t>(bitmap.width) * 3 + 8);
    grey_.resize(static_cast<size_t>(bitmap.width) + 8);
    alpha_.resize(static_cast<size_t>(bitmap.width) + 8);
    const int levels = bitmap.colorCount >= 2 && bitmap.colorCount <= 256 ? bitmap.colorCount : 256;
    for (int v = 0; v < 256; ++v) {
        uint8_t* c = levelRgb_[v];
        if (bitmap.type == Indexed && bitmap.palette) {
            c[0] = bitmap.palette[PaletteRed + v];
            c[1] = bitmap.palette[PaletteGreen + v];
            c[2] = bitmap.palette[PaletteBlue + v];
        } else if (bitmap.type == Binary) {
            c[0] = c[1] = c[2] = v ? 255 : 0;
        } else {
            c[0] = c[1] = c[2] = static_cast<uint8_t>(std::min(v, levels - 1) * 255 / (levels - 1));
        }
        levelGrey_[v] = static_cast<uint8_t>(luminance(c[0], c[1], c[2]));
    }
}

const uint8_t* RowReader::rgb(int y)
{
    const uint8_t* row = bitmapRow(bitmap_, y);
    const int w = bitmap_.width;
    uint8_t* out = rgb_.data();
    if (bitmap_.type == Binary) {
        for (int x = 0; x < w; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = bitGet(row, x) ? 255 : 0;
    } else if (bitmap_.type == Grey || bitmap_.type == Indexed) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* c = levelRgb_[row[x]];
            out[3 * x] = c[0], out[3 * x + 1] = c[1], out[3 * x + 2] = c[2];
        }
    } else if (bitmap_.type == Cmyk) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = row + 4 * x;
            const int k = 255 - p[3];
            out[3 * x] = static_cast<uint8_t>((255 - p[0]) * k / 255);
            out[3 * x + 1] = static_cast<uint8_t>((255 - p[1]) * k / 255);
            out[3 * x + 2] = static_cast<uint8_t>((255 - p[2]) * k / 255);
        }
    } else {
        const Channels c = channelsOf(bitmap_.type);
        const int step = bitmap_.bytesPerPixel;
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = row + x * step;
            out[3 * x] = p[c.r], out[3 * x + 1] = p[c.g], out[3 * x + 2] = p[c.b];
        }
    }
    return out;
}

const uint8_t* RowReader::grey(int y)
{
    const uint8_t* row = bitmapRow(bitmap_, y);
    const int w = bitmap_.width;
    uint8_t* out = grey_.data();
    if (bitmap_.type == Grey || bitmap_.type == Indexed) {
        for (int x = 0; x < w; ++x) out[x] = levelGrey_[row[x]];
    } else if (bitmap_.type == Binary) {
        for (int x = 0; x < w; ++x) out[x] = bitGet(row, x) ? 255 : 0;
    } else {
        const uint8_t* c = rgb(y);
        for (int x = 0; x < w; ++x) out[x] = static_cast<uint8_t>(luminance(c[3 * x], c[3 * x + 1], c[3 * x + 2]));
    }
    return out;
}

const uint8_t* RowReader::alpha(int y)
{
    const int w = bitmap_.width;
    uint8_t* out = alpha_.data();
    const Channels c = channelsOf(bitmap_.type);
    if (!(bitmap_.type & (Rgba | Abgr | Bgra | Argb)) || c.a < 0) {
        std::fill(out, out + w, 255);
        return out;
    }
    const uint8_t* row = bitmapRow(bitmap_, y);
    for (int x = 0; x < w; ++x) out[x] = row[x * 4 + c.a];
    return out;
}

void OrderedLevels::build(int levels)
{
    const double step = 255.0 / (levels - 1);
    for (int g = 0; g < 256; ++g) {
        int b = static_cast<int>(g / step);
        if (b >= levels - 1) b = levels - 2;
        base[g] = static_cast<uint8_t>(b);
        fraction[g] = static_cast<uint8_t>(static_cast<int>((g - b * step) * 63 / step));
    }
}

int OrderedLevels::level(int g, int x, int y) const
{
    return ordered8[y & 7][x & 7] < fraction[g] ? base[g] + 1 : base[g];
}

}  // namespace colours

}  // namespace fotrix
