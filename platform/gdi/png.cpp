// Writes part of a surface as an 8-bit RGB PNG file.
#include "platform/gdi/gdi_internal.h"

#include <png.h>

#include "fileio/atomic_replace.h"

#include <cstdio>

namespace {

// Kept free of C++ objects with destructors: libpng reports errors by longjmp.
bool writeRows(FILE* file, png_bytepp rows, int width, int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writeSurfacePng(const Surface& s, const RECT& area, const char* path)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || area.left < 0 || area.top < 0 || area.right > s.width || area.bottom > s.height)
        return false;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* out = pixels.data() + static_cast<size_t>(y) * width * 3;
        rows[static_cast<size_t>(y)] = out;
        for (int x = 0; x < width; ++x) {
            uint32_t p = surfaceGet(s, area.left + x, area.top + y);
            out[x * 3] = (p >> 16) & 0xFF;
            out[x * 3 + 1] = (p >> 8) & 0xFF;
            out[x * 3 + 2] = p & 0xFF;
        }
    }
    // Written beside the target and renamed, so a reader never sees half a file.
    fotrix::AtomicReplace out;
    FILE* file = out.open(path) == fotrix::ReplaceStatus::Ok ? out.stream() : nullptr;
    if (!file || !writeRows(file, rows.data(), width, height)) return false;  // `out` removes the temporary
    return out.commit() == fotrix::ReplaceStatus::Ok;
}
