#pragma once
// The one walker over TIFF directories (IFDs), shared by the TIFF reader, the
// EXIF walker and the raw containers: the header, the entry table of a
// directory with its link to the next one, and one set of limits that keeps a
// damaged or hostile file from making any walk endless or huge. What a user
// descends into (pages, sub-directories, maker notes) stays with the user;
// every directory it follows passes through `TiffWalk::enter`.
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_set>
#include <vector>

#include "imagelib/byte_source.h"
#include "imagelib/bytes.h"

namespace fotrix {

// Directories one walk may enter: pages of a document, sub-directories,
// thumbnails and maker notes together. Real files hold a handful (a long fax
// document a few hundred pages); this bounds the work, not real results.
constexpr uint32_t TiffMaxDirectories = 1024;
// Entries of one directory: real ones hold a few dozen tags.
constexpr uint32_t TiffMaxEntries = 1024;
// Bytes of one value a user copies into memory (texts, profiles, blocks).
constexpr uint32_t TiffMaxValueBytes = 64u << 20;

// Field types of a directory entry.
enum TiffFieldType : uint16_t {
    TiffTypeByte = 1, TiffTypeAscii = 2, TiffTypeShort = 3, TiffTypeLong = 4, TiffTypeRational = 5,
    TiffTypeSByte = 6, TiffTypeUndefined = 7, TiffTypeSShort = 8, TiffTypeSLong = 9, TiffTypeSRational = 10,
    TiffTypeFloat = 11, TiffTypeDouble = 12, TiffTypeIfd = 13,
};

// Bytes of one value of `type`; 0 for types this system does not know.
uint32_t tiffTypeSize(uint16_t type);

// One 12-byte directory entry as stored.
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint8_t field[4] = {};  // the value field's bytes as stored
    uint32_t fieldValue = 0;  // the same field as a 32-bit number in the file's order

    // Bytes of the whole value (0 for an unknown type); cannot overflow.
    uint64_t byteSize() const { return uint64_t(tiffTypeSize(type)) * count; }
    // Whether the value stands in the field itself rather than at an offset.
    bool isInline() const { return byteSize() <= 4; }
};

// The 8-byte header: byte order, the magic number, the first directory.
struct TiffHeader {
    bool bigEndian = false;
    uint16_t magic = 0;
    uint32_t firstDirectory = 0;
};
// False when the first bytes are neither "II" nor "MM" or the header is cut.
bool tiffReadHeader(const ByteSource& source, TiffHeader& header);

struct TiffDirectory {
    uint64_t offset = 0;
    std::vector<TiffEntry> entries;
    bool hasLink = false;  // whether the 4 link bytes after the entries are there
    uint32_t next = 0;     // offset of the next directory (0 at the end or without link)

    // Where the entry table ends (the link's position).
    uint64_t tableEnd() const { return offset + 2 + 12ull * entries.size(); }
};

enum class TiffRead {
    Ok,
    Unreadable,      // the count or the entry table is not inside the structure
    TooManyEntries,  // more than TiffMaxEntries entries
};

class TiffWalk {
public:
    TiffWalk(const ByteSource& source, bool bigEndian) : source_(source), bigEndian_(bigEndian) {}

    const ByteSource& source() const { return source_; }
    bool bigEndian() const { return bigEndian_; }
    uint32_t entered() const { return entered_; }

    // Counts a visit of the directory at `offset`: false when the walk has
    // entered TiffMaxDirectories already or has been there before (a loop).
    bool enter(uint64_t offset);
    // Reads the directory table at `offset`: the count, the entries, and the
    // link when its four bytes are there.
    TiffRead read(uint64_t offset, TiffDirectory& directory) const;
    // Decodes a numeric field value, read in the walk's byte order.
    ByteReader reader(std::span<const uint8_t> bytes) const { return ByteReader(bytes, bigEndian_); }

private:
    ByteSource source_;
    bool bigEndian_;
    uint32_t entered_ = 0;
    std::unordered_set<uint64_t> visited_;
};

}  // namespace fotrix
