// The BMP reader: the public BMP suites against their references, files made
// by ImageMagick and netpbm against ImageMagick's decoding, DXT blocks in a
// BMP container, hand-made headers for the edge cases, and reduction while
// loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/transform.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using testsupport::Pixels;
namespace fs = std::filesystem;

namespace {

struct Loaded : testsupport::OwnedPicture {
    int code = -1;
};

std::unique_ptr<Loaded> load(const fs::path& path, const std::function<void(LoadParams&)>& adjust = {})
{
    auto result = std::make_unique<Loaded>();
    LoadParams params;
    loadParamsDefaults(params);
    if (adjust) adjust(params);
    result->code = loadBitmap(path.string(), result->bitmap, params, &result->info);
    return result;
}

// True colour without alpha, the usual way of comparing colours.
std::unique_ptr<Loaded> loadRgb(const fs::path& path, uint32_t extra = 0)
{
    return load(path, [extra](LoadParams& p) { p.options |= ForceTrueColour | NoAlpha | extra; });
}

// Any bitmap as RGBA rows from the top of the picture.
Pixels toPixels(const Bitmap& b)
{
    Pixels out;
    out.width = b.width;
    out.height = b.height;
    out.channels = 4;
    out.data.resize(size_t(b.width) * b.height * 4);
    for (int y = 0; y < b.height; ++y) {
        const uint8_t* row = bitmapRow(b, (b.origin & OriginBottom) ? b.height - 1 - y : y);
        for (int x = 0; x < b.width; ++x) {
            uint8_t* d = &out.data[(size_t(y) * b.width + x) * 4];
            const uint8_t* s = row + size_t(x) * b.bytesPerPixel;
            uint8_t r = 0, g = 0, bl = 0, a = 255;
            switch (b.type) {
            case Binary: r = g = bl = bitGet(row, x) ? 255 : 0; break;
            case Grey: r = g = bl = s[0]; break;
            case Indexed:
                r = b.palette[PaletteRed + s[0]];
                g = b.palette[PaletteGreen + s[0]];
                bl = b.palette[PaletteBlue + s[0]];
                break;
            case Rgb: r = s[0], g = s[1], bl = s[2]; break;
            case Bgr: bl = s[0], g = s[1], r = s[2]; break;
            case Rgba: r = s[0], g = s[1], bl = s[2], a = s[3]; break;
            case Bgra: bl = s[0], g = s[1], r = s[2], a = s[3]; break;
            case Abgr: a = s[0], bl = s[1], g = s[2], r = s[3]; break;
            case Argb: a = s[0], r = s[1], g = s[2], bl = s[3]; break;
            default: ADD_FAILURE() << "unexpected type " << b.type;
            }
            d[0] = r, d[1] = g, d[2] = bl, d[3] = a;
        }
    }
    return out;
}

// Largest colour difference; pixels transparent in the reference are skipped
// when `skipTransparent` is set. -1 when the sizes differ.
int colourDifference(const Pixels& ours, const Pixels& reference, bool skipTransparent = true)
{
    if (ours.width != reference.width || ours.height != reference.height) return -1;
    int worst = 0;
    for (size_t i = 0; i < size_t(ours.width) * ours.height; ++i) {
        if (skipTransparent && reference.data[i * 4 + 3] == 0) continue;
        for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(ours.data[i * 4 + k] - reference.data[i * 4 + k]));
    }
    return worst;
}

// Our decoding against ImageMagick's decoding of `reference` (default: the file itself).
void expectMatchesMagick(const fs::path& file, int tolerance, const fs::path& reference = {}, bool skipFirstColumn = false)
{
    SCOPED_TRACE(file.string());
    auto ours = loadRgb(file);
    ASSERT_EQ(ours->code, 0) << ours->info.errorText;
    Pixels theirs;
    ASSERT_TRUE(testsupport::decodeWithMagick(reference.empty() ? file : reference, theirs));
    if (skipFirstColumn)
        for (int y = 0; y < theirs.height; ++y) theirs.data[size_t(y) * theirs.width * 4 + 3] = 0;
    EXPECT_LE(colourDifference(toPixels(ours->bitmap), theirs), tolerance) << "against " << reference.string();
    EXPECT_GE(colourDifference(toPixels(ours->bitmap), theirs), 0) << "size differs";
}

// ---------------------------------------------------------------------------
// Building bitmaps byte by byte.

struct Bytes {
    std::vector<uint8_t> v;
    Bytes& u8(int x)
    {
        v.push_back(uint8_t(x));
        return *this;
    }
    Bytes& u16(int x) { return u8(x & 255).u8(x >> 8 & 255); }
    Bytes& u32(uint32_t x) { return u16(x & 0xFFFF).u16(x >> 16); }
    Bytes& raw(const std::vector<uint8_t>& b)
    {
        v.insert(v.end(), b.begin(), b.end());
        return *this;
    }
};

struct BmpFields {
    int width = 1, height = 1, bitCount = 24, planes = 1;
    uint32_t compression = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint32_t> masks;    // written after a 40-byte header
    std::vector<uint8_t> pixels;    // as stored
    uint32_t pixelsPerMetre = 2835;
    int64_t coloursUsed = -1;       // -1: palette size
    int64_t dataOffset = -1;        // -1: right after the palette
};

std::vector<uint8_t> makeBmp(const BmpFields& s)
{
    const uint32_t offset = s.dataOffset >= 0 ? uint32_t(s.dataOffset)
                                              : uint32_t(54 + 4 * s.masks.size() + 4 * s.palette.size());
    Bytes b;
    b.u8('B').u8('M').u32(uint32_t(offset + s.pixels.size())).u32(0).u32(offset);
    b.u32(40).u32(uint32_t(s.width)).u32(uint32_t(s.height)).u16(s.planes).u16(s.bitCount).u32(s.compression);
    b.u32(uint32_t(s.pixels.size())).u32(s.pixelsPerMetre).u32(s.pixelsPerMetre);
    b.u32(uint32_t(s.coloursUsed >= 0 ? s.coloursUsed : int64_t(s.palette.size()))).u32(0);
    for (uint32_t m : s.masks) b.u32(m);
    for (uint32_t c : s.palette) b.u32(c);
    while (s.dataOffset >= 0 && b.v.size() < offset) b.u8(0);
    return b.raw(s.pixels).v;
}

