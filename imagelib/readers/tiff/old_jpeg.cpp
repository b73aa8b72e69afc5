// Old-style JPEG (compression 6). Writers of this form split one JPEG frame
// over the file in several ways: a whole interchange stream at
// JPEGInterchangeFormat; an interchange stream holding only the tables and
// the frame header, the scan header and data following in the strips; or no
// stream at all, the tables in tags of their own and bare entropy-coded data
// in the strips or tiles. Each strip (tile) then starts afresh, as after a
// restart marker. The reader puts one ordinary stream together from these
// pieces and lets libjpeg decode it, as libtiff does.
#include <algorithm>
#include <cstring>

#include "imagelib/readers/tiff/tiff_internal.h"

namespace fotrix::tiff {

namespace {

constexpr size_t MaxStreamBytes = size_t{512} << 20;

enum Marker : uint8_t {
    MarkerSof0 = 0xC0,
    MarkerSof1 = 0xC1,
    MarkerDht = 0xC4,
    MarkerRst0 = 0xD0,
    MarkerSoi = 0xD8,
    MarkerEoi = 0xD9,
    MarkerSos = 0xDA,
    MarkerDqt = 0xDB,
    MarkerDri = 0xDD,
};

// What the marker segments read so far gave.
struct Header {
    std::vector<uint8_t> quantTables;    // DQT segments
    std::vector<uint8_t> huffmanTables;  // DHT segments
    std::vector<uint8_t> frame;          // the SOF segment
    std::vector<uint8_t> scan;           // the SOS segment
    uint16_t restartInterval = 0;
};

void putMarker(std::vector<uint8_t>& out, uint8_t marker, size_t length)
{
    out.insert(out.end(), {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
}

// Reads marker segments from `pos` until a scan header (which it keeps), an
// end of image, a byte that starts no marker or the end of `bytes`; returns
// where it stopped.
size_t readSegments(std::span<const uint8_t> bytes, size_t pos, Header& h)
{
    while (pos + 1 < bytes.size() && bytes[pos] == 0xFF) {
        size_t at = pos + 1;
        while (at < bytes.size() && bytes[at] == 0xFF) at++;  // fill bytes
        if (at >= bytes.size()) return pos;
        const uint8_t marker = bytes[at];
        if (marker == MarkerSoi || (marker >= MarkerRst0 && marker < MarkerRst0 + 8)) {
            pos = at + 1;
            continue;
        }
        if (marker == MarkerEoi || at + 2 >= bytes.size()) return pos;
        const size_t length = static_cast<size_t>(bytes[at + 1]) << 8 | bytes[at + 2];
        if (length < 2 || at + 1 + length > bytes.size()) return pos;
        const std::span<const uint8_t> segment = bytes.subspan(at - 1, length + 2);  // from the marker's 0xFF
        std::vector<uint8_t> copy(segment.begin(), segment.end());
        pos = at + 1 + length;
        switch (marker) {
        case MarkerDqt: h.quantTables.insert(h.quantTables.end(), copy.begin(), copy.end()); break;
        case MarkerDht: h.huffmanTables.insert(h.huffmanTables.end(), copy.begin(), copy.end()); break;
        case MarkerSof0: case MarkerSof1: h.frame = std::move(copy); break;
        case MarkerDri:
            if (length >= 4) h.restartInterval = static_cast<uint16_t>(bytes[at + 3] << 8 | bytes[at + 4]);
            break;
        case MarkerSos:
            h.scan = std::move(copy);
            return pos;
        default: break;  // application data, comments and the like
        }
    }
    return pos;
}

// Tables kept in tags: per component an offset to 64 quantisation values, or
// to 16 code counts and their symbols.
bool tablesFromTags(Stream& stream, const TiffInfo& info, int components, Header& h)
{
    std::vector<uint32_t> quant, dc, ac;
    if (h.quantTables.empty()) {
        if (!readArray(stream, info, info.jpegQTables, quant, 4) || quant.size() < static_cast<size_t>(components))
            return false;
        for (int c = 0; c < components; c++) {
            uint8_t values[64];
            if (!streamSeek(stream, quant[c]) || !streamReadExact(stream, values, sizeof values)) return false;
            putMarker(h.quantTables, MarkerDqt, 67);
            h.quantTables.push_back(static_cast<uint8_t>(c));
            h.quantTables.insert(h.quantTables.end(), values, values + 64);
        }
    }
    if (h.huffmanTables.empty()) {
        if (!readArray(stream, info, info.jpegDcTables, dc, 4) || !readArray(stream, info, info.jpegAcTables, ac, 4) ||
            dc.size() < static_cast<size_t>(components) || ac.size() < static_cast<size_t>(components))
            return false;
        for (int c = 0; c < 2 * components; c++) {
            const bool isAc = c >= components;
            const int index = c % components;
            uint8_t counts[16], symbols[256];
            if (!streamSeek(stream, isAc ? ac[index] : dc[index]) || !streamReadExact(stream, counts, 16)) return false;
            size_t total = 0;
            for (uint8_t n : counts) total += n;
            if (total > sizeof symbols || !streamReadExact(stream, symbols, total)) return false;
            putMarker(h.huffmanTables, MarkerDht, 19 + total);
            h.huffmanTables.push_back(static_cast<uint8_t>((isAc ? 0x10 : 0) | index));
            h.huffmanTables.insert(h.huffmanTables.end(), counts, counts + 16);
            h.huffmanTables.insert(h.huffmanTables.end(), symbols, symbols + total);
        }
    }
    stream.failed = false;
    return true;
}

void synthesiseFrame(const TiffInfo& info, uint32_t width, uint32_t height, int components, Header& h)
{
    putMarker(h.frame, MarkerSof0, 8 + 3 * components);
    h.frame.insert(h.frame.end(), {8, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
                                   static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
                                   static_cast<uint8_t>(components)});
    const bool subsampled = components == 3 && info.photometric == PhotometricYCbCr;
    for (int c = 0; c < components; c++) {
        const int hs = c == 0 && subsampled ? std::clamp<int>(info.subsampleH, 1, 4) : 1;
        const int vs = c == 0 && subsampled ? std::clamp<int>(info.subsampleV, 1, 4) : 1;
        h.frame.insert(h.frame.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(hs << 4 | vs), static_cast<uint8_t>(c)});
    }
}

// A scan of every component of the frame, component c with tables c.
void synthesiseScan(Header& h)
{
    const int components = h.frame.size() >= 10 ? h.frame[9] : 0;
    putMarker(h.scan, MarkerSos, 6 + 2 * components);
    h.scan.push_back(static_cast<uint8_t>(components));
    for (int c = 0; c < components; c++) {
        const uint8_t id = h.frame.size() >= static_cast<size_t>(10 + 3 * c + 1) ? h.frame[10 + 3 * c] : 0;
        h.scan.insert(h.scan.end(), {id, static_cast<uint8_t>(c << 4 | c)});
    }
    h.scan.insert(h.scan.end(), {0, 63, 0});
}

// Frame size and largest sampling factors from a SOF segment.
bool frameShape(const std::vector<uint8_t>& frame, uint32_t& width, uint32_t& height, int& components, int& maxH,
                int& maxV)
{
    if (frame.size() < 10) return false;
    height = static_cast<uint32_t>(frame[5] << 8 | frame[6]);
    width = static_cast<uint32_t>(frame[7] << 8 | frame[8]);
    components = frame[9];
    if (components < 1 || components > 4 || frame.size() < static_cast<size_t>(10 + 3 * components)) return false;
    maxH = maxV = 1;
    for (int c = 0; c < components; c++) {
        maxH = std::max(maxH, frame[11 + 3 * c] >> 4);
        maxV = std::max(maxV, frame[11 + 3 * c] & 15);
    }
    return width > 0 && height > 0;
}

// Restart markers that the entropy-coded data itself holds.
size_t countRestarts(std::span<const uint8_t> data)
{
    size_t n = 0;
    for (size_t i = 0; i + 1 < data.size(); i++)
        if (data[i] == 0xFF && data[i + 1] >= MarkerRst0 && data[i + 1] < MarkerRst0 + 8) n++;
    return n;
}

// Reads `count` bytes at `offset`, as many as the file holds; `cut` tells
// that it held fewer.
bool readChunk(Stream& stream, uint32_t offset, uint32_t count, std::vector<uint8_t>& out, bool& cut)
{
    out.clear();
    cut = offset >= stream.size || count > stream.size - offset;
    if (offset == 0 || offset >= stream.size || count == 0) return true;  // a missing chunk adds nothing
    const size_t size = static_cast<size_t>(std::min<uint64_t>(count, stream.size - offset));
    if (size > MaxStreamBytes) return false;
    out.resize(size);
    const bool good = streamSeek(stream, offset) && streamReadExact(stream, out.data(), size);
    stream.failed = false;
    return good;
}

}  // namespace

int assembleOldJpeg(Stream& stream, const TiffInfo& info, OldJpegStream& out)
{
    if (info.jpegProc != 1) return ResultCorrupt;  // only the baseline process has a libjpeg decoder here
    Header h;
    h.restartInterval = info.jpegRestartInterval;

    // The interchange stream, when it is one (it must begin with SOI; some
    // writers point the tag at other data).
    std::vector<uint8_t> interchange;
    if (info.jpegInterchangeOffset > 0 && static_cast<uint64_t>(info.jpegInterchangeOffset) < stream.size) {
        const uint32_t offset = static_cast<uint32_t>(info.jpegInterchangeOffset);
        const uint64_t rest = stream.size - offset;
        const uint32_t length = info.jpegInterchangeLength && info.jpegInterchangeLength <= rest
                                    ? info.jpegInterchangeLength
                                    : static_cast<uint32_t>(std::min<uint64_t>(rest, UINT32_MAX));
        bool cut = false;  // the length tag is often wrong: not a sign of a damaged file
        if (!readChunk(stream, offset, length, interchange, cut)) return ResultNoMemory;
        if (interchange.size() < 2 || interchange[0] != 0xFF || interchange[1] != MarkerSoi) interchange.clear();
    }
    const size_t dataStart = readSegments(interchange, 0, h);
    // A scan header with data behind it inside the interchange stream: that
    // stream is the whole picture.
    const bool dataInInterchange = !h.scan.empty() && dataStart < interchange.size();

    std::vector<uint32_t> offsets, counts;
    const bool tiled = info.tiled();
    const TiffArray& offsetTag = tiled && info.tileOffsets.present ? info.tileOffsets : info.stripOffsets;
    const TiffArray& countTag = tiled && info.tileOffsets.present ? info.tileByteCounts : info.stripByteCounts;
    std::vector<std::vector<uint8_t>> chunks;
    size_t firstChunkStart = 0;
    if (!dataInInterchange) {
        if (!readArray(stream, info, offsetTag, offsets, 1u << 20)) return ResultCorrupt;
        if (!readArray(stream, info, countTag, counts, offsets.size())) counts.clear();
        counts.resize(offsets.size(), 0);
        size_t total = 0;
        for (size_t i = 0; i < offsets.size(); i++) {
            std::vector<uint8_t> chunk;
            bool cut = false;
            if (!readChunk(stream, offsets[i], counts[i], chunk, cut)) return ResultNoMemory;
            out.cut = out.cut || (cut && offsets[i] != 0);
            total += chunk.size();
            if (total > MaxStreamBytes) return ResultNoMemory;
            chunks.push_back(std::move(chunk));
        }
        // The first strip may carry the rest of the header, the scan header at least.
        if (!chunks.empty() && h.scan.empty()) firstChunkStart = readSegments(chunks[0], 0, h);
    }

    const int components = std::clamp<int>(info.samplesPerPixel, 1, 4);
    const uint32_t across = tiled ? (info.width + info.tileWidth - 1) / info.tileWidth : 1;
    const uint32_t down = tiled ? (info.height + info.tileLength - 1) / info.tileLength : 1;
    if (h.frame.empty()) {
        const uint64_t height = tiled ? static_cast<uint64_t>(across) * down * info.tileLength : info.height;
        const uint32_t width = tiled ? info.tileWidth : info.width;
        if (height > 65535 || width > 65535) return ResultCorrupt;
        synthesiseFrame(info, width, static_cast<uint32_t>(height), components, h);
    }
    if ((h.quantTables.empty() || h.huffmanTables.empty()) && !tablesFromTags(stream, info, components, h))
        return ResultCorrupt;
    int maxH = 1, maxV = 1;
    if (!frameShape(h.frame, out.frameWidth, out.frameHeight, out.components, maxH, maxV)) return ResultCorrupt;
    if (h.scan.empty()) synthesiseScan(h);

    // Strips (tiles) start afresh: between two of them goes a restart
    // marker, every one holding the same number of MCUs.
    const uint32_t chunkRows = tiled ? info.tileLength
                                     : (info.rowsPerStrip == 0 || info.rowsPerStrip > info.height ? info.height
                                                                                                 : info.rowsPerStrip);
    const uint32_t mcuRows = 8u * maxV;
    const bool restarts = !dataInInterchange && chunks.size() > 1 && chunkRows % mcuRows == 0;
    uint16_t restartInterval = h.restartInterval;
    if (restarts && restartInterval == 0) {
        const uint64_t mcus = static_cast<uint64_t>((out.frameWidth + 8u * maxH - 1) / (8u * maxH)) * (chunkRows / mcuRows);
        if (mcus == 0 || mcus > 65535) return ResultCorrupt;
        restartInterval = static_cast<uint16_t>(mcus);
    }

    std::vector<uint8_t>& s = out.bytes;
    s = {0xFF, MarkerSoi};
    s.insert(s.end(), h.quantTables.begin(), h.quantTables.end());
    s.insert(s.end(), h.huffmanTables.begin(), h.huffmanTables.end());
    if (restartInterval) {
        putMarker(s, MarkerDri, 4);
        s.insert(s.end(), {static_cast<uint8_t>(restartInterval >> 8), static_cast<uint8_t>(restartInterval)});
    }
    s.insert(s.end(), h.frame.begin(), h.frame.end());
    s.insert(s.end(), h.scan.begin(), h.scan.end());
    if (dataInInterchange) {
        s.insert(s.end(), interchange.begin() + static_cast<std::ptrdiff_t>(dataStart), interchange.end());
    } else {
        size_t restartNumber = 0;
        for (size_t i = 0; i < chunks.size(); i++) {
            const std::span<const uint8_t> data = std::span<const uint8_t>(chunks[i]).subspan(i == 0 ? firstChunkStart : 0);
            s.insert(s.end(), data.begin(), data.end());
            if (!restarts || i + 1 == chunks.size()) continue;
            if (h.restartInterval) restartNumber += countRestarts(data);
            s.insert(s.end(), {0xFF, static_cast<uint8_t>(MarkerRst0 + restartNumber % 8)});
            restartNumber++;
        }
    }
    s.insert(s.end(), {0xFF, MarkerEoi});
    return ResultOk;
}

}  // namespace fotrix::tiff
