// bitmapConvertColours: dither matrices and thresholds, grey levels, the
// colour cube, exact palettes, median cut and the true-colour layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "imagelib/formats.h"
#include "imagelib/colours.h"
#include "imagelib/processing/colours_palette.h"
#include "imagelib/save.h"
#include "tests/imagelib/writer_helpers.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/fill_support.h"

namespace {

using namespace fotrix;

using Picture = testsupport::OwnedBitmap;

using testsupport::fillGrey;
using testsupport::fillRgb;

int whiteCount(const Bitmap& bitmap)
{
    int n = 0;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) n += bitGet(bitmapRow(bitmap, y), x);
    return n;
}

TEST(Colours, bayerMatrixIsTheRecursiveOne)
{
    const uint8_t firstRow[16] = {1, 128, 32, 160, 8, 136, 40, 168, 2, 130, 34, 162, 10, 138, 42, 170};
    EXPECT_EQ(std::memcmp(bayer16[0], firstRow, 16), 0);
    EXPECT_EQ(bayer16[1][0], 192);  // 4 x 48 ... the 3 of the 2x2 seed at the top level
    EXPECT_EQ(bayer16[1][1], 64);
    std::multiset<int> values;
    for (const auto& row : bayer16) values.insert(std::begin(row), std::end(row));
    EXPECT_EQ(values.count(1), 2u);
    EXPECT_EQ(values.count(0), 0u);
    for (int v = 2; v < 256; ++v) EXPECT_EQ(values.count(v), 1u) << v;
}

TEST(Colours, badModesChangeNothing)
{
    Picture p;
    fillRgb(p.bitmap, 4, 4, 1, 2, 3);
    const uint8_t* pixels = p.bitmap.pixels;
    for (unsigned mode : {0u, 10u, 11u, 25u, 1000u}) {
        EXPECT_EQ(bitmapConvertColours(p.bitmap, nullptr, mode, 0), ResultBadSize) << mode;
        EXPECT_EQ(p.bitmap.pixels, pixels);
        EXPECT_EQ(p.bitmap.type, Rgb);
    }
    Bitmap empty;
    EXPECT_EQ(bitmapConvertColours(empty, nullptr, ColourBinary, 0), ResultBadSize);
}

TEST(Colours, blackAndWhiteThresholds)
{
    Picture a, b;
    fillGrey(a.bitmap, 1, 1, 126);
    ASSERT_EQ(bitmapConvertColours(a.bitmap, nullptr, ColourBinary, DitherThreshold), 0);
    EXPECT_EQ(a.bitmap.type, Binary);
    EXPECT_EQ(a.bitmap.colorCount, 2);
    EXPECT_EQ(whiteCount(a.bitmap), 0);
    fillGrey(b.bitmap, 1, 1, 127);
    Bitmap out;
    ASSERT_EQ(bitmapConvertColours(b.bitmap, &out, ColourBinary, DitherThreshold), 0);
    EXPECT_EQ(whiteCount(out), 1);
    EXPECT_EQ(b.bitmap.type, Grey);  // the source stays when an output is given
    bitmapFree(out);
    // Error diffusion decides at 128.
    ASSERT_EQ(bitmapConvertColours(b.bitmap, &out, ColourBinary, DitherDiffusion), 0);
    EXPECT_EQ(whiteCount(out), 0);
    bitmapFree(out);
    bitmapFree(b.bitmap);
    fillGrey(b.bitmap, 1, 1, 128);
    ASSERT_EQ(bitmapConvertColours(b.bitmap, &out, ColourBinary, DitherDiffusion), 0);
    EXPECT_EQ(whiteCount(out), 1);
    bitmapFree(out);
}

// Black stays black and white stays white under every dither, and a flat
// grey comes out with the matching share of white pixels.
TEST(Colours, dithersKeepTheExtremesAndTheMean)
{
    for (unsigned dither : {0u, 1u, 3u, 5u, 6u}) {
        for (int grey : {0, 255}) {
            Picture p;
            fillGrey(p.bitmap, 48, 48, grey);
            ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourBinary, dither), 0);
            EXPECT_EQ(whiteCount(p.bitmap), grey ? 48 * 48 : 0) << "dither " << dither;
        }
        if (dither == 0) continue;
        Picture mid;
        fillGrey(mid.bitmap, 96, 96, 64);
        ASSERT_EQ(bitmapConvertColours(mid.bitmap, nullptr, ColourBinary, dither), 0);
        EXPECT_NEAR(whiteCount(mid.bitmap) / double(96 * 96), 64 / 255.0, 0.04) << "dither " << dither;
    }
    // The clustered and dispersed matrices give different patterns.
    Picture c, d;
    fillGrey(c.bitmap, 6, 6, 100);
    fillGrey(d.bitmap, 6, 6, 100);
    ASSERT_EQ(bitmapConvertColours(c.bitmap, nullptr, ColourBinary, DitherClustered), 0);
    ASSERT_EQ(bitmapConvertColours(d.bitmap, nullptr, ColourBinary, DitherDispersed), 0);
    // (100 x 36) / 255 = 14: white where the matrix holds at most 14.
    int clusteredWhite = 0, dispersedWhite = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            clusteredWhite += clustered6[y][x] <= 14;
            dispersedWhite += dispersed6[y][x] <= 14;
            EXPECT_EQ(bitGet(bitmapRow(c.bitmap, y), x), clustered6[y][x] <= 14 ? 1 : 0);
            EXPECT_EQ(bitGet(bitmapRow(d.bitmap, y), x), dispersed6[y][x] <= 14 ? 1 : 0);
        }
    EXPECT_EQ(clusteredWhite, 14);
    EXPECT_EQ(dispersedWhite, 14);
}

