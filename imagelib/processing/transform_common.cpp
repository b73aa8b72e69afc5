#include "imagelib/processing/transform_common.h"

#include <cstdlib>
#include <cstring>

namespace fotrix::transform {

bool finishLike(Bitmap& result, const Bitmap& source)
{
    result.colorCount = source.colorCount;
    result.transparentIndex = source.transparentIndex;
    bitmapCopyAttributes(result, source);
    if (!source.palette) return true;
    if (!result.palette) {
        result.palette = static_cast<uint8_t*>(std::malloc(PaletteBytes));
        if (!result.palette) return false;
    }
    std::memcpy(result.palette, source.palette, PaletteBytes);
    return true;
}

int storeResult(Bitmap& source, Bitmap* output, Bitmap& result)
{
    if (output && output != &source) {
        *output = result;
        bitmapClear(result);
    } else {
        bitmapMove(source, result);
    }
    return 0;
}

int discard(Bitmap& result, int code)
{
    bitmapFree(result);
    bitmapClear(result);
    return code;
}

}  // namespace fotrix::transform
