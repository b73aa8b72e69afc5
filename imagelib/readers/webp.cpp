// WebP reader over libwebp: still pictures (lossy VP8 with or without an
// alpha channel, lossless VP8L) and animations (one frame, composed on its
// canvas), with the EXIF, XMP and ICC chunks of the extended format.
//
// Stills are decoded incrementally so that a file cut short still gives the
// rows it holds (code 4, a picture with ToleratePartial). A thumbnail box
// lets libwebp decode straight at the reduced size, which costs a fraction of
// a full decode.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

constexpr size_t SignatureBytes = 12;

struct DemuxerFree {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};
struct AnimDecoderFree {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};
struct IncrementalFree {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

struct WebpFile {
    std::vector<uint8_t> bytes;
    WebPBitstreamFeatures features{};
    std::unique_ptr<WebPDemuxer, DemuxerFree> demuxer;
    uint32_t frameCount = 1;
    int canvasWidth = 0;
    int canvasHeight = 0;
};

WebPData dataOf(const WebpFile& file) { return WebPData{file.bytes.data(), file.bytes.size()}; }

void keepChunks(ReaderContext& context, const WebpFile& file)
{
    if (!context.option(ReadMetadata) || !file.demuxer) return;
    WebPChunkIterator chunk;
    if (WebPDemuxGetChunk(file.demuxer.get(), "EXIF", 1, &chunk)) {
        addExifBlock(context, chunk.chunk.bytes, chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    if (WebPDemuxGetChunk(file.demuxer.get(), "ICCP", 1, &chunk)) {
        addMetadata(context, MetaIcc, chunk.chunk.bytes, static_cast<uint32_t>(chunk.chunk.size));
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    if (WebPDemuxGetChunk(file.demuxer.get(), "XMP ", 1, &chunk)) {
        addMetadata(context, MetaXmp, chunk.chunk.bytes, static_cast<uint32_t>(chunk.chunk.size));
        WebPDemuxReleaseChunkIterator(&chunk);
    }
}

void describe(ImageHeader& header, const WebpFile& file)
{
    const char* kind = file.features.has_animation ? "animation"
                       : file.features.format == 2 ? "lossless"
                                                   : "lossy";
    std::snprintf(header.description, sizeof header.description, "WebP (%s)", kind);
    header.compression = 255;
    std::snprintf(header.compressionText, sizeof header.compressionText, "%s",
                  file.features.format == 2 ? "VP8L" : file.features.format == 1 ? "VP8" : "VP8/VP8L");
}

// One frame of an animation, composed on the canvas by libwebp (RGBA).
int readAnimationFrame(ReaderContext& context, const WebpFile& file, ImageHeader& header)
{
    describeInterleaved(header, file.canvasWidth, file.canvasHeight, true);
    const int begun = beginImage(context, header);
    if (begun != 0) return begun;
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return LoadNoMemory;
    options.color_mode = MODE_RGBA;
    options.use_threads = 1;
    const WebPData data = dataOf(file);
    std::unique_ptr<WebPAnimDecoder, AnimDecoderFree> decoder(WebPAnimDecoderNew(&data, &options));
    if (!decoder) return readerFail(context, LoadCorrupt, "WebP : Bad animation !");
    const uint32_t wanted = context.params.frameIndex < file.frameCount ? context.params.frameIndex : 0;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    for (uint32_t frame = 0; frame <= wanted; ++frame)
        if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
            return readerFail(context, LoadCorrupt, "WebP : Bad animation frame !");
    return deliverInterleaved(context, header, canvas, static_cast<size_t>(file.canvasWidth) * 4);
}

// A still picture, at the box size when a thumbnail is wanted.
int readStill(ReaderContext& context, const WebpFile& file, ImageHeader& header)
{
    const int width = file.features.width, height = file.features.height;
    int outWidth = width, outHeight = height;
    if (context.option(Preview)) boxedSize(context.params, width, height, outWidth, outHeight);
    const bool alpha = file.features.has_alpha != 0;
    describeInterleaved(header, outWidth, outHeight, alpha);
    if (outWidth != width || outHeight != height) {
        header.fullWidth = static_cast<uint32_t>(width);
        header.fullHeight = static_cast<uint32_t>(height);
        header.fullBytes = static_cast<uint32_t>(width) * (alpha ? 4u : 3u);
        header.fullBits = 8;
        header.fullComponents = alpha ? 4 : 3;
    }
    const int begun = beginImage(context, header);
    if (begun != 0) return begun;

    // Straight into the bitmap where the pipeline keeps the rows as they are,
    // else into a picture of our own that the pipeline then takes row by row.
    // (Ours is not cleared first: rows the decoder does not reach are cleared after.)
    PlacedPicture placed = pictureInBitmap(context, header);
    std::unique_ptr<uint8_t[]> own;
    if (!placed.pixels) {
        own.reset(new (std::nothrow) uint8_t[static_cast<size_t>(header.bytesPerPlane) * outHeight]);
        if (!own) return readerFail(context, LoadNoMemory, "WebP : Not enough memory !");
        placed = {own.get(), header.bytesPerPlane, header.bytesPerPlane, outHeight};
    }
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return LoadNoMemory;
    config.options.use_threads = 1;
    if (outWidth != width || outHeight != height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = outWidth;
        config.options.scaled_height = outHeight;
    }
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = placed.pixels;
    config.output.u.RGBA.stride = static_cast<int>(placed.stride);
    config.output.u.RGBA.size = placed.bytes();
    std::unique_ptr<WebPIDecoder, IncrementalFree> decoder(
        WebPIDecode(file.bytes.data(), file.bytes.size(), &config));
    if (!decoder) return LoadNoMemory;
    const VP8StatusCode status = WebPIUpdate(decoder.get(), file.bytes.data(), file.bytes.size());
    int reached = 0;
    if (status != VP8_STATUS_SUSPENDED || !WebPIDecGetRGB(decoder.get(), &reached, nullptr, nullptr, nullptr))
        reached = status == VP8_STATUS_OK ? outHeight : 0;
    for (int row = std::max(reached, 0); row < outHeight; ++row)
        std::memset(placed.pixels + static_cast<size_t>(row) * placed.stride, 0, placed.rowBytes);
    decoder.reset();
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK && status != VP8_STATUS_SUSPENDED)
        return readerFail(context, LoadCorrupt, "WebP : Corrupt picture data !");
    // Rows the decoder did not reach are zero; the pipeline tells the caller.
    const int delivered = own ? deliverInterleaved(context, header, own.get(), placed.stride)
                              : deliverPlaced(context, placed);
    if (delivered != 0) return delivered;
    return status == VP8_STATUS_SUSPENDED ? readerFail(context, LoadReadError, "WebP : File ends early !") : 0;
}

}  // namespace

int readWebp(Stream& stream, ReaderContext& context)
{
    uint8_t signature[SignatureBytes];
    if (!streamReadExact(stream, signature, sizeof signature)) return LoadReadError;
    if (std::memcmp(signature, "RIFF", 4) != 0 || std::memcmp(signature + 8, "WEBP", 4) != 0)
        return LoadUnknownFormat;
    WebpFile file;
    if (!streamReadAll(stream, file.bytes, CodecFileLimit)) return LoadReadError;
    const VP8StatusCode status = WebPGetFeatures(file.bytes.data(), file.bytes.size(), &file.features);
    if (status == VP8_STATUS_NOT_ENOUGH_DATA) return LoadReadError;
    if (status != VP8_STATUS_OK) return readerFail(context, LoadBadData, "WebP : Bad header !");
    file.canvasWidth = file.features.width;
    file.canvasHeight = file.features.height;

    // The demuxer gives the chunks and, for animations, the canvas and frames;
    // a file cut short inside its frames has no complete demux state.
    const WebPData data = dataOf(file);
    file.demuxer.reset(WebPDemux(&data));
    if (file.features.has_animation) {
        if (!file.demuxer) return LoadReadError;
        file.frameCount = WebPDemuxGetI(file.demuxer.get(), WEBP_FF_FRAME_COUNT);
        file.canvasWidth = static_cast<int>(WebPDemuxGetI(file.demuxer.get(), WEBP_FF_CANVAS_WIDTH));
        file.canvasHeight = static_cast<int>(WebPDemuxGetI(file.demuxer.get(), WEBP_FF_CANVAS_HEIGHT));
        if (file.frameCount == 0) return readerFail(context, LoadBadData, "WebP : Animation without frames !");
        context.imageCount = file.frameCount;
    }
    if (static_cast<uint64_t>(file.canvasWidth) * static_cast<uint64_t>(file.canvasHeight) > CodecPixelLimit)
        return readerFail(context, LoadBadData, "WebP : Bad picture's size !");
    keepChunks(context, file);

    ImageHeader header;
    imageHeaderDefaults(header);
    describe(header, file);
    return file.features.has_animation ? readAnimationFrame(context, file, header) : readStill(context, file, header);
}

}  // namespace fotrix
