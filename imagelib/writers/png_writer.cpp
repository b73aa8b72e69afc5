// PNG writer over libpng: grey (1 and 8 bits), RGB, RGBA and palettes of 16
// or 256 entries, with deflate level, row filters, Adam7, pHYs, the comment
// as a "Comment" text chunk and tRNS for a transparent index.
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

#include "imagelib/save.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

void pngWriterTypes(AcceptedLayout* slots)
{
    slots[0].typeMask = Any32;
    slots[1].typeMask = Any24;
    slots[2].typeMask = Grey;
    slots[3].typeMask = Indexed;
    slots[4].typeMask = Binary;
}

namespace {

// Plain data shared with the library's callbacks; the non-local exit from
// the error handler must not skip destructors.
struct PngJob {
    png_structp png;
    png_infop info;
    WriterContext* context;
    RowFormat* format;
    png_color palette[256];
    png_byte alpha[256];
    png_bytep* rowPointers;
    int colourType;
    int depth;
    int paletteEntries;
};

void onWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    writeBytes(*job->context, data, length);
}

void onFlush(png_structp) {}

void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void describe(PngJob& job)
{
    WriterContext& context = *job.context;
    RowFormat& format = *job.format;
    format.description = "Portable Network Graphics";
    format.origin = 0;
    switch (context.layoutClass) {
    case Binary:
        format.samples = SamplesIndex;
        format.bitsPerPixel = 1;
        job.colourType = PNG_COLOR_TYPE_GRAY;
        job.depth = 1;
        break;
    case Grey:
        format.samples = SamplesGrey;
        format.bitsPerPixel = 8;
        job.colourType = PNG_COLOR_TYPE_GRAY;
        job.depth = 8;
        break;
    case Indexed:
        format.samples = SamplesIndex;
        job.depth = context.colorCount <= 16 ? 4 : 8;
        format.bitsPerPixel = static_cast<uint16_t>(job.depth);
        job.colourType = PNG_COLOR_TYPE_PALETTE;
        job.paletteEntries = 1 << job.depth;
        break;
    default:
        format.samples = context.bitsPerPixel == 32 ? SamplesRgba : SamplesRgb;
        format.bitsPerPixel = static_cast<uint16_t>(context.bitsPerPixel);
        job.colourType = context.bitsPerPixel == 32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        job.depth = 8;
        break;
    }
    format.rowsPerCall = context.params.interlace ? context.height : 1;
}

void setHeader(PngJob& job)
{
    WriterContext& context = *job.context;
    const SaveParams& params = context.params;
    png_set_write_fn(job.png, &job, onWrite, onFlush);
    png_set_compression_level(job.png, params.compression > 9 ? 9 : params.compression);
    static constexpr int filters[6] = {0, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                                       PNG_ALL_FILTERS};
    if (params.pngFilter >= 1 && params.pngFilter <= 5)
        png_set_filter(job.png, PNG_FILTER_TYPE_BASE, filters[params.pngFilter]);
    png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(context.width), static_cast<png_uint_32>(context.height),
                 job.depth, job.colourType, params.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (context.dpiX && context.dpiY)
        png_set_pHYs(job.png, job.info, dpiToPixelsPerMetre(context.dpiX), dpiToPixelsPerMetre(context.dpiY),
                     PNG_RESOLUTION_METER);
    if (context.comment) {
        png_text text {};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<char*>("Comment");
        text.text = const_cast<char*>(context.comment);
        text.text_length = std::strlen(context.comment);
        png_set_text(job.png, job.info, &text, 1);
    }
    const int t = context.transparentIndex;
    if (t >= 0 && job.colourType == PNG_COLOR_TYPE_PALETTE && t < job.paletteEntries) {
        for (int i = 0; i < t; ++i) job.alpha[i] = 255;
        job.alpha[t] = 0;
        png_set_tRNS(job.png, job.info, job.alpha, t + 1, nullptr);
    } else if (t >= 0 && job.colourType == PNG_COLOR_TYPE_GRAY) {
        // The transparent level, as the grey value the rows carry.
        png_color_16 grey {};
        if (job.depth == 1) {
            grey.gray = static_cast<png_uint_16>(t ? 1 : 0);
        } else {
            const int levels = context.colorCount >= 2 && context.colorCount <= 256 ? context.colorCount : 256;
            grey.gray = static_cast<png_uint_16>((t < levels ? t : levels - 1) * 255 / (levels - 1));
        }
        png_set_tRNS(job.png, job.info, nullptr, 0, &grey);
    }
}

void setPalette(PngJob& job)
{
    if (job.colourType != PNG_COLOR_TYPE_PALETTE) return;
    const int used = job.context->colorCount < job.paletteEntries ? job.context->colorCount : job.paletteEntries;
    for (int i = 0; i < job.paletteEntries; ++i) {
        const bool kept = i < used;
        job.palette[i].red = kept ? job.format->palette[3 * i] : 0;
        job.palette[i].green = kept ? job.format->palette[3 * i + 1] : 0;
        job.palette[i].blue = kept ? job.format->palette[3 * i + 2] : 0;
    }
    png_set_PLTE(job.png, job.info, job.palette, job.paletteEntries);
}

// Runs libpng; returns 0, 1 or 6. No C++ objects live in this frame.
int compress(PngJob& job)
{
    if (setjmp(png_jmpbuf(job.png))) return ResultWriteError;
    setHeader(job);
    if (beginRows(*job.context, *job.format) != ResultOk) return ResultNoMemory;
    setPalette(job);
    png_write_info(job.png, job.info);
    WriterContext& context = *job.context;
    RowFormat& format = *job.format;
    if (context.params.interlace) {
        getRows(context, 0, context.height);
        job.rowPointers = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * context.height));
        if (!job.rowPointers) return ResultNoMemory;
        for (int r = 0; r < context.height; ++r) job.rowPointers[r] = format.rows + static_cast<size_t>(r) * format.bytesPerRow;
        png_write_image(job.png, job.rowPointers);
    } else {
        for (int r = 0; r < context.height && !writerFailed(context); ++r) {
            getRows(context, r, 1);
            png_write_row(job.png, format.rows);
        }
        // A failed write leaves the image unfinished; the result is 6 either way.
        if (writerFailed(context)) return ResultWriteError;
    }
    png_write_end(job.png, job.info);
    return ResultOk;
}

}  // namespace

int writePng(WriterContext& context)
{
    RowFormat format;
    auto* job = new (std::nothrow) PngJob;
    if (!job) return ResultNoMemory;
    std::memset(job, 0, sizeof *job);
    job->context = &context;
    job->format = &format;
    describe(*job);

    int result = writerOpen(context);
    if (result == ResultOk) {
        job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
        job->info = job->png ? png_create_info_struct(job->png) : nullptr;
        result = job->info ? compress(*job) : ResultNoMemory;
        endRows(context);
        std::free(job->rowPointers);
        png_destroy_write_struct(job->png ? &job->png : nullptr, job->info ? &job->info : nullptr);
    }
    delete job;
    if (result != ResultOk) return result;
    return writerClose(context);
}

}  // namespace fotrix