fs::path writeTemp(const testsupport::TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    const fs::path path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

// Rows of `rowBytes` bytes padded to four.
std::vector<uint8_t> padRows(const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> out;
    for (const auto& r : rows) {
        out.insert(out.end(), r.begin(), r.end());
        out.resize((out.size() + 3) / 4 * 4, 0);
    }
    return out;
}

fs::path suite(const std::string& name) { return testsupport::testdata("bmpsuite/" + name); }

}  // namespace

// ---------------------------------------------------------------------------
// bmpsuite

TEST(BmpSuite, GoodFilesMatchTheReferences)
{
    const std::map<std::string, std::string> good = {
        {"pal1.bmp", "pal1.png"},       {"pal1bg.bmp", "pal1bg.png"},     {"pal1wb.bmp", "pal1.png"},
        {"pal4.bmp", "pal4.png"},       {"pal4gs.bmp", "pal4gs.png"},     {"pal4rle.bmp", "pal4.png"},
        {"pal8-0.bmp", "pal8.png"},     {"pal8.bmp", "pal8.png"},         {"pal8gs.bmp", "pal8gs.png"},
        {"pal8nonsquare.bmp", "pal8nonsquare-e.png"},                     {"pal8os2.bmp", "pal8.png"},
        {"pal8rle.bmp", "pal8.png"},    {"pal8topdown.bmp", "pal8.png"},  {"pal8v4.bmp", "pal8.png"},
        {"pal8v5.bmp", "pal8.png"},     {"pal8w124.bmp", "pal8w124.png"}, {"pal8w125.bmp", "pal8w125.png"},
        {"pal8w126.bmp", "pal8w126.png"}, {"rgb16-565.bmp", "rgb16-565.png"}, {"rgb16-565pal.bmp", "rgb16-565.png"},
        {"rgb16.bmp", "rgb16.png"},     {"rgb16bfdef.bmp", "rgb16.png"},  {"rgb24.bmp", "rgb24.png"},
        {"rgb24pal.bmp", "rgb24.png"},  {"rgb32.bmp", "rgb24.png"},       {"rgb32bf.bmp", "rgb24.png"},
        {"rgb32bfdef.bmp", "rgb24.png"},
    };
    ASSERT_EQ(good.size(), size_t(std::distance(fs::directory_iterator(suite("g")), fs::directory_iterator())));
    // Packed 16-bit fields are widened as v * 255 / 31 (or 63) with integer
    // division, one level below the references' rounding at most.
    for (const auto& [file, reference] : good)
        expectMatchesMagick(suite("g/" + file), file.starts_with("rgb16") ? 1 : 0, suite("reference/" + reference));
}

TEST(BmpSuite, FileInfoAgreesWithDecoding)
{
    for (const auto& entry : fs::directory_iterator(suite("g"))) {
        SCOPED_TRACE(entry.path().string());
        FileInfo info;
        ASSERT_EQ(getFileInfo(entry.path().string(), -1, 0, info), 0);
        auto full = loadRgb(entry.path());
        ASSERT_EQ(full->code, 0);
        EXPECT_EQ(info.width, full->bitmap.width);
        EXPECT_EQ(info.height, full->bitmap.height);
        EXPECT_EQ(info.formatIndex, FormatBmp);
        EXPECT_EQ(std::string(info.description), entry.path().filename() == "pal8os2.bmp" ? "OS/2 Bitmap" : "Windows Bitmap");
        freeFileInfo(info);
    }
}

TEST(BmpSuite, BadFilesFailWithACodeOrLoad)
{
    for (const auto& entry : fs::directory_iterator(suite("b"))) {
        for (uint32_t extra : {0u, uint32_t(ToleratePartial)}) {
            auto result = load(entry.path(), [extra](LoadParams& p) { p.options |= extra; });
            const int code = result->code;
            EXPECT_TRUE(code == 0 || code == 2 || code == 4 || code == 9 || code == 10)
                << entry.path() << " gave " << code;
            if (code == 0) EXPECT_NE(result->bitmap.pixels, nullptr);
            else EXPECT_EQ(result->bitmap.pixels, nullptr);
        }
    }
    auto big = load(suite("b/reallybig.bmp"));
    EXPECT_EQ(big->code, 9);
    EXPECT_STREQ(big->info.errorText, "Windows Bitmap : Bad picture's size !");
    EXPECT_EQ(load(suite("b/shortfile.bmp"))->code, 4);
    EXPECT_EQ(load(suite("b/shortfile.bmp"), [](LoadParams& p) { p.options |= ToleratePartial; })->code, 0);
    EXPECT_EQ(load(suite("b/badbitcount.bmp"))->code, 2);
    // A negative width is taken as its size.
    auto wide = load(suite("b/badwidth.bmp"));
    EXPECT_EQ(wide->code, 0);
    EXPECT_EQ(wide->bitmap.width, 127);
}

TEST(BmpSuite, QuestionableFilesAsDocumented)
{
    // Loads that match a reference (see docs/bmp.md for the choices).
    const std::map<std::string, std::pair<std::string, int>> loads = {
        {"pal1p1.bmp", {"pal1p1.png", 0}},         {"pal2.bmp", {"pal2.png", 0}},
        {"pal2color.bmp", {"pal2color.png", 0}},   {"pal4rlecut.bmp", {"pal4rlecut-0.png", 0}},
        {"pal4rletrns.bmp", {"pal4rletrns-0.png", 0}}, {"pal8rlecut.bmp", {"pal8rlecut-0.png", 0}},
        {"pal8rletrns.bmp", {"pal8rletrns-0.png", 0}}, {"pal8offs.bmp", {"pal8.png", 0}},
        {"pal8os2-hs.bmp", {"pal8.png", 0}},       {"pal8os2-sz.bmp", {"pal8.png", 0}},
        {"pal8os2sp.bmp", {"pal8.png", 0}},        {"pal8os2v2.bmp", {"pal8.png", 0}},
        {"pal8os2v2-sz.bmp", {"pal8.png", 0}},     {"pal8os2v2-40sz.bmp", {"pal8.png", 0}},
        {"pal8oversizepal.bmp", {"pal8.png", 0}},  {"rgb16faketrns.bmp", {"rgb16.png", 1}},
        {"rgb16-231.bmp", {"rgb16-231.png", 1}},   {"rgb16-3103.bmp", {"rgb16-3103.png", 1}},
        {"rgb24largepal.bmp", {"rgb24.png", 0}},   {"rgb24lprof.bmp", {"rgb24.png", 0}},
        {"rgb24prof.bmp", {"rgb24.png", 0}},       {"rgb32-111110.bmp", {"rgb24.png", 1}},
        {"rgb32-7187.bmp", {"rgb32-7187.png", 1}}, {"rgb32-xbgr.bmp", {"rgb24.png", 0}},
        {"rgb32fakealpha.bmp", {"rgb24.png", 0}},  {"rgb32h52.bmp", {"rgb24.png", 0}},
        {"rgba16-1924.bmp", {"rgba16-1924.png", 1}}, {"rgba16-4444.bmp", {"rgba16-4444.png", 1}},
        {"rgba16-5551.bmp", {"rgba16-5551.png", 1}}, {"rgba32-1.bmp", {"rgba32.png", 0}},
        {"rgba32-2.bmp", {"rgba32.png", 0}},       {"rgba32-1010102.bmp", {"rgba32-1010102.png", 1}},
        {"rgba32-61754.bmp", {"rgba32-61754.png", 1}}, {"rgba32-81284.bmp", {"rgba32-81284.png", 1}},
        {"rgba32h56.bmp", {"rgba32.png", 0}},
    };
    for (const auto& [file, expected] : loads)
        expectMatchesMagick(suite("q/" + file), expected.second, suite("reference/" + expected.first));

    // Refused: compressions and depths the reader does not know.
    const std::map<std::string, int> refused = {
        {"pal1huffmsb.bmp", 9}, {"pal8os2v2-16.bmp", 2}, {"rgb24jpeg.bmp", 2}, {"rgb24png.bmp", 2},
        {"rgb24rle24.bmp", 2},  {"rgba32abf.bmp", 2},    {"rgba64.bmp", 2},
    };
    for (const auto& [file, code] : refused) EXPECT_EQ(load(suite("q/" + file))->code, code) << file;
    // rgb24prof2.bmp swaps red and green through its colour profile, which is not applied.
    EXPECT_EQ(loads.size() + refused.size() + 1,
              size_t(std::distance(fs::directory_iterator(suite("q")), fs::directory_iterator())));
}

