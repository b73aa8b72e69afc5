// PNM reader: the Pillow, TwelveMonkeys and image-rs files against Pillow and
// the image-rs references, files netpbm writes in every kind, depth and
// maximum (against netpbm's own rescaling), and hand-built headers, comments,
// 16-bit samples, thumbnails and damage.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "imagelib/formats.h"
#include "raster_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using rastertest::Loaded;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

std::filesystem::path writePnm(const testsupport::TempDir& dir, const std::string& text,
                               const std::vector<uint8_t>& data = {}, const std::string& name = "test.pnm")
{
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    const auto path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

std::vector<uint8_t> greyRow(const Loaded& loaded, int y)
{
    const Pixels p = rastertest::rgbaOf(loaded.bitmap);
    std::vector<uint8_t> row;
    for (int x = 0; x < p.width; ++x) row.push_back(p.data[(static_cast<size_t>(y) * p.width + x) * 4]);
    return row;
}

}  // namespace

TEST(PnmReader, public_files_match_pillow_and_references)
{
    if (!rastertest::havePillow()) SKIP_MISSING("unavailable: !rastertest::havePillow()");
    std::vector<std::filesystem::path> files;
    for (const char* sub : {"pillow/pnm", "twelvemonkeys/pnm/pbm", "twelvemonkeys/pnm/pgm", "twelvemonkeys/pnm/ppm",
                            "twelvemonkeys/pnm/xv-thumb", "twelvemonkeys/pnm/pam", "image-rs/images/pbm/images"}) {
        if (!std::filesystem::exists(testdata(sub))) continue;
        for (const auto& entry : std::filesystem::directory_iterator(testdata(sub))) files.push_back(entry.path());
    }
    if (files.empty()) SKIP_MISSING("unavailable: files.empty()");
    // Not files of this reader: floating-point maps, PAM headers, a negative
    // size, a thumbnail with text where its size should be, a PNG named .pbm.
    const std::set<std::string> notOurs = {"hopper.pfm", "hopper_be.pfm", "rgba.pam", "snail2.pam",
                                           "negative_size.ppm", "xv-thumb.xvt", "hopper_bad.p7", "courB08.pbm"};
    int compared = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        if (path.extension() == ".png") continue;
        Loaded loaded;
        rastertest::load(path, loaded, 0, 0, FormatPnm);
        if (notOurs.count(name)) {
            EXPECT_EQ(loaded.code, LoadUnknownFormat) << name;
            continue;
        }
        ASSERT_EQ(loaded.code, 0) << name << ": " << loaded.info.errorText;
        Pixels reference;
        const auto png = testdata("image-rs/reference/pbm/images") / (name + ".png");
        // Pillow clips 16-bit samples instead of scaling them: those files are
        // compared with netpbm's rescaling, which rounds where we keep the high byte.
        const bool deep = name.find("16") != std::string::npos;
        testsupport::TempDir scratch;
        bool have;
        if (std::filesystem::exists(png))
            have = rastertest::magickFrame(png, 0, reference);
        else if (deep)
            have = testsupport::run("pamdepth 255 '" + path.string() + "' > '" + (scratch / "ref.pnm").string() +
                                    "' 2>/dev/null") == 0 &&
                   testsupport::readPnm(scratch / "ref.pnm", reference);
        else
            have = rastertest::pillowRgba(path, reference);
        ASSERT_TRUE(have) << name;
        EXPECT_LE(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), reference, false), deep ? 1 : 0)
            << name;
        ++compared;
    }
    EXPECT_GE(compared, 15);
}

