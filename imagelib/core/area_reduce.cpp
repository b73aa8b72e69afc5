// Area-average reduction while reading: every file pixel adds its value to
// the one or two output columns and rows it covers, with 10-bit fixed-point
// weights; only the ratios are doubles.
#include <algorithm>
#include <cstring>

#include "imagelib/core/pipeline.h"

namespace fotrix {

namespace {

constexpr uint32_t WholeWeight = 1024;

// Output column of each file column and the weight (in 1/1024) of the part
// that stays in it; the rest belongs to the next output column.
void buildColumnTable(AreaAccumulator& area)
{
    const double rx = static_cast<double>(area.inWidth) / area.outWidth;
    area.column.resize(area.inWidth);
    area.columnWeight.resize(area.inWidth);
    double boundary = rx - 1;
    uint32_t out = 0;
    for (int x = 0; x < area.inWidth; ++x) {
        area.column[x] = std::min<uint32_t>(out, area.outWidth - 1);
        if (x < boundary) {
            area.columnWeight[x] = WholeWeight;
        } else {
            const auto f = static_cast<uint32_t>(std::min((x - boundary) * 1024, 1024.0));
            area.columnWeight[x] = WholeWeight - f;
            boundary += rx;
            ++out;
        }
    }
}

// Adds one file row with row weight `rowWeight` (1/1024) to `sums`, and the
// column remainders to the next column.
void addWeighted(const AreaAccumulator& area, const uint8_t* rgb, uint32_t rowWeight, uint64_t* sums)
{
    for (int x = 0; x < area.inWidth; ++x, rgb += 3) {
        uint64_t* cell = sums + area.column[x] * 3;
        const uint64_t stay = area.columnWeight[x] * rowWeight;
        const uint64_t move = (WholeWeight - area.columnWeight[x]) * rowWeight;
        for (int c = 0; c < 3; ++c) {
            cell[c] += (rgb[c] * stay) >> 10;
            cell[3 + c] += (rgb[c] * move) >> 10;
        }
    }
}

void finishRow(AreaAccumulator& area)
{
    const size_t samples = static_cast<size_t>(area.outWidth) * 3;
    for (size_t i = 0; i < samples; ++i)
        area.finished[i] = static_cast<uint8_t>(std::min<uint64_t>(area.current[i] / area.divisor, 255));
    std::swap(area.current, area.next);
    std::fill(area.next.begin(), area.next.end(), 0);
}

}  // namespace

void areaSetUp(AreaAccumulator& area, int inWidth, int inHeight, int outWidth, int outHeight)
{
    area.inWidth = inWidth;
    area.inHeight = inHeight;
    area.outWidth = outWidth;
    area.outHeight = outHeight;
    const double rx = static_cast<double>(inWidth) / outWidth;
    area.ry = static_cast<double>(inHeight) / outHeight;
    area.rowBoundary = area.ry - 1;
    area.divisor = std::max<uint64_t>(static_cast<uint64_t>(rx * area.ry * 1024), 1);
    area.inRow = 0;
    area.outRow = 0;
    buildColumnTable(area);
    const size_t cells = (static_cast<size_t>(outWidth) + 2) * 3;
    area.current.assign(cells, 0);
    area.next.assign(cells, 0);
    area.finished.assign(static_cast<size_t>(outWidth) * 3, 0);
}

int areaAddRow(AreaAccumulator& area, const uint8_t* rgb)
{
    const int y = area.inRow++;
    if (area.outRow >= area.outHeight) return -1;
    if (y < area.rowBoundary) {
        addWeighted(area, rgb, WholeWeight, area.current.data());
        return -1;
    }
    // The row straddles the boundary: part of it finishes the current output
    // row, the rest starts the next one.
    const auto g = static_cast<uint32_t>(std::min((y - area.rowBoundary) * 1024, 1024.0));
    addWeighted(area, rgb, WholeWeight - g, area.current.data());
    addWeighted(area, rgb, g, area.next.data());
    area.rowBoundary += area.ry;
    finishRow(area);
    return area.outRow++;
}

int areaFlush(AreaAccumulator& area)
{
    if (area.outRow >= area.outHeight || area.inRow == 0) return -1;
    finishRow(area);
    return area.outRow++;
}

}  // namespace fotrix
