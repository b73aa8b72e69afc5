// JPEG reader over libjpeg (the release 6b interface of libjpeg-turbo).
//
// One decode path serves the file itself, the EXIF thumbnail decoded from
// memory and JPEG streams inside other files: a JpegJob holds everything a
// decode needs, and runJob() walks it through header, metadata, the
// pipeline's header and the rows. Fatal library errors longjmp back into
// runJob(); the job's `stage` says what has to be undone. The job is a plain
// record and the functions between setjmp and libjpeg keep no C++ objects
// with destructors, because a longjmp would skip them.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "imagelib/embedded_jpeg.h"
#include "imagelib/readers/jpeg_glue.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int MarkerCom = JPEG_COM;
constexpr int MarkerApp0 = JPEG_APP0;
constexpr int MarkerApp1 = JPEG_APP0 + 1;
constexpr int MarkerApp2 = JPEG_APP0 + 2;
constexpr int MarkerApp13 = JPEG_APP0 + 13;
constexpr unsigned MaxMarkerBytes = 65535;
constexpr int IccHeaderBytes = 14;  // "ICC_PROFILE\0", sequence number, count
constexpr int MaxRowsPerCall = 4;

// Not result codes: the thumbnail could not be used; go on with the picture.
constexpr int ThumbnailUnusable = -2;
constexpr int DecodePicture = -3;

enum class JpegPurpose { File, Thumbnail, Embedded };

enum JpegStage {
    StageHeader,    // nothing handed to the pipeline yet
    StageRows,      // beginImage accepted the header: endImage is owed
    StageFinishing, // endImage done, finishing the decompressor
};

struct JpegJob {
    jpeg_decompress_struct info;
    JpegErrors errors;
    bool created;
    int stage;
    JpegPurpose purpose;
    ReaderContext* context;
    Stream* stream;        // the stream source, or
    uint64_t limit;        // (bytes it may read, 0: all)
    const uint8_t* memory; // the memory source
    size_t memorySize;
    uint32_t fullWidth;    // size to report as the whole picture's (0: the stream's own)
    uint32_t fullHeight;
    ImageHeader header;
    JSAMPROW rows[MaxRowsPerCall];
};

void jobInit(JpegJob& job, JpegPurpose purpose, ReaderContext& context)
{
    std::memset(static_cast<void*>(&job), 0, sizeof job);
    job.purpose = purpose;
    job.context = &context;
    job.stage = StageHeader;
    imageHeaderDefaults(job.header);
}

void jobDestroy(JpegJob* job)
{
    if (job->created) jpeg_destroy_decompress(&job->info);
    job->created = false;
}

bool startsWith(const jpeg_saved_marker_ptr marker, const char* text, size_t length)
{
    return marker->data_length >= length && std::memcmp(marker->data, text, length) == 0;
}

void saveMarkers(JpegJob* job)
{
    const ReaderContext& context = *job->context;
    if (job->purpose == JpegPurpose::Thumbnail) return;
    if (context.option(ReadComment) || job->purpose == JpegPurpose::Embedded)
        jpeg_save_markers(&job->info, MarkerCom, MaxMarkerBytes);
    if (job->purpose != JpegPurpose::File) return;
    if (context.option(ReadMetadata)) {
        for (int marker = MarkerApp0; marker <= MarkerApp0 + 15; ++marker)
            jpeg_save_markers(&job->info, marker, MaxMarkerBytes);
    } else if (context.option(Preview) && context.params.rawPreview) {
        jpeg_save_markers(&job->info, MarkerApp1, MaxMarkerBytes);
    }
}

void keepComments(JpegJob* job)
{
    for (jpeg_saved_marker_ptr m = job->info.marker_list; m; m = m->next)
        if (m->marker == MarkerCom && m->data_length > 0)
            setComment(*job->context, reinterpret_cast<const char*>(m->data), static_cast<int>(m->data_length));
}

void keepMetadata(JpegJob* job)
{
    ReaderContext& context = *job->context;
    for (jpeg_saved_marker_ptr m = job->info.marker_list; m; m = m->next) {
        if (m->marker == MarkerApp1 && m->data_length > 5 && startsWith(m, "Exif", 4))
            addMetadata(context, MetaExif, m->data, m->data_length);
        else if (m->marker == MarkerApp1 && startsWith(m, "http:", 5) && m->data_length >= 7)
            addMetadata(context, MetaXmp, m->data, m->data_length);
        else if (m->marker == MarkerApp13 && m->data_length > 0)
            addMetadata(context, MetaIptc, m->data, m->data_length);
        else if (m->marker == MarkerApp2 && m->data_length > IccHeaderBytes && startsWith(m, "ICC_PROFILE", 11))
            addMetadata(context, MetaIcc, m->data + IccHeaderBytes, m->data_length - IccHeaderBytes);
    }
}

int runJob(JpegJob* job);

