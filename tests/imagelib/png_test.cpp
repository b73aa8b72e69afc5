// PNG reader: the PngSuite and libpng's test files against ImageMagick's
// libpng decode (after our transformations: 16-bit samples cut to 8, alpha
// of grey files and tRNS transparency not applied), corrupt files, the
// transformations the load options ask for, texts, resolution, profiles,
// truncation and cancelling.
#include <gtest/gtest.h>

#include <cstring>
#include <zlib.h>
#include <string>
#include <vector>

#include "imagelib/formats.h"
#include "tests/imagelib/jpeg_png_support.h"

namespace {

namespace fs = std::filesystem;
using namespace fotrix;
using namespace readertest;
using testsupport::Pixels;
using testsupport::TempDir;
using testsupport::testdata;

const std::string pillow = "/usr/bin/python3";

int ihdrBitDepth(const fs::path& png)
{
    const std::vector<uint8_t> bytes = testsupport::readFile(png);
    return bytes.size() > 25 ? bytes[24] : 0;
}

int ihdrColourType(const fs::path& png)
{
    const std::vector<uint8_t> bytes = testsupport::readFile(png);
    return bytes.size() > 25 ? bytes[25] : -1;
}

std::vector<fs::path> pngsIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Our decode against ImageMagick's. Alpha counts only for RGBA files, the
// only ones we keep it for.
void expectSameAsMagick(const fs::path& png)
{
    Pixels magick;
    ASSERT_TRUE(testsupport::decodeWithMagick(png, magick)) << png;
    Loaded loaded;
    load(loaded, png, paramsWith(0, FormatPng));
    ASSERT_EQ(loaded.code, 0) << png << ": " << loaded.info.errorText;
    Pixels ours = testsupport::toRgba(toPixels(loaded.bitmap));
    if (ihdrColourType(png) != 6)
        for (size_t i = 3; i < magick.data.size(); i += 4) magick.data[i] = 255;
    const int tolerance = ihdrBitDepth(png) == 16 ? 1 : 0;  // we cut, ImageMagick rounds
    EXPECT_LE(testsupport::maxDifference(ours, magick), tolerance) << png;
    expectInfoAgrees(png, loaded, FormatPng);
}

// Pillow's decode (its own inflate and unfiltering, not libpng) as RGB.
bool decodeWithPillow(const fs::path& png, Pixels& out)
{
    TempDir dir;
    const fs::path ppm = dir / "pillow.ppm";
    const std::string command = pillow + " -c \"import sys; from PIL import Image; "
                                "Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2])\" " +
                                shellQuoted(png) + " " + shellQuoted(ppm) + " 2>/dev/null";
    return testsupport::run(command) == 0 && testsupport::readPnm(ppm, out);
}

bool makeWithPillow(const std::string& script)
{
    TempDir dir;
    testsupport::writeFile(dir / "make.py", script);
    return testsupport::run(pillow + " " + shellQuoted(dir / "make.py")) == 0;
}

}  // namespace

TEST(PngReader, PngSuiteDecodesLikeImageMagick)
{
    int compared = 0;
    for (const fs::path& png : pngsIn(testdata("pngsuite/png"))) {
        if (png.filename().string()[0] == 'x') continue;
        expectSameAsMagick(png);
        ++compared;
    }
    for (const char* folder : {"pngsuite/libpng-contrib", "pngsuite/libpng-contrib/interlaced", "libpng-testpngs"})
        for (const fs::path& png : pngsIn(testdata(folder))) {
            expectSameAsMagick(png);
            ++compared;
        }
    EXPECT_GT(compared, 300);
}

TEST(PngReader, CorruptSuiteFilesFailCleanly)
{
    for (const fs::path& png : pngsIn(testdata("pngsuite/png"))) {
        if (png.filename().string()[0] != 'x') continue;
        Loaded loaded;
        load(loaded, png, paramsWith(0, FormatPng));
        EXPECT_TRUE(loaded.code == 2 || loaded.code == 4) << png << " gave " << loaded.code;
        EXPECT_EQ(loaded.bitmap.pixels, nullptr) << png;
    }
    // Bad signatures are "not a PNG"; a damaged picture chunk is a read error.
    Loaded signature, badData;
    load(signature, testdata("pngsuite/png/xs1n0g01.png"), paramsWith(0, FormatPng));
    load(badData, testdata("pngsuite/png/xcsn0g01.png"), paramsWith(0, FormatPng));
    EXPECT_EQ(signature.code, 2);
    EXPECT_EQ(badData.code, 4);
    EXPECT_EQ(std::string(badData.info.errorText).rfind("PNG : ", 0), 0u) << badData.info.errorText;
}

