// ZSoft PCX reader: 1 to 8 planes of 1 to 8 bits (and 15/16-bit packed
// pixels), plain or run-length encoded, with the 16-colour header palette, the
// default palette of version 3 files and the 256-colour palette that version 5
// files append after the marker byte 12.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/readers/buffered_input.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int HeaderSize = 128;
constexpr int PaletteMarker = 12;
// How far after the image data the marker of the 256-colour palette may lie.
constexpr int PaletteSearchBytes = 32;

// The palette that version 3 files use instead of the one in the header.
constexpr uint8_t DefaultPalette[48] = {
    0,   0,   0,   0,   0,   170, 0,   170, 0,   0,   170, 170, 170, 0,   0,   170, 0,   170, 170, 85,  0,   170, 170, 170,
    85,  85,  85,  85,  85,  255, 85,  255, 85,  85,  255, 255, 255, 85,  85,  255, 85,  255, 255, 255, 85,  255, 255, 255,
};

struct PcxHeader {
    int version = 0;
    bool encoded = false;
    int bits = 0;
    int width = 0;
    int height = 0;
    int dpiX = 0;
    int dpiY = 0;
    int planes = 0;
    int bytesPerLine = 0;
    uint8_t palette[48] = {};
};

PcxHeader parseHeader(const uint8_t* raw)
{
    ByteReader reader(std::span<const uint8_t>(raw, HeaderSize));
    PcxHeader header;
    reader.skip(1);
    header.version = reader.u8();
    header.encoded = reader.u8() != 0;
    header.bits = reader.u8();
    const int xmin = reader.u16le();
    const int ymin = reader.u16le();
    const int xmax = reader.u16le();
    const int ymax = reader.u16le();
    header.width = xmax - xmin + 1;
    header.height = ymax - ymin + 1;
    header.dpiX = reader.u16le();
    header.dpiY = reader.u16le();
    reader.read(header.palette, 48);
    reader.skip(1);
    header.planes = reader.u8();
    header.bytesPerLine = reader.u16le();
    return header;
}

// Run-length decoding of one row of `size` bytes. A run may go on past the end
// of the row; what is left of it is kept for the next row. False when the data
// ends first.
class RunDecoder {
public:
    explicit RunDecoder(BufferedInput& input) : input_(input) {}

    bool row(uint8_t* out, size_t size)
    {
        size_t x = 0;
        while (x < size) {
            if (pendingCount_ > 0) {
                const size_t n = std::min(size - x, pendingCount_);
                std::memset(out + x, pendingValue_, n);
                x += n;
                pendingCount_ -= n;
                continue;
            }
            const int byte = input_.next();
            if (byte < 0) {
                std::memset(out + x, 0, size - x);
                return false;
            }
            if (byte < 0xC0) {
                out[x++] = static_cast<uint8_t>(byte);
                continue;
            }
            const int value = input_.next();
            if (value < 0) {
                std::memset(out + x, 0, size - x);
                return false;
            }
            pendingCount_ = static_cast<size_t>(byte & 0x3F);
            pendingValue_ = static_cast<uint8_t>(value);
        }
        return true;
    }

private:
    BufferedInput& input_;
    size_t pendingCount_ = 0;
    uint8_t pendingValue_ = 0;
};

// Looks for the marker byte of the 256-colour palette right after the image
// data and reads the palette behind it. 0 when there is none, 4 when it is cut.
int readAppendedPalette(BufferedInput& input, int entries, uint8_t* palette, bool& found)
{
    found = false;
    for (int i = 0; i < PaletteSearchBytes; ++i) {
        const int byte = input.next();
        if (byte < 0) return 0;
        if (byte == PaletteMarker) {
            found = true;
            const size_t bytes = static_cast<size_t>(entries) * 3;
            return input.read(palette, bytes) == bytes ? 0 : LoadReadError;
        }
    }
    return 0;
}

}  // namespace

