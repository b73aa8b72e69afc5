// Geometric transforms: exact results on small pictures, the resampler
// against an independent computation, and the result convention.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "imagelib/bitmap.h"
#include "imagelib/transform.h"

using namespace fotrix;

namespace {

// A bitmap that frees itself.
struct OwnedBitmap {
    Bitmap b;
    OwnedBitmap() = default;
    OwnedBitmap(unsigned type, int w, int h, int alignment = 4)
    {
        EXPECT_EQ(bitmapAllocate(b, type, alignment, w, h), 1);
    }
    ~OwnedBitmap() { bitmapFree(b); }
    uint8_t& at(int x, int y, int k = 0) { return bitmapRow(b, y)[x * b.bytesPerPixel + k]; }
};

void fillRandom(Bitmap& b, unsigned seed)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < b.height; ++y) {
        uint8_t* row = bitmapRow(b, y);
        const size_t bytes = b.type == Binary ? (b.width + 7) / 8 : size_t(b.width) * b.bytesPerPixel;
        for (size_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(rng());
    }
}

// The resampler stated differently: each destination pixel covers
// [X*s, (X+1)*s) of the source axis; that span is cut at whole source
// positions, and every piece [a, b] inside pixel i contributes its length
// times the value at its end b (the pixel itself when the axis shrinks, the
// linear mix of pixel i and i+1 at b - i when it grows).
struct Piece {
    int index;
    double length, at;
};
std::vector<Piece> pieces(double s, int X, int count)
{
    std::vector<Piece> out;
    double a = X * s, end = (X + 1) * s;
    while (a < end - 1e-9) {
        int i = static_cast<int>(std::floor(a + 1e-9));
        double b = std::min(end, i + 1.0);
        out.push_back({std::min(i, count - 1), b - a, b - i});
        a = b;
    }
    return out;
}

int referenceSample(const Bitmap& src, int X, int Y, int k, int dw, int dh)
{
    const double sx = double(src.width) / dw, sy = double(src.height) / dh;
    const size_t bpp = src.bytesPerPixel;
    auto px = [&](int x, int y) {
        return double(bitmapRow(src, std::min(y, src.height - 1))[std::min(x, src.width - 1) * bpp + k]);
    };
    double sum = 0;
    for (const Piece& py : pieces(sy, Y, src.height)) {
        for (const Piece& qx : pieces(sx, X, src.width)) {
            const double fx = sx < 1 ? qx.at : 0, fy = sy < 1 ? py.at : 0;
            const double top = px(qx.index, py.index) * (1 - fx) + px(qx.index + 1, py.index) * fx;
            const double bottom = px(qx.index, py.index + 1) * (1 - fx) + px(qx.index + 1, py.index + 1) * fx;
            sum += (top * (1 - fy) + bottom * fy) * qx.length * py.length;
        }
    }
    return static_cast<int>(sum / (sx * sy) + 0.0001);
}

}  // namespace

