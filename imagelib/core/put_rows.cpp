// putRows and putRowPart: each raw row is counted, reported, unpacked,
// mirrored when needed, reduced and stored into the bitmap.
#include <algorithm>
#include <cstring>

#include "imagelib/core/pipeline.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

namespace {

// Counts the row and asks the callbacks; 15 when the load must stop now.
int reportRow(ReaderContext& context, PipelineState& p, int row)
{
    const LoadParams& params = context.params;
    ++p.deliveredRows;
    if (params.rowCallback && params.rowCallback(row, p.header->height, params.rowCallbackData)) p.cancelled = true;
    if (params.cancelCallback && (params.cancelCallback(params.cancelData) & 0xFF)) {
        p.cancelled = true;
        return LoadCancelled;
    }
    if (params.progressCallback && p.totalRows > 0) {
        const int percent = static_cast<int>(std::min<int64_t>(p.deliveredRows * 100 / p.totalRows, 100));
        if (percent != p.lastPercent) {
            p.lastPercent = percent;
            params.progressCallback(percent, params.progressData);
        }
    }
    return LoadOk;
}

// The picture row a file row lands in, and the next running row number.
int targetRow(PipelineState& p, int row)
{
    const int height = p.header->height;
    if (row < 0 || row >= height) row = p.runningRow;
    p.runningRow = row + 1 >= height ? 0 : row + 1;
    return p.flipRows ? height - 1 - row : row;
}

uint8_t* outputPixel(const Bitmap& bitmap, const PipelineState& p, int row, int column)
{
    return bitmapRow(bitmap, row) + static_cast<size_t>(column) * p.outBytesPerPixel;
}

// Copies the canonical pixels of the kept columns into `gathered`.
void gatherColumns(const PipelineState& p, const uint8_t* row, uint8_t* gathered, int from, int to, int offset)
{
    const RowGeometry& g = p.geometry;
    if (g.output == OutputKind::Bit) {
        std::memset(gathered, 0, (static_cast<size_t>(to - from) + 7) / 8);
        for (int i = from; i < to; ++i) bitOr(gathered, i - from, bitGet(row, p.columnSource[i] - offset));
        return;
    }
    const int size = g.canonicalBytes;
    for (int i = from; i < to; ++i)
        std::memcpy(gathered + (i - from) * size, row + (p.columnSource[i] - offset) * size, size);
}

// Stores `count` canonical pixels at output column `column` (bit output may
// start inside a byte when a row part does).
void storePixels(ReaderContext& context, PipelineState& p, const uint8_t* canonical, int plane, int row, int column,
                 int count)
{
    const Bitmap& bitmap = *context.bitmap;
    if (!bitmap.pixels || count <= 0) return;
    if (p.geometry.output == OutputKind::Bit && column % 8 != 0) {
        uint8_t* target = bitmapRow(bitmap, row);
        for (int i = 0; i < count; ++i) bitSet(target, column + i, bitGet(canonical, i));
        return;
    }
    uint8_t* target = p.geometry.output == OutputKind::Bit ? bitmapRow(bitmap, row) + column / 8
                                                            : outputPixel(bitmap, p, row, column);
    p.store(canonical, plane, target, count, p.geometry);
}

// Unpacks a whole raw row into the picture row `target` (at its own size).
void storeWholeRow(PipelineState& p, const uint8_t* raw, int plane, uint8_t* target)
{
    const int width = p.header->width;
    if (p.unpackInPlace) {
        // The canonical row is the bitmap row: unpack straight into it.
        p.unpack(raw, target, width, p.geometry);
        if (p.mirrorRows) mirrorCanonicalRow(target, width, p.geometry);
        return;
    }
    uint8_t* unpacked = p.unpacked.data();
    p.unpack(raw, unpacked, width, p.geometry);
    if (p.mirrorRows) mirrorCanonicalRow(unpacked, width, p.geometry);
    p.store(unpacked, plane, target, width, p.geometry);
}

void deliverFullRow(ReaderContext& context, PipelineState& p, const uint8_t* raw, int plane, int target)
{
    using Reduction = PipelineState::Reduction;
    if (p.reduction != Reduction::Nearest && p.reduction != Reduction::Area) {
        // Full size (a reduction after loading works on the whole picture).
        if (context.bitmap->pixels) storeWholeRow(p, raw, plane, bitmapRow(*context.bitmap, target));
        return;
    }
    const int width = p.header->width;
    uint8_t* unpacked = p.unpacked.data();
    p.unpack(raw, unpacked, width, p.geometry);
    if (p.mirrorRows) mirrorCanonicalRow(unpacked, width, p.geometry);
    if (p.reduction == Reduction::Nearest) {
        gatherColumns(p, unpacked, p.gathered.data(), 0, p.outWidth, 0);
        storePixels(context, p, p.gathered.data(), plane, p.rowTarget[target], 0, p.outWidth);
        return;
    }
    const int finished = areaAddRow(p.area, unpacked);
    if (finished < 0) return;
    const int out = p.flipRows ? p.outHeight - 1 - finished : finished;
    storePixels(context, p, p.area.finished.data(), plane, out, 0, p.outWidth);
}

void deliverRowPart(ReaderContext& context, PipelineState& p, const uint8_t* raw, int plane, int target, int x,
                    int w)
{
    uint8_t* unpacked = p.unpacked.data();
    p.unpack(raw, unpacked, w, p.geometry);
    if (p.mirrorRows) {
        mirrorCanonicalRow(unpacked, w, p.geometry);
        x = p.header->width - x - w;
    }
    if (p.reduction != PipelineState::Reduction::Nearest) {
        storePixels(context, p, unpacked, plane, target, x, w);
        return;
    }
    // The output columns whose file column lies inside this part.
    const auto first = std::lower_bound(p.columnSource.begin(), p.columnSource.end(), static_cast<uint32_t>(x));
    const auto last = std::lower_bound(first, p.columnSource.end(), static_cast<uint32_t>(x + w));
    const int from = static_cast<int>(first - p.columnSource.begin());
    const int to = static_cast<int>(last - p.columnSource.begin());
    gatherColumns(p, unpacked, p.gathered.data(), from, to, x);
    storePixels(context, p, p.gathered.data(), plane, p.rowTarget[target], from, to - from);
}

// Rows flowing to a writer: each goes into the hand-off's band, in order,
// and is handed over as soon as it is stored.
int handRowsOver(ReaderContext& context, PipelineState& p, int plane, int row, int count, bool placed)
{
    const ImageHeader& h = *p.header;
    for (int i = 0; i < count; ++i) {
        const int target = targetRow(p, row < 0 ? -1 : row + i);
        if (target != p.handedRows) return readerFail(context, LoadCorrupt, "Rows out of order");
        if (reportRow(context, p, target) != LoadOk) return LoadCancelled;
        if (!placed) {
            uint8_t* destination = p.handoff->rowsForLoading(target, 1);
            if (!destination) return LoadCancelled;  // the writer stopped
            storeWholeRow(p, h.rowBuffer + static_cast<size_t>(i) * h.rowStride, plane, destination);
        }
        p.handedRows = target + 1;
        p.handoff->rowsLoaded(p.handedRows);
    }
    return p.cancelled ? LoadCancelled : LoadOk;
}

// The shared walk of putRows and putRowPart; w < 0 means whole rows.
int deliverRows(ReaderContext& context, int plane, int row, int count, int x, int w)
{
    if (!context.pipeline || !context.pipeline->header) return LoadCorrupt;
    PipelineState& p = *context.pipeline;
    const ImageHeader& h = *p.header;
    const int rowsInBuffer = std::max<int>(h.rowsPerCall, 1);
    count = std::min(count, rowsInBuffer);
    // Rows the reader read straight into the bitmap are only counted.
    const bool placed = w < 0 && p.placedCount > 0 && row == p.placedRow && count <= p.placedCount;
    p.placedCount = 0;
    if (p.handoff) {
        if (w >= 0) return readerFail(context, LoadCorrupt, "Row parts cannot be handed over");
        return handRowsOver(context, p, plane, row, count, placed);
    }
    for (int i = 0; i < count; ++i) {
        const int target = targetRow(p, row < 0 ? -1 : row + i);
        if (reportRow(context, p, target) != LoadOk) return LoadCancelled;
        if (placed) continue;
        if (p.reduction == PipelineState::Reduction::Nearest && p.rowTarget[target] < 0) continue;
        const uint8_t* raw = h.rowBuffer + static_cast<size_t>(i) * h.rowStride;
        if (w < 0) deliverFullRow(context, p, raw, plane, target);
        else deliverRowPart(context, p, raw, plane, target, x, w);
    }
    return p.cancelled ? LoadCancelled : LoadOk;
}

}  // namespace

