// TIFF header, the IFD chain and the tags of the chosen directory; texts and
// metadata blocks (EXIF rebuilt as a block of its own, IPTC and Photoshop
// resources wrapped, ICC).
#include <algorithm>
#include <cstring>
#include <string>

#include "imagelib/bytes.h"
#include "imagelib/readers/iptc_block.h"
#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/tiff_walk.h"

namespace fotrix::tiff {

namespace {

constexpr uint32_t MaxBlockSize = TiffMaxValueBytes;

enum FieldType : uint16_t {
    TypeByte = TiffTypeByte, TypeAscii = TiffTypeAscii, TypeShort = TiffTypeShort, TypeLong = TiffTypeLong,
    TypeRational = TiffTypeRational, TypeSByte = TiffTypeSByte, TypeUndefined = TiffTypeUndefined, TypeSShort = TiffTypeSShort,
    TypeSLong = TiffTypeSLong, TypeSRational = TiffTypeSRational, TypeFloat = TiffTypeFloat, TypeDouble = TiffTypeDouble,
};

// Bytes of a value this reader copies: the value types up to DOUBLE (an IFD
// typed entry is an offset, not a value to copy).
uint32_t typeSize(uint16_t type)
{
    return type <= TypeDouble ? tiffTypeSize(type) : 0;
}

using RawEntry = TiffEntry;

uint32_t read32(Stream& stream, bool bigEndian) { return bigEndian ? streamU32be(stream) : streamU32le(stream); }

// The first value of a scalar entry: SHORT values stand in the field's first two bytes.
uint32_t scalar(const RawEntry& e, bool bigEndian)
{
    switch (e.type) {
    case TypeShort: case TypeSShort:
        return bigEndian ? e.fieldValue >> 16 : e.fieldValue & 0xFFFF;
    case TypeByte: case TypeSByte: case TypeUndefined:
        return e.field[0];
    default:
        return e.fieldValue;
    }
}

TiffArray arrayOf(const RawEntry& e)
{
    return {e.type, e.count, e.fieldValue, true};
}

TiffBlock blockOf(const RawEntry& e)
{
    TiffBlock block;
    const uint64_t size = static_cast<uint64_t>(e.count) * typeSize(e.type);
    if (size == 0 || size > MaxBlockSize) return block;
    block.size = static_cast<uint32_t>(size);
    block.offset = e.fieldValue;
    block.inlineValue = size <= 4;
    std::memcpy(block.bytes, e.field, 4);
    return block;
}

TiffRational readRational(Stream& stream, const TiffInfo& info, const RawEntry& e)
{
    TiffRational r;
    if ((e.type != TypeRational && e.type != TypeSRational) || e.count < 1) {
        if (e.type == TypeShort || e.type == TypeLong) {  // some writers store a plain number
            r.numerator = scalar(e, info.bigEndian);
            r.denominator = 1;
            r.present = true;
        }
        return r;
    }
    const uint64_t back = streamTell(stream);
    if (streamSeek(stream, e.fieldValue)) {
        r.numerator = read32(stream, info.bigEndian);
        r.denominator = read32(stream, info.bigEndian);
        r.present = !streamFailed(stream);
    }
    stream.failed = false;
    streamSeek(stream, back);
    return r;
}

// Six rationals (some writers store SHORT or LONG values); a zero
// denominator or a black not below its white keeps the defaults.
void readReferenceBlackWhite(Stream& stream, TiffInfo& info, const RawEntry& e)
{
    if (e.count < 6) return;
    float values[6] = {};
    bool good = true;
    if (e.type == TypeShort || e.type == TypeLong) {
        std::vector<uint32_t> numbers;
        good = readArray(stream, info, arrayOf(e), numbers, 6) && numbers.size() == 6;
        for (size_t i = 0; good && i < 6; i++) values[i] = static_cast<float>(numbers[i]);
    } else if (e.type == TypeRational) {
        const uint64_t back = streamTell(stream);
        good = streamSeek(stream, e.fieldValue);
        for (float& value : values) {
            const uint32_t n = read32(stream, info.bigEndian);
            const uint32_t d = read32(stream, info.bigEndian);
            if (d == 0) good = false;
            else value = static_cast<float>(n) / static_cast<float>(d);
        }
        good = good && !streamFailed(stream);
        streamSeek(stream, back);
    } else {
        return;
    }
    stream.failed = false;
    for (int i = 0; i < 6; i += 2) good = good && values[i] < values[i + 1];
    if (good) std::memcpy(info.referenceBlackWhite, values, sizeof values);
}

void storeEntry(Stream& stream, ReaderContext& context, TiffInfo& info, const RawEntry& e)
{
    const uint32_t v = scalar(e, info.bigEndian);
    switch (e.tag) {
    case 256: info.width = v; break;
    case 257: info.height = v; break;
    case 258:
        info.bitsPerSample = static_cast<uint16_t>(v);
        if (e.count >= 2) info.bitsArray = arrayOf(e);
        break;
    case 259: info.compression = static_cast<uint16_t>(v); break;
    case 262:
        info.photometric = static_cast<uint16_t>(v);
        if (v <= 1) addTextEntry(context, "Photometric Interpretation", v == 0 ? "White=0" : "Black=0", -1);
        break;
    case 266: info.fillOrder = static_cast<uint16_t>(v); break;
    case 273: info.stripOffsets = arrayOf(e); break;
    case 274: info.orientation = static_cast<uint16_t>(v); break;
    case 277: info.samplesPerPixel = static_cast<uint16_t>(v); break;
    case 278: info.rowsPerStrip = v; break;
    case 279: info.stripByteCounts = arrayOf(e); break;
    case 282: info.xResolution = readRational(stream, info, e); break;
    case 283: info.yResolution = readRational(stream, info, e); break;
    case 284: info.planar = static_cast<uint16_t>(v); break;
    case 286: info.xPosition = readRational(stream, info, e); break;
    case 287: info.yPosition = readRational(stream, info, e); break;
    case 292: info.t4Options = v; break;
    case 296: info.resolutionUnit = static_cast<uint16_t>(v); break;
    case 317: info.predictor = static_cast<uint16_t>(v); break;
    case 320: info.colorMap = arrayOf(e); break;
    case 322: info.tileWidth = v; break;
    case 323: info.tileLength = v; break;
    case 324: info.tileOffsets = arrayOf(e); break;
    case 325: info.tileByteCounts = arrayOf(e); break;
    case 338:
        info.extraSamples = static_cast<uint16_t>(v);
        info.hasExtraSamples = true;
        break;
    case 347: info.jpegTables = blockOf(e); break;
    case 512: info.jpegProc = static_cast<uint16_t>(v); break;
    case 513: info.jpegInterchangeOffset = v; break;
    case 514: info.jpegInterchangeLength = v; break;
    case 515: info.jpegRestartInterval = static_cast<uint16_t>(v); break;
    case 519: info.jpegQTables = arrayOf(e); break;
    case 520: info.jpegDcTables = arrayOf(e); break;
    case 521: info.jpegAcTables = arrayOf(e); break;
    case 532: readReferenceBlackWhite(stream, info, e); break;
    case 529:
        if (e.type == TypeRational && e.count >= 3) {
            const uint64_t back = streamTell(stream);
            float values[3] = {};
            bool good = streamSeek(stream, e.fieldValue);
            for (float& value : values) {
                const uint32_t n = read32(stream, info.bigEndian);
                const uint32_t d = read32(stream, info.bigEndian);
                if (d == 0) good = false;
                else value = static_cast<float>(n) / static_cast<float>(d);
            }
            if (good && !streamFailed(stream) && values[1] > 0) {
                info.lumaRed = values[0];
                info.lumaGreen = values[1];
                info.lumaBlue = values[2];
            }
            stream.failed = false;
            streamSeek(stream, back);
        }
        break;
    case 530:
        if (e.type == TypeShort && e.count >= 2) {
            info.subsampleH = static_cast<uint16_t>(info.bigEndian ? e.fieldValue >> 16 : e.fieldValue & 0xFFFF);
            info.subsampleV = static_cast<uint16_t>(info.bigEndian ? e.fieldValue & 0xFFFF : e.fieldValue >> 16);
        }
        break;
    case 33723: info.iptc = blockOf(e); break;
    case 34377: info.photoshop = blockOf(e); break;
    case 34665: info.exifIfd = v; break;
    case 34675: info.icc = blockOf(e); break;
    default:
        for (int i = 0; i < 9; i++)
            if (e.tag == textTags[i] && e.type == TypeAscii) info.texts[i] = blockOf(e);
        break;
    }
}

// The entries of the directory at `offset`; false when it is unreadable or
// holds more entries than a walk takes.
bool readEntries(Stream& stream, bool bigEndian, uint32_t offset, std::vector<RawEntry>& entries)
{
    const TiffWalk walk(ByteSource::window(stream, 0, stream.size), bigEndian);
    TiffDirectory directory;
    if (walk.read(offset, directory) != TiffRead::Ok) return false;
    entries = std::move(directory.entries);
    return true;
}

// The header's outcome in the reader's result codes: 4 when the file ends
// inside the byte order or the magic number, 2 when it is not a TIFF.
int readHeader(const ByteSource& source, TiffHeader& header)
{
    if (tiffReadHeader(source, header)) return header.magic == 42 ? 0 : 2;
    uint8_t bytes[2];
    if (!source.readAt(0, bytes, 2)) return ResultReadError;
    const bool order = (bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M');
    if (!order) return ResultUnknownFormat;
    return source.readAt(2, bytes, 2) ? 2 : 4;
}

}  // namespace

int readDirectory(Stream& stream, ReaderContext& context, TiffInfo& info, uint32_t& pageCount)
{
    const ByteSource source = ByteSource::window(stream, 0, stream.size);
    TiffHeader header;
    if (const int result = readHeader(source, header); result != 0) return result;
    info.bigEndian = header.bigEndian;

    // The chain: count directories until the offset is 0, negative, beyond
    // the file, seen before (a loop) or past the walk's limits.
    std::vector<uint32_t> offsets;
    TiffWalk walk(source, info.bigEndian);
    uint32_t offset = header.firstDirectory;
    while (offset != 0 && offset < 0x80000000u && walk.enter(offset)) {
        TiffDirectory directory;
        if (walk.read(offset, directory) != TiffRead::Ok) break;
        offsets.push_back(offset);
        if (!directory.hasLink) break;
        offset = directory.next;
    }
    stream.failed = false;
    if (offsets.empty()) return ResultUnknownFormat;
    pageCount = static_cast<uint32_t>(offsets.size());
    const uint32_t page = context.params.frameIndex < pageCount ? context.params.frameIndex : 0;
    info.ifdOffset = offsets[page];

    std::vector<RawEntry> entries;
    if (!readEntries(stream, info.bigEndian, info.ifdOffset, entries)) return ResultReadError;
    for (const RawEntry& e : entries) storeEntry(stream, context, info, e);
    stream.failed = false;

    // Several BitsPerSample values: the first one counts.
    if (info.bitsArray.present && info.bitsArray.count * 2 > 4) {
        std::vector<uint32_t> bits;
        if (readArray(stream, info, info.bitsArray, bits, 1) && !bits.empty())
            info.bitsPerSample = static_cast<uint16_t>(bits[0]);
    }
    return ResultOk;
}

bool readArray(Stream& stream, const TiffInfo& info, const TiffArray& array, std::vector<uint32_t>& out, size_t limit)
{
    out.clear();
    if (!array.present) return false;
    const uint32_t size = array.type == TypeShort ? 2 : array.type == TypeLong ? 4 : array.type == TypeByte ? 1 : 0;
    if (size == 0) return false;
    const size_t count = std::min<size_t>(array.count, limit);
    const uint64_t bytes = static_cast<uint64_t>(array.count) * size;
    if (bytes <= 4) {
        uint8_t raw[4];
        for (int i = 0; i < 4; i++)
            raw[i] = static_cast<uint8_t>(info.bigEndian ? array.value >> (24 - 8 * i) : array.value >> (8 * i));
        ByteReader reader(raw, info.bigEndian);
        for (size_t i = 0; i < count; i++) out.push_back(size == 2 ? reader.u16() : size == 1 ? reader.u8() : reader.u32());
        return true;
    }
    if (array.value > stream.size || static_cast<uint64_t>(count) * size > stream.size - array.value) return false;
    std::vector<uint8_t> raw(count * size);
    if (!streamSeek(stream, array.value) || !streamReadExact(stream, raw.data(), raw.size())) {
        stream.failed = false;
        return false;
    }
    ByteReader reader(raw, info.bigEndian);
    out.reserve(count);
    for (size_t i = 0; i < count; i++) out.push_back(size == 2 ? reader.u16() : size == 1 ? reader.u8() : reader.u32());
    return true;
}

bool readBlock(Stream& stream, const TiffBlock& block, std::vector<uint8_t>& out)
{
    out.clear();
    if (!block.present()) return false;
    if (block.inlineValue) {
        out.assign(block.bytes, block.bytes + block.size);
        return true;
    }
    if (block.offset > stream.size || block.size > stream.size - block.offset) return false;
    out.resize(block.size);
    if (!streamSeek(stream, block.offset) || !streamReadExact(stream, out.data(), out.size())) {
        stream.failed = false;
        out.clear();
        return false;
    }
    return true;
}

namespace {

// A small TIFF structure written in the source file's byte order: IFD0 with
// the descriptive texts and a pointer to the EXIF IFD, copied entry by entry
// with its out-of-line values moved behind it.
struct ExifWriter {
    bool bigEndian = false;
    std::vector<uint8_t> bytes;

