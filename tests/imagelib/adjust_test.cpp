// Tone tables, automatic levels and contrast, colour balance and the
// neighbourhood filters.
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/adjust.h"
#include "tests/imagelib/writer_helpers.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/fill_support.h"

namespace {

using namespace fotrix;

using Picture = testsupport::OwnedBitmap;

using testsupport::fillGrey;
using testsupport::samePixels;

TEST(Adjust, tableRules)
{
    uint8_t t[256];
    buildAdjustTable(t, 0, 0, 1.0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(t[i], i);
    buildAdjustTable(t, 0, 100, 1.0);
    EXPECT_EQ(t[100], 0);
    EXPECT_EQ(t[155], 255);
    EXPECT_EQ(t[127], 27 * 255 / 55);
    EXPECT_EQ(t[99], 0);
    buildAdjustTable(t, 0, -50, 1.0);
    EXPECT_EQ(t[0], 50);
    EXPECT_EQ(t[255], 205);
    buildAdjustTable(t, 0, 0, 2.0);
    EXPECT_EQ(t[64], 128);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[255], 255);
    buildAdjustTable(t, 10, 0, 1.0);
    EXPECT_EQ(t[0], 10);
    EXPECT_EQ(t[250], 255);
    buildAdjustTable(t, -300, 0, 1.0);
    EXPECT_EQ(t[255], 0);
    // Extreme contrast and gamma stay within the scale instead of dividing by zero.
    buildAdjustTable(t, 0, 200, 0.0);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[255], 255);
}

TEST(Adjust, binaryPicturesAreRefused)
{
    Picture p;
    bitmapAllocate(p.bitmap, Binary, 4, 9, 3);
    p.bitmap.pixels[0] = 0xA5;
    const uint8_t before = p.bitmap.pixels[0];
    const uint8_t tables[3][256] = {};
    EXPECT_EQ(bitmapAdjust(p.bitmap, nullptr, nullptr, 10, 10, 1.0), ResultBinaryRefused);
    EXPECT_EQ(bitmapAutoLevels(p.bitmap, nullptr, nullptr), ResultBinaryRefused);
    EXPECT_EQ(bitmapAutoContrast(p.bitmap, nullptr, nullptr), ResultBinaryRefused);
    EXPECT_EQ(bitmapColourBalance(p.bitmap, nullptr, nullptr, 5, 5, 5), ResultBinaryRefused);
    EXPECT_EQ(bitmapApplyChannelTables(p.bitmap, nullptr, nullptr, tables), ResultBinaryRefused);
    EXPECT_EQ(bitmapSmooth(p.bitmap, nullptr, nullptr, 50), ResultBinaryRefused);
    EXPECT_EQ(bitmapSharpen(p.bitmap, nullptr, nullptr, 50), ResultBinaryRefused);
    EXPECT_EQ(bitmapReduceNoise(p.bitmap, nullptr, nullptr), ResultBinaryRefused);
    EXPECT_EQ(p.bitmap.type, Binary);
    EXPECT_EQ(p.bitmap.pixels[0], before);
}

TEST(Adjust, greyLevelNumbersStayInRange)
{
    Picture p;
    bitmapAllocate(p.bitmap, Grey, 4, 16, 1);
    p.bitmap.colorCount = 16;
    for (int x = 0; x < 16; ++x) p.bitmap.pixels[x] = static_cast<uint8_t>(x);
    ASSERT_EQ(bitmapAdjust(p.bitmap, nullptr, nullptr, 40, 0, 1.0), 0);
    EXPECT_EQ(p.bitmap.colorCount, 16);
    for (int x = 0; x < 16; ++x) {
        EXPECT_LE(p.bitmap.pixels[x], 15);
        EXPECT_EQ(p.bitmap.pixels[x], std::min(255, x * 17 + 40) * 15 / 255) << x;
    }
    Picture q, r;
    bitmapAllocate(q.bitmap, Grey, 4, 16, 1);
    q.bitmap.colorCount = 16;
    for (int x = 0; x < 16; ++x) q.bitmap.pixels[x] = static_cast<uint8_t>(x / 2 + 4);
    ASSERT_EQ(bitmapAutoLevels(q.bitmap, nullptr, nullptr), 0);
    EXPECT_EQ(q.bitmap.colorCount, 256);
    EXPECT_EQ(q.bitmap.pixels[0], 0);
    EXPECT_EQ(q.bitmap.pixels[15], 255);
    bitmapAllocate(r.bitmap, Grey, 4, 4, 1);
    r.bitmap.colorCount = 16;
    ASSERT_EQ(bitmapColourBalance(r.bitmap, nullptr, nullptr, 3, 0, 0), 0);
    EXPECT_EQ(r.bitmap.colorCount, 256);
    EXPECT_EQ(r.bitmap.pixels[0], 3);
}

