// Reduction by area average in 10-bit fixed point: the reduction the load
// pipeline applies to whole pictures. Integer arithmetic only, apart from
// the two ratios.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imagelib/transform.h"
#include "imagelib/processing/transform_common.h"

namespace fotrix {

using namespace transform;

namespace {

constexpr int Whole = -1;  // column table: the pixel lies inside one destination column

// Weight of the part of each source pixel that belongs to the next
// destination pixel, or Whole; the boundary starts at scale - 1.
std::vector<int> fractionTable(double scale, int count)
{
    std::vector<int> table(static_cast<size_t>(count));
    double boundary = scale - 1;
    for (int x = 0; x < count; ++x) {
        if (x < boundary) {
            table[x] = Whole;
        } else {
            table[x] = std::clamp(static_cast<int>((x - boundary) * 1024), 0, 1024);
            boundary += scale;
        }
    }
    return table;
}

// Turns source row y into one byte a sample in the result's layout.
void expandRow(const Bitmap& source, int y, uint16_t resultType, std::vector<uint8_t>& line)
{
    const uint8_t* row = bitmapRow(source, y);
    const int w = source.width;
    if (source.type == Binary) {
        for (int x = 0; x < w; ++x) line[x] = bitGet(row, x) ? 255 : 0;
    } else if (source.type == Grey) {
        const int top = source.colorCount > 1 ? source.colorCount - 1 : 255;
        for (int x = 0; x < w; ++x) line[x] = static_cast<uint8_t>(std::min(row[x] * 255 / top, 255));
    } else if (source.type == Indexed) {
        static const uint8_t black[PaletteBytes] = {};
        const uint8_t* p = source.palette ? source.palette : black;
        const bool bgr = resultType == Bgr;
        for (int x = 0; x < w; ++x) {
            const uint8_t i = row[x];
            line[x * 3 + (bgr ? 2 : 0)] = p[PaletteRed + i];
            line[x * 3 + 1] = p[PaletteGreen + i];
            line[x * 3 + (bgr ? 0 : 2)] = p[PaletteBlue + i];
        }
    } else {
        std::memcpy(line.data(), row, static_cast<size_t>(w) * source.bytesPerPixel);
    }
}

struct ShrinkJob {
    Bitmap& result;
    size_t bpp;
    uint64_t divisor;
    std::vector<int> columns;
    std::vector<uint64_t> current, next;
};

void writeColumn(ShrinkJob& job, int row, int column)
{
    uint8_t* to = bitmapRow(job.result, row) + static_cast<size_t>(column) * job.bpp;
    for (size_t k = 0; k < job.bpp; ++k)
        to[k] = static_cast<uint8_t>(std::min<uint64_t>(job.current[column * job.bpp + k] / job.divisor, 255));
}

// Adds one source row. `g` is the row weight (1/1024) that belongs to the
// next destination row, or -1 when the row lies wholly inside the current one;
// a straddling row also finishes the current destination row, `row`.
void addRow(ShrinkJob& job, const std::vector<uint8_t>& line, int g, int row)
{
    const int width = job.result.width;
    const size_t bpp = job.bpp;
    const bool straddle = g >= 0;
    const uint32_t gNext = straddle ? static_cast<uint32_t>(g) : 0;
    const uint32_t gCurrent = 1024 - gNext;
    int column = 0;
    auto add = [&](size_t at, uint32_t v, uint32_t w) {
        if (!straddle) {
            job.current[at] += v * w;
            return;
        }
        job.current[at] += (v * w * gCurrent) >> 10;
        job.next[at] += (v * w * gNext) >> 10;
    };
    for (size_t x = 0; x < job.columns.size(); ++x) {
        const int f = job.columns[x];
        const uint8_t* px = &line[x * bpp];
        const size_t at = static_cast<size_t>(column) * bpp;
        if (f == Whole) {
            for (size_t k = 0; k < bpp; ++k) add(at + k, px[k], 1024);
            continue;
        }
        const uint32_t wNext = static_cast<uint32_t>(f);
        for (size_t k = 0; k < bpp; ++k) {
            add(at + k, px[k], 1024 - wNext);
            add(at + bpp + k, px[k], wNext);
        }
        // This pixel finishes the destination column.
        if (straddle && column < width) writeColumn(job, row, column);
        if (column < width) ++column;
    }
    if (!straddle) return;
    // Columns the source ran out before finishing are written as they stand.
    for (; column < width; ++column) writeColumn(job, row, column);
    std::swap(job.current, job.next);
    std::fill(job.next.begin(), job.next.end(), 0);
}

}  // namespace

int bitmapShrink(Bitmap& source, Bitmap* output, int width, int height, unsigned indexedTargetType)
{
    if (width < 1 || height < 1) return 16;
    if (source.type == Binary && !(source.width > width && source.height > height)) return 16;
    if (source.type != Binary && source.bitsPerComponent > 8) return 16;  // deep samples are not averaged

    uint16_t type = source.type;
    if (type == Binary) type = Grey;
    else if (type == Indexed) type = indexedTargetType == Bgr ? Bgr : Rgb;

    Bitmap result;
    if (!bitmapAllocate(result, type, source.rowAlignment, width, height)) return 1;
    bitmapCopyAttributes(result, source);
    result.transparentIndex = source.transparentIndex;
    result.colorCount = type == Grey ? 256 : (type == source.type ? source.colorCount : 0);
    if (type == Indexed && source.palette) std::memcpy(result.palette, source.palette, PaletteBytes);

    try {
        const double sx = static_cast<double>(source.width) / width;
        const double sy = static_cast<double>(source.height) / height;
        const size_t bpp = result.bytesPerPixel;
        const size_t cells = (static_cast<size_t>(width) + 10) * bpp;
        ShrinkJob job{result, bpp, std::max<uint64_t>(static_cast<uint64_t>(sx * sy * 1024), 1),
                      fractionTable(sx, source.width), std::vector<uint64_t>(cells, 0),
                      std::vector<uint64_t>(cells, 0)};
        std::vector<uint8_t> line(static_cast<size_t>(source.width) * bpp + 16);
        double boundary = sy - 1;
        int row = 0;
        for (int y = 0; y < source.height && row < height; ++y) {
            expandRow(source, y, type, line);
            int g = -1;
            if (!(y < boundary)) {
                g = std::clamp(static_cast<int>((y - boundary) * 1024), 0, 1024);
                boundary += sy;
            }
            addRow(job, line, g, row);
            if (g >= 0) ++row;
        }
        // Rows the source ran out before finishing are written as they stand.
        for (; row < height; ++row) {
            for (int c = 0; c < width; ++c) writeColumn(job, row, c);
            std::swap(job.current, job.next);
            std::fill(job.next.begin(), job.next.end(), 0);
        }
    } catch (const std::bad_alloc&) {
        return discard(result, 1);
    }
    return storeResult(source, output, result);
}

}  // namespace fotrix