TEST(Colours, greyLevelsDirectAndOrdered)
{
    Picture p;
    fillRgb(p.bitmap, 2, 1, 255, 255, 255);
    bitmapRow(p.bitmap, 0)[3] = 7, bitmapRow(p.bitmap, 0)[4] = 7, bitmapRow(p.bitmap, 0)[5] = 7;
    ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourGrey32, 0), 0);
    EXPECT_EQ(p.bitmap.type, Grey);
    EXPECT_EQ(p.bitmap.colorCount, 32);
    EXPECT_EQ(p.bitmap.pixels[0], 31);
    EXPECT_EQ(p.bitmap.pixels[1], 0);

    // Level numbers keep their place on the new scale: 16 levels to 4.
    Picture levels;
    bitmapAllocate(levels.bitmap, Grey, 4, 16, 1);
    levels.bitmap.colorCount = 16;
    for (int x = 0; x < 16; ++x) levels.bitmap.pixels[x] = static_cast<uint8_t>(x);
    ASSERT_EQ(bitmapConvertColours(levels.bitmap, nullptr, ColourGrey4, 0), 0);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(levels.bitmap.pixels[x], x * 3 / 15) << x;

    // Ordered dither to 4 levels (step 85): grey 42 lies at fraction 31 between levels 0 and 1.
    Picture ordered;
    fillGrey(ordered.bitmap, 8, 8, 42);
    ASSERT_EQ(bitmapConvertColours(ordered.bitmap, nullptr, ColourGrey4, DitherOrdered), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(bitmapRow(ordered.bitmap, y)[x], ordered8[y][x] < 31 ? 1 : 0);
    Picture top;
    fillGrey(top.bitmap, 8, 8, 255);
    ASSERT_EQ(bitmapConvertColours(top.bitmap, nullptr, ColourGrey8, DitherOrdered), 0);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bitmapRow(top.bitmap, 3)[x], 7);

    Picture binary;
    bitmapAllocate(binary.bitmap, Binary, 4, 9, 1);
    bitSet(binary.bitmap.pixels, 8, 1);
    ASSERT_EQ(bitmapConvertColours(binary.bitmap, nullptr, ColourGrey216, DitherOrdered), 0);
    EXPECT_EQ(binary.bitmap.pixels[8], 215);
    EXPECT_EQ(binary.bitmap.pixels[0], 0);
}

TEST(Colours, colourCubeWithOrderedDither)
{
    Picture p;
    writertest::makePicture(p.bitmap, Rgb, 16, 16);
    Bitmap out;
    ASSERT_EQ(bitmapConvertColours(p.bitmap, &out, ColourPalette16, DitherOrdered), 0);
    EXPECT_EQ(out.type, Indexed);
    EXPECT_EQ(out.colorCount, 16);
    for (int ri = 0; ri < 2; ++ri)
        for (int gi = 0; gi < 4; ++gi)
            for (int bi = 0; bi < 2; ++bi) {
                const int i = ri * 8 + gi * 2 + bi;
                EXPECT_EQ(out.palette[PaletteRed + i], ri * 255);
                EXPECT_EQ(out.palette[PaletteGreen + i], gi * 85);
                EXPECT_EQ(out.palette[PaletteBlue + i], bi * 255);
            }
    for (int i = 0; i < 16 * 16; ++i) EXPECT_LT(out.pixels[(i / 16) * out.bytesPerRow + i % 16], 16);
    bitmapFree(out);
    ASSERT_EQ(bitmapConvertColours(p.bitmap, &out, ColourPalette128, DitherOrdered), 0);
    EXPECT_EQ(out.colorCount, 256);
    bitmapFree(out);
    // A flat colour on a cube level stays that exact entry.
    Picture flat;
    fillRgb(flat.bitmap, 8, 8, 255, 170, 0);
    ASSERT_EQ(bitmapConvertColours(flat.bitmap, nullptr, ColourPalette16, DitherOrdered), 0);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bitmapRow(flat.bitmap, 5)[x], 8 + 2 * 2 + 0);
}