TEST(BmpSuite, AlphaFromBitFieldsIsKeptWithoutNoAlpha)
{
    auto ours = load(suite("q/rgba32-1.bmp"));
    ASSERT_EQ(ours->code, 0);
    EXPECT_EQ(ours->bitmap.type, Rgba);
    Pixels reference;
    ASSERT_TRUE(testsupport::decodeWithMagick(suite("reference/rgba32.png"), reference));
    Pixels mine = toPixels(ours->bitmap);
    int worst = 0;
    for (size_t i = 0; i < mine.data.size(); i += 4) worst = std::max(worst, std::abs(mine.data[i + 3] - reference.data[i + 3]));
    EXPECT_EQ(worst, 0);
}

// ---------------------------------------------------------------------------
// Other public files

TEST(BmpOtherSuites, ImageRsFilesMatchTheirReferences)
{
    const fs::path images = testsupport::testdata("image-rs/images/bmp/images");
    const fs::path references = testsupport::testdata("image-rs/reference/bmp/images");
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(references)) {
        const fs::path file = images / entry.path().stem();  // "X.bmp.png" -> "X.bmp"
        if (!fs::exists(file)) continue;  // references of bmpsuite files
        expectMatchesMagick(file, 1, entry.path());
        ++compared;
    }
    EXPECT_GE(compared, 25);
    // The lenient and bad files fail with a code or load.
    for (const char* folder : {"image-rs/images/bmp/images/lenient", "image-rs/bad/bmp"}) {
        for (const auto& entry : fs::directory_iterator(testsupport::testdata(folder))) {
            const int code = load(entry.path())->code;
            EXPECT_TRUE(code == 0 || code == 2 || code == 4 || code == 9 || code == 10) << entry.path() << " " << code;
        }
    }
}

TEST(BmpOtherSuites, TwelveMonkeysFilesMatchImageMagick)
{
    for (const char* folder : {"twelvemonkeys/bmp/misc", "twelvemonkeys/bmp/os2"}) {
        for (const auto& entry : fs::directory_iterator(testsupport::testdata(folder))) {
            if (entry.path().filename() == "corrupted-bmp.bmp") {
                const int code = load(entry.path())->code;
                EXPECT_TRUE(code == 0 || code == 4 || code == 9 || code == 10) << code;
                continue;
            }
            const std::string name = entry.path().filename().string();
            // ImageMagick widens 4-bit fields by shifting (15 levels short of white);
            // it also carries the pixel that overflows each row of this RLE4 file
            // into the next row's first column, where we drop it.
            expectMatchesMagick(entry.path(), name == "blauesglas_16_bitmask444.bmp" ? 15 : 1, {},
                                name == "blauesglas_4.rle");
        }
    }
}

// ---------------------------------------------------------------------------
// DXT blocks in a BMP container

namespace {

// A BMP header announcing DXT data, followed at offset 74 by `blocks`.
std::vector<uint8_t> dxtBmp(int width, int height, const char* fourcc, const std::vector<uint8_t>& blocks)
{
    Bytes b;
    b.u8('B').u8('M').u32(uint32_t(74 + blocks.size())).u32(0).u32(74);
    b.u32(40).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(32);
    b.raw({uint8_t(fourcc[0]), uint8_t(fourcc[1]), uint8_t(fourcc[2]), uint8_t(fourcc[3])});
    b.u32(uint32_t(blocks.size())).u32(0).u32(0).u32(0).u32(0);
    while (b.v.size() < 74) b.u8(0);
    return b.raw(blocks).v;
}

Pixels flipped(const Pixels& p)
{
    Pixels out = p;
    const size_t row = size_t(p.width) * p.channels;
    for (int y = 0; y < p.height; ++y)
        std::memcpy(&out.data[y * row], &p.data[(p.height - 1 - y) * row], row);
    return out;
}

}  // namespace

