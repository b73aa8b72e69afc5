// The shared JPEG marker walker: segments up to the start of scan, fill
// bytes, and the ways a damaged header ends the walk.
#include <gtest/gtest.h>

#include <vector>

#include "imagelib/jpeg_markers.h"

namespace fotrix {
namespace {

std::vector<uint8_t> segment(uint8_t marker, size_t payload)
{
    std::vector<uint8_t> s = {0xFF, marker, uint8_t((payload + 2) >> 8), uint8_t(payload + 2)};
    s.resize(s.size() + payload, 0x55);
    return s;
}

std::vector<uint8_t> jpeg(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> bytes = {0xFF, 0xD8};
    for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

std::vector<JpegMarkerSegment> walkAll(const std::vector<uint8_t>& bytes)
{
    std::vector<JpegMarkerSegment> found;
    JpegMarkerWalk walk(ByteSource::memory(bytes));
    JpegMarkerSegment s;
    while (walk.next(s)) found.push_back(s);
    return found;
}

TEST(JpegMarkerWalk, GivesSegmentsUpToTheStartOfScan)
{
    const auto bytes = jpeg({segment(0xE0, 14), {0xFF, 0xFF}, segment(0xE1, 3), segment(0xDA, 8), segment(0xE2, 4)});
    ASSERT_TRUE(jpegStartsImage(ByteSource::memory(bytes)));
    const auto found = walkAll(bytes);
    ASSERT_EQ(found.size(), 3u);  // nothing after the start of scan
    EXPECT_EQ(found[0].marker, 0xE0);
    EXPECT_EQ(found[0].start, 2u);
    EXPECT_EQ(found[0].payload(), 6u);
    EXPECT_EQ(found[0].payloadSize(), 14u);
    EXPECT_EQ(found[1].marker, 0xE1);  // after two fill bytes
    EXPECT_EQ(found[1].start, 2u + 18 + 2);
    EXPECT_EQ(found[2].marker, 0xDA);
    EXPECT_EQ(found[2].end(), bytes.size() - 8);
}

TEST(JpegMarkerWalk, DamageEndsTheWalk)
{
    // A segment whose length leaves the stream, a standalone marker before
    // the scan, a length below two, and a byte that is no marker.
    auto cut = jpeg({segment(0xE0, 4), segment(0xE1, 10)});
    cut.resize(cut.size() - 1);
    EXPECT_EQ(walkAll(cut).size(), 1u);
    EXPECT_EQ(walkAll(jpeg({segment(0xE0, 4), {0xFF, 0xD0}, segment(0xE1, 4)})).size(), 1u);
    EXPECT_EQ(walkAll(jpeg({{0xFF, 0xE0, 0x00, 0x01}, segment(0xE1, 4)})).size(), 0u);
    EXPECT_EQ(walkAll(jpeg({segment(0xE0, 4), {0x00, 0xE1, 0, 4, 0, 0}})).size(), 1u);
    EXPECT_FALSE(jpegStartsImage(ByteSource::memory(segment(0xE0, 4))));
}

TEST(JpegMarkerWalk, StopsAfterTheSegmentLimit)
{
    std::vector<uint8_t> bytes = {0xFF, 0xD8};
    for (int i = 0; i < JpegMaxSegments + 10; ++i) {
        const auto s = segment(0xE3, 0);
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    EXPECT_EQ(walkAll(bytes).size(), static_cast<size_t>(JpegMaxSegments));
}

}  // namespace
}  // namespace fotrix
