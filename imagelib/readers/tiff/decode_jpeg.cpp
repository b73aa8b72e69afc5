// JPEG data inside TIFF files through libjpeg: strips and tiles of the
// technical-note form (tables in JPEGTables, each strip an abbreviated
// stream), and whole interchange streams of the old form. The functions that
// call libjpeg hold no C++ objects with destructors, since errors return
// through longjmp.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

extern "C" {
#include <jpeglib.h>
}

#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

struct JpegSession {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jmp_buf jump;
    bool created = false;
};

namespace {

void onError(j_common_ptr cinfo)
{
    JpegSession* session = static_cast<JpegSession*>(cinfo->client_data);
    longjmp(session->jump, 1);
}

void onMessage(j_common_ptr, int) {}

void prepare(JpegSession& s)
{
    s.cinfo.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = onError;
    s.errors.emit_message = onMessage;
    s.cinfo.client_data = &s;
}

// Header of a strip: tables first, then the strip's own stream; the colour
// spaces follow the photometric value, not markers.
int stripHeader(JpegSession& s, std::span<const uint8_t> tables, std::span<const uint8_t> in, const JpegStripParams& p)
{
    if (setjmp(s.jump)) return ResultCorrupt;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    if (!tables.empty()) {
        jpeg_mem_src(&s.cinfo, tables.data(), static_cast<unsigned long>(tables.size()));
        jpeg_read_header(&s.cinfo, FALSE);
    }
    jpeg_mem_src(&s.cinfo, in.data(), static_cast<unsigned long>(in.size()));
    jpeg_read_header(&s.cinfo, TRUE);
    if (s.cinfo.num_components != p.components) return ResultCorrupt;
    if (p.components == 3) {
        s.cinfo.jpeg_color_space = p.photometric == PhotometricYCbCr ? JCS_YCbCr : JCS_RGB;
        s.cinfo.out_color_space = JCS_RGB;
    } else if (p.components == 4) {
        s.cinfo.jpeg_color_space = JCS_CMYK;
        s.cinfo.out_color_space = JCS_CMYK;
    } else if (p.components == 1) {
        s.cinfo.jpeg_color_space = JCS_GRAYSCALE;
        s.cinfo.out_color_space = JCS_GRAYSCALE;
    } else {
        return ResultCorrupt;
    }
    jpeg_start_decompress(&s.cinfo);
    return 0;
}

int readRows(JpegSession& s, uint8_t* out, size_t stride, uint32_t rows, uint32_t width, uint8_t* scratch)
{
    if (setjmp(s.jump)) return ResultCorrupt;
    const size_t copy = std::min<size_t>(width, s.cinfo.output_width) * s.cinfo.output_components;
    for (uint32_t y = 0; y < rows && s.cinfo.output_scanline < s.cinfo.output_height; y++) {
        JSAMPROW row = scratch;
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) return ResultReadError;
        std::memcpy(out + y * stride, scratch, copy);
    }
    return 0;
}

void destroy(JpegSession& s)
{
    if (s.created) jpeg_destroy_decompress(&s.cinfo);
    s.created = false;
}

}  // namespace

int decodeJpegStrip(std::span<const uint8_t> in, std::span<uint8_t> out, const JpegStripParams& params)
{
    JpegSession* session = new (std::nothrow) JpegSession;
    if (!session) return ResultNoMemory;
    prepare(*session);
    int result = stripHeader(*session, params.tables, in, params);
    if (result == 0) {
        const size_t stride = static_cast<size_t>(params.width) * params.components;
        uint8_t* scratch = static_cast<uint8_t*>(
            std::malloc(static_cast<size_t>(session->cinfo.output_width) * session->cinfo.output_components + 16));
        if (!scratch) {
            result = 1;
        } else {
            const uint32_t rows = std::min<uint32_t>(params.rows, static_cast<uint32_t>(out.size() / stride));
            result = readRows(*session, out.data(), stride, rows, params.width, scratch);
            if (result == 0 && session->cinfo.output_height < rows) result = 4;
            std::free(scratch);
        }
    }
    destroy(*session);
    delete session;
    return result;
}

namespace {

int pictureHeader(JpegSession& s, std::span<const uint8_t> in, bool keepYCbCr)
{
    if (setjmp(s.jump)) return ResultCorrupt;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    jpeg_mem_src(&s.cinfo, in.data(), static_cast<unsigned long>(in.size()));
    jpeg_read_header(&s.cinfo, TRUE);
    if (s.cinfo.num_components == 3 && keepYCbCr) {
        s.cinfo.jpeg_color_space = JCS_YCbCr;
        s.cinfo.out_color_space = JCS_YCbCr;
        s.cinfo.do_fancy_upsampling = FALSE;
    } else if (s.cinfo.num_components == 3) {
        s.cinfo.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&s.cinfo);
    return 0;
}

}  // namespace

JpegSession* jpegSessionOpen(std::span<const uint8_t> in, bool keepYCbCr, uint32_t& width, uint32_t& height,
                             int& components)
{
    JpegSession* session = new (std::nothrow) JpegSession;
    if (!session) return nullptr;
    prepare(*session);
    if (pictureHeader(*session, in, keepYCbCr) != 0 ||
        (session->cinfo.output_components != 1 && session->cinfo.output_components != 3 &&
         session->cinfo.output_components != 4)) {
        jpegSessionClose(session);
        return nullptr;
    }
    width = session->cinfo.output_width;
    height = session->cinfo.output_height;
    components = session->cinfo.output_components;
    return session;
}

int jpegSessionReadRow(JpegSession* session, uint8_t* row)
{
    if (setjmp(session->jump)) return ResultCorrupt;
    JSAMPROW rows[1] = {row};
    jpeg_decompress_struct& c = session->cinfo;
    if (jpeg_read_scanlines(&c, rows, 1) != 1) return ResultReadError;
    // The data has run out (the decoder met the end-of-image marker) with
    // rows of MCUs still to come: the rest would only be made up, and a
    // small file may claim a huge frame.
    const JDIMENSION margin = 2 * DCTSIZE * static_cast<JDIMENSION>(c.max_v_samp_factor);
    if (c.unread_marker == JPEG_EOI && c.output_scanline + margin < c.output_height) return ResultReadError;
    return 0;
}

void jpegSessionClose(JpegSession* session)
{
    if (!session) return;
    destroy(*session);
    delete session;
}

}  // namespace fotrix::tiff
