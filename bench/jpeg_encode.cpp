// In-process JPEG encoding: saveBitmap against the same libjpeg calls made
// directly on the same pixels (what cjpeg does after reading its input), so
// that the writer is measured without the cost of loading the picture.
// Built and run by bench/writers.sh.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"

using namespace fotrix;

namespace {

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void encodeDirectly(const Bitmap& bitmap)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    FILE* out = std::fopen("/dev/null", "wb");
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = bitmap.width;
    cinfo.image_height = bitmap.height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = bitmap.pixels + static_cast<size_t>(cinfo.next_scanline) * bitmap.bytesPerRow;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 64;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    libraryInit();
    Bitmap bitmap;
    LoadParams load;
    loadParamsDefaults(load);
    if (loadBitmap(argv[1], bitmap, load, nullptr) != 0 || bitmap.type != Rgb) return 1;
    SaveParams params;
    saveParamsDefaults(params);
    params.format = FormatJpeg;
    params.quality = 80;
    double ours = 0, direct = 0;
    for (int i = 0; i < runs; ++i) {  // interleaved, so that both see the same machine load
        auto start = std::chrono::steady_clock::now();
        if (saveBitmap("/dev/null", bitmap, params) != 0) return 1;
        ours += since(start);
        start = std::chrono::steady_clock::now();
        encodeDirectly(bitmap);
        direct += since(start);
    }
    std::printf("%.4f %.4f\n", ours / runs, direct / runs);
    bitmapFree(bitmap);
    libraryExit();
    return 0;
}
