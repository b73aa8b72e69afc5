#include "platform/base/utf8.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Code points of 0x80..0x9F in Windows-1252; 0 marks the five unassigned bytes.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

}  // namespace

uint32_t utf8Next(std::string_view text, size_t* pos)
{
    size_t i = *pos;
    if (i >= text.size()) return 0;
    uint8_t b0 = static_cast<uint8_t>(text[i]);
    if (b0 < 0x80) {
        *pos = i + 1;
        return b0;
    }
    int extra;
    uint32_t cp, minimum;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        *pos = i + 1;
        return kReplacement;
    }
    if (i + extra >= text.size()) {
        *pos = i + 1;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        uint8_t b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            *pos = i + 1;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        *pos = i + 1;
        return kReplacement;
    }
    *pos = i + 1 + extra;
    return cp;
}

void utf8Append(std::string& out, uint32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool utf8Valid(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t before = pos;
        uint32_t cp = utf8Next(text, &pos);
        // A genuine U+FFFD takes three bytes; a replacement for a bad byte takes one.
        if (cp == kReplacement && pos - before != 3) return false;
    }
    return true;
}

size_t utf8Length(std::string_view text)
{
    size_t pos = 0, n = 0;
    while (pos < text.size()) {
        utf8Next(text, &pos);
        ++n;
    }
    return n;
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        uint8_t b = static_cast<uint8_t>(c);
        uint32_t cp = b;
        if (b >= 0x80 && b < 0xA0) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : kReplacement;
        utf8Append(out, cp);
    }
    return out;
}
