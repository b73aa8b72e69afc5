#pragma once
// Value formatting: fractions, trimmed numbers, values by type, and the
// standard and GPS formatters.
#include <cstdint>
#include <string>

#include "metadata/exif_tables.h"
#include "metadata/exif_walk.h"

namespace fotrix {

// printf into a std::string (the texts here are short).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// n/d reduced by the greatest common divisor; "0", "n/0" and "n" forms.
std::string exifFraction(int32_t numerator, int32_t denominator);
// Printed with `format`, the last two characters dropped, then trailing zeros
// and a final point removed.
std::string exifTrimmed(double value, const char* format = "%.6f");

// The value at the start of `value` of `type` as a number (rationals with a zero denominator give 0).
double exifNumber(ByteReader value, uint32_t type);

// The first value by type. `cut` limits ASCII and UNDEFINED texts (0 = size).
std::string exifFormatByType(const ExifEntry& entry, bool bigEndian, uint32_t cut);

// The standard formatter (IFD0, EXIF, interoperability, thumbnail).
std::string exifFormatStandard(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian);

// The GPS formatter.
void exifFormatGps(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian, std::string& text);

}  // namespace fotrix