TEST(Resample, FourByFourToTwoByTwoAveragesBlocks)
{
    OwnedBitmap src(Rgb, 4, 4);
    fillRandom(src.b, 1);
    Bitmap out;
    ASSERT_EQ(bitmapResample(src.b, &out, 2, 2, ResampleArea), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            for (int k = 0; k < 3; ++k) {
                int sum = src.at(2 * x, 2 * y, k) + src.at(2 * x + 1, 2 * y, k) + src.at(2 * x, 2 * y + 1, k) +
                          src.at(2 * x + 1, 2 * y + 1, k);
                EXPECT_EQ(bitmapRow(out, y)[x * 3 + k], sum / 4) << x << "," << y << "," << k;
            }
    bitmapFree(out);
}

TEST(Resample, EnlargingARowInterpolatesAndRepeatsTheLastPixel)
{
    OwnedBitmap src(Grey, 2, 1);
    src.at(0, 0) = 0;
    src.at(1, 0) = 255;
    Bitmap out;
    ASSERT_EQ(bitmapResample(src.b, &out, 4, 1, ResampleArea), 0);
    const uint8_t* row = bitmapRow(out, 0);
    // The first output pixel ends halfway into pixel 0: the mix there is 127.5.
    EXPECT_EQ(row[0], 127);
    EXPECT_EQ(row[1], 255);
    EXPECT_EQ(row[2], 255);
    EXPECT_EQ(row[3], 255);
    bitmapFree(out);
}

TEST(Resample, MatchesIndependentComputationForEveryKernel)
{
    struct Case {
        int sw, sh, dw, dh;
    } cases[] = {{37, 23, 10, 7}, {10, 7, 37, 23}, {9, 31, 20, 8}, {31, 9, 8, 20}, {64, 48, 17, 13}, {5, 5, 5, 5}};
    for (const Case& c : cases) {
        OwnedBitmap src(Rgb, c.sw, c.sh);
        fillRandom(src.b, c.sw * 100 + c.dw);
        Bitmap out;
        ASSERT_EQ(bitmapResample(src.b, &out, c.dw, c.dh, ResampleArea), 0);
        ASSERT_EQ(out.width, c.dw);
        ASSERT_EQ(out.height, c.dh);
        int worst = 0;
        for (int y = 0; y < c.dh; ++y)
            for (int x = 0; x < c.dw; ++x)
                for (int k = 0; k < 3; ++k)
                    worst = std::max(worst, std::abs(bitmapRow(out, y)[x * 3 + k] - referenceSample(src.b, x, y, k, c.dw, c.dh)));
        // Only rounding at the truncation may differ.
        EXPECT_LE(worst, 1) << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
        bitmapFree(out);
    }
}

TEST(Resample, IndexedPicturesUseNearestAndKeepThePalette)
{
    OwnedBitmap src(Indexed, 4, 1);
    for (int x = 0; x < 4; ++x) src.at(x, 0) = static_cast<uint8_t>(x * 10);
    src.b.palette[PaletteRed + 30] = 200;
    src.b.colorCount = 40;
    Bitmap out;
    ASSERT_EQ(bitmapResample(src.b, &out, 2, 1, ResampleArea), 0);
    EXPECT_EQ(out.type, Indexed);
    EXPECT_EQ(bitmapRow(out, 0)[0], 0);
    EXPECT_EQ(bitmapRow(out, 0)[1], 20);
    EXPECT_EQ(out.palette[PaletteRed + 30], 200);
    EXPECT_EQ(out.colorCount, 40);
    bitmapFree(out);
}

TEST(Resample, BadSizesAndResultConvention)
{
    OwnedBitmap src(Rgb, 8, 8);
    fillRandom(src.b, 3);
    src.b.dpiX = 300;
    src.b.dpiY = 150;
    src.b.comment = strdup("hello");
    metadataAppend(src.b.metadata, MetaExif, reinterpret_cast<const uint8_t*>("Exif"), 4);
    metadataAppend(src.b.metadata, MetaIcc, reinterpret_cast<const uint8_t*>("icc"), 3);
    EXPECT_EQ(bitmapResample(src.b, nullptr, 0, 4, ResampleArea), 16);
    EXPECT_EQ(bitmapResample(src.b, nullptr, 4, -1, ResampleArea), 16);
    EXPECT_EQ(src.b.width, 8);

    Bitmap out;
    ASSERT_EQ(bitmapResample(src.b, &out, 4, 4, ResampleArea), 0);
    EXPECT_EQ(src.b.width, 8);  // source untouched with an output record
    EXPECT_EQ(out.dpiX, 300u);
    EXPECT_EQ(out.dpiY, 150u);
    ASSERT_NE(out.comment, nullptr);
    EXPECT_STREQ(out.comment, "hello");
    ASSERT_NE(out.metadata, nullptr);
    EXPECT_EQ(out.metadata->kind, MetaExif);
    ASSERT_NE(out.metadata->next, nullptr);
    EXPECT_EQ(out.metadata->next->kind, MetaIcc);

    // In place: the source record now holds the result.
    ASSERT_EQ(bitmapResample(src.b, nullptr, 4, 4, ResampleArea), 0);
    EXPECT_EQ(src.b.width, 4);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(std::memcmp(bitmapRow(src.b, y), bitmapRow(out, y), 12), 0);
    bitmapFree(out);
}

TEST(ResizeNearest, PicksColumnsAndRowsByIntegerRatio)
{
    OwnedBitmap src(Grey, 10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) src.at(x, y) = static_cast<uint8_t>(y * 10 + x);
    Bitmap out;
    ASSERT_EQ(bitmapResizeNearest(src.b, &out, 3, 3), 0);
    const int picks[3] = {0, 3, 6};  // trunc(10 * i / 3)
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmapRow(out, y)[x], picks[y] * 10 + picks[x]);
    bitmapFree(out);

    OwnedBitmap bits(Binary, 13, 3);
    fillRandom(bits.b, 9);
    ASSERT_EQ(bitmapResizeNearest(bits.b, &out, 26, 3), 0);
    for (int x = 0; x < 26; ++x) EXPECT_EQ(bitGet(bitmapRow(out, 1), x), bitGet(bitmapRow(bits.b, 1), x / 2));
    EXPECT_EQ(bitmapRow(out, 1)[3] & 0x3F, 0);  // bits past the width stay clear
    bitmapFree(out);
}

