// The bounded byte layer: reads in both orders, reads at an offset, peeks,
// sub-ranges, and the memory and stream sources.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "imagelib/byte_source.h"
#include "imagelib/bytes.h"
#include "tests/support/test_support.h"

namespace fotrix {
namespace {

const uint8_t sample[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};

TEST(ByteReader, ReadsBothOrdersSequentiallyAndAtOffsets)
{
    ByteReader little(sample);
    EXPECT_EQ(little.u16(), 0x3412);
    EXPECT_EQ(little.u32(), 0xBC9A7856u);
    EXPECT_EQ(little.pos, 6u);
    EXPECT_FALSE(little.failed);

    ByteReader big(sample, true);
    EXPECT_EQ(big.u32At(1), 0x3456789Au);
    EXPECT_EQ(big.u16At(4), 0x9ABC);
    EXPECT_EQ(big.u16leAt(4), 0xBC9A);
    EXPECT_EQ(big.u32leAt(0), 0x78563412u);
    EXPECT_EQ(big.pos, 0u);  // reads at an offset leave the position alone
    EXPECT_FALSE(big.failed);
}

TEST(ByteReader, ReadsPastTheEndGiveZeroAndFailStickily)
{
    ByteReader reader(sample, true);
    EXPECT_EQ(reader.u32At(3), 0u);  // needs bytes 3..6 of 0..5
    EXPECT_TRUE(reader.failed);
    EXPECT_EQ(reader.u8At(0), 0x12);  // later good reads still work
    EXPECT_TRUE(reader.failed);       // but the flag stays

    ByteReader huge(sample);
    EXPECT_EQ(huge.u16At(SIZE_MAX), 0u);  // an offset that would wrap
    EXPECT_TRUE(huge.failed);

    ByteReader sequential(sample);
    sequential.seek(5);
    EXPECT_EQ(sequential.u16(), 0u);
    EXPECT_EQ(sequential.pos, 5u);  // a failed read does not move
}

TEST(ByteReader, PeekSubAndOrder)
{
    ByteReader reader(sample, true);
    reader.skip(2);
    auto view = reader.peek(3);
    ASSERT_EQ(view.size(), 3u);
    EXPECT_EQ(view[0], 0x56);
    EXPECT_EQ(reader.pos, 2u);
    EXPECT_TRUE(reader.peek(5).empty());
    EXPECT_FALSE(reader.failed);  // a peek does not fail

    ByteReader part = reader.sub(2, 4);
    EXPECT_EQ(part.size(), 4u);
    EXPECT_EQ(part.u16(), 0x5678);
    EXPECT_EQ(part.u32At(1), 0u);  // the sub-range ends at byte 4 of the block
    EXPECT_TRUE(part.failed);
    EXPECT_FALSE(reader.failed);

    ByteReader outside = reader.sub(4, 3);
    EXPECT_TRUE(outside.failed);
    EXPECT_EQ(outside.size(), 0u);
    EXPECT_TRUE(reader.failed);

    ByteReader other = ByteReader(sample, true).withOrder(false);
    EXPECT_EQ(other.u16(), 0x3412);
    EXPECT_TRUE(reader.contains(6, 0));
    EXPECT_FALSE(reader.contains(7, 0));
}

TEST(ByteSource, MemoryAndStreamWindowsAreBounded)
{
    uint8_t out[4] = {};
    const ByteSource memory = ByteSource::memory(sample);
    EXPECT_TRUE(memory.readAt(2, out, 4));
    EXPECT_EQ(out[0], 0x56);
    EXPECT_FALSE(memory.readAt(3, out, 4));
    EXPECT_FALSE(memory.readAt(UINT64_MAX, out, 1));

    testsupport::TempDir dir;
    testsupport::writeFile(dir / "sample.bin", std::vector<uint8_t>(sample, sample + sizeof sample));
    Stream stream;
    ASSERT_EQ(streamOpen(stream, (dir / "sample.bin").string()), 0);
    // A window of bytes 1..4, and one that claims more than the file holds.
    const ByteSource window = ByteSource::window(stream, 1, 5);
    EXPECT_EQ(window.size(), 4u);
    EXPECT_TRUE(window.readAt(0, out, 4));
    EXPECT_EQ(out[0], 0x34);
    EXPECT_EQ(out[3], 0x9A);
    EXPECT_FALSE(window.readAt(1, out, 4));
    const ByteSource longer = ByteSource::window(stream, 4, 100);
    EXPECT_TRUE(longer.readAt(0, out, 2));
    EXPECT_FALSE(longer.readAt(0, out, 3));  // inside the window, past the file
    EXPECT_FALSE(stream.failed);             // the stream stays usable
}

}  // namespace
}  // namespace fotrix
