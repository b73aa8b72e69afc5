// Lossless JPEG transforms on libjpeg's coefficient interface: the file's DCT
// blocks are read, moved and sign-adjusted into new arrays, and written out
// with the same quantisation tables and every saved marker.
//
// The glue between setjmp and the library calls uses plain records only: a
// longjmp out of libjpeg skips destructors.
#include "metadata/jpeg_transform.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "fileio/atomic_replace.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void errorExit(j_common_ptr cinfo)
{
    ErrorManager* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

void silentMessage(j_common_ptr) {}

// Where one destination block comes from.
struct BlockSource {
    JDIMENSION x, y;  // source block
    bool transpose;
    bool negateOddU;  // horizontal mirror in the destination
    bool negateOddV;  // vertical mirror in the destination
};

struct Geometry {
    bool transposes;
    bool mirrorX;  // destination columns run backwards through the source
    bool mirrorY;
    int mcuWidth, mcuHeight;  // pixels of one MCU of the source
    JDIMENSION width, height;  // source size after trimming
    JDIMENSION outWidth, outHeight;
};

struct TransformJob {
    jpeg_decompress_struct src;
    jpeg_compress_struct dst;
    ErrorManager error;
    FILE* in;
    FILE* out;
    int code;
    bool trim;
    Geometry geometry;
    jvirt_barray_ptr* srcArrays;
    jvirt_barray_ptr dstArrays[MAX_COMPONENTS];
};

bool transposing(int code) { return code == JpegRotate90 || code == JpegRotate270; }

// Sampling of a component as the block mapping sees it: a single-component
// file has one block per MCU whatever its factors say.
void componentSampling(const jpeg_decompress_struct& src, int c, int& h, int& v, int& maxH, int& maxV)
{
    if (src.num_components == 1) {
        h = v = maxH = maxV = 1;
        return;
    }
    h = src.comp_info[c].h_samp_factor;
    v = src.comp_info[c].v_samp_factor;
    maxH = src.max_h_samp_factor;
    maxV = src.max_v_samp_factor;
}

JDIMENSION trimmed(JDIMENSION size, int mcu, bool trim)
{
    JDIMENSION whole = size / JDIMENSION(mcu) * JDIMENSION(mcu);
    return trim && whole > 0 ? whole : size;
}

void planGeometry(TransformJob* job)
{
    Geometry& g = job->geometry;
    int h, v, maxH, maxV;
    componentSampling(job->src, 0, h, v, maxH, maxV);
    g.mcuWidth = maxH * DCTSIZE;
    g.mcuHeight = maxV * DCTSIZE;
    g.transposes = transposing(job->code);
    // Which source edge ends up at the destination's left or top decides what
    // has to be whole MCUs.
    bool trimX = job->code == JpegFlipHorizontal || job->code == JpegRotate180 || job->code == JpegRotate270;
    bool trimY = job->code == JpegFlipVertical || job->code == JpegRotate180 || job->code == JpegRotate90;
    g.width = trimX ? trimmed(job->src.image_width, g.mcuWidth, job->trim) : job->src.image_width;
    g.height = trimY ? trimmed(job->src.image_height, g.mcuHeight, job->trim) : job->src.image_height;
    g.mirrorX = trimX;
    g.mirrorY = trimY;
    g.outWidth = g.transposes ? g.height : g.width;
    g.outHeight = g.transposes ? g.width : g.height;
}

JDIMENSION roundUp(JDIMENSION value, int multiple)
{
    return (value + JDIMENSION(multiple) - 1) / JDIMENSION(multiple) * JDIMENSION(multiple);
}

JDIMENSION blocksFor(JDIMENSION pixels, int samp, int maxSamp)
{
    return JDIMENSION((long(pixels) * samp + long(maxSamp) * DCTSIZE - 1) / (long(maxSamp) * DCTSIZE));
}

// Destination arrays, in the sampling the output will have.
void requestDestination(TransformJob* job)
{
    const Geometry& g = job->geometry;
    for (int c = 0; c < job->src.num_components; ++c) {
        int h, v, maxH, maxV;
        componentSampling(job->src, c, h, v, maxH, maxV);
        int dh = g.transposes ? v : h, dv = g.transposes ? h : v;
        int dmaxH = g.transposes ? maxV : maxH, dmaxV = g.transposes ? maxH : maxV;
        JDIMENSION w = roundUp(blocksFor(g.outWidth, dh, dmaxH), dh);
        JDIMENSION rows = roundUp(blocksFor(g.outHeight, dv, dmaxV), dv);
        job->dstArrays[c] = (*job->src.mem->request_virt_barray)(reinterpret_cast<j_common_ptr>(&job->src),
                                                                 JPOOL_IMAGE, FALSE, w, rows, JDIMENSION(dv));
    }
}

// The source block of destination block (x, y) of a component whose whole
// MCUs hold `fullX` x `fullY` blocks (in source orientation).
BlockSource sourceOf(const Geometry& g, JDIMENSION x, JDIMENSION y, JDIMENSION fullX, JDIMENSION fullY)
{
    BlockSource s{};
    s.transpose = g.transposes;
    // Coordinates in source orientation along the destination's axes.
    JDIMENSION along = g.transposes ? y : x;   // source column
    JDIMENSION across = g.transposes ? x : y;  // source row
    bool flipColumn = g.mirrorX && along < fullX;
    bool flipRow = g.mirrorY && across < fullY;
    s.x = flipColumn ? fullX - 1 - along : along;
    s.y = flipRow ? fullY - 1 - across : across;
    // A mirrored source axis becomes a mirrored destination axis.
    s.negateOddU = g.transposes ? flipRow : flipColumn;
    s.negateOddV = g.transposes ? flipColumn : flipRow;
    return s;
}

void moveBlock(const JCOEF* in, JCOEF* out, const BlockSource& s)
{
    for (int v = 0; v < DCTSIZE; ++v) {
        for (int u = 0; u < DCTSIZE; ++u) {
            JCOEF value = s.transpose ? in[u * DCTSIZE + v] : in[v * DCTSIZE + u];
            bool negate = ((u & 1) && s.negateOddU) != ((v & 1) && s.negateOddV);
            out[v * DCTSIZE + u] = negate ? JCOEF(-value) : value;
        }
    }
}

void rearrangeComponent(TransformJob* job, int c)
{
    j_common_ptr common = reinterpret_cast<j_common_ptr>(&job->src);
    const jpeg_component_info& info = job->src.comp_info[c];
    int h, v, maxH, maxV;
    componentSampling(job->src, c, h, v, maxH, maxV);
    const Geometry& g = job->geometry;
    JDIMENSION fullX = job->src.image_width / JDIMENSION(g.mcuWidth) * JDIMENSION(h);
    JDIMENSION fullY = job->src.image_height / JDIMENSION(g.mcuHeight) * JDIMENSION(v);
    JDIMENSION srcColumns = roundUp(info.width_in_blocks, info.h_samp_factor);
    JDIMENSION srcRows = roundUp(info.height_in_blocks, info.v_samp_factor);
    int dh = g.transposes ? v : h, dv = g.transposes ? h : v;
    int dmaxH = g.transposes ? maxV : maxH, dmaxV = g.transposes ? maxH : maxV;
    JDIMENSION dstColumns = roundUp(blocksFor(g.outWidth, dh, dmaxH), dh);
    JDIMENSION dstRows = roundUp(blocksFor(g.outHeight, dv, dmaxV), dv);
    for (JDIMENSION y = 0; y < dstRows; ++y) {
        JBLOCKARRAY out = (*job->src.mem->access_virt_barray)(common, job->dstArrays[c], y, 1, TRUE);
        for (JDIMENSION x = 0; x < dstColumns; ++x) {
            BlockSource s = sourceOf(g, x, y, fullX, fullY);
            JCOEF* target = out[0][x];
            if (s.x >= srcColumns || s.y >= srcRows) {
                std::memset(target, 0, sizeof(JBLOCK));
                continue;
            }
            JBLOCKARRAY in = (*job->src.mem->access_virt_barray)(common, job->srcArrays[c], s.y, 1, FALSE);
            moveBlock(in[0][s.x], target, s);
        }
    }
}

void transposeQuantTables(j_compress_ptr dst)
{
    for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
        JQUANT_TBL* table = dst->quant_tbl_ptrs[t];
        if (!table) continue;
        for (int i = 0; i < DCTSIZE; ++i)
            for (int j = i + 1; j < DCTSIZE; ++j) {
                UINT16 swap = table->quantval[i * DCTSIZE + j];
                table->quantval[i * DCTSIZE + j] = table->quantval[j * DCTSIZE + i];
                table->quantval[j * DCTSIZE + i] = swap;
            }
    }
}

