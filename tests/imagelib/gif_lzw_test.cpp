// The GIF LZW decoder on its own: real LZW data of every code size, with
// strings far longer than a row and of every length around the decoder's
// 8-byte pieces, decoded at row widths that make strings cross row ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imagelib/readers/gif_lzw.h"
#include "tests/support/test_support.h"

using namespace fotrix;

namespace {

struct EncodeOptions {
    bool clearWhenFull = true;  // false: keep using the full table (a "deferred clear")
    bool endCode = true;
};

std::vector<uint8_t> encodeLzwBlocks(const std::vector<uint8_t>& packed);

// A plain GIF LZW encoder: longest match in a dictionary of strings, code
// width growing with the table, packed into sub-blocks.
std::vector<uint8_t> encodeLzw(const std::vector<uint8_t>& pixels, int codeSize, EncodeOptions options = {})
{
    const int clear = 1 << codeSize;
    std::vector<int16_t> table(size_t{4096} << 8, -1);  // (prefix, next byte) -> code
    int nextFree = clear + 2;
    int width = codeSize + 1;
    std::vector<uint8_t> packed;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        count += width;
        for (; count >= 8; count -= 8, bits >>= 8) packed.push_back(static_cast<uint8_t>(bits));
    };
    put(clear);
    int prefix = -1;
    for (uint8_t p : pixels) {
        if (prefix < 0) {
            prefix = p;
            continue;
        }
        int16_t& entry = table[static_cast<size_t>(prefix) << 8 | p];
        if (entry >= 0) {
            prefix = entry;
            continue;
        }
        put(prefix);
        if (nextFree < 4096) {
            entry = static_cast<int16_t>(nextFree++);
            // The decoder learns each entry one code later, so the width
            // grows once the code just added no longer fits.
            if (nextFree > (1 << width) && width < 12) ++width;
        } else if (options.clearWhenFull) {
            put(clear);
            std::fill(table.begin(), table.end(), int16_t{-1});
            nextFree = clear + 2;
            width = codeSize + 1;
        }
        prefix = p;
    }
    if (prefix >= 0) put(prefix);
    if (options.endCode) put(clear + 1);
    if (count > 0) packed.push_back(static_cast<uint8_t>(bits));
    return encodeLzwBlocks(packed);
}

// Packed codes in sub-blocks of 255 bytes and a terminator.
std::vector<uint8_t> encodeLzwBlocks(const std::vector<uint8_t>& packed)
{
    std::vector<uint8_t> blocks;
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - i);
        blocks.push_back(static_cast<uint8_t>(n));
        blocks.insert(blocks.end(), packed.begin() + static_cast<long>(i), packed.begin() + static_cast<long>(i + n));
    }
    blocks.push_back(0);
    return blocks;
}

struct Decoded {
    int result = -1;
    std::vector<uint8_t> pixels;  // the rows handed over, one after the other
    int rows = 0;
    int afterData = -1;           // the byte after the sub-blocks' terminator
};

struct Collector {
    std::vector<uint8_t> row;
    Decoded* decoded;
};

int collectRow(void* data, int runningRow, uint8_t** nextRow)
{
    auto& collector = *static_cast<Collector*>(data);
    EXPECT_EQ(runningRow, collector.decoded->rows);
    collector.decoded->pixels.insert(collector.decoded->pixels.end(), collector.row.begin(), collector.row.end());
    ++collector.decoded->rows;
    *nextRow = collector.row.data();
    return 0;
}

// Decodes `data` (followed by a marker byte) as a width x height image.
Decoded decode(const std::vector<uint8_t>& data, int codeSize, int width, int height)
{
    testsupport::TempDir dir;
    std::vector<uint8_t> file = data;
    file.push_back(0x3B);
    testsupport::writeFile(dir / "data", file);
    Stream stream;
    EXPECT_EQ(streamOpen(stream, (dir / "data").string()), 0);
    BufferedInput input(stream);
    Decoded decoded;
    Collector collector{std::vector<uint8_t>(static_cast<size_t>(width), 0xEE), &decoded};
    decoded.result = gifDecodeLzw(input, codeSize, width, height, collector.row.data(), collectRow, &collector);
    decoded.afterData = input.next();
    streamClose(stream);
    return decoded;
}

// Pixels of `count` indexes below 2^codeSize: runs of random lengths up to
// `longestRun` of one index, between stretches of noise.
std::vector<uint8_t> runsAndNoise(size_t count, int codeSize, int longestRun, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> pixels;
    const int colours = 1 << codeSize;
    while (pixels.size() < count) {
        const int run = static_cast<int>(random() % static_cast<unsigned>(longestRun)) + 1;
        pixels.insert(pixels.end(), static_cast<size_t>(run), static_cast<uint8_t>(random() % colours));
        for (int i = static_cast<int>(random() % 12); i > 0; --i) pixels.push_back(static_cast<uint8_t>(random() % colours));
    }
    pixels.resize(count);
    return pixels;
}

}  // namespace

TEST(GifLzw, round_trips_every_code_size_and_row_width)
{
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        for (int width : {1, 3, 7, 8, 9, 15, 16, 17, 64, 250, 1000}) {
            const int height = std::max(1, 6000 / width);
            const auto pixels = runsAndNoise(static_cast<size_t>(width) * height, codeSize, 40,
                                             static_cast<unsigned>(codeSize * 1000 + width));
            const Decoded decoded = decode(encodeLzw(pixels, codeSize), codeSize, width, height);
            ASSERT_EQ(decoded.result, 0) << codeSize << " " << width;
            ASSERT_EQ(decoded.rows, height) << codeSize << " " << width;
            ASSERT_EQ(decoded.pixels, pixels) << "code size " << codeSize << ", width " << width;
            EXPECT_EQ(decoded.afterData, 0x3B);
        }
    }
}

