// The EXIF walker on small blocks built in the test: value forms, group
// order, and blocks that lie (loops, offsets past the end, huge counts).
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/tiff_walk.h"
#include "metadata/exif.h"
#include "metadata/exif_format.h"
#include "tests/metadata/exif_builder.h"

using namespace exiftest;

namespace {

std::vector<std::string> groups(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.front() == '[') out.push_back(line);
    return out;
}

}  // namespace

TEST(ExifFormat, fractions_and_trimmed_numbers)
{
    EXPECT_EQ(fotrix::exifFraction(6, 8), "3/4");
    EXPECT_EQ(fotrix::exifFraction(10, 1), "10");
    EXPECT_EQ(fotrix::exifFraction(0, 5), "0");
    EXPECT_EQ(fotrix::exifFraction(7, 0), "7/0");
    EXPECT_EQ(fotrix::exifFraction(-6, 8), "-3/4");
    EXPECT_EQ(fotrix::exifFraction(6, -8), "-3/4");
    EXPECT_EQ(fotrix::exifFraction(INT32_MIN, 2), "-1073741824/1");
    EXPECT_EQ(fotrix::exifTrimmed(2.5), "2.5");
    EXPECT_EQ(fotrix::exifTrimmed(34.0), "34");
    EXPECT_EQ(fotrix::exifTrimmed(0.1234567), "0.1234");
}

TEST(ExifWalker, standard_values_in_both_byte_orders)
{
    for (bool be : {false, true}) {
        Block b;
        b.bigEndian = be;
        b.ifd0 = {ascii(0x010F, "Acme"), shortValue(be, 0x0112, 6), shortValue(be, 0x0128, 2)};
        b.exif = {rational(be, 0x829A, {1, 125}),        rational(be, 0x829D, {28, 10}),
                  undefined(0x9000, {'0', '2', '2', '0'}), shortValue(be, 0x9209, 0x19),
                  rational(be, 0x920A, {58, 10}),        undefined(0x9101, {1, 2, 3, 0}),
                  shortValue(be, 0xA001, 0xFFFF),        {0x9204, 10, 1, u32(be, {uint32_t(-2), 3}), {}},
                  {0x9286, 7, 15, text(std::string("ASCII\0\0\0Hello!!", 15), false), {}}};
        auto lines = walk(build(b));
        SCOPED_TRACE(be ? "big-endian" : "little-endian");
        EXPECT_EQ(valueOf(lines, "Camera Manufacturer"), "Acme");
        EXPECT_EQ(valueOf(lines, "Orientation"), "right-top (6)");
        EXPECT_EQ(valueOf(lines, "Resolution unit"), "Inch");
        EXPECT_EQ(valueOf(lines, "Exposure time [s]"), "1/125");
        EXPECT_EQ(valueOf(lines, "F-Number"), "2.8");
        EXPECT_EQ(valueOf(lines, "EXIF version"), "02.20");
        EXPECT_EQ(valueOf(lines, "Flash"), "Flash fired");
        EXPECT_EQ(valueOf(lines, "Focal length [mm]"), "5.8");
        EXPECT_EQ(valueOf(lines, "Components configuration"), "YCbCr");
        EXPECT_EQ(valueOf(lines, "Colour space"), "Uncalibrated");
        EXPECT_EQ(valueOf(lines, "Exposure bias value"), "-2/3");
        EXPECT_EQ(valueOf(lines, "User comment"), "Hello!!");
    }
}