TEST(PnmReader, netpbm_files_of_every_kind_and_maximum)
{
    if (!testsupport::haveTool("pamdepth") || !testsupport::haveTool("pnmtoplainpnm")) SKIP_MISSING("unavailable: !testsupport::haveTool(\"pamdepth\") || !testsupport::haveTool(\"pnmtoplainpnm\")");
    testsupport::TempDir dir;
    const auto ppm = dir / "source.ppm";
    rastertest::writeRandomPpm(ppm, 53, 29, 9);
    const std::string src = "'" + ppm.string() + "'";
    ASSERT_EQ(testsupport::run("ppmtopgm " + src + " > '" + (dir / "grey.pgm").string() + "'"), 0);
    ASSERT_EQ(testsupport::run("pamditherbw '" + (dir / "grey.pgm").string() + "' 2>/dev/null | pamtopnm > '" +
                               (dir / "bits.pbm").string() + "'"),
              0);
    struct Variant {
        std::string name;
        std::string input;
        int maximum;  // 0: keep
        bool plain;
    };
    std::vector<Variant> variants;
    for (const char* input : {"source.ppm", "grey.pgm"})
        for (int maximum : {0, 65535, 1000, 100, 15, 1})
            for (bool plain : {false, true})
                variants.push_back({std::string(input) + "-" + std::to_string(maximum) + (plain ? "-plain" : ""),
                                    input, maximum, plain});
    variants.push_back({"bits", "bits.pbm", 0, false});
    variants.push_back({"bits-plain", "bits.pbm", 0, true});

    for (const Variant& v : variants) {
        const auto file = dir / (v.name + ".pnm");
        std::string command = "cat '" + (dir / v.input).string() + "'";
        if (v.maximum) command += " | pamdepth " + std::to_string(v.maximum) + " 2>/dev/null";
        if (v.plain) command += " | pnmtoplainpnm 2>/dev/null";
        ASSERT_EQ(testsupport::run(command + " > '" + file.string() + "'"), 0) << v.name;
        // netpbm's own rescaling to 255 (it rounds, we truncate) as the
        // reference; bitmaps become grey 0 and 255 there.
        const auto reference = dir / (v.name + "-255.pnm");
        ASSERT_EQ(testsupport::run("pamdepth 255 '" + file.string() + "' 2>/dev/null > '" + reference.string() + "'"), 0);
        Loaded loaded;
        rastertest::load(file, loaded);
        ASSERT_EQ(loaded.code, 0) << v.name << ": " << loaded.info.errorText;
        if (v.input == "bits.pbm") { EXPECT_EQ(loaded.bitmap.type, Binary) << v.name; }
        Pixels expected;
        ASSERT_TRUE(testsupport::readPnm(reference, expected)) << v.name;
        const int tolerance = v.maximum == 0 ? 0 : 1;
        EXPECT_LE(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), expected, false), tolerance)
            << v.name;
    }
}

TEST(PnmReader, headers_comments_and_plain_bits)
{
    testsupport::TempDir dir;
    // Comments between the numbers, bits written together and apart.
    Loaded plain;
    rastertest::load(writePnm(dir, "P1\n# made by hand\n5 # width\n 2\n# rows follow\n10100\n0 1 0 1 1\n"), plain);
    ASSERT_EQ(plain.code, 0);
    ASSERT_EQ(plain.bitmap.type, Binary);
    EXPECT_EQ(greyRow(plain, 0), (std::vector<uint8_t>{0, 255, 0, 255, 255}));  // 1 is black
    EXPECT_EQ(greyRow(plain, 1), (std::vector<uint8_t>{255, 0, 255, 0, 0}));
    EXPECT_STREQ(plain.info.description, "Portable Bitmap (Type 1 - ASCII)");

    // P4 of width 10: two bytes a row, the last six bits unused.
    Loaded packed;
    rastertest::load(writePnm(dir, "P4 10 2\n", {0xC0, 0x7F, 0x00, 0x80}), packed);
    ASSERT_EQ(packed.code, 0);
    EXPECT_EQ(packed.info.bytesPerPlane, 2u);
    EXPECT_EQ(greyRow(packed, 0), (std::vector<uint8_t>{0, 0, 255, 255, 255, 255, 255, 255, 255, 0}));
    EXPECT_EQ(greyRow(packed, 1), (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 255, 255, 0, 255}));

    // 16-bit binary samples, big-endian: the high bytes.
    Loaded deep;
    rastertest::load(writePnm(dir, "P5\n4 2\n65535\n", {0x12, 0x34, 0xFF, 0xFF, 0x00, 0xFF, 0x80, 0x00,
                                                          0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00}),
                     deep);
    ASSERT_EQ(deep.code, 0);
    EXPECT_EQ(greyRow(deep, 0), (std::vector<uint8_t>{0x12, 0xFF, 0x00, 0x80}));
    EXPECT_EQ(greyRow(deep, 1), (std::vector<uint8_t>{1, 2, 3, 4}));

    // Other maxima scale by 255 / maximum; samples above the maximum count as it.
    Loaded scaled;
    rastertest::load(writePnm(dir, "P2 4 1 10\n0 5 10 200\n"), scaled);
    ASSERT_EQ(scaled.code, 0);
    EXPECT_EQ(greyRow(scaled, 0), (std::vector<uint8_t>{0, 127, 255, 255}));
    Loaded scaledDeep;
    rastertest::load(writePnm(dir, "P5 2 1 1000\n", {0x01, 0xF4, 0x03, 0xE8}), scaledDeep);
    ASSERT_EQ(scaledDeep.code, 0);
    EXPECT_EQ(greyRow(scaledDeep, 0), (std::vector<uint8_t>{127, 255}));
    Loaded plainDeep;
    rastertest::load(writePnm(dir, "P3 1 1 65535 65535 32768 256\n"), plainDeep);
    ASSERT_EQ(plainDeep.code, 0);
    EXPECT_EQ(std::vector<uint8_t>(plainDeep.bitmap.pixels, plainDeep.bitmap.pixels + 3),
              (std::vector<uint8_t>{255, 128, 1}));
}