    void put16(uint16_t v)
    {
        if (bigEndian) bytes.insert(bytes.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
        else bytes.insert(bytes.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    }
    void put32(uint32_t v)
    {
        if (bigEndian) {
            put16(static_cast<uint16_t>(v >> 16));
            put16(static_cast<uint16_t>(v));
        } else {
            put16(static_cast<uint16_t>(v));
            put16(static_cast<uint16_t>(v >> 16));
        }
    }
    void set32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; i++)
            bytes[at + i] = static_cast<uint8_t>(bigEndian ? v >> (24 - 8 * i) : v >> (8 * i));
    }
};

struct OutEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::vector<uint8_t> data;  // the value bytes in the file's order
    bool exifPointer = false;
};

// Writes one IFD at the end of `w` (offsets count from the TIFF header, the
// first byte after "Exif\0\0"); returns the position of its next-IFD field.
size_t writeIfd(ExifWriter& w, const std::vector<OutEntry>& entries, size_t base, size_t& exifPointerField)
{
    const size_t start = w.bytes.size();
    w.put16(static_cast<uint16_t>(entries.size()));
    size_t dataPos = start + 2 + entries.size() * 12 + 4;
    std::vector<uint8_t> data;
    for (const OutEntry& e : entries) {
        w.put16(e.tag);
        w.put16(e.type);
        w.put32(e.count);
        if (e.exifPointer) exifPointerField = w.bytes.size();
        if (e.data.size() <= 4) {
            uint8_t inlineBytes[4] = {};
            std::memcpy(inlineBytes, e.data.data(), e.data.size());
            w.bytes.insert(w.bytes.end(), inlineBytes, inlineBytes + 4);
        } else {
            w.put32(static_cast<uint32_t>(dataPos + data.size() - base));
            data.insert(data.end(), e.data.begin(), e.data.end());
            if (data.size() & 1) data.push_back(0);
        }
    }
    const size_t next = w.bytes.size();
    w.put32(0);
    w.bytes.insert(w.bytes.end(), data.begin(), data.end());
    return next;
}

void attachExif(Stream& stream, ReaderContext& context, const TiffInfo& info)
{
    std::vector<RawEntry> exifEntries;
    if (!readEntries(stream, info.bigEndian, info.exifIfd, exifEntries)) {
        stream.failed = false;
        return;
    }
    std::vector<OutEntry> ifd0;
    const int copied[] = {0, 2, 3, 4, 5, 6};  // DocumentName, Make, Model, Software, DateTime, Artist
    for (int index : copied) {
        std::vector<uint8_t> text;
        if (!readBlock(stream, info.texts[index], text)) continue;
        ifd0.push_back({textTags[index], TypeAscii, static_cast<uint32_t>(text.size()), text, false});
    }
    ifd0.push_back({34665, TypeLong, 1, {0, 0, 0, 0}, true});

    std::vector<OutEntry> exif;
    uint64_t total = 0;
    for (const RawEntry& e : exifEntries) {
        if (e.tag == 40965) continue;  // the interoperability IFD would point nowhere
        const uint64_t size = static_cast<uint64_t>(e.count) * typeSize(e.type);
        if (typeSize(e.type) == 0 || size > MaxBlockSize || total + size > MaxBlockSize) continue;
        OutEntry out{e.tag, e.type, e.count, {}, false};
        if (size <= 4) {
            out.data.assign(e.field, e.field + size);
        } else {
            TiffBlock block;
            block.offset = e.fieldValue;
            block.size = static_cast<uint32_t>(size);
            if (!readBlock(stream, block, out.data)) continue;
        }
        total += size;
        exif.push_back(std::move(out));
    }

    ExifWriter w;
    w.bigEndian = info.bigEndian;
    const uint8_t signature[] = {'E', 'x', 'i', 'f', 0, 0};
    w.bytes.assign(signature, signature + 6);
    const size_t base = w.bytes.size();
    if (info.bigEndian) w.bytes.insert(w.bytes.end(), {'M', 'M'});
    else w.bytes.insert(w.bytes.end(), {'I', 'I'});
    w.put16(42);
    w.put32(8);
    size_t pointerField = 0, unused = 0;
    writeIfd(w, ifd0, base, pointerField);
    if (w.bytes.size() & 1) w.bytes.push_back(0);
    w.set32(pointerField, static_cast<uint32_t>(w.bytes.size() - base));
    writeIfd(w, exif, base, unused);
    addMetadata(context, MetaExif, w.bytes.data(), static_cast<uint32_t>(w.bytes.size()));
}

}  // namespace

void readTextsAndMetadata(Stream& stream, ReaderContext& context, const TiffInfo& info)
{
    std::vector<uint8_t> bytes;
    const bool metadata = context.option(ReadMetadata);
    if (context.option(ReadComment) && readBlock(stream, info.texts[TextImageDescription], bytes)) {
        setComment(context, reinterpret_cast<const char*>(bytes.data()),
                   static_cast<int>(strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    if (context.option(ReadTextInfo) && !(metadata && info.exifIfd != 0)) {
        static const struct { int index; const char* key; } keys[] = {
            {6, "Artist"}, {8, "Copyright"}, {5, "DateTime"}, {7, "HostComputer"},
            {2, "Make"}, {3, "Model"}, {4, "Software"}, {0, "DocumentName"},
        };
        for (const auto& key : keys) {
            if (!readBlock(stream, info.texts[key.index], bytes)) continue;
            const std::string value(reinterpret_cast<const char*>(bytes.data()),
                                    strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            addTextEntry(context, key.key, value.c_str(), static_cast<int>(value.size()));
        }
    }
    if (!metadata) return;
    if (info.exifIfd != 0) attachExif(stream, context, info);
    if (readBlock(stream, info.iptc, bytes)) {
        std::vector<uint8_t> block = iptcResourceBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
        addMetadata(context, MetaIptc, block.data(), static_cast<uint32_t>(block.size()));
    }
    if (readBlock(stream, info.photoshop, bytes)) {
        std::vector<uint8_t> block = photoshopResourceBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
        addMetadata(context, MetaIptc, block.data(), static_cast<uint32_t>(block.size()));
    }
    if (info.bitsPerSample == 8 && readBlock(stream, info.icc, bytes))
        addMetadata(context, MetaIcc, bytes.data(), static_cast<uint32_t>(bytes.size()));
    stream.failed = false;
}

}  // namespace fotrix::tiff
