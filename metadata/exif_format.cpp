// Turning EXIF values into short readable texts.
#include "metadata/exif_format.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fotrix {

std::string formatText(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string exifFraction(int32_t numerator, int32_t denominator)
{
    if (numerator == 0) return "0";
    if (denominator == 0) return formatText("%d/%d", numerator, 0);
    if (denominator == 1) return formatText("%d", numerator);
    // Euclid on magnitudes in 64 bits, so INT32_MIN cannot overflow.
    int64_t n = numerator, d = denominator;
    int64_t a = std::llabs(n), b = std::llabs(d);
    while (b != 0) {
        int64_t t = a % b;
        a = b;
        b = t;
    }
    n /= a;
    d /= a;
    if (d < 0) {  // keep the sign on the numerator
        n = -n;
        d = -d;
    }
    return formatText("%lld/%lld", static_cast<long long>(n), static_cast<long long>(d));
}

std::string exifTrimmed(double value, const char* format)
{
    if (!std::isfinite(value)) return formatText("%f", value);
    std::string text = formatText(format, value);
    if (text.size() > 2) text.resize(text.size() - 2);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return text;
}

double exifNumber(ByteReader value, uint32_t type)
{
    switch (type) {
    case ExifByte: case ExifAscii: case ExifUndefined: return value.u8At(0);
    case ExifShort: return value.u16At(0);
    case ExifLong: return value.u32At(0);
    case ExifSByte: return static_cast<int8_t>(value.u8At(0));
    case ExifSShort: return static_cast<int16_t>(value.u16At(0));
    case ExifSLong: return static_cast<int32_t>(value.u32At(0));
    case ExifRational:
    case ExifSRational: {
        int32_t n = static_cast<int32_t>(value.u32At(0));
        int32_t d = static_cast<int32_t>(value.u32At(4));
        return d == 0 ? 0.0 : double(n) / double(d);
    }
    case ExifFloat: {
        uint32_t bits = value.u32At(0);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    case ExifDouble: {
        // The high word comes first in big-endian order, last in little-endian.
        uint64_t bits = value.bigEndian ? uint64_t(value.u32At(0)) << 32 | value.u32At(4)
                                        : uint64_t(value.u32At(4)) << 32 | value.u32At(0);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    default: return 0;
    }
}

namespace {

// Bytes as text, stopping at a NUL, at most `limit` (and never past 255).
std::string bytesAsText(const uint8_t* p, size_t size, size_t limit)
{
    size_t n = std::min<size_t>({size, limit, 255});
    size_t length = 0;
    while (length < n && p[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(p), length);
}

int32_t signed32(ByteReader& value, size_t at) { return static_cast<int32_t>(value.u32At(at)); }

std::string fractionAt(ByteReader& value, size_t at)
{
    return exifFraction(signed32(value, at), signed32(value, at + 4));
}

// "1/%d" for short times, else the value with two decimals.
std::string exposureText(double t)
{
    if (t > 0 && t < 0.25001) return formatText("1/%.0f", std::floor(1 / t + 0.5));  // no int: damaged values may be huge
    return formatText("%.2lf", t);
}

}  // namespace

std::string exifFormatByType(const ExifEntry& entry, bool bigEndian, uint32_t cut)
{
    ByteReader value = entry.bytes(bigEndian);
    size_t limit = cut ? cut : entry.size;
    switch (entry.type) {
    case ExifAscii:
    case ExifUndefined: return bytesAsText(entry.value, entry.size, limit);
    case ExifByte: return formatText("%u", value.u8At(0));
    case ExifShort: return formatText("%u", value.u16At(0));
    case ExifLong: return formatText("%u", value.u32At(0));
    // Signed types are shown with their sign.
    case ExifSByte: return formatText("%d", static_cast<int8_t>(value.u8At(0)));
    case ExifSShort: return formatText("%d", static_cast<int16_t>(value.u16At(0)));
    case ExifSLong: return formatText("%d", signed32(value, 0));
    case ExifRational:
    case ExifSRational: return fractionAt(value, 0);
    case ExifFloat:
    case ExifDouble: return exifTrimmed(exifNumber(value, entry.type));
    default: return {};
    }
}

// A value read as a double (floats, fractions) as a whole number; values
// beyond the range (damaged entries) saturate instead of overflowing.
static int64_t wholeNumber(double v)
{
    if (!(v == v)) return 0;  // NaN
    return static_cast<int64_t>(std::clamp(v, -9.2e18, 9.2e18));
}

std::string exifFormatStandard(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian)
{
    const uint8_t* p = entry.value;
    ByteReader value = entry.bytes(bigEndian);
    double v = exifNumber(value, entry.type);
    if (row.valueNames) {
        uint32_t value = static_cast<uint32_t>(wholeNumber(v));
        const char* name = exifValueName(row.valueNames, value);
        return formatText("%s (%d)", name ? name : "", static_cast<int>(value));
    }
    switch (row.tag) {
    case 0x0128: {
        const int64_t unit = wholeNumber(v);
        return unit == 2 ? "Inch" : unit == 3 ? "Centimeter" : formatText("%lld", static_cast<long long>(unit));
    }
    case 0x829A:
        if (v < 0) return formatText("%.1lf", std::pow(2.0, std::fabs(v)));
        return exposureText(v);
    case 0x829D: return formatText("%2.1f", v);
    case 0x9000:
    case 0xA000:
        if (entry.size != 4) return {};
        return formatText("%c%c.%c%c", p[0], p[1], p[2], p[3]);
    case 0x9101:
        if (entry.type != ExifUndefined || entry.size != 4) return {};
        if (p[0] == 4 && p[1] == 5 && p[2] == 6 && p[3] == 0) return "RGB uncompressed";
        if (p[0] == 1 && p[1] == 2 && p[2] == 3 && p[3] == 0) return "YCbCr";
        return formatText("%x", value.u32leAt(0));
    case 0x9201: {
        double t = std::fabs(v) >= 100 ? 0 : 1 / std::pow(2.0, v);
        return exposureText(t);
    }
    case 0x9202:
    case 0x9205: return formatText("F%.1f", std::pow(std::sqrt(2.0), v));
    case 0x9206: {
        if (entry.type != ExifRational && entry.type != ExifSRational) return {};
        int32_t d = signed32(value, 4);
        if (d == 0) return fractionAt(value, 0);
        // Two decimals: whole metres would turn 1.1 m into 1.
        return exifTrimmed(double(signed32(value, 0)) / d, "%.4f");
    }
    case 0x9209: {
        int flash = static_cast<int>(wholeNumber(v) & 3);
        return flash == 0 ? "No flash" : flash == 1 ? "Flash fired" : "";
    }
    case 0x920A: return exifTrimmed(v, "%.3f");
    case 0x9286: {
        if (entry.size < 9) return {};
        if (entry.size >= 13 && std::memcmp(p + 8, "    ", 4) == 0) return {};
        return bytesAsText(p + 8, entry.size - 8, entry.size - 8);
    }
    case 0xA001: {
        const int64_t space = wholeNumber(v);
        return space == 1 ? "sRGB" : space == 0xFFFF ? "Uncalibrated" : formatText("%lld", static_cast<long long>(space));
    }
    case 0xA300:
        if (entry.type != ExifUndefined || entry.count != 1) return {};
        return p[0] == 3 ? "DSC" : formatText("%d", p[0]);
    case 0xA301:
        if (entry.type != ExifUndefined || entry.count != 1) return {};
        return p[0] == 1 ? "A directly photographed image" : formatText("%d", p[0]);
    default: return exifFormatByType(entry, bigEndian, 0);
    }
}

namespace {

// Degrees, minutes and seconds of a latitude or longitude.
std::string gpsCoordinate(ByteReader value)
{
    int32_t dn = signed32(value, 0), dd = signed32(value, 4);
    int32_t mn = signed32(value, 8), md = signed32(value, 12);
    int32_t sn = signed32(value, 16), sd = signed32(value, 20);
    std::string degrees = dd == 1 ? formatText("%d", dn) : exifFraction(dn, dd);
    std::string minutes = md == 1 ? formatText("%d", mn)
                          : md == 100 ? formatText("%.2lf", mn * 0.01)
                                      : exifFraction(mn, md);
    double seconds = sd == 0 ? 0.0 : double(sn) / sd;
    // The degree sign in UTF-8, the system's text encoding.
    return degrees + "\xC2\xB0 " + minutes + "' " + formatText("%.2f", seconds) + "\"";
}

}  // namespace

void exifFormatGps(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian, std::string& text)
{
    const uint8_t* p = entry.value;
    switch (row.tag) {
    case 0x0000:
        if (entry.size == 4) text = formatText("%d.%d.%d.%d", p[0], p[1], p[2], p[3]);
        break;
    case 0x0002:
    case 0x0004:
        if (entry.size == 24) text = gpsCoordinate(entry.bytes(bigEndian));
        break;
    case 0x0001: case 0x0003: case 0x0009: case 0x000E: case 0x0013: case 0x0015: case 0x0017: case 0x0019:
        if (row.valueNames && entry.size >= 1) {
            const char* name = exifValueName(row.valueNames, p[0]);
            text = name ? name : formatText("%d", p[0]);
        }
        break;
    default: break;
    }
}

}  // namespace fotrix
