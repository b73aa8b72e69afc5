// Finding the thumbnail that cameras store in the EXIF segment: the TIFF
// structure after "Exif\0\0" holds it in IFD 1 as JPEGInterchangeFormat (513,
// its offset) and JPEGInterchangeFormatLength (514).
#include <cstring>

#include "imagelib/bytes.h"
#include "imagelib/readers/jpeg_glue.h"

namespace fotrix {

namespace {

constexpr size_t TiffStart = 6;  // TIFF offsets count from here
constexpr uint16_t TagExifIfd = 34665;
constexpr uint16_t TagThumbnailOffset = 513;
constexpr uint16_t TagThumbnailLength = 514;
constexpr uint16_t TypeLong = 4;
constexpr int MaxDirectories = 16;  // bounds the walk of looping or deep chains

struct ThumbnailSearch {
    ByteReader tiff;
    int directoriesLeft = MaxDirectories;
    bool haveOffset = false, haveLength = false;
    uint32_t offset = 0, length = 0;
};

void walkDirectory(ThumbnailSearch& search, uint32_t position);

void readEntry(ThumbnailSearch& search, uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
{
    if (tag == TagExifIfd && value != 0) {
        walkDirectory(search, value);
    } else if (tag == TagThumbnailOffset && type == TypeLong && count == 1) {
        search.offset = value;
        search.haveOffset = true;
    } else if (tag == TagThumbnailLength && type == TypeLong && count == 1) {
        search.length = value;
        search.haveLength = true;
    }
}

// Walks one directory and then the chain of directories after it.
void walkDirectory(ThumbnailSearch& search, uint32_t position)
{
    while (position != 0 && search.directoriesLeft-- > 0) {
        ByteReader r = search.tiff;  // a copy: a damaged sub-directory ends only its own walk
        if (!r.seek(position)) return;
        const uint16_t entries = r.u16();
        for (int i = 0; i < entries; ++i) {
            r.seek(position + 2 + 12u * i);
            const uint16_t tag = r.u16();
            const uint16_t type = r.u16();
            const uint32_t count = r.u32();
            const uint32_t value = r.u32();
            if (r.failed) return;  // the entry runs past the segment
            readEntry(search, tag, type, count, value);
        }
        r.seek(position + 2 + 12u * entries);
        position = r.u32();
        if (r.failed) return;
    }
}

}  // namespace

bool exifFindThumbnail(std::span<const uint8_t> payload, size_t& offset, size_t& length)
{
    if (payload.size() < TiffStart + 8 || std::memcmp(payload.data(), "Exif", 4) != 0) return false;
    ThumbnailSearch search;
    search.tiff = ByteReader(payload.subspan(TiffStart));
    const uint8_t* order = payload.data() + TiffStart;
    if (order[0] == 'I' && order[1] == 'I')
        search.tiff.bigEndian = false;
    else if (order[0] == 'M' && order[1] == 'M')
        search.tiff.bigEndian = true;
    else
        return false;
    ByteReader header = search.tiff;
    header.skip(2);
    if (header.u16() != 42) return false;
    walkDirectory(search, header.u32());
    if (!search.haveOffset || !search.haveLength || search.length == 0) return false;
    const uint64_t start = TiffStart + static_cast<uint64_t>(search.offset);
    if (start + search.length > payload.size()) return false;
    offset = static_cast<size_t>(start);
    length = search.length;
    return true;
}

}  // namespace fotrix
