#include "tests/support/fill_support.h"

#include <cstring>

namespace testsupport {

using namespace fotrix;

void fillGrey(Bitmap& bitmap, int w, int h, int value)
{
    bitmapAllocate(bitmap, Grey, 4, w, h);
    for (int y = 0; y < h; ++y) std::memset(bitmapRow(bitmap, y), value, w);
}

void fillRgb(Bitmap& bitmap, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    bitmapAllocate(bitmap, Rgb, 4, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bitmapRow(bitmap, y) + 3 * x;
            p[0] = r, p[1] = g, p[2] = b;
        }
}

bool samePixels(const Bitmap& a, const Bitmap& b)
{
    return a.width == b.width && a.height == b.height && a.bytesPerRow == b.bytesPerRow &&
           std::memcmp(a.pixels, b.pixels, static_cast<size_t>(a.bytesPerRow) * a.height) == 0;
}

}  // namespace testsupport
