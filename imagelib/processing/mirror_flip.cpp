// Left-right mirror and top-bottom flip, of the whole picture or of a rectangle.
#include <algorithm>
#include <cstring>

#include "imagelib/transform.h"
#include "imagelib/processing/transform_common.h"

namespace fotrix {

using namespace transform;

namespace {

// A bitmap of the source's layout and size; with a rectangle the source's
// pixels are copied first so that only the rectangle changes.
int allocateSame(const Bitmap& source, Bitmap& result, bool copyPixels)
{
    if (!bitmapAllocateDeep(result, source.type, source.rowAlignment, source.width, source.height,
                            copyBits(source)))
        return 1;
    if (copyPixels) {
        const size_t bytes = std::min(result.bytesPerRow, source.bytesPerRow);
        for (int y = 0; y < source.height; ++y) std::memcpy(bitmapRow(result, y), bitmapRow(source, y), bytes);
    }
    if (!finishLike(result, source)) return discard(result, 1);
    return 0;
}

}  // namespace

int bitmapMirror(Bitmap& source, Bitmap* output, const Rect* rect)
{
    Rect clip;
    if (bitmapClipRect(source, rect, clip) != 0) return 16;
    Bitmap result;
    if (int code = allocateSame(source, result, rect != nullptr)) return code;
    const int last = clip.x + clip.x + clip.w - 1;  // x goes to last - x
    const size_t bpp = source.bytesPerPixel;
    for (int y = clip.y; y < clip.y + clip.h; ++y) {
        const uint8_t* from = bitmapRow(source, y);
        uint8_t* to = bitmapRow(result, y);
        if (source.type == Binary) {
            for (int x = clip.x; x < clip.x + clip.w; ++x) bitSet(to, last - x, bitGet(from, x));
        } else {
            for (int x = clip.x; x < clip.x + clip.w; ++x)
                std::memcpy(to + (last - x) * bpp, from + x * bpp, bpp);
        }
    }
    return storeResult(source, output, result);
}

int bitmapFlip(Bitmap& source, Bitmap* output, const Rect* rect)
{
    Rect clip;
    if (bitmapClipRect(source, rect, clip) != 0) return 16;
    Bitmap result;
    if (int code = allocateSame(source, result, rect != nullptr)) return code;
    const int last = clip.y + clip.y + clip.h - 1;
    for (int y = clip.y; y < clip.y + clip.h; ++y) {
        const uint8_t* from = bitmapRow(source, y);
        uint8_t* to = bitmapRow(result, last - y);
        if (source.type == Binary) {
            for (int x = clip.x; x < clip.x + clip.w; ++x) bitSet(to, x, bitGet(from, x));
        } else {
            const size_t bpp = source.bytesPerPixel;
            std::memcpy(to + clip.x * bpp, from + clip.x * bpp, clip.w * bpp);
        }
    }
    return storeResult(source, output, result);
}

}  // namespace fotrix
