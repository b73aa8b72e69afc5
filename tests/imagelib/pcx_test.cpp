// PCX reader: the Pillow and TwelveMonkeys files against Pillow and
// ImageMagick (which disagree with each other on 1-bit and 4-plane files), files
// ImageMagick and Pillow write in every depth they offer, and hand-built files
// for the palettes (version 3 default, header, appended), runs and damage.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "imagelib/formats.h"
#include "raster_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using rastertest::Loaded;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

struct PcxFields {
    int version = 5;
    bool encoded = true;
    int bits = 8;
    int planes = 1;
    int width = 4;
    int height = 2;
    int bytesPerLine = 0;  // 0: just enough, rounded up to even
    std::vector<uint8_t> headerPalette;  // up to 48 bytes
};

std::vector<uint8_t> pcxHeader(const PcxFields& fields)
{
    std::vector<uint8_t> h(128, 0);
    h[0] = 10;
    h[1] = static_cast<uint8_t>(fields.version);
    h[2] = fields.encoded ? 1 : 0;
    h[3] = static_cast<uint8_t>(fields.bits);
    h[8] = static_cast<uint8_t>(fields.width - 1);
    h[9] = static_cast<uint8_t>((fields.width - 1) >> 8);
    h[10] = static_cast<uint8_t>(fields.height - 1);
    h[11] = static_cast<uint8_t>((fields.height - 1) >> 8);
    h[12] = 72;
    h[14] = 72;
    std::copy(fields.headerPalette.begin(), fields.headerPalette.end(), h.begin() + 16);
    h[65] = static_cast<uint8_t>(fields.planes);
    int line = fields.bytesPerLine ? fields.bytesPerLine : (fields.width * fields.bits + 7) / 8;
    if (!fields.bytesPerLine && line % 2) ++line;
    h[66] = static_cast<uint8_t>(line);
    h[67] = static_cast<uint8_t>(line >> 8);
    return h;
}

// Run-length encodes bytes the simple way: every byte as a run of one when it
// needs it, literals otherwise.
std::vector<uint8_t> pcxRuns(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out;
    for (uint8_t b : data) {
        if (b >= 0xC0) out.push_back(0xC1);
        out.push_back(b);
    }
    return out;
}

std::filesystem::path writePcx(const testsupport::TempDir& dir, const std::vector<uint8_t>& bytes)
{
    const auto path = dir / "test.pcx";
    testsupport::writeFile(path, bytes);
    return path;
}

// Whether every value of ours stands for one colour of the reference: the
// same picture drawn with another palette.
bool samePartition(const Pixels& ours, const Pixels& reference)
{
    if (ours.width != reference.width || ours.height != reference.height) return false;
    std::map<uint32_t, uint32_t> colourOf;
    for (size_t i = 0; i < ours.data.size(); i += 4) {
        uint32_t a, b;
        std::memcpy(&a, &ours.data[i], 4);
        std::memcpy(&b, &reference.data[i], 4);
        const auto [it, inserted] = colourOf.emplace(a, b);
        if (!inserted && it->second != b) return false;
    }
    return colourOf.size() > 1;
}

void expectSameAs(const Loaded& loaded, const Pixels& reference, const std::string& what)
{
    ASSERT_EQ(loaded.code, 0) << what << ": " << loaded.info.errorText;
    EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), reference, false), 0) << what;
}

}  // namespace