TEST(Shrink, FixedPointWeightsAtANonIntegerRatio)
{
    OwnedBitmap src(Grey, 3, 1);
    src.at(0, 0) = 0;
    src.at(1, 0) = 90;
    src.at(2, 0) = 180;
    Bitmap out;
    ASSERT_EQ(bitmapShrink(src.b, &out, 2, 1, Rgb), 0);
    // Pixel 1 is split half and half: (0*1024 + 90*512) / 1536 and (90*512 + 180*1024) / 1536.
    EXPECT_EQ(bitmapRow(out, 0)[0], 30);
    EXPECT_EQ(bitmapRow(out, 0)[1], 150);
    bitmapFree(out);
}

TEST(Shrink, CloseToTheTrueAreaAverage)
{
    struct Case {
        int sw, sh, dw, dh;
    } cases[] = {{40, 30, 10, 10}, {37, 23, 10, 7}, {100, 7, 9, 2}, {7, 100, 2, 9}, {16, 16, 16, 16}};
    for (const Case& c : cases) {
        OwnedBitmap src(Rgb, c.sw, c.sh);
        fillRandom(src.b, c.sw + c.dh);
        Bitmap out;
        ASSERT_EQ(bitmapShrink(src.b, &out, c.dw, c.dh, Rgb), 0);
        ASSERT_EQ(out.type, Rgb);
        int worst = 0;
        for (int y = 0; y < c.dh; ++y)
            for (int x = 0; x < c.dw; ++x)
                for (int k = 0; k < 3; ++k) {
                    worst = std::max(worst, std::abs(bitmapRow(out, y)[x * 3 + k] - referenceSample(src.b, x, y, k, c.dw, c.dh)));
                }
        // 10-bit weights truncate; the average stays within two levels.
        EXPECT_LE(worst, 2) << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
        bitmapFree(out);
    }
}

TEST(Shrink, BinaryGreyAndIndexedSources)
{
    OwnedBitmap bits(Binary, 16, 16);
    Bitmap out;
    EXPECT_EQ(bitmapShrink(bits.b, &out, 32, 8, Rgb), 16);
    EXPECT_EQ(bitmapShrink(bits.b, &out, 16, 8, Rgb), 16);
    for (int y = 0; y < 16; ++y) bitmapRow(bits.b, y)[0] = 0xFF;  // left half of the first byte column white
    ASSERT_EQ(bitmapShrink(bits.b, &out, 2, 2, Rgb), 0);
    EXPECT_EQ(out.type, Grey);
    EXPECT_EQ(out.colorCount, 256);
    EXPECT_EQ(bitmapRow(out, 0)[0], 255);
    EXPECT_EQ(bitmapRow(out, 1)[1], 0);
    bitmapFree(out);

    OwnedBitmap grey(Grey, 4, 4);
    grey.b.colorCount = 16;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) grey.at(x, y) = 15;
    ASSERT_EQ(bitmapShrink(grey.b, &out, 2, 2, Rgb), 0);
    EXPECT_EQ(bitmapRow(out, 1)[1], 255);  // level 15 of 16 is white
    EXPECT_EQ(out.colorCount, 256);
    bitmapFree(out);

    OwnedBitmap indexed(Indexed, 2, 2);
    indexed.b.palette[PaletteRed + 1] = 200;
    indexed.b.palette[PaletteGreen + 1] = 100;
    indexed.b.palette[PaletteBlue + 1] = 50;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) indexed.at(x, y) = 1;
    ASSERT_EQ(bitmapShrink(indexed.b, &out, 1, 1, Bgr), 0);
    EXPECT_EQ(out.type, Bgr);
    EXPECT_EQ(out.palette, nullptr);
    EXPECT_EQ(bitmapRow(out, 0)[0], 50);
    EXPECT_EQ(bitmapRow(out, 0)[1], 100);
    EXPECT_EQ(bitmapRow(out, 0)[2], 200);
    bitmapFree(out);
}

