// Builds a small picture of any layout, with arbitrary colour count,
// transparent index and origin, from the input; converts its colours,
// adjusts and filters it, and writes it in every format to /dev/null. The
// sanitizers judge the row service, the writers and the processing.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imagelib/formats.h"
#include "imagelib/adjust.h"
#include "imagelib/colours.h"
#include "imagelib/save.h"

using namespace fotrix;

namespace {

constexpr uint16_t types[] = {Binary, Grey, Indexed, Rgb, Rgba, Bgr, Abgr, Bgra, Argb, Cmyk};

void saveEverywhere(const Bitmap& bitmap, uint8_t switches)
{
    SaveParams params;
    saveParamsDefaults(params);
    params.rle = switches & 1;
    params.interlace = (switches >> 1) & 1;
    params.os2Bitmap = (switches >> 2) & 1;
    params.gif87a = (switches >> 3) & 1;
    params.quality = static_cast<uint16_t>(switches * 3 % 101);
    for (params.format = 0; params.format <= FormatPng; ++params.format) saveBitmap("/dev/null", bitmap, params);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (libraryInit(), true);
    (void)started;
    if (size < 12) return 0;
    Bitmap bitmap;
    const int w = 1 + data[1] % 48, h = 1 + data[2] % 48;
    if (!bitmapAllocate(bitmap, types[data[0] % 10], 1 + data[3] % 4, w, h)) return 0;
    bitmap.colorCount = static_cast<int16_t>(data[4] | data[5] << 8);
    bitmap.transparentIndex = static_cast<int16_t>(data[6] | data[7] << 8);
    bitmap.origin = data[8] & (OriginRight | OriginBottom);
    const uint8_t mode = data[9], dither = data[10], switches = data[11];
    data += 12, size -= 12;
    const size_t bytes = static_cast<size_t>(bitmap.bytesPerRow) * h;
    for (size_t i = 0; size && i < bytes; ++i) bitmap.pixels[i] = data[i % size];
    if (bitmap.palette)
        for (size_t i = 0; size && i < PaletteBytes; ++i) bitmap.palette[i] = data[(i * 7) % size];

    saveEverywhere(bitmap, switches);
    Bitmap converted;
    if (bitmapConvertColours(bitmap, &converted, mode % 26, dither % 7) == 0) {
        saveEverywhere(converted, switches >> 4);
        if (converted.pixels != bitmap.pixels) bitmapFree(converted);
    }
    const Rect rect{dither % 9 - 3, mode % 7 - 2, 1 + switches % 20, 1 + dither % 20};
    bitmapAutoLevels(bitmap, nullptr, &rect);
    bitmapAdjust(bitmap, nullptr, &rect, dither - 128, mode - 128, 0.5 + switches / 64.0);
    bitmapSmooth(bitmap, nullptr, &rect, switches % 101);
    bitmapSharpen(bitmap, nullptr, nullptr, dither % 101);
    bitmapReduceNoise(bitmap, nullptr, &rect);
    bitmapFree(bitmap);
    return 0;
}
