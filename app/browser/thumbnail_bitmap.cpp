// Every layout the load pipeline can hand back, read pixel by pixel into
// 0x00RRGGBB words: thumbnails are small, so one simple path serves them all.
#include "app/browser/thumbnail_bitmap.h"

#include "platform/gdi/gdi.h"

#include <vector>

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

// The colour of stored pixel x of a stored row.
uint32_t pixelAt(const Bitmap& b, const uint8_t* row, int x)
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

bool knownLayout(const Bitmap& b)
{
    const bool eightBit = b.type == Binary || b.bitsPerComponent == 8;
    return b.pixels && b.width > 0 && b.height > 0 && eightBit &&
           (b.type & (Binary | Grey | Indexed | Rgb | Bgr | Rgba | Bgra | Abgr | Argb | Cmyk));
}

}  // namespace

HBITMAP MakeDeviceBitmap(const Bitmap& bitmap)
{
    if (!knownLayout(bitmap)) return nullptr;
    const int w = bitmap.width, h = bitmap.height;
    std::vector<uint32_t> words(static_cast<size_t>(w) * static_cast<size_t>(h));
    const bool bottomUp = bitmap.origin & OriginBottom;
    const bool rightToLeft = bitmap.origin & OriginRight;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = bitmapRow(bitmap, y);
        uint32_t* out = &words[static_cast<size_t>(bottomUp ? h - 1 - y : y) * static_cast<size_t>(w)];
        for (int x = 0; x < w; ++x) out[rightToLeft ? w - 1 - x : x] = pixelAt(bitmap, row, x);
    }
    return CreateBitmap(w, h, 1, 32, words.data());
}

}  // namespace fotrix