TEST(Colours, exactPaletteInOrderOfFirstAppearance)
{
    Picture p;
    const uint8_t colours[5][3] = {{9, 9, 9}, {200, 0, 0}, {0, 200, 0}, {1, 2, 3}, {255, 255, 255}};
    bitmapAllocate(p.bitmap, Bgr, 4, 7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint8_t* c = colours[(x + 2 * y) % 5 == 0 ? 0 : std::min((x + 2 * y) % 5, 4)];
            uint8_t* px = bitmapRow(p.bitmap, y) + 3 * x;
            px[0] = c[2], px[1] = c[1], px[2] = c[0];
        }
    const testsupport::Pixels before = writertest::expectedRgba(p.bitmap);
    ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourPalette256, DitherNone), 0);
    EXPECT_EQ(p.bitmap.colorCount, 256);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.bitmap.palette[PaletteRed + i], colours[i][0]) << i;
        EXPECT_EQ(p.bitmap.palette[PaletteBlue + i], colours[i][2]) << i;
    }
    EXPECT_EQ(testsupport::maxDifference(writertest::expectedRgba(p.bitmap), before), 0);

    // Grey pictures: the most used level first.
    Picture grey;
    fillGrey(grey.bitmap, 10, 1, 50);
    grey.bitmap.pixels[0] = 200;
    ASSERT_EQ(bitmapConvertColours(grey.bitmap, nullptr, ColourPalette8, DitherNone), 0);
    EXPECT_EQ(grey.bitmap.palette[PaletteRed + 0], 50);
    EXPECT_EQ(grey.bitmap.palette[PaletteRed + 1], 200);
    EXPECT_EQ(grey.bitmap.pixels[0], 1);
    EXPECT_EQ(grey.bitmap.pixels[5], 0);
}

TEST(Colours, medianCutBoxRules)
{
    using colours::MedianCut;
    uint8_t palette[256][3];
    {
        // Blue has the longest scaled extent (31 x 8 against green 2 x 12): the cut is across blue;
        // boxes at the edges reach 0 and 255.
        MedianCut cut;
        cut.count(80, 80, 0);
        cut.count(80, 88, 0);
        cut.count(80, 80, 255);
        ASSERT_EQ(cut.build(2, palette), 2);
        EXPECT_EQ(cut.boxes()[0].gMax, 22);  // the two low-blue colours stay together
        EXPECT_EQ(cut.boxes()[1].bMin, 31);
        EXPECT_EQ(palette[0][2], 0);
        EXPECT_EQ(palette[1][2], 255);
        EXPECT_EQ(palette[1][0], 84);  // cell 10: centre 84
        EXPECT_EQ(palette[1][1], 82);  // cell 20: centre 82
    }
    {
        // Red extent 31 x 16 = 496 against green 63 x 12 = 756: green is cut.
        MedianCut cut;
        cut.count(0, 0, 100);
        cut.count(255, 0, 100);
        cut.count(0, 255, 100);
        ASSERT_EQ(cut.build(2, palette), 2);
        EXPECT_EQ(cut.boxes()[0].gMax, 0);
        EXPECT_EQ(cut.boxes()[0].rMax, 31);  // both low-green colours
        EXPECT_EQ(cut.boxes()[1].rMax, 0);   // shrunk to its one cell
    }
    {
        // Weighted mean of the cell centres, rounded.
        MedianCut cut;
        for (int i = 0; i < 3; ++i) cut.count(100, 100, 100);  // cell 12, 25, 12
        cut.count(108, 100, 100);                              // cell 13
        ASSERT_EQ(cut.build(1, palette), 1);
        EXPECT_EQ(palette[0][0], (3 * 100 + 108 + 2) / 4);
        EXPECT_EQ(palette[0][1], 102);
        // Every colour maps to the only entry.
        EXPECT_EQ(cut.map(0, 0, 0), 0);
    }
    {
        // While boxes are few, the one with most colours is cut; then the largest.
        MedianCut cut;
        for (int g = 0; g < 64; g += 2) cut.count(0, g * 4, 0);  // many colours along green
        cut.count(255, 0, 255);                                 // one far colour
        ASSERT_EQ(cut.build(4, palette), 4);
        int farBoxes = 0;
        for (const auto& box : cut.boxes()) farBoxes += box.rMin == 31;
        EXPECT_EQ(farBoxes, 1);
    }
}

