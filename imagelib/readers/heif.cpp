// HEIF/HEIC reader over libheif: the primary picture or another top-level
// picture of the file, with alpha, EXIF, XMP and ICC. libheif applies the
// display transforms (crop, turn, mirror), so the picture comes upright; a
// thumbnail box is served from an embedded thumbnail when one is at least as
// large as the reduced picture.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <libheif/heif.h>

#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;

int codeOf(const heif_error& error)
{
    switch (error.code) {
    case heif_error_Ok: return LoadOk;
    case heif_error_Memory_allocation_error: return LoadNoMemory;
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature: return LoadBadData;
    default:
        return error.subcode == heif_suberror_End_of_data ? LoadReadError : LoadCorrupt;
    }
}

int fail(ReaderContext& context, const heif_error& error)
{
    char message[64];
    std::snprintf(message, sizeof message, "HEIF : %s !", error.message ? error.message : "error");
    return readerFail(context, codeOf(error), message);
}

void keepMetadata(ReaderContext& context, const heif_image_handle* handle)
{
    if (!context.option(ReadMetadata)) return;
    heif_item_id ids[16];
    const int count = heif_image_handle_get_list_of_metadata_block_IDs(handle, nullptr, ids, 16);
    for (int i = 0; i < count; ++i) {
        const size_t size = heif_image_handle_get_metadata_size(handle, ids[i]);
        if (size == 0 || size >= 0xFFFFFFFFu) continue;
        std::vector<uint8_t> block(size);
        if (heif_image_handle_get_metadata(handle, ids[i], block.data()).code != heif_error_Ok) continue;
        const char* type = heif_image_handle_get_metadata_type(handle, ids[i]);
        const char* content = heif_image_handle_get_metadata_content_type(handle, ids[i]);
        if (type && std::strcmp(type, "Exif") == 0)
            addExifBlock(context, block.data(), block.size(), true);
        else if (content && std::strcmp(content, "application/rdf+xml") == 0)
            addMetadata(context, MetaXmp, block.data(), static_cast<uint32_t>(size));
    }
    const size_t iccSize = heif_image_handle_get_raw_color_profile_size(handle);
    if (iccSize > 0 && iccSize < 0xFFFFFFFFu) {
        std::vector<uint8_t> icc(iccSize);
        if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code == heif_error_Ok)
            addMetadata(context, MetaIcc, icc.data(), static_cast<uint32_t>(iccSize));
    }
}

// The top-level picture the caller asked for (the primary one for frame 0).
heif_error pictureHandle(heif_context* file, uint32_t frame, uint32_t count, Handle& handle)
{
    heif_image_handle* raw = nullptr;
    heif_error error{heif_error_Ok, heif_suberror_Unspecified, ""};
    if (frame == 0 || frame >= count) {
        error = heif_context_get_primary_image_handle(file, &raw);
    } else {
        std::vector<heif_item_id> ids(count);
        const int listed = heif_context_get_list_of_top_level_image_IDs(file, ids.data(), static_cast<int>(count));
        error = static_cast<int>(frame) < listed ? heif_context_get_image_handle(file, ids[frame], &raw)
                                                 : heif_context_get_primary_image_handle(file, &raw);
    }
    handle.reset(raw);
    return error;
}

// The smallest embedded thumbnail that still covers `width` x `height`.
Handle coveringThumbnail(const heif_image_handle* picture, int width, int height)
{
    heif_item_id ids[8];
    const int count = heif_image_handle_get_list_of_thumbnail_IDs(picture, ids, 8);
    Handle best;
    for (int i = 0; i < count; ++i) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(picture, ids[i], &raw).code != heif_error_Ok) continue;
        Handle thumbnail(raw);
        const int w = heif_image_handle_get_width(raw), h = heif_image_handle_get_height(raw);
        if (w < width || h < height) continue;
        if (!best || w < heif_image_handle_get_width(best.get())) best = std::move(thumbnail);
    }
    return best;
}

}  // namespace

