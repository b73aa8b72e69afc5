// The sharpen/soften dialog's filters.
#include "app/tools/misc_rules.h"

#include <algorithm>

#include "imagelib/adjust.h"
#include "imagelib/colours.h"

namespace fotrix {

bool miscIsNeutral(const MiscValues& values) { return !values.reduceNoise && !values.sharpen && !values.smooth; }

int applyMiscFilters(Bitmap& bitmap, const MiscValues& values)
{
    // The filters mix neighbouring samples, which means nothing for palette indexes.
    if (bitmap.type == Indexed && !miscIsNeutral(values))
        if (int result = bitmapConvertColours(bitmap, nullptr, ColourBgr, DitherNone)) return result;
    if (values.reduceNoise)
        if (int result = bitmapReduceNoise(bitmap, nullptr, nullptr)) return result;
    if (values.sharpen > 0)
        if (int result = bitmapSharpen(bitmap, nullptr, nullptr, std::min(values.sharpen, 100))) return result;
    if (values.smooth > 0)
        if (int result = bitmapSmooth(bitmap, nullptr, nullptr, std::min(values.smooth, 100))) return result;
    return 0;
}

}  // namespace fotrix
