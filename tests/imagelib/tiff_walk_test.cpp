// The shared TIFF directory walker: header, entry tables and links, loops,
// and the limits every walk shares.
#include <gtest/gtest.h>

#include <vector>

#include "imagelib/tiff_walk.h"

namespace fotrix {
namespace {

// A little-endian or big-endian TIFF structure built field by field.
struct TiffBytes {
    bool big = false;
    std::vector<uint8_t> bytes;

    void u16(uint32_t v)
    {
        if (big) bytes.insert(bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
        else bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
    void u32(uint32_t v)
    {
        if (big) {
            u16(v >> 16);
            u16(v);
        } else {
            u16(v);
            u16(v >> 16);
        }
    }
    void header(uint32_t first)
    {
        bytes.insert(bytes.end(), {uint8_t(big ? 'M' : 'I'), uint8_t(big ? 'M' : 'I')});
        u16(42);
        u32(first);
    }
    // A directory of `count` SHORT entries (tag 256 + i, value i) and a link.
    void directory(uint32_t count, uint32_t next)
    {
        u16(count);
        for (uint32_t i = 0; i < count; ++i) {
            u16(256 + i);
            u16(TiffTypeShort);
            u32(1);
            u16(i);
            u16(0);
        }
        u32(next);
    }
};

TEST(TiffWalk, ReadsHeaderEntriesAndLinkInBothOrders)
{
    for (bool big : {false, true}) {
        TiffBytes t{big, {}};
        t.header(8);
        t.directory(2, 0);
        const ByteSource source = ByteSource::memory(t.bytes);
        TiffHeader header;
        ASSERT_TRUE(tiffReadHeader(source, header));
        EXPECT_EQ(header.bigEndian, big);
        EXPECT_EQ(header.magic, 42);
        EXPECT_EQ(header.firstDirectory, 8u);

        TiffWalk walk(source, header.bigEndian);
        TiffDirectory d;
        ASSERT_EQ(walk.read(8, d), TiffRead::Ok);
        ASSERT_EQ(d.entries.size(), 2u);
        EXPECT_EQ(d.entries[1].tag, 257);
        EXPECT_EQ(d.entries[1].type, TiffTypeShort);
        EXPECT_EQ(d.entries[1].count, 1u);
        EXPECT_TRUE(d.entries[1].isInline());
        EXPECT_EQ(walk.reader(d.entries[1].field).u16At(0), 1);  // the field as stored
        EXPECT_TRUE(d.hasLink);
        EXPECT_EQ(d.next, 0u);
        EXPECT_EQ(d.tableEnd(), 8u + 2 + 24);
    }
}

TEST(TiffWalk, RefusesBadHeadersAndCutTables)
{
    const uint8_t notTiff[] = {'I', 'M', 42, 0, 8, 0, 0, 0};
    TiffHeader header;
    EXPECT_FALSE(tiffReadHeader(ByteSource::memory(notTiff), header));
    const uint8_t cut[] = {'I', 'I', 42, 0, 8};
    EXPECT_FALSE(tiffReadHeader(ByteSource::memory(cut), header));

    TiffBytes t;
    t.header(8);
    t.directory(3, 0);
    // Without the link the entries still read; one byte short of the table they do not.
    std::vector<uint8_t> noLink(t.bytes.begin(), t.bytes.end() - 4);
    TiffWalk walk(ByteSource::memory(noLink), false);
    TiffDirectory d;
    ASSERT_EQ(walk.read(8, d), TiffRead::Ok);
    EXPECT_EQ(d.entries.size(), 3u);
    EXPECT_FALSE(d.hasLink);
    std::vector<uint8_t> shortTable(noLink.begin(), noLink.end() - 1);
    TiffWalk shorter(ByteSource::memory(shortTable), false);
    EXPECT_EQ(shorter.read(8, d), TiffRead::Unreadable);
    EXPECT_EQ(shorter.read(UINT32_MAX, d), TiffRead::Unreadable);
}

TEST(TiffWalk, BoundsEntriesDirectoriesAndLoops)
{
    TiffBytes many;
    many.header(8);
    many.directory(TiffMaxEntries + 1, 0);
    TiffWalk big(ByteSource::memory(many.bytes), false);
    TiffDirectory d;
    EXPECT_EQ(big.read(8, d), TiffRead::TooManyEntries);

    // A chain that links back to its start is entered once.
    TiffBytes loop;
    loop.header(8);
    loop.directory(1, 8);
    TiffWalk walk(ByteSource::memory(loop.bytes), false);
    int visits = 0;
    for (uint64_t at = 8; walk.enter(at); ++visits) {
        ASSERT_EQ(walk.read(at, d), TiffRead::Ok);
        at = d.next;
    }
    EXPECT_EQ(visits, 1);

    // Distinct offsets stop at the directory budget.
    uint32_t entered = 0;
    for (uint64_t at = 0; at < 10 * TiffMaxDirectories && walk.enter(at + 100); ++at) ++entered;
    EXPECT_EQ(entered + 1, TiffMaxDirectories);
    EXPECT_EQ(walk.entered(), TiffMaxDirectories);
}

TEST(TiffWalk, TypeSizesAndOutOfLineValues)
{
    EXPECT_EQ(tiffTypeSize(TiffTypeByte), 1u);
    EXPECT_EQ(tiffTypeSize(TiffTypeSShort), 2u);
    EXPECT_EQ(tiffTypeSize(TiffTypeFloat), 4u);
    EXPECT_EQ(tiffTypeSize(TiffTypeDouble), 8u);
    EXPECT_EQ(tiffTypeSize(TiffTypeIfd), 4u);
    EXPECT_EQ(tiffTypeSize(0), 0u);
    EXPECT_EQ(tiffTypeSize(14), 0u);
    TiffEntry e;
    e.type = TiffTypeRational;
    e.count = 0xFFFFFFFF;
    EXPECT_EQ(e.byteSize(), 8ull * 0xFFFFFFFF);  // no 32-bit overflow
    EXPECT_FALSE(e.isInline());
    e.type = 99;
    EXPECT_EQ(e.byteSize(), 0u);
}

}  // namespace
}  // namespace fotrix