// Decodes the first usable EXIF thumbnail in place of the picture.
int tryExifThumbnail(JpegJob* main)
{
    for (jpeg_saved_marker_ptr m = main->info.marker_list; m; m = m->next) {
        if (m->marker != MarkerApp1 || m->data_length <= 6) continue;
        size_t offset = 0, length = 0;
        if (!exifFindThumbnail({m->data, m->data_length}, offset, length)) continue;
        JpegJob thumbnail;
        jobInit(thumbnail, JpegPurpose::Thumbnail, *main->context);
        thumbnail.memory = m->data + offset;
        thumbnail.memorySize = length;
        thumbnail.fullWidth = main->info.image_width;
        thumbnail.fullHeight = main->info.image_height;
        const int code = runJob(&thumbnail);
        if (code != ThumbnailUnusable) return code;
    }
    return ThumbnailUnusable;
}

// Reduced decoding for thumbnails: the library scales by 1/2, 1/4 or 1/8
// and the pipeline reduces the rest, so a thumbnail never needs the full picture.
void chooseScale(JpegJob* job)
{
    const LoadParams& params = job->context->params;
    jpeg_decompress_struct& info = job->info;
    if (job->context->option(Preview) || job->context->option(FullPicture)) {
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
    }
    if (!job->context->option(Preview) || params.maxWidth < 1 || params.maxHeight < 1) return;
    const double ratio = std::min(static_cast<double>(info.image_width) / params.maxWidth,
                                  static_cast<double>(info.image_height) / params.maxHeight);
    const int wanted = static_cast<int>(ratio);
    info.scale_num = 1;
    info.scale_denom = wanted >= 8 ? 8 : wanted >= 4 ? 4 : wanted >= 2 ? 2 : 1;
}

void setResolution(JpegJob* job)
{
    const jpeg_decompress_struct& info = job->info;
    if (!info.saw_JFIF_marker || info.X_density <= 1) return;
    uint32_t x = info.X_density;
    uint32_t y = info.Y_density < 2 ? info.X_density : info.Y_density;
    if (info.density_unit == 2) {  // dots per centimetre
        x = static_cast<uint32_t>(x * 2.54 + 0.5);
        y = static_cast<uint32_t>(y * 2.54 + 0.5);
    }
    job->header.dpiX = x;
    job->header.dpiY = y;
}

// Fills the pipeline's header from the output size and colour space; 0 or 9.
int describeImage(JpegJob* job)
{
    jpeg_decompress_struct& info = job->info;
    ImageHeader& h = job->header;
    const char* kind = nullptr;
    switch (info.out_color_components) {
    case 1:
        h.bitsPerPlane = 8;
        kind = "JPEG Grayscale";
        break;
    case 3:
        h.bitsPerPlane = 24;
        kind = "JPEG TrueColor";
        break;
    case 4:
        h.bitsPerPlane = 32;
        h.sampleFlags = SampleCmykInverted;
        h.colourModel = 3;
        kind = "JPEG CMYK";
        break;
    default:
        return readerFail(*job->context, LoadBadData, "JPEG : Unsupported colour space");
    }
    const uint32_t components = static_cast<uint32_t>(info.out_color_components);
    h.planes = 1;
    h.width = static_cast<int32_t>(info.output_width);
    h.height = static_cast<int32_t>(info.output_height);
    h.bytesPerPlane = info.output_width * components;
    h.compression = 3;
    h.fullWidth = job->fullWidth ? job->fullWidth : info.image_width;
    h.fullHeight = job->fullHeight ? job->fullHeight : info.image_height;
    h.fullBits = 8;
    h.fullComponents = static_cast<uint16_t>(components);
    h.fullBytes = h.fullWidth * components;
    h.rowsPerCall = static_cast<int16_t>(std::clamp(info.rec_outbuf_height, 1, MaxRowsPerCall));
    h.rowsInOrder = true;  // libjpeg gives rows top to bottom; every marker kept was read before them
    std::snprintf(h.description, sizeof h.description, "%s (v%d.%d)", kind, info.JFIF_major_version,
                  info.JFIF_minor_version);
    if (job->purpose == JpegPurpose::File) setResolution(job);
    return 0;
}

// Hands the rows to the pipeline; 0, or the pipeline's stop code.
int readRows(JpegJob* job)
{
    jpeg_decompress_struct* info = &job->info;
    const ImageHeader& h = job->header;
    while (info->output_scanline < info->output_height) {
        // Straight into the bitmap (or a conversion's band) where the rows
        // are kept as libjpeg gives them, else into the row buffer.
        const int row = static_cast<int>(info->output_scanline);
        const int count = std::min<int>(h.rowsPerCall, h.height - row);
        uint8_t* place = rowDestination(*job->context, row, count);
        if (!place) place = h.rowBuffer;
        for (int i = 0; i < count; ++i) job->rows[i] = place + static_cast<size_t>(i) * h.rowStride;
        const JDIMENSION got = jpeg_read_scanlines(info, job->rows, static_cast<JDIMENSION>(count));
        if (got == 0) return 0;  // the sources never suspend; guard against a stall all the same
        const int code = putRows(*job->context, 0, row, static_cast<int>(got));
        if (code != 0) return code;
    }
    return 0;
}

