#pragma once
// The TIFF reader's own records and the decoders it is built from: the
// directory parser (directory.cpp), one decoder family per file, colour
// conversion (colour.cpp) and the driver that hands rows to the pipeline
// (tiff_reader.cpp).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imagelib/reader.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

enum Compression : uint16_t {
    CompressionNone = 1,
    CompressionModifiedHuffman = 2,
    CompressionGroup3 = 3,
    CompressionGroup4 = 4,
    CompressionLzw = 5,
    CompressionOldJpeg = 6,
    CompressionJpeg = 7,
    CompressionDeflate = 8,
    CompressionThunderScan = 32809,
    CompressionPackBits = 32773,
    CompressionDeflateOld = 32946,
    CompressionSgiLog = 34676,
    CompressionSgiLog24 = 34677,
};

enum Photometric : uint16_t {
    WhiteIsZero = 0,
    BlackIsZero = 1,
    PhotometricRgb = 2,
    PhotometricPalette = 3,
    PhotometricSeparated = 5,
    PhotometricYCbCr = 6,
    PhotometricCieLab = 8,
    PhotometricLogL = 32844,
    PhotometricLogLuv = 32845,
};

// An array-valued entry: its type, count and inline value or offset.
struct TiffArray {
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t value = 0;
    bool present = false;
};

// A text or byte block of the directory: where it is and how long.
struct TiffBlock {
    uint32_t offset = 0;
    uint32_t size = 0;
    bool inlineValue = false;
    uint8_t bytes[4] = {};  // the value itself when it fits in the entry
    bool present() const { return size > 0; }
};

struct TiffRational {
    uint32_t numerator = 0;
    uint32_t denominator = 0;
    bool present = false;
};

struct TiffInfo {
    bool bigEndian = false;
    uint32_t ifdOffset = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitsPerSample = 1;
    TiffArray bitsArray;
    uint16_t samplesPerPixel = 1;
    uint16_t planar = 1;
    uint16_t compression = CompressionNone;
    uint16_t photometric = WhiteIsZero;
    uint16_t fillOrder = 1;
    uint16_t predictor = 1;
    uint32_t t4Options = 0;
    uint32_t rowsPerStrip = 0xFFFFFFFF;
    uint16_t orientation = 1;
    TiffArray stripOffsets;
    TiffArray stripByteCounts;
    uint32_t tileWidth = 0;
    uint32_t tileLength = 0;
    TiffArray tileOffsets;
    TiffArray tileByteCounts;
    TiffArray colorMap;
    TiffBlock jpegTables;
    int64_t jpegInterchangeOffset = -1;
    uint32_t jpegInterchangeLength = 0;
    // Old-style JPEG: the process, restart interval and the tables kept in
    // tags of their own (one offset a component) for files whose interchange
    // stream lacks them.
    uint16_t jpegProc = 1;
    uint16_t jpegRestartInterval = 0;
    TiffArray jpegQTables, jpegDcTables, jpegAcTables;
    // ReferenceBlackWhite: footroom and headroom of Y, Cb and Cr codes.
    float referenceBlackWhite[6] = {0, 255, 128, 255, 128, 255};
    float lumaRed = 0.299f, lumaGreen = 0.587f, lumaBlue = 0.114f;
    // TIFF 6 gives 2 x 2 when the tag is absent.
    uint16_t subsampleH = 2, subsampleV = 2;
    uint16_t resolutionUnit = 2;
    TiffRational xResolution, yResolution, xPosition, yPosition;
    uint16_t extraSamples = 0;
    bool hasExtraSamples = false;
    TiffBlock texts[9];  // in the order of textTags
    TiffBlock iptc;
    TiffBlock photoshop;
    TiffBlock icc;
    uint32_t exifIfd = 0;

    bool tiled() const { return tileWidth > 0 && tileLength > 0; }
};

// Text tags in the order kept in TiffInfo::texts.
inline constexpr uint16_t textTags[9] = {269, 270, 271, 272, 305, 306, 315, 316, 33432};
inline constexpr int TextDocumentName = 0;
inline constexpr int TextImageDescription = 1;

// Reads the header and walks the IFD chain: fills the page count and the
// chosen directory. 0, 2 (not TIFF) or 4.
int readDirectory(Stream& stream, ReaderContext& context, TiffInfo& info, uint32_t& pageCount);

// Values of an array entry (SHORT or LONG, inline or at its offset), at most `limit` of them.
bool readArray(Stream& stream, const TiffInfo& info, const TiffArray& array, std::vector<uint32_t>& out, size_t limit);
bool readBlock(Stream& stream, const TiffBlock& block, std::vector<uint8_t>& out);

// Texts, comment and metadata blocks (what the caller asked for).
void readTextsAndMetadata(Stream& stream, ReaderContext& context, const TiffInfo& info);

