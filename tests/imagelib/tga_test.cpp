// Targa reader: the image-rs conformance set and Pillow's set against their
// reference PNGs, the TwelveMonkeys files against Pillow (ImageMagick leaves
// bottom-up files unturned in its output), files written by
// ImageMagick and Pillow, the header checks that decide whether a file is
// Targa at all, and hand-built files for runs, origins, maps and damage.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "imagelib/formats.h"
#include "raster_helpers.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using rastertest::Loaded;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

struct TgaFields {
    int idLength = 0;
    int mapType = 0;
    int imageType = 2;
    int mapFirst = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 2;
    int height = 2;
    int depth = 24;
    int descriptor = 32;  // top-down
};

std::vector<uint8_t> tgaHeader(const TgaFields& s)
{
    std::vector<uint8_t> h = {static_cast<uint8_t>(s.idLength), static_cast<uint8_t>(s.mapType),
                              static_cast<uint8_t>(s.imageType)};
    rastertest::putLe16(h, static_cast<unsigned>(s.mapFirst));
    rastertest::putLe16(h, static_cast<unsigned>(s.mapLength));
    h.push_back(static_cast<uint8_t>(s.mapBits));
    rastertest::putLe16(h, 0);
    rastertest::putLe16(h, 0);
    rastertest::putLe16(h, static_cast<unsigned>(s.width));
    rastertest::putLe16(h, static_cast<unsigned>(s.height));
    h.push_back(static_cast<uint8_t>(s.depth));
    h.push_back(static_cast<uint8_t>(s.descriptor));
    return h;
}

std::filesystem::path writeTga(const testsupport::TempDir& dir, const std::vector<uint8_t>& bytes,
                               const std::string& name = "test.tga")
{
    const auto path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

void expectPicture(const Loaded& loaded, const Pixels& reference, bool withAlpha, const std::string& what)
{
    ASSERT_EQ(loaded.code, 0) << what << ": " << loaded.info.errorText;
    EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), reference, withAlpha), 0) << what;
}

}  // namespace

TEST(TgaReader, image_rs_conformance_set_matches_reference_pngs)
{
    const auto images = testdata("image-rs/images/tga/testsuite");
    const auto references = testdata("image-rs/reference/tga/testsuite");
    if (!std::filesystem::exists(images)) SKIP_MISSING("unavailable: !std::filesystem::exists(images)");
    // Colour maps of 16-bit entries (used or not) are outside what this reader
    // takes as Targa.
    const std::set<std::string> refused = {"b5-cmap.tga", "ccm8.tga", "ucm8.tga", "b5-unused-cmap.tga"};
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(images)) {
        if (entry.path().extension() != ".tga") continue;
        const std::string name = entry.path().filename().string();
        Loaded loaded;
        rastertest::load(entry.path(), loaded);
        if (refused.count(name)) {
            EXPECT_EQ(loaded.code, LoadUnknownFormat) << name;
            continue;
        }
        const auto reference = references / (name + ".png");
        if (!std::filesystem::exists(reference)) {
            EXPECT_EQ(loaded.code, 0) << name << ": " << loaded.info.errorText;
            continue;
        }
        Pixels expected;
        ASSERT_TRUE(rastertest::magickFrame(reference, 0, expected));
        ASSERT_EQ(loaded.code, 0) << name << ": " << loaded.info.errorText;
        // 5-bit samples are widened as v * 255 / 31; the references replicate
        // the top bits, which differs by at most 1.
        const int tolerance = name.rfind("b5-", 0) == 0 || name == "utc16.tga" ? 1 : 0;
        EXPECT_LE(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), expected, true), tolerance) << name;
        ++compared;
    }
    EXPECT_GE(compared, 10);
}