TEST(Adjust, fourthByteAndPaletteAndRectangle)
{
    Picture p;
    bitmapAllocate(p.bitmap, Rgba, 4, 4, 4);
    std::memset(p.bitmap.pixels, 100, p.bitmap.bytesPerRow * 4);
    const Rect rect{1, 1, 2, 2};
    Bitmap out;
    ASSERT_EQ(bitmapAdjust(p.bitmap, &out, &rect, 50, 0, 1.0), 0);
    EXPECT_EQ(bitmapRow(p.bitmap, 1)[4], 100);  // source untouched
    EXPECT_EQ(bitmapRow(out, 1)[4], 150);
    EXPECT_EQ(bitmapRow(out, 1)[7], 100);       // alpha kept
    EXPECT_EQ(bitmapRow(out, 0)[4], 100);       // outside the rectangle
    EXPECT_EQ(bitmapRow(out, 3)[12], 100);
    bitmapFree(out);
    const Rect outside{10, 10, 2, 2};
    ASSERT_EQ(bitmapAdjust(p.bitmap, nullptr, &outside, 50, 0, 1.0), 0);
    EXPECT_EQ(bitmapRow(p.bitmap, 1)[4], 100);
    ASSERT_EQ(bitmapAdjust(p.bitmap, &out, &outside, 50, 0, 1.0), 0);
    EXPECT_TRUE(samePixels(out, p.bitmap));  // the output record is still a valid copy
    bitmapFree(out);

    Picture indexed;
    writertest::makePicture(indexed.bitmap, Indexed, 4, 4, 10);
    const uint8_t red5 = indexed.bitmap.palette[PaletteRed + 5];
    const uint8_t red12 = indexed.bitmap.palette[PaletteRed + 12];
    std::vector<uint8_t> pixels(indexed.bitmap.pixels, indexed.bitmap.pixels + indexed.bitmap.bytesPerRow * 4);
    ASSERT_EQ(bitmapAdjust(indexed.bitmap, nullptr, nullptr, 0, 0, 2.0), 0);
    uint8_t t[256];
    buildAdjustTable(t, 0, 0, 2.0);
    EXPECT_EQ(indexed.bitmap.palette[PaletteRed + 5], t[red5]);
    EXPECT_EQ(indexed.bitmap.palette[PaletteRed + 12], red12);  // beyond colorCount
    EXPECT_EQ(std::memcmp(indexed.bitmap.pixels, pixels.data(), pixels.size()), 0);
}

TEST(Adjust, autoLevelsIgnoresTheRarestTenthOfAPercent)
{
    Picture p;
    bitmapAllocate(p.bitmap, Bgr, 4, 100, 20);  // 2000 pixels: threshold 2
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) {
            uint8_t* px = bitmapRow(p.bitmap, y) + 3 * x;
            px[0] = static_cast<uint8_t>(60 + x % 41);  // 60 .. 100
            px[1] = 128;
            px[2] = static_cast<uint8_t>(x % 2 ? 10 : 20);
        }
    bitmapRow(p.bitmap, 0)[0] = 255;  // two outliers in byte 0
    bitmapRow(p.bitmap, 0)[3] = 250;
    ASSERT_EQ(bitmapAutoLevels(p.bitmap, nullptr, nullptr), 0);
    const uint8_t* row = bitmapRow(p.bitmap, 5);
    EXPECT_EQ(row[0], 0);                      // 60 is the low level
    EXPECT_EQ(row[3 * 40], 255);               // 100 the high one; the outliers do not count
    EXPECT_EQ(row[3 * 20], (80 - 60) * 255 / 40);
    EXPECT_EQ(row[1], 128);                    // one level only: identity
    EXPECT_EQ(row[2], 255);                    // 20 of 10..20
    EXPECT_EQ(row[5], 0);
}

TEST(Adjust, autoContrastUsesTheLuminanceRange)
{
    Picture p, q;
    fillGrey(p.bitmap, 151, 1, 0);
    for (int x = 0; x <= 150; ++x) p.bitmap.pixels[x] = static_cast<uint8_t>(50 + x);
    fillGrey(q.bitmap, 151, 1, 0);
    std::memcpy(q.bitmap.pixels, p.bitmap.pixels, 151);
    ASSERT_EQ(bitmapAutoContrast(p.bitmap, nullptr, nullptr), 0);
    ASSERT_EQ(bitmapAdjust(q.bitmap, nullptr, nullptr, 3, 52, 1.0), 0);
    EXPECT_TRUE(samePixels(p.bitmap, q.bitmap));
    EXPECT_LT(p.bitmap.pixels[0], 5);
    EXPECT_GT(p.bitmap.pixels[150], 250);
}