TEST(BmpDxt, PillowBlocksMatchTheirReferencesUpToBitReplication)
{
    testsupport::TempDir dir;
    for (const char* name : {"dxt1-rgb-4bbp-noalpha_MipMaps-1", "dxt3-argb-8bbp-explicitalpha_MipMaps-1"}) {
        SCOPED_TRACE(name);
        const fs::path base = testsupport::testdata(std::string("pillow/dds-dxt/") + name);
        const std::vector<uint8_t> dds = testsupport::readFile(base.string() + ".dds");
        const bool dxt3 = std::string(name).starts_with("dxt3");
        const size_t size = 256 * 256 / (dxt3 ? 1 : 2);
        ASSERT_GE(dds.size(), 128 + size);
        const fs::path file = writeTemp(dir, "dxt.bmp", dxtBmp(256, 256, dxt3 ? "DXT3" : "DXT1",
                                                               std::vector<uint8_t>(dds.begin() + 128, dds.begin() + 128 + size)));
        auto ours = load(file);
        ASSERT_EQ(ours->code, 0) << ours->info.errorText;
        EXPECT_EQ(std::string(ours->info.description), "Windows Bitmap (DXT)");
        Pixels reference;
        ASSERT_TRUE(testsupport::decodeWithMagick(base.string() + ".png", reference));
        // The first block row is the bottom of the picture here; DDS stores it on top.
        const Pixels mine = flipped(toPixels(ours->bitmap));
        int worstAlpha = 0;
        for (size_t i = 0; i < mine.data.size(); i += 4) worstAlpha = std::max(worstAlpha, std::abs(mine.data[i + 3] - reference.data[i + 3]));
        EXPECT_EQ(worstAlpha, 0);
        // Endpoints widened without repeating their high bits lose up to 7 levels (8 after mixing).
        EXPECT_LE(colourDifference(mine, reference), 8);
    }
}

TEST(BmpDxt, BlockColoursAndClipping)
{
    // One DXT1 block: c0 red, c1 blue (c0 > c1: four opaque colours); rows use indexes 0, 1, 2, 3.
    std::vector<uint8_t> block = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x55, 0xAA, 0xFF};
    testsupport::TempDir dir;
    auto ours = load(writeTemp(dir, "a.bmp", dxtBmp(3, 3, "DXT1", block)));
    ASSERT_EQ(ours->code, 0);
    ASSERT_EQ(ours->bitmap.width, 3);
    const Pixels p = flipped(toPixels(ours->bitmap));  // p row r = block row r
    auto at = [&](int x, int y, int k) { return p.data[(y * 3 + x) * 4 + k]; };
    EXPECT_EQ(at(2, 0, 0), 248);  // colour 0: red 0xF800 widened by shifting
    EXPECT_EQ(at(0, 1, 2), 248);  // colour 1: blue
    EXPECT_EQ(at(1, 2, 0), 165);  // colour 2 = (2 * 248 + 0 + 1) / 3
    EXPECT_EQ(at(1, 2, 2), 83);   //            (2 * 0 + 248 + 1) / 3

    // c0 <= c1: colour 2 is the mean, colour 3 has alpha 0.
    block = {0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xAA, 0x00, 0x00};
    ours = load(writeTemp(dir, "b.bmp", dxtBmp(4, 2, "DXT1", block)));
    ASSERT_EQ(ours->code, 0);
    const Pixels q = flipped(toPixels(ours->bitmap));
    EXPECT_EQ(q.data[3], 0);      // row 0, index 3: transparent
    EXPECT_EQ(q.data[0], 165);    // its colour is still (c0 + 2 c1 + 1) / 3
    EXPECT_EQ(q.data[16 + 0], 124);  // row 1, index 2: (0 + 248) / 2
    EXPECT_EQ(q.data[16 + 3], 255);
}

TEST(BmpDxt, ShortDataGivesReadError)
{
    testsupport::TempDir dir;
    const std::vector<uint8_t> blocks(8 * 4 * 3, 0x5A);  // 3 of 4 block rows of a 16x16 picture
    const fs::path file = writeTemp(dir, "short.bmp", dxtBmp(16, 16, "DXT1", blocks));
    EXPECT_EQ(load(file)->code, 4);
    auto partial = load(file, [](LoadParams& p) { p.options |= ToleratePartial; });
    EXPECT_EQ(partial->code, 0);
    EXPECT_EQ(load(writeTemp(dir, "none.bmp", dxtBmp(16, 16, "DXT3", {})))->code, 4);
}

// ---------------------------------------------------------------------------
// Files made by ImageMagick and netpbm, compared with ImageMagick's decoding

namespace {

class GeneratedBmp : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testsupport::haveTool("/usr/bin/convert")) SKIP_MISSING("ImageMagick is missing");
        source = dir / "source.ppm";
        ASSERT_EQ(testsupport::run("/usr/bin/convert -size 61x37 -seed 7 plasma:fractal '" + source.string() + "'"), 0);
    }
    fs::path make(const std::string& name, const std::string& command)
    {
        const fs::path out = dir / name;
        std::string cmd = command;
        for (auto [key, value] : {std::pair{"IN", source.string()}, std::pair{"OUT", out.string()}, std::pair{"DIR", dir.path().string()}})
            for (size_t at; (at = cmd.find(key)) != std::string::npos;) cmd.replace(at, std::strlen(key), "'" + value + "'");
        EXPECT_EQ(testsupport::run("( " + cmd + " ) 2>/dev/null"), 0) << cmd;
        return out;
    }
    testsupport::TempDir dir;
    fs::path source;
};

// Turns an uncompressed bottom-up file into a top-down one: negative height, rows reversed.
std::vector<uint8_t> topDown(const std::vector<uint8_t>& bmp)
{
    std::vector<uint8_t> out = bmp;
    uint32_t offset, width, bits;
    int32_t height;
    std::memcpy(&offset, &bmp[10], 4);
    std::memcpy(&width, &bmp[18], 4);
    std::memcpy(&height, &bmp[22], 4);
    bits = bmp[28] | bmp[29] << 8;
    const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(&out[offset + y * stride], &bmp[offset + (height - 1 - y) * stride], stride);
    const int32_t negative = -height;
    std::memcpy(&out[22], &negative, 4);
    return out;
}

