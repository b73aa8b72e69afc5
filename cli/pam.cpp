#include "cli/pam.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace cli {

namespace {

using fotrix::Bitmap;

struct TupleLayout {
    const char* tupleType;
    int depth;
};

TupleLayout layoutOf(const Bitmap& bitmap)
{
    switch (bitmap.type) {
    case fotrix::Binary:
    case fotrix::Grey: return {"GRAYSCALE", 1};
    case fotrix::Cmyk: return {"CMYK", 4};
    case fotrix::Rgba: case fotrix::Abgr: case fotrix::Bgra: case fotrix::Argb: return {"RGB_ALPHA", 4};
    default: return {"RGB", 3};
    }
}

// Byte positions of R, G, B, A (or C, M, Y, K) inside a stored pixel.
void channelPositions(uint16_t type, int positions[4])
{
    static const int rgba[4] = {0, 1, 2, 3}, bgr[4] = {2, 1, 0, 3}, abgr[4] = {3, 2, 1, 0}, bgra[4] = {2, 1, 0, 3},
                     argb[4] = {1, 2, 3, 0};
    const int* p = rgba;
    if (type == fotrix::Bgr) p = bgr;
    else if (type == fotrix::Abgr) p = abgr;
    else if (type == fotrix::Bgra) p = bgra;
    else if (type == fotrix::Argb) p = argb;
    for (int i = 0; i < 4; ++i) positions[i] = p[i];
}

// One picture row (in display order) as PAM samples.
void convertRow(const Bitmap& bitmap, int storedRow, bool mirror, int depth, int sampleBytes, uint8_t* out)
{
    const uint8_t* row = fotrix::bitmapRow(bitmap, storedRow);
    int positions[4];
    channelPositions(bitmap.type, positions);
    const unsigned levels = bitmap.bitsPerComponent >= 1 && bitmap.bitsPerComponent < 8
                                ? (1u << bitmap.bitsPerComponent) - 1 : 255;
    // Rows already in PAM's sample order are copied whole.
    const bool samePixels = bitmap.type == fotrix::Rgb || bitmap.type == fotrix::Rgba || bitmap.type == fotrix::Cmyk ||
                            (bitmap.type == fotrix::Grey && levels == 255);
    if (samePixels && !mirror && sampleBytes == 1) {
        std::memcpy(out, row, static_cast<size_t>(bitmap.width) * depth);
        return;
    }
    for (int x = 0; x < bitmap.width; ++x) {
        const int sx = mirror ? bitmap.width - 1 - x : x;
        uint8_t* o = out + static_cast<size_t>(x) * depth * sampleBytes;
        if (bitmap.type == fotrix::Binary) {
            o[0] = fotrix::bitGet(row, sx) ? 255 : 0;
        } else if (bitmap.type == fotrix::Grey) {
            if (sampleBytes == 2) {
                o[0] = row[2 * sx + 1];
                o[1] = row[2 * sx];
            } else {
                o[0] = static_cast<uint8_t>(row[sx] * 255u / levels);
            }
        } else if (bitmap.type == fotrix::Indexed) {
            const uint8_t i = row[sx];
            const uint8_t* palette = bitmap.palette;
            o[0] = palette ? palette[fotrix::PaletteRed + i] : i;
            o[1] = palette ? palette[fotrix::PaletteGreen + i] : i;
            o[2] = palette ? palette[fotrix::PaletteBlue + i] : i;
        } else {
            const uint8_t* pixel = row + static_cast<size_t>(sx) * bitmap.bytesPerPixel;
            for (int c = 0; c < depth; ++c) {
                const int position = bitmap.type == fotrix::Cmyk ? c : positions[c];
                if (sampleBytes == 2) {
                    o[2 * c] = pixel[2 * position + 1];
                    o[2 * c + 1] = pixel[2 * position];
                } else {
                    o[c] = pixel[position];
                }
            }
        }
    }
}

}  // namespace

int writePam(const Bitmap& bitmap, const std::string& fileName)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "wb"), std::fclose);
    if (!file) return 5;
    const TupleLayout layout = layoutOf(bitmap);
    const bool deep = bitmap.bitsPerComponent == 16 && bitmap.type != fotrix::Binary;
    const int sampleBytes = deep ? 2 : 1;
    std::fprintf(file.get(), "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL %d\nTUPLTYPE %s\nENDHDR\n", bitmap.width,
                 bitmap.height, layout.depth, deep ? 65535 : 255, layout.tupleType);
    std::vector<uint8_t> row(static_cast<size_t>(bitmap.width) * layout.depth * sampleBytes);
    const bool bottomUp = (bitmap.origin & fotrix::OriginBottom) != 0;
    const bool mirror = (bitmap.origin & fotrix::OriginRight) != 0;
    for (int y = 0; y < bitmap.height; ++y) {
        convertRow(bitmap, bottomUp ? bitmap.height - 1 - y : y, mirror, layout.depth, sampleBytes, row.data());
        if (std::fwrite(row.data(), 1, row.size(), file.get()) != row.size()) return 6;
    }
    return std::fflush(file.get()) == 0 ? 0 : 6;
}

}  // namespace cli
