#pragma once
// The EXIF walker's shared parts: the walk state, reporting, and the maker-style directory and array readers that
// the GPS directory and the maker notes use.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "imagelib/bytes.h"
#include "imagelib/tiff_walk.h"
#include "metadata/exif.h"
#include "metadata/exif_tables.h"

namespace fotrix {

inline void writeU16(uint8_t* p, uint32_t v, bool bigEndian)
{
    p[bigEndian ? 0 : 1] = uint8_t(v >> 8);
    p[bigEndian ? 1 : 0] = uint8_t(v);
}
inline void writeU32(uint8_t* p, uint32_t v, bool bigEndian)
{
    for (int i = 0; i < 4; ++i) p[bigEndian ? 3 - i : i] = uint8_t(v >> (8 * i));
}

// Camera makers, set from the Make tag.
enum CameraMaker : int {
    MakerUnknown = 0,
    MakerCanon = 1,
    MakerOlympus = 2,
    MakerFujifilm = 3,
    MakerNikon = 4,
    MakerCasio = 5,
    MakerMinolta = 6,
    MakerSigma = 7,
    MakerSanyo = 8,
};
int cameraMakerFromText(const char* make, size_t length);

// Case-folded comparison of the first `length` bytes (A-Z folded to a-z).
bool startsWithFolded(const uint8_t* data, size_t size, const char* prefix);

struct ExifWalk {
    const uint8_t* data = nullptr;  // the whole block
    size_t size = 0;
    bool bigEndian = false;
    ExifCallback callback = nullptr;
    void* userData = nullptr;
    int maker = MakerUnknown;
    // The standard directories' walk over the whole block (absolute positions),
    // which bounds how many it enters and refuses loops.
    std::optional<TiffWalk> directories;
    // Sub-directories met so far (absolute positions; 0 = none).
    size_t exifDir = 0;
    size_t iopDir = 0;
    size_t gpsDir = 0;

    // Bounded reads of the whole block in the given byte order (maker notes
    // may use another order than the block's).
    ByteReader bytes(bool bigEndianOrder) const { return ByteReader({data, size}, bigEndianOrder); }
};

// Reports a value (cut to 255 characters); empty texts are not reported.
void exifReport(ExifWalk& walk, uint32_t group, uint32_t tag, const char* label, const std::string& text);
void exifAnnounce(ExifWalk& walk, uint32_t group, const char* label);

// One directory entry with its value located and checked against the block.
struct ExifEntry {
    uint32_t tag = 0;
    uint32_t type = 0;
    uint32_t count = 0;
    uint32_t size = 0;             // bytes of the value
    const uint8_t* value = nullptr;  // inside the block
    const uint8_t* raw = nullptr;    // the entry's own 12 bytes

    // Bounded reads of the value's bytes.
    ByteReader bytes(bool bigEndian) const { return ByteReader({value, size}, bigEndian); }
};

// Reads the entry at `pos`; false when it is unreadable, its type unknown or
// its value past `base` + `length` (the entry is then skipped).
bool exifReadEntry(const ExifWalk& walk, size_t pos, size_t base, size_t length, bool bigEndian,
                   ExifEntry& entry);
// The same for an entry the directory walker has read at `pos`.
bool exifLocateEntry(const ExifWalk& walk, const TiffEntry& stored, size_t pos, size_t base, size_t length,
                     ExifEntry& entry);

// Formatter of a maker (or GPS) directory: may overwrite the text of a value.
using MakerFormatter = void (*)(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian,
                                std::string& text);

struct MakerDirectory {
    size_t dir = 0;      // absolute position of the entry count
    size_t base = 0;     // offsets of values count from here
    bool bigEndian = false;
    std::span<const ExifTagEntry> table;
    MakerFormatter formatter = nullptr;
    uint32_t group = ExifGroupMakernotes;
};

// A maker-style directory: entries only, no link, no sub-directories.
void exifWalkMakerDirectory(ExifWalk& walk, const MakerDirectory& directory);
// Formats one maker-style entry against its row (empty when not reported).
std::string exifFormatMakerEntry(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian,
                                 MakerFormatter formatter);

// Formatter of a camera-settings array position; returns false to fall back
// to the value names or "%d".
using ArrayFormatter = bool (*)(uint32_t position, uint32_t value, std::string& text);

// Decodes `count` values of `valueBytes` (2 or 4) bytes each, position by
// position, in the byte order of `values`.
void exifDecodeArray(ExifWalk& walk, std::span<const ExifTagEntry> table, ByteReader values, size_t count,
                     unsigned valueBytes, ArrayFormatter formatter);

// Decodes the maker note at [note, note + noteSize) by the walk's maker.
void makerNoteDecode(ExifWalk& walk, size_t note, size_t noteSize);

}  // namespace fotrix
