// Maker notes built in the test: the forms that change byte order or offset
// base, the array formatters, and notes whose counts do not fit.
#include <gtest/gtest.h>

#include "tests/metadata/exif_builder.h"

using namespace exiftest;

namespace {

std::vector<uint8_t> directory(bool be, const std::vector<std::vector<uint8_t>>& entries, bool link = true)
{
    std::vector<uint8_t> out = u16(be, {uint32_t(entries.size())});
    for (const auto& e : entries) out.insert(out.end(), e.begin(), e.end());
    if (link) {
        auto zero = u32(be, {0});
        out.insert(out.end(), zero.begin(), zero.end());
    }
    return out;
}

std::vector<uint8_t> entry(bool be, uint32_t tag, uint32_t type, uint32_t count, std::vector<uint8_t> value)
{
    std::vector<uint8_t> out = u16(be, {tag, type});
    auto n = u32(be, {count});
    out.insert(out.end(), n.begin(), n.end());
    value.resize(4, 0);
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

std::vector<std::string> walkWithNote(bool be, const std::string& make, Entry note)
{
    Block b;
    b.bigEndian = be;
    b.ifd0 = {ascii(0x010F, make)};
    note.tag = 0x927C;
    note.type = 7;
    if (note.make) note.count = uint32_t(note.make(0).size());
    b.exif = {shortValue(be, 0x8827, 200), note};
    return walk(build(b));
}

Entry noteBytes(std::vector<uint8_t> bytes)
{
    Entry e;
    e.count = uint32_t(bytes.size());
    e.data = std::move(bytes);
    return e;
}

}  // namespace

TEST(MakerNotes, nikon_type2_uses_its_own_big_endian_header_in_an_intel_block)
{
    // "Nikon", 0, 2, 0x10, 0, 0 then "MM", 42, offset 8 and a directory.
    std::vector<uint8_t> note = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8};
    auto dir = directory(true, {entry(true, 0x0002, 4, 1, u32(true, {400})),
                                entry(true, 0x0087, 1, 1, {9}),
                                entry(true, 0x0086, 5, 1, u32(true, {0xFFFF0000}))});
    note.insert(note.end(), dir.begin(), dir.end());
    auto lines = walkWithNote(false, "NIKON CORPORATION", noteBytes(note));
    EXPECT_EQ(valueOf(lines, "ISO Setting"), "400");
    EXPECT_EQ(valueOf(lines, "Flash mode"), "Fired, TTL Mode");
    // The rational's offset lies past the block: skipped, not read.
    EXPECT_EQ(valueOf(lines, "Digital zoom"), "<none>");
    // Makernotes come right after the EXIF sub-directory's values.
    auto at = std::find(lines.begin(), lines.end(), "[Makernotes]");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "ISO speed ratings=200");

    // An unknown byte order inside ends the note after its announcement.
    note[10] = 'X';
    lines = walkWithNote(false, "Nikon", noteBytes(note));
    EXPECT_EQ(lines.back(), "[Makernotes]");
}

TEST(MakerNotes, nikon_formatter_forms)
{
    bool be = false;
    Entry note;
    note.make = [be](uint32_t offset) {
        // A bare directory; rationals stored after it, offsets from the TIFF header.
        uint32_t data = offset + 2 + 4 * 12 + 4;
        auto out = directory(be, {entry(be, 0x0085, 5, 1, u32(be, {data})),
                                  entry(be, 0x0086, 5, 1, u32(be, {data + 8})),
                                  entry(be, 0x0088, 4, 1, u32(be, {0x20004})),
                                  entry(be, 0x0098, 7, 3, {0xAB, 0x01, 0x10})});
        auto values = u32(be, {15, 10, 2, 2});
        out.insert(out.end(), values.begin(), values.end());
        return out;
    };
    auto lines = walkWithNote(be, "Nikon", note);
    EXPECT_EQ(valueOf(lines, "Focus Distance"), "x1.5 m");
    EXPECT_EQ(valueOf(lines, "Digital zoom"), "Off");
    EXPECT_EQ(valueOf(lines, "AF Point"), "Single Area, Bottom");
    EXPECT_EQ(valueOf(lines, "LensID"), "(ab 1 10 )");
}

