// Conversion of CMYK and CIE L*a*b* pictures to RGB, in place.
#include <algorithm>
#include <array>
#include <cmath>

#include "imagelib/core/end_image.h"

namespace fotrix {

namespace {

// Linear light to 8-bit sRGB, built once.
const std::array<uint8_t, 256>& srgbTable()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 256.0;
            const double s = v < 0.00303951367781155 ? v * 3295.395483970642 + 0.5
                                                     : (1.055 * std::pow(v, 1 / 2.4) - 0.055) * 255 + 0.5;
            t[i] = static_cast<uint8_t>(std::clamp(static_cast<int>(s), 0, 255));
        }
        return t;
    }();
    return table;
}

struct WhiteAndMatrix {
    double white[3];
    double m[3][3];
};

constexpr WhiteAndMatrix D65 = {{0.9505, 1.0, 1.089},
                                {{3.24062547732005, -1.53720797221032, -0.49862859869825},
                                 {-0.96893071472932, 1.87575606088524, 0.04151752384295},
                                 {0.05571012044551, -0.20402105059849, 1.05699594225439}}};
constexpr WhiteAndMatrix D50 = {{0.9643, 1.0, 0.8251},
                                {{3.13386467802206, -1.61708787738292, -0.49070460774676},
                                 {-0.97846928415465, 1.91605177261501, 0.03346568837626},
                                 {0.07197299083166, -0.22908945441861, 1.40536182567307}}};

double inverseF(double f)
{
    constexpr double delta = 6.0 / 29;
    return f > delta ? f * f * f : (f - 16.0 / 116) * 3 * delta * delta;
}

void labToRgb(double L, double a, double b, const WhiteAndMatrix& space, uint8_t rgb[3])
{
    double fy, Y;
    if (L < 8) {
        Y = L / 903.3;
        fy = 7.787036979 * Y + 16.0 / 116;
    } else {
        fy = (L + 16) / 116;
        Y = fy * fy * fy;
    }
    const double fx = fy + a / 500, fz = fy - b / 200;
    double xyz[3] = {inverseF(fx), Y, inverseF(fz)};
    for (int i = 0; i < 3; ++i) xyz[i] = std::clamp(xyz[i], 0.0, 2.0) * space.white[i];
    const auto& table = srgbTable();
    for (int c = 0; c < 3; ++c) {
        const double v = space.m[c][0] * xyz[0] + space.m[c][1] * xyz[1] + space.m[c][2] * xyz[2];
        const int i = std::clamp(static_cast<int>(v * 255 + 0.5), 0, 255);
        rgb[c] = table[i];
    }
}

// Rewrites every pixel through `convert` (input pixel -> R, G, B) into a
// three-component layout, row by row from the top: each output pixel lies at
// or before its input pixel, so the rewrite can share the buffer.
template <typename Convert>
void rewriteToThree(Bitmap& bitmap, bool bgr, Convert convert)
{
    const int inSize = bitmap.bytesPerPixel;
    const int alignment = std::max<int>(bitmap.rowAlignment, 1);
    const uint32_t newStride = static_cast<uint32_t>((static_cast<uint64_t>(bitmap.width) * 3 + alignment - 1) / alignment * alignment);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* in = bitmap.pixels + static_cast<size_t>(y) * bitmap.bytesPerRow;
        uint8_t* out = bitmap.pixels + static_cast<size_t>(y) * newStride;
        for (int x = 0; x < bitmap.width; ++x) {
            uint8_t rgb[3];
            convert(in + x * inSize, rgb);
            out[3 * x] = bgr ? rgb[2] : rgb[0];
            out[3 * x + 1] = rgb[1];
            out[3 * x + 2] = bgr ? rgb[0] : rgb[2];
        }
        std::fill(out + 3 * static_cast<size_t>(bitmap.width), out + newStride, 0);
    }
    bitmap.bytesPerRow = newStride;
    bitmap.bytesPerPixel = 3;
    bitmap.componentCount = 3;
    bitmap.type = bgr ? Bgr : Rgb;
}

}  // namespace

void convertLabToRgb(Bitmap& bitmap, uint32_t sampleFlags, bool bgr)
{
    const bool signedAb = (sampleFlags & (SampleLabSigned | SampleLabSignedVariant)) != 0;
    const bool d50 = (sampleFlags & (SampleLabVariant | SampleLabSigned)) != 0;
    const WhiteAndMatrix& space = d50 ? D50 : D65;
    rewriteToThree(bitmap, bgr, [&](const uint8_t* p, uint8_t rgb[3]) {
        const double L = p[0] * 100.0 / 255;
        const double a = signedAb ? static_cast<int8_t>(p[1]) : p[1] - 128.0;
        const double b = signedAb ? static_cast<int8_t>(p[2]) : p[2] - 128.0;
        labToRgb(L, a, b, space, rgb);
    });
}

void convertCmykToRgb(Bitmap& bitmap, bool inverted, bool bgr)
{
    if (bitmap.bytesPerPixel == 3) {
        // CMY without black: every sample becomes its complement.
        rewriteToThree(bitmap, bgr, [](const uint8_t* p, uint8_t rgb[3]) {
            for (int c = 0; c < 3; ++c) rgb[c] = static_cast<uint8_t>(255 - p[c]);
        });
        return;
    }
    if (inverted) {
        rewriteToThree(bitmap, bgr, [](const uint8_t* p, uint8_t rgb[3]) {
            for (int c = 0; c < 3; ++c) rgb[c] = static_cast<uint8_t>(p[c] * p[3] / 255);
        });
    } else {
        rewriteToThree(bitmap, bgr, [](const uint8_t* p, uint8_t rgb[3]) {
            for (int c = 0; c < 3; ++c) rgb[c] = static_cast<uint8_t>(std::min((255 - p[c]) * (255 - p[3]) / 255, 255));
        });
    }
}

void invertSamples(Bitmap& bitmap)
{
    const size_t rowBytes = static_cast<size_t>(bitmap.width) * bitmap.bytesPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmapRow(bitmap, y);
        for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(255 - row[i]);
    }
}

}  // namespace fotrix