// A small RLE4 encoder: runs of four or more equal pixels as encoded runs,
// the rest as absolute runs (pairs of pixels when fewer than three).
std::vector<uint8_t> encodeRle4(const std::vector<std::vector<uint8_t>>& rows)
{
    std::vector<uint8_t> out;
    auto runAt = [](const std::vector<uint8_t>& row, size_t x) {
        size_t n = 1;
        while (x + n < row.size() && n < 255 && row[x + n] == row[x]) ++n;
        return n;
    };
    for (const auto& row : rows) {
        for (size_t x = 0; x < row.size();) {
            if (size_t r = runAt(row, x); r >= 4) {
                out.push_back(uint8_t(r));
                out.push_back(uint8_t(row[x] << 4 | row[x]));
                x += r;
                continue;
            }
            size_t n = 0;
            while (x + n < row.size() && n < 60 && runAt(row, x + n) < 4) ++n;
            if (n < 3) {
                out.push_back(uint8_t(n));
                out.push_back(uint8_t(row[x] << 4 | (n > 1 ? row[x + 1] : 0)));
            } else {
                out.push_back(0);
                out.push_back(uint8_t(n));
                const size_t bytes = (n + 1) / 2;
                for (size_t i = 0; i < n; i += 2) out.push_back(uint8_t(row[x + i] << 4 | (i + 1 < n ? row[x + i + 1] : 0)));
                if (bytes & 1) out.push_back(0);
            }
            x += n;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

}  // namespace

TEST_F(GeneratedBmp, ImageMagickDepthsAndRle8)
{
    expectMatchesMagick(make("pal1.bmp", "/usr/bin/convert IN -monochrome BMP3:OUT"), 0);
    expectMatchesMagick(make("pal4.bmp", "/usr/bin/convert IN -colors 16 -type palette -compress none BMP3:OUT"), 0);
    expectMatchesMagick(make("pal8.bmp", "/usr/bin/convert IN -colors 200 -type palette -compress none BMP3:OUT"), 0);
    expectMatchesMagick(make("rle8.bmp", "/usr/bin/convert IN -colors 200 -compress RLE BMP3:OUT"), 0);
    expectMatchesMagick(make("rgb24.bmp", "/usr/bin/convert IN BMP3:OUT"), 0);
    expectMatchesMagick(make("rgb565.bmp", "/usr/bin/convert IN -define bmp:subtype=RGB565 BMP:OUT"), 1);
    expectMatchesMagick(make("rgb555.bmp", "/usr/bin/convert IN -define bmp:subtype=RGB555 BMP:OUT"), 1);
    expectMatchesMagick(make("argb4444.bmp", "/usr/bin/convert IN -define bmp:subtype=ARGB4444 BMP:OUT"), 0);
    expectMatchesMagick(make("rgba32.bmp", "/usr/bin/convert IN -alpha set -channel A -evaluate set 50% +channel BMP:OUT"), 0);
}

TEST_F(GeneratedBmp, NetpbmDepthsAndOs2Headers)
{
    if (!testsupport::haveTool("ppmtobmp")) SKIP_MISSING("netpbm is missing");
    for (const char* header : {"-windows", "-os2"}) {
        SCOPED_TRACE(header);
        const std::string h = header;
        expectMatchesMagick(make("n24.bmp", "ppmtobmp " + h + " -bpp 24 IN > OUT"), 0);
        expectMatchesMagick(make("n8.bmp", "pnmquant 200 IN | ppmtobmp " + h + " -bpp 8 > OUT"), 0);
        expectMatchesMagick(make("n4.bmp", "pnmquant 16 IN | ppmtobmp " + h + " -bpp 4 > OUT"), 0);
        expectMatchesMagick(make("n1.bmp", "ppmtopgm IN | pamditherbw | pamtopnm | ppmtobmp " + h + " -bpp 1 > OUT"), 0);
    }
    auto os2 = loadRgb(dir / "n1.bmp");
    EXPECT_EQ(std::string(os2->info.description), "OS/2 Bitmap");
}

TEST_F(GeneratedBmp, TopDownRowsAndRle4)
{
    for (const char* name : {"pal4.bmp", "pal8.bmp", "rgb24.bmp", "pal1.bmp"}) {
        const std::string depth = name[0] == 'r' ? "" : name[3] == '1' ? "-monochrome" : name[3] == '4' ? "-colors 16 -type palette" : "-colors 200 -type palette";
        const fs::path bottomUp = make(name, "/usr/bin/convert IN " + depth + " -compress none BMP3:OUT");
        const fs::path flippedFile = writeTemp(dir, std::string("td-") + name, topDown(testsupport::readFile(bottomUp)));
        expectMatchesMagick(flippedFile, 0);
        // Same picture either way.
        auto a = loadRgb(bottomUp), b = loadRgb(flippedFile);
        EXPECT_EQ(colourDifference(toPixels(a->bitmap), toPixels(b->bitmap), false), 0) << name;
    }

    // RLE4 written by our own small encoder from ImageMagick's 4-bit file, read back by both.
    const std::vector<uint8_t> pal4 = testsupport::readFile(dir / "pal4.bmp");
    uint32_t offset;
    std::memcpy(&offset, &pal4[10], 4);
    ASSERT_EQ(pal4[28], 4) << "ImageMagick wrote no 4-bit file";
    const int width = 61, height = 37;
    const size_t stride = (width * 4 + 31) / 32 * 4;
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) row.push_back((pal4[offset + y * stride + x / 2] >> ((x & 1) ? 0 : 4)) & 15);
        rows.push_back(row);
    }
    std::vector<uint8_t> rle(pal4.begin(), pal4.begin() + offset);
    const std::vector<uint8_t> data = encodeRle4(rows);
    rle.insert(rle.end(), data.begin(), data.end());
    rle[30] = 2;  // compression RLE4
    const uint32_t fileSize = uint32_t(rle.size()), dataSize = uint32_t(data.size());
    std::memcpy(&rle[2], &fileSize, 4);
    std::memcpy(&rle[34], &dataSize, 4);
    expectMatchesMagick(writeTemp(dir, "rle4.bmp", rle), 0);
}

// ---------------------------------------------------------------------------
// Hand-made headers

TEST(BmpHeaders, RowOrderAndResolution)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 1;
    fields.height = 2;
    fields.bitCount = 8;
    fields.palette = {0x000000, 0xFFFFFF};
    fields.pixels = padRows({{0}, {1}});  // file row 0 black, row 1 white
    auto bottomUp = load(writeTemp(dir, "up.bmp", makeBmp(fields)), [](LoadParams& p) { p.options |= ExpandBinary; });
    ASSERT_EQ(bottomUp->code, 0);
    EXPECT_EQ(bottomUp->bitmap.dpiX, 72u);  // 2835 pixels a metre
    EXPECT_EQ(toPixels(bottomUp->bitmap).data[0], 255);  // the last file row is on top
    fields.height = -2;
    auto topDown = load(writeTemp(dir, "down.bmp", makeBmp(fields)));
    ASSERT_EQ(topDown->code, 0);
    EXPECT_EQ(toPixels(topDown->bitmap).data[0], 0);
    // Kept as stored when asked for bottom-up rows.
    fields.height = 2;
    auto stored = load(writeTemp(dir, "up.bmp", makeBmp(fields)), [](LoadParams& p) { p.origin = OriginBottom; });
    EXPECT_EQ(stored->bitmap.origin, OriginBottom);
    EXPECT_EQ(bitmapRow(stored->bitmap, 0)[0], 0);
}

