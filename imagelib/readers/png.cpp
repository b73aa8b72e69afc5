// PNG reader over libpng. libpng does only what the pipeline cannot: it
// inflates and unfilters, strips 16-bit samples to 8, drops grey alpha and
// composes onto white when asked; 1-, 2- and 4-bit rows and palettes go to
// the pipeline as they are.
//
// libpng reports fatal errors by longjmp. Everything a decode needs lives in
// a plain PngJob record; the functions between setjmp and libpng hold no C++
// objects with destructors, and `stage` says what a jump has to undo.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <png.h>

#include "imagelib/bytes.h"
#include "imagelib/formats.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int SignatureBytes = 5;
constexpr double InchesPerMetre = 0.025399166666666667;
// Interlaced pictures are read whole before their rows go out; a header
// must not make the reader ask for more than this.
constexpr size_t InterlacedBufferLimit = size_t{1} << 30;
// Largest ancillary chunk (text, profile) libpng may inflate.
constexpr png_alloc_size_t ChunkLimit = 16u << 20;
constexpr int MaxChunksBeforeData = 100000;

enum PngStage {
    StageHeader,  // an error means "not a PNG after all"
    StageSetup,   // header read, nothing handed to the pipeline
    StageRows,    // beginImage accepted the header
    StageEnd,     // endImage done
};

struct PngJob {
    png_structp png;
    png_infop info;
    ReaderContext* context;
    Stream* stream;
    int stage;
    int lastCode;
    bool imageEnded;
    bool interlaced;
    bool flattened;
    int passes;
    png_uint_32 width, height;
    size_t rowBytes;
    uint8_t* picture;  // the whole picture, for interlaced files only
    ImageHeader header;
    uint8_t palette[256 * 3];
    int paletteCount;
    char message[64];
};

void readFromStream(png_structp png, png_bytep data, size_t length)
{
    PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (streamRead(*job->stream, data, length) != length) png_error(png, "Read error");
}

void onError(png_structp png, png_const_charp text)
{
    PngJob* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "PNG : %s", text ? text : "error");
    png_longjmp(png, 1);
}

// Warnings (damaged ancillary chunks and the like) are not the caller's concern.
void onWarning(png_structp, png_const_charp) {}

void jobRelease(PngJob* job)
{
    if (job->png) png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
    job->png = nullptr;
    job->info = nullptr;
    std::free(job->picture);
    job->picture = nullptr;
}

bool hasPartialTransparency(PngJob* job)
{
    png_bytep alpha = nullptr;
    int count = 0;
    if (!png_get_tRNS(job->png, job->info, &alpha, &count, nullptr) || !alpha) return false;
    for (int i = 0; i < count; ++i)
        if (alpha[i] != 0 && alpha[i] != 255) return true;
    return false;
}

// The background is given in the file's sample depth; palette entries are
// always 8-bit colours.
void composeOntoWhite(PngJob* job, int fileDepth)
{
    png_color_16 white = {};
    const bool palette = png_get_color_type(job->png, job->info) == PNG_COLOR_TYPE_PALETTE;
    const png_uint_16 level = static_cast<png_uint_16>(palette ? 255 : (1u << fileDepth) - 1);
    white.red = white.green = white.blue = white.gray = level;
    white.index = 0;
    png_set_background(job->png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    job->flattened = true;
}

// A caller asking for colour with alpha gets a grey picture's alpha (its
// alpha channel, or the transparent grey level) as grey+alpha samples.
bool greyKeepsAlpha(const PngJob* job)
{
    const LoadParams& params = job->context->params;
    return (params.options & ForceTrueColour) && (params.options & ForceAlpha) && !params.pngFlattenIndexed;
}

// Transformations by colour type; returns the components a pixel keeps.
int chooseTransformations(PngJob* job)
{
    const LoadParams& params = job->context->params;
    const int colourType = png_get_color_type(job->png, job->info);
    const int depth = png_get_bit_depth(job->png, job->info);
    if (depth == 16) png_set_strip_16(job->png);
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        if (greyKeepsAlpha(job) && png_get_valid(job->png, job->info, PNG_INFO_tRNS)) {
            png_set_expand_gray_1_2_4_to_8(job->png);
            png_set_tRNS_to_alpha(job->png);
            return 2;
        }
        [[fallthrough]];
    case PNG_COLOR_TYPE_PALETTE:
        if (params.pngFlattenIndexed && hasPartialTransparency(job)) composeOntoWhite(job, depth);
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        if (greyKeepsAlpha(job) && !params.pngFlattenAlpha) return 2;
        png_set_strip_alpha(job->png);
        return 1;
    case PNG_COLOR_TYPE_RGB:
        if (params.pngFlattenAlpha && png_get_valid(job->png, job->info, PNG_INFO_tRNS))
            composeOntoWhite(job, depth);
        return 3;
    default:  // RGB with alpha
        if (params.pngFlattenAlpha) {
            composeOntoWhite(job, depth);
            return 3;
        }
        return 4;
    }
}

