// The Crop tool's arithmetic.
#include "app/tools/crop_rules.h"

#include <algorithm>
#include <cstdint>

namespace fotrix {

namespace {

int scaled(int value, int64_t numerator, int64_t denominator)
{
    return static_cast<int>(int64_t(value) * numerator / denominator);
}

}  // namespace

int cropScale(int pictureWidth, int previewWidth)
{
    if (previewWidth <= 0) return 100;
    return std::max(1, scaled(pictureWidth, 100, previewWidth));
}

Rect previewToPicture(const Rect& preview, int scale)
{
    return {scaled(preview.x, scale, 100), scaled(preview.y, scale, 100), scaled(preview.w, scale, 100),
            scaled(preview.h, scale, 100)};
}

Rect pictureToPreview(const Rect& picture, int scale)
{
    scale = std::max(scale, 1);
    return {scaled(picture.x, 100, scale), scaled(picture.y, 100, scale), scaled(picture.w, 100, scale),
            scaled(picture.h, 100, scale)};
}

Rect clampCropFields(const Rect& fields, int pictureWidth, int pictureHeight)
{
    int w = std::max(pictureWidth, 1), h = std::max(pictureHeight, 1);
    return {std::clamp(fields.x, 0, w), std::clamp(fields.y, 0, h), std::clamp(fields.w, 1, w),
            std::clamp(fields.h, 1, h)};
}

}  // namespace fotrix
