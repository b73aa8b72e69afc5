// Decodes a reader's palette, in any of the file layouts, into the bitmap's
// four-plane table.
#include <cstring>

#include "imagelib/core/end_image.h"

namespace fotrix {

namespace {

void put(uint8_t* table, int i, unsigned r, unsigned g, unsigned b, unsigned a = 255)
{
    table[PaletteRed + i] = static_cast<uint8_t>(r);
    table[PaletteGreen + i] = static_cast<uint8_t>(g);
    table[PaletteBlue + i] = static_cast<uint8_t>(b);
    table[PaletteAlpha + i] = static_cast<uint8_t>(a);
}

unsigned bigEndianWord(const uint8_t* p) { return static_cast<unsigned>(p[0] << 8 | p[1]); }

// Three planes of `entries` values (16-bit when paletteBits > 8).
void decodePlanes(uint8_t* table, const uint8_t* palette, int entries, int paletteBits, bool bgr)
{
    const bool wide = paletteBits > 8;
    auto value = [&](int plane, int i) -> unsigned {
        return wide ? bigEndianWord(palette + (plane * entries + i) * 2) : palette[plane * entries + i];
    };
    bool anyAbove255 = false;
    if (wide)
        for (int i = 0; i < entries * 3 && !anyAbove255; ++i) anyAbove255 = value(i / entries, i % entries) > 255;
    for (int i = 0; i < entries; ++i) {
        unsigned c[3] = {value(0, i), value(1, i), value(2, i)};
        if (anyAbove255)
            for (unsigned& v : c) v /= 256;
        if (bgr) std::swap(c[0], c[2]);
        put(table, i, c[0], c[1], c[2]);
    }
}

}  // namespace

void decodePalette(uint8_t* table, int paletteFormat, int paletteBits, const uint8_t* palette, int bpp)
{
    std::memset(table, 0, PaletteBytes);
    const int entries = 1 << std::min(bpp, 8);
    const bool bgr = (paletteFormat & PaletteBgrOrder) != 0;
    const int format = paletteFormat & ~PaletteBgrOrder;
    for (int i = 0; i < entries; ++i) {
        const uint8_t* e = palette + i * 2;
        const unsigned v = (format == Palette333 || format == Palette444Split || format == Palette444) ? bigEndianWord(e) : 0;
        switch (format) {
        case Palette333:
            put(table, i, (v >> 8 & 7) * 255 / 7, (v >> 4 & 7) * 255 / 7, (v & 7) * 255 / 7);
            break;
        case Palette444Split:
            // The lowest bit of each colour is stored above the other three.
            put(table, i, ((v >> 8 & 7) << 1 | (v >> 11 & 1)) * 255 / 15, ((v >> 4 & 7) << 1 | (v >> 7 & 1)) * 255 / 15,
                ((v & 7) << 1 | (v >> 3 & 1)) * 255 / 15);
            break;
        case Palette444:
            put(table, i, (v >> 8 & 15) * 255 / 15, (v >> 4 & 15) * 255 / 15, (v & 15) * 255 / 15);
            break;
        case PaletteRgba: e = palette + i * 4; put(table, i, e[0], e[1], e[2], e[3]); break;
        case PaletteAbgr: e = palette + i * 4; put(table, i, e[3], e[2], e[1], e[0]); break;
        case PaletteBgra: e = palette + i * 4; put(table, i, e[2], e[1], e[0], e[3]); break;
        case PalettePlanes: break;
        default:
            e = palette + i * 3;
            if (bgr) put(table, i, e[2], e[1], e[0]);
            else put(table, i, e[0], e[1], e[2]);
            break;
        }
    }
    if (format == PalettePlanes) decodePlanes(table, palette, entries, paletteBits, bgr);
    // Values of fewer than 8 bits are scaled to the full range.
    if (paletteBits >= 1 && paletteBits < 8 && format != Palette333 && format != Palette444Split && format != Palette444) {
        const unsigned maximum = (1u << paletteBits) - 1;
        for (int i = 0; i < 3 * 256; ++i) table[i] = static_cast<uint8_t>(std::min(table[i] * 255u / maximum, 255u));
    }
}

}  // namespace fotrix
