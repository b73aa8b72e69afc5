#pragma once
// The EXIF walker's shared parts: bounded reads in the block's byte order, the
// walk state, reporting, and the maker-style directory and array readers that
// the GPS directory and the maker notes use.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "metadata/exif.h"
#include "metadata/exif_tables.h"

namespace fotrix {

inline uint32_t readU16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? (uint32_t(p[0]) << 8 | p[1]) : (uint32_t(p[1]) << 8 | p[0]);
}
inline uint32_t readU32(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                     : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
}
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
    int directories = 0;
    // Sub-directories met so far (absolute positions; 0 = none).
    size_t exifDir = 0;
    size_t iopDir = 0;
    size_t gpsDir = 0;
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
};

// Reads the entry at `pos`; false when it is unreadable, its type unknown or
// its value past `base` + `length` (the entry is then skipped).
bool exifReadEntry(const ExifWalk& walk, size_t pos, size_t base, size_t length, bool bigEndian,
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

// Decodes `count` values of `valueBytes` (2 or 4) bytes each, position by position.
void exifDecodeArray(ExifWalk& walk, std::span<const ExifTagEntry> table, const uint8_t* values, size_t count,
                     unsigned valueBytes, bool bigEndian, ArrayFormatter formatter);

// Decodes the maker note at [note, note + noteSize) by the walk's maker.
void makerNoteDecode(ExifWalk& walk, size_t note, size_t noteSize);

}  // namespace fotrix