void keepTexts(PngJob* job)
{
    ReaderContext& context = *job->context;
    png_textp texts = nullptr;
    const int count = png_get_text(job->png, job->info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        const char* key = texts[i].key;
        const char* value = texts[i].text;
        if (!key || !value || std::strncmp(value, "nCC", 3) == 0) continue;
        const int length = static_cast<int>(std::strlen(value));
        if (length == 0) continue;
        if (strcasecmp(key, "comment") == 0)
            setComment(context, value, length);
        else
            addTextEntry(context, key, value, length);
    }
}

void keepProfile(PngJob* job)
{
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(job->png, job->info, &name, &compression, &profile, &length) && profile && length > 0)
        addMetadata(*job->context, MetaIcc, profile, length);
}

void describeImage(PngJob* job, int components, int depth)
{
    ImageHeader& h = job->header;
    h.planes = 1;
    h.bitsPerPlane = static_cast<int16_t>(components * depth);
    if (components == 2) {  // grey+alpha kept: two interleaved 8-bit samples
        h.components = 2;
        h.bitsPerPlane = 8;
    }
    h.width = static_cast<int32_t>(job->width);
    h.height = static_cast<int32_t>(job->height);
    h.bytesPerPlane = static_cast<uint32_t>(job->rowBytes);
    h.compression = 4;
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(job->png, job->info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) {
        h.dpiX = static_cast<uint32_t>(x * InchesPerMetre + 0.5);
        h.dpiY = static_cast<uint32_t>(y * InchesPerMetre + 0.5);
    }
    png_bytep alpha = nullptr;
    int count = 0;
    if (!job->flattened && png_get_color_type(job->png, job->info) == PNG_COLOR_TYPE_PALETTE &&
        png_get_tRNS(job->png, job->info, &alpha, &count, nullptr) && alpha) {
        for (int i = 0; i < count; ++i)
            if (alpha[i] == 0) {
                h.transparentIndex = static_cast<int16_t>(i);
                break;
            }
        h.paletteAlphaCount = static_cast<int16_t>(std::min(count, 256));
        std::memcpy(h.paletteAlpha, alpha, static_cast<size_t>(h.paletteAlphaCount));
    }
    const FormatEntry* entry = formatEntry(FormatPng);
    std::snprintf(h.description, sizeof h.description, "%s%s",
                  entry && entry->description ? entry->description : "Portable Network Graphics",
                  job->interlaced ? " (Interlaced)" : "");
}

void takePalette(PngJob* job)
{
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(job->png, job->info, &colours, &count) || !colours) return;
    if (count > 256) count = 256;
    for (int i = 0; i < count; ++i) {
        job->palette[3 * i] = colours[i].red;
        job->palette[3 * i + 1] = colours[i].green;
        job->palette[3 * i + 2] = colours[i].blue;
    }
    job->paletteCount = count;
}

// Everything from the header to beginImage; 0 to go on, else the result.
int setUp(PngJob* job)
{
    ReaderContext& context = *job->context;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(job->png, job->info, &job->width, &job->height, &depth, &colourType, &interlace, nullptr,
                 nullptr);
    const int components = chooseTransformations(job);
    job->interlaced = interlace != PNG_INTERLACE_NONE;
    job->passes = job->interlaced ? png_set_interlace_handling(job->png) : 1;
    png_read_update_info(job->png, job->info);
    job->rowBytes = png_get_rowbytes(job->png, job->info);
    const int outDepth = depth > 8 || components == 2 ? 8 : depth;
    if (context.option(ReadComment)) keepTexts(job);
    if (context.option(ReadMetadata)) keepProfile(job);
    describeImage(job, components, outDepth);
    if (colourType == PNG_COLOR_TYPE_PALETTE) takePalette(job);
    if (job->interlaced && !context.infoOnly()) {
        size_t bytes = 0;
        if (!checkedMultiply(job->rowBytes, job->height, bytes) || bytes > InterlacedBufferLimit ||
            !(job->picture = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1))))
            return readerFail(context, LoadNoMemory, "PNG : Not enough memory for the picture");
    }
    return beginImage(context, job->header);
}