TEST(BmpHeaders, SixteenBitLayouts)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 2;
    fields.bitCount = 16;
    fields.pixels = {0xFF, 0x7F, 0x10, 0x84};  // 0x7FFF, 0x8410
    // No compression: 5-5-5.
    auto plain = loadRgb(writeTemp(dir, "555.bmp", makeBmp(fields)));
    ASSERT_EQ(plain->code, 0);
    EXPECT_EQ(bitmapRow(plain->bitmap, 0)[0], 255);
    EXPECT_EQ(bitmapRow(plain->bitmap, 0)[3], 255 / 31);  // 0x8410: red bits 10-14 = 1
    // 5-6-5 masks.
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    auto six = loadRgb(writeTemp(dir, "565.bmp", makeBmp(fields)));
    ASSERT_EQ(six->code, 0);
    const uint8_t* row = bitmapRow(six->bitmap, 0);
    EXPECT_EQ(row[3], 131);
    EXPECT_EQ(row[4], 129);
    EXPECT_EQ(row[5], 131);
    // 4-4-4 masks: each channel scaled by 255 / 15.
    fields.masks = {0x0F00, 0x00F0, 0x000F};
    fields.pixels = {0x5A, 0x03, 0x00, 0x00};  // 0x035A: red 3, green 5, blue 10
    auto four = loadRgb(writeTemp(dir, "444.bmp", makeBmp(fields)));
    ASSERT_EQ(four->code, 0);
    row = bitmapRow(four->bitmap, 0);
    EXPECT_EQ(row[0], 3 * 17);
    EXPECT_EQ(row[1], 5 * 17);
    EXPECT_EQ(row[2], 10 * 17);
    // Bit fields announced but the data starts right after the header: default 5-6-5 masks.
    fields.masks = {};
    fields.pixels = {0x10, 0x84, 0, 0};
    auto fallback = loadRgb(writeTemp(dir, "def.bmp", makeBmp(fields)));
    ASSERT_EQ(fallback->code, 0);
    EXPECT_EQ(bitmapRow(fallback->bitmap, 0)[1], 129);
}

TEST(BmpHeaders, PocketPcTwoBitFile)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 4;
    fields.bitCount = 2;
    fields.palette = {0x000000, 0x555555, 0xAAAAAA, 0xFF0000};
    fields.pixels = {0x1B, 0, 0, 0};  // indexes 0, 1, 2, 3
    const fs::path file = writeTemp(dir, "pic.2bp", makeBmp(fields));
    auto indexed = load(file);
    ASSERT_EQ(indexed->code, 0);
    EXPECT_EQ(indexed->info.formatIndex, Format2bp);
    EXPECT_EQ(indexed->bitmap.type, Indexed);
    EXPECT_EQ(indexed->bitmap.colorCount, 4);
    EXPECT_EQ(bitmapRow(indexed->bitmap, 0)[3], 3);
    EXPECT_EQ(indexed->bitmap.palette[PaletteRed + 3], 255);
    auto rgb = loadRgb(file);
    ASSERT_EQ(rgb->code, 0);
    EXPECT_EQ(rgb->bitmap.type, Rgb);
    EXPECT_EQ(bitmapRow(rgb->bitmap, 0)[3 * 3], 255);
    EXPECT_EQ(bitmapRow(rgb->bitmap, 0)[1 * 3 + 1], 0x55);
}

TEST(BmpHeaders, Rle8EndOfPictureAndRunsLeavingThePicture)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 4;
    fields.height = 4;
    fields.bitCount = 8;
    fields.compression = 1;
    fields.palette = {0x000000, 0x0000FF, 0x00FF00};
    // Two rows of index 1, then the end of the picture.
    fields.pixels = {4, 1, 0, 0, 4, 1, 0, 0, 0, 1};
    auto half = load(writeTemp(dir, "half.bmp", makeBmp(fields)), [](LoadParams& p) { p.origin = OriginBottom; });
    ASSERT_EQ(half->code, 0);
    EXPECT_EQ(bitmapRow(half->bitmap, 1)[3], 1);
    EXPECT_EQ(bitmapRow(half->bitmap, 2)[0], 0);
    EXPECT_EQ(bitmapRow(half->bitmap, 3)[3], 0);

    // A run far past the row end, a delta past the bottom, literal runs too long: all dropped.
    fields.pixels = {255, 2, 0, 0, 0, 2, 200, 1, 0, 5, 2, 2, 2, 2, 2, 0, 0, 2, 0, 255, 255, 0, 0, 9, 9};
    auto wild = load(writeTemp(dir, "wild.bmp", makeBmp(fields)), [](LoadParams& p) { p.origin = OriginBottom; });
    EXPECT_TRUE(wild->code == 0 || wild->code == 4) << wild->code;
    // The same for RLE4, where a row also ends after width + 50 pixels without an end code.
    fields.bitCount = 4;
    fields.compression = 2;
    fields.pixels.assign(400, 0x11);
    auto rle4 = load(writeTemp(dir, "rle4.bmp", makeBmp(fields)), [](LoadParams& p) { p.origin = OriginBottom; });
    ASSERT_EQ(rle4->code, 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(bitmapRow(rle4->bitmap, y)[3], 1) << y;
    // Data that ends before the picture does: 4, or the rows decoded so far.
    fields.pixels = {4, 0x12, 0, 0, 3, 0x12};
    const fs::path cut = writeTemp(dir, "cut4.bmp", makeBmp(fields));
    EXPECT_EQ(load(cut)->code, 4);
    auto tolerated = load(cut, [](LoadParams& p) { p.origin = OriginBottom, p.options |= ToleratePartial; });
    ASSERT_EQ(tolerated->code, 0);
    EXPECT_EQ(bitmapRow(tolerated->bitmap, 0)[1], 2);
    EXPECT_EQ(bitmapRow(tolerated->bitmap, 1)[2], 1);  // the unfinished row is kept
    EXPECT_EQ(bitmapRow(tolerated->bitmap, 1)[3], 0);
    // A compression that does not fit the depth is refused.
    fields.compression = 1;
    EXPECT_EQ(load(writeTemp(dir, "mismatch.bmp", makeBmp(fields)))->code, 9);
    fields.bitCount = 24;
    EXPECT_EQ(load(writeTemp(dir, "mismatch.bmp", makeBmp(fields)))->code, 9);
}

