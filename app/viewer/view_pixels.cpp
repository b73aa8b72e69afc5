// One converter per pixel layout, chosen by table.
#include "app/viewer/view_pixels.h"

#include <algorithm>
#include <iterator>

namespace fotrix {

namespace {

// Where red, green and blue sit within a pixel of a true-colour layout.
struct ChannelPlaces {
    uint16_t type;
    int red, green, blue;
};
constexpr ChannelPlaces kTrueColour[] = {
    {Rgb, 0, 1, 2}, {Bgr, 2, 1, 0}, {Rgba, 0, 1, 2}, {Bgra, 2, 1, 0}, {Abgr, 3, 2, 1}, {Argb, 1, 2, 3},
};

void readTrueColour(const Bitmap& b, const ChannelPlaces& places, const uint8_t* row, uint32_t* out)
{
    int step = b.bytesPerPixel;
    int unit = std::max(1, b.bitsPerComponent / 8);
    for (int x = 0; x < b.width; ++x, row += step)
        out[x] = screenPixel(row[places.red * unit], row[places.green * unit], row[places.blue * unit]);
}

void readIndexed(const Bitmap& b, const uint8_t* row, uint32_t* out)
{
    const uint8_t* p = b.palette;
    for (int x = 0; x < b.width; ++x) {
        int i = row[x];
        out[x] = p ? screenPixel(p[PaletteRed + i], p[PaletteGreen + i], p[PaletteBlue + i]) : screenPixel(i, i, i);
    }
}

void readGrey(const Bitmap& b, const uint8_t* row, uint32_t* out)
{
    int unit = std::max(1, b.bitsPerComponent / 8);
    for (int x = 0; x < b.width; ++x) out[x] = screenPixel(row[x * unit], row[x * unit], row[x * unit]);
}

void readBinary(const Bitmap& b, const uint8_t* row, uint32_t* out)
{
    // A palette, when the reader gave one, names the two colours; else 0 is black.
    uint32_t colours[2] = {screenPixel(0, 0, 0), screenPixel(255, 255, 255)};
    if (b.palette && b.colorCount >= 2)
        for (int i = 0; i < 2; ++i)
            colours[i] = screenPixel(b.palette[PaletteRed + i], b.palette[PaletteGreen + i], b.palette[PaletteBlue + i]);
    for (int x = 0; x < b.width; ++x) out[x] = colours[bitGet(row, x)];
}

void readCmyk(const Bitmap& b, const uint8_t* row, uint32_t* out)
{
    for (int x = 0; x < b.width; ++x, row += b.bytesPerPixel) {
        int k = 255 - row[3];
        out[x] = screenPixel((255 - row[0]) * k / 255, (255 - row[1]) * k / 255, (255 - row[2]) * k / 255);
    }
}

}  // namespace

bool readScreenRow(const Bitmap& bitmap, int y, uint32_t* out)
{
    if (!bitmap.pixels || y < 0 || y >= bitmap.height) return false;
    int stored = (bitmap.origin & OriginBottom) ? bitmap.height - 1 - y : y;
    const uint8_t* row = bitmapRow(bitmap, stored);
    bool known = true;
    switch (bitmap.type) {
    case Indexed: readIndexed(bitmap, row, out); break;
    case Grey: readGrey(bitmap, row, out); break;
    case Binary: readBinary(bitmap, row, out); break;
    case Cmyk: readCmyk(bitmap, row, out); break;
    default: {
        auto places = std::find_if(std::begin(kTrueColour), std::end(kTrueColour),
                                   [&](const ChannelPlaces& c) { return c.type == bitmap.type; });
        known = places != std::end(kTrueColour);
        if (known) readTrueColour(bitmap, *places, row, out);
    }
    }
    if (known && (bitmap.origin & OriginRight)) std::reverse(out, out + bitmap.width);
    return known;
}

}  // namespace fotrix