TEST(TgaReader, pillow_set_matches_its_reference_pngs_in_every_origin_and_coding)
{
    const auto folder = testdata("pillow/tga/common");
    if (!std::filesystem::exists(folder)) SKIP_MISSING("unavailable: !std::filesystem::exists(folder)");
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".tga") continue;
        const std::string stem = entry.path().stem().string();  // e.g. 200x32_rgb_bl_rle
        const std::string base = stem.substr(0, stem.rfind('_', stem.rfind('_') - 1));
        // Grey with alpha (16 bits a pixel) keeps its alpha when colour with alpha is asked for.
        if (base.find("_la") != std::string::npos) {
            const readertest::Load rgba = readertest::loadRgba(entry.path());
            ASSERT_EQ(rgba.code, 0) << stem;
            Pixels reference;
            ASSERT_TRUE(testsupport::decodeWithMagick(folder / (base + ".png"), reference)) << base;
            EXPECT_EQ(testsupport::maxDifference(rgba.pixels, testsupport::toRgba(reference)), 0) << stem;
            ++compared;
            continue;
        }
        Loaded loaded;
        rastertest::load(entry.path(), loaded);
        Pixels expected;
        ASSERT_TRUE(rastertest::magickFrame(folder / (base + ".png"), 0, expected)) << base;
        expectPicture(loaded, expected, true, stem);
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

TEST(TgaReader, twelvemonkeys_and_pillow_files_match_pillow)
{
    std::vector<std::filesystem::path> files;
    for (const char* sub : {"twelvemonkeys/tga", "pillow/tga"}) {
        if (!std::filesystem::exists(testdata(sub))) continue;
        for (const auto& entry : std::filesystem::directory_iterator(testdata(sub))) {
            std::string ext = entry.path().extension().string();
            for (char& c : ext) c = static_cast<char>(std::tolower(c));
            if (ext == ".tga") files.push_back(entry.path());
        }
    }
    if (files.empty() || !rastertest::havePillow()) SKIP_MISSING("unavailable: files.empty() || !rastertest::havePillow()");
    // 16 bits a pixel are read as 5-5-5 colour, also in grey files, where they
    // are grey and alpha; a 16-bit colour map is not taken as Targa.
    const std::set<std::string> greyAlpha = {"la.tga", "monochrome16_top_left.tga", "monochrome16_top_left_rle.tga"};
    const std::set<std::string> refused = {"p_16.tga"};
    int compared = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        Loaded loaded;
        rastertest::load(path, loaded);
        if (refused.count(name)) {
            EXPECT_EQ(loaded.code, LoadUnknownFormat) << name;
            continue;
        }
        Pixels pillow;
        if (!rastertest::pillowRgba(path, pillow)) continue;
        ASSERT_EQ(loaded.code, 0) << path << ": " << loaded.info.errorText;
        if (greyAlpha.count(name)) {
            EXPECT_EQ(loaded.bitmap.width, pillow.width);
            continue;
        }
        // Colours where Pillow shows the pixel; alpha is not compared because
        // many writers leave the alpha byte of 32-bit files at 0.
        EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), pillow, false), 0) << path;
        ++compared;
    }
    EXPECT_GE(compared, 15);
}

