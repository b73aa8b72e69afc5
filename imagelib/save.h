#pragma once
// The save pipeline: writes a Bitmap through one of the format table's
// writers. The caller fills SaveParams and calls saveBitmap; the pipeline
// checks the writer's accepted layouts, applies the extension rule and runs
// the writer. Writers never read the Bitmap directly: they describe the rows
// they need in a RowFormat and pull converted rows from the row service.
//
// Files are replaced atomically: the writer writes a temporary file in the
// target's folder, which is renamed over the target only when the writer
// succeeded; on failure the temporary is removed and nothing is left behind.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/result.h"

namespace fotrix {

class AtomicReplace;

enum SaveFlags : uint32_t {
    SaveDiagnostics = 1,         // describe each save on stderr
    SaveReplaceExtension = 64,   // give the file name the format's extension
    SaveCopyName = 128,          // hand the final file name back to the caller
    SaveProgressBar = 256,       // 60 "-" characters on stderr while rows are written
    SaveJpegIcc = 134217728,     // JPEG: write the ICC profile as APP2
};

struct SaveParams {
    int32_t format = -1;        // index in the format table
    uint32_t flags = 0;         // SaveFlags
    uint16_t rle = 0;           // run-length rows: BMP (4 and 8 bits) and Targa
    uint16_t quality = 100;     // JPEG quality 0..100
    uint16_t compression = 6;   // PNG deflate level, above 9 counts as 9
    uint16_t pngFilter = 0;     // 0 library's choice, 1 Sub, 2 Up, 3 Average, 4 Paeth, 5 all five
    uint16_t smoothing = 0;     // JPEG smoothing factor
    uint16_t dctMethod = 65535; // JPEG: 1 fast integer, 2 float, else the library default
    uint16_t sampling = 65535;  // JPEG first component: 0 2x2, 1 2x1, 2 1x1, else defaults
    uint8_t keepExif = 1;       // JPEG: EXIF block as APP1
    uint8_t keepIptc = 1;       // JPEG: IPTC block as APP13
    uint8_t interlace = 0;      // GIF interlaced, PNG Adam7, JPEG progressive
    uint8_t gif87a = 0;         // GIF: "GIF87a" signature
    uint8_t os2Bitmap = 0;      // BMP: 12-byte OS/2 header
    uint8_t optimize = 0;       // JPEG: optimised Huffman tables
    uint8_t lossless = 0;       // WebP: lossless (quality then sets the effort)
};

void saveParamsDefaults(SaveParams& params);

// What one delivered pixel holds.
enum RowSamples : uint16_t {
    SamplesIndex = 0,  // palette index or grey level number, packed at bitsPerPixel (1, 4 or 8)
    SamplesGrey = 1,   // grey value 0..255 (8 bits) or, at 1 bit, the binary value
    SamplesRgb = 2,
    SamplesBgr = 3,
    SamplesRgba = 4,
    SamplesBgra = 5,
    SamplesCmyk = 6,   // C, M, Y, K as stored in a Cmyk bitmap
};

enum PaletteOrder : uint16_t { PaletteOrderRgb = 0, PaletteOrderBgr = 1 };

// A writer's request to the row service.
struct RowFormat {
    const char* description = "";  // the format's name, for the diagnostics
    uint16_t samples = SamplesRgb;
    uint16_t bitsPerPixel = 24;    // 1, 4 or 8 for SamplesIndex/SamplesGrey; 24 or 32 for colour
    uint16_t origin = 0;           // 0 top row first, OriginBottom bottom row first
    int32_t rowsPerCall = 1;       // 1, or the whole height
    uint32_t bytesPerRow = 0;      // bytes of one delivered row; 0: packed size, else padded with zeros
    uint16_t paletteOrder = PaletteOrderRgb;
    uint16_t paletteBits = 8;      // bits of one palette value
    // Filled by beginRows.
    uint8_t* rows = nullptr;       // rowsPerCall rows of bytesPerRow bytes
    uint8_t palette[768] = {};     // 2^bitsPerPixel triples (at most 256) in paletteOrder
    int paletteEntries = 0;
};

// Built by saveBitmap for one save and handed to the writer.
class RowHandoff;

struct WriterContext {
    SaveParams params;
    std::string fileName;          // the final name of the file
    const Bitmap* bitmap = nullptr;
    // Description of the bitmap.
    uint16_t layoutClass = 0;      // AnyTrueColour for every true-colour type, else the type
    bool cmyk = false;
    int bitsPerPixel = 0;          // 24 three-byte and Cmyk, 32 other four-byte, 1 Binary, 8 else
    int width = 0;
    int height = 0;
    int colorCount = 0;
    uint32_t dpiX = 0;
    uint32_t dpiY = 0;
    int transparentIndex = -1;
    const char* comment = nullptr;
    const MetadataBlock* metadata = nullptr;
    // File output.
    FILE* file = nullptr;
    std::shared_ptr<AtomicReplace> replacement;  // the temporary file until the save succeeds
    bool directWrite = false;      // the target is not a regular file: written in place
    std::unique_ptr<char[]> directBuffer;  // the in-place stream's buffer
    bool writeFailed = false;
    // Row service state.
    RowFormat* rowFormat = nullptr;
    void* rowState = nullptr;      // conversion buffers of the row service
    int nextRow = 0;
    int progressShown = 0;
    RowHandoff* handoff = nullptr; // rows come from a load still running
};

// Writes `bitmap` to `fileName` in the format `params.format`. With
// SaveCopyName the final name (after SaveReplaceExtension) is stored in
// `finalName` when given. Returns 0 or a result code (1, 5, 6, 7, 8, 11, 16,
// 18 when the target exists but is read-only: it is then left as it is).
int saveBitmap(const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
               std::string* finalName = nullptr);

// The smallest b from 1 to 8 with 2^b >= n.
int bitsForColours(int n);

// Row service, in this order. beginRows: 0, or 1 when memory runs out.
int beginRows(WriterContext& context, RowFormat& format);
// Converts `count` rows (in the writer's row order) starting at `first`, or
// at the row after the last delivered one when `first` is -1, into format.rows.
void getRows(WriterContext& context, int first, int count);
// For writers that read the bitmap's own pixel layout: the next row in the
// writer's row order straight from the bitmap, without a copy; advances and
// shows progress as getRows does. Null after the last row.
const uint8_t* nextBitmapRow(WriterContext& context);
// For writers handed their rows (imagelib/writers/pushed_writer.h): counts
// one more row written and shows progress, as nextBitmapRow does.
void countRowTaken(WriterContext& context);
// Stored row `stored` converted into the writer's layout, in format.rows.
const uint8_t* convertRowForWriter(WriterContext& context, const uint8_t* stored);
void endRows(WriterContext& context);

// File output for writers. writerOpen: 0, 18 for a read-only target, or 5 when the file cannot be
// created. Writes set a sticky failure flag; writerClose returns 0, or 6 when
// any write (or the final flush) failed.
int writerOpen(WriterContext& context);
void writeBytes(WriterContext& context, const void* data, size_t size);
void writeU8(WriterContext& context, unsigned value);
void writeU16le(WriterContext& context, unsigned value);
void writeU32le(WriterContext& context, uint32_t value);
long writerTell(WriterContext& context);
bool writerSeek(WriterContext& context, long offset);
bool writerFailed(const WriterContext& context);
int writerClose(WriterContext& context);

// Resolution in pixels per metre for a dpi value, as BMP and PNG store it.
uint32_t dpiToPixelsPerMetre(uint32_t dpi);

}  // namespace fotrix
