#pragma once
// The load pipeline, reader side. A reader parses its header into an
// ImageHeader, announces it with beginImage, hands raw rows over with putRows
// (or putRowPart for tiles) and closes with endImage. Everything between the
// file's row layout and the caller's wishes (pixel type, channel order,
// origin, reduction, palettes, colour models) happens in the pipeline.
#include <cstdint>
#include <memory>

#include "imagelib/load.h"
#include "imagelib/stream.h"

namespace fotrix {

// Layout and colour model of a file's samples.
enum SampleFlags : uint32_t {
    SamplePlanesInRow = 1,     // the row carries `planes` planes one after another
    SampleBytePerPixel = 2,    // pixels of up to 8 bits come one byte each
    SamplePlanePasses = 4,     // planes come in separate passes, putRows per plane
    SampleReversed = 8,        // 24-bit B, G, R; 32-bit A, B, G, R
    SampleAlphaFirst = 16,     // 32-bit A, R, G, B
    SampleBgra = 32,           // 24-bit B, G, R; 32-bit B, G, R, A
    SamplePacked16 = 128,      // 15/16-bit packed pixels
    Sample565 = 256,           // red 11-15, green 5-10, blue 0-4
    Sample555RedLow = 512,     // 15 bits with red in bits 0-4
    Sample444High = 1024,      // red 12-15, green 8-11, blue 4-7
    Sample444Low = 2048,       // red 8-11, green 4-7, blue 0-3
    Sample555GapLow = 4096,    // red 11-15, green 6-10, blue 0-4
    Sample555GapMid = 8192,    // red 11-15, green 5-9, blue 0-4
    SampleCmykInverted = 16384,
    SampleCmykInk = 32768,
    SampleLab = 131072,
    SampleLabVariant = 262144,
    SampleLabSigned = 524288,
    SampleLabSignedVariant = 1048576,
    SampleFullPicture = 4194304,
    SampleFullPictureRaw = 16777216,
};

// Origins of files whose rows are columns (turned after loading).
enum ColumnOrigin : uint16_t {
    OriginColumns = 128,
    OriginColumnsRight = 129,
    OriginColumnsBottom = 144,
    OriginColumnsBottomRight = 145,
};

struct ImageHeader {
    uint32_t sampleFlags = 0;
    uint16_t fileOrigin = 0;
    int16_t rowsPerCall = 1;
    uint8_t* rowBuffer = nullptr;  // set by beginImage
    int32_t width = 0;
    int32_t height = 0;
    int16_t planes = 1;
    int16_t bitsPerPlane = 1;
    int16_t components = 0;
    uint32_t bytesPerPlane = 0;
    uint32_t dpiX = 0;
    uint32_t dpiY = 0;
    uint32_t fullWidth = 0;
    uint32_t fullHeight = 0;
    uint32_t fullBytes = 0;
    uint16_t fullBits = 8;
    uint16_t fullComponents = 1;
    uint16_t compression = 0;
    uint16_t colourModel = 0;
    int16_t transparentIndex = -1;
    // Alpha of the first paletteAlphaCount palette entries (PNG transparency,
    // Targa maps of 32-bit entries); later entries are opaque. Used only when
    // a palette picture is delivered with four components.
    int16_t paletteAlphaCount = 0;
    uint8_t paletteAlpha[256] = {};
    char compressionText[160] = {};
    char description[130] = {};
    // Set by beginImage: bytes between the rows of one putRows call in
    // rowBuffer (at least what one row needs; use it rather than your own).
    uint32_t rowStride = 0;
    // The reader hands every row over once, in file order, and nothing read
    // after the rows changes the picture, its comment or its metadata: a
    // conversion may then write each row as soon as it is stored.
    bool rowsInOrder = false;
    // The file is bottom-up (fileOrigin says so), but the reader hands its
    // rows over top row first, read from the file's end: they need no
    // turning over.
    bool rowsTopFirst = false;
};

struct PipelineState;
class RowHandoff;

struct ReaderContext {
    LoadParams params;
    char errorText[64] = {};
    uint32_t imageCount = 1;
    uint32_t readerValues[3] = {};
    uint32_t orientation = 0;   // camera-raw previews: 2 or 4
    bool headerAccepted = false;
    Bitmap* bitmap = nullptr;   // null for getFileInfo
    FileInfo* info = nullptr;   // may be null
    // What setComment/addMetadata/addTextEntry collected.
    char* comment = nullptr;
    MetadataBlock* metadata = nullptr;
    int textCount = 0;
    char* texts[FileInfoMaxTexts] = {};
    std::unique_ptr<PipelineState> pipeline;
    RowHandoff* handoff = nullptr;  // a conversion writing rows while they load

    ReaderContext();
    ~ReaderContext();
    ReaderContext(const ReaderContext&) = delete;
    ReaderContext& operator=(const ReaderContext&) = delete;

    bool infoOnly() const { return (params.options & InfoOnly) != 0; }
    bool option(uint32_t flag) const { return (params.options & flag) != 0; }
};

void imageHeaderDefaults(ImageHeader& header);

// 0, -1 in the information-only mode (the reader stops there), or an error code.
int beginImage(ReaderContext& context, ImageHeader& header);
// 0, or 15 when the load was cancelled.
int putRows(ReaderContext& context, int plane, int row, int count);
// The same for a piece of `w` pixels at column `x` (tiles); row i of the
// piece starts at rowBuffer + i x rowStride. Readers that deliver pieces set
// SampleFullPicture, so that a reduction happens after loading.
int putRowPart(ReaderContext& context, int plane, int row, int count, int x, int w);
// Where a reader may place the raw rows row .. row + count - 1 that it hands
// over next with putRows(context, 0, row, count), row i at i x rowStride: the
// bitmap rows themselves when they would be stored exactly as read (saving a
// copy of every row), else the header's row buffer.
uint8_t* rowDestination(ReaderContext& context, int row, int count);
// Palette formats of endImage.
enum PaletteFormat : int {
    PaletteRgb = 0,         // 3 bytes R, G, B (+512: B, G, R)
    PaletteGrey = 1,        // grey file whose level 0 is white
    Palette333 = 2,
    Palette444Split = 4,
    Palette444 = 8,
    PalettePlanes = 16,     // three planes R, G, B (+512: B, G, R)
    PaletteBgrOrder = 512,
    PaletteRgba = 1024,
    PaletteAbgr = 2048,
    PaletteBgra = 4096,
};
// `palette` holds 2^bpp entries in `paletteFormat` (or is null).
int endImage(ReaderContext& context, int paletteFormat, int paletteBits, const uint8_t* palette);

// Keeps a comment when ReadComment is set and it starts with a printable
// character; a later comment replaces an earlier one. length < 1: NUL-terminated.
void setComment(ReaderContext& context, const char* text, int length);
// Reads `size` bytes as the comment when ReadComment is set, else skips them.
bool readComment(ReaderContext& context, Stream& stream, uint32_t size);
// Appends a metadata block when ReadMetadata is set (ICC pieces are joined).
void addMetadata(ReaderContext& context, uint32_t kind, const uint8_t* data, uint32_t size);
// Keeps "key: value" when ReadTextInfo is set, below 32 entries, value printable.
void addTextEntry(ReaderContext& context, const char* key, const char* value, int length);

// Stores the reader's message (cut to 63 characters) and returns `code`.
int readerFail(ReaderContext& context, int code, const char* message);

}  // namespace fotrix