TEST(TgaReader, files_written_by_imagemagick_and_pillow)
{
    testsupport::TempDir dir;
    const auto source = dir / "source.ppm";
    rastertest::writeRandomPpm(source, 77, 45, 5);
    const auto withAlpha = dir / "alpha.png";
    ASSERT_EQ(testsupport::run("/usr/bin/convert '" + source.string() +
                               "' \\( +clone -channel R -separate \\) -compose CopyOpacity -composite '" +
                               withAlpha.string() + "' 2>/dev/null"),
              0);
    struct Made {
        std::string name;
        std::string command;
    };
    std::vector<Made> made = {
        {"im-rgb.tga", "/usr/bin/convert SRC -type truecolor OUT"},
        {"im-rgb-rle.tga", "/usr/bin/convert SRC -type truecolor -compress RLE OUT"},
        {"im-grey.tga", "/usr/bin/convert SRC -type grayscale OUT"},
        {"im-grey-rle.tga", "/usr/bin/convert SRC -type grayscale -compress RLE OUT"},
        {"im-palette.tga", "/usr/bin/convert SRC -colors 100 -type palette OUT"},
        {"im-palette-rle.tga", "/usr/bin/convert SRC -colors 100 -type palette -compress RLE OUT"},
        {"im-rgba.tga", "/usr/bin/convert ALPHA OUT"},
        {"im-rgba-rle.tga", "/usr/bin/convert ALPHA -compress RLE OUT"},
    };
    if (rastertest::havePillow()) {
        for (const char* mode : {"L", "P", "RGB", "RGBA"})
            for (const char* compression : {"None", "'tga_rle'"})
                for (const char* orientation : {"1", "-1"})
                    made.push_back({std::string("pil-") + mode + (compression[0] == 'N' ? "" : "-rle") +
                                        (orientation[0] == '1' ? "-top" : "-bottom") + ".tga",
                                    std::string("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                                "Image.open(sys.argv[1]).convert('") +
                                        mode + "').save(sys.argv[2], compression=" + compression +
                                        ", orientation=" + orientation + ")\" " +
                                        (std::string(mode) == "RGBA" ? "ALPHA" : "SRC") + " OUT"});
    }
    for (const Made& m : made) {
        const auto out = dir / m.name;
        std::string command = m.command;
        if (command.find("SRC") != std::string::npos) command.replace(command.find("SRC"), 3, "'" + source.string() + "'");
        if (command.find("ALPHA") != std::string::npos)
            command.replace(command.find("ALPHA"), 5, "'" + withAlpha.string() + "'");
        command.replace(command.find("OUT"), 3, "'" + out.string() + "'");
        ASSERT_EQ(testsupport::run(command + " 2>/dev/null"), 0) << m.name;
        Loaded loaded;
        rastertest::load(out, loaded);
        Pixels reference;
        ASSERT_TRUE(rastertest::pillowRgba(out, reference)) << m.name;
        const bool alpha = m.name.find("rgba") != std::string::npos || m.name.find("RGBA") != std::string::npos;
        expectPicture(loaded, reference, alpha, m.name);
        if (alpha) { EXPECT_EQ(loaded.bitmap.type, Rgba) << m.name; }
    }
}

TEST(TgaReader, header_checks_decide_what_is_targa)
{
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        TgaFields fields;
        bool accepted;
    };
    auto with = [](auto change) {
        TgaFields s;
        change(s);
        return s;
    };
    const std::vector<Case> cases = {
        {"plain true colour", TgaFields(), true},
        {"colour-map type 2", with([](TgaFields& s) { s.mapType = 2; }), false},
        {"image type 0", with([](TgaFields& s) { s.imageType = 0; }), false},
        {"image type 32", with([](TgaFields& s) { s.imageType = 32; }), false},
        {"map without length", with([](TgaFields& s) { s.mapType = 1; s.mapBits = 24; }), false},
        {"map without entry size", with([](TgaFields& s) { s.mapType = 1; s.mapLength = 2; }), false},
        {"16-bit map entries", with([](TgaFields& s) { s.mapType = 1; s.mapLength = 2; s.mapBits = 16; }), false},
        {"map of 257 entries", with([](TgaFields& s) { s.mapType = 1; s.mapLength = 257; s.mapBits = 24; }), false},
        {"first entry beyond the map", with([](TgaFields& s) { s.mapType = 1; s.mapLength = 2; s.mapFirst = 3; s.mapBits = 24; }), false},
        {"width 15001", with([](TgaFields& s) { s.width = 15001; }), false},
        {"depth 12", with([](TgaFields& s) { s.depth = 12; }), false},
        {"depth 32", with([](TgaFields& s) { s.depth = 32; }), true},
        {"grey 8", with([](TgaFields& s) { s.imageType = 3; s.depth = 8; }), true},
        {"mapped 8 with a 256-entry map", with([](TgaFields& s) { s.imageType = 1; s.depth = 8; s.mapType = 1; s.mapLength = 256; s.mapBits = 32; }), true},
    };
    for (const Case& c : cases) {
        auto file = tgaHeader(c.fields);
        const size_t map = static_cast<size_t>(c.fields.mapLength) * c.fields.mapBits / 8;
        file.resize(file.size() + map + static_cast<size_t>(c.fields.width) * c.fields.height * 4, 0x40);
        const auto path = writeTga(dir, file, "case.tga");
        Loaded forced;
        rastertest::load(path, forced, 0, 0, FormatTga);
        EXPECT_EQ(forced.code, c.accepted ? 0 : LoadUnknownFormat) << c.name;
        // Without an extension the loader probes every format: Targa claims the file only when it is accepted.
        const auto bare = writeTga(dir, file, "case");
        Loaded probed;
        rastertest::load(bare, probed);
        if (c.accepted) {
            EXPECT_EQ(probed.code, 0) << c.name;
            EXPECT_EQ(probed.info.formatIndex, FormatTga) << c.name;
        } else {
            EXPECT_NE(probed.code == 0 ? probed.info.formatIndex : -1, FormatTga) << c.name;
        }
    }
    // A header cut short is not Targa either.
    auto cut = tgaHeader(TgaFields());
    cut.resize(10);
    Loaded shortHeader;
    rastertest::load(writeTga(dir, cut), shortHeader, 0, 0, FormatTga);
    EXPECT_EQ(shortHeader.code, LoadUnknownFormat);
}

TEST(TgaReader, run_packets_cross_row_ends_and_origins_turn_the_picture)
{
    testsupport::TempDir dir;
    // 3 x 2 grey, run-length: one run of 4 crosses the end of row 0, then 2 literals.
    TgaFields grey;
    grey.imageType = 11;
    grey.depth = 8;
    grey.width = 3;
    grey.height = 2;
    for (int descriptor : {32, 0, 48, 16}) {
        grey.descriptor = descriptor;
        auto file = tgaHeader(grey);
        append(file, {0x83, 10, 0x01, 20, 30});
        Loaded loaded;
        rastertest::load(writeTga(dir, file), loaded);
        ASSERT_EQ(loaded.code, 0) << descriptor;
        ASSERT_EQ(loaded.bitmap.type, Grey);
        // File rows: {10, 10, 10} then {10, 20, 30}.
        const uint8_t fileRows[2][3] = {{10, 10, 10}, {10, 20, 30}};
        const bool bottomUp = !(descriptor & 32);
        const bool rightToLeft = (descriptor & 16) != 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int fy = bottomUp ? 1 - y : y;
                const int fx = rightToLeft ? 2 - x : x;
                EXPECT_EQ(bitmapRow(loaded.bitmap, y)[x], fileRows[fy][fx]) << descriptor << " " << x << "," << y;
            }
    }

    // A 24-bit run of one pixel value across three rows.
    TgaFields rgb;
    rgb.imageType = 10;
    rgb.width = 2;
    rgb.height = 3;
    auto file = tgaHeader(rgb);
    append(file, {0x85, 1, 2, 3});
    Loaded loaded;
    rastertest::load(writeTga(dir, file), loaded);
    ASSERT_EQ(loaded.code, 0);
    EXPECT_EQ(bitmapRow(loaded.bitmap, 2)[3], 3);  // R of the last pixel (file order B, G, R)
    EXPECT_EQ(bitmapRow(loaded.bitmap, 2)[5], 1);
}

