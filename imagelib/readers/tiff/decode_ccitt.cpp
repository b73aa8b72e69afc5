// CCITT bilevel data: modified Huffman rows (TIFF compression 2, each row
// starting on a byte boundary), ITU-T T.4 one- and two-dimensional coding
// (compression 3, rows after an EOL code) and ITU-T T.6 (compression 4).
// Decoded rows hold 1 for black.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

namespace {

struct Code {
    uint16_t bits;  // the code, right-aligned
    uint8_t length;
    int16_t run;
};

// T.4 tables 2 and 3: terminating codes (runs 0-63) and make-up codes,
// the extended make-up codes (1792-2560) shared by both colours.
constexpr Code whiteCodes[] = {
    {0x35, 8, 0}, {0x07, 6, 1}, {0x07, 4, 2}, {0x08, 4, 3}, {0x0B, 4, 4}, {0x0C, 4, 5}, {0x0E, 4, 6},
    {0x0F, 4, 7}, {0x13, 5, 8}, {0x14, 5, 9}, {0x07, 5, 10}, {0x08, 5, 11}, {0x08, 6, 12}, {0x03, 6, 13},
    {0x34, 6, 14}, {0x35, 6, 15}, {0x2A, 6, 16}, {0x2B, 6, 17}, {0x27, 7, 18}, {0x0C, 7, 19}, {0x08, 7, 20},
    {0x17, 7, 21}, {0x03, 7, 22}, {0x04, 7, 23}, {0x28, 7, 24}, {0x2B, 7, 25}, {0x13, 7, 26}, {0x24, 7, 27},
    {0x18, 7, 28}, {0x02, 8, 29}, {0x03, 8, 30}, {0x1A, 8, 31}, {0x1B, 8, 32}, {0x12, 8, 33}, {0x13, 8, 34},
    {0x14, 8, 35}, {0x15, 8, 36}, {0x16, 8, 37}, {0x17, 8, 38}, {0x28, 8, 39}, {0x29, 8, 40}, {0x2A, 8, 41},
    {0x2B, 8, 42}, {0x2C, 8, 43}, {0x2D, 8, 44}, {0x04, 8, 45}, {0x05, 8, 46}, {0x0A, 8, 47}, {0x0B, 8, 48},
    {0x52, 8, 49}, {0x53, 8, 50}, {0x54, 8, 51}, {0x55, 8, 52}, {0x24, 8, 53}, {0x25, 8, 54}, {0x58, 8, 55},
    {0x59, 8, 56}, {0x5A, 8, 57}, {0x5B, 8, 58}, {0x4A, 8, 59}, {0x4B, 8, 60}, {0x32, 8, 61}, {0x33, 8, 62},
    {0x34, 8, 63},
    {0x1B, 5, 64}, {0x12, 5, 128}, {0x17, 6, 192}, {0x37, 7, 256}, {0x36, 8, 320}, {0x37, 8, 384},
    {0x64, 8, 448}, {0x65, 8, 512}, {0x68, 8, 576}, {0x67, 8, 640}, {0xCC, 9, 704}, {0xCD, 9, 768},
    {0xD2, 9, 832}, {0xD3, 9, 896}, {0xD4, 9, 960}, {0xD5, 9, 1024}, {0xD6, 9, 1088}, {0xD7, 9, 1152},
    {0xD8, 9, 1216}, {0xD9, 9, 1280}, {0xDA, 9, 1344}, {0xDB, 9, 1408}, {0x98, 9, 1472}, {0x99, 9, 1536},
    {0x9A, 9, 1600}, {0x18, 6, 1664}, {0x9B, 9, 1728},
};

constexpr Code blackCodes[] = {
    {0x37, 10, 0}, {0x02, 3, 1}, {0x03, 2, 2}, {0x02, 2, 3}, {0x03, 3, 4}, {0x03, 4, 5}, {0x02, 4, 6},
    {0x03, 5, 7}, {0x05, 6, 8}, {0x04, 6, 9}, {0x04, 7, 10}, {0x05, 7, 11}, {0x07, 7, 12}, {0x04, 8, 13},
    {0x07, 8, 14}, {0x18, 9, 15}, {0x17, 10, 16}, {0x18, 10, 17}, {0x08, 10, 18}, {0x67, 11, 19},
    {0x68, 11, 20}, {0x6C, 11, 21}, {0x37, 11, 22}, {0x28, 11, 23}, {0x17, 11, 24}, {0x18, 11, 25},
    {0xCA, 12, 26}, {0xCB, 12, 27}, {0xCC, 12, 28}, {0xCD, 12, 29}, {0x68, 12, 30}, {0x69, 12, 31},
    {0x6A, 12, 32}, {0x6B, 12, 33}, {0xD2, 12, 34}, {0xD3, 12, 35}, {0xD4, 12, 36}, {0xD5, 12, 37},
    {0xD6, 12, 38}, {0xD7, 12, 39}, {0x6C, 12, 40}, {0x6D, 12, 41}, {0xDA, 12, 42}, {0xDB, 12, 43},
    {0x54, 12, 44}, {0x55, 12, 45}, {0x56, 12, 46}, {0x57, 12, 47}, {0x64, 12, 48}, {0x65, 12, 49},
    {0x52, 12, 50}, {0x53, 12, 51}, {0x24, 12, 52}, {0x37, 12, 53}, {0x38, 12, 54}, {0x27, 12, 55},
    {0x28, 12, 56}, {0x58, 12, 57}, {0x59, 12, 58}, {0x2B, 12, 59}, {0x2C, 12, 60}, {0x5A, 12, 61},
    {0x66, 12, 62}, {0x67, 12, 63},
    {0x0F, 10, 64}, {0xC8, 12, 128}, {0xC9, 12, 192}, {0x5B, 12, 256}, {0x33, 12, 320}, {0x34, 12, 384},
    {0x35, 12, 448}, {0x6C, 13, 512}, {0x6D, 13, 576}, {0x4A, 13, 640}, {0x4B, 13, 704}, {0x4C, 13, 768},
    {0x4D, 13, 832}, {0x72, 13, 896}, {0x73, 13, 960}, {0x74, 13, 1024}, {0x75, 13, 1088}, {0x76, 13, 1152},
    {0x77, 13, 1216}, {0x52, 13, 1280}, {0x53, 13, 1344}, {0x54, 13, 1408}, {0x55, 13, 1472},
    {0x5A, 13, 1536}, {0x5B, 13, 1600}, {0x64, 13, 1664}, {0x65, 13, 1728},
};

constexpr Code extendedCodes[] = {
    {0x08, 11, 1792}, {0x0C, 11, 1856}, {0x0D, 11, 1920}, {0x12, 12, 1984}, {0x13, 12, 2048},
    {0x14, 12, 2112}, {0x15, 12, 2176}, {0x16, 12, 2240}, {0x17, 12, 2304}, {0x1C, 12, 2368},
    {0x1D, 12, 2432}, {0x1E, 12, 2496}, {0x1F, 12, 2560},
};

constexpr int LookupBits = 13;

// Entry of a lookup table indexed by the next 13 bits: run and code length (0: no code).
struct Lookup {
    int16_t run = -1;
    uint8_t length = 0;
};

struct Tables {
    std::array<Lookup, 1 << LookupBits> white;
    std::array<Lookup, 1 << LookupBits> black;
};

void fill(std::array<Lookup, 1 << LookupBits>& table, const Code& code)
{
    const int shift = LookupBits - code.length;
    const int first = code.bits << shift;
    for (int i = 0; i < (1 << shift); i++) table[first + i] = {code.run, code.length};
}

const Tables& tables()
{
    static const Tables built = [] {
        Tables t;
        for (const Code& c : whiteCodes) fill(t.white, c);
        for (const Code& c : blackCodes) fill(t.black, c);
        for (const Code& c : extendedCodes) {
            fill(t.white, c);
            fill(t.black, c);
        }
        return t;
    }();
    return built;
}

// Bits most significant first; beyond the data the reader yields zeros and
// remembers that it ran out.
struct BitReader {
    const uint8_t* data;
    size_t size;
    size_t bitPos = 0;

