// Raw containers of every kind built in the test, each with JPEG pictures
// made by ImageMagick inside: the largest decodes, to the same pixels as the
// JPEG file itself, with the full picture's size and the camera's turn.
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/formats.h"
#include "tests/rawcodec/raw_builders.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace rawtest;
using testsupport::Pixels;

namespace {

constexpr uint16_t Short = 3, Long = 4, Undefined = 7;

struct Jpegs {
    testsupport::TempDir dir;
    Bytes small, large;
    fs::path largeFile;
    Jpegs()
    {
        small = makeJpeg(dir, 40, 30);
        large = makeJpeg(dir, 96, 64);
        largeFile = dir / "made_96x64.jpg";
    }
    bool ok() const { return !small.empty() && !large.empty(); }
};

struct Loaded : testsupport::OwnedPicture {
    int result = -1;
};

void loadBytes(const Bytes& file, const std::string& name, Loaded& out, int box = -1)
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir / name, file);
    out.result = loadRaw(dir / name, out.bitmap, out.info, box);
}

// The container gave the large JPEG, decoded exactly as the JPEG file itself.
void expectLargePreview(const Jpegs& jpegs, const Loaded& loaded)
{
    ASSERT_EQ(loaded.result, 0) << loaded.info.errorText;
    Pixels expected;
    ASSERT_TRUE(decodePreviewJpeg(jpegs.largeFile, expected));
    EXPECT_EQ(testsupport::maxDifference(pixelsOf(loaded.bitmap), expected), 0);
}

// A TIFF-based raw file: IFD0 carries the orientation and the small JPEG (met
// first), the large one sits in a sub-directory as a single JPEG strip, and
// the next directory in the chain describes the sensor picture.
Bytes tiffRaw(const Jpegs& j, uint16_t magic, bool big, uint32_t orientation)
{
    Writer w;
    w.big = big;
    const size_t first = writeTiffHeader(w, magic);
    const uint32_t smallAt = static_cast<uint32_t>(w.putBytes(j.small));
    const uint32_t largeAt = static_cast<uint32_t>(w.putBytes(j.large));
    const uint32_t size = static_cast<uint32_t>(j.large.size());
    const uint32_t sub = static_cast<uint32_t>(writeIfd(w, {{0x00FE, Long, 1, 1}, {0x0100, Long, 1, 96},
        {0x0101, Long, 1, 64}, {0x0103, Short, 1, 7}, {0x0106, Short, 1, 6}, {0x0111, Long, 1, largeAt},
        {0x0117, Long, 1, size}}));
    size_t next = 0;
    const uint32_t ifd0 = static_cast<uint32_t>(writeIfd(w, {{0x0100, Long, 1, 40}, {0x0101, Long, 1, 30},
        {0x0112, Short, 1, orientation}, {0x014A, Long, 1, sub}, {0x0201, Long, 1, smallAt},
        {0x0202, Long, 1, static_cast<uint32_t>(j.small.size())}}, &next));
    const uint32_t ifd1 = static_cast<uint32_t>(writeIfd(w, {{0x0100, Long, 1, 3000}, {0x0101, Long, 1, 2000}}));
    w.set32(first, ifd0);
    w.set32(next, ifd1);
    return w.bytes;
}

}  // namespace

TEST(RawContainers, tiff_based_kinds_decode_their_largest_jpeg)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    struct Kind {
        const char* name;
        uint16_t magic;
        bool big;
        int row;
    };
    const Kind kinds[] = {
        {"a.orf", 0x4F52, false, 18}, {"b.orf", 0x4F52, true, 18}, {"c.pef", 42, false, 19},
        {"d.srf", 42, true, 20},      {"e.arw", 42, false, 21},    {"f.sr2", 42, false, 21},
        {"g.dcr", 42, false, 25},     {"h.mos", 42, true, 15},     {"i.dng", 42, true, 26},
        {"j.cr2", 42, false, 24},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        Loaded loaded;
        loadBytes(tiffRaw(jpegs, k.magic, k.big, 1), k.name, loaded);
        expectLargePreview(jpegs, loaded);
        EXPECT_EQ(loaded.info.formatIndex, k.row);
        EXPECT_EQ(loaded.info.width, 3000);
        EXPECT_EQ(loaded.info.height, 2000);
        EXPECT_EQ(loaded.info.orientation, 0u);
    }
}

