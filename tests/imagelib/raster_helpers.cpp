#include "raster_helpers.h"

#include <cstring>
#include <random>

namespace rastertest {

using testsupport::Pixels;

void load(const std::filesystem::path& path, Loaded& out, uint32_t options, uint32_t frameIndex, int formatIndex)
{
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.rowAlignment = 1;
    params.options |= options;
    params.frameIndex = frameIndex;
    params.formatIndex = static_cast<int16_t>(formatIndex);
    out.code = fotrix::loadBitmap(path.string(), out.bitmap, params, &out.info);
}

Pixels rgbaOf(const fotrix::Bitmap& bitmap, bool transparency)
{
    Pixels p;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = 4;
    p.data.resize(static_cast<size_t>(p.width) * p.height * 4);
    const int bits = bitmap.bitsPerComponent > 8 ? 2 : 1;
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = fotrix::bitmapRow(bitmap, y);
        for (int x = 0; x < p.width; ++x) {
            uint8_t* d = &p.data[(static_cast<size_t>(y) * p.width + x) * 4];
            d[3] = 255;
            const uint8_t* s = row + static_cast<size_t>(x) * bitmap.bytesPerPixel;
            switch (bitmap.type) {
            case fotrix::Binary: d[0] = d[1] = d[2] = fotrix::bitGet(row, x) ? 255 : 0; break;
            case fotrix::Grey: d[0] = d[1] = d[2] = s[0]; break;
            case fotrix::Indexed:
                d[0] = bitmap.palette[fotrix::PaletteRed + s[0]];
                d[1] = bitmap.palette[fotrix::PaletteGreen + s[0]];
                d[2] = bitmap.palette[fotrix::PaletteBlue + s[0]];
                if (transparency && s[0] == bitmap.transparentIndex) d[3] = 0;
                break;
            case fotrix::Rgb: d[0] = s[0]; d[1] = s[bits]; d[2] = s[2 * bits]; break;
            case fotrix::Bgr: d[0] = s[2 * bits]; d[1] = s[bits]; d[2] = s[0]; break;
            case fotrix::Rgba: d[0] = s[0]; d[1] = s[bits]; d[2] = s[2 * bits]; d[3] = s[3 * bits]; break;
            default: std::memset(d, 0, 4); break;
            }
        }
    }
    return p;
}

bool magickFrame(const std::filesystem::path& path, int index, Pixels& out)
{
    testsupport::TempDir dir;
    const std::filesystem::path pam = dir / "frame.pam";
    const std::string command = "/usr/bin/convert '" + path.string() + "[" + std::to_string(index) +
                                "]' +repage -colorspace sRGB -depth 8 -alpha on 'pam:" + pam.string() +
                                "' 2>/dev/null";
    if (testsupport::run(command) != 0 || !testsupport::readPnm(pam, out)) return false;
    out = testsupport::toRgba(out);
    return true;
}

bool havePillow() { return testsupport::run("/usr/bin/python3 -c 'import PIL' 2>/dev/null") == 0; }

bool pillowRgba(const std::filesystem::path& path, Pixels& out)
{
    testsupport::TempDir dir;
    const std::filesystem::path raw = dir / "pixels.raw";
    const std::string script = "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                               "im = im.convert('RGBA')\nopen(sys.argv[2], 'wb').write(im.tobytes())\n"
                               "print(im.size[0], im.size[1])\n";
    testsupport::writeFile(dir / "decode.py", script);
    std::string size;
    if (testsupport::run("/usr/bin/python3 '" + (dir / "decode.py").string() + "' '" + path.string() + "' '" +
                             raw.string() + "' 2>/dev/null",
                         &size) != 0)
        return false;
    if (std::sscanf(size.c_str(), "%d %d", &out.width, &out.height) != 2) return false;
    out.channels = 4;
    out.data = testsupport::readFile(raw);
    return out.data.size() == static_cast<size_t>(out.width) * out.height * 4;
}

int opaqueDifference(const Pixels& ours, const Pixels& reference, bool withAlpha)
{
    const Pixels a = testsupport::toRgba(ours);
    const Pixels b = testsupport::toRgba(reference);
    if (a.width != b.width || a.height != b.height) return -1;
    int worst = 0;
    for (size_t i = 0; i < b.data.size(); i += 4) {
        if (withAlpha) worst = std::max(worst, std::abs(a.data[i + 3] - b.data[i + 3]));
        if (b.data[i + 3] == 0) continue;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a.data[i + c] - b.data[i + c]));
    }
    return worst;
}

void writeRandomPpm(const std::filesystem::path& path, int width, int height, unsigned seed, int levels)
{
    std::mt19937 random(seed);
    std::string text = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<uint8_t> bytes(text.begin(), text.end());
    // Smooth areas with some noise, so that run-length and LZW coders see both.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                int v = ((x * (c + 1) * 7 + y * (3 - c) * 5) / 8 + static_cast<int>(random() % 24)) % 256;
                if (levels < 256) v = v * levels / 256 * (255 / std::max(levels - 1, 1));
                bytes.push_back(static_cast<uint8_t>(v));
            }
    testsupport::writeFile(path, bytes);
}

void putLe16(std::vector<uint8_t>& bytes, unsigned value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace rastertest