TEST(ExifWalker, special_forms_and_empty_results)
{
    bool be = false;
    Block b;
    b.ifd0 = {ascii(0x0110, "Model")};
    b.exif = {rational(be, 0x829A, {3, 10}), shortValue(be, 0x9209, 0x10), shortValue(be, 0x9207, 99),
              {0x9286, 7, 16, text(std::string("ASCII\0\0\0    rest", 16), false), {}}};
    auto lines = walk(build(b));
    EXPECT_EQ(valueOf(lines, "Exposure time [s]"), "0.30");
    EXPECT_EQ(valueOf(lines, "Flash"), "No flash");
    EXPECT_EQ(valueOf(lines, "Metering mode"), "Other (99)");
    EXPECT_EQ(valueOf(lines, "User comment"), "<none>");

    b.exif = {shortValue(be, 0x9209, 0x1A)};
    EXPECT_EQ(valueOf(walk(build(b)), "Flash"), "<none>");
}

TEST(ExifWalker, group_order_and_tags_outside_the_tables)
{
    bool be = false;
    Block b;
    b.ifd0 = {ascii(0x010F, "Nobody"), ascii(0x8298, "(c) someone")};
    b.exif = {shortValue(be, 0x8827, 100)};
    b.interop = {ascii(0x0001, "R98")};
    b.gps = {{0x0000, 1, 4, {2, 2, 0, 0}, {}}, ascii(0x0001, "N"),
             rational(be, 0x0002, {48, 1, 5123, 100, 0, 1}), rational(be, 0x0018, {287, 2}), ascii(0x0019, "K")};
    b.ifd1 = {shortValue(be, 0x0103, 6)};
    auto lines = walk(build(b));
    EXPECT_EQ(groups(lines), (std::vector<std::string>{"[Camera]", "[Image]", "[IOP]", "[GPS]", "[Thumbnail]"}));
    // Copyright belongs in IFD0 (TIFF 6.0) and is listed from there.
    EXPECT_EQ(valueOf(lines, "Copyright"), "(c) someone");
    EXPECT_EQ(valueOf(lines, "IOP index"), "R98");
    EXPECT_EQ(valueOf(lines, "Version ID"), "2.2.0.0");
    EXPECT_EQ(valueOf(lines, "Latitude Ref"), "North");
    EXPECT_EQ(valueOf(lines, "Latitude"), "48\xC2\xB0 51.23' 0.00\"");
    EXPECT_EQ(valueOf(lines, "Dest Bearing"), "287/2");
    EXPECT_EQ(valueOf(lines, "Dest Distance Ref"), "Kilometers");
    EXPECT_EQ(valueOf(lines, "Compression"), "6");
}

TEST(ExifWalker, only_ifd0_gives_the_camera_group_alone)
{
    Block b;
    b.ifd0 = {ascii(0x0110, "Model")};
    auto lines = walk(build(b));
    EXPECT_EQ(groups(lines), std::vector<std::string>{"[Camera]"});
    EXPECT_EQ(valueOf(lines, "Camera Model"), "Model");
}

TEST(ExifWalker, bad_headers_report_nothing)
{
    std::vector<std::vector<uint8_t>> blocks = {
        {'E', 'x', 'i', 'f', 0, 0, 'X', 'X', 42, 0, 8, 0, 0, 0},
        {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 43, 0, 8, 0, 0, 0},
        {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42},
        {'E', 'x', 'i', 'f', 0, 1, 'I', 'I', 42, 0, 8, 0, 0, 0},
    };
    for (const auto& block : blocks) {
        std::vector<std::string> lines;
        EXPECT_EQ(fotrix::exifReadBlock(block.data(), block.size(), nullptr, nullptr), 0);
        EXPECT_TRUE(walk(block).empty());
    }
}

