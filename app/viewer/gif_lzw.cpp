// GIF LZW decoding (GIF89a, appendix F): a code table of
// prefix/suffix pairs, strings written backwards from the table.
#include "app/viewer/gif_lzw.h"

namespace fotrix {

namespace {

constexpr int kMaxCodes = 4096;

struct BitReader {
    const uint8_t* data;
    size_t size;
    size_t position = 0;  // in bits
    // The next `width` bits, least significant first; -1 at the end.
    int read(int width)
    {
        if (position + static_cast<size_t>(width) > size * 8) return -1;
        int value = 0;
        for (int i = 0; i < width; ++i, ++position)
            value |= ((data[position >> 3] >> (position & 7)) & 1) << i;
        return value;
    }
};

}  // namespace

long GifLzwDecode(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize)
{
    if (minimumCodeSize < 2 || minimumCodeSize > 11) return -1;
    const int clear = 1 << minimumCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint8_t> suffix(kMaxCodes), stack(kMaxCodes + 2);
    for (int i = 0; i < clear; ++i) suffix[i] = static_cast<uint8_t>(i);
    BitReader bits{data, size};
    int width = minimumCodeSize + 1, next = end + 1, previous = -1;
    uint8_t first = 0;
    size_t written = 0;
    while (written < outSize) {
        int code = bits.read(width);
        if (code < 0 || code == end) break;
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clear) return -1;
            out[written++] = static_cast<uint8_t>(code);
            first = static_cast<uint8_t>(code);
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes)) return -1;
        // The string of the code, backwards onto the stack.
        int depth = 0, walk = code;
        if (code == next) {
            stack[depth++] = first;
            walk = previous;
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = static_cast<uint8_t>(walk);
        first = static_cast<uint8_t>(walk);
        while (depth > 0 && written < outSize) out[written++] = stack[--depth];
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = first;
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        previous = code;
    }
    return static_cast<long>(written);
}

}  // namespace fotrix
