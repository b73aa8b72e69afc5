// Maker-style directories (GPS and the maker notes) and the camera-settings
// arrays some makers store inside one tag.
#include "metadata/exif_format.h"
#include "metadata/exif_walk.h"

namespace fotrix {

namespace {

// The first value as the row expects it, for the value-name lookup.
uint32_t lookupValue(const ExifEntry& entry, uint32_t type, bool bigEndian)
{
    ByteReader value = entry.bytes(bigEndian);
    switch (type) {
    case ExifByte: case ExifAscii: case ExifSByte: case ExifUndefined: return value.u8At(0);
    case ExifShort: case ExifSShort: return value.u16At(0);
    case ExifLong:
        // A SHORT entry counts as LONG for LONG rows.
        return entry.type == ExifShort ? value.u16At(0) : value.u32At(0);
    default: return entry.size >= 4 ? value.u32At(0) : value.u8At(0);
    }
}

}  // namespace

std::string exifFormatMakerEntry(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian,
                                 MakerFormatter formatter)
{
    uint32_t type = entry.type;
    if (type == ExifShort && row.type == ExifLong) type = ExifLong;
    if (row.type != 0 && row.type != type) return {};
    std::string text;
    if (row.valueNames) {
        uint32_t value = lookupValue(entry, row.type ? row.type : entry.type, bigEndian);
        const char* name = exifValueName(row.valueNames, value);
        text = name ? std::string(name) : formatText("%u", value);
    } else {
        text = exifFormatByType(entry, bigEndian, row.count);
    }
    if (formatter) formatter(row, entry, bigEndian, text);
    return text;
}

void exifWalkMakerDirectory(ExifWalk& walk, const MakerDirectory& d)
{
    if (d.dir > walk.size || walk.size - d.dir < 2 || d.base > walk.size) return;
    uint32_t n = walk.bytes(d.bigEndian).u16At(d.dir);
    size_t length = walk.size - d.base;
    for (uint32_t i = 0; i < n; ++i) {
        size_t pos = d.dir + 2 + size_t(12) * i;
        if (pos + 12 > walk.size) break;
        ExifEntry entry;
        if (!exifReadEntry(walk, pos, d.base, length, d.bigEndian, entry)) continue;
        const ExifTagEntry* row = exifFindRow(d.table, entry.tag);
        if (!row) continue;
        exifReport(walk, d.group, 0, exifRowLabel(*row), exifFormatMakerEntry(*row, entry, d.bigEndian, d.formatter));
    }
}

void exifDecodeArray(ExifWalk& walk, std::span<const ExifTagEntry> table, ByteReader values, size_t count,
                     unsigned valueBytes, ArrayFormatter formatter)
{
    for (size_t i = 0; i < count; ++i) {
        const ExifTagEntry* row = exifFindRow(table, static_cast<uint32_t>(i));
        if (!row) continue;
        const size_t at = i * valueBytes;
        uint32_t value = valueBytes == 2 ? values.u16At(at) : values.u32At(at);
        std::string text;
        bool formatted = formatter && formatter(static_cast<uint32_t>(i), value, text);
        if (!formatted && row->valueNames) {
            const char* name = exifValueName(row->valueNames, value);
            text = name ? std::string(name) : formatText("%d", static_cast<int>(value));
        } else if (!formatted) {
            text = formatText("%d", static_cast<int>(value));
        }
        exifReport(walk, ExifGroupMakernotes, 0, exifRowLabel(*row), text);
    }
}

}  // namespace fotrix