TEST(PcxReader, public_files_match_pillow)
{
    std::vector<std::filesystem::path> files;
    for (const char* sub : {"pillow/pcx", "twelvemonkeys/pcx"}) {
        if (!std::filesystem::exists(testdata(sub))) continue;
        for (const auto& entry : std::filesystem::directory_iterator(testdata(sub))) {
            std::string ext = entry.path().extension().string();
            for (char& c : ext) c = static_cast<char>(std::tolower(c));
            if (ext == ".pcx") files.push_back(entry.path());
        }
    }
    if (files.empty() || !rastertest::havePillow()) SKIP_MISSING("unavailable: files.empty() || !rastertest::havePillow()");
    // Files whose colours this reader chooses differently, on purpose: version 3
    // files take the fixed 16-colour palette instead of their header's. Their
    // pixels must still be the same picture.
    const std::set<std::string> ownColours = {"animals.pcx"};
    int compared = 0;
    for (const auto& path : files) {
        Loaded loaded;
        rastertest::load(path, loaded);
        Pixels pillow, magick;
        const bool pillowReads = rastertest::pillowRgba(path, pillow);
        const bool magickReads = rastertest::magickFrame(path, 0, magick);
        if (!pillowReads && !magickReads) continue;
        ASSERT_EQ(loaded.code, 0) << path << ": " << loaded.info.errorText;
        const Pixels ours = rastertest::rgbaOf(loaded.bitmap);
        if (ownColours.count(path.filename().string())) {
            ASSERT_TRUE(magickReads);
            EXPECT_TRUE(samePartition(ours, magick)) << path;
            ++compared;
            continue;
        }
        // ImageMagick shows 1-bit files inverted; Pillow gives 4-plane files
        // without a usable palette black. The picture must equal one of them exactly.
        const bool samePillow = pillowReads && rastertest::opaqueDifference(ours, pillow, false) == 0;
        const bool sameMagick = magickReads && rastertest::opaqueDifference(ours, magick, false) == 0;
        EXPECT_TRUE(samePillow || sameMagick) << path;
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

// Four-colour CGA pictures take their colours from the header, as ImageMagick
// shows them (the one-bit CGA_BW.PCX is compared with Pillow above: ImageMagick
// shows one-bit files inverted).
TEST(PcxReader, cga_pictures_match_imagemagick)
{
    int compared = 0;
    for (const char* name : {"CGA_TST1.PCX", "CGA_FSD.PCX", "CGA_RGBI.PCX"}) {
        const auto path = testdata("twelvemonkeys/pcx") / name;
        if (!std::filesystem::exists(path)) SKIP_MISSING("missing " << path);
        SCOPED_TRACE(name);
        Loaded loaded;
        rastertest::load(path, loaded);
        ASSERT_EQ(loaded.code, 0) << loaded.info.errorText;
        Pixels magick;
        ASSERT_TRUE(rastertest::magickFrame(path, 0, magick));
        EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), magick, false), 0);
        ++compared;
    }
    EXPECT_EQ(compared, 3);
}

