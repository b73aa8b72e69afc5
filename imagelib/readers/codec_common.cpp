// What the readers over codec libraries share: the file in memory, one
// layout of decoded pixels handed to the pipeline, EXIF blocks.
#include <algorithm>
#include <cstring>

#include "imagelib/bitmap.h"
#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

constexpr uint8_t ExifPrefix[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr int RowsPerCall = 16;

bool isTiffHeader(const uint8_t* data, size_t size)
{
    return size >= 8 && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
                         (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42));
}

}  // namespace

bool streamReadAll(Stream& stream, std::vector<uint8_t>& bytes, uint64_t limit)
{
    if (stream.size > limit || !streamSeek(stream, 0)) {
        stream.failed = true;
        return false;
    }
    bytes.resize(static_cast<size_t>(stream.size));
    return streamReadExact(stream, bytes.data(), bytes.size());
}

void describeInterleaved(ImageHeader& header, int width, int height, bool alpha)
{
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitsPerPlane = alpha ? 32 : 24;
    header.components = 0;
    header.bytesPerPlane = static_cast<uint32_t>(width) * (alpha ? 4u : 3u);
    header.rowsPerCall = RowsPerCall;
    header.rowsInOrder = true;
}

int deliverInterleaved(ReaderContext& context, ImageHeader& header, const uint8_t* pixels, size_t stride)
{
    const size_t rowBytes = header.bytesPerPlane;
    for (int row = 0; row < header.height; row += header.rowsPerCall) {
        const int count = std::min<int>(header.rowsPerCall, header.height - row);
        uint8_t* destination = rowDestination(context, row, count);
        for (int i = 0; i < count; ++i)
            std::memcpy(destination + static_cast<size_t>(i) * header.rowStride,
                        pixels + static_cast<size_t>(row + i) * stride, rowBytes);
        if (const int code = putRows(context, 0, row, count)) return code;
    }
    return endImage(context, 0, 0, nullptr);
}

PlacedPicture pictureInBitmap(ReaderContext& context, const ImageHeader& header)
{
    PlacedPicture picture;
    if (context.handoff || !context.bitmap || !context.bitmap->pixels) return picture;
    // The pipeline offers the bitmap's own row only when it stores rows as
    // they are; the first row at the bitmap's start means top row first.
    if (rowDestination(context, 0, 1) != context.bitmap->pixels) return picture;
    const Bitmap& bitmap = *context.bitmap;
    if (bitmap.height != header.height || bitmap.bytesPerRow < header.bytesPerPlane) return picture;
    picture.pixels = bitmap.pixels;
    picture.stride = bitmap.bytesPerRow;
    picture.rowBytes = header.bytesPerPlane;
    picture.height = header.height;
    return picture;
}

int deliverPlaced(ReaderContext& context, const PlacedPicture& picture)
{
    for (int row = 0; row < picture.height; ++row) {
        // Each row is already where the pipeline would put it: it only counts them.
        if (rowDestination(context, row, 1) != picture.pixels + static_cast<size_t>(row) * picture.stride)
            return readerFail(context, LoadCorrupt, "Rows placed in the bitmap were moved");
        if (const int code = putRows(context, 0, row, 1)) return code;
    }
    return endImage(context, 0, 0, nullptr);
}

bool exifMarkUpright(uint8_t* tiff, size_t size)
{
    if (!isTiffHeader(tiff, size)) return false;
    const bool little = tiff[0] == 'I';
    const auto u16 = [&](size_t at) {
        return static_cast<uint16_t>(little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1]);
    };
    const auto u32 = [&](size_t at) {
        return little ? uint32_t{u16(at)} | uint32_t{u16(at + 2)} << 16 : uint32_t{u16(at)} << 16 | u16(at + 2);
    };
    const size_t directory = u32(4);
    if (directory > size - 2) return false;
    const size_t count = u16(directory);
    constexpr uint16_t OrientationTag = 0x0112, ShortType = 3;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + i * 12;
        if (entry > size - 12) return false;
        if (u16(entry) != OrientationTag) continue;
        if (u16(entry + 2) != ShortType || u32(entry + 4) != 1 || u16(entry + 8) == 1) return false;
        tiff[entry + 8] = little ? 1 : 0;
        tiff[entry + 9] = little ? 0 : 1;
        return true;
    }
    return false;
}

void addExifBlock(ReaderContext& context, const uint8_t* data, size_t size, bool pictureUpright)
{
    if (!data || size == 0 || !context.option(ReadMetadata)) return;
    if (size >= sizeof ExifPrefix && std::memcmp(data, ExifPrefix, sizeof ExifPrefix) == 0) {
        data += sizeof ExifPrefix;
        size -= sizeof ExifPrefix;
    } else if (!isTiffHeader(data, size) && size > 4) {
        const uint32_t offset = uint32_t{data[0]} << 24 | uint32_t{data[1]} << 16 | uint32_t{data[2]} << 8 | data[3];
        if (offset > size - 4) return;
        data += 4 + offset;
        size -= 4 + offset;
    }
    if (!isTiffHeader(data, size) || size > 0xFFFFFFFFu - sizeof ExifPrefix) return;
    std::vector<uint8_t> block(ExifPrefix, ExifPrefix + sizeof ExifPrefix);
    block.insert(block.end(), data, data + size);
    if (pictureUpright) exifMarkUpright(block.data() + sizeof ExifPrefix, size);
    addMetadata(context, MetaExif, block.data(), static_cast<uint32_t>(block.size()));
}

void boxedSize(const LoadParams& params, int width, int height, int& outWidth, int& outHeight)
{
    outWidth = width;
    outHeight = height;
    const int boxW = params.maxWidth, boxH = params.maxHeight;
    if (boxW < 1 || boxH < 1 || width < 1 || height < 1 || (width <= boxW && height <= boxH)) return;
    int h = static_cast<int>(static_cast<double>(boxW) * height / width + 0.5);
    int w = boxW;
    if (h > boxH) {
        w = static_cast<int>(static_cast<double>(boxH) * width / height + 0.5);
        h = boxH;
    }
    outWidth = std::max(w, 1);
    outHeight = std::max(h, 1);
}

}  // namespace fotrix