TEST(Rotate, QuarterTurnsMoveEveryPixelAndSwapResolution)
{
    OwnedBitmap src(Rgb, 3, 2);
    fillRandom(src.b, 5);
    src.b.dpiX = 100;
    src.b.dpiY = 200;
    Bitmap cw, ccw, half;
    ASSERT_EQ(bitmapRotate(src.b, &cw, 90, 0, nullptr, 0), 0);
    ASSERT_EQ(bitmapRotate(src.b, &ccw, 270, 0, nullptr, 0), 0);
    ASSERT_EQ(bitmapRotate(src.b, &half, -180, 0, nullptr, 0), 0);
    EXPECT_EQ(cw.width, 2);
    EXPECT_EQ(cw.height, 3);
    EXPECT_EQ(cw.dpiX, 200u);
    EXPECT_EQ(cw.dpiY, 100u);
    EXPECT_EQ(half.dpiX, 100u);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(bitmapRow(cw, r)[c * 3 + k], src.at(r, 1 - c, k));  // clockwise
                EXPECT_EQ(bitmapRow(ccw, r)[c * 3 + k], src.at(2 - r, c, k));
            }
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(bitmapRow(half, r)[c * 3], src.at(2 - c, 1 - r, 0));
    bitmapFree(cw);
    bitmapFree(ccw);
    bitmapFree(half);
}

TEST(Rotate, OtherAnglesCopyAndBottomUpRowsTurnTheOtherWay)
{
    OwnedBitmap src(Grey, 3, 2);
    fillRandom(src.b, 6);
    for (int angle : {0, 45, 360, -720, 450}) {
        Bitmap out;
        ASSERT_EQ(bitmapRotate(src.b, &out, angle, 0, nullptr, 0), 0);
        EXPECT_EQ(out.width, 3) << angle;
        EXPECT_EQ(std::memcmp(bitmapRow(out, 1), bitmapRow(src.b, 1), 3), 0) << angle;
        bitmapFree(out);
    }
    Bitmap plain, bottom;
    ASSERT_EQ(bitmapRotate(src.b, &plain, -90, 0, nullptr, 0), 0);
    src.b.origin = OriginBottom;
    ASSERT_EQ(bitmapRotate(src.b, &bottom, 90, 0, nullptr, 0), 0);
    EXPECT_EQ(bottom.origin, OriginBottom);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(std::memcmp(bitmapRow(plain, r), bitmapRow(bottom, r), 2), 0);
    bitmapFree(plain);
    bitmapFree(bottom);
}

TEST(Rotate, BinaryTurnsMatchTheByteTurns)
{
    for (int width : {1, 7, 13, 32, 33}) {
        for (int alignment : {1, 4}) {
            OwnedBitmap bits(Binary, width, 5, alignment);
            fillRandom(bits.b, width);
            OwnedBitmap grey(Grey, width, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < width; ++x) grey.at(x, y) = static_cast<uint8_t>(bitGet(bitmapRow(bits.b, y), x));
            for (int angle : {90, -90, 180}) {
                Bitmap b, g;
                ASSERT_EQ(bitmapRotate(bits.b, &b, angle, 0, nullptr, 0), 0);
                ASSERT_EQ(bitmapRotate(grey.b, &g, angle, 0, nullptr, 0), 0);
                ASSERT_EQ(b.width, g.width);
                for (int y = 0; y < g.height; ++y) {
                    for (int x = 0; x < g.width; ++x)
                        ASSERT_EQ(bitGet(bitmapRow(b, y), x), bitmapRow(g, y)[x]) << width << " " << angle;
                    for (int x = g.width; x < int(b.bytesPerRow) * 8; ++x) ASSERT_EQ(bitGet(bitmapRow(b, y), x), 0);
                }
                bitmapFree(b);
                bitmapFree(g);
            }
        }
    }
}

TEST(Rotate, ProgressReportsAndCancelLeavesTheSourceIntact)
{
    OwnedBitmap src(Rgb, 4, 3);
    fillRandom(src.b, 8);
    struct Log {
        std::vector<uint32_t> positions;
        int stopAfter;
    } log{{}, 100};
    auto callback = [](uint32_t position, uint32_t total, uintptr_t user, uint32_t) -> int {
        auto* l = reinterpret_cast<Log*>(user);
        EXPECT_EQ(total, 4u);
        l->positions.push_back(position);
        return int(l->positions.size()) >= l->stopAfter;
    };
    Bitmap out;
    ASSERT_EQ(bitmapRotate(src.b, &out, 90, 0, callback, reinterpret_cast<uintptr_t>(&log)), 0);
    EXPECT_EQ(log.positions, (std::vector<uint32_t>{0, 3, 6, 9}));
    bitmapFree(out);
    log = {{}, 100};
    ASSERT_EQ(bitmapRotate(src.b, &out, -90, 0, callback, reinterpret_cast<uintptr_t>(&log)), 0);
    EXPECT_EQ(log.positions, (std::vector<uint32_t>{9, 6, 3, 0}));
    bitmapFree(out);

    log = {{}, 2};
    std::vector<uint8_t> before(bitmapRow(src.b, 0), bitmapRow(src.b, 0) + src.b.bytesPerRow * 3);
    EXPECT_EQ(bitmapRotate(src.b, nullptr, 90, 0, callback, reinterpret_cast<uintptr_t>(&log)), 15);
    EXPECT_EQ(src.b.width, 4);
    EXPECT_EQ(std::memcmp(before.data(), src.b.pixels, before.size()), 0);
}