// Reads the rows into the pipeline; 0 or the pipeline's stop code.
int readRows(PngJob* job)
{
    uint8_t* rowBuffer = job->header.rowBuffer;
    if (!job->interlaced) {
        for (png_uint_32 y = 0; y < job->height; ++y) {
            png_read_row(job->png, rowBuffer, nullptr);
            const int code = putRows(*job->context, 0, -1, 1);
            if (code != 0) return code;
        }
        return 0;
    }
    for (int pass = 0; pass + 1 < job->passes; ++pass)
        for (png_uint_32 y = 0; y < job->height; ++y) png_read_row(job->png, job->picture + y * job->rowBytes, nullptr);
    for (png_uint_32 y = 0; y < job->height; ++y) {
        uint8_t* row = job->picture + y * job->rowBytes;
        png_read_row(job->png, row, nullptr);
        std::memcpy(rowBuffer, row, job->rowBytes);
        const int code = putRows(*job->context, 0, -1, 1);
        if (code != 0) return code;
    }
    return 0;
}

void finishImage(PngJob* job)
{
    if (job->imageEnded) return;
    job->imageEnded = true;
    if (job->paletteCount > 0)
        endImage(*job->context, 256, 8, job->palette);
    else
        endImage(*job->context, 0, 0, nullptr);
}

int afterJump(PngJob* job)
{
    int code = LoadReadError;
    switch (job->stage) {
    case StageHeader:
        code = LoadUnknownFormat;
        break;
    case StageSetup:
        break;
    case StageRows:
        finishImage(job);
        if (job->lastCode == LoadCancelled) code = LoadCancelled;
        break;
    default:
        code = job->lastCode;
        break;
    }
    if (code == LoadReadError) readerFail(*job->context, code, job->message);
    jobRelease(job);
    return code;
}

int runJob(PngJob* job)
{
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    if (!job->png) return readerFail(*job->context, LoadNoMemory, "PNG : Not enough memory");
    job->info = png_create_info_struct(job->png);
    if (!job->info) {
        jobRelease(job);
        return readerFail(*job->context, LoadNoMemory, "PNG : Not enough memory");
    }
    if (setjmp(png_jmpbuf(job->png))) return afterJump(job);
    png_set_chunk_malloc_max(job->png, ChunkLimit);
    png_set_read_fn(job->png, job, readFromStream);
    png_read_info(job->png, job->info);

    job->stage = StageSetup;
    int code = setUp(job);
    if (code != 0) {
        jobRelease(job);
        return code;
    }
    job->stage = StageRows;
    job->lastCode = readRows(job);
    finishImage(job);
    job->stage = StageEnd;
    // The chunks after the picture data are not read: nothing in them is
    // used, and libpng would allocate by their stated lengths.
    code = job->lastCode;
    jobRelease(job);
    return code;
}

// libpng allocates a buffer of a chunk's stated length before it reads the
// chunk, so a 500-byte file that claims a gigabyte of text makes it take a
// gigabyte. The chunks before the picture data must therefore fit in the
// file. Leaves the stream at `start`.
bool chunksFitTheFile(Stream& stream, uint64_t start)
{
    bool fits = true;
    uint64_t at = start + 8;
    for (int i = 0; i < MaxChunksBeforeData && streamSeek(stream, at); ++i) {
        uint8_t head[8];
        if (!streamReadExact(stream, head, sizeof head)) break;  // libpng reports the short file
        const uint64_t length = ByteReader(head, true).u32At(0);
        if (std::memcmp(head + 4, "IDAT", 4) == 0) break;
        if (at + 12 + length > stream.size) {
            fits = false;
            break;
        }
        at += 12 + length;
    }
    streamSeek(stream, start);
    stream.failed = false;
    return fits;
}

}  // namespace

int readPng(Stream& stream, ReaderContext& context)
{
    const uint64_t start = streamTell(stream);
    uint8_t signature[SignatureBytes] = {};
    const size_t got = streamRead(stream, signature, sizeof signature);
    if (got < sizeof signature) return LoadReadError;  // the pipeline makes it 2 while probing
    if (png_sig_cmp(signature, 0, sizeof signature) != 0) return LoadUnknownFormat;
    if (!streamSeek(stream, start)) return LoadReadError;
    if (!chunksFitTheFile(stream, start)) return LoadUnknownFormat;  // as libpng would fail it, without the allocation

    PngJob job;
    std::memset(static_cast<void*>(&job), 0, sizeof job);
    job.context = &context;
    job.stream = &stream;
    job.stage = StageHeader;
    imageHeaderDefaults(job.header);
    return runJob(&job);
}

}  // namespace fotrix
