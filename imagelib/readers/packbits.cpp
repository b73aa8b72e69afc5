#include "imagelib/readers/packbits.h"

#include <algorithm>
#include <cstring>

namespace fotrix {

PackBitsResult packBitsDecode(const uint8_t* source, size_t sourceSize, uint8_t* output, size_t outputSize)
{
    size_t in = 0;
    size_t out = 0;
    while (out < outputSize && in < sourceSize) {
        const uint8_t n = source[in++];
        if (n < 128) {
            const size_t literal = std::min(static_cast<size_t>(n) + 1, sourceSize - in);
            const size_t count = std::min(literal, outputSize - out);
            std::memcpy(output + out, source + in, count);
            in += literal;
            out += count;
        } else if (n > 128) {
            if (in >= sourceSize) break;
            const uint8_t value = source[in++];
            const size_t count = std::min(static_cast<size_t>(257 - n), outputSize - out);
            std::memset(output + out, value, count);
            out += count;
        }
    }
    return {in, out};
}

}  // namespace fotrix