TEST(RawContainers, quarter_turns_are_flagged_and_sizes_reported_upright)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    const struct {
        uint32_t exif, flag;
    } turns[] = {{6, 4}, {8, 2}, {3, 0}};
    for (const auto& t : turns) {
        SCOPED_TRACE(t.exif);
        Loaded loaded;
        loadBytes(tiffRaw(jpegs, 42, false, t.exif), "turned.nef", loaded);
        ASSERT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.info.orientation, t.flag);
        const bool quarter = t.flag != 0;
        EXPECT_EQ(loaded.info.width, quarter ? 2000 : 3000);
        EXPECT_EQ(loaded.info.height, quarter ? 3000 : 2000);
        // The preview itself stays as stored: the application turns it.
        EXPECT_EQ(loaded.bitmap.width, 96);
    }
}

TEST(RawContainers, preview_reduced_into_the_callers_box)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    Loaded loaded;
    loadBytes(tiffRaw(jpegs, 42, false, 1), "box.pef", loaded, 48);
    ASSERT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.bitmap.width, 48);
    EXPECT_EQ(loaded.bitmap.height, 32);
}

TEST(RawContainers, panasonic_raw_jpeg_in_ifd0)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    Writer w;
    const size_t first = writeTiffHeader(w, 0x55);
    const uint32_t at = static_cast<uint32_t>(w.putBytes(jpegs.large));
    const uint32_t ifd0 = static_cast<uint32_t>(writeIfd(w, {{0x0002, Short, 1, 3000}, {0x0003, Short, 1, 2000},
        {0x002E, Undefined, static_cast<uint32_t>(jpegs.large.size()), at}, {0x0112, Short, 1, 8}}));
    w.set32(first, ifd0);
    Loaded loaded;
    loadBytes(w.bytes, "p.raw", loaded);
    expectLargePreview(jpegs, loaded);
    EXPECT_EQ(loaded.info.orientation, 2u);
    EXPECT_EQ(loaded.info.width, 2000);
    EXPECT_EQ(loaded.info.height, 3000);
}

TEST(RawContainers, crw_heap_with_nested_heaps)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    Writer w;
    w.putText("II", 2);
    w.put32(26);
    w.putText("HEAPCCDR", 8);
    while (w.bytes.size() < 26) w.bytes.push_back(0);
    const size_t heap = w.bytes.size();
    // Inner heap: the large JPEG and its table.
    const size_t inner = w.bytes.size();
    w.putBytes(jpegs.large);
    const size_t innerTable = w.put16(1);
    w.put16(0x2007);
    w.put32(static_cast<uint32_t>(jpegs.large.size()));
    w.put32(0);
    w.put32(static_cast<uint32_t>(innerTable - inner));
    const size_t innerEnd = w.bytes.size();
    // Outer heap: the thumbnail, the picture description and the inner heap.
    const size_t thumb = w.putBytes(jpegs.small);
    const size_t info = w.put32(3000);
    w.put32(2000);
    w.put32(0x3F800000);
    w.put32(90);
    const size_t table = w.put16(3);
    const uint16_t tags[] = {0x300A, 0x2008, 0x1810};
    const size_t offsets[] = {inner, thumb, info};
    const size_t sizes[] = {innerEnd - inner, jpegs.small.size(), 16};
    for (int i = 0; i < 3; ++i) {
        w.put16(tags[i]);
        w.put32(static_cast<uint32_t>(sizes[i]));
        w.put32(static_cast<uint32_t>(offsets[i] - heap));
    }
    w.put32(static_cast<uint32_t>(table - heap));
    Loaded loaded;
    loadBytes(w.bytes, "c.crw", loaded);
    expectLargePreview(jpegs, loaded);
    EXPECT_EQ(loaded.info.orientation, 4u);
    EXPECT_EQ(loaded.info.width, 2000);
    EXPECT_EQ(loaded.info.height, 3000);
}