TEST(TgaReader, colour_maps_used_skipped_and_offset)
{
    testsupport::TempDir dir;
    // True colour with a map that is present but not used: the pixels follow it.
    TgaFields skipped;
    skipped.mapType = 1;
    skipped.mapLength = 3;
    skipped.mapBits = 32;
    skipped.width = 1;
    skipped.height = 1;
    auto file = tgaHeader(skipped);
    append(file, std::vector<uint8_t>(12, 0xEE));
    append(file, {7, 8, 9});
    Loaded plain;
    rastertest::load(writeTga(dir, file), plain);
    ASSERT_EQ(plain.code, 0);
    EXPECT_EQ(plain.bitmap.type, Rgb);
    EXPECT_EQ(bitmapRow(plain.bitmap, 0)[0], 9);
    EXPECT_EQ(bitmapRow(plain.bitmap, 0)[2], 7);

    // A mapped picture whose map starts at entry 2: pixel value 3 is map entry 1.
    TgaFields mapped;
    mapped.imageType = 1;
    mapped.depth = 8;
    mapped.mapType = 1;
    mapped.mapFirst = 2;
    mapped.mapLength = 2;
    mapped.mapBits = 24;
    mapped.width = 2;
    mapped.height = 1;
    mapped.idLength = 5;
    auto mappedFile = tgaHeader(mapped);
    append(mappedFile, {'h', 'e', 'l', 'l', 'o'});
    append(mappedFile, {30, 20, 10, 60, 50, 40});  // B, G, R
    append(mappedFile, {2, 3});
    Loaded indexed;
    rastertest::load(writeTga(dir, mappedFile), indexed, ReadComment);
    ASSERT_EQ(indexed.code, 0);
    ASSERT_EQ(indexed.bitmap.type, Indexed);
    const Pixels p = rastertest::rgbaOf(indexed.bitmap);
    EXPECT_EQ(p.data[0], 10);
    EXPECT_EQ(p.data[2], 30);
    EXPECT_EQ(p.data[4], 40);
    EXPECT_EQ(p.data[6], 60);
    ASSERT_NE(indexed.bitmap.comment, nullptr);
    EXPECT_STREQ(indexed.bitmap.comment, "hello");
    EXPECT_STREQ(indexed.info.description, "Truevision TARGA (Type 1)");

    // Mapped pictures of 16-bit indexes cannot be shown.
    mappedFile[16] = 16;
    append(mappedFile, {0, 0});
    Loaded wide;
    rastertest::load(writeTga(dir, mappedFile), wide, 0, 0, FormatTga);
    EXPECT_EQ(wide.code, LoadBadData);
    EXPECT_STREQ(wide.info.errorText, "Targa : Unknown image type !");
}