int readHeif(Stream& stream, ReaderContext& context)
{
    uint8_t head[32];
    const size_t got = streamRead(stream, head, sizeof head);
    if (got < 12) return LoadReadError;
    const heif_filetype_result kind = heif_check_filetype(head, static_cast<int>(got));
    if (kind == heif_filetype_no) return LoadUnknownFormat;
    std::vector<uint8_t> bytes;
    if (!streamReadAll(stream, bytes, CodecFileLimit)) return LoadReadError;

    std::unique_ptr<heif_context, ContextFree> file(heif_context_alloc());
    if (!file) return LoadNoMemory;
    heif_context_set_maximum_image_size_limit(file.get(), 1 << 15);
    heif_error error = heif_context_read_from_memory_without_copy(file.get(), bytes.data(), bytes.size(), nullptr);
    if (error.code != heif_error_Ok) return kind == heif_filetype_maybe ? LoadUnknownFormat : fail(context, error);
    const int count = heif_context_get_number_of_top_level_images(file.get());
    context.imageCount = count > 0 ? static_cast<uint32_t>(count) : 1;
    Handle picture;
    error = pictureHandle(file.get(), context.params.frameIndex, context.imageCount, picture);
    if (error.code != heif_error_Ok) return fail(context, error);
    keepMetadata(context, picture.get());

    const int width = heif_image_handle_get_width(picture.get());
    const int height = heif_image_handle_get_height(picture.get());
    const bool alpha = heif_image_handle_has_alpha_channel(picture.get()) != 0;
    if (width < 1 || height < 1 || static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > CodecPixelLimit)
        return readerFail(context, LoadBadData, "HEIF : Bad picture's size !");
    ImageHeader header;
    imageHeaderDefaults(header);
    std::snprintf(header.description, sizeof header.description, "HEIF (%d bits)",
                  heif_image_handle_get_luma_bits_per_pixel(picture.get()));
    header.compression = 255;
    std::snprintf(header.compressionText, sizeof header.compressionText, "%s", kind == heif_filetype_maybe ? "HEIF" : "HEVC");
    if (context.infoOnly()) {
        describeInterleaved(header, width, height, alpha);
        return beginImage(context, header);
    }

    // Decode first: the decoded picture's own size is what the rows carry.
    const heif_image_handle* source = picture.get();
    Handle thumbnail;
    if (context.option(Preview)) {
        int boxWidth = width, boxHeight = height;
        boxedSize(context.params, width, height, boxWidth, boxHeight);
        if (boxWidth < width) thumbnail = coveringThumbnail(picture.get(), boxWidth, boxHeight);
        if (thumbnail) source = thumbnail.get();
    }
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options) return LoadNoMemory;
    options->convert_hdr_to_8bit = 1;
    heif_image* raw = nullptr;
    error = heif_decode_image(source, &raw, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    std::unique_ptr<heif_image, ImageFree> image(raw);
    if (error.code != heif_error_Ok) return fail(context, error);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(raw, heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(raw, heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(raw, heif_channel_interleaved);
    if (!pixels || decodedWidth < 1 || decodedHeight < 1 || stride < decodedWidth * (alpha ? 4 : 3))
        return readerFail(context, LoadCorrupt, "HEIF : No picture decoded !");
    describeInterleaved(header, decodedWidth, decodedHeight, alpha);
    if (thumbnail) {
        header.fullWidth = static_cast<uint32_t>(width);
        header.fullHeight = static_cast<uint32_t>(height);
        header.fullBytes = static_cast<uint32_t>(width) * (alpha ? 4u : 3u);
        header.fullComponents = alpha ? 4 : 3;
    }
    const int begun = beginImage(context, header);
    if (begun != 0) return begun;
    return deliverInterleaved(context, header, pixels, static_cast<size_t>(stride));
}

}  // namespace fotrix
