// AVIF reader over libavif: still pictures and the frames of image
// sequences, 8 to 12 bits, with alpha, EXIF, XMP and ICC. libavif leaves the
// display transforms to the application: the picture is turned ('irot') and
// mirrored ('imir') here, in that order (MIAF, ISO/IEC 23000-22, 7.3.6.7).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <avif/avif.h>

#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

struct DecoderFree {
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};

// 'ftyp' at byte 4; libavif tells its brands apart.
bool looksLikeAvif(const uint8_t* head, size_t size)
{
    if (size < 12 || std::memcmp(head + 4, "ftyp", 4) != 0) return false;
    const avifROData data{head, size};
    return avifPeekCompatibleFileType(&data) == AVIF_TRUE;
}

int codeOf(avifResult result)
{
    switch (result) {
    case AVIF_RESULT_OK: return LoadOk;
    case AVIF_RESULT_OUT_OF_MEMORY: return LoadNoMemory;
    case AVIF_RESULT_TRUNCATED_DATA:
    case AVIF_RESULT_WAITING_ON_IO: return LoadReadError;
    case AVIF_RESULT_INVALID_FTYP: return LoadUnknownFormat;
    default: return LoadCorrupt;
    }
}

int fail(ReaderContext& context, avifResult result)
{
    char message[64];
    std::snprintf(message, sizeof message, "AVIF : %s !", avifResultToString(result));
    return readerFail(context, codeOf(result), message);
}

void keepMetadata(ReaderContext& context, const avifImage& image)
{
    addExifBlock(context, image.exif.data, image.exif.size, true);
    if (!context.option(ReadMetadata)) return;
    if (image.icc.size > 0 && image.icc.size < 0xFFFFFFFFu)
        addMetadata(context, MetaIcc, image.icc.data, static_cast<uint32_t>(image.icc.size));
    if (image.xmp.size > 0 && image.xmp.size < 0xFFFFFFFFu)
        addMetadata(context, MetaXmp, image.xmp.data, static_cast<uint32_t>(image.xmp.size));
}

// Quarter turns to the left and the mirror after them.
struct DisplayTransform {
    int quarterTurns = 0;
    int mirror = -1;  // -1 none, 0 top and bottom exchanged, 1 left and right
    bool swapsSides() const { return quarterTurns % 2 == 1; }
};

DisplayTransform transformOf(const avifImage& image)
{
    DisplayTransform t;
    if (image.transformFlags & AVIF_TRANSFORM_IROT) t.quarterTurns = image.irot.angle & 3;
    if (image.transformFlags & AVIF_TRANSFORM_IMIR) t.mirror = image.imir.mode ? 1 : 0;
    return t;
}

// The decoded picture turned and mirrored into a new buffer of `bpp`-byte pixels.
std::vector<uint8_t> applyTransform(const uint8_t* pixels, size_t stride, int width, int height, int bpp,
                                    const DisplayTransform& t, int& outWidth, int& outHeight)
{
    outWidth = t.swapsSides() ? height : width;
    outHeight = t.swapsSides() ? width : height;
    std::vector<uint8_t> out(static_cast<size_t>(outWidth) * outHeight * bpp);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = pixels + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            int u = x, v = y;  // position after the anticlockwise turn
            switch (t.quarterTurns) {
            case 1: u = y, v = width - 1 - x; break;
            case 2: u = width - 1 - x, v = height - 1 - y; break;
            case 3: u = height - 1 - y, v = x; break;
            default: break;
            }
            if (t.mirror == 0) v = outHeight - 1 - v;
            if (t.mirror == 1) u = outWidth - 1 - u;
            std::memcpy(&out[(static_cast<size_t>(v) * outWidth + u) * bpp], source + static_cast<size_t>(x) * bpp,
                        bpp);
        }
    }
    return out;
}

// 8-bit RGB or RGBA of `image` into `pixels`, rows `stride` apart.
avifRGBImage rgbOf(const avifImage& image, bool alpha, uint8_t* pixels, size_t stride)
{
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, &image);
    rgb.format = alpha ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    rgb.depth = 8;
    rgb.pixels = pixels;
    rgb.rowBytes = static_cast<uint32_t>(stride);
    return rgb;
}

// Rows first .. first + count - 1 of the decoded picture as a picture of
// their own: its planes stay the decoder's.
avifImage rowsOf(const avifImage& image, int first, int count)
{
    avifPixelFormatInfo format;
    avifGetPixelFormatInfo(image.yuvFormat, &format);
    avifImage view = image;
    view.height = static_cast<uint32_t>(count);
    view.yuvPlanes[0] += static_cast<size_t>(first) * image.yuvRowBytes[0];
    for (int plane = 1; plane < 3; ++plane)
        if (view.yuvPlanes[plane])
            view.yuvPlanes[plane] += static_cast<size_t>(first >> format.chromaShiftY) * image.yuvRowBytes[plane];
    if (view.alphaPlane) view.alphaPlane += static_cast<size_t>(first) * image.alphaRowBytes;
    view.imageOwnsYUVPlanes = AVIF_FALSE;
    view.imageOwnsAlphaPlane = AVIF_FALSE;
    return view;
}