// Entries of the PLTE chunk, 0 when there is none.
int paletteEntries(const fs::path& png)
{
    const std::vector<uint8_t> bytes = testsupport::readFile(png);
    for (size_t at = 8; at + 8 <= bytes.size();) {
        const uint32_t length = static_cast<uint32_t>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
        if (std::memcmp(&bytes[at + 4], "PLTE", 4) == 0) return static_cast<int>(length / 3);
        at += 12 + static_cast<size_t>(length);
    }
    return 0;
}

// Pixels whose index lies past the end of the palette: libpng pads the
// palette with black, Pillow with a grey ramp. Entries inside the palette
// must agree with Pillow, the others are black.
void expectDamagedPaletteDecoded(const fs::path& png, const Bitmap& bitmap)
{
    Pixels pillowDecode;
    ASSERT_TRUE(decodeWithPillow(png, pillowDecode));
    ASSERT_EQ(bitmap.type, Indexed);
    const Pixels ours = toPixels(bitmap);
    ASSERT_EQ(ours.width, pillowDecode.width);
    ASSERT_EQ(ours.height, pillowDecode.height);
    const int entries = paletteEntries(png);
    int outside = 0;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) {
            const size_t i = 3 * (static_cast<size_t>(y) * bitmap.width + x);
            const bool inside = bitmapRow(bitmap, y)[x] < entries;
            outside += !inside;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(ours.data[i + c], inside ? pillowDecode.data[i + c] : 0) << x << "," << y;
        }
    EXPECT_GT(outside, 0);
}

// libpng's crash collection: where ImageMagick's libpng decode succeeds we
// give the same picture, otherwise a code and no bitmap. Its damaged
// palettes load.
TEST(PngReader, CrashersAndBadPalettes)
{
    int damagedPalettes = 0;
    for (const char* folder : {"libpng-testpngs/crashers", "libpng-testpngs/badpal"})
        for (const fs::path& png : pngsIn(testdata(folder))) {
            SCOPED_TRACE(png.string());
            Loaded loaded;
            load(loaded, png, paramsWith(0, FormatPng));
            if (std::string(folder).ends_with("badpal")) {
                ASSERT_EQ(loaded.code, 0);
                expectDamagedPaletteDecoded(png, loaded.bitmap);
                ++damagedPalettes;
                continue;
            }
            Pixels magick;
            const bool magickDecodes = testsupport::decodeWithMagick(png, magick);
            if (!magickDecodes) {
                EXPECT_TRUE(loaded.code == 2 || loaded.code == 4) << loaded.code;
                EXPECT_EQ(loaded.bitmap.pixels, nullptr);
                continue;
            }
            ASSERT_EQ(loaded.code, 0);
            for (size_t i = 3; i < magick.data.size(); i += 4) magick.data[i] = 255;
            EXPECT_EQ(testsupport::maxDifference(testsupport::toRgba(toPixels(loaded.bitmap)), magick), 0);
        }
    EXPECT_EQ(damagedPalettes, 9);
}

TEST(PngReader, InterlacedFilesMatchTheirTwins)
{
    int pairs = 0;
    for (const fs::path& interlaced : pngsIn(testdata("pngsuite/png"))) {
        const std::string name = interlaced.filename().string();
        if (name.rfind("basi", 0) != 0) continue;
        const fs::path twin = interlaced.parent_path() / ("basn" + name.substr(4));
        SCOPED_TRACE(name);
        Loaded a, b;
        load(a, interlaced, paramsWith(0));
        load(b, twin, paramsWith(0));
        ASSERT_EQ(a.code, 0);
        ASSERT_EQ(b.code, 0);
        EXPECT_EQ(a.bitmap.type, b.bitmap.type);
        EXPECT_EQ(testsupport::maxDifference(toPixels(a.bitmap), toPixels(b.bitmap)), 0);
        EXPECT_STREQ(a.info.description, "Portable Network Graphics (Interlaced)");
        EXPECT_STREQ(b.info.description, "Portable Network Graphics");
        ++pairs;
    }
    EXPECT_GE(pairs, 15);
}

