#pragma once
// Private state of one load: what beginImage decided, the buffers, and the
// row functions chosen once per load.
#include <cstdint>
#include <vector>

#include "imagelib/reader.h"

namespace fotrix {

// What one output pixel of the bitmap is, before the final type is set.
enum class OutputKind : uint8_t { Bit, Byte, Three, Four };

// Everything the row functions need to know about the file's rows and the
// bitmap's pixels.
struct RowGeometry {
    int width = 0;          // pixels of a raw row (or of a row part)
    int planes = 1;
    int bitsPerPlane = 1;
    int bitsPerPixel = 1;   // planes x bitsPerPlane
    int components = 0;
    int sampleBytes = 1;    // bytes of one sample when components >= 1
    uint32_t bytesPerPlane = 0;
    uint32_t sampleFlags = 0;
    uint8_t* scratch = nullptr;
    // Output side.
    OutputKind output = OutputKind::Byte;
    int canonicalBytes = 1;  // bytes of one canonical pixel (0 for packed bits)
    bool paletteIndexes = false;  // canonical pixels are palette indexes / grey levels
    bool keepFileOrder = false;   // CMYK and L*a*b* samples: no reordering
    uint8_t channelPosition[4] = {0, 1, 2, 3};  // where R, G, B, A go in an output pixel
    uint8_t fillAlpha = 255;
    bool deep = false;            // samples kept at 16 bits
    int outputPixelBytes = 1;     // bytes of one bitmap pixel (0 for packed bits)
};

// Turns one raw file row into a canonical row.
using RowUnpacker = void (*)(const uint8_t* raw, uint8_t* canonical, int width, const RowGeometry& geometry);
// Writes `count` canonical pixels into a bitmap row.
using RowStorer = void (*)(const uint8_t* canonical, int plane, uint8_t* target, int count,
                           const RowGeometry& geometry);

RowUnpacker chooseUnpacker(const RowGeometry& geometry);
RowStorer chooseStorer(const RowGeometry& geometry);
// Whether the storer only copies canonical pixels as they are, so that rows
// can be unpacked straight into the bitmap.
bool storerCopiesUnchanged(const RowGeometry& geometry);
// Whether an unpacker only copies raw pixels as they are.
bool unpackerCopiesUnchanged(RowUnpacker unpack);

// Mirrors a canonical row in place (pixels, or bits for packed rows).
void mirrorCanonicalRow(uint8_t* row, int width, const RowGeometry& geometry);

// Area-average reduction while reading: feeds file rows of canonical R, G, B
// pixels, yields finished output rows.
struct AreaAccumulator {
    int inWidth = 0, inHeight = 0, outWidth = 0, outHeight = 0;
    double ry = 1;
    double rowBoundary = 0;
    uint64_t divisor = 1;
    int inRow = 0;   // file rows seen
    int outRow = 0;  // output row being accumulated
    std::vector<uint32_t> column;        // output column of each file column
    std::vector<uint32_t> columnWeight;  // weight in 1/1024 that stays in that column
    std::vector<uint64_t> current, next; // (outWidth + 2) x 3 sums
    std::vector<uint8_t> finished;       // outWidth x 3 samples
};
void areaSetUp(AreaAccumulator& area, int inWidth, int inHeight, int outWidth, int outHeight);
// Adds one file row; returns the number of the finished output row, or -1.
int areaAddRow(AreaAccumulator& area, const uint8_t* rgb);
// The row still being accumulated when the file ends, or -1.
int areaFlush(AreaAccumulator& area);

struct PipelineState {
    ImageHeader* header = nullptr;
    RowGeometry geometry;
    RowUnpacker unpack = nullptr;
    RowStorer store = nullptr;

    int outWidth = 0, outHeight = 0;
    int outBytesPerPixel = 1;  // 0 for packed bits
    bool flipRows = false;     // exactly one of file and wanted origin is bottom-up
    bool mirrorRows = false;   // exactly one of them is right-to-left
    bool planePasses = false;
    bool unpackInPlace = false; // canonical pixels are already the bitmap's pixels
    bool rawIsStored = false;   // ...and raw rows are those pixels too: readers may read into the bitmap
    int placedRow = -1;         // rows the reader placed in the bitmap through rowDestination
    int placedCount = 0;
    RowHandoff* handoff = nullptr; // rows flow to a writer: they go into its band, in order
    int handedRows = 0;            // rows handed over so far
    int64_t deliveredRows = 0;
    int64_t totalRows = 0;
    int runningRow = 0;
    int lastPercent = -1;
    bool cancelled = false;

    enum class Reduction : uint8_t { None, Nearest, Area, AfterLoading, ShrinkAfterLoading } reduction =
        Reduction::None;
    std::vector<int32_t> rowTarget;    // nearest: output row of each file row, -1 skipped
    std::vector<uint32_t> columnSource; // nearest: file column of each output column
    AreaAccumulator area;

    std::vector<uint8_t> rowBuffer;
    std::vector<uint8_t> scratch;
    std::vector<uint8_t> unpacked;   // canonical row, full file width
    std::vector<uint8_t> gathered;   // canonical row after column reduction
};

}  // namespace fotrix
