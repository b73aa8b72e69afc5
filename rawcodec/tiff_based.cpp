// TIFF-based raw files (CR2, NEF, DNG, ORF, PEF, SRF, SR2/ARW, DCR, MOS and
// Panasonic RAW) and the TIFF structures inside MRW files and JPEG EXIF
// segments: walks the directories and collects the JPEG streams they point to
// and the size and orientation of the picture.
#include "imagelib/tiff_walk.h"
#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

// What the walk descends into: the directory count, entries and loops are
// bounded by the shared walker; these bound the tree below IFD0.
constexpr int MaxDepth = 8;
constexpr int MaxSubDirectories = 16;

enum Tag : uint16_t {
    TagPanasonicSensorWidth = 0x0002,
    TagPanasonicSensorHeight = 0x0003,
    TagPanasonicJpeg = 0x002E,
    TagMinoltaThumbnail = 0x0081,
    TagMinoltaPreviewStart = 0x0088,
    TagMinoltaPreviewLength = 0x0089,
    TagSubfileType = 0x00FE,
    TagWidth = 0x0100,
    TagHeight = 0x0101,
    TagCompression = 0x0103,
    TagPhotometric = 0x0106,
    TagStripOffsets = 0x0111,
    TagOrientation = 0x0112,
    TagStripByteCounts = 0x0117,
    TagSubIfds = 0x014A,
    TagJpegOffset = 0x0201,
    TagJpegLength = 0x0202,
    TagExifIfd = 0x8769,
    TagMakerNote = 0x927C,
    TagPixelWidth = 0xA002,
    TagPixelHeight = 0xA003,
};

enum class Role { Main, Sub, Exif, MakerNote };

struct Walker {
    Stream& file;
    TiffWindow window;
    TiffWalk walk;
    TiffFlavour flavour = TiffFlavour::Plain;
    RawScan& scan;
    bool sawFirst = false;
};

// One directory entry, with its value bytes located.
struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint8_t inlineValue[4] = {};
    uint64_t valueOffset = 0;  // file offset of the value when it is not inline
    bool isInline = true;
};

// What one directory says about the picture it describes.
struct Directory {
    uint32_t width = 0, height = 0, compression = 0, photometric = 0, subfileType = 0;
    uint32_t stripOffset = 0, stripLength = 0, jpegOffset = 0, jpegLength = 0;
    bool singleStrip = true;
    uint32_t orientation = 0, exifIfd = 0, makerNote = 0, pixelWidth = 0, pixelHeight = 0;
    uint32_t subIfds[MaxSubDirectories] = {};
    int subIfdCount = 0;
};

bool inWindow(const Walker& w, uint64_t offset, uint64_t size)
{
    return w.walk.source().contains(offset, size);
}

bool decodeEntry(const Walker& w, const TiffEntry& raw, Entry& e)
{
    e.tag = raw.tag;
    e.type = raw.type;
    e.count = raw.count;
    std::copy(raw.field, raw.field + 4, e.inlineValue);
    const uint64_t bytes = raw.byteSize();
    if (bytes == 0) return false;
    e.isInline = raw.isInline();
    if (e.isInline) return true;
    if (!inWindow(w, raw.fieldValue, bytes)) return false;
    e.valueOffset = w.window.base + raw.fieldValue;
    return true;
}

// Value number `index` of a SHORT, LONG, BYTE or IFD entry.
bool entryValue(Walker& w, const Entry& e, uint32_t index, uint32_t& value)
{
    const uint32_t size = tiffTypeSize(e.type);
    const bool integer = e.type == 1 || e.type == 3 || e.type == 4 || e.type == 13;
    if (!integer || index >= e.count) return false;
    uint8_t bytes[4] = {};
    if (e.isInline) std::copy(e.inlineValue + index * size, e.inlineValue + (index + 1) * size, bytes);
    else if (!readAt(w.file, e.valueOffset + static_cast<uint64_t>(index) * size, bytes, size)) return false;
    ByteReader field = w.walk.reader(bytes);
    value = size == 1 ? field.u8At(0) : size == 2 ? field.u16At(0) : field.u32At(0);
    return true;
}

uint32_t firstValue(Walker& w, const Entry& e)
{
    uint32_t v = 0;
    entryValue(w, e, 0, v);
    return v;
}

// Where an UNDEFINED entry's bytes start, relative to the window's base.
uint32_t blockOffset(const Walker& w, const Entry& e)
{
    return e.isInline ? 0 : static_cast<uint32_t>(e.valueOffset - w.window.base);
}

