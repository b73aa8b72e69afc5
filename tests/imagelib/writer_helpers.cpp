#include "tests/imagelib/writer_helpers.h"

#include <cstring>
#include <random>

#include "imagelib/formats.h"

namespace writertest {

using namespace fotrix;
using testsupport::Pixels;

void makePicture(Bitmap& bitmap, unsigned type, int w, int h, int colours, unsigned seed)
{
    bitmapAllocate(bitmap, type, 4, w, h);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bitmapRow(bitmap, y);
        if (type == Binary) {
            for (int x = 0; x < w; ++x) bitSet(row, x, static_cast<int>(random() & 1));
            continue;
        }
        for (int x = 0; x < w * bitmap.bytesPerPixel; ++x)
            row[x] = (type == Grey || type == Indexed) ? static_cast<uint8_t>(random() % colours)
                                                       : static_cast<uint8_t>(random());
    }
    if (type == Grey || type == Indexed) bitmap.colorCount = static_cast<int16_t>(colours);
    if (type == Indexed)
        for (int i = 0; i < 256; ++i) {
            bitmap.palette[PaletteRed + i] = static_cast<uint8_t>(random());
            bitmap.palette[PaletteGreen + i] = static_cast<uint8_t>(random());
            bitmap.palette[PaletteBlue + i] = static_cast<uint8_t>(random());
        }
    bitmap.dpiX = bitmap.dpiY = 72;
}

Pixels expectedRgba(const Bitmap& bitmap)
{
    Pixels p;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = 4;
    p.data.resize(static_cast<size_t>(p.width) * p.height * 4);
    for (int y = 0; y < p.height; ++y) {
        const int stored = (bitmap.origin & OriginBottom) ? p.height - 1 - y : y;
        const uint8_t* row = bitmapRow(bitmap, stored);
        for (int x = 0; x < p.width; ++x) {
            const int sx = (bitmap.origin & OriginRight) ? p.width - 1 - x : x;
            uint8_t* o = &p.data[(static_cast<size_t>(y) * p.width + x) * 4];
            const uint8_t* px = row + static_cast<size_t>(sx) * bitmap.bytesPerPixel;
            o[3] = 255;
            switch (bitmap.type) {
            case Binary: o[0] = o[1] = o[2] = bitGet(row, sx) ? 255 : 0; break;
            case Grey: o[0] = o[1] = o[2] = static_cast<uint8_t>(px[0] * 255 / (bitmap.colorCount - 1)); break;
            case Indexed:
                o[0] = bitmap.palette[PaletteRed + px[0]];
                o[1] = bitmap.palette[PaletteGreen + px[0]];
                o[2] = bitmap.palette[PaletteBlue + px[0]];
                break;
            case Rgb: o[0] = px[0]; o[1] = px[1]; o[2] = px[2]; break;
            case Rgba: o[0] = px[0]; o[1] = px[1]; o[2] = px[2]; o[3] = px[3]; break;
            case Bgr: o[0] = px[2]; o[1] = px[1]; o[2] = px[0]; break;
            case Bgra: o[0] = px[2]; o[1] = px[1]; o[2] = px[0]; o[3] = px[3]; break;
            case Abgr: o[0] = px[3]; o[1] = px[2]; o[2] = px[1]; o[3] = px[0]; break;
            case Argb: o[0] = px[1]; o[1] = px[2]; o[2] = px[3]; o[3] = px[0]; break;
            default: break;
            }
        }
    }
    return p;
}

bool decodeWithMagickRgba(const std::filesystem::path& picture, Pixels& out)
{
    Pixels decoded;
    if (!testsupport::decodeWithMagick(picture, decoded)) return false;
    out = testsupport::toRgba(decoded);
    return true;
}

bool decodeWithPillow(const std::filesystem::path& picture, Pixels& out)
{
    testsupport::TempDir dir;
    const auto pam = dir / "pillow.pam";
    const std::string script =
        "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]).convert('RGBA')\n"
        "f = open(sys.argv[2], 'wb')\n"
        "f.write(b'P7\\nWIDTH %d\\nHEIGHT %d\\nDEPTH 4\\nMAXVAL 255\\nTUPLTYPE RGB_ALPHA\\nENDHDR\\n' % im.size)\n"
        "f.write(im.tobytes())\n";
    testsupport::writeFile(dir / "decode.py", script);
    const std::string command = "/usr/bin/python3 '" + (dir / "decode.py").string() + "' '" + picture.string() +
                                "' '" + pam.string() + "' 2>/dev/null";
    if (testsupport::run(command) != 0) return false;
    return testsupport::readPnm(pam, out);
}

int save(const std::filesystem::path& path, const Bitmap& bitmap, const char* format,
         void (*adjust)(SaveParams&))
{
    SaveParams params;
    saveParamsDefaults(params);
    params.format = formatFindByName(format);
    if (adjust) adjust(params);
    return saveBitmap(path.string(), bitmap, params);
}

int fileCount(const std::filesystem::path& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

}  // namespace writertest
