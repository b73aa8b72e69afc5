// GIF LZW decoding. Codes are packed least significant bit first into data
// sub-blocks (a length byte, then that many bytes). The code table holds up to
// 4096 strings; each entry keeps its last byte, its first byte, its length and
// the code of the string without its last byte, so a string can be written
// straight into the row from its end backwards.
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

struct LzwTable {
    uint16_t prefix[MaxCodes];
    uint16_t length[MaxCodes];
    uint8_t suffix[MaxCodes];
    uint8_t first[MaxCodes];
    uint8_t stack[MaxCodes];
};

// Reads codes of a given width from the sub-blocks.
class CodeReader {
public:
    explicit CodeReader(BufferedInput& input) : input_(input) {}

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

// Places decoded strings into rows and hands finished rows on; the sink
// names each next row's place, so rows can be decoded where they are kept.
struct RowWriter {
    uint8_t* row;
    int width;
    int height;
    GifRowSink sink;
    void* sinkData;
    int x = 0;
    int y = 0;
    int stopped = 0;

    bool full() const { return y >= height || stopped != 0; }

    void finishRow()
    {
        // Through a local, so that the writer's own fields can stay in
        // registers in the decoding loop.
        uint8_t* next = row;
        stopped = sink(sinkData, y, &next);
        row = next;
        ++y;
        x = 0;
    }

    // Writes the string of `code` (length `length`).
    [[gnu::always_inline]] void put(const LzwTable& table, int code, int length, uint8_t* stack)
    {
        if (width - x >= length) {
            uint8_t* p = row + x + length - 1;
            for (int c = code; p > row + x; --p) {
                *p = table.suffix[c];
                c = table.prefix[c];
            }
            *p = table.first[code];
            x += length;
            if (x == width) finishRow();
            return;
        }
        // The string runs past the end of the row: unwind it first.
        uint8_t* p = stack + length - 1;
        for (int c = code; p > stack; --p) {
            *p = table.suffix[c];
            c = table.prefix[c];
        }
        *p = table.first[code];
        int done = 0;
        while (done < length && !full()) {
            const int chunk = std::min(length - done, width - x);
            std::memcpy(row + x, stack + done, static_cast<size_t>(chunk));
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

int gifDecodeLzw(BufferedInput& input, int minimumCodeSize, int width, int height, uint8_t* row,
                 GifRowSink sink, void* sinkData)
{
    std::unique_ptr<LzwTable> table(new (std::nothrow) LzwTable);
    if (!table) return ResultNoMemory;

    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    for (int i = 0; i < clearCode; ++i) {
        table->prefix[i] = 0;
        table->length[i] = 1;
        table->suffix[i] = table->first[i] = static_cast<uint8_t>(i);
    }

    CodeReader codes(input);
    RowWriter out{row, width, height, sink, sinkData};
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
            if (code >= nextFree) code = 0;
            out.put(*table, code, table->length[code], table->stack);
            previous = code;
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= MaxCodes)) break;
        if (nextFree < MaxCodes) {
            // New entry: the previous string plus the first byte of this one
            // (for the code being defined right now, the previous string's first byte).
            const uint8_t firstByte = code == nextFree ? table->first[previous] : table->first[code];
            table->prefix[nextFree] = static_cast<uint16_t>(previous);
            table->suffix[nextFree] = firstByte;
            table->first[nextFree] = table->first[previous];
            table->length[nextFree] = static_cast<uint16_t>(table->length[previous] + 1);
            ++nextFree;
            if (nextFree == (1 << codeWidth) && codeWidth < MaxCodeWidth) ++codeWidth;
        }
        const int length = table->length[code];
        if (length > MaxCodes) break;
        out.put(*table, code, length, table->stack);
        previous = code;
    }

    if (out.stopped) return out.stopped;
    if (out.x > 0 && out.y < height) {
        std::memset(out.row + out.x, 0, static_cast<size_t>(width - out.x));
        out.finishRow();
    }
    codes.finish();
    return out.stopped;
}

}  // namespace fotrix
