#include "cli/arguments.h"

#include <charconv>
#include <cstdio>

#include "imagelib/load.h"
#include "imagelib/result.h"

namespace cli {

std::optional<long> parseNumber(std::string_view text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

bool parseSize(std::string_view text, int& width, int& height)
{
    const size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    const auto w = parseNumber(text.substr(0, x));
    const auto h = parseNumber(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > 1000000 || *h > 1000000) return false;
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

int reportError(int code, const char* readerMessage)
{
    const char* text = readerMessage && *readerMessage ? readerMessage : fotrix::resultText(code);
    std::fprintf(stderr, "error: %d %s\n", code, text);
    return code;
}

int reportLoadError(const std::string& file, int format, uint32_t frame, int code, const char* readerMessage)
{
    fotrix::FileInfo first;
    if (frame > 0 && fotrix::getFileInfo(file, format, 0, first, 0) == 0 && first.imageCount <= frame) {
        std::fprintf(stderr, "error: %d the file has %u image%s; --frame takes 0 to %u\n", code, first.imageCount,
                     first.imageCount == 1 ? "" : "s", first.imageCount - 1);
    } else {
        reportError(code, readerMessage);
    }
    fotrix::freeFileInfo(first);
    return code;
}

}  // namespace cli
