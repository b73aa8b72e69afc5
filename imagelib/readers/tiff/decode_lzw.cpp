// LZW strips (TIFF 6.0, section 13): 9- to 12-bit codes, clear code 256,
// end code 257. Files of the TIFF 6 kind store codes most significant bit
// first and widen the code one entry early (at 511, 1023, 2047); the older
// kind stores them least significant bit first and widens at 512, 1024, 2048.
// PackBits (section 9) and the bit-reversal table live here too.
#include <algorithm>
#include <array>
#include <cstring>

#include "imagelib/readers/packbits.h"
#include "imagelib/result.h"
#include "imagelib/readers/tiff/tiff_internal.h"

namespace fotrix::tiff {

namespace {

constexpr uint32_t ClearCode = 256;
constexpr uint32_t EndCode = 257;
constexpr uint32_t TableSize = 4096;

constexpr std::array<uint8_t, 256> makeReverseTable()
{
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; v++) {
        uint8_t r = 0;
        for (int i = 0; i < 8; i++)
            if (v & (1 << i)) r |= static_cast<uint8_t>(0x80 >> i);
        table[v] = r;
    }
    return table;
}

}  // namespace

const std::array<uint8_t, 256> bitReverse = makeReverseTable();

void reverseBits(std::span<uint8_t> data)
{
    for (uint8_t& b : data) b = bitReverse[b];
}

int decodePackBits(std::span<const uint8_t> in, std::span<uint8_t> out)
{
    const PackBitsResult r = packBitsDecode(in.data(), in.size(), out.data(), out.size());
    return r.produced < out.size() ? 4 : 0;
}

int decodeLzw(std::span<const uint8_t> in, std::span<uint8_t> out)
{
    if (out.empty()) return 0;
    if (in.size() < 2) return ResultReadError;
    // The first code is always a clear code: 0x80 0x00 in the TIFF 6 kind, 0x00 0x01 in the old one.
    const bool lsbFirst = in[0] == 0 && (in[1] & 1);
    const uint32_t early = lsbFirst ? 0 : 1;

    // Each entry is a run of earlier output: where it starts and how long it is.
    static thread_local uint32_t position[TableSize];
    static thread_local uint16_t length[TableSize];

    size_t bitPos = 0;
    const size_t totalBits = in.size() * 8;
    uint32_t width = 9;
    uint32_t next = 258;
    int64_t previous = -1;
    size_t produced = 0;
    bool first = true;

    auto readCode = [&](uint32_t& code) {
        if (bitPos + width > totalBits) return false;
        uint32_t v = 0;
        if (lsbFirst) {
            for (uint32_t i = 0; i < width; i++, bitPos++)
                v |= static_cast<uint32_t>((in[bitPos >> 3] >> (bitPos & 7)) & 1) << i;
        } else {
            size_t byte = bitPos >> 3;
            uint32_t window = static_cast<uint32_t>(in[byte]) << 16;
            if (byte + 1 < in.size()) window |= static_cast<uint32_t>(in[byte + 1]) << 8;
            if (byte + 2 < in.size()) window |= in[byte + 2];
            v = (window >> (24 - (bitPos & 7) - width)) & ((1u << width) - 1);
            bitPos += width;
        }
        code = v;
        return true;
    };

    while (produced < out.size()) {
        uint32_t code;
        if (!readCode(code)) break;
        if (code == EndCode) break;
        if (code == ClearCode) {
            width = 9;
            next = 258;
            previous = -1;
            first = false;
            continue;
        }
        if (first) return ResultBadHeader;  // a strip must begin with a clear code
        const size_t start = produced;
        if (code < 256) {
            out[produced++] = static_cast<uint8_t>(code);
        } else if (code < next && previous >= 0) {
            const size_t n = std::min<size_t>(length[code], out.size() - produced);
            std::memmove(&out[produced], &out[position[code]], n);
            produced += n;
        } else if (code == next && previous >= 0) {
            // The entry being defined: the previous string and its own first byte.
            const uint32_t from = previous < 256 ? 0 : position[previous];
            const size_t prevLength = previous < 256 ? 1 : length[previous];
            const uint8_t firstByte = previous < 256 ? static_cast<uint8_t>(previous) : out[from];
            for (size_t i = 0; i < prevLength && produced < out.size(); i++)
                out[produced++] = previous < 256 ? static_cast<uint8_t>(previous) : out[from + i];
            if (produced < out.size()) out[produced++] = firstByte;
        } else {
            return ResultBadHeader;
        }
        if (previous >= 0 && next < TableSize) {
            // New entry: the previous string followed by the first byte of this one, which
            // stands right before this string in the output.
            const size_t prevLength = previous < 256 ? 1 : length[previous];
            if (start >= prevLength && prevLength + 1 <= 0xFFFF) {
                position[next] = static_cast<uint32_t>(start - prevLength);
                length[next] = static_cast<uint16_t>(prevLength + 1);
            } else {
                position[next] = static_cast<uint32_t>(start);
                length[next] = 1;
            }
            next++;
        }
        if (next + early >= (1u << width) && width < 12) width++;
        previous = code;
    }
    return produced < out.size() ? 4 : 0;
}

}  // namespace fotrix::tiff
