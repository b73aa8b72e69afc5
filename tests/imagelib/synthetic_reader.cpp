#include "tests/imagelib/synthetic_reader.h"

#include <algorithm>
#include <cstring>

namespace testsupport {

using namespace fotrix;

SyntheticPicture syntheticPicture(int width, int height, int planes, int bitsPerPlane, int components)
{
    SyntheticPicture picture;
    imageHeaderDefaults(picture.header);
    picture.header.width = width;
    picture.header.height = height;
    picture.header.planes = static_cast<int16_t>(planes);
    picture.header.bitsPerPlane = static_cast<int16_t>(bitsPerPlane);
    picture.header.components = static_cast<int16_t>(components);
    const int samples = components >= 1 ? components : 1;
    picture.header.bytesPerPlane = static_cast<uint32_t>((static_cast<int64_t>(width) * bitsPerPlane * samples + 7) / 8);
    return picture;
}

int loadSynthetic(const SyntheticPicture& picture, const LoadParams& params, Bitmap& bitmap, FileInfo* info)
{
    ReaderContext context;
    context.params = params;
    context.bitmap = &bitmap;
    context.info = info;
    ImageHeader header = picture.header;
    int result = beginImage(context, header);
    if (result != 0) return result;
    const bool passes = (header.sampleFlags & SamplePlanePasses) != 0;
    const int planes = passes ? header.planes : 1;
    const int rows = picture.rowsToDeliver >= 0 ? picture.rowsToDeliver : header.height;
    if (picture.placeRows && !passes) {
        for (int y = 0; y < rows && result == 0;) {
            const int count = std::min<int>(std::max<int>(header.rowsPerCall, 1), rows - y);
            uint8_t* destination = rowDestination(context, y, count);
            const uint8_t* pixels = bitmap.pixels;
            const size_t size = static_cast<size_t>(bitmap.bytesPerRow) * bitmap.height;
            if (picture.rowsPlacedInBitmap && pixels && destination >= pixels && destination < pixels + size)
                *picture.rowsPlacedInBitmap += count;
            for (int i = 0; i < count; ++i) {
                const auto& row = picture.rows[static_cast<size_t>(y + i)];
                std::memcpy(destination + static_cast<size_t>(i) * header.rowStride, row.data(), row.size());
            }
            result = putRows(context, 0, y, count);
            y += count;
        }
    }
    for (int plane = 0; plane < planes && result == 0 && !(picture.placeRows && !passes); ++plane) {
        for (int y = 0; y < rows && result == 0; ++y) {
            const auto& row = picture.rows[static_cast<size_t>(plane) * header.height + y];
            std::memcpy(header.rowBuffer, row.data(), row.size());
            result = putRows(context, plane, passes ? y : -1, 1);
        }
    }
    const int ended = endImage(context, picture.paletteFormat, picture.paletteBits,
                               picture.palette.empty() ? nullptr : picture.palette.data());
    if (result == 0) result = ended;
    if (result == 0 && rows < header.height) result = LoadReadError;
    bitmap.comment = context.comment;
    context.comment = nullptr;
    return result;
}

std::vector<uint8_t> bitmapRowBytes(const Bitmap& bitmap, int y)
{
    const uint8_t* row = bitmapRow(bitmap, y);
    const size_t bytes = bitmap.type == Binary ? (static_cast<size_t>(bitmap.width) + 7) / 8
                                               : static_cast<size_t>(bitmap.width) * bitmap.bytesPerPixel;
    return std::vector<uint8_t>(row, row + bytes);
}

}  // namespace testsupport