namespace {

// A RAF file: the fixed header, a record table (an unrelated record, then the
// sensor size as height and width) and the JPEG.
Bytes rafFile(const Bytes& jpeg, uint16_t sensorHeight, uint16_t sensorWidth)
{
    Writer w;
    w.big = true;
    w.putText("FUJIFILMCCD-RAW 0201FF383501", 28);
    while (w.bytes.size() < 84) w.bytes.push_back(0);
    const size_t pointers = w.bytes.size();
    for (int i = 0; i < 6; ++i) w.put32(0);
    const size_t records = w.put32(2);
    w.put16(0x130);
    w.put16(2);
    w.put16(7);
    w.put16(0x100);
    w.put16(4);
    w.put16(sensorHeight);
    w.put16(sensorWidth);
    const size_t recordsEnd = w.bytes.size();
    const size_t at = w.putBytes(jpeg);
    w.set32(pointers, static_cast<uint32_t>(at));
    w.set32(pointers + 4, static_cast<uint32_t>(jpeg.size()));
    w.set32(pointers + 8, static_cast<uint32_t>(records));
    w.set32(pointers + 12, static_cast<uint32_t>(recordsEnd - records));
    return w.bytes;
}

}  // namespace

TEST(RawContainers, raf_header_offsets_and_records)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    Loaded loaded;
    loadBytes(rafFile(jpegs.large, 2000, 3000), "f.raf", loaded);
    expectLargePreview(jpegs, loaded);
    EXPECT_EQ(loaded.info.width, 3000);
    EXPECT_EQ(loaded.info.height, 2000);
}

TEST(RawContainers, sensor_of_other_proportions_does_not_distort_the_preview)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    // A sensor sampled at 3:1 whose 3:2 preview is the picture.
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "wide.raf", rafFile(jpegs.large, 1444, 4352));
    Loaded loaded;
    loaded.result = loadRaw(dir / "wide.raf", loaded.bitmap, loaded.info, 48);
    ASSERT_EQ(loaded.result, 0);
    EXPECT_EQ(loaded.bitmap.width, 48);
    EXPECT_EQ(loaded.bitmap.height, 32);
    EXPECT_EQ(loaded.info.width, 4352);
    EXPECT_EQ(loaded.info.height, 2901);
    // The information mode reports the sensor as it is.
    fotrix::FileInfo info;
    ASSERT_EQ(infoRaw(dir / "wide.raf", info), 0);
    EXPECT_EQ(info.width, 4352);
    EXPECT_EQ(info.height, 1444);
}

TEST(RawContainers, mrw_preview_through_the_maker_note)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    // The TIFF structure of the TTW block, offsets counted from its start.
    Writer t;
    t.big = true;
    const size_t first = writeTiffHeader(t, 42);
    const uint32_t jpeg = static_cast<uint32_t>(t.putBytes(jpegs.large));
    const uint32_t note = static_cast<uint32_t>(writeIfd(t, {{0x0088, Long, 1, jpeg},
        {0x0089, Long, 1, static_cast<uint32_t>(jpegs.large.size())}}));
    const uint32_t exif = static_cast<uint32_t>(writeIfd(t, {{0x927C, Undefined, 64, note}}));
    const uint32_t ifd0 = static_cast<uint32_t>(writeIfd(t, {{0x0112, Short, 1, 6}, {0x8769, Long, 1, exif}}));
    t.set32(first, ifd0);
    t.align();

    Writer w;
    w.big = true;
    w.putText("\0MRM", 4);
    const size_t length = w.put32(0);
    w.putText("\0PRD", 4);
    w.put32(24);
    w.putText("21810002", 8);
    w.put16(2008);  // sensor height and width
    w.put16(3016);
    w.put16(2000);  // picture height and width
    w.put16(3000);
    w.put32(0);
    w.put32(0);
    w.putText("\0TTW", 4);
    w.put32(static_cast<uint32_t>(t.bytes.size()));
    w.putBytes(t.bytes);
    w.set32(length, static_cast<uint32_t>(w.bytes.size() - 8));
    Loaded loaded;
    loadBytes(w.bytes, "m.mrw", loaded);
    expectLargePreview(jpegs, loaded);
    EXPECT_EQ(loaded.info.orientation, 4u);
    EXPECT_EQ(loaded.info.width, 2000);
    EXPECT_EQ(loaded.info.height, 3000);
}