TEST(PngReader, LayoutsFollowTheColourType)
{
    const struct {
        const char* file;
        uint16_t type;
        uint16_t bits;
        uint32_t options;
    } cases[] = {
        {"basn2c16.png", Rgb, 8, 0},        // 16-bit samples cut to 8
        {"basn4a08.png", Grey, 8, 0},       // grey alpha dropped
        {"basn4a16.png", Grey, 8, 0},
        {"basn6a08.png", Rgba, 8, 0},
        {"basn6a08.png", Rgb, 8, NoAlpha},
        {"basn3p04.png", Indexed, 4, 0},    // palettes stay palettes
        {"basn0g01.png", Binary, 1, 0},
        {"basn0g02.png", Grey, 2, 0},
        {"basn0g16.png", Grey, 8, 0},
        {"basn3p08.png", Rgb, 8, ForceTrueColour},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Loaded loaded;
        load(loaded, testdata("pngsuite/png") / c.file, paramsWith(c.options));
        ASSERT_EQ(loaded.code, 0);
        EXPECT_EQ(loaded.bitmap.type, c.type);
        EXPECT_EQ(loaded.bitmap.bitsPerComponent, c.bits);
        EXPECT_EQ(loaded.info.compression, 4);
    }
    Loaded palette;
    load(palette, testdata("pngsuite/png/basn3p04.png"), paramsWith(0));
    EXPECT_EQ(palette.bitmap.colorCount, 16);
}

TEST(PngReader, TransparencyIndexAndFlattening)
{
    TempDir dir;
    const fs::path indexed = dir / "indexed.png";
    const fs::path partial = dir / "partial.png";
    ASSERT_TRUE(makeWithPillow(
        "from PIL import Image\n"
        "im = Image.new('P', (16, 2))\n"
        "im.putpalette([(i * 5) % 256 for i in range(48)])\n"
        "im.putdata(list(range(16)) * 2)\n"
        "im.save('" + indexed.string() + "', transparency=5)\n"
        "im.save('" + partial.string() + "', transparency=bytes([255, 128, 0] + [255] * 13))\n"));
    Loaded plain;
    load(plain, indexed, paramsWith(0));
    ASSERT_EQ(plain.code, 0);
    EXPECT_EQ(plain.bitmap.transparentIndex, 5);

    LoadParams flatten = paramsWith(0);
    flatten.pngFlattenIndexed = 1;
    Loaded kept, flat;
    load(kept, partial, paramsWith(0));
    load(flat, partial, flatten);
    ASSERT_EQ(kept.code, 0);
    ASSERT_EQ(flat.code, 0);
    EXPECT_EQ(kept.bitmap.transparentIndex, 2);  // the first fully transparent entry
    EXPECT_EQ(flat.bitmap.transparentIndex, -1);
    const Pixels before = toPixels(kept.bitmap), after = toPixels(flat.bitmap);
    // Entry 1 (half transparent) is mixed with white, entry 2 becomes white,
    // opaque entries stay.
    const uint8_t c1 = before.data[3 * 1];
    EXPECT_NEAR(after.data[3 * 1], (c1 * 128 + 255 * 127) / 255, 1);
    EXPECT_EQ(after.data[3 * 2], 255);
    EXPECT_EQ(after.data[3 * 3], before.data[3 * 3]);
}

TEST(PngReader, AlphaComposedOntoWhite)
{
    const fs::path rgba = testdata("pngsuite/png/basn6a08.png");
    LoadParams flatten = paramsWith(0);
    flatten.pngFlattenAlpha = 1;
    Loaded withAlpha, flat;
    load(withAlpha, rgba, paramsWith(0));
    load(flat, rgba, flatten);
    ASSERT_EQ(withAlpha.code, 0);
    ASSERT_EQ(flat.code, 0);
    ASSERT_EQ(flat.bitmap.type, Rgb);
    const Pixels a = toPixels(withAlpha.bitmap), f = toPixels(flat.bitmap);
    int worst = 0;
    for (size_t i = 0; i < static_cast<size_t>(a.width) * a.height; ++i)
        for (int c = 0; c < 3; ++c) {
            const int alpha = a.data[4 * i + 3];
            const int expected = (a.data[4 * i + c] * alpha + 255 * (255 - alpha) + 127) / 255;
            worst = std::max(worst, std::abs(expected - f.data[3 * i + c]));
        }
    EXPECT_LE(worst, 1);
}

