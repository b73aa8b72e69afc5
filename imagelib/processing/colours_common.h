#pragma once
// Shared pieces of the colour conversions: reading any layout's rows as
// R, G, B or as grey, and the ordered-dither tables.
#include <cstdint>
#include <vector>

#include "imagelib/bitmap.h"

namespace fotrix::colours {

// Byte positions of R, G, B and A (-1: none) of a true-colour type.
struct Channels {
    int r, g, b, a;
};
Channels channelsOf(unsigned type);

// Reads stored rows of any layout as R, G, B triples or grey values.
class RowReader {
public:
    explicit RowReader(const Bitmap& bitmap);
    // Row y as width R, G, B triples.
    const uint8_t* rgb(int y);
    // Row y as width grey values (the level's grey, or the luminance).
    const uint8_t* grey(int y);
    // Row y as width alpha values (255 where the layout has none).
    const uint8_t* alpha(int y);

private:
    const Bitmap& bitmap_;
    uint8_t levelRgb_[256][3] = {};
    uint8_t levelGrey_[256] = {};
    std::vector<uint8_t> rgb_, grey_, alpha_;
};

inline int luminance(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

// Ordered dither of 0..255 onto `levels` levels with the 8x8 matrix: the
// lower level and the fraction that decides between it and the next.
struct OrderedLevels {
    uint8_t base[256];
    uint8_t fraction[256];
    void build(int levels);
    int level(int g, int x, int y) const;
};

}  // namespace fotrix::colours
