#include "thumbs/rgb_pixels.h"

namespace fotrix {

namespace {

uint32_t rgb(int r, int g, int b)
{
    return static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF);
}

uint32_t paletteColour(const Bitmap& b, int index)
{
    if (!b.palette) return rgb(index, index, index);
    return rgb(b.palette[PaletteRed + index], b.palette[PaletteGreen + index], b.palette[PaletteBlue + index]);
}

}  // namespace

bool pixelLayoutKnown(const Bitmap& b)
{
    const bool eightBit = b.type == Binary || b.bitsPerComponent == 8;
    return b.pixels && b.width > 0 && b.height > 0 && eightBit &&
           (b.type & (Binary | Grey | Indexed | Rgb | Bgr | Rgba | Bgra | Abgr | Argb | Cmyk));
}

uint32_t pixelRgb(const Bitmap& b, const uint8_t* row, int x)
{
    switch (b.type) {
    case Binary: {
        const int bit = bitGet(row, x);
        return b.palette ? paletteColour(b, bit) : (bit ? 0xFFFFFF : 0);
    }
    case Grey: return rgb(row[x], row[x], row[x]);
    case Indexed: return paletteColour(b, row[x]);
    case Rgb: return rgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    case Bgr: return rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case Rgba: return rgb(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
    case Bgra: return rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    case Abgr: return rgb(row[4 * x + 3], row[4 * x + 2], row[4 * x + 1]);
    case Argb: return rgb(row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]);
    case Cmyk: {
        const uint8_t* p = row + 4 * x;
        const int k = 255 - p[3];
        return rgb((255 - p[0]) * k / 255, (255 - p[1]) * k / 255, (255 - p[2]) * k / 255);
    }
    default: return 0;
    }
}

int bitmapToRgb(const Bitmap& source, Bitmap& output)
{
    if (!pixelLayoutKnown(source)) return 16;
    Bitmap result;
    if (!bitmapAllocate(result, Rgb, 1, source.width, source.height)) return 1;
    const int w = source.width, h = source.height;
    const bool bottomUp = source.origin & OriginBottom;
    const bool rightToLeft = source.origin & OriginRight;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = bitmapRow(source, y);
        uint8_t* out = bitmapRow(result, bottomUp ? h - 1 - y : y);
        for (int x = 0; x < w; ++x) {
            const uint32_t colour = pixelRgb(source, row, x);
            uint8_t* p = out + 3 * (rightToLeft ? w - 1 - x : x);
            p[0] = uint8_t(colour >> 16);
            p[1] = uint8_t(colour >> 8);
            p[2] = uint8_t(colour);
        }
    }
    result.dpiX = source.dpiX;
    result.dpiY = source.dpiY;
    output = result;
    return 0;
}

}  // namespace fotrix
