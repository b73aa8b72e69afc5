#include "reader_helpers.h"

#include <cstdlib>
#include <cstring>

namespace readertest {

Load loadRgba(const std::filesystem::path& path, const std::function<void(fotrix::LoadParams&)>& adjust)
{
    Load load;
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ForceTrueColour | fotrix::ForceAlpha;
    params.rowAlignment = 1;
    if (adjust) adjust(params);
    fotrix::Bitmap bitmap;
    load.code = fotrix::loadBitmap(path.string(), bitmap, params, &load.info);
    if (load.code != 0) return load;
    testsupport::Pixels& p = load.pixels;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = 4;
    p.data.resize(static_cast<size_t>(p.width) * p.height * 4);
    for (int y = 0; y < p.height; y++) {
        const uint8_t* row = fotrix::bitmapRow(bitmap, y);
        uint8_t* out = &p.data[static_cast<size_t>(y) * p.width * 4];
        for (int x = 0; x < p.width; x++, out += 4) {
            if (bitmap.type == fotrix::Rgba) {
                std::memcpy(out, row + 4 * x, 4);
            } else if (bitmap.type == fotrix::Rgb) {
                std::memcpy(out, row + 3 * x, 3);
                out[3] = 255;
            } else {
                load.code = -2;  // a layout these helpers do not expect
                return load;
            }
        }
    }
    fotrix::bitmapFree(bitmap);
    return load;
}

int maxColourDifference(const testsupport::Pixels& ours, const testsupport::Pixels& reference, bool ignoreTransparent)
{
    const testsupport::Pixels a = testsupport::toRgba(ours);
    const testsupport::Pixels b = testsupport::toRgba(reference);
    if (a.width != b.width || a.height != b.height) return -1;
    int worst = 0;
    for (size_t i = 0; i < a.data.size(); i += 4) {
        if (ignoreTransparent && b.data[i + 3] == 0) continue;
        for (int c = 0; c < 3; c++) worst = std::max(worst, std::abs(a.data[i + c] - b.data[i + c]));
    }
    return worst;
}

}  // namespace readertest

namespace readertest {

bool magickFrame(const std::filesystem::path& path, int index, testsupport::Pixels& out)
{
    testsupport::TempDir dir;
    const std::filesystem::path pam = dir / "frame.pam";
    const std::string command = "/usr/bin/convert '" + path.string() + "[" + std::to_string(index) +
                                "]' -colorspace sRGB -depth 8 -alpha on 'pam:" + pam.string() + "' 2>/dev/null";
    return testsupport::run(command) == 0 && testsupport::readPnm(pam, out);
}

}  // namespace readertest