TEST(PnmReader, thumbnails_use_three_three_two_colours)
{
    testsupport::TempDir dir;
    Loaded thumb;
    rastertest::load(writePnm(dir, "P7 332\n#XVVERSION:Version 2.28\n#END_OF_COMMENTS\n3 1 255\n", {0xE0, 0x1C, 0x03}),
                     thumb);
    ASSERT_EQ(thumb.code, 0);
    EXPECT_STREQ(thumb.info.description, "XV visual schnauzer");
    const Pixels p = rastertest::rgbaOf(thumb.bitmap);
    const std::vector<uint8_t> rgb = {p.data[0], p.data[1], p.data[2], p.data[4], p.data[5], p.data[6],
                                      p.data[8], p.data[9], p.data[10]};
    EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255}));

    if (rastertest::havePillow() && std::filesystem::exists(testdata("pillow/pnm/hopper.p7"))) {
        Loaded hopper;
        rastertest::load(testdata("pillow/pnm/hopper.p7"), hopper);
        ASSERT_EQ(hopper.code, 0);
        Pixels pillow;
        ASSERT_TRUE(rastertest::pillowRgba(testdata("pillow/pnm/hopper.p7"), pillow));
        EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(hopper.bitmap), pillow, false), 0);
    }
}

TEST(PnmReader, bad_headers_and_damaged_data)
{
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::string text;
        int code;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"magic P8", "P8 1 1 255\n", LoadUnknownFormat, ""},
        {"magic Q5", "Q5 1 1 255\n", LoadUnknownFormat, ""},
        {"letter for a width", "P5 x 1 255\n", LoadUnknownFormat, ""},
        {"width 16000", "P5 16000 1 255\n", LoadBadData, "Portable Bitmap : Bad picture's size !"},
        {"height 0", "P2 1 0 255\n", LoadBadData, "Portable Bitmap : Bad picture's size !"},
        {"maximum 0", "P5 1 1 0\n", LoadBadData, "Portable Bitmap : Bad maximum value !"},
        {"maximum 65536", "P6 1 1 65536\n", LoadBadData, "Portable Bitmap : Bad maximum value !"},
        {"header ends", "P6 1 1", LoadUnknownFormat, ""},  // early end before the picture counts as "not ours"
    };
    for (const Case& c : cases) {
        Loaded loaded;
        rastertest::load(writePnm(dir, c.text), loaded, 0, 0, FormatPnm);
        EXPECT_EQ(loaded.code, c.code) << c.name;
        EXPECT_STREQ(loaded.info.errorText, c.message) << c.name;
    }

    // Binary data cut short: 4, or the rows so far with ToleratePartial.
    const auto cut = writePnm(dir, "P5 3 3 255\n", {1, 2, 3, 4, 5});
    Loaded failed;
    rastertest::load(cut, failed);
    EXPECT_EQ(failed.code, LoadReadError);
    Loaded partial;
    rastertest::load(cut, partial, ToleratePartial);
    ASSERT_EQ(partial.code, 0);
    EXPECT_EQ(greyRow(partial, 0), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(greyRow(partial, 1), (std::vector<uint8_t>{4, 5, 0}));
    EXPECT_EQ(greyRow(partial, 2), (std::vector<uint8_t>{0, 0, 0}));

    // Text samples: the end of the file is 4, a stray letter is corrupt data.
    Loaded shortText;
    rastertest::load(writePnm(dir, "P2 2 2 255 1 2 3"), shortText);
    EXPECT_EQ(shortText.code, LoadReadError);
    Loaded letter;
    rastertest::load(writePnm(dir, "P2 2 2 255 1 2 x 4"), letter);
    EXPECT_EQ(letter.code, LoadCorrupt);
    Loaded letterKept;
    rastertest::load(writePnm(dir, "P2 2 2 255 1 2 x 4"), letterKept, ToleratePartial);
    ASSERT_EQ(letterKept.code, 0);
    EXPECT_EQ(greyRow(letterKept, 0), (std::vector<uint8_t>{1, 2}));
    Loaded badBit;
    rastertest::load(writePnm(dir, "P1 2 1 0 2"), badBit);
    EXPECT_EQ(badBit.code, LoadCorrupt);
}