// Decoders: fill `out` from `in`; 0, 4 when the data ended before `out` was
// full, 9 for bad LZW codes, 10 for data that cannot be decoded.
int decodePackBits(std::span<const uint8_t> in, std::span<uint8_t> out);
int decodeLzw(std::span<const uint8_t> in, std::span<uint8_t> out);
int decodeDeflate(std::span<const uint8_t> in, std::span<uint8_t> out);
int decodeThunderScan(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows);

struct CcittParams {
    uint16_t compression = CompressionGroup4;
    uint32_t t4Options = 0;
    uint32_t width = 0;
    uint32_t rows = 0;
};
// Rows of packed bits, 1 for black, (width + 7) / 8 bytes a row.
int decodeCcitt(std::span<const uint8_t> in, std::span<uint8_t> out, const CcittParams& params);

// LogLuv: rows of 8-bit grey (LogL) or R, G, B (LogLuv). `packed24`: the
// 24-bit form (LogLuv only), three bytes a pixel without run-length coding.
int decodeSgiLog(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows, bool luv,
                 bool packed24);

// One row of the (u', v') cell grid of 24-bit LogLuv pixels (logluv_cells.cpp).
struct LogLuvCellRow {
    double firstU;  // left edge of the row's first cell
    uint16_t count;
};
inline constexpr size_t LogLuvCellRowCount = 163;
extern const std::array<LogLuvCellRow, LogLuvCellRowCount> logLuvCellRows;
// Chromaticity of a 14-bit cell index: the centre of its cell, or the
// neutral point (equal-energy white) for indices past the grid.
void logLuvCellChroma(uint32_t index, double& u, double& v);

// JPEG strips and tiles (the technical-note form): decoded to 8-bit samples,
// `components` a pixel, `rows` rows of `width` pixels.
struct JpegStripParams {
    std::span<const uint8_t> tables;
    uint16_t photometric = PhotometricYCbCr;
    int components = 3;
    uint32_t width = 0;
    uint32_t rows = 0;
};
int decodeJpegStrip(std::span<const uint8_t> in, std::span<uint8_t> out, const JpegStripParams& params);

// A whole JPEG stream (old-style JPEG), decoded row by row. Three
// components come out as R, G, B, or with `keepYCbCr` as Y, Cb, Cr with the
// chroma repeated over its block (no smoothing), for the TIFF conversion.
struct JpegSession;
JpegSession* jpegSessionOpen(std::span<const uint8_t> in, bool keepYCbCr, uint32_t& width, uint32_t& height,
                             int& components);
int jpegSessionReadRow(JpegSession* session, uint8_t* row);  // 0, 4 or 10
void jpegSessionClose(JpegSession* session);

// Old-style JPEG: the stream libjpeg decodes, put together from the
// interchange stream, the table tags and the strips or tiles (old_jpeg.cpp).
struct OldJpegStream {
    std::vector<uint8_t> bytes;
    uint32_t frameWidth = 0;   // of the frame: the picture, or one tile wide
    uint32_t frameHeight = 0;  // and every tile below the one before
    int components = 0;
    bool cut = false;          // the file ends inside a strip or tile
};
// 0, 1 (too large), 4 (a chunk cut short before any data) or 10 (no usable header).
int assembleOldJpeg(Stream& stream, const TiffInfo& info, OldJpegStream& out);

// YCbCr codes to R, G, B by the coefficients and ReferenceBlackWhite, as
// tables built once.
struct YCbCrTables {
    int32_t luma[256], redFromCr[256], blueFromCb[256], greenFromCr[256], greenFromCb[256];
};
void ycbcrTablesInit(YCbCrTables& t, const TiffInfo& info);
void ycbcrTablesConvert(const YCbCrTables& t, const uint8_t* ycc, uint8_t* rgb, uint32_t width);

// Colour conversion and post-processing.
struct YCbCrParams {
    float lumaRed = 0.299f, lumaGreen = 0.587f, lumaBlue = 0.114f;
    uint16_t h = 2, v = 2;
};
// Blocks of h x v luma samples and one Cb, Cr pair to `rows` rows of R, G, B.
void ycbcrToRgb(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows,
                const YCbCrParams& params);
size_t ycbcrStripBytes(uint32_t width, uint32_t rows, const YCbCrParams& params);
// One pixel from its luma and chroma samples.
void ycbcrPixel(int luma, int cb, int cr, const YCbCrParams& params, uint8_t* rgb);

// Horizontal differencing undone on one row of `samples` interleaved
// samples a pixel, 8 or 16 bits a sample.
void undoPredictor(uint8_t* row, uint32_t width, int samples, int bits, bool bigEndian);

extern const std::array<uint8_t, 256> bitReverse;
void reverseBits(std::span<uint8_t> data);

}  // namespace fotrix::tiff
