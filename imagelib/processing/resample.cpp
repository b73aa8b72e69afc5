// Resizing: the area-weighted interpolating resampler (the default resize)
// and nearest neighbour.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/transform.h"
#include "imagelib/processing/transform_common.h"

namespace fotrix {

using namespace transform;

void fitIntoBox(int w, int h, int bw, int bh, int& outW, int& outH)
{
    int64_t width = bw;
    int64_t height = w > 0 ? int64_t{h} * bw / w : 1;
    if (height > bh) {
        height = bh;
        width = h > 0 ? int64_t{w} * bh / h : 1;
    }
    outW = static_cast<int>(std::max<int64_t>(width, 1));
    outH = static_cast<int>(std::max<int64_t>(height, 1));
}

int bitmapResizeNearest(Bitmap& source, Bitmap* output, int width, int height)
{
    if (width < 1 || height < 1) return 16;
    Bitmap result;
    if (!bitmapAllocateDeep(result, source.type, source.rowAlignment, width, height, copyBits(source))) return 1;
    if (!finishLike(result, source)) return discard(result, 1);

    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) columns[x] = static_cast<int>(int64_t{source.width} * x / width);
    const size_t bpp = source.bytesPerPixel;
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = bitmapRow(source, static_cast<int>(int64_t{source.height} * y / height));
        uint8_t* to = bitmapRow(result, y);
        if (source.type == Binary) {
            std::memset(to, 0, result.bytesPerRow);
            for (int x = 0; x < width; ++x) bitOr(to, x, bitGet(from, columns[x]));
        } else {
            for (int x = 0; x < width; ++x) std::memcpy(to + x * bpp, from + columns[x] * bpp, bpp);
        }
    }
    return storeResult(source, output, result);
}

namespace {

// One step of the walk that merges the destination grid of an axis with the
// source grid: a segment of `length` source pixels taken from pixel `source`,
// `fraction` being where the segment ends inside that pixel (for the
// interpolating kernels), and whether it finishes a destination pixel.
struct Segment {
    int source;
    double length;
    double fraction;
    bool finishesDestination;
};

struct AxisWalk {
    double scale;      // source pixels per destination pixel
    double end = 0;    // end of the last finished destination pixel
    int index = 0;     // current source pixel
    double boundary = 0;  // last whole-number source boundary passed
    double position = 0;  // position reached

    Segment next()
    {
        const double e = end + scale;
        Segment segment{index, 0, 0, false};
        if (e <= index + 1 + 0.0001) {
            end = e;
            segment.length = e - position;
            segment.fraction = e - boundary;
            segment.finishesDestination = true;
        } else {
            ++index;
            boundary = index;
            segment.length = index - position;
            segment.fraction = 1.0;
        }
        position += segment.length;
        return segment;
    }
};

// The x segments are the same for every row: walk them once.
std::vector<Segment> walkAxis(double scale, int destinationCount, int sourceCount)
{
    std::vector<Segment> segments;
    AxisWalk walk{scale};
    for (int done = 0; done < destinationCount;) {
        Segment segment = walk.next();
        segment.source = std::min(segment.source, sourceCount - 1);
        segments.push_back(segment);
        if (segment.finishesDestination) ++done;
    }
    return segments;
}

enum class Kernel { Area, LinearX, LinearY, Bilinear };

struct ResampleJob {
    const Bitmap& source;
    Bitmap& result;
    double sx, sy;
    Kernel kernel;
    std::vector<Segment> columns;
    std::vector<double> accumulator;
};

// Adds one source-row segment (row `row`, fraction `fy`, weight `ly`) to the accumulator.
void accumulateRow(ResampleJob& job, int row, double fy, double ly)
{
    const Bitmap& s = job.source;
    const size_t bpp = s.bytesPerPixel;
    const uint8_t* r0 = bitmapRow(s, row);
    const uint8_t* r1 = bitmapRow(s, std::min(row + 1, s.height - 1));
    size_t column = 0;
    for (const Segment& seg : job.columns) {
        const size_t x0 = static_cast<size_t>(seg.source) * bpp;
        const size_t x1 = static_cast<size_t>(std::min(seg.source + 1, s.width - 1)) * bpp;
        const double fx = seg.fraction;
        const double weight = seg.length * ly;
        double* acc = &job.accumulator[column * bpp];
        for (size_t k = 0; k < bpp; ++k) {
            double sample;
            switch (job.kernel) {
            case Kernel::Area: sample = r0[x0 + k]; break;
            case Kernel::LinearX: sample = r0[x0 + k] * (1 - fx) + r0[x1 + k] * fx; break;
            case Kernel::LinearY: sample = r0[x0 + k] * (1 - fy) + r1[x0 + k] * fy; break;
            default:
                sample = (r0[x0 + k] * (1 - fx) + r0[x1 + k] * fx) * (1 - fy) +
                         (r1[x0 + k] * (1 - fx) + r1[x1 + k] * fx) * fy;
            }
            acc[k] += sample * weight;
        }
        if (seg.finishesDestination) ++column;
    }
}

void writeRow(ResampleJob& job, int row)
{
    uint8_t* to = bitmapRow(job.result, row);
    const double factor = 1 / (job.sy * job.sx);
    const size_t bytes = std::min<size_t>(job.result.bytesPerRow, job.accumulator.size());
    for (size_t i = 0; i < bytes; ++i) {
        const double v = job.accumulator[i] * factor + 0.0001;
        to[i] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
    }
    std::fill(job.accumulator.begin(), job.accumulator.end(), 0.0);
}

}  // namespace

int bitmapResample(Bitmap& source, Bitmap* output, int width, int height, int method)
{
    if (width < 1 || height < 1) return 16;
    // Indices cannot be averaged; deep samples are not averaged either.
    if (method == ResampleNearest || source.type == Binary || source.type == Indexed || source.bitsPerComponent > 8)
        return bitmapResizeNearest(source, output, width, height);

    Bitmap result;
    if (!bitmapAllocate(result, source.type, source.rowAlignment, width, height)) return 1;
    if (!finishLike(result, source)) return discard(result, 1);

    const double sx = static_cast<double>(source.width) / width;
    const double sy = static_cast<double>(source.height) / height;
    Kernel kernel = Kernel::Area;
    if (sx < 1 && sy < 1) kernel = Kernel::Bilinear;
    else if (sx < 1) kernel = Kernel::LinearX;
    else if (sy < 1) kernel = Kernel::LinearY;
    ResampleJob job{source, result, sx, sy, kernel, walkAxis(sx, width, source.width),
                    std::vector<double>((static_cast<size_t>(width) + 10) * source.bytesPerPixel, 0.0)};

    AxisWalk rows{sy};
    for (int row = 0; row < height;) {
        const Segment seg = rows.next();
        accumulateRow(job, std::min(seg.source, source.height - 1), seg.fraction, seg.length);
        if (seg.finishesDestination) writeRow(job, row++);
    }
    return storeResult(source, output, result);
}

}  // namespace fotrix
