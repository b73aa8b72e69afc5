// WebP writer over libwebp: lossy (quality 0..100) or lossless (quality is
// then the effort), RGB or RGBA; grey and palette pictures go out as RGB.
// The EXIF block and the ICC profile join as chunks of the extended format.
#include <cstring>
#include <memory>

#include <webp/encode.h>
#include <webp/mux.h>

#include "imagelib/readers/codec_readers.h"
#include "imagelib/save.h"

namespace fotrix {

namespace {

constexpr size_t ExifPrefixBytes = 6;

struct PictureFree {
    void operator()(WebPPicture* picture) const { WebPPictureFree(picture); }
};
struct MuxFree {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};

const MetadataBlock* findBlock(const MetadataBlock* block, uint32_t kind)
{
    for (; block; block = block->next)
        if (block->kind == kind && block->data && block->size > 0) return block;
    return nullptr;
}

// Wraps the encoded picture with EXIF and ICC chunks when the bitmap has them.
int writeWithChunks(WriterContext& context, const WebPMemoryWriter& encoded)
{
    const MetadataBlock* exif = context.params.keepExif ? findBlock(context.metadata, MetaExif) : nullptr;
    const MetadataBlock* icc = findBlock(context.metadata, MetaIcc);
    if (exif && (exif->size <= ExifPrefixBytes || std::memcmp(exif->data, "Exif\0\0", ExifPrefixBytes) != 0))
        exif = nullptr;
    if (!exif && !icc) {
        writeBytes(context, encoded.mem, encoded.size);
        return ResultOk;
    }
    std::unique_ptr<WebPMux, MuxFree> mux(WebPMuxNew());
    if (!mux) return ResultNoMemory;
    const WebPData image{encoded.mem, encoded.size};
    if (WebPMuxSetImage(mux.get(), &image, 0) != WEBP_MUX_OK) return ResultWriteError;
    if (exif) {  // the chunk holds the TIFF structure without JPEG's prefix
        const WebPData chunk{exif->data + ExifPrefixBytes, exif->size - ExifPrefixBytes};
        if (WebPMuxSetChunk(mux.get(), "EXIF", &chunk, 1) != WEBP_MUX_OK) return ResultWriteError;
    }
    if (icc) {
        const WebPData chunk{icc->data, icc->size};
        if (WebPMuxSetChunk(mux.get(), "ICCP", &chunk, 1) != WEBP_MUX_OK) return ResultWriteError;
    }
    WebPData assembled{};
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) return ResultNoMemory;
    writeBytes(context, assembled.bytes, assembled.size);
    WebPDataClear(&assembled);
    return ResultOk;
}

int encode(WriterContext& context, RowFormat& format, bool alpha)
{
    WebPConfig config;
    const float quality = static_cast<float>(context.params.quality > 100 ? 100 : context.params.quality);
    if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, quality)) return ResultNoMemory;
    config.lossless = context.params.lossless ? 1 : 0;
    config.exact = 0;
    config.thread_level = 1;
    if (!WebPValidateConfig(&config)) return ResultBadSize;

    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return ResultNoMemory;
    std::unique_ptr<WebPPicture, PictureFree> owned(&picture);
    picture.use_argb = config.lossless;
    picture.width = context.width;
    picture.height = context.height;
    if (beginRows(context, format) != ResultOk) return ResultNoMemory;
    getRows(context, 0, context.height);
    const int stride = static_cast<int>(format.bytesPerRow);
    const int imported = alpha ? WebPPictureImportRGBA(&picture, format.rows, stride)
                               : WebPPictureImportRGB(&picture, format.rows, stride);
    endRows(context);
    if (!imported) return ResultNoMemory;

    WebPMemoryWriter output;
    WebPMemoryWriterInit(&output);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &output;
    int result = ResultOk;
    if (!WebPEncode(&config, &picture))
        result = picture.error_code == VP8_ENC_ERROR_OUT_OF_MEMORY ? ResultNoMemory
                 : picture.error_code == VP8_ENC_ERROR_BAD_DIMENSION ? ResultBadSize
                                                                      : ResultWriteError;
    if (result == ResultOk) result = writeWithChunks(context, output);
    WebPMemoryWriterClear(&output);
    return result;
}

}  // namespace

int writeWebp(WriterContext& context)
{
    if (context.width > WEBP_MAX_DIMENSION || context.height > WEBP_MAX_DIMENSION) return ResultBadSize;
    const bool alpha = context.bitsPerPixel == 32 && !context.cmyk;
    RowFormat format;
    format.description = "WebP";
    format.samples = alpha ? SamplesRgba : SamplesRgb;
    format.bitsPerPixel = alpha ? 32 : 24;
    format.rowsPerCall = context.height;
    int result = writerOpen(context);
    if (result != ResultOk) return result;
    result = encode(context, format, alpha);
    if (result != ResultOk) return result;
    return writerClose(context);
}

}  // namespace fotrix