void setupDestination(TransformJob* job)
{
    const Geometry& g = job->geometry;
    jpeg_copy_critical_parameters(&job->src, &job->dst);
    job->dst.image_width = g.outWidth;
    job->dst.image_height = g.outHeight;
    if (g.transposes) {
        for (int c = 0; c < job->dst.num_components; ++c) {
            jpeg_component_info& info = job->dst.comp_info[c];
            int swap = info.h_samp_factor;
            info.h_samp_factor = info.v_samp_factor;
            info.v_samp_factor = swap;
        }
        transposeQuantTables(&job->dst);
    }
    job->dst.optimize_coding = TRUE;
}

bool startsWith(const jpeg_saved_marker_ptr marker, const char* prefix, unsigned length)
{
    return marker->data_length >= length && std::memcmp(marker->data, prefix, length) == 0;
}

// EXIF needs no JFIF header beside it; its pixel size follows the new picture.
void adjustExif(TransformJob* job)
{
    bool sizeChanged = job->geometry.outWidth != job->src.image_width ||
                       job->geometry.outHeight != job->src.image_height;
    for (jpeg_saved_marker_ptr m = job->src.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || !startsWith(m, "Exif\0\0", 6)) continue;
        job->dst.write_JFIF_header = FALSE;
        if (sizeChanged)
            exifPatchPixelSize(m->data + 6, m->data_length - 6, job->geometry.outWidth, job->geometry.outHeight);
    }
}