void readEntry(Walker& w, const Entry& e, Role role, Directory& d)
{
    if (role == Role::MakerNote) {
        if (e.tag == TagMinoltaPreviewStart) d.jpegOffset = firstValue(w, e);
        else if (e.tag == TagMinoltaPreviewLength) d.jpegLength = firstValue(w, e);
        else if (e.tag == TagMinoltaThumbnail && !e.isInline)
            addCandidate(w.scan, w.file, e.valueOffset, e.count);
        return;
    }
    switch (e.tag) {
    case TagSubfileType: d.subfileType = firstValue(w, e); break;
    case TagWidth: d.width = firstValue(w, e); break;
    case TagHeight: d.height = firstValue(w, e); break;
    case TagCompression: d.compression = firstValue(w, e); break;
    case TagPhotometric: d.photometric = firstValue(w, e); break;
    case TagStripOffsets: d.stripOffset = firstValue(w, e); d.singleStrip = d.singleStrip && e.count == 1; break;
    case TagStripByteCounts: d.stripLength = firstValue(w, e); d.singleStrip = d.singleStrip && e.count == 1; break;
    case TagOrientation: d.orientation = firstValue(w, e); break;
    case TagJpegOffset: d.jpegOffset = firstValue(w, e); break;
    case TagJpegLength: d.jpegLength = firstValue(w, e); break;
    case TagExifIfd: d.exifIfd = firstValue(w, e); break;
    case TagMakerNote: d.makerNote = blockOffset(w, e); break;
    case TagPixelWidth: d.pixelWidth = firstValue(w, e); break;
    case TagPixelHeight: d.pixelHeight = firstValue(w, e); break;
    case TagSubIfds:
        for (uint32_t i = 0; i < e.count && d.subIfdCount < MaxSubDirectories; ++i) {
            uint32_t v = 0;
            if (entryValue(w, e, i, v)) d.subIfds[d.subIfdCount++] = v;
        }
        break;
    default: break;
    }
    if (w.flavour == TiffFlavour::Panasonic && role == Role::Main) {
        // Panasonic keeps the sensor size and a full JPEG rendering in IFD0.
        if (e.tag == TagPanasonicSensorWidth) d.pixelWidth = firstValue(w, e);
        else if (e.tag == TagPanasonicSensorHeight) d.pixelHeight = firstValue(w, e);
        else if (e.tag == TagPanasonicJpeg && !e.isInline) addCandidate(w.scan, w.file, e.valueOffset, e.count);
    }
}

// A directory whose single strip is a JPEG stream of a picture (not the raw
// sensor data, not a mask) is a preview.
bool stripIsPreview(const Directory& d)
{
    constexpr uint32_t ColourFilterArray = 32803, LinearRaw = 34892;
    const bool jpeg = d.compression == 6 || d.compression == 7;
    const bool mask = (d.subfileType & ~1u) != 0;
    return jpeg && d.singleStrip && !mask && d.photometric != ColourFilterArray && d.photometric != LinearRaw;
}

void collect(Walker& w, const Directory& d, Role role)
{
    const uint64_t base = w.window.base;
    if (d.jpegOffset && d.jpegLength && inWindow(w, d.jpegOffset, d.jpegLength))
        addCandidate(w.scan, w.file, base + d.jpegOffset, d.jpegLength);
    if (stripIsPreview(d) && d.stripOffset && inWindow(w, d.stripOffset, d.stripLength))
        addCandidate(w.scan, w.file, base + d.stripOffset, d.stripLength);
    if (role == Role::Main || role == Role::Sub) offerSize(w.scan, d.width, d.height);
    offerSize(w.scan, d.pixelWidth, d.pixelHeight);
}

uint32_t walkDirectory(Walker& w, uint32_t offset, Role role, int depth);

void walkChildren(Walker& w, const Directory& d, Role role, int depth)
{
    for (int i = 0; i < d.subIfdCount; ++i) {
        uint32_t next = d.subIfds[i];
        // Sub-directories may chain; the visited set ends any loop.
        for (uint32_t n = 0; next && n < TiffMaxDirectories; ++n) next = walkDirectory(w, next, Role::Sub, depth + 1);
    }
    if (d.exifIfd) walkDirectory(w, d.exifIfd, Role::Exif, depth + 1);
    if (d.makerNote && role == Role::Exif && w.flavour == TiffFlavour::Minolta)
        walkDirectory(w, d.makerNote, Role::MakerNote, depth + 1);
}

// Reads one directory and what hangs below it; gives the offset of the next
// directory in the chain (0 at its end).
uint32_t walkDirectory(Walker& w, uint32_t offset, Role role, int depth)
{
    if (depth > MaxDepth || !w.walk.enter(offset)) return 0;
    TiffDirectory table;
    if (w.walk.read(offset, table) != TiffRead::Ok || table.entries.empty()) return 0;

    Directory d;
    for (const TiffEntry& raw : table.entries) {
        Entry e;
        if (decodeEntry(w, raw, e)) readEntry(w, e, role, d);
    }
    if (role == Role::Main && !w.sawFirst && d.orientation >= 1 && d.orientation <= 8)
        w.scan.exifOrientation = static_cast<int>(d.orientation);
    if (role == Role::Main) w.sawFirst = true;
    collect(w, d, role);
    walkChildren(w, d, role, depth);
    return role == Role::MakerNote ? 0 : table.next;
}

}  // namespace

bool tiffScan(Stream& file, const TiffWindow& window, TiffFlavour flavour, RawScan& scan)
{
    const ByteSource source = ByteSource::window(file, window.base, window.end);
    TiffHeader header;
    if (!tiffReadHeader(source, header)) return false;
    // 42 for TIFF; Olympus writes "RO" or "RS", Panasonic 0x55.
    const uint16_t magic = header.magic;
    if (magic != 42 && magic != 0x4F52 && magic != 0x5352 && magic != 0x55) return false;
    Walker w{file, window, TiffWalk(source, header.bigEndian), flavour, scan, false};
    uint32_t next = header.firstDirectory;
    for (uint32_t n = 0; next && n < TiffMaxDirectories; ++n) next = walkDirectory(w, next, Role::Main, 0);
    return true;
}

}  // namespace fotrix::raw