TEST(BmpHeaders, BadSizesOffsetsAndPalettes)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 32000;
    fields.bitCount = 24;
    fields.pixels.assign(96000, 0);
    auto wide = load(writeTemp(dir, "wide.bmp", makeBmp(fields)));
    EXPECT_EQ(wide->code, 9);
    EXPECT_STREQ(wide->info.errorText, "Windows Bitmap : Bad picture's size !");
    FileInfo info;
    EXPECT_EQ(getFileInfo((dir / "wide.bmp").string(), -1, 0, info), 9);
    fields.width = 31999;
    fields.height = 2;
    EXPECT_EQ(load(writeTemp(dir, "wide2.bmp", makeBmp(fields)))->code, 4);  // size accepted, data short
    fields.width = 0;
    EXPECT_EQ(load(writeTemp(dir, "zero.bmp", makeBmp(fields)))->code, 9);
    fields.width = 1;
    fields.height = INT32_MIN;
    EXPECT_EQ(load(writeTemp(dir, "min.bmp", makeBmp(fields)))->code, 9);

    // Planes times bits beyond any depth (found by fuzzing: the product overflowed).
    fields.height = 1;
    fields.planes = 65535;
    fields.bitCount = 64767;
    EXPECT_EQ(load(writeTemp(dir, "planes.bmp", makeBmp(fields)))->code, 2);
    fields.planes = 1;
    fields.bitCount = 24;

    // A data offset that is negative or past the end.
    fields.height = 1;
    fields.pixels = {1, 2, 3, 0};
    for (uint32_t offset : {0x80000000u, 0xFFFFFFF0u, 100000u}) {
        std::vector<uint8_t> bytes = makeBmp(fields);
        std::memcpy(&bytes[10], &offset, 4);
        EXPECT_EQ(load(writeTemp(dir, "offset.bmp", bytes))->code, 4) << offset;
    }

    // A palette claiming more entries than the file holds: only what lies before the data is read.
    fields.bitCount = 8;
    fields.palette = {0x112233, 0x445566};
    fields.coloursUsed = 0x7FFFFFFF;
    fields.pixels = {1, 0, 0, 0};
    auto pal = load(writeTemp(dir, "pal.bmp", makeBmp(fields)), [](LoadParams& p) { p.options |= ForceTrueColour; });
    ASSERT_EQ(pal->code, 0);
    EXPECT_EQ(bitmapRow(pal->bitmap, 0)[0], 0x44);
    // ... and a palette cut off by the end of the file.
    std::vector<uint8_t> cut = makeBmp(fields);
    cut.resize(60);
    EXPECT_EQ(load(writeTemp(dir, "cut.bmp", cut))->code, 4);

    // Headers cut short and foreign signatures.
    for (size_t n : {size_t(1), size_t(10), size_t(20), size_t(40)}) {
        std::vector<uint8_t> head = makeBmp(fields);
        head.resize(n);
        EXPECT_NE(load(writeTemp(dir, "head.bmp", head))->code, 0) << n;
    }
    std::vector<uint8_t> foreign = makeBmp(fields);
    foreign[0] = 'X';
    EXPECT_EQ(load(writeTemp(dir, "foreign.bmp", foreign))->code, 2);
    foreign[0] = 'B';
    foreign[14] = 30;  // header size below 40
    EXPECT_EQ(load(writeTemp(dir, "foreign.bmp", foreign))->code, 2);
}

TEST(BmpHeaders, TruncatedTrueColourData)
{
    testsupport::TempDir dir;
    BmpFields fields;
    fields.width = 5;
    fields.height = 4;
    fields.bitCount = 24;
    std::vector<std::vector<uint8_t>> rows(4, std::vector<uint8_t>(15, 200));
    fields.pixels = padRows(rows);
    std::vector<uint8_t> bytes = makeBmp(fields);
    bytes.resize(bytes.size() - 17);  // the last row and the padding before it missing
    const fs::path file = writeTemp(dir, "short.bmp", bytes);
    auto failed = load(file);
    EXPECT_EQ(failed->code, 4);
    EXPECT_EQ(failed->bitmap.pixels, nullptr);
    auto partial = load(file, [](LoadParams& p) { p.options |= ToleratePartial | ForceTrueColour | NoAlpha; p.origin = OriginBottom; });
    ASSERT_EQ(partial->code, 0);
    EXPECT_EQ(bitmapRow(partial->bitmap, 2)[0], 200);
    EXPECT_EQ(bitmapRow(partial->bitmap, 3)[0], 0);  // rows not delivered stay zero
    // The last row may lack its padding.
    bytes = makeBmp(fields);
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(load(writeTemp(dir, "nopad.bmp", bytes))->code, 0);
}

// A bottom-up file read for a top-down picture is read from its end
// backwards, a block of rows at a time: files of every uncompressed layout,
// several blocks high with a short last block, must give the picture of
// their top-down twin (read from the front) and of the bottom-up load.
TEST(BmpHeaders, BottomUpFilesReadFromTheEndGiveThePictureOfTheirTopDownTwin)
{
    testsupport::TempDir dir;
    std::mt19937 random(5);
    struct Layout {
        int bitCount;
        uint32_t compression;
        std::vector<uint32_t> masks;
    };
    const std::vector<Layout> layouts = {
        {24, 0, {}},
        {32, 0, {}},
        {16, 0, {}},
        {16, 3, {0xF800, 0x07E0, 0x001F}},         // 5-6-5
        {16, 3, {0x0F00, 0x00F0, 0x000F}},         // 4-4-4, converted while reading
        {32, 3, {0x3FF00000, 0x000FFC00, 0x3FF}},  // 10-10-10, converted while reading
        {8, 0, {}},
        {4, 0, {}},
        {1, 0, {}},
    };
    for (const Layout& layout : layouts) {
        BmpFields fields;
        fields.width = 1001;  // rows need padding in every depth but 32 bits
        fields.bitCount = layout.bitCount;
        fields.compression = layout.compression;
        fields.masks = layout.masks;
        const size_t stride = (size_t(fields.width) * layout.bitCount + 31) / 32 * 4;
        fields.height = int(std::max<size_t>(157, 3 * (128u << 10) / stride + 5));
        if (layout.bitCount <= 8)
            for (int i = 0; i < 1 << layout.bitCount; ++i) fields.palette.push_back(uint32_t(random()) & 0xFFFFFF);
        fields.pixels.resize(stride * fields.height);
        for (auto& v : fields.pixels) v = uint8_t(random());
        const std::string name = std::to_string(layout.bitCount) + "-" + std::to_string(layout.masks.size());
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = makeBmp(fields);
        auto fromTheEnd = loadRgb(writeTemp(dir, name + "-up.bmp", bytes));
        auto twin = loadRgb(writeTemp(dir, name + "-down.bmp", topDown(bytes)));
        ASSERT_EQ(fromTheEnd->code, 0);
        ASSERT_EQ(twin->code, 0);
        EXPECT_EQ(colourDifference(toPixels(fromTheEnd->bitmap), toPixels(twin->bitmap), false), 0);
        // Loaded bottom row first, the file is read from its start.
        auto stored = load(writeTemp(dir, name + "-up.bmp", bytes), [](LoadParams& p) {
            p.options |= ForceTrueColour | NoAlpha;
            p.origin = OriginBottom;
        });
        ASSERT_EQ(stored->code, 0);
        EXPECT_EQ(stored->bitmap.origin, OriginBottom);
        EXPECT_EQ(colourDifference(toPixels(stored->bitmap), toPixels(fromTheEnd->bitmap), false), 0);
    }
}