TEST(GifLzw, strings_of_thousands_of_bytes_and_a_full_table)
{
    // One colour: each string is one longer than the one before, up to the
    // table's end, so every string length from 1 to about 2000 occurs, each
    // written across many rows of a narrow picture.
    for (int width : {5, 8, 13, 333, 4100}) {
        const size_t count = 2'000'000;
        const int height = static_cast<int>(count / width);
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, 3);
        for (size_t i = pixels.size() / 2; i < pixels.size(); i += 977) pixels[i] = 1;
        const Decoded decoded = decode(encodeLzw(pixels, 2), 2, width, height);
        ASSERT_EQ(decoded.result, 0);
        ASSERT_EQ(decoded.pixels, pixels) << "width " << width;
    }
    // The table full and no clear code: decoding goes on with the table as it is.
    const auto pixels = runsAndNoise(300'000, 8, 20, 7);
    const Decoded decoded = decode(encodeLzw(pixels, 8, {.clearWhenFull = false}), 8, 600, 500);
    ASSERT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.pixels, pixels);
}

TEST(GifLzw, damaged_or_cut_data_keeps_what_was_decoded)
{
    const auto pixels = runsAndNoise(100 * 60, 4, 30, 11);
    const auto data = encodeLzw(pixels, 4);

    // Cut in the middle of a sub-block: the rows decoded so far, the last one
    // partly filled and zero-padded, and nothing after it.
    std::vector<uint8_t> cut(data.begin(), data.begin() + static_cast<long>(data.size() / 2));
    const Decoded shortened = decode(cut, 4, 100, 60);
    ASSERT_EQ(shortened.result, 0);
    ASSERT_GT(shortened.rows, 5);
    ASSERT_LT(shortened.rows, 60);
    const size_t full = static_cast<size_t>(shortened.rows - 1) * 100;
    EXPECT_TRUE(std::equal(shortened.pixels.begin(), shortened.pixels.begin() + static_cast<long>(full),
                           pixels.begin()));
    const auto lastRow = shortened.pixels.begin() + static_cast<long>(full);
    const auto padding = std::mismatch(lastRow, shortened.pixels.end(), pixels.begin() + static_cast<long>(full)).first;
    EXPECT_NE(padding, lastRow + 100);
    EXPECT_TRUE(std::all_of(padding, shortened.pixels.end(), [](uint8_t v) { return v == 0; }));

    // A code beyond the table ends the picture there; the sub-blocks after
    // it are still passed over up to their terminator.
    std::vector<uint8_t> damaged = data;
    damaged[200] = 0xFF;
    damaged[201] = 0xFF;
    const Decoded stopped = decode(damaged, 4, 100, 60);
    ASSERT_EQ(stopped.result, 0);
    ASSERT_LT(stopped.rows, 60);
    EXPECT_EQ(stopped.afterData, 0x3B);

    // More data than rows: decoding stops at the last row and skips the rest.
    const Decoded fewerRows = decode(data, 4, 100, 20);
    ASSERT_EQ(fewerRows.rows, 20);
    EXPECT_TRUE(std::equal(fewerRows.pixels.begin(), fewerRows.pixels.end(), pixels.begin()));
    EXPECT_EQ(fewerRows.afterData, 0x3B);
}

// The animation's frames come with their sub-blocks joined, and a frame
// with a code the table does not hold is dropped whole instead of shown in part.
TEST(GifLzw, joined_data_decodes_alike_and_fails_at_a_bad_code)
{
    const auto pixels = runsAndNoise(40'000, 8, 60, 3);
    const auto blocks = encodeLzw(pixels, 8);
    std::vector<uint8_t> joined;
    for (size_t at = 0; blocks[at] != 0; at += blocks[at] + 1u)
        joined.insert(joined.end(), blocks.begin() + static_cast<long>(at + 1),
                      blocks.begin() + static_cast<long>(at + 1 + blocks[at]));
    // Room for more than the data holds; nothing is written past the room given.
    std::vector<uint8_t> out(pixels.size() + 101, 0xEE);
    ASSERT_EQ(gifDecodeLzwJoined(8, joined.data(), joined.size(), out.data(), out.size() - 1), 40'000);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), out.begin()));
    EXPECT_EQ(out.back(), 0xEE);
    // A shorter output is filled and no more.
    std::vector<uint8_t> part(1234 + 1, 0xEE);
    ASSERT_EQ(gifDecodeLzwJoined(8, joined.data(), joined.size(), part.data(), 1234), 1234);
    EXPECT_TRUE(std::equal(part.begin(), part.end() - 1, pixels.begin()));
    EXPECT_EQ(part[1234], 0xEE);

    std::vector<uint8_t> damaged = joined;
    damaged[300] = damaged[301] = 0xFF;
    EXPECT_EQ(gifDecodeLzwJoined(8, damaged.data(), damaged.size(), out.data(), out.size()), -1);
    const Decoded quiet = decode(encodeLzwBlocks(damaged), 8, 200, 200);
    EXPECT_EQ(quiet.result, 0);
    EXPECT_LT(quiet.rows, 200);
    EXPECT_EQ(gifDecodeLzwJoined(12, joined.data(), joined.size(), out.data(), out.size()), -1);
}