int readPcx(Stream& stream, ReaderContext& context)
{
    uint8_t raw[HeaderSize];
    if (!streamReadExact(stream, raw, HeaderSize) || raw[0] != 10) return LoadUnknownFormat;
    const PcxHeader pcx = parseHeader(raw);
    if (pcx.width < 1 || pcx.height < 1 || pcx.planes < 1 || pcx.planes > 8 || pcx.bits < 1 || pcx.bits > 31)
        return readerFail(context, LoadUnknownFormat, "Pcx : Bad picture's size !");

    ImageHeader header;
    imageHeaderDefaults(header);
    header.width = pcx.width;
    header.height = pcx.height;
    header.planes = static_cast<int16_t>(pcx.planes);
    header.bitsPerPlane = static_cast<int16_t>(pcx.bits);
    header.dpiX = static_cast<uint32_t>(pcx.dpiX);
    header.dpiY = static_cast<uint32_t>(pcx.dpiY);
    header.rowsPerCall = 1;
    // Planes follow one another within each row.
    header.sampleFlags = pcx.bits == 15 || pcx.bits == 16 ? uint32_t{SamplePacked16} : 0;
    if (pcx.planes > 1) header.sampleFlags |= SamplePlanesInRow;
    header.compression = pcx.encoded ? 1 : 0;
    std::strcpy(header.description, "Zsoft Paintbrush");
    // The pipeline gets rows of exactly the bytes the width needs; the file's
    // line length may be padded (or, in damaged files, too short).
    const size_t needed = (static_cast<size_t>(pcx.width) * static_cast<size_t>(pcx.bits) + 7) / 8;
    header.bytesPerPlane = static_cast<uint32_t>(needed);

    const int begun = beginImage(context, header);
    if (begun != 0) return begun;

    const size_t lineBytes = static_cast<size_t>(pcx.bytesPerLine);
    const size_t fileRowBytes = lineBytes * static_cast<size_t>(pcx.planes);
    // At least one byte, so that a line length of 0 still gives a real buffer.
    std::vector<uint8_t> fileRow(std::max<size_t>(fileRowBytes, 1));
    const size_t keep = std::min(lineBytes, needed);
    BufferedInput input(stream);
    RunDecoder runs(input);
    int result = LoadOk;
    bool complete = true;

    for (int y = 0; y < pcx.height; ++y) {
        bool whole;
        if (pcx.encoded) {
            whole = runs.row(fileRow.data(), fileRowBytes);
        } else {
            whole = input.read(fileRow.data(), fileRowBytes) == fileRowBytes;
            if (!whole) {
                result = LoadReadError;
                complete = false;
                break;
            }
        }
        uint8_t* target = header.rowBuffer;
        for (int plane = 0; plane < pcx.planes; ++plane) {
            uint8_t* piece = target + static_cast<size_t>(plane) * needed;
            std::memcpy(piece, fileRow.data() + static_cast<size_t>(plane) * lineBytes, keep);
            std::memset(piece + keep, 0, needed - keep);
        }
        const int put = putRows(context, 0, y, 1);
        if (put != 0) return put;
        if (!whole) {
            complete = false;  // run-length data cut short: what was decoded stays
            break;
        }
    }

    // Palettes: 3 bytes an entry, R, G, B.
    const int depth = pcx.planes * pcx.bits;
    uint8_t palette[768] = {};
    const uint8_t* usePalette = nullptr;
    if (complete && pcx.version == 5 && depth <= 8) {
        bool found = false;
        const int paletteResult = readAppendedPalette(input, 1 << depth, palette, found);
        if (paletteResult != 0) result = paletteResult;
        else if (found) usePalette = palette;
    }
    if (!usePalette && depth >= 3 && depth <= 7) {
        std::memcpy(palette, pcx.version == 3 ? DefaultPalette : pcx.palette, 48);
        usePalette = palette;
    }
    // Four-colour (CGA mode) pictures take their colours from the first four
    // header entries, where the painting program stores them; a header left
    // empty keeps the grey levels.
    if (!usePalette && depth == 2 && pcx.version != 3 &&
        std::any_of(pcx.palette, pcx.palette + 12, [](uint8_t v) { return v != 0; })) {
        std::memcpy(palette, pcx.palette, 12);
        usePalette = palette;
    }
    const int ended = endImage(context, PaletteRgb, 8, usePalette);
    return ended != 0 ? ended : result;
}

}  // namespace fotrix
