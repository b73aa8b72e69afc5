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
#include "imagelib/writers/pushed_writer.h"
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

// The library's steps, each under its own setjmp: an error inside the
// library comes back here as ResultJpegError. No C++ objects live in these
// frames, so the jump skips no destructor.
int startCompress(JpegJob& job, const RowFormat& format)
{
    if (setjmp(job.jump)) return ResultJpegError;
    jpeg_create_compress(&job.cinfo);
    job.destination.init_destination = initDestination;
    job.destination.empty_output_buffer = emptyOutputBuffer;
    job.destination.term_destination = termDestination;
    job.cinfo.dest = &job.destination;
    configure(job, format);
    jpeg_start_compress(&job.cinfo, TRUE);
    writeMarkers(job);
    return ResultOk;
}

int writeScanline(JpegJob& job, JSAMPROW row)
{
    if (setjmp(job.jump)) return ResultJpegError;
    // Only a suspending destination takes no line; ours never suspends.
    return jpeg_write_scanlines(&job.cinfo, &row, 1) == 1 ? ResultOk : ResultWriteError;
}

int finishCompress(JpegJob& job)
{
    if (setjmp(job.jump)) return ResultJpegError;
    jpeg_finish_compress(&job.cinfo);
    return ResultOk;
}

// One JPEG file, handed its rows one at a time (by writeJpeg's own loop, or
// by a conversion as they load).
class JpegRows final : public PushedWriter {
public:
    ~JpegRows() override { release(); }

    int begin(WriterContext& context) override
    {
        if (context.layoutClass != AnyTrueColour && context.layoutClass != Grey && context.layoutClass != Binary)
            return ResultLayoutRefused;
        if (context.width > JPEG_MAX_DIMENSION || context.height > JPEG_MAX_DIMENSION) return ResultBadSize;
        describeRows(context);
        job_ = new (std::nothrow) JpegJob;
        if (!job_) return ResultNoMemory;
        std::memset(job_, 0, sizeof *job_);
        job_->context = &context;
        if (format_.samples == SamplesRgb) job_->directSpace = directColourSpace(context);
        job_->cinfo.err = jpeg_std_error(&job_->errors);
        job_->errors.error_exit = onError;
        job_->errors.emit_message = onMessage;
        job_->cinfo.client_data = job_;

        int result = writerOpen(context);
        if (result == ResultOk) result = beginRows(context, format_);
        rowsBegun_ = result == ResultOk;
        if (result == ResultOk) {
            compressing_ = true;
            result = startCompress(*job_, format_);
        }
        return fail(result);
    }

    int row(const uint8_t* stored) override
    {
        if (!compressing_) return ResultJpegError;
        // A full disk stops the conversion at once, not after the last row.
        if (writerFailed(*job_->context)) return fail(ResultWriteError);
        const uint8_t* row =
            job_->directSpace != JCS_UNKNOWN ? stored : convertRowForWriter(*job_->context, stored);
        return fail(writeScanline(*job_, const_cast<JSAMPROW>(row)));
    }

    int end() override
    {
        if (!compressing_) return ResultJpegError;
        const int result = finishCompress(*job_);
        release();
        return result;
    }

private:
    void describeRows(const WriterContext& context)
    {
        format_.description = "JPEG / JFIF";
        format_.origin = 0;
        if (context.layoutClass == Grey || context.layoutClass == Binary) {
            format_.samples = SamplesGrey;
            format_.bitsPerPixel = 8;
        } else if (context.cmyk) {
            format_.samples = SamplesCmyk;
            format_.bitsPerPixel = 32;
        } else {
            format_.samples = SamplesRgb;
            format_.bitsPerPixel = 24;
        }
    }

    // A failed step ends the compression and the row service (whose row
    // format is ours); the pipeline removes the file.
    int fail(int result)
    {
        if (result != ResultOk) release();
        return result;
    }

    void release()
    {
        if (!job_) return;
        if (rowsBegun_) endRows(*job_->context);
        rowsBegun_ = false;
        if (compressing_) jpeg_destroy_compress(&job_->cinfo);
        compressing_ = false;
        delete job_;
        job_ = nullptr;
    }

    JpegJob* job_ = nullptr;
    RowFormat format_;
    bool rowsBegun_ = false;    // the row service holds format_
    bool compressing_ = false;  // the library's compression object exists
};

}  // namespace

std::unique_ptr<PushedWriter> pushedJpegWriter() { return std::make_unique<JpegRows>(); }

int writeJpeg(WriterContext& context)
{
    JpegRows writer;
    int result = writer.begin(context);
    for (const uint8_t* stored; result == ResultOk && (stored = nextBitmapRow(context));) result = writer.row(stored);
    if (result == ResultOk) result = writer.end();
    return result != ResultOk ? result : writerClose(context);
}

}  // namespace fotrix