TEST(PngReader, TextChunksBecomeCommentAndEntries)
{
    Loaded suite;
    load(suite, testdata("pngsuite/png/ct1n0g04.png"), paramsWith(ReadComment | ReadTextInfo));
    ASSERT_EQ(suite.code, 0);
    std::vector<std::string> texts(suite.info.texts, suite.info.texts + suite.info.textCount);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "Title: PngSuite");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Software: Created on a NeXTstation color using \"pnmtopng\"."),
              texts.end());

    TempDir dir;
    const fs::path commented = dir / "commented.png";
    ASSERT_TRUE(makeWithPillow(
        "from PIL import Image, PngImagePlugin\n"
        "info = PngImagePlugin.PngInfo()\n"
        "info.add_text('Comment', 'made with Pillow')\n"
        "info.add_text('Author', 'nobody', zip=True)\n"
        "Image.new('RGB', (4, 4)).save('" + commented.string() + "', pnginfo=info)\n"));
    Loaded both, commentOnly, none;
    load(both, commented, paramsWith(ReadComment | ReadTextInfo));
    load(commentOnly, commented, paramsWith(ReadComment));
    load(none, commented, paramsWith(0));
    ASSERT_NE(both.bitmap.comment, nullptr);
    EXPECT_STREQ(both.bitmap.comment, "made with Pillow");
    ASSERT_EQ(both.info.textCount, 1);
    EXPECT_STREQ(both.info.texts[0], "Author: nobody");
    EXPECT_EQ(commentOnly.info.textCount, 0);
    EXPECT_EQ(none.bitmap.comment, nullptr);
}

TEST(PngReader, ResolutionAndProfile)
{
    TempDir dir;
    const fs::path dense = dir / "dense.png";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 8x8 xc:red -units PixelsPerInch -density 300x150 " +
                               shellQuoted(dense)),
              0);
    Loaded loaded;
    load(loaded, dense, paramsWith(0));
    ASSERT_EQ(loaded.code, 0);
    EXPECT_EQ(loaded.bitmap.dpiX, 300u);
    EXPECT_EQ(loaded.bitmap.dpiY, 150u);

    // The sRGB profile that travels in libjpeg-turbo's 12-bit test file.
    const fs::path icc = dir / "profile.icc";
    ASSERT_EQ(testsupport::run("exiftool -b -icc_profile " + shellQuoted(testdata("libjpeg-turbo/monkey12.jpg")) +
                               " > " + shellQuoted(icc)),
              0);
    const std::vector<uint8_t> profile = testsupport::readFile(icc);
    ASSERT_GT(profile.size(), 128u);
    const fs::path tagged = dir / "tagged.png";
    ASSERT_TRUE(makeWithPillow("from PIL import Image\n"
                               "Image.new('RGB', (4, 4)).save('" + tagged.string() +
                               "', icc_profile=open('" + icc.string() + "', 'rb').read())\n"));
    Loaded withProfile;
    load(withProfile, tagged, paramsWith(ReadMetadata));
    ASSERT_EQ(withProfile.code, 0);
    ASSERT_EQ(metadataKinds(withProfile.bitmap.metadata), std::vector<uint32_t>{MetaIcc});
    const MetadataBlock* block = withProfile.bitmap.metadata;
    EXPECT_EQ(std::vector<uint8_t>(block->data, block->data + block->size), profile);
}

