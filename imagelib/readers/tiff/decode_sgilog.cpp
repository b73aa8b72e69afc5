// SGILog data (the LogLuv encodings of the TIFF LogLuv technical note): rows
// of byte planes, each run-length coded, holding 16-bit log luminance (LogL)
// or 32-bit log luminance with 8-bit u', v' indices (LogLuv), turned into
// 8-bit grey or R, G, B; and the 24-bit form, three bytes a pixel with a
// 10-bit log luminance and a 14-bit index into a grid of (u', v') cells.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

namespace {

// 16-bit log luminance: sign in bit 15, 256 steps an octave from 2^-64.
double luminance16(uint32_t le)
{
    const uint32_t magnitude = le & 0x7FFF;
    if (magnitude == 0) return 0;
    const double y = std::exp((magnitude + 0.5) * 0.0027076061740622863 - 44.3614195558365);
    return (le & 0x8000) ? -y : y;
}

uint8_t toByte(double v)
{
    if (v <= 0) return 0;
    if (v >= 1) return 255;
    return static_cast<uint8_t>(256 * std::sqrt(v));
}

void xyzToRgb(double x, double y, double z, uint8_t* out)
{
    out[0] = toByte(2.69 * x - 1.276 * y - 0.414 * z);
    out[1] = toByte(-1.022 * x + 1.978 * y + 0.044 * z);
    out[2] = toByte(0.061 * x - 0.224 * y + 1.163 * z);
}

// Luminance and (u', v') chromaticity to R, G, B through CIE XYZ.
void luvToRgb(double lum, double u, double v, uint8_t* out)
{
    const double d = 6 * u - 16 * v + 12;
    const double cx = 9 * u / d, cy = 4 * v / d;
    if (lum <= 0 || cy <= 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    xyzToRgb(cx / cy * lum, lum, (1 - cx - cy) / cy * lum, out);
}

// 10-bit log luminance of the 24-bit form: 64 steps an octave from 2^-12, 0 is black.
double luminance10(uint32_t le)
{
    if (le == 0) return 0;
    return std::exp((le + 0.5) * 0.010830424696249145 - 8.317766166719343);
}

// First cell index of each row of the grid, and the total after the last row.
std::array<uint16_t, LogLuvCellRowCount + 1> cellRowStarts()
{
    std::array<uint16_t, LogLuvCellRowCount + 1> starts{};
    for (size_t row = 0; row < logLuvCellRows.size(); row++)
        starts[row + 1] = static_cast<uint16_t>(starts[row] + logLuvCellRows[row].count);
    return starts;
}

// 24-bit pixels, three bytes each, most significant first.
int decodePacked24(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows)
{
    const size_t pixels = std::min(static_cast<size_t>(width) * rows, out.size() / 3);
    const size_t available = std::min(pixels, in.size() / 3);
    for (size_t i = 0; i < available; i++) {
        const uint8_t* p = in.data() + 3 * i;
        const uint32_t word = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        double u = 0, v = 0;
        logLuvCellChroma(word & 0x3FFF, u, v);
        luvToRgb(luminance10(word >> 14), u, v, out.data() + 3 * i);
    }
    return available < pixels ? 4 : 0;
}

// One row's byte planes: a byte of 128 or more repeats the next byte
// (n - 126 times), a smaller one copies that many bytes.
bool readPlanes(std::span<const uint8_t> in, size_t& pos, std::vector<uint32_t>& values, int planes)
{
    std::fill(values.begin(), values.end(), 0);
    const size_t n = values.size();
    for (int plane = 0; plane < planes; plane++) {
        const int shift = 8 * (planes - 1 - plane);
        size_t i = 0;
        while (i < n) {
            if (pos >= in.size()) return false;
            const uint8_t code = in[pos++];
            if (code >= 128) {
                if (pos >= in.size()) return false;
                const uint32_t value = static_cast<uint32_t>(in[pos++]) << shift;
                for (int run = code - 126; run > 0 && i < n; run--) values[i++] |= value;
            } else {
                for (int run = code; run > 0 && i < n; run--) {
                    if (pos >= in.size()) return false;
                    values[i++] |= static_cast<uint32_t>(in[pos++]) << shift;
                }
            }
        }
    }
    return true;
}

}  // namespace

void logLuvCellChroma(uint32_t index, double& u, double& v)
{
    constexpr double cell = 0.0035, firstV = 0.016940;
    static const auto starts = cellRowStarts();
    if (index >= starts.back()) {
        u = 4.0 / 19;
        v = 9.0 / 19;
        return;
    }
    // The last row starting at or before the index.
    const size_t row = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), index) - starts.begin()) - 1;
    u = logLuvCellRows[row].firstU + (index - starts[row] + 0.5) * cell;
    v = firstV + (row + 0.5) * cell;
}

int decodeSgiLog(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows, bool luv,
                 bool packed24)
{
    if (packed24) return luv ? decodePacked24(in, out, width, rows) : 10;
    std::vector<uint32_t> values(width);
    size_t pos = 0;
    const size_t rowBytes = static_cast<size_t>(width) * (luv ? 3 : 1);
    for (uint32_t y = 0; y < rows && (y + 1) * rowBytes <= out.size(); y++) {
        if (!readPlanes(in, pos, values, luv ? 4 : 2)) return ResultReadError;
        uint8_t* row = out.data() + y * rowBytes;
        for (uint32_t x = 0; x < width; x++) {
            if (!luv) {
                row[x] = toByte(luminance16(values[x]));
                continue;
            }
            const double u = (((values[x] >> 8) & 0xFF) + 0.5) / 410.0;
            const double v = ((values[x] & 0xFF) + 0.5) / 410.0;
            luvToRgb(luminance16(values[x] >> 16), u, v, row + 3 * x);
        }
    }
    return 0;
}

}  // namespace fotrix::tiff
