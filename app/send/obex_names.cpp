// Conversions between the wire's UTF-16 names and the file system's UTF-8 ones.
#include "app/send/obex_names.h"

namespace fotrix::obex {
namespace {

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | code >> 6));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | code >> 12));
        out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | code >> 18));
        out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool isHigh(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLow(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::string utf8FromUtf16(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (isHigh(text[i]) || isLow(text[i])) {
            code = U'_';  // a lone surrogate is no character
        }
        appendUtf8(out, code);
    }
    return out;
}

std::u16string utf16FromUtf8(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t code = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::optional<std::string> sanitisedName(const std::u16string& sent) {
    auto cut = sent.find_last_of(u"/\\");
    std::u16string last = cut == std::u16string::npos ? sent : sent.substr(cut + 1);
    auto start = last.find_first_not_of(u". ");
    if (start == std::u16string::npos) return std::nullopt;
    last.erase(0, start);
    for (char16_t& unit : last)
        if (unit < 0x20 || unit == 0x7F) unit = u'_';
    while (!last.empty() && last.back() == u' ') last.pop_back();
    std::string name = utf8FromUtf16(last);
    if (name.empty() || name.size() > 255) return std::nullopt;
    return name;
}

}  // namespace fotrix::obex