TEST(Adjust, colourBalanceActsOnBytePositions)
{
    Picture p;
    bitmapAllocate(p.bitmap, Bgr, 4, 2, 1);
    std::memset(p.bitmap.pixels, 250, 6);
    ASSERT_EQ(bitmapColourBalance(p.bitmap, nullptr, nullptr, 10, -20, -255), 0);
    EXPECT_EQ(p.bitmap.pixels[0], 255);
    EXPECT_EQ(p.bitmap.pixels[1], 230);
    EXPECT_EQ(p.bitmap.pixels[2], 0);
}

TEST(Filters, formulasOnKnownNeighbourhoods)
{
    // A bright centre on black: smoothing at strength 0 keeps 3200 / 4400 of it.
    Picture p;
    fillGrey(p.bitmap, 3, 3, 0);
    bitmapRow(p.bitmap, 1)[1] = 100;
    Bitmap out;
    ASSERT_EQ(bitmapSmooth(p.bitmap, &out, nullptr, 0), 0);
    EXPECT_EQ(bitmapRow(out, 1)[1], 100 * 3200 / 4400);
    EXPECT_EQ(bitmapRow(out, 0)[1], 100 * 200 / 4400);  // N neighbour weight 2 x 100
    EXPECT_EQ(bitmapRow(out, 0)[0], 100 * 100 / 4400);
    bitmapFree(out);
    ASSERT_EQ(bitmapSmooth(p.bitmap, &out, nullptr, 100), 0);
    EXPECT_EQ(bitmapRow(out, 1)[1], 100 * 25 / 1225);
    bitmapFree(out);
    ASSERT_EQ(bitmapSharpen(p.bitmap, &out, nullptr, 50), 0);
    EXPECT_EQ(bitmapRow(out, 1)[1], 200);                      // (100 x 100 - 0) / 50
    EXPECT_EQ(bitmapRow(out, 0)[1], 0);                        // negative, clamped
    bitmapFree(out);
    ASSERT_EQ(bitmapSharpen(p.bitmap, &out, nullptr, 0), 0);
    EXPECT_TRUE(samePixels(out, p.bitmap));
    bitmapFree(out);

    Picture n;
    fillGrey(n.bitmap, 5, 5, 0);
    bitmapRow(n.bitmap, 2)[2] = 150;
    ASSERT_EQ(bitmapReduceNoise(n.bitmap, &out, nullptr), 0);
    EXPECT_EQ(bitmapRow(out, 2)[2], 7 * 150 / 15);
    EXPECT_EQ(bitmapRow(out, 1)[2], 3 * 150 / 15);
    EXPECT_EQ(bitmapRow(out, 0)[2], 0);  // two steps away: -150 / 15, clamped
    EXPECT_EQ(bitmapRow(out, 1)[1], 0);  // not on the cross
    bitmapFree(out);
}

TEST(Filters, edgesRepeatThePicture)
{
    for (int v : {0, 77, 255}) {
        Picture p;
        fillGrey(p.bitmap, 1, 1, v);
        Bitmap out;
        ASSERT_EQ(bitmapSmooth(p.bitmap, &out, nullptr, 60), 0);
        EXPECT_EQ(out.pixels[0], v);
        bitmapFree(out);
        ASSERT_EQ(bitmapReduceNoise(p.bitmap, &out, nullptr), 0);
        EXPECT_EQ(out.pixels[0], v);
        bitmapFree(out);
        ASSERT_EQ(bitmapSharpen(p.bitmap, &out, nullptr, 99), 0);
        EXPECT_EQ(out.pixels[0], v);
        bitmapFree(out);
        ASSERT_EQ(bitmapSharpen(p.bitmap, &out, nullptr, 100), 0);
        EXPECT_EQ(out.pixels[0], 0);
        bitmapFree(out);
    }
}

TEST(Filters, rectangleFourthByteAndResult)
{
    Picture p;
    writertest::makePicture(p.bitmap, Rgba, 9, 7);
    p.bitmap.transparentIndex = 3;
    p.bitmap.comment = strdup("c");
    Picture copy;
    writertest::makePicture(copy.bitmap, Rgba, 9, 7);
    const Rect rect{2, 2, 3, 3};
    ASSERT_EQ(bitmapSmooth(p.bitmap, nullptr, &rect, 100), 0);
    int changedOutside = 0, changedAlpha = 0;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            for (int k = 0; k < 4; ++k) {
                const bool differs = bitmapRow(p.bitmap, y)[4 * x + k] != bitmapRow(copy.bitmap, y)[4 * x + k];
                const bool inside = x >= 2 && x < 5 && y >= 2 && y < 5;
                if (differs && !inside) ++changedOutside;
                if (differs && k == 3) ++changedAlpha;
            }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedAlpha, 0);  // every byte is filtered
    EXPECT_EQ(p.bitmap.transparentIndex, -1);
    ASSERT_NE(p.bitmap.comment, nullptr);
    const Rect empty{20, 20, 5, 5};
    EXPECT_EQ(bitmapSharpen(p.bitmap, nullptr, &empty, 10), ResultBadSize);
}

}  // namespace
