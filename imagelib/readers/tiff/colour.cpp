// YCbCr blocks to R, G, B (TIFF 6.0, section 21, with the YCbCrCoefficients)
// and horizontal differencing (section 14) undone.
#include <algorithm>
#include <cmath>

#include "imagelib/readers/tiff/tiff_internal.h"

namespace fotrix::tiff {

namespace {

uint8_t clampByte(float v)
{
    return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

}  // namespace

size_t ycbcrStripBytes(uint32_t width, uint32_t rows, const YCbCrParams& p)
{
    const size_t across = (width + p.h - 1) / p.h;
    const size_t down = (rows + p.v - 1) / p.v;
    return across * down * (static_cast<size_t>(p.h) * p.v + 2);
}

void ycbcrToRgb(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows,
                const YCbCrParams& p)
{
    const float redFactor = 2 - 2 * p.lumaRed;
    const float blueFactor = 2 - 2 * p.lumaBlue;
    const size_t blockSize = static_cast<size_t>(p.h) * p.v + 2;
    const uint32_t across = (width + p.h - 1) / p.h;
    size_t pos = 0;
    for (uint32_t by = 0; by < rows; by += p.v) {
        for (uint32_t bx = 0; bx < across; bx++, pos += blockSize) {
            if (pos + blockSize > in.size()) return;
            const uint8_t* block = in.data() + pos;
            const float cb = block[blockSize - 2] - 128.0f;
            const float cr = block[blockSize - 1] - 128.0f;
            for (uint32_t j = 0; j < p.v; j++) {
                const uint32_t y = by + j;
                if (y >= rows) break;
                for (uint32_t i = 0; i < p.h; i++) {
                    const uint32_t x = bx * p.h + i;
                    if (x >= width) break;
                    const float luma = block[j * p.h + i];
                    const float r = luma + cr * redFactor;
                    const float b = luma + cb * blueFactor;
                    const float g = (luma - p.lumaBlue * b - p.lumaRed * r) / p.lumaGreen;
                    uint8_t* o = out.data() + (static_cast<size_t>(y) * width + x) * 3;
                    o[0] = clampByte(r);
                    o[1] = clampByte(g);
                    o[2] = clampByte(b);
                }
            }
        }
    }
}

void ycbcrPixel(int luma, int cb, int cr, const YCbCrParams& p, uint8_t* rgb)
{
    const float r = luma + (cr - 128.0f) * (2 - 2 * p.lumaRed);
    const float b = luma + (cb - 128.0f) * (2 - 2 * p.lumaBlue);
    const float g = (luma - p.lumaBlue * b - p.lumaRed * r) / p.lumaGreen;
    rgb[0] = clampByte(r);
    rgb[1] = clampByte(g);
    rgb[2] = clampByte(b);
}

// Codes to values by ReferenceBlackWhite (the luma range to 0..255, the
// chroma ranges to -127..127 around 0), then the coefficients in 16-bit fixed
// point, rounded as libtiff's RGBA interface rounds.
void ycbcrTablesInit(YCbCrTables& t, const TiffInfo& info)
{
    constexpr int Shift = 16;
    constexpr int32_t Half = 1 << (Shift - 1);
    const auto fixed = [](float v) { return static_cast<int32_t>(std::clamp(v, 0.0f, 2.0f) * (1 << Shift) + 0.5f); };
    const float* ref = info.referenceBlackWhite;
    const auto scaled = [](int code, float black, float white, float range) {
        const float span = white - black != 0 ? white - black : 1;
        return static_cast<int32_t>(std::clamp((code - black) * range / span, -4096.0f, 4096.0f));
    };
    const float redFactor = 2 - 2 * info.lumaRed, blueFactor = 2 - 2 * info.lumaBlue;
    const int32_t crToRed = fixed(redFactor), cbToBlue = fixed(blueFactor);
    const int32_t crToGreen = fixed(info.lumaRed * redFactor / info.lumaGreen);
    const int32_t cbToGreen = fixed(info.lumaBlue * blueFactor / info.lumaGreen);
    for (int i = 0; i < 256; i++) {
        const int32_t cr = scaled(i, ref[4], ref[5], 127), cb = scaled(i, ref[2], ref[3], 127);
        t.luma[i] = scaled(i, ref[0], ref[1], 255);
        t.redFromCr[i] = (crToRed * cr + Half) >> Shift;
        t.blueFromCb[i] = (cbToBlue * cb + Half) >> Shift;
        t.greenFromCr[i] = -crToGreen * cr;
        t.greenFromCb[i] = -cbToGreen * cb + Half;
    }
}

void ycbcrTablesConvert(const YCbCrTables& t, const uint8_t* ycc, uint8_t* rgb, uint32_t width)
{
    const auto clamp = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    for (uint32_t x = 0; x < width; x++, ycc += 3, rgb += 3) {
        const int32_t y = t.luma[ycc[0]];
        const uint8_t cb = ycc[1], cr = ycc[2];
        rgb[0] = clamp(y + t.redFromCr[cr]);
        rgb[1] = clamp(y + ((t.greenFromCb[cb] + t.greenFromCr[cr]) >> 16));
        rgb[2] = clamp(y + t.blueFromCb[cb]);
    }
}

void undoPredictor(uint8_t* row, uint32_t width, int samples, int bits, bool bigEndian)
{
    if (width < 2) return;
    const size_t count = static_cast<size_t>(width) * samples;
    if (bits == 8) {
        for (size_t i = samples; i < count; i++) row[i] = static_cast<uint8_t>(row[i] + row[i - samples]);
    } else if (bits == 16) {
        const int hi = bigEndian ? 0 : 1, lo = 1 - hi;
        for (size_t i = samples; i < count; i++) {
            uint8_t* s = row + 2 * i;
            const uint8_t* prev = row + 2 * (i - samples);
            const unsigned v = ((s[hi] << 8) | s[lo]) + ((prev[hi] << 8) | prev[lo]);
            s[hi] = static_cast<uint8_t>(v >> 8);
            s[lo] = static_cast<uint8_t>(v);
        }
    }
}

}  // namespace fotrix::tiff