// Copies every saved marker except those the compressor writes itself.
void copyMarkers(TransformJob* job)
{
    for (jpeg_saved_marker_ptr m = job->src.marker_list; m; m = m->next) {
        if (job->dst.write_JFIF_header && m->marker == JPEG_APP0 && startsWith(m, "JFIF\0", 5)) continue;
        if (job->dst.write_Adobe_marker && m->marker == JPEG_APP0 + 14 && startsWith(m, "Adobe", 5)) continue;
        jpeg_write_marker(&job->dst, m->marker, m->data, m->data_length);
    }
}

int runTransform(TransformJob* job)
{
    job->src.err = jpeg_std_error(&job->error.pub);
    job->dst.err = &job->error.pub;
    job->error.pub.error_exit = errorExit;
    job->error.pub.output_message = silentMessage;
    if (setjmp(job->error.jump)) {
        jpeg_destroy_compress(&job->dst);
        jpeg_destroy_decompress(&job->src);
        return 0;
    }
    jpeg_create_decompress(&job->src);
    jpeg_create_compress(&job->dst);
    jpeg_stdio_src(&job->src, job->in);
    jpeg_save_markers(&job->src, JPEG_COM, 0xFFFF);
    for (int m = 0; m < 16; ++m) jpeg_save_markers(&job->src, JPEG_APP0 + m, 0xFFFF);
    jpeg_read_header(&job->src, TRUE);

    planGeometry(job);
    bool moves = job->code >= JpegRotate90 && job->code <= JpegFlipHorizontal;
    if (moves) requestDestination(job);
    job->srcArrays = jpeg_read_coefficients(&job->src);
    if (!moves) {
        job->geometry.outWidth = job->src.image_width;
        job->geometry.outHeight = job->src.image_height;
    }
    setupDestination(job);
    adjustExif(job);
    if (moves)
        for (int c = 0; c < job->src.num_components; ++c) rearrangeComponent(job, c);

    jpeg_stdio_dest(&job->dst, job->out);
    jpeg_write_coefficients(&job->dst, moves ? job->dstArrays : job->srcArrays);
    copyMarkers(job);
    jpeg_finish_compress(&job->dst);
    jpeg_finish_decompress(&job->src);
    jpeg_destroy_compress(&job->dst);
    jpeg_destroy_decompress(&job->src);
    return 1;
}

}  // namespace

int jpegTransformLossless(const char* input, const char* output, int code, bool trim, int* failure)
{
    int ignored = 0;
    int& why = failure ? *failure : ignored;
    why = ResultOk;
    FILE* in = std::fopen(input, "rb");
    if (!in) return why = ResultCannotOpen, 0;
    AtomicReplace out;
    const ReplaceStatus opened = out.open(output);
    FILE* stream = opened == ReplaceStatus::Ok ? out.stream() : nullptr;
    if (!stream) {
        std::fclose(in);
        why = opened == ReplaceStatus::ReadOnly ? ResultReadOnly : ResultCannotCreate;
        return 0;
    }
    TransformJob* job = static_cast<TransformJob*>(std::calloc(1, sizeof(TransformJob)));
    const bool allocated = job != nullptr;
    int ok = 0;
    if (job) {
        job->in = in;
        job->out = stream;
        job->code = code;
        job->trim = trim;
        ok = runTransform(job);
        std::free(job);
    }
    std::fclose(in);
    if (!ok) return why = allocated ? ResultJpegError : ResultNoMemory, 0;
    if (out.commit() != ReplaceStatus::Ok) return why = ResultWriteError, 0;
    return 1;  // on every failure above `out` removes its temporary file
}

}  // namespace fotrix
