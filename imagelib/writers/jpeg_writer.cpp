// JPEG writer over libjpeg: quality with baseline tables, progressive scans,
// sampling, DCT method, smoothing, optimised coding, density, and the
// comment and metadata markers in the order of the bitmap's list.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include <jpeglib.h>

#include "imagelib/save.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

void jpegWriterTypes(AcceptedLayout* slots)
{
    slots[0].typeMask = Any24;
    slots[1].typeMask = Grey;
    slots[2].typeMask = Binary;
    slots[3].typeMask = Cmyk;
}

namespace {

constexpr size_t OutputBufferSize = 4096;
constexpr int MarkerCom = JPEG_COM;
constexpr int MarkerApp1 = JPEG_APP0 + 1;
constexpr int MarkerApp2 = JPEG_APP0 + 2;
constexpr int MarkerApp13 = JPEG_APP0 + 13;
// Bytes of an ICC marker before the profile data: "ICC_PROFILE\0", sequence, count.
constexpr size_t IccHeaderSize = 14;
constexpr size_t MaxMarkerData = 65533;

// Everything the library's callbacks reach; plain data, so that the
// non-local exit from the error handler skips no destructor.
struct JpegJob {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    jmp_buf jump;
    jpeg_destination_mgr destination;
    WriterContext* context;
    JOCTET buffer[OutputBufferSize];
    J_COLOR_SPACE directSpace;  // JCS_UNKNOWN: rows come converted by the row service
    bool scanlineRefused;
};

void onError(j_common_ptr cinfo)
{
    auto* job = reinterpret_cast<JpegJob*>(cinfo->client_data);
    std::longjmp(job->jump, 1);
}

void onMessage(j_common_ptr, int) {}

void initDestination(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<JpegJob*>(cinfo->client_data);
    job->destination.next_output_byte = job->buffer;
    job->destination.free_in_buffer = OutputBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<JpegJob*>(cinfo->client_data);
    writeBytes(*job->context, job->buffer, OutputBufferSize);
    job->destination.next_output_byte = job->buffer;
    job->destination.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* job = reinterpret_cast<JpegJob*>(cinfo->client_data);
    writeBytes(*job->context, job->buffer, OutputBufferSize - job->destination.free_in_buffer);
}

// libjpeg-turbo reads these pixel orders itself, so rows of such bitmaps go
// to it straight from the bitmap instead of through a converted copy.
J_COLOR_SPACE directColourSpace(const WriterContext& context)
{
#ifdef JCS_EXTENSIONS
    struct Direct {
        unsigned type;
        J_COLOR_SPACE space;
        int bytes;
    };
    static constexpr Direct table[] = {
        {Rgb, JCS_EXT_RGB, 3},   {Bgr, JCS_EXT_BGR, 3},   {Rgba, JCS_EXT_RGBX, 4},
        {Bgra, JCS_EXT_BGRX, 4}, {Argb, JCS_EXT_XRGB, 4}, {Abgr, JCS_EXT_XBGR, 4},
    };
    const Bitmap& bitmap = *context.bitmap;
    if (context.cmyk || (bitmap.origin & OriginRight) || bitmap.bitsPerComponent != 8) return JCS_UNKNOWN;
    for (const Direct& d : table)
        if (bitmap.type == d.type && bitmap.bytesPerPixel == d.bytes) return d.space;
#endif
    return JCS_UNKNOWN;
}

void configure(JpegJob& job, const RowFormat& format)
{
    WriterContext& context = *job.context;
    const SaveParams& params = context.params;
    jpeg_compress_struct& cinfo = job.cinfo;
    cinfo.image_width = static_cast<JDIMENSION>(context.width);
    cinfo.image_height = static_cast<JDIMENSION>(context.height);
    if (format.samples == SamplesGrey) {
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
    } else if (format.samples == SamplesCmyk) {
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
    } else if (job.directSpace != JCS_UNKNOWN) {
        cinfo.input_components = job.context->bitmap->bytesPerPixel;
        cinfo.in_color_space = job.directSpace;
    } else {
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
    }
    cinfo.data_precision = 8;
    jpeg_set_defaults(&cinfo);
    if (context.dpiX && context.dpiY) {
        cinfo.density_unit = 1;
        cinfo.X_density = static_cast<UINT16>(context.dpiX > 65535 ? 65535 : context.dpiX);
        cinfo.Y_density = static_cast<UINT16>(context.dpiY > 65535 ? 65535 : context.dpiY);
    }
    cinfo.optimize_coding = params.optimize ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, params.quality > 100 ? 100 : params.quality, TRUE);
    if (params.interlace) jpeg_simple_progression(&cinfo);
    if (params.sampling <= 2 && cinfo.num_components >= 3) {
        static constexpr int horizontal[3] = {2, 2, 1};
        static constexpr int vertical[3] = {2, 1, 1};
        cinfo.comp_info[0].h_samp_factor = horizontal[params.sampling];
        cinfo.comp_info[0].v_samp_factor = vertical[params.sampling];
        for (int c = 1; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (params.dctMethod == 1) cinfo.dct_method = JDCT_IFAST;
    if (params.dctMethod == 2) cinfo.dct_method = JDCT_FLOAT;
    cinfo.smoothing_factor = params.smoothing > 100 ? 100 : params.smoothing;
}

// An ICC profile as APP2 markers: one marker when it fits, else numbered pieces.
void writeIccMarkers(j_compress_ptr cinfo, const MetadataBlock& block)
{
    const size_t pieceSize = MaxMarkerData - IccHeaderSize;
    const size_t pieces = block.size == 0 ? 1 : (block.size + pieceSize - 1) / pieceSize;
    if (pieces > 255) return;  // not representable in a JPEG file
    for (size_t i = 0; i < pieces; ++i) {
        const size_t offset = i * pieceSize;
        const size_t length = block.size - offset < pieceSize ? block.size - offset : pieceSize;
        jpeg_write_m_header(cinfo, MarkerApp2, static_cast<unsigned>(IccHeaderSize + length));
        for (const char c : std::string_view("ICC_PROFILE\0", 12)) jpeg_write_m_byte(cinfo, c);
        jpeg_write_m_byte(cinfo, static_cast<int>(i + 1));
        jpeg_write_m_byte(cinfo, static_cast<int>(pieces));
        for (size_t k = 0; k < length; ++k) jpeg_write_m_byte(cinfo, block.data[offset + k]);
    }
}

void writeMarkers(JpegJob& job)
{
    WriterContext& context = *job.context;
    j_compress_ptr cinfo = &job.cinfo;
    if (context.comment) {
        const size_t length = std::strlen(context.comment) + 1;
        jpeg_write_marker(cinfo, MarkerCom, reinterpret_cast<const JOCTET*>(context.comment),
                          static_cast<unsigned>(length > MaxMarkerData ? MaxMarkerData : length));
    }
    for (const MetadataBlock* block = context.metadata; block; block = block->next) {
        if (!block->data || block->size > MaxMarkerData) {
            if (block->data && block->kind == MetaIcc && (context.params.flags & SaveJpegIcc))
                writeIccMarkers(cinfo, *block);
            continue;
        }
        if (block->kind == MetaIptc && context.params.keepIptc)
            jpeg_write_marker(cinfo, MarkerApp13, block->data, block->size);
        else if (block->kind == MetaExif && context.params.keepExif)
            jpeg_write_marker(cinfo, MarkerApp1, block->data, block->size);
        else if (block->kind == MetaIcc && (context.params.flags & SaveJpegIcc))
            writeIccMarkers(cinfo, *block);
    }
}

// Runs the compression; returns 0, 6 or 11. No C++ objects live in this frame.
int compress(JpegJob& job, RowFormat& format)
{
    if (setjmp(job.jump)) {
        jpeg_destroy_compress(&job.cinfo);
        return ResultJpegError;
    }
    configure(job, format);
    jpeg_start_compress(&job.cinfo, TRUE);
    writeMarkers(job);
    while (job.cinfo.next_scanline < job.cinfo.image_height) {
        JSAMPROW row = format.rows;
        if (job.directSpace != JCS_UNKNOWN)
            row = const_cast<JSAMPROW>(nextBitmapRow(*job.context));
        else
            getRows(*job.context, -1, 1);
        if (jpeg_write_scanlines(&job.cinfo, &row, 1) != 1) {
            job.scanlineRefused = true;
            break;
        }
    }
    if (job.scanlineRefused) {
        jpeg_destroy_compress(&job.cinfo);
        return ResultWriteError;
    }
    jpeg_finish_compress(&job.cinfo);
    jpeg_destroy_compress(&job.cinfo);
    return ResultOk;
}

}  // namespace

int writeJpeg(WriterContext& context)
{
    if (context.layoutClass != AnyTrueColour && context.layoutClass != Grey && context.layoutClass != Binary)
        return ResultLayoutRefused;
    if (context.width > JPEG_MAX_DIMENSION || context.height > JPEG_MAX_DIMENSION) return ResultBadSize;

    RowFormat format;
    format.description = "JPEG / JFIF";
    format.origin = 0;
    if (context.layoutClass == Grey || context.layoutClass == Binary) {
        format.samples = SamplesGrey;
        format.bitsPerPixel = 8;
    } else if (context.cmyk) {
        format.samples = SamplesCmyk;
        format.bitsPerPixel = 32;
    } else {
        format.samples = SamplesRgb;
        format.bitsPerPixel = 24;
    }

    auto* job = new (std::nothrow) JpegJob;
    if (!job) return ResultNoMemory;
    std::memset(job, 0, sizeof *job);
    job->context = &context;
    if (format.samples == SamplesRgb) job->directSpace = directColourSpace(context);
    job->cinfo.err = jpeg_std_error(&job->errors);
    job->errors.error_exit = onError;
    job->errors.emit_message = onMessage;
    job->cinfo.client_data = job;

    int result = writerOpen(context);
    if (result == ResultOk) result = beginRows(context, format);
    if (result == ResultOk) {
        if (setjmp(job->jump)) {
            result = ResultJpegError;
        } else {
            jpeg_create_compress(&job->cinfo);
            job->destination.init_destination = initDestination;
            job->destination.empty_output_buffer = emptyOutputBuffer;
            job->destination.term_destination = termDestination;
            job->cinfo.dest = &job->destination;
            result = compress(*job, format);
        }
        endRows(context);
    }
    delete job;
    if (result != ResultOk) return result;
    return writerClose(context);
}

}  // namespace fotrix