// Converts the picture to RGB a block of rows at a time, into the rows the
// pipeline offers (the bitmap, a writer's band or its row buffer), so that no
// RGB copy of the whole picture is made. Where two rows share a row of
// chroma (4:2:0), libavif's upsampling reads the chroma rows beside the
// block's: each block is converted with two rows more on either side, in a
// small buffer, and gives the same pixels as a conversion of the whole.
int convertByBlocks(ReaderContext& context, ImageHeader& header, const avifImage& image, bool alpha)
{
    avifPixelFormatInfo format;
    avifGetPixelFormatInfo(image.yuvFormat, &format);
    const int margin = format.chromaShiftY ? 2 : 0;
    const int height = static_cast<int>(image.height), block = header.rowsPerCall;  // an even count
    const size_t rowBytes = header.bytesPerPlane;
    std::vector<uint8_t> around(margin ? rowBytes * (block + 2 * margin) : 0);
    for (int row = 0; row < height; row += block) {
        const int count = std::min(block, height - row);
        const int first = std::max(0, row - margin), end = std::min(height, row + count + margin);
        uint8_t* destination = rowDestination(context, row, count);
        const avifImage view = rowsOf(image, first, end - first);
        avifRGBImage rgb = margin ? rgbOf(view, alpha, around.data(), rowBytes)
                                  : rgbOf(view, alpha, destination, header.rowStride);
        if (avifResult r = avifImageYUVToRGB(&view, &rgb); r != AVIF_RESULT_OK) return fail(context, r);
        for (int i = 0; margin && i < count; ++i)
            std::memcpy(destination + static_cast<size_t>(i) * header.rowStride,
                        around.data() + static_cast<size_t>(row - first + i) * rowBytes, rowBytes);
        if (const int code = putRows(context, 0, row, count)) return code;
    }
    return endImage(context, 0, 0, nullptr);
}

}  // namespace

int readAvif(Stream& stream, ReaderContext& context)
{
    uint8_t head[64];
    const size_t got = streamRead(stream, head, sizeof head);
    if (got < 12) return LoadReadError;
    if (!looksLikeAvif(head, got)) return LoadUnknownFormat;
    std::vector<uint8_t> bytes;
    if (!streamReadAll(stream, bytes, CodecFileLimit)) return LoadReadError;

    std::unique_ptr<avifDecoder, DecoderFree> decoder(avifDecoderCreate());
    if (!decoder) return LoadNoMemory;
    decoder->imageSizeLimit = static_cast<uint32_t>(CodecPixelLimit);
    decoder->maxThreads = 2;
    decoder->ignoreExif = context.option(ReadMetadata) ? AVIF_FALSE : AVIF_TRUE;
    decoder->ignoreXMP = decoder->ignoreExif;
    if (avifResult r = avifDecoderSetIOMemory(decoder.get(), bytes.data(), bytes.size()); r != AVIF_RESULT_OK)
        return fail(context, r);
    if (avifResult r = avifDecoderParse(decoder.get()); r != AVIF_RESULT_OK) return fail(context, r);
    const avifImage& parsed = *decoder->image;
    context.imageCount = decoder->imageCount > 0 ? static_cast<uint32_t>(decoder->imageCount) : 1;
    keepMetadata(context, parsed);

    const DisplayTransform transform = transformOf(parsed);
    const bool alpha = decoder->alphaPresent == AVIF_TRUE;
    const int width = static_cast<int>(parsed.width), height = static_cast<int>(parsed.height);
    ImageHeader header;
    imageHeaderDefaults(header);
    describeInterleaved(header, transform.swapsSides() ? height : width, transform.swapsSides() ? width : height,
                        alpha);
    std::snprintf(header.description, sizeof header.description, "AVIF (%u bits%s)", parsed.depth,
                  decoder->imageCount > 1 ? ", sequence" : "");
    header.compression = 255;
    std::snprintf(header.compressionText, sizeof header.compressionText, "AV1");
    const int begun = beginImage(context, header);
    if (begun != 0) return begun;

    const uint32_t frame = context.params.frameIndex < context.imageCount ? context.params.frameIndex : 0;
    if (avifResult r = avifDecoderNthImage(decoder.get(), frame); r != AVIF_RESULT_OK) return fail(context, r);
    const avifImage& image = *decoder->image;
    if (static_cast<int>(image.width) != width || static_cast<int>(image.height) != height)
        return readerFail(context, LoadCorrupt, "AVIF : Frames of different sizes !");
    // An upright picture converts straight into the bitmap where the pipeline
    // keeps the rows as they are, else block by block into the rows it offers.
    const bool upright = transform.quarterTurns == 0 && transform.mirror < 0;
    const PlacedPicture placed = upright ? pictureInBitmap(context, header) : PlacedPicture{};
    if (placed.pixels) {
        avifRGBImage rgb = rgbOf(image, alpha, placed.pixels, placed.stride);
        if (avifResult r = avifImageYUVToRGB(&image, &rgb); r != AVIF_RESULT_OK) return fail(context, r);
        return deliverPlaced(context, placed);
    }
    if (upright) return convertByBlocks(context, header, image, alpha);
    const size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
    std::vector<uint8_t> own(rowBytes * height);
    avifRGBImage rgb = rgbOf(image, alpha, own.data(), rowBytes);
    if (avifResult r = avifImageYUVToRGB(&image, &rgb); r != AVIF_RESULT_OK) return fail(context, r);
    int turnedWidth = 0, turnedHeight = 0;
    const std::vector<uint8_t> turned =
        applyTransform(own.data(), rowBytes, width, height, alpha ? 4 : 3, transform, turnedWidth, turnedHeight);
    return deliverInterleaved(context, header, turned.data(), header.bytesPerPlane);
}

}  // namespace fotrix