TEST(RawContainers, x3f_jpeg_picture_sections)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    Writer w;
    w.putText("FOVb", 4);
    w.put32(0x00020002);
    while (w.bytes.size() < 28) w.bytes.push_back(0);
    w.put32(3000);
    w.put32(2000);
    w.put32(270);
    // Two picture sections: an uncompressed one (format 3) and the JPEG.
    size_t sections[2], lengths[2];
    const uint32_t formats[] = {3, 18};
    const Bytes* data[] = {&jpegs.small, &jpegs.large};
    for (int i = 0; i < 2; ++i) {
        sections[i] = w.putText("SECi", 4);
        w.put32(0x00020000);
        w.put32(2);
        w.put32(formats[i]);
        w.put32(96);
        w.put32(64);
        w.put32(0);
        w.putBytes(*data[i]);
        lengths[i] = w.bytes.size() - sections[i];
    }
    const size_t directory = w.putText("SECd", 4);
    w.put32(0x00020000);
    w.put32(2);
    for (int i = 0; i < 2; ++i) {
        w.put32(static_cast<uint32_t>(sections[i]));
        w.put32(static_cast<uint32_t>(lengths[i]));
        w.putText(i == 0 ? "IMAG" : "IMA2", 4);
    }
    w.put32(static_cast<uint32_t>(directory));
    Loaded loaded;
    loadBytes(w.bytes, "s.x3f", loaded);
    expectLargePreview(jpegs, loaded);
    EXPECT_EQ(loaded.info.orientation, 2u);
    EXPECT_EQ(loaded.info.width, 2000);
    EXPECT_EQ(loaded.info.height, 3000);
}

TEST(RawContainers, sensor_data_and_masks_are_never_taken_for_previews)
{
    Jpegs jpegs;
    if (!jpegs.ok()) SKIP_MISSING("ImageMagick is not available");
    // The large JPEG labelled as colour-filter data, then as a mask: only the
    // thumbnail remains.
    for (const auto& [tag, value] : {std::pair<uint16_t, uint32_t>{0x0106, 32803}, {0x00FE, 4}}) {
        Writer w;
        const size_t first = writeTiffHeader(w, 42);
        const uint32_t smallAt = static_cast<uint32_t>(w.putBytes(jpegs.small));
        const uint32_t largeAt = static_cast<uint32_t>(w.putBytes(jpegs.large));
        const uint32_t ifd0 = static_cast<uint32_t>(writeIfd(w, {{0x00FE, Long, 1, 0}, {0x0100, Long, 1, 96},
            {0x0101, Long, 1, 64}, {0x0103, Short, 1, 7}, {tag, tag == 0x0106 ? Short : Long, 1, value},
            {0x0111, Long, 1, largeAt}, {0x0117, Long, 1, static_cast<uint32_t>(jpegs.large.size())},
            {0x0201, Long, 1, smallAt}, {0x0202, Long, 1, static_cast<uint32_t>(jpegs.small.size())}}));
        w.set32(first, ifd0);
        Loaded loaded;
        loadBytes(w.bytes, "sensor.dng", loaded);
        ASSERT_EQ(loaded.result, 0);
        EXPECT_EQ(loaded.bitmap.width, 40);
        EXPECT_EQ(loaded.bitmap.height, 30);
    }
}
