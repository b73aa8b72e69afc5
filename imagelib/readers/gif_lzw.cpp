// GIF LZW decoding. Codes are packed least significant bit first into data
// sub-blocks (a length byte, then that many bytes). The code table holds up to
// 4096 strings. A string is kept as a chain of 8-byte pieces: each entry holds
// the string's last piece (1 to 8 bytes, starting at a multiple of 8) and the
// code of the string before that piece, whose length is a multiple of 8. A
// string is then written from its end backwards, 8 bytes a step, with one
// dependent load per piece instead of one per byte.
#include "imagelib/readers/gif_lzw.h"
#include "imagelib/result.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace fotrix {

namespace {

constexpr int MaxCodes = 4096;
constexpr int MaxCodeWidth = 12;
constexpr int Piece = 8;

struct LzwTable {
    uint8_t last[MaxCodes][Piece];  // the string's bytes from (length - 1) / 8 * 8 on; the rest is stale
    uint16_t before[MaxCodes];      // the code of the string's first (length - 1) / 8 * 8 bytes
    uint16_t length[MaxCodes];
    uint8_t first[MaxCodes];
    // A whole string for the row's end, where it runs past the row; a piece
    // is written whole, so it needs a piece's room beyond the longest string.
    uint8_t spill[MaxCodes + Piece];
};

// Writes the string of `code` (`length` bytes) to `out`, which has room for
// the string rounded up to whole pieces.
[[gnu::always_inline]] inline void writeString(const LzwTable& table, int code, int length, uint8_t* out)
{
    uint8_t* p = out + (length - 1) / Piece * Piece;
    std::memcpy(p, table.last[code], Piece);
    while (p > out) {
        code = table.before[code];
        p -= Piece;
        std::memcpy(p, table.last[code], Piece);
    }
}

// Reads codes of a given width from the sub-blocks.
class SubBlockCodes {
public:
    explicit SubBlockCodes(BufferedInput& input) : input_(input) {}

    // The next code, or -1 when the data ends (terminator or end of file).
    [[gnu::always_inline]] int code(int width)
    {
        while (count_ < width) {
            if (blockLeft_ == 0) {
                const int length = input_.next();
                if (length <= 0) {
                    terminated_ = true;
                    return -1;
                }
                blockLeft_ = length;
            }
            if (!input_.fill()) {
                terminated_ = true;
                return -1;
            }
            // As many whole bytes as the bit buffer takes, the block holds
            // and are buffered, in one go.
            const int take = std::min({(31 - count_) / 8, blockLeft_, static_cast<int>(input_.available())});
            const uint8_t* bytes = input_.data();
            for (int i = 0; i < take; ++i, count_ += 8) bits_ |= static_cast<uint32_t>(bytes[i]) << count_;
            input_.consume(static_cast<size_t>(take));
            blockLeft_ -= take;
        }
        const int value = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return value;
    }

    // Moves past whatever is left of the image data.
    void finish()
    {
        if (terminated_) return;
        input_.skip(static_cast<size_t>(blockLeft_));
        blockLeft_ = 0;
        gifSkipSubBlocks(input_);
        terminated_ = true;
    }

private:
    BufferedInput& input_;
    uint32_t bits_ = 0;
    int count_ = 0;
    int blockLeft_ = 0;
    bool terminated_ = false;
};

// Reads codes of a given width from data already taken out of its sub-blocks.
class JoinedCodes {
public:
    JoinedCodes(const uint8_t* data, size_t size) : data_(data), end_(data + size) {}

    // The next code, or -1 when the data holds no whole code more.
    [[gnu::always_inline]] int code(int width)
    {
        while (count_ < width) {
            if (data_ == end_) return -1;
            bits_ |= static_cast<uint32_t>(*data_++) << count_;
            count_ += 8;
        }
        const int value = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return value;
    }
    void finish() {}

private:
    const uint8_t* data_;
    const uint8_t* end_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

// Places decoded strings into rows and hands finished rows on; the sink
// names each next row's place, so rows can be decoded where they are kept.
struct RowWriter {
    uint8_t* row;
    ptrdiff_t width;
    int height;
    GifRowSink sink;
    void* sinkData;
    ptrdiff_t x = 0;
    int y = 0;
    int stopped = 0;

    bool full() const { return y >= height || stopped != 0; }

    void finishRow()
    {
        // Through a local, so that the writer's own fields can stay in
        // registers in the decoding loop.
        uint8_t* next = row;
        stopped = sink ? sink(sinkData, y, &next) : 0;
        row = next;
        ++y;
        x = 0;
    }

