// JPEG XL reader over libjxl: bare codestreams and the container format,
// with alpha, the EXIF and XMP boxes and the colour profile. libjxl turns the
// picture by its orientation field and composes the frames of an animation
// on the canvas; the caller's frameIndex picks one. Decoding runs on the
// library's thread pool.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jxl/decode.h>
#include <jxl/resizable_parallel_runner.h>

#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

constexpr size_t BoxLimit = size_t{16} << 20;

struct DecoderFree {
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerFree {
    void operator()(void* runner) const { JxlResizableParallelRunnerDestroy(runner); }
};

// The metadata box being collected.
struct Box {
    uint32_t kind = 0;  // MetaExif, MetaXmp, or 0 for a box not kept
    std::vector<uint8_t> data;
};

struct JxlJob {
    ReaderContext* context = nullptr;
    std::unique_ptr<JxlDecoder, DecoderFree> decoder;
    std::unique_ptr<void, RunnerFree> runner;
    JxlBasicInfo info{};
    Box box;
};

void finishBox(JxlJob& job)
{
    if (job.box.kind == 0) return;
    const size_t unused = JxlDecoderReleaseBoxBuffer(job.decoder.get());
    job.box.data.resize(job.box.data.size() - unused);
    if (job.box.kind == MetaExif)
        addExifBlock(*job.context, job.box.data.data(), job.box.data.size(), true);
    else if (!job.box.data.empty())
        addMetadata(*job.context, job.box.kind, job.box.data.data(), static_cast<uint32_t>(job.box.data.size()));
    job.box = Box{};
}

void startBox(JxlJob& job)
{
    finishBox(job);
    JxlBoxType type;
    if (JxlDecoderGetBoxType(job.decoder.get(), type, JXL_TRUE) != JXL_DEC_SUCCESS) return;
    if (std::memcmp(type, "Exif", 4) == 0) job.box.kind = MetaExif;
    else if (std::memcmp(type, "xml ", 4) == 0) job.box.kind = MetaXmp;
    else return;
    job.box.data.resize(4096);
    JxlDecoderSetBoxBuffer(job.decoder.get(), job.box.data.data(), job.box.data.size());
}

// The box is larger than its buffer: give it twice the room, up to a limit.
bool growBox(JxlJob& job)
{
    const size_t unused = JxlDecoderReleaseBoxBuffer(job.decoder.get());
    const size_t used = job.box.data.size() - unused;
    if (job.box.data.size() >= BoxLimit) return false;
    job.box.data.resize(job.box.data.size() * 2);
    JxlDecoderSetBoxBuffer(job.decoder.get(), job.box.data.data() + used, job.box.data.size() - used);
    return true;
}

void keepProfile(JxlJob& job)
{
    if (!job.context->option(ReadMetadata)) return;
    size_t size = 0;
    if (JxlDecoderGetICCProfileSize(job.decoder.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) !=
            JXL_DEC_SUCCESS ||
        size == 0 || size >= BoxLimit)
        return;
    std::vector<uint8_t> icc(size);
    if (JxlDecoderGetColorAsICCProfile(job.decoder.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA, icc.data(), size) ==
        JXL_DEC_SUCCESS)
        addMetadata(*job.context, MetaIcc, icc.data(), static_cast<uint32_t>(size));
}

// Frames of an animation, counted from their headers by a decoder of its own
// that asks for no pixels (libjxl then skips the frames' data). Frames that
// libjxl merges into the next one (zero duration, not the last) are not
// counted, as they are never shown alone. A file cut short counts the frames
// whose headers it holds.
uint32_t countFrames(const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<JxlDecoder, DecoderFree> decoder(JxlDecoderCreate(nullptr));
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_FRAME) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), bytes.data(), bytes.size()) != JXL_DEC_SUCCESS)
        return 0;
    JxlDecoderCloseInput(decoder.get());
    uint32_t frames = 0;
    while (frames < UINT32_MAX && JxlDecoderProcessInput(decoder.get()) == JXL_DEC_FRAME) ++frames;
    return frames;
}

int fail(ReaderContext& context, const char* message, bool ended)
{
    return readerFail(context, ended ? LoadReadError : LoadCorrupt, message);
}

bool start(JxlJob& job, const std::vector<uint8_t>& bytes)
{
    job.decoder.reset(JxlDecoderCreate(nullptr));
    job.runner.reset(JxlResizableParallelRunnerCreate(nullptr));
    if (!job.decoder || !job.runner) return false;
    int events = JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE;
    if (job.context->option(ReadMetadata)) events |= JXL_DEC_BOX | JXL_DEC_COLOR_ENCODING;
    return JxlDecoderSubscribeEvents(job.decoder.get(), events) == JXL_DEC_SUCCESS &&
           JxlDecoderSetParallelRunner(job.decoder.get(), JxlResizableParallelRunner, job.runner.get()) ==
               JXL_DEC_SUCCESS &&
           JxlDecoderSetDecompressBoxes(job.decoder.get(), JXL_TRUE) == JXL_DEC_SUCCESS &&
           JxlDecoderSetInput(job.decoder.get(), bytes.data(), bytes.size()) == JXL_DEC_SUCCESS;
}