TEST(PcxReader, files_written_by_imagemagick_and_pillow)
{
    testsupport::TempDir dir;
    const auto source = dir / "source.ppm";
    rastertest::writeRandomPpm(source, 131, 47, 11);
    struct Made {
        std::string name;
        std::string command;
    };
    std::vector<Made> made = {
        {"im-bilevel.pcx", "/usr/bin/convert SRC -type bilevel OUT"},
        {"im-grey.pcx", "/usr/bin/convert SRC -type grayscale OUT"},
        {"im-palette.pcx", "/usr/bin/convert SRC -colors 200 -type palette OUT"},
        {"im-palette16.pcx", "/usr/bin/convert SRC -colors 16 -type palette OUT"},
        {"im-truecolour.pcx", "/usr/bin/convert SRC -type truecolor OUT"},
    };
    if (rastertest::havePillow()) {
        for (const char* mode : {"1", "L", "P", "RGB"})
            made.push_back({std::string("pil-") + mode + ".pcx",
                            std::string("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                        "Image.open(sys.argv[1]).convert('") +
                                mode + "').save(sys.argv[2])\" SRC OUT"});
    }
    for (const Made& m : made) {
        const auto out = dir / m.name;
        std::string command = m.command;
        command.replace(command.find("SRC"), 3, "'" + source.string() + "'");
        command.replace(command.find("OUT"), 3, "'" + out.string() + "'");
        ASSERT_EQ(testsupport::run(command + " 2>/dev/null"), 0) << m.name;
        Loaded loaded;
        rastertest::load(out, loaded);
        Pixels reference;
        ASSERT_TRUE(rastertest::pillowRgba(out, reference));
        expectSameAs(loaded, reference, m.name);
    }
}

TEST(PcxReader, palettes_by_version_and_marker)
{
    testsupport::TempDir dir;
    // 4 planes of 1 bit: 16 colours. Pixel x has index x (bit n in plane n).
    PcxFields ega;
    ega.bits = 1;
    ega.planes = 4;
    ega.width = 16;
    ega.height = 1;
    ega.encoded = false;
    for (int i = 0; i < 16; ++i) ega.headerPalette.insert(ega.headerPalette.end(), {uint8_t(i * 16), 1, 2});
    std::vector<uint8_t> planes;
    for (int plane = 0; plane < 4; ++plane) {
        uint16_t bits = 0;
        for (int x = 0; x < 16; ++x)
            if (x >> plane & 1) bits |= static_cast<uint16_t>(0x8000 >> x);
        planes.push_back(static_cast<uint8_t>(bits >> 8));
        planes.push_back(static_cast<uint8_t>(bits));
    }
    for (int version : {5, 3}) {
        ega.version = version;
        auto file = pcxHeader(ega);
        file.insert(file.end(), planes.begin(), planes.end());
        Loaded loaded;
        rastertest::load(writePcx(dir, file), loaded);
        ASSERT_EQ(loaded.code, 0);
        ASSERT_EQ(loaded.bitmap.type, Indexed);
        EXPECT_EQ(loaded.bitmap.colorCount, 16);
        for (int x = 0; x < 16; ++x) EXPECT_EQ(bitmapRow(loaded.bitmap, 0)[x], x);
        const Pixels p = rastertest::rgbaOf(loaded.bitmap);
        if (version == 5) {
            EXPECT_EQ(p.data[4 * 9], 9 * 16);  // the header's own palette
            EXPECT_EQ(p.data[4 * 9 + 2], 2);
        } else {
            // The fixed 16-colour palette: entry 9 is (85, 85, 255), entry 6 (170, 85, 0).
            EXPECT_EQ(p.data[4 * 9], 85);
            EXPECT_EQ(p.data[4 * 9 + 2], 255);
            EXPECT_EQ(p.data[4 * 6 + 1], 85);
        }
    }

    // 8 bits with the appended palette after the marker byte: Indexed; without it: Grey.
    PcxFields deep;
    deep.width = 3;
    deep.height = 2;
    const std::vector<uint8_t> pixels = {0, 1, 200, 0, 3, 4, 5, 0};  // two rows of 4 (line length even)
    auto withPalette = pcxHeader(deep);
    const auto runs = pcxRuns(pixels);
    withPalette.insert(withPalette.end(), runs.begin(), runs.end());
    auto withoutPalette = withPalette;
    withPalette.push_back(12);
    for (int i = 0; i < 256; ++i) withPalette.insert(withPalette.end(), {uint8_t(i), uint8_t(255 - i), 7});
    Loaded indexed;
    rastertest::load(writePcx(dir, withPalette), indexed);
    ASSERT_EQ(indexed.code, 0);
    EXPECT_EQ(indexed.bitmap.type, Indexed);
    EXPECT_EQ(bitmapRow(indexed.bitmap, 0)[2], 200);
    EXPECT_EQ(indexed.bitmap.palette[PaletteGreen + 200], 55);
    Loaded grey;
    rastertest::load(writePcx(dir, withoutPalette), grey);
    ASSERT_EQ(grey.code, 0);
    EXPECT_EQ(grey.bitmap.type, Grey);
    EXPECT_EQ(bitmapRow(grey.bitmap, 1)[2], 5);

    // A palette marker whose palette is cut short.
    auto cutPalette = withPalette;
    cutPalette.resize(cutPalette.size() - 100);
    Loaded cut;
    rastertest::load(writePcx(dir, cutPalette), cut);
    EXPECT_EQ(cut.code, LoadReadError);
}

TEST(PcxReader, runs_cross_planes_and_rows_and_padding_is_dropped)
{
    testsupport::TempDir dir;
    // 24 bits in three planes, 3 pixels wide, line length 4 (one pad byte a plane).
    PcxFields rgb;
    rgb.planes = 3;
    rgb.width = 3;
    rgb.height = 2;
    rgb.bytesPerLine = 4;
    auto file = pcxHeader(rgb);
    // Row 0: plane by plane with a pad byte each. Row 1: one run covers the
    // red plane and half of the green one.
    const std::vector<uint8_t> data = {0xC4, 10,           // R plane + pad
                                       0xC3, 20, 0,        // G plane + pad
                                       30,   31,  32, 0,   // B plane + pad
                                       0xC6, 40,           // row 1: R plane (4) and 2 of G
                                       0xC2, 41,           // rest of G
                                       0xC4, 50};          // B
    file.insert(file.end(), data.begin(), data.end());
    Loaded loaded;
    rastertest::load(writePcx(dir, file), loaded);
    ASSERT_EQ(loaded.code, 0);
    ASSERT_EQ(loaded.bitmap.type, Rgb);
    const uint8_t* row0 = bitmapRow(loaded.bitmap, 0);
    const uint8_t* row1 = bitmapRow(loaded.bitmap, 1);
    const uint8_t expected0[9] = {10, 20, 30, 10, 20, 31, 10, 20, 32};
    const uint8_t expected1[9] = {40, 40, 50, 40, 40, 50, 40, 41, 50};
    EXPECT_EQ(std::memcmp(row0, expected0, 9), 0);
    EXPECT_EQ(std::memcmp(row1, expected1, 9), 0);

    // A run that goes on past the end of a row continues in the next one.
    PcxFields grey;
    grey.width = 2;
    grey.height = 2;
    auto across = pcxHeader(grey);
    across.insert(across.end(), {0xC3, 7, 9});
    Loaded crossing;
    rastertest::load(writePcx(dir, across), crossing);
    ASSERT_EQ(crossing.code, 0);
    EXPECT_EQ(bitmapRow(crossing.bitmap, 1)[0], 7);
    EXPECT_EQ(bitmapRow(crossing.bitmap, 1)[1], 9);
}

TEST(PcxReader, damaged_files)
{
    testsupport::TempDir dir;
    PcxFields fields;
    fields.width = 4;
    fields.height = 4;
    // Run-length data that stops after the first row: success, the rest zero.
    auto runs = pcxHeader(fields);
    runs.insert(runs.end(), {0xC4, 9, 5});
    Loaded partial;
    rastertest::load(writePcx(dir, runs), partial);
    ASSERT_EQ(partial.code, 0);
    EXPECT_EQ(bitmapRow(partial.bitmap, 0)[3], 9);
    EXPECT_EQ(bitmapRow(partial.bitmap, 1)[0], 5);
    EXPECT_EQ(bitmapRow(partial.bitmap, 3)[3], 0);

    // Plain data cut short: 4, or the picture so far with ToleratePartial.
    fields.encoded = false;
    auto plain = pcxHeader(fields);
    plain.insert(plain.end(), {1, 2, 3, 4, 5, 6});
    Loaded cut;
    rastertest::load(writePcx(dir, plain), cut);
    EXPECT_EQ(cut.code, LoadReadError);
    Loaded tolerated;
    rastertest::load(writePcx(dir, plain), tolerated, ToleratePartial);
    ASSERT_EQ(tolerated.code, 0);
    EXPECT_EQ(bitmapRow(tolerated.bitmap, 0)[3], 4);

    // Sizes, planes and bits out of range: not a PCX file.
    struct Bad {
        int width, height, planes, bits;
    };
    for (const Bad& bad : {Bad{4, 0, 1, 8}, Bad{4, 4, 0, 8}, Bad{4, 4, 9, 1}, Bad{4, 4, 1, 0}, Bad{4, 4, 1, 32}}) {
        PcxFields s;
        s.width = bad.width;
        s.height = bad.height;
        s.planes = bad.planes;
        s.bits = bad.bits;
        auto file = pcxHeader(s);
        if (bad.height == 0) {
            file[6] = 5;  // ymin 5, ymax 3
            file[10] = 3;
            file[11] = 0;
        }
        file.resize(200, 0);
        Loaded loaded;
        rastertest::load(writePcx(dir, file), loaded, 0, 0, FormatPcx);
        EXPECT_EQ(loaded.code, LoadUnknownFormat);
    }
    // A wrong manufacturer byte and a short header.
    auto notPcx = pcxHeader(fields);
    notPcx[0] = 11;
    Loaded wrong;
    rastertest::load(writePcx(dir, notPcx), wrong, 0, 0, FormatPcx);
    EXPECT_EQ(wrong.code, LoadUnknownFormat);
    Loaded shortHeader;
    auto header = pcxHeader(fields);
    header.resize(60);
    rastertest::load(writePcx(dir, header), shortHeader, 0, 0, FormatPcx);
    EXPECT_EQ(shortHeader.code, LoadUnknownFormat);
}