TEST(PngReader, TruncatedFileKeepsItsRowsWhenTolerated)
{
    TempDir dir;
    const fs::path whole = dir / "whole.png";
    // Noise keeps the picture data large, so it comes in several chunks.
    ASSERT_EQ(testsupport::run("/usr/bin/convert -seed 7 -size 200x300 xc:gray +noise Random -depth 8 " +
                               shellQuoted(whole)),
              0);
    std::vector<uint8_t> bytes = testsupport::readFile(whole);
    bytes.resize(bytes.size() / 2);
    const fs::path cut = dir / "cut.png";
    testsupport::writeFile(cut, bytes);

    Loaded strict, tolerant, complete;
    load(strict, cut, paramsWith(0));
    load(tolerant, cut, paramsWith(ToleratePartial));
    load(complete, whole, paramsWith(0));
    EXPECT_EQ(strict.code, 4);
    EXPECT_EQ(strict.bitmap.pixels, nullptr);
    ASSERT_EQ(tolerant.code, 0);
    ASSERT_EQ(complete.code, 0);
    ASSERT_EQ(tolerant.bitmap.height, 300);
    // The first rows are there and right, the last ones were never delivered.
    const Pixels part = toPixels(tolerant.bitmap), full = toPixels(complete.bitmap);
    const size_t rowBytes = static_cast<size_t>(full.width) * full.channels;
    EXPECT_TRUE(std::equal(part.data.begin(), part.data.begin() + 10 * rowBytes, full.data.begin()));
    EXPECT_FALSE(std::equal(part.data.end() - rowBytes, part.data.end(), full.data.end() - rowBytes));

    // Fewer bytes than a signature: not a PNG while probing, a read error when forced.
    const fs::path tiny = dir / "tiny.png";
    testsupport::writeFile(tiny, std::vector<uint8_t>{137, 'P', 'N'});
    Loaded probed, forced;
    load(probed, tiny, paramsWith(0));
    load(forced, tiny, paramsWith(0, FormatPng));
    EXPECT_EQ(probed.code, 2);
    EXPECT_EQ(forced.code, 2);  // before the header is accepted a short read never stops probing
}

TEST(PngReader, HugeInterlacedHeaderIsRefusedBeforeAllocating)
{
    // The PngSuite's interlaced grey file with a header claiming 60000 x 60000.
    std::vector<uint8_t> bytes = testsupport::readFile(testdata("pngsuite/png/basi0g08.png"));
    ASSERT_EQ(std::memcmp(&bytes[12], "IHDR", 4), 0);
    for (size_t at : {16u, 20u}) {
        bytes[at] = 0;
        bytes[at + 1] = 0;
        bytes[at + 2] = 60000 >> 8;
        bytes[at + 3] = 60000 & 0xFF;
    }
    const uLong crc = crc32(0, &bytes[12], 17);
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    TempDir dir;
    const fs::path huge = dir / "huge.png";
    testsupport::writeFile(huge, bytes);
    LoadParams boxed = paramsWith(Preview);
    boxed.maxWidth = boxed.maxHeight = 100;
    Loaded loaded;
    load(loaded, huge, boxed);
    EXPECT_EQ(loaded.code, 1);
    EXPECT_EQ(loaded.bitmap.pixels, nullptr);
    FileInfo info;  // describing it needs no buffer
    EXPECT_EQ(getFileInfo(huge.string(), -1, 0, info), 0);
    EXPECT_EQ(info.width, 60000);
    freeFileInfo(info);
}

// Files the fuzzer found: each fails or loads cleanly, and none makes the
// reader allocate by a chunk's length (under the sanitizers a gigabyte
// allocation shows as a failure or a crawl).
TEST(PngReader, FuzzRegressionsLoadCleanly)
{
    const fs::path folder = testsupport::sourceDir() / "fuzz/regressions/png";
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    for (const fs::path& png : pngsIn(folder)) {
        for (uint32_t options : {0u, ReadComment | ReadTextInfo | ReadMetadata}) {
            Loaded loaded;
            load(loaded, png, paramsWith(options, FormatPng));
            EXPECT_TRUE(loaded.code == 0 || loaded.code == 2 || loaded.code == 4) << png << ": " << loaded.code;
        }
    }
}

TEST(PngReader, CancelStopsTheLoad)
{
    LoadParams params = paramsWith(0);
    int calls = 0;
    params.cancelData = &calls;
    params.cancelCallback = [](void* data) { return ++*static_cast<int*>(data) > 5 ? 1 : 0; };
    for (const char* name : {"basn2c08.png", "basi2c08.png"}) {
        calls = 0;
        Loaded loaded;
        load(loaded, testdata("pngsuite/png") / name, params);
        EXPECT_EQ(loaded.code, 15) << name;
        EXPECT_EQ(loaded.bitmap.pixels, nullptr);
    }
}

TEST(PngReader, InformationWithoutPixels)
{
    FileInfo info;
    ASSERT_EQ(getFileInfo(testdata("pngsuite/png/basi6a16.png").string(), -1, 0, info), 0);
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.height, 32);
    EXPECT_EQ(info.formatIndex, FormatPng);
    EXPECT_EQ(info.bitsPerPlane, 32);
    EXPECT_STREQ(info.description, "Portable Network Graphics (Interlaced)");
    freeFileInfo(info);
}