void describe(ImageHeader& header, const JxlBasicInfo& info)
{
    // Orientations 5 to 8 exchange the sides; libjxl reports them unturned.
    const bool transposed = info.orientation >= JXL_ORIENT_TRANSPOSE;
    describeInterleaved(header, static_cast<int>(transposed ? info.ysize : info.xsize),
                        static_cast<int>(transposed ? info.xsize : info.ysize), info.alpha_bits > 0);
    std::snprintf(header.description, sizeof header.description, "JPEG XL (%u bits%s)", info.bits_per_sample,
                  info.have_animation ? ", animation" : "");
    header.compression = 255;
    std::snprintf(header.compressionText, sizeof header.compressionText, "%s",
                  info.uses_original_profile ? "JPEG XL (modular)" : "JPEG XL (VarDCT)");
}

}  // namespace

int readJxl(Stream& stream, ReaderContext& context)
{
    uint8_t head[12];
    const size_t got = streamRead(stream, head, sizeof head);
    const JxlSignature signature = JxlSignatureCheck(head, got);
    if (signature != JXL_SIG_CODESTREAM && signature != JXL_SIG_CONTAINER)
        return got < 2 ? LoadReadError : LoadUnknownFormat;
    std::vector<uint8_t> bytes;
    if (!streamReadAll(stream, bytes, CodecFileLimit)) return LoadReadError;
    JxlJob job;
    job.context = &context;
    if (!start(job, bytes)) return LoadNoMemory;
    JxlDecoderCloseInput(job.decoder.get());

    ImageHeader header;
    imageHeaderDefaults(header);
    std::vector<uint8_t> pixels;
    PlacedPicture placed;
    JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    bool begun = false;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(job.decoder.get());
        switch (status) {
        case JXL_DEC_BASIC_INFO: {
            if (JxlDecoderGetBasicInfo(job.decoder.get(), &job.info) != JXL_DEC_SUCCESS)
                return fail(context, "JPEG XL : Bad header !", false);
            if (static_cast<uint64_t>(job.info.xsize) * job.info.ysize > CodecPixelLimit)
                return readerFail(context, LoadBadData, "JPEG XL : Bad picture's size !");
            describe(header, job.info);
            if (job.info.have_animation) {
                const uint32_t frames = std::max<uint32_t>(countFrames(bytes), 1);
                context.imageCount = frames;
                // The frames before the one wanted are composed but not handed out.
                if (context.params.frameIndex > 0 && context.params.frameIndex < frames && !context.infoOnly())
                    JxlDecoderSkipFrames(job.decoder.get(), context.params.frameIndex);
            }
            format.num_channels = job.info.alpha_bits > 0 ? 4 : 3;
            JxlResizableParallelRunnerSetThreads(
                job.runner.get(), JxlResizableParallelRunnerSuggestThreads(job.info.xsize, job.info.ysize));
            const int code = beginImage(context, header);
            if (code != 0) return code;
            begun = true;
            break;
        }
        case JXL_DEC_COLOR_ENCODING: keepProfile(job); break;
        case JXL_DEC_BOX: startBox(job); break;
        case JXL_DEC_BOX_NEED_MORE_OUTPUT:
            if (!growBox(job)) return readerFail(context, LoadCorrupt, "JPEG XL : Metadata box too large !");
            break;
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            // Straight into the bitmap where the pipeline keeps the rows as
            // they are (libjxl spaces rows by their alignment, and may count
            // the last row's padding), else into a picture of our own.
            placed = pictureInBitmap(context, header);
            JxlPixelFormat placedFormat = format;
            placedFormat.align = placed.stride;
            size_t size = 0;
            if (placed.pixels &&
                (JxlDecoderImageOutBufferSize(job.decoder.get(), &placedFormat, &size) != JXL_DEC_SUCCESS ||
                 size < placed.bytes() || size > placed.stride * static_cast<size_t>(placed.height)))
                placed = PlacedPicture{};
            if (!placed.pixels) {
                if (JxlDecoderImageOutBufferSize(job.decoder.get(), &format, &size) != JXL_DEC_SUCCESS ||
                    size != header.bytesPerPlane * static_cast<size_t>(header.height))
                    return fail(context, "JPEG XL : Unexpected picture size !", false);
                pixels.resize(size);
                placedFormat = format;
            }
            if (JxlDecoderSetImageOutBuffer(job.decoder.get(), &placedFormat,
                                            placed.pixels ? placed.pixels : pixels.data(), size) != JXL_DEC_SUCCESS)
                return fail(context, "JPEG XL : Bad pixel format !", false);
            break;
        }
        case JXL_DEC_FULL_IMAGE:
            finishBox(job);
            if (placed.pixels) return deliverPlaced(context, placed);
            return deliverInterleaved(context, header, pixels.data(), header.bytesPerPlane);
        case JXL_DEC_NEED_MORE_INPUT:
            if (!begun) return LoadReadError;
            return fail(context, "JPEG XL : File ends early !", true);
        case JXL_DEC_SUCCESS:
            return fail(context, "JPEG XL : No picture in the file !", false);
        default:
            return begun ? fail(context, "JPEG XL : Corrupt picture data !", false)
                         : readerFail(context, LoadBadData, "JPEG XL : Bad header !");
        }
    }
}

}  // namespace fotrix
