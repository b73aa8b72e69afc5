// Every layout the load pipeline can hand back, read pixel by pixel into
// 0x00RRGGBB words for a 32-bit device bitmap.
#include "app/browser/thumbnail_bitmap.h"

#include "platform/gdi/gdi.h"
#include "thumbs/rgb_pixels.h"

#include <vector>

namespace fotrix {

HBITMAP MakeDeviceBitmap(const Bitmap& bitmap)
{
    if (!pixelLayoutKnown(bitmap)) return nullptr;
    const int w = bitmap.width, h = bitmap.height;
    std::vector<uint32_t> words(static_cast<size_t>(w) * static_cast<size_t>(h));
    const bool bottomUp = bitmap.origin & OriginBottom;
    const bool rightToLeft = bitmap.origin & OriginRight;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = bitmapRow(bitmap, y);
        uint32_t* out = &words[static_cast<size_t>(bottomUp ? h - 1 - y : y) * static_cast<size_t>(w)];
        for (int x = 0; x < w; ++x) out[rightToLeft ? w - 1 - x : x] = pixelRgb(bitmap, row, x);
    }
    return CreateBitmap(w, h, 1, 32, words.data());
}

}  // namespace fotrix