TEST(MirrorFlip, RectangleChangesOnlyItsInside)
{
    OwnedBitmap src(Rgb, 6, 5);
    fillRandom(src.b, 10);
    const Rect rect{1, 1, 3, 2};
    Bitmap m, f;
    ASSERT_EQ(bitmapMirror(src.b, &m, &rect), 0);
    ASSERT_EQ(bitmapFlip(src.b, &f, &rect), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            const int mx = inside ? 1 + 3 - 1 - (x - 1) : x;
            const int fy = inside ? 1 + 2 - 1 - (y - 1) : y;
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(bitmapRow(m, y)[x * 3 + k], src.at(mx, y, k));
                EXPECT_EQ(bitmapRow(f, y)[x * 3 + k], src.at(x, fy, k));
            }
        }
    bitmapFree(m);
    bitmapFree(f);
    const Rect outside{10, 0, 2, 2};
    EXPECT_EQ(bitmapMirror(src.b, nullptr, &outside), 16);
    EXPECT_EQ(bitmapFlip(src.b, nullptr, &outside), 16);
}

TEST(MirrorFlip, BinaryRowsBitByBit)
{
    OwnedBitmap bits(Binary, 11, 2, 1);
    fillRandom(bits.b, 11);
    for (int y = 0; y < 2; ++y) bitmapRow(bits.b, y)[1] &= 0xE0;  // keep the padding clear
    Bitmap m;
    ASSERT_EQ(bitmapMirror(bits.b, &m, nullptr), 0);
    for (int x = 0; x < 11; ++x) EXPECT_EQ(bitGet(bitmapRow(m, 0), x), bitGet(bitmapRow(bits.b, 0), 10 - x));
    EXPECT_EQ(bitmapRow(m, 0)[1] & 0x1F, 0);
    ASSERT_EQ(bitmapFlip(m, nullptr, nullptr), 0);  // in place
    for (int x = 0; x < 11; ++x) EXPECT_EQ(bitGet(bitmapRow(m, 1), x), bitGet(bitmapRow(bits.b, 0), 10 - x));
    bitmapFree(m);
}

TEST(Crop, StoredRowsAndPictureRows)
{
    OwnedBitmap src(Grey, 100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) src.at(x, y) = static_cast<uint8_t>(x + y);
    const Rect rect{-10, -10, 20, 20};
    Bitmap out;
    ASSERT_EQ(bitmapCropView(src.b, &out, &rect), 0);
    EXPECT_EQ(out.width, 10);
    EXPECT_EQ(out.height, 10);
    EXPECT_EQ(bitmapRow(out, 9)[9], 18);
    bitmapFree(out);

    // Bottom-up rows: the crop still comes from the top of the picture, stored bottom-up.
    src.b.origin = OriginBottom;
    ASSERT_EQ(bitmapCropView(src.b, &out, &rect), 0);
    EXPECT_EQ(out.origin, OriginBottom);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(bitmapRow(out, 9 - i)[0], 99 - i) << i;  // picture row i = stored row 99 - i
    bitmapFree(out);

    ASSERT_EQ(bitmapCrop(src.b, &out, &rect), 0);
    EXPECT_EQ(bitmapRow(out, 9)[0], 9);  // stored-row coordinates
    bitmapFree(out);
    const Rect empty{100, 0, 5, 5};
    EXPECT_EQ(bitmapCrop(src.b, &out, &empty), 16);
    EXPECT_EQ(bitmapCropView(src.b, &out, &empty), 16);

    OwnedBitmap bits(Binary, 20, 2);
    fillRandom(bits.b, 12);
    const Rect part{3, 1, 9, 1};
    ASSERT_EQ(bitmapCrop(bits.b, &out, &part), 0);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(bitGet(bitmapRow(out, 0), x), bitGet(bitmapRow(bits.b, 1), 3 + x));
    bitmapFree(out);
}

TEST(FitIntoBox, KeepsProportionsWithIntegerDivision)
{
    int w, h;
    fitIntoBox(1000, 500, 100, 100, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    fitIntoBox(500, 1000, 100, 100, w, h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 100);
    fitIntoBox(10000, 1, 100, 100, w, h);
    EXPECT_EQ(h, 1);
    fitIntoBox(1, 10000, 100, 100, w, h);
    EXPECT_EQ(w, 1);
}