int putRows(ReaderContext& context, int plane, int row, int count)
{
    return deliverRows(context, plane, row, count, 0, -1);
}

uint8_t* rowDestination(ReaderContext& context, int row, int count)
{
    if (!context.pipeline || !context.pipeline->header) return nullptr;
    PipelineState& p = *context.pipeline;
    const ImageHeader& h = *p.header;
    const Bitmap& bitmap = *context.bitmap;
    p.placedCount = 0;
    const bool fits = row >= 0 && count >= 1 && count <= std::max<int>(h.rowsPerCall, 1) && row + count <= h.height;
    if (p.handoff) {
        // Into the writer's band, when the rows are the next ones and lie side by side there.
        if (!p.rawIsStored || !fits || row != p.handedRows || !p.handoff->rowsLieTogether(row, count, h.rowStride))
            return h.rowBuffer;
        uint8_t* destination = p.handoff->rowsForLoading(row, count);
        if (!destination) return h.rowBuffer;  // the writer stopped: putRows says so
        p.placedRow = row;
        p.placedCount = count;
        return destination;
    }
    // Several rows go in one block only where the bitmap's rows follow one
    // another at the reader's stride, top to bottom.
    const bool contiguous = count == 1 || (!p.flipRows && h.rowStride == bitmap.bytesPerRow);
    if (!p.rawIsStored || !bitmap.pixels || !fits || !contiguous) return h.rowBuffer;
    p.placedRow = row;
    p.placedCount = count;
    return bitmapRow(bitmap, p.flipRows ? h.height - 1 - row : row);
}

int putRowPart(ReaderContext& context, int plane, int row, int count, int x, int w)
{
    if (!context.pipeline || !context.pipeline->header) return LoadCorrupt;
    const ImageHeader& h = *context.pipeline->header;
    if (x < 0 || w < 1 || x >= h.width) return LoadOk;
    w = std::min(w, h.width - x);
    if (context.pipeline->reduction == PipelineState::Reduction::Area)
        return readerFail(context, LoadCorrupt, "Row parts need the full picture before reduction");
    return deliverRows(context, plane, row, count, x, w);
}

}  // namespace fotrix
