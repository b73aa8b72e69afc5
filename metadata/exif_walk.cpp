// The EXIF walker: IFD0, then the EXIF sub-directory with its maker note, the
// interoperability and GPS directories, and the thumbnail directory.
#include "metadata/exif_walk.h"

#include <cstring>

#include "metadata/exif_format.h"

namespace fotrix {

namespace {

constexpr size_t TiffHeaderAt = 6;  // after "Exif", 0, 0

struct MakerPrefix {
    const char* prefix;
    int maker;
};
constexpr MakerPrefix makerPrefixes[] = {
    {"canon", MakerCanon},     {"olympus", MakerOlympus}, {"fujifilm", MakerFujifilm},
    {"nikon", MakerNikon},     {"casio", MakerCasio},     {"minolta", MakerMinolta},
    {"sigma", MakerSigma},     {"foveon", MakerSigma},    {"sanyo", MakerSanyo},
};

bool readTiffHeader(const uint8_t* block, size_t size, bool& bigEndian, uint32_t& ifd0)
{
    if (size < TiffHeaderAt) return false;
    TiffHeader header;
    if (!tiffReadHeader(ByteSource::memory({block + TiffHeaderAt, size - TiffHeaderAt}), header)) return false;
    if (header.magic != 42) return false;
    bigEndian = header.bigEndian;
    ifd0 = header.firstDirectory;
    return true;
}

struct Directory {
    size_t dir;
    size_t base;
    size_t length;
    uint32_t group;
    const ExifTagEntry* table;
};

void walkDirectory(ExifWalk& walk, const Directory& d);

// Reports one entry of a standard directory and notes what it points to.
void standardEntry(ExifWalk& walk, const Directory& d, const ExifEntry& entry, size_t& makerNote,
                   size_t& makerNoteSize)
{
    const ExifTagEntry* row = exifFindRow(d.table, entry.tag);
    if (row) {
        if (entry.tag == 0x010F)
            walk.maker = cameraMakerFromText(reinterpret_cast<const char*>(entry.value), entry.size);
        if (entry.tag == 0x927C) {
            makerNote = static_cast<size_t>(entry.value - walk.data);
            makerNoteSize = entry.size;
        } else {
            // The Make is listed too: it names the camera in the information list.
            exifReport(walk, d.group, entry.tag, exifRowLabel(*row),
                       exifFormatStandard(*row, entry, walk.bigEndian));
        }
    }
    if (entry.tag != 0x8769 && entry.tag != 0x8825 && entry.tag != 0xA005) return;
    if (entry.size < 4) return;
    uint64_t target = uint64_t(d.base) + entry.bytes(walk.bigEndian).u32At(0);
    if (target <= d.base || target >= d.base + d.length) return;
    size_t& slot = entry.tag == 0x8769 ? walk.exifDir : entry.tag == 0x8825 ? walk.gpsDir : walk.iopDir;
    slot = static_cast<size_t>(target);
}

void walkSubDirectories(ExifWalk& walk, const Directory& d)
{
    if (walk.exifDir) {
        exifAnnounce(walk, ExifGroupImage, "Image");
        walkDirectory(walk, {walk.exifDir, d.base, d.length, ExifGroupImage, exifSubIfdTable});
    }
    if (walk.iopDir) {
        exifAnnounce(walk, ExifGroupIop, "IOP");
        walkDirectory(walk, {walk.iopDir, d.base, d.length, ExifGroupIop, exifInteropTable});
    }
    if (walk.gpsDir) {
        exifAnnounce(walk, ExifGroupGps, "GPS");
        MakerDirectory gps;
        gps.dir = walk.gpsDir;
        gps.base = d.base;
        gps.bigEndian = walk.bigEndian;
        gps.table = exifGpsTable();
        gps.formatter = exifFormatGps;
        gps.group = ExifGroupGps;
        exifWalkMakerDirectory(walk, gps);
    }
}

void walkDirectory(ExifWalk& walk, const Directory& d)
{
    TiffWalk& directories = *walk.directories;
    bool first = directories.entered() == 0;
    if (first) exifAnnounce(walk, ExifGroupCamera, "Camera");
    if (!directories.enter(d.dir)) return;

    size_t limit = d.base + d.length;
    TiffDirectory table;
    if (directories.read(d.dir, table) != TiffRead::Ok) return;
    size_t end = static_cast<size_t>(table.tableEnd());
    // The directory is used only when its entries, and the link when present, fit.
    if (!(table.hasLink || end + 2 == limit || end == limit)) return;

    size_t makerNote = 0, makerNoteSize = 0;
    for (size_t i = 0; i < table.entries.size(); ++i) {
        ExifEntry entry;
        if (exifLocateEntry(walk, table.entries[i], d.dir + 2 + size_t(12) * i, d.base, d.length, entry))
            standardEntry(walk, d, entry, makerNote, makerNoteSize);
    }
    if (first) walkSubDirectories(walk, d);

    if (table.hasLink) {
        uint32_t link = table.next;
        uint64_t next = uint64_t(d.base) + link;
        if (link != 0 && next <= limit && next > d.dir) {
            exifAnnounce(walk, ExifGroupThumbnail, "Thumbnail");
            walkDirectory(walk, {static_cast<size_t>(next), d.base, d.length, ExifGroupThumbnail, exifIfd0Table});
        }
    }
    if (makerNote) {
        exifAnnounce(walk, ExifGroupMakernotes, "Makernotes");
        makerNoteDecode(walk, makerNote, makerNoteSize);
    }
}

}  // namespace

bool startsWithFolded(const uint8_t* data, size_t size, const char* prefix)
{
    size_t length = std::strlen(prefix);
    if (size < length) return false;
    for (size_t i = 0; i < length; ++i) {
        uint8_t c = data[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<uint8_t>(c - 'A' + 'a');
        uint8_t p = static_cast<uint8_t>(prefix[i]);
        if (p >= 'A' && p <= 'Z') p = static_cast<uint8_t>(p - 'A' + 'a');
        if (c != p) return false;
    }
    return true;
}

int cameraMakerFromText(const char* make, size_t length)
{
    for (const MakerPrefix& entry : makerPrefixes)
        if (startsWithFolded(reinterpret_cast<const uint8_t*>(make), length, entry.prefix)) return entry.maker;
    return MakerUnknown;
}

void exifReport(ExifWalk& walk, uint32_t group, uint32_t tag, const char* label, const std::string& text)
{
    if (text.empty() || !walk.callback) return;
    std::string cut = text.size() > 255 ? text.substr(0, 255) : text;
    walk.callback(walk.userData, group, tag, label, cut.c_str());
}

void exifAnnounce(ExifWalk& walk, uint32_t group, const char* label)
{
    if (walk.callback) walk.callback(walk.userData, group, 0, label, nullptr);
}

bool exifReadEntry(const ExifWalk& walk, size_t pos, size_t base, size_t length, bool bigEndian,
                   ExifEntry& entry)
{
    ByteReader block = walk.bytes(bigEndian);
    if (!block.contains(pos, 12)) return false;
    TiffEntry stored;
    stored.tag = block.u16At(pos);
    stored.type = block.u16At(pos + 2);
    stored.count = block.u32At(pos + 4);
    stored.fieldValue = block.u32At(pos + 8);
    return exifLocateEntry(walk, stored, pos, base, length, entry);
}

bool exifLocateEntry(const ExifWalk& walk, const TiffEntry& stored, size_t pos, size_t base, size_t length,
                     ExifEntry& entry)
{
    if (pos > walk.size || walk.size - pos < 12) return false;
    const uint8_t* p = walk.data + pos;
    entry.raw = p;
    entry.tag = stored.tag;
    entry.type = stored.type;
    entry.count = stored.count;
    uint32_t typeSize = exifTypeSize(entry.type);
    if (typeSize == 0) return false;
    uint64_t size = uint64_t(typeSize) * entry.count;  // cannot overflow 64 bits
    if (size <= 4) {
        entry.value = p + 8;
    } else {
        uint64_t offset = stored.fieldValue;
        if (offset + size > length) return false;
        if (base + offset + size > walk.size) return false;
        entry.value = walk.data + base + offset;
    }
    if (size == 0) return false;  // nothing to show, and no byte to read
    entry.size = static_cast<uint32_t>(size);
    return true;
}

int exifReadBlock(const uint8_t* block, size_t size, ExifCallback callback, void* userData)
{
    if (!block || size < 6 || std::memcmp(block, "Exif\0\0", 6) != 0) return 0;
    ExifWalk walk;
    uint32_t ifd0 = 0;
    if (!readTiffHeader(block, size, walk.bigEndian, ifd0)) return 0;
    walk.data = block;
    walk.size = size;
    walk.directories.emplace(ByteSource::memory({block, size}), walk.bigEndian);
    walk.callback = callback;
    walk.userData = userData;
    size_t length = size - TiffHeaderAt;
    Directory root{TiffHeaderAt + size_t(ifd0), TiffHeaderAt, length, ExifGroupCamera, exifIfd0Table};
    if (ifd0 > length) root.dir = size;  // unusable: only the announcement is made
    walkDirectory(walk, root);
    return 1;
}

void exifListTags(const MetadataBlock* metadata, ExifCallback callback, void* userData)
{
    for (const MetadataBlock* block = metadata; block; block = block->next) {
        if (block->kind != MetaExif || !block->data || block->size < 6) continue;
        if (std::memcmp(block->data, "Exif\0\0", 6) != 0) continue;
        exifReadBlock(block->data, block->size, callback, userData);
        return;
    }
}

}  // namespace fotrix