TEST(Colours, medianCutOfManyColours)
{
    Picture p;
    bitmapAllocate(p.bitmap, Rgb, 4, 60, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            uint8_t* px = bitmapRow(p.bitmap, y) + 3 * x;
            px[0] = static_cast<uint8_t>(x * 4), px[1] = static_cast<uint8_t>(y * 5), px[2] = static_cast<uint8_t>((x + y) * 2);
        }
    const testsupport::Pixels before = writertest::expectedRgba(p.bitmap);
    ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourPalette256, DitherNone), 0);
    EXPECT_EQ(p.bitmap.type, Indexed);
    EXPECT_EQ(p.bitmap.colorCount, 256);
    // The box holding black's corner has exact zeros.
    EXPECT_EQ(p.bitmap.palette[PaletteRed + p.bitmap.pixels[0]], 0);
    EXPECT_EQ(p.bitmap.palette[PaletteGreen + p.bitmap.pixels[0]], 0);
    EXPECT_EQ(p.bitmap.palette[PaletteBlue + p.bitmap.pixels[0]], 0);
    EXPECT_LE(testsupport::maxDifference(writertest::expectedRgba(p.bitmap), before), 24);

    // And the result is what GIF takes, where true colour was refused.
    testsupport::TempDir dir;
    EXPECT_EQ(writertest::save(dir / "m.gif", p.bitmap, "gif"), ResultOk);
}

TEST(Colours, trueColourLayouts)
{
    Picture p;
    fillRgb(p.bitmap, 3, 2, 10, 20, 30);
    const uint8_t* pixels = p.bitmap.pixels;
    ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourRgb, 0), 0);
    EXPECT_EQ(p.bitmap.pixels, pixels);  // nothing to do
    struct Case {
        unsigned mode, type;
        uint8_t bytes[4];
        int size;
    };
    const Case cases[] = {{ColourBgr, Bgr, {30, 20, 10}, 3},          {ColourRgba, Rgba, {10, 20, 30, 255}, 4},
                          {ColourAbgr, Abgr, {255, 30, 20, 10}, 4},  {ColourBgra, Bgra, {30, 20, 10, 255}, 4},
                          {ColourArgb, Argb, {255, 10, 20, 30}, 4}};
    for (const Case& c : cases) {
        Bitmap out;
        ASSERT_EQ(bitmapConvertColours(p.bitmap, &out, c.mode, 0), 0);
        EXPECT_EQ(out.type, c.type);
        EXPECT_EQ(std::memcmp(bitmapRow(out, 1) + 2 * c.size, c.bytes, c.size), 0) << c.mode;
        // And back again.
        ASSERT_EQ(bitmapConvertColours(out, nullptr, ColourRgb, 0), 0);
        EXPECT_EQ(std::memcmp(bitmapRow(out, 1), bitmapRow(p.bitmap, 1), 9), 0) << c.mode;
        bitmapFree(out);
    }
    Picture grey, binary, indexed;
    fillGrey(grey.bitmap, 2, 2, 3);
    grey.bitmap.colorCount = 4;
    ASSERT_EQ(bitmapConvertColours(grey.bitmap, nullptr, ColourRgba, 0), 0);
    EXPECT_EQ(std::memcmp(grey.bitmap.pixels, "\xff\xff\xff\xff", 4), 0);
    bitmapAllocate(binary.bitmap, Binary, 4, 2, 1);
    bitSet(binary.bitmap.pixels, 1, 1);
    ASSERT_EQ(bitmapConvertColours(binary.bitmap, nullptr, ColourRgba, 0), 0);
    EXPECT_EQ(std::memcmp(binary.bitmap.pixels, "\0\0\0\xff\xff\xff\xff\xff", 8), 0);  // opaque
    writertest::makePicture(indexed.bitmap, Indexed, 5, 5);
    const testsupport::Pixels before = writertest::expectedRgba(indexed.bitmap);
    ASSERT_EQ(bitmapConvertColours(indexed.bitmap, nullptr, ColourBgr, 0), 0);
    EXPECT_EQ(indexed.bitmap.palette, nullptr);
    EXPECT_EQ(testsupport::maxDifference(writertest::expectedRgba(indexed.bitmap), before), 0);
}

TEST(Colours, attributesTravelWithTheResult)
{
    Picture p;
    fillRgb(p.bitmap, 2, 2, 1, 2, 3);
    p.bitmap.comment = strdup("kept");
    p.bitmap.dpiX = 300;
    p.bitmap.origin = OriginBottom;
    const uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
    metadataAppend(p.bitmap.metadata, MetaExif, exif, 6);
    ASSERT_EQ(bitmapConvertColours(p.bitmap, nullptr, ColourGrey256, 0), 0);
    ASSERT_NE(p.bitmap.comment, nullptr);
    EXPECT_STREQ(p.bitmap.comment, "kept");
    EXPECT_EQ(p.bitmap.dpiX, 300u);
    EXPECT_EQ(p.bitmap.origin, OriginBottom);
    ASSERT_NE(p.bitmap.metadata, nullptr);
    EXPECT_EQ(p.bitmap.metadata->size, 6u);
}

}  // namespace
