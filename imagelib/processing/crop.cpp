// Copy and crop.
#include <algorithm>
#include <cstring>

#include "imagelib/transform.h"
#include "imagelib/processing/transform_common.h"

namespace fotrix {

using namespace transform;

int bitmapDuplicate(const Bitmap& source, Bitmap* output)
{
    if (!output) return 0;
    Bitmap result;
    if (!bitmapAllocateDeep(result, source.type, source.rowAlignment, source.width, source.height,
                            copyBits(source)))
        return 1;
    const size_t bytes = std::min(result.bytesPerRow, source.bytesPerRow);
    for (int y = 0; y < source.height; ++y) std::memcpy(bitmapRow(result, y), bitmapRow(source, y), bytes);
    if (!finishLike(result, source)) return discard(result, 1);
    *output = result;
    return 0;
}

namespace {

// Copies `w` pixels starting at column `x` of a source row to the start of a target row.
void copySpan(const Bitmap& source, const uint8_t* from, uint8_t* to, int x, int w)
{
    if (source.type == Binary) {
        for (int i = 0; i < w; ++i) bitSet(to, i, bitGet(from, x + i));
    } else {
        std::memcpy(to, from + static_cast<size_t>(x) * source.bytesPerPixel,
                    static_cast<size_t>(w) * source.bytesPerPixel);
    }
}

// A bitmap of the source's layout and the given size, finished like the source.
int allocateCrop(const Bitmap& source, Bitmap& result, int w, int h)
{
    if (!bitmapAllocateDeep(result, source.type, source.rowAlignment, w, h, copyBits(source))) return 1;
    if (!finishLike(result, source)) return discard(result, 1);
    return 0;
}

}  // namespace

int bitmapCrop(Bitmap& source, Bitmap* output, const Rect* rect)
{
    if (!rect) {
        if (output && output != &source) return bitmapDuplicate(source, output);
        return 0;  // a whole-picture crop in place changes nothing
    }
    Rect clip;
    if (bitmapClipRect(source, rect, clip) != 0) return 16;
    Bitmap result;
    if (int code = allocateCrop(source, result, clip.w, clip.h)) return code;
    for (int i = 0; i < clip.h; ++i)
        copySpan(source, bitmapRow(source, clip.y + i), bitmapRow(result, i), clip.x, clip.w);
    return storeResult(source, output, result);
}

int bitmapCropView(Bitmap& source, Bitmap* output, const Rect* rect)
{
    Rect r = rect ? *rect : Rect{0, 0, source.width, source.height};
    int64_t x = r.x, y = r.y, w = r.w, h = r.h;
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    w = std::min<int64_t>(w, source.width - x);
    h = std::min<int64_t>(h, source.height - y);
    if (w < 1 || h < 1) return 16;

    Bitmap result;
    if (int code = allocateCrop(source, result, static_cast<int>(w), static_cast<int>(h))) return code;
    const bool sourceBottom = (source.origin & OriginBottom) != 0;
    const bool resultBottom = (result.origin & OriginBottom) != 0;
    for (int i = 0; i < h; ++i) {
        const int from = sourceBottom ? source.height - 1 - static_cast<int>(y + i) : static_cast<int>(y + i);
        const int to = resultBottom ? static_cast<int>(h) - 1 - i : i;
        copySpan(source, bitmapRow(source, from), bitmapRow(result, to), static_cast<int>(x), static_cast<int>(w));
    }
    return storeResult(source, output, result);
}

}  // namespace fotrix