// Where a fatal library error lands, by the stage the job had reached.
int afterFatalError(JpegJob* job)
{
    int code = job->errors.code;
    if (job->stage == StageHeader && job->purpose == JpegPurpose::Thumbnail) {
        jobDestroy(job);
        return ThumbnailUnusable;
    }
    if (job->stage != StageHeader) code = LoadCorrupt;
    if (code != LoadUnknownFormat) {
        char message[64];
        jpegMessage(job->info, message, sizeof message);
        readerFail(*job->context, code, message);
    }
    if (job->stage == StageRows) {
        job->stage = StageFinishing;
        endImage(*job->context, 0, 0, nullptr);
    }
    jobDestroy(job);
    return code;
}

// Everything between reading the header and announcing the picture that
// depends on the purpose. DecodePicture to go on; anything else is the
// result of the job (the EXIF thumbnail stood in for the picture).
int afterHeader(JpegJob* job)
{
    ReaderContext& context = *job->context;
    if (job->purpose == JpegPurpose::Thumbnail) return DecodePicture;
    if (context.option(ReadComment)) keepComments(job);
    if (job->purpose != JpegPurpose::File) return DecodePicture;
    if (context.option(ReadMetadata)) keepMetadata(job);
    if (context.option(EstimateQuality))
        context.readerValues[2] = static_cast<uint32_t>(jpegEstimateQuality(job->info));
    if (context.option(Preview) && context.params.rawPreview) {
        const int code = tryExifThumbnail(job);
        if (code != ThumbnailUnusable) return code;
    }
    return DecodePicture;
}

int runJob(JpegJob* job)
{
    jpeg_decompress_struct* info = &job->info;
    jpegInstallErrors(*info, job->errors);
    if (setjmp(job->errors.jump)) return afterFatalError(job);
    jpeg_create_decompress(info);
    job->created = true;
    jpegLimitResources(*info);
    if (job->stream)
        jpegStreamSource(*info, *job->stream, job->limit);
    else
        jpegMemorySource(*info, job->memory, job->memorySize);
    saveMarkers(job);
    jpeg_read_header(info, TRUE);

    int code = afterHeader(job);
    if (code != DecodePicture) {
        jobDestroy(job);
        return code;
    }
    if (job->purpose != JpegPurpose::Thumbnail) chooseScale(job);
    // The output size without starting the decompressor: a progressive file
    // would be read whole by jpeg_start_decompress, and the information-only
    // mode must not touch the picture data.
    jpeg_calc_output_dimensions(info);
    code = describeImage(job);
    if (code != 0 && job->purpose == JpegPurpose::Thumbnail) code = ThumbnailUnusable;
    if (code == 0) code = beginImage(*job->context, job->header);
    if (code != 0) {
        jobDestroy(job);
        return code;
    }

    job->stage = StageRows;
    jpeg_start_decompress(info);
    code = readRows(job);
    job->stage = StageFinishing;
    endImage(*job->context, 0, 0, nullptr);
    if (code == 0) jpeg_finish_decompress(info);
    jobDestroy(job);
    return code;
}

}  // namespace

int readJpeg(Stream& stream, ReaderContext& context)
{
    JpegJob job;
    jobInit(job, JpegPurpose::File, context);
    job.stream = &stream;
    return runJob(&job);
}

int jpegReadEmbedded(Stream& stream, ReaderContext& context, uint64_t length, uint32_t fullWidth,
                     uint32_t fullHeight)
{
    JpegJob job;
    jobInit(job, JpegPurpose::Embedded, context);
    job.stream = &stream;
    job.limit = length;
    if (fullWidth > 0 && fullHeight > 0) {
        job.fullWidth = fullWidth;
        job.fullHeight = fullHeight;
    }
    return runJob(&job);
}

namespace {

int readSizeOnly(JpegJob* job, int* width, int* height)
{
    jpeg_decompress_struct* info = &job->info;
    jpegInstallErrors(*info, job->errors);
    if (setjmp(job->errors.jump)) {
        jobDestroy(job);
        return job->errors.code;
    }
    jpeg_create_decompress(info);
    job->created = true;
    jpegStreamSource(*info, *job->stream, job->limit);
    jpeg_read_header(info, TRUE);
    *width = static_cast<int>(info->image_width);
    *height = static_cast<int>(info->image_height);
    jobDestroy(job);
    return 0;
}

}  // namespace

int jpegEmbeddedSize(Stream& stream, uint64_t length, int& width, int& height)
{
    JpegJob job;
    std::memset(static_cast<void*>(&job), 0, sizeof job);
    job.stream = &stream;
    job.limit = length;
    const uint64_t start = streamTell(stream);
    int w = 0, h = 0;
    const int code = readSizeOnly(&job, &w, &h);
    streamSeek(stream, start);
    stream.failed = false;
    if (code == 0) {
        width = w;
        height = h;
    }
    return code;
}

}  // namespace fotrix
