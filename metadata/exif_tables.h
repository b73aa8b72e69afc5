#pragma once
// Tag tables as data: one row per tag, value-name lists beside them, and the
// label text table that rows and value names may refer to by number.
#include <cstddef>
#include <cstdint>
#include <span>

namespace fotrix {

// EXIF value types.
enum ExifType : uint32_t {
    ExifByte = 1,
    ExifAscii = 2,
    ExifShort = 3,
    ExifLong = 4,
    ExifRational = 5,
    ExifSByte = 6,
    ExifUndefined = 7,
    ExifSShort = 8,
    ExifSLong = 9,
    ExifSRational = 10,
    ExifFloat = 11,
    ExifDouble = 12,
};

// Bytes of one value of a type; 0 for types outside 1..12.
uint32_t exifTypeSize(uint32_t type);

// One value and its name. A list ends with value ValueNamesEnd, whose text is
// the fallback for values that are not listed.
struct ExifValueName {
    uint32_t value;
    uint32_t textId;   // into the label text table, used when name is null
    const char* name;  // literal text
};
constexpr uint32_t ValueNamesEnd = 0xFFFFFFFF;

struct ExifTagEntry {
    uint32_t tag;     // tag number, or array position for camera-settings arrays
    uint32_t type;    // expected EXIF type, 0 = any
    uint32_t count;   // expected byte count (ASCII and UNDEFINED rows), 0 = any
    uint32_t textId;  // label from the text table when name is null
    const char* name;
    const ExifValueName* valueNames;
};

// Shared texts of the label text table.
enum ExifTextId : uint32_t {
    TextUnknown = 0x55,
    TextOther = 0x56,
    TextNormal = 0x57,
    TextManual = 0x58,
    TextAuto = 0x59,
    TextOff = 0x5A,
    TextOn = 0x5B,
    TextNone = 0x5C,
    TextYes = 0x5D,
    TextNo = 0x5E,
    TextMacro = 0x5F,
    TextSoft = 0x60,
    TextHard = 0x61,
    TextLow = 0x62,
    TextHigh = 0x63,
};

// Text of an id; the empty text for ids that are not in the table.
const char* exifText(uint32_t id);
// The label of a row (literal name, else its text id).
const char* exifRowLabel(const ExifTagEntry& row);
// Name of a value in a list: the listed name, else the fallback. `found` is
// null when the matching entry has no text.
const char* exifValueName(const ExifValueName* names, uint32_t value);

// Helpers for writing tables.
constexpr ExifValueName vn(uint32_t value, const char* name) { return {value, 0, name}; }
constexpr ExifValueName vt(uint32_t value, uint32_t textId) { return {value, textId, nullptr}; }
constexpr ExifValueName otherwise(uint32_t textId) { return {ValueNamesEnd, textId, nullptr}; }
constexpr ExifTagEntry row(uint32_t tag, const char* name, const ExifValueName* names = nullptr)
{
    return {tag, 0, 0, 0, name, names};
}
constexpr ExifTagEntry typedRow(uint32_t tag, uint32_t type, uint32_t count, const char* name,
                                const ExifValueName* names = nullptr)
{
    return {tag, type, count, 0, name, names};
}

// The standard tables end with a row whose tag is 0.
extern const ExifTagEntry exifIfd0Table[];
extern const ExifTagEntry exifSubIfdTable[];
extern const ExifTagEntry exifInteropTable[];
// The GPS table is used with an explicit row count.
std::span<const ExifTagEntry> exifGpsTable();

// First row of a zero-terminated table with this tag, or null.
const ExifTagEntry* exifFindRow(const ExifTagEntry* table, uint32_t tag);
// First row of a counted table with this tag, or null.
const ExifTagEntry* exifFindRow(std::span<const ExifTagEntry> table, uint32_t tag);

}  // namespace fotrix