TEST(MakerNotes, casio_qvc_is_big_endian_whatever_the_block_says)
{
    std::vector<uint8_t> note = {'Q', 'V', 'C', 0, 0, 0};
    auto dir = directory(true, {entry(true, 0x0008, 4, 1, u32(true, {2})),
                                entry(true, 0x3000, 3, 1, u16(true, {2}))});
    note.insert(note.end(), dir.begin(), dir.end());
    auto lines = walkWithNote(false, "CASIO COMPUTER CO.,LTD.", noteBytes(note));
    EXPECT_EQ(valueOf(lines, "Quality Mode"), "Fine");
    EXPECT_EQ(valueOf(lines, "Record Mode"), "Normal");
}

TEST(MakerNotes, canon_settings_array_with_the_iso_formatter)
{
    bool be = false;
    Entry note;
    note.make = [be](uint32_t offset) {
        uint32_t data = offset + 2 + 2 * 12 + 4;
        // 17 values: the byte length, then positions 1..16.
        std::vector<uint32_t> settings(17, 0);
        settings[0] = 34;
        settings[1] = 1;       // Macro
        settings[13] = 65535;  // Contrast: Low
        settings[16] = 16484;  // ISO: 0x4000 + 100
        std::vector<uint8_t> array;
        for (uint32_t v : settings) {
            auto b = u16(be, {v});
            array.insert(array.end(), b.begin(), b.end());
        }
        auto out = directory(be, {entry(be, 1, 3, 17, u32(be, {data})),
                                  entry(be, 8, 4, 1, u32(be, {1181861}))});
        out.insert(out.end(), array.begin(), array.end());
        return out;
    };
    auto lines = walkWithNote(be, "Canon", note);
    EXPECT_EQ(valueOf(lines, "Macro"), "Macro");
    EXPECT_EQ(valueOf(lines, "Contrast"), "Low");
    EXPECT_EQ(valueOf(lines, "ISO value"), "100");
    EXPECT_EQ(valueOf(lines, "Image number"), "118-1861");
}

TEST(MakerNotes, canon_and_minolta_counts_that_do_not_fit_are_not_decoded)
{
    // 200 entries declared in a 30-byte note.
    std::vector<uint8_t> note = u16(false, {200});
    note.resize(30, 0);
    EXPECT_EQ(walkWithNote(false, "Canon", noteBytes(note)).back(), "[Makernotes]");
    EXPECT_EQ(walkWithNote(false, "Minolta", noteBytes(note)).back(), "[Makernotes]");
}

TEST(MakerNotes, minolta_settings_formatter_and_type_limit)
{
    bool be = true;
    Entry note;
    note.make = [be](uint32_t offset) {
        uint32_t data = offset + 2 + 3 * 12 + 4;
        std::vector<uint8_t> settings;
        for (uint32_t position = 0; position < 11; ++position) {
            uint32_t v = position == 8 ? 48 : position == 10 ? 32 : position == 1 ? 1 : 0;
            auto b = u32(true, {v});
            settings.insert(settings.end(), b.begin(), b.end());
        }
        auto out = directory(be, {entry(be, 0x0000, 7, 4, {'M', 'L', 'T', '0'}),
                                  entry(be, 0x0001, 7, 44, u32(be, {data})),
                                  entry(be, 0x0101, 99, 1, {})});  // type above 52: the note ends here
        out.insert(out.end(), settings.begin(), settings.end());
        return out;
    };
    auto lines = walkWithNote(be, "Minolta Co., Ltd.", note);
    EXPECT_EQ(valueOf(lines, "Version"), "MLT0");
    EXPECT_EQ(valueOf(lines, "Exposure mode"), "Aperture priority");
    EXPECT_EQ(valueOf(lines, "ISO"), "100");
    EXPECT_EQ(valueOf(lines, "Aperture"), "2.8");
}

TEST(MakerNotes, fujifilm_offsets_count_from_the_note)
{
    Entry note;
    note.make = [](uint32_t) {
        std::vector<uint8_t> out = {'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 12, 0, 0, 0};
        // Offsets from the note itself, always Intel order.
        auto dir = directory(false, {entry(false, 0x1001, 3, 1, u16(false, {3})),
                                     entry(false, 0x1000, 2, 8, u32(false, {12 + 2 + 24 + 4}))});
        out.insert(out.end(), dir.begin(), dir.end());
        auto quality = text("NORMAL ", true);
        out.insert(out.end(), quality.begin(), quality.end());
        return out;
    };
    auto lines = walkWithNote(true, "FUJIFILM", note);
    EXPECT_EQ(valueOf(lines, "Sharpness"), "Normal");
    EXPECT_EQ(valueOf(lines, "Quality Setting"), "NORMAL ");
}
