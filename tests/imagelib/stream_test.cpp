// The file layer every reader reads through: whatever mix of small reads,
// seeks and large reads a reader makes, it must get the file's bytes at the
// position it asked for, and a read past the end must fail without
// inventing bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "imagelib/stream.h"
#include "tests/support/test_support.h"

namespace {

using namespace fotrix;

// Bytes that differ from one position to the next, so a misplaced read shows.
std::vector<uint8_t> patterned(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 8) * 13 + (i >> 16));
    return bytes;
}

class StreamFile : public ::testing::Test {
protected:
    void open(size_t size)
    {
        bytes_ = patterned(size);
        testsupport::writeFile(dir_ / "data.bin", bytes_);
        ASSERT_EQ(streamOpen(stream_, (dir_ / "data.bin").string()), 0);
        ASSERT_EQ(stream_.size, size);
    }
    // Reads `size` bytes at the current position and checks them.
    void expectRead(size_t size)
    {
        const uint64_t at = streamTell(stream_);
        std::vector<uint8_t> got(size);
        ASSERT_EQ(streamRead(stream_, got.data(), size), size) << "at " << at;
        ASSERT_EQ(std::memcmp(got.data(), bytes_.data() + at, size), 0) << "at " << at << " size " << size;
        EXPECT_EQ(streamTell(stream_), at + size);
    }

    testsupport::TempDir dir_;
    std::vector<uint8_t> bytes_;
    Stream stream_;
};

TEST_F(StreamFile, small_reads_cross_every_block_boundary_in_order)
{
    open(3 * StreamBlockBytes + 12345);
    // Row-sized reads of an odd size fall across the growing blocks' ends.
    while (streamRemaining(stream_) >= 9001) expectRead(9001);
    expectRead(static_cast<size_t>(streamRemaining(stream_)));
    EXPECT_FALSE(streamFailed(stream_));
    EXPECT_EQ(streamU8(stream_), 0);
    EXPECT_TRUE(streamFailed(stream_));
}

TEST_F(StreamFile, seeks_back_forward_and_into_the_block_read_the_right_bytes)
{
    open(2 * StreamBlockBytes);
    expectRead(100);
    ASSERT_TRUE(streamSeek(stream_, 50));  // inside the block read ahead
    expectRead(10);
    ASSERT_TRUE(streamSeek(stream_, StreamBlockBytes + 777));  // past it
    expectRead(3000);
    ASSERT_TRUE(streamSkip(stream_, -5000));
    expectRead(6000);
    ASSERT_TRUE(streamSeek(stream_, 1));
    expectRead(StreamBlockBytes + 3);  // a large read from a position inside the block
    streamRewind(stream_);
    EXPECT_EQ(streamU32le(stream_), static_cast<uint32_t>(bytes_[0] | bytes_[1] << 8 | bytes_[2] << 16 |
                                                          static_cast<uint32_t>(bytes_[3]) << 24));
    EXPECT_FALSE(streamFailed(stream_));
}

TEST_F(StreamFile, large_reads_go_whole_and_a_short_one_fails_with_what_was_there)
{
    open(StreamBlockBytes * 2 + 10);
    expectRead(StreamBlockBytes * 2);
    std::vector<uint8_t> rest(100, 0xEE);
    EXPECT_EQ(streamRead(stream_, rest.data(), rest.size()), 10u);
    EXPECT_TRUE(streamFailed(stream_));
    EXPECT_EQ(std::memcmp(rest.data(), bytes_.data() + StreamBlockBytes * 2, 10), 0);
    EXPECT_EQ(rest[10], 0xEE);  // nothing invented past the end
}

TEST_F(StreamFile, seeking_past_the_end_fails_and_rewind_clears_the_failure)
{
    open(1000);
    EXPECT_FALSE(streamSeek(stream_, 1001));
    EXPECT_TRUE(streamFailed(stream_));
    streamRewind(stream_);
    EXPECT_FALSE(streamFailed(stream_));
    EXPECT_TRUE(streamSeek(stream_, 1000));  // the end itself is a place
    EXPECT_EQ(streamRemaining(stream_), 0u);
    EXPECT_FALSE(streamSkip(stream_, -2000));
}

TEST_F(StreamFile, a_file_that_shrinks_after_opening_fails_instead_of_inventing_bytes)
{
    open(500000);
    std::filesystem::resize_file(dir_ / "data.bin", 1000);
    std::vector<uint8_t> got(4000);
    EXPECT_EQ(streamRead(stream_, got.data(), got.size()), 1000u);
    EXPECT_TRUE(streamFailed(stream_));
}

TEST(Stream, refuses_missing_empty_and_non_regular_files)
{
    testsupport::TempDir dir;
    Stream stream;
    EXPECT_EQ(streamOpen(stream, (dir / "missing").string()), 3);
    testsupport::writeFile(dir / "empty", std::vector<uint8_t>{});
    EXPECT_EQ(streamOpen(stream, (dir / "empty").string()), 3);
    EXPECT_EQ(streamOpen(stream, dir.path().string()), 3);
    const std::filesystem::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(streamOpen(stream, pipe.string()), 3);  // and does not wait for a writer
    uint8_t byte = 0;
    EXPECT_EQ(streamRead(stream, &byte, 1), 0u);
    EXPECT_TRUE(streamFailed(stream));
}

}  // namespace