    // Writes the string of `code` (length `length`).
    [[gnu::always_inline]] void put(LzwTable& table, int code, int length)
    {
        // Straight into the row while the string's whole pieces fit: the
        // bytes written past the string's end are overwritten by the strings
        // that follow it.
        if (width - x >= (length + Piece - 1) / Piece * Piece) {
            writeString(table, code, length, row + x);
            x += length;
            if (x == width) finishRow();
            return;
        }
        writeString(table, code, length, table.spill);
        ptrdiff_t done = 0;
        while (done < length && !full()) {
            const ptrdiff_t chunk = std::min<ptrdiff_t>(length - done, width - x);
            std::memcpy(row + x, table.spill + done, static_cast<size_t>(chunk));
            x += chunk;
            done += chunk;
            if (x == width) finishRow();
        }
    }
};

}  // namespace

void gifSkipSubBlocks(BufferedInput& input)
{
    for (;;) {
        const int length = input.next();
        if (length <= 0 || !input.skip(static_cast<size_t>(length))) return;
    }
}

namespace {

// What ended decoding, besides the end code, the end of the data or the last row.
constexpr int BadCode = -1;  // a code the table does not hold, when such codes fail

// The decoding loop: codes from `codes`, strings into `out`. A code the
// table does not hold ends decoding quietly, or gives BadCode when
// `failOnBadCode` is set. Returns 0, BadCode, or the row sink's answer.
template <typename Codes>
int decodeCodes(Codes& codes, LzwTable& table, int minimumCodeSize, RowWriter& out, bool failOnBadCode)
{
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    for (int i = 0; i < clearCode; ++i) {
        table.before[i] = 0;
        table.length[i] = 1;
        std::memset(table.last[i], 0, Piece);
        table.last[i][0] = table.first[i] = static_cast<uint8_t>(i);
    }

    int nextFree = clearCode + 2;
    int codeWidth = minimumCodeSize + 1;
    int previous = -1;  // no string yet: right after a clear code or at the start

    while (!out.full()) {
        int code = codes.code(codeWidth);
        if (code < 0 || code == endCode) break;
        if (code == clearCode) {
            nextFree = clearCode + 2;
            codeWidth = minimumCodeSize + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // The first code after a clear names a single byte; anything the
            // table cannot hold yet is taken as 0.
            if (code >= nextFree) {
                if (failOnBadCode) return BadCode;
                code = 0;
            }
            out.put(table, code, table.length[code]);
            previous = code;
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= MaxCodes)) {
            if (failOnBadCode) return BadCode;
            break;
        }
        if (nextFree < MaxCodes) {
            // New entry: the previous string plus the first byte of this one
            // (for the code being defined right now, the previous string's
            // first byte). It extends the previous string's last piece, or
            // starts a piece of its own when that one is full.
            const uint8_t firstByte = code == nextFree ? table.first[previous] : table.first[code];
            const int previousLength = table.length[previous];
            if (previousLength % Piece != 0) {
                std::memcpy(table.last[nextFree], table.last[previous], Piece);
                table.before[nextFree] = table.before[previous];
            } else {
                table.before[nextFree] = static_cast<uint16_t>(previous);
            }
            table.last[nextFree][previousLength % Piece] = firstByte;
            table.first[nextFree] = table.first[previous];
            table.length[nextFree] = static_cast<uint16_t>(previousLength + 1);
            ++nextFree;
            if (nextFree == (1 << codeWidth) && codeWidth < MaxCodeWidth) ++codeWidth;
        }
        const int length = table.length[code];
        if (length > MaxCodes) break;
        out.put(table, code, length);
        previous = code;
    }
    return out.stopped;
}

}  // namespace

int gifDecodeLzw(BufferedInput& input, int minimumCodeSize, int width, int height, uint8_t* row,
                 GifRowSink sink, void* sinkData)
{
    std::unique_ptr<LzwTable> table(new (std::nothrow) LzwTable());
    if (!table) return ResultNoMemory;
    SubBlockCodes codes(input);
    RowWriter out{row, width, height, sink, sinkData};
    const int stopped = decodeCodes(codes, *table, minimumCodeSize, out, false);
    if (stopped != 0) return stopped;
    if (out.x > 0 && out.y < height) {
        std::memset(out.row + out.x, 0, static_cast<size_t>(width - out.x));
        out.finishRow();
    }
    codes.finish();
    return out.stopped;
}

long gifDecodeLzwJoined(int minimumCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize)
{
    if (minimumCodeSize < 2 || minimumCodeSize > MaxCodeWidth - 1) return -1;
    if (outSize == 0) return 0;
    std::unique_ptr<LzwTable> table(new (std::nothrow) LzwTable());
    if (!table) return -1;
    JoinedCodes codes(data, size);
    // One row of the whole output, which ends decoding once it is full.
    RowWriter writer{out, static_cast<ptrdiff_t>(outSize), 1, nullptr, nullptr};
    if (decodeCodes(codes, *table, minimumCodeSize, writer, true) == BadCode) return -1;
    return static_cast<long>(writer.y > 0 ? writer.width : writer.x);
}

}  // namespace fotrix