TEST(ExifWalker, links_never_loop_and_pointers_past_the_end_are_not_followed)
{
    bool be = false;
    // IFD0 whose next link points at itself, with a sub-directory pointer past the end.
    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    auto append = [&](const std::vector<uint8_t>& bytes) { block.insert(block.end(), bytes.begin(), bytes.end()); };
    append(u16(be, {2}));
    append(u16(be, {0x0112, 3})); append(u32(be, {1})); append(u16(be, {3, 0}));
    append(u16(be, {0x8769, 4})); append(u32(be, {1, 0xFFFFFFF0}));
    append(u32(be, {8}));  // link back to IFD0 itself
    auto lines = walk(block);
    EXPECT_EQ(groups(lines), std::vector<std::string>{"[Camera]"});
    EXPECT_EQ(valueOf(lines, "Orientation"), "bottom-right (3)");

    // A chain of empty directories, each linking to the next six bytes on,
    // longer than a walk may go: the walk follows some and stops at the
    // directory limit that every TIFF walk shares.
    std::vector<uint8_t> chain = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    for (uint32_t dir = 8; dir < 8 + 6 * (fotrix::TiffMaxDirectories + 300); dir += 6) {
        auto count = u16(be, {0});
        auto link = u32(be, {dir + 6});
        chain.insert(chain.end(), count.begin(), count.end());
        chain.insert(chain.end(), link.begin(), link.end());
    }
    auto chained = walk(chain);
    EXPECT_GE(chained.size(), 3u);
    EXPECT_LE(chained.size(), fotrix::TiffMaxDirectories + 6u);
}

TEST(ExifWalker, entries_that_lie_are_skipped_and_the_rest_kept)
{
    bool be = true;
    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8};
    auto append = [&](const std::vector<uint8_t>& bytes) { block.insert(block.end(), bytes.begin(), bytes.end()); };
    append(u16(be, {5}));
    // A count whose size overflows 32 bits (8 x 0x20000001), pointing inside the block.
    append(u16(be, {0x011A, 5})); append(u32(be, {0x20000001, 8}));
    // A value past the end.
    append(u16(be, {0x010E, 2})); append(u32(be, {100, 0xFFFF0000}));
    // An unknown type.
    append(u16(be, {0x0131, 13})); append(u32(be, {1, 0}));
    // A good entry after them.
    append(u16(be, {0x0112, 3})); append(u32(be, {1})); append(u16(be, {8, 0}));
    // A count of zero.
    append(u16(be, {0x0110, 2})); append(u32(be, {0, 0}));
    append(u32(be, {0}));
    auto lines = walk(block);
    EXPECT_EQ(lines, (std::vector<std::string>{"[Camera]", "Orientation=left-bottom (8)"}));

    // A directory whose entries do not fit the block is ignored whole.
    std::vector<uint8_t> truncated(block.begin(), block.begin() + 14 + 2 + 12 * 3);
    EXPECT_EQ(walk(truncated), std::vector<std::string>{"[Camera]"});
}

TEST(ExifOrientation, get_and_set_in_place)
{
    for (bool be : {false, true}) {
        Block b;
        b.bigEndian = be;
        b.ifd0 = {ascii(0x010F, "Acme"), shortValue(be, 0x0112, 6)};
        auto block = build(b);
        auto before = block;
        int value = 0;
        ASSERT_EQ(fotrix::exifBlockGetOrientation(block.data(), block.size(), value), 1);
        EXPECT_EQ(value, 6);
        ASSERT_EQ(fotrix::exifBlockSetOrientation(block.data(), block.size(), 1), 1);
        ASSERT_EQ(fotrix::exifBlockGetOrientation(block.data(), block.size(), value), 1);
        EXPECT_EQ(value, 1);
        size_t differing = 0;
        for (size_t i = 0; i < block.size(); ++i) differing += block[i] != before[i];
        EXPECT_EQ(differing, 1u);  // only the value's low byte
        EXPECT_EQ(block.size(), before.size());
    }
    // Orientation stored as a LONG is not the tag's form: nothing is read or written.
    Block b;
    b.ifd0 = {longValue(false, 0x0112, 6)};
    auto block = build(b);
    int value = 0;
    EXPECT_EQ(fotrix::exifBlockGetOrientation(block.data(), block.size(), value), 0);
    EXPECT_EQ(fotrix::exifBlockSetOrientation(block.data(), block.size(), 1), 0);
}