    bool ended() const { return bitPos >= size * 8; }
    uint32_t peek(int n) const
    {
        uint32_t v = 0;
        size_t byte = bitPos >> 3;
        for (int i = 0; i < 4; i++) v = v << 8 | (byte + i < size ? data[byte + i] : 0);
        return (v << (bitPos & 7)) >> (32 - n);
    }
    void skip(int n) { bitPos += n; }
    void alignToByte() { bitPos = (bitPos + 7) & ~size_t{7}; }
};

enum class Status { Ok, Ended, Bad };

// One run length (make-up codes followed by a terminating code).
Status readRun(BitReader& bits, bool black, int& run)
{
    const auto& table = black ? tables().black : tables().white;
    run = 0;
    for (;;) {
        if (bits.ended()) return Status::Ended;
        const Lookup& l = table[bits.peek(LookupBits)];
        if (l.length == 0) return Status::Bad;
        bits.skip(l.length);
        run += l.run;
        if (l.run < 64) return Status::Ok;
    }
}

// Sets pixels [from, to) of a row to black.
void setBlack(uint8_t* row, int from, int to)
{
    while (from < to && (from & 7)) {
        row[from >> 3] |= static_cast<uint8_t>(0x80 >> (from & 7));
        from++;
    }
    if (to - from >= 8) {
        std::memset(row + (from >> 3), 0xFF, static_cast<size_t>((to - from) >> 3));
        from += (to - from) & ~7;
    }
    while (from < to) {
        row[from >> 3] |= static_cast<uint8_t>(0x80 >> (from & 7));
        from++;
    }
}

// Changing elements of a row: the positions where the colour changes, white first.
using Changes = std::vector<int>;

void paint(uint8_t* row, const Changes& changes, int width)
{
    for (size_t i = 0; i < changes.size(); i += 2) {
        const int from = std::min(changes[i], width);
        const int to = i + 1 < changes.size() ? std::min(changes[i + 1], width) : width;
        setBlack(row, from, to);
    }
}

Status decode1D(BitReader& bits, int width, Changes& changes)
{
    changes.clear();
    int a0 = 0;
    bool black = false;
    while (a0 < width) {
        int run;
        const Status s = readRun(bits, black, run);
        if (s != Status::Ok) return s;
        a0 = std::min(a0 + run, width);
        changes.push_back(a0);
        black = !black;
    }
    // The row's end is no change of colour.
    while (!changes.empty() && changes.back() >= width) changes.pop_back();
    return Status::Ok;
}

Status decode2D(BitReader& bits, int width, const Changes& reference, Changes& changes)
{
    changes.clear();
    // The reference line with sentinels, so that b1 and b2 always exist.
    static thread_local Changes ref;
    ref.assign(reference.begin(), reference.end());
    for (int i = 0; i < 4; i++) ref.push_back(width);
    int a0 = -1;
    bool black = false;
    size_t bi = 0;
    while (a0 < width) {
        while (bi > 0 && ref[bi - 1] > a0) bi--;
        while (ref[bi] <= a0 && bi + 2 < ref.size()) bi++;
        if ((bi & 1) != static_cast<size_t>(black) && bi + 2 < ref.size()) bi++;
        const int b1 = ref[bi];
        const int b2 = ref[std::min(bi + 1, ref.size() - 1)];
        if (bits.ended()) return Status::Ended;
        const uint32_t p = bits.peek(7);
        if (p & 0x40) {  // 1: V0
            bits.skip(1);
            a0 = std::max(b1, a0);
            changes.push_back(std::min(a0, width));
            black = !black;
        } else if ((p >> 4) == 0x1) {  // 001: horizontal
            bits.skip(3);
            int run1, run2;
            Status s = readRun(bits, black, run1);
            if (s != Status::Ok) return s;
            s = readRun(bits, !black, run2);
            if (s != Status::Ok) return s;
            const int start = std::max(a0, 0);
            const int a1 = std::min(start + run1, width);
            const int a2 = std::min(a1 + run2, width);
            changes.push_back(a1);
            changes.push_back(a2);
            a0 = a2;
        } else if ((p >> 3) == 0x1) {  // 0001: pass
            bits.skip(4);
            a0 = b2;
        } else if ((p >> 4) == 0x3 || (p >> 4) == 0x2) {  // 011 VR1, 010 VL1
            bits.skip(3);
            const int a1 = b1 + ((p >> 4) == 0x3 ? 1 : -1);
            if (a1 < a0 || a1 > width) return Status::Bad;
            a0 = a1;
            changes.push_back(a0);
            black = !black;
        } else if ((p >> 1) == 0x3 || (p >> 1) == 0x2) {  // 000011 VR2, 000010 VL2
            bits.skip(6);
            const int a1 = b1 + ((p >> 1) == 0x3 ? 2 : -2);
            if (a1 < a0 || a1 > width) return Status::Bad;
            a0 = a1;
            changes.push_back(a0);
            black = !black;
        } else if (p == 0x3 || p == 0x2) {  // 0000011 VR3, 0000010 VL3
            bits.skip(7);
            const int a1 = b1 + (p == 0x3 ? 3 : -3);
            if (a1 < a0 || a1 > width) return Status::Bad;
            a0 = a1;
            changes.push_back(a0);
            black = !black;
        } else {
            return Status::Bad;  // EOL or an extension inside a row
        }
    }
    while (!changes.empty() && changes.back() >= width) changes.pop_back();
    return Status::Ok;
}

// Skips an EOL (eleven or more zero bits and a one) when one comes next.
bool skipEol(BitReader& bits)
{
    size_t pos = bits.bitPos;
    int zeros = 0;
    while (pos < bits.size * 8 && !((bits.data[pos >> 3] >> (7 - (pos & 7))) & 1)) {
        zeros++;
        pos++;
    }
    if (zeros < 11 || pos >= bits.size * 8) return false;
    bits.bitPos = pos + 1;
    return true;
}

// Moves past the next EOL after damaged data; false when there is none.
bool resync(BitReader& bits)
{
    while (!bits.ended()) {
        if (bits.peek(12) == 1) {
            bits.skip(12);
            return true;
        }
        bits.skip(1);
    }
    return false;
}

}  // namespace

