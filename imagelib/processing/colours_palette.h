#pragma once
// Conversions to a palette: the uniform colour cube with ordered dither, the
// exact palette of pictures with few colours, and median cut.
#include <cstdint>
#include <vector>

#include "imagelib/bitmap.h"

namespace fotrix::colours {

// Builds `result` (Indexed) from `bitmap` for palette modes 12 .. 18.
int toPalette(const Bitmap& bitmap, Bitmap& result, unsigned mode, unsigned dither);

// Median cut over a 5-6-5-bit histogram.
struct MedianCutBox {
    int rMin, rMax, gMin, gMax, bMin, bMax;
    int64_t volume;
    int colourCount;
};

class MedianCut {
public:
    static constexpr int Cells = 32 * 64 * 32;
    MedianCut();
    static int cell(int r, int g, int b) { return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3); }
    // Counts one colour (saturating at 65535).
    void count(int r, int g, int b)
    {
        uint16_t& c = histogram_[cell(r, g, b)];
        if (c != 65535) ++c;
    }
    void countCell(int index, uint32_t n)
    {
        uint32_t c = histogram_[index] + n;
        histogram_[index] = static_cast<uint16_t>(c > 65535 ? 65535 : c);
    }
    // Splits boxes until there are `colours` (or no box can be split) and
    // fills the palette; returns the number of boxes.
    int build(int colours, uint8_t palette[][3]);
    const std::vector<MedianCutBox>& boxes() const { return boxes_; }
    // Index of the palette colour for a colour, filling the inverse map lazily.
    int map(int r, int g, int b)
    {
        const int c = cell(r, g, b);
        if (!histogram_[c]) fillBlock(c);
        return histogram_[c] - 1;
    }

private:
    void shrink(MedianCutBox& box) const;
    void fillBlock(int cell);
    std::vector<uint16_t> histogram_;
    std::vector<MedianCutBox> boxes_;
    uint8_t palette_[256][3] = {};
    int colours_ = 0;
};

}  // namespace fotrix::colours
