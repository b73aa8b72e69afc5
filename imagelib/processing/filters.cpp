// Neighbourhood filters: smooth and sharpen (3 x 3) and noise reduction
// (5 x 5 cross). Rows are fetched into a ring with their edge pixels
// repeated, so that the kernel never leaves the picture.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/adjust.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

enum class Kernel { Smooth, Sharpen, ReduceNoise };

// Source rows padded by `radius` copies of their first and last pixel,
// kept for the 2 x radius + 1 rows around the current one.
class RowRing {
public:
    RowRing(const Bitmap& bitmap, int radius)
        : bitmap_(bitmap), radius_(radius), size_(2 * radius + 1), stride_((bitmap.width + 2 * radius) * bitmap.bytesPerPixel),
          rows_(static_cast<size_t>(size_) * stride_), loaded_(size_, -1000000)
    {
    }
    // Padded row y (any y; clamped to the picture), pointing at its pixel 0.
    const uint8_t* row(int y)
    {
        const int slot = ((y % size_) + size_) % size_;
        uint8_t* buffer = &rows_[static_cast<size_t>(slot) * stride_];
        if (loaded_[slot] != y) {
            const int bpp = bitmap_.bytesPerPixel;
            const uint8_t* source = bitmapRow(bitmap_, std::clamp(y, 0, bitmap_.height - 1));
            std::memcpy(buffer + radius_ * bpp, source, static_cast<size_t>(bitmap_.width) * bpp);
            for (int i = 0; i < radius_; ++i) {
                std::memcpy(buffer + i * bpp, source, bpp);
                std::memcpy(buffer + (radius_ + bitmap_.width + i) * bpp, source + (bitmap_.width - 1) * bpp, bpp);
            }
            loaded_[slot] = y;
        }
        return buffer + radius_ * bitmap_.bytesPerPixel;
    }

private:
    const Bitmap& bitmap_;
    int radius_, size_, stride_;
    std::vector<uint8_t> rows_;
    std::vector<int> loaded_;
};

inline uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

void filterRows(const Bitmap& source, Bitmap& result, const Rect& clip, Kernel kernel, int strength)
{
    const int radius = kernel == Kernel::ReduceNoise ? 2 : 1;
    RowRing ring(source, radius);
    const int bpp = source.bytesPerPixel;
    const int k = (100 - strength) * 3175 / 100;
    const int sharpenDivisor = strength == 100 ? 1 : 100 - strength;
    for (int y = clip.y; y < clip.y + clip.h; ++y) {
        const uint8_t* up2 = radius == 2 ? ring.row(y - 2) : nullptr;
        const uint8_t* up = ring.row(y - 1);
        const uint8_t* mid = ring.row(y);
        const uint8_t* down = ring.row(y + 1);
        const uint8_t* down2 = radius == 2 ? ring.row(y + 2) : nullptr;
        uint8_t* out = bitmapRow(result, y);
        for (int i = clip.x * bpp; i < (clip.x + clip.w) * bpp; ++i) {
            const int p = mid[i], n = up[i], s = down[i], e = mid[i + bpp], w = mid[i - bpp];
            int v;
            if (kernel == Kernel::Smooth) {
                const int corners = up[i - bpp] + up[i + bpp] + down[i - bpp] + down[i + bpp];
                v = (100 * (2 * (n + s + e + w) + corners) + p * (k + 25)) / (k + 1225);
            } else if (kernel == Kernel::Sharpen) {
                const int sum = n + s + e + w + up[i - bpp] + up[i + bpp] + down[i - bpp] + down[i + bpp];
                v = (100 * p - strength * sum / 8) / sharpenDivisor;
            } else {
                v = (3 * (n + s + e + w) + 7 * p - (up2[i] + down2[i] + mid[i + 2 * bpp] + mid[i - 2 * bpp])) / 15;
            }
            out[i] = clampByte(v);
        }
    }
}

int runFilter(Bitmap& bitmap, Bitmap* output, const Rect* rect, Kernel kernel, int strength)
{
    if (bitmap.type == Binary) return ResultBinaryRefused;
    if (!bitmap.pixels || bitmap.width < 1 || bitmap.height < 1) return ResultBadSize;
    Rect clip;
    if (bitmapClipRect(bitmap, rect, clip) != 0) return ResultBadSize;
    Bitmap result;
    if (!bitmapAllocateDeep(result, bitmap.type, bitmap.rowAlignment, bitmap.width, bitmap.height,
                            bitmap.bitsPerComponent) ||
        result.bytesPerRow != bitmap.bytesPerRow) {
        bitmapFree(result);
        return ResultNoMemory;
    }
    if (rect) std::memcpy(result.pixels, bitmap.pixels, static_cast<size_t>(bitmap.bytesPerRow) * bitmap.height);
    result.colorCount = bitmap.colorCount;
    result.transparentIndex = -1;
    bitmapCopyAttributes(result, bitmap);
    if (bitmap.palette && result.palette) std::memcpy(result.palette, bitmap.palette, PaletteBytes);
    filterRows(bitmap, result, clip, kernel, std::clamp(strength, 0, 100));
    if (output)
        *output = result;
    else
        bitmapMove(bitmap, result);
    return ResultOk;
}

}  // namespace

int bitmapSmooth(Bitmap& bitmap, Bitmap* output, const Rect* rect, int strength)
{
    return runFilter(bitmap, output, rect, Kernel::Smooth, strength);
}

int bitmapSharpen(Bitmap& bitmap, Bitmap* output, const Rect* rect, int strength)
{
    return runFilter(bitmap, output, rect, Kernel::Sharpen, strength);
}

int bitmapReduceNoise(Bitmap& bitmap, Bitmap* output, const Rect* rect)
{
    return runFilter(bitmap, output, rect, Kernel::ReduceNoise, 0);
}

}  // namespace fotrix