TEST(TgaReader, data_cut_short)
{
    testsupport::TempDir dir;
    TgaFields fields;
    fields.width = 2;
    fields.height = 4;
    fields.imageType = 3;
    fields.depth = 8;
    auto plain = tgaHeader(fields);
    append(plain, {1, 2, 3, 4, 5});
    Loaded cut;
    rastertest::load(writeTga(dir, plain), cut);
    EXPECT_EQ(cut.code, LoadReadError);
    Loaded kept;
    rastertest::load(writeTga(dir, plain), kept, ToleratePartial);
    ASSERT_EQ(kept.code, 0);
    EXPECT_EQ(bitmapRow(kept.bitmap, 1)[1], 4);
    EXPECT_EQ(bitmapRow(kept.bitmap, 3)[1], 0);

    fields.imageType = 11;
    auto runs = tgaHeader(fields);
    append(runs, {0x82, 9, 0x01, 7});  // 3 pixels of 9, then a literal packet of 2 with 1 byte
    Loaded runCut;
    rastertest::load(writeTga(dir, runs), runCut);
    EXPECT_EQ(runCut.code, LoadReadError);
    Loaded runKept;
    rastertest::load(writeTga(dir, runs), runKept, ToleratePartial);
    ASSERT_EQ(runKept.code, 0);
    EXPECT_EQ(bitmapRow(runKept.bitmap, 1)[0], 9);
    EXPECT_EQ(bitmapRow(runKept.bitmap, 1)[1], 7);
    EXPECT_EQ(bitmapRow(runKept.bitmap, 2)[0], 0);
}