int decodeCcitt(std::span<const uint8_t> in, std::span<uint8_t> out, const CcittParams& params)
{
    const int width = static_cast<int>(params.width);
    const size_t rowBytes = (params.width + 7) / 8;
    std::fill(out.begin(), out.end(), 0);
    BitReader bits{in.data(), in.size()};
    Changes reference, current;
    const bool twoD = params.compression == CompressionGroup3 && (params.t4Options & 1);
    bool damaged = false;
    bool requireEol = (params.t4Options & 4) != 0;
    for (uint32_t y = 0; y < params.rows && (y + 1) * rowBytes <= out.size(); y++) {
        uint8_t* row = out.data() + y * rowBytes;
        Status s;
        if (params.compression == CompressionModifiedHuffman) {
            s = decode1D(bits, width, current);
            bits.alignToByte();
        } else if (params.compression == CompressionGroup4) {
            s = decode2D(bits, width, reference, current);
        } else {
            // With fill bits every row follows an EOL: data before it is not a row.
            // (Strips without any EOL are read as they come.)
            if (requireEol && !skipEol(bits)) {
                const size_t here = bits.bitPos;
                if (!resync(bits)) {
                    bits.bitPos = here;
                    requireEol = false;
                }
            }
            // Writers put fill bits and sometimes more than one EOL between rows.
            while (skipEol(bits)) {
                if (twoD && bits.peek(13) == 0x1001) bits.skip(1);  // a tag bit between two EOLs
            }
            bool oneD = true;
            if (twoD) {
                // After the EOL a tag bit tells the row's coding: 1 one-dimensional.
                oneD = bits.peek(1) != 0;
                bits.skip(1);
            }
            s = oneD ? decode1D(bits, width, current) : decode2D(bits, width, reference, current);
            if (s == Status::Bad) {
                // A row cut short by an early EOL keeps what it has, its last
                // run going on to the edge, as fax software shows such rows.
                damaged = true;
                paint(row, current, width);
                if (!resync(bits)) return ResultCorrupt;
                bits.bitPos -= 12;  // let the next row see its EOL
                reference.clear();
                continue;
            }
        }
        if (s == Status::Ended) return ResultReadError;
        if (s == Status::Bad) return ResultCorrupt;
        paint(row, current, width);
        std::swap(reference, current);
    }
    return damaged ? 10 : 0;
}

}  // namespace fotrix::tiff