// ---------------------------------------------------------------------------
// Reduction while loading

namespace {

// A 24-bit bottom-up file of random pixels, returned with its pixels top-down as RGB.
fs::path randomBmp(const testsupport::TempDir& dir, int width, int height, std::vector<uint8_t>& rgb)
{
    std::mt19937 random(width * 7 + height);
    rgb.resize(size_t(width) * height * 3);
    for (auto& v : rgb) v = uint8_t(random());
    std::vector<std::vector<uint8_t>> rows;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow;
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x)
            for (int k = 2; k >= 0; --k) row.push_back(rgb[(size_t(y) * width + x) * 3 + k]);
        rows.push_back(row);
    }
    BmpFields fields;
    fields.width = width;
    fields.height = height;
    fields.pixels = padRows(rows);
    return writeTemp(dir, "random.bmp", makeBmp(fields));
}

}  // namespace

TEST(BmpReduce, NearestKeepsTheFirstRowAndLastColumnOfEachRun)
{
    testsupport::TempDir dir;
    const int width = 103, height = 77;
    std::vector<uint8_t> rgb;
    const fs::path file = randomBmp(dir, width, height, rgb);
    auto small = load(file, [](LoadParams& p) { p.maxWidth = 20, p.maxHeight = 20; });
    ASSERT_EQ(small->code, 0);
    const int outW = 20, outH = int(20.0 * height / width + 0.5);  // 15
    ASSERT_EQ(small->bitmap.width, outW);
    ASSERT_EQ(small->bitmap.height, outH);
    // The bottom-up rows are first turned into picture rows; picture row y
    // goes to output row trunc(outH * y / height) and the first row of each
    // run is kept. Column x goes to trunc(outW * x / width); the last of a run stays.
    std::vector<int> row(outH, -1), column(outW, -1);
    for (int y = 0; y < height; ++y)
        if (row[outH * y / height] < 0) row[outH * y / height] = y;
    for (int x = 0; x < width; ++x) column[outW * x / width] = x;
    const Pixels p = toPixels(small->bitmap);
    for (int Y = 0; Y < outH; ++Y)
        for (int X = 0; X < outW; ++X)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(p.data[(size_t(Y) * outW + X) * 4 + k], rgb[(size_t(row[Y]) * width + column[X]) * 3 + k])
                    << X << "," << Y;
}

TEST(BmpReduce, AreaAverageIsCloseToTheTrueMean)
{
    testsupport::TempDir dir;
    const int width = 90, height = 60;
    std::vector<uint8_t> rgb;
    const fs::path file = randomBmp(dir, width, height, rgb);
    auto small = load(file, [](LoadParams& p) { p.maxWidth = 20, p.maxHeight = 20, p.scaleMethod = ScaleAreaAverage; });
    ASSERT_EQ(small->code, 0);
    ASSERT_EQ(small->bitmap.width, 20);
    ASSERT_EQ(small->bitmap.height, 13);
    const Pixels p = toPixels(small->bitmap);
    const double sx = double(width) / 20, sy = double(height) / 13;
    int worst = 0;
    for (int Y = 0; Y < 13; ++Y)
        for (int X = 0; X < 20; ++X)
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (int y = 0; y < height; ++y) {
                    const double wy = std::max(0.0, std::min(y + 1.0, (Y + 1) * sy) - std::max(double(y), Y * sy));
                    if (wy <= 0) continue;
                    for (int x = 0; x < width; ++x) {
                        const double wx = std::max(0.0, std::min(x + 1.0, (X + 1) * sx) - std::max(double(x), X * sx));
                        sum += wx * wy * rgb[(size_t(y) * width + x) * 3 + k];
                    }
                }
                worst = std::max(worst, std::abs(p.data[(size_t(Y) * 20 + X) * 4 + k] - int(sum / (sx * sy))));
            }
    EXPECT_LE(worst, 2);
    // Palette files are read whole and shrunk afterwards, to the same result.
    auto full = loadRgb(file);
    Bitmap shrunk;
    ASSERT_EQ(bitmapShrink(full->bitmap, &shrunk, 20, 13, Rgb), 0);
    EXPECT_LE(colourDifference(toPixels(shrunk), p, false), 3);
    bitmapFree(shrunk);
}

TEST(BmpReduce, OneBitOutputTakesColumnsTheOtherWay)
{
    testsupport::TempDir dir;
    const int width = 53, height = 31;
    std::mt19937 random(11);
    std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>((width + 7) / 8));
    for (auto& row : rows)
        for (auto& byte : row) byte = uint8_t(random());
    BmpFields fields;
    fields.width = width;
    fields.height = -height;  // top-down: file row y is picture row y
    fields.bitCount = 1;
    fields.palette = {0x000000, 0xFFFFFF};
    fields.pixels = padRows(rows);
    auto small = load(writeTemp(dir, "bits.bmp", makeBmp(fields)), [](LoadParams& p) { p.maxWidth = 10, p.maxHeight = 10; });
    ASSERT_EQ(small->code, 0);
    ASSERT_EQ(small->bitmap.type, Binary);
    const int outW = 10, outH = int(10.0 * height / width + 0.5);
    ASSERT_EQ(small->bitmap.height, outH);
    std::vector<int> first(outH, -1);
    for (int y = 0; y < height; ++y)
        if (first[outH * y / height] < 0) first[outH * y / height] = y;
    for (int Y = 0; Y < outH; ++Y)
        for (int X = 0; X < outW; ++X) {
            const int x = width * X / outW;  // output column X takes file column trunc(width * X / outW)
            ASSERT_EQ(bitGet(bitmapRow(small->bitmap, Y), X), bitGet(rows[first[Y]].data(), x)) << X << "," << Y;
        }
}
