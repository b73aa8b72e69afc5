// The load pipeline's rules, driven with rows made in the test: output kinds,
// reduction while reading, origins, palettes, colour models, callbacks.
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/load.h"
#include "tests/imagelib/synthetic_reader.h"
#include "tests/support/bitmap_support.h"

using namespace fotrix;
using testsupport::bitmapRowBytes;
using testsupport::loadSynthetic;
using testsupport::SyntheticPicture;
using testsupport::syntheticPicture;

namespace {

using Loaded = testsupport::OwnedBitmap;

// An 8-bit grey picture whose pixel (x, y) is `value(x, y)`.
template <typename Value>
SyntheticPicture greyPicture(int width, int height, Value value)
{
    SyntheticPicture picture = syntheticPicture(width, height, 1, 8);
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row(width);
        for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(value(x, y));
        picture.rows.push_back(row);
    }
    return picture;
}

LoadParams boxParams(int w, int h)
{
    LoadParams params;
    params.maxWidth = w;
    params.maxHeight = h;
    return params;
}

TEST(Pipeline, BoxFitKeepsProportionsAndNeverEnlarges)
{
    struct Case {
        int w, h, boxW, boxH, outW, outH;
    } cases[] = {{1000, 500, 100, 100, 100, 50}, {500, 1000, 100, 100, 50, 100}, {50, 50, 100, 100, 50, 50},
                 {1000, 500, -1, -1, 1000, 500}, {1000, 500, 100, 0, 1000, 500}, {1000, 3, 100, 100, 100, 1}};
    for (const Case& c : cases) {
        Loaded loaded;
        ASSERT_EQ(loadSynthetic(greyPicture(c.w, c.h, [](int, int) { return 7; }), boxParams(c.boxW, c.boxH), loaded.bitmap), 0);
        EXPECT_EQ(loaded.bitmap.width, c.outW) << c.w << "x" << c.h << " into " << c.boxW << "x" << c.boxH;
        EXPECT_EQ(loaded.bitmap.height, c.outH) << c.w << "x" << c.h << " into " << c.boxW << "x" << c.boxH;
    }
}

TEST(Pipeline, NearestReductionKeepsTheFirstRowOfEachRunAndTheLastColumn)
{
    // 10 rows to 3 keeps file rows 0, 4 and 7; 10 columns to 3 keeps 3, 6 and 9.
    Loaded loaded;
    const auto picture = greyPicture(10, 10, [](int x, int y) { return y * 10 + x; });
    ASSERT_EQ(loadSynthetic(picture, boxParams(3, 3), loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.width, 3);
    ASSERT_EQ(loaded.bitmap.height, 3);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{3, 6, 9}));
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 1), (std::vector<uint8_t>{43, 46, 49}));
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 2), (std::vector<uint8_t>{73, 76, 79}));
}

TEST(Pipeline, BottomUpRowsAreTurnedUnlessTheCallerWantsThemSo)
{
    SyntheticPicture picture = greyPicture(2, 3, [](int, int y) { return y; });
    picture.header.fileOrigin = OriginBottom;
    Loaded top, bottom;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, top.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(top.bitmap, 0), (std::vector<uint8_t>{2, 2}));
    EXPECT_EQ(top.bitmap.origin, 0);
    LoadParams params;
    params.origin = OriginBottom;
    ASSERT_EQ(loadSynthetic(picture, params, bottom.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(bottom.bitmap, 0), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(bottom.bitmap.origin, OriginBottom);
}

TEST(Pipeline, RightToLeftRowsAreMirrored)
{
    SyntheticPicture picture = greyPicture(3, 1, [](int x, int) { return x; });
    picture.header.fileOrigin = OriginRight;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{2, 1, 0}));
}

TEST(Pipeline, SizesOfFourHundredThousandAreRefused)
{
    Loaded loaded;
    SyntheticPicture picture = syntheticPicture(400000, 1, 1, 8);
    EXPECT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 2);
    picture = syntheticPicture(10, 10, 1, 33);
    EXPECT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 2);
}

TEST(Pipeline, FourBitRowsSpreadHighNibbleFirst)
{
    SyntheticPicture picture = syntheticPicture(3, 1, 1, 4);
    picture.rows = {{0x12, 0x34}};
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Grey);
    EXPECT_EQ(loaded.bitmap.bitsPerComponent, 4);
    EXPECT_EQ(loaded.bitmap.colorCount, 16);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Pipeline, PlanesInARowCombineValuesThatStraddleBytes)
{
    // Two planes of 3-bit values one after another: 5, 2, 7 and 1, 0, 3.
    SyntheticPicture picture = syntheticPicture(3, 1, 2, 3);
    picture.header.sampleFlags = SamplePlanesInRow;
    picture.header.bytesPerPlane = 2;
    picture.rows = {{0xAB, 0x80, 0x21, 0x80}};
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{5 | 1 << 3, 2, 7 | 3 << 3}));
}

TEST(Pipeline, Packed565PixelsWidenToEightBits)
{
    SyntheticPicture picture = syntheticPicture(2, 1, 1, 16);
    picture.header.sampleFlags = SamplePacked16 | Sample565;
    picture.rows = {{0xFF, 0xFF, 0x10, 0x84}};
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Rgb);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{255, 255, 255, 131, 129, 131}));
}

TEST(Pipeline, BgrRowsStoredAsBgrAreCopiedUnchanged)
{
    SyntheticPicture picture = syntheticPicture(2, 1, 1, 24);
    picture.header.sampleFlags = SampleReversed;
    picture.rows = {{1, 2, 3, 4, 5, 6}};
    LoadParams params;
    params.channelOrder = 1;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Bgr);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(Pipeline, ThirtyTwoBitPixelsFollowTheChannelOrder)
{
    SyntheticPicture picture = syntheticPicture(1, 1, 1, 32);
    picture.header.sampleFlags = SampleBgra;  // B, G, R, A in the file
    picture.rows = {{10, 20, 30, 40}};
    struct Case {
        uint16_t order;
        uint16_t type;
        std::vector<uint8_t> pixel;
    } cases[] = {{0, Rgba, {30, 20, 10, 40}}, {1, Abgr, {40, 10, 20, 30}}, {2, Bgra, {10, 20, 30, 40}}, {3, Argb, {40, 30, 20, 10}}};
    for (const Case& c : cases) {
        LoadParams params;
        params.channelOrder = c.order;
        Loaded loaded;
        ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
        EXPECT_EQ(loaded.bitmap.type, c.type);
        EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), c.pixel) << "order " << c.order;
    }
    LoadParams noAlpha;
    noAlpha.options = NoAlpha;
    Loaded three;
    ASSERT_EQ(loadSynthetic(picture, noAlpha, three.bitmap), 0);
    EXPECT_EQ(three.bitmap.type, Rgb);
    EXPECT_EQ(bitmapRowBytes(three.bitmap, 0), (std::vector<uint8_t>{30, 20, 10}));
}

TEST(Pipeline, FillAlphaCompletesPixelsWithoutAlpha)
{
    SyntheticPicture picture = syntheticPicture(1, 1, 1, 24);
    picture.rows = {{1, 2, 3}};
    LoadParams params;
    params.options = ForceAlpha;
    params.fillAlpha = 77;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{1, 2, 3, 77}));
}

SyntheticPicture oneBitPicture(std::vector<uint8_t> palette)
{
    SyntheticPicture picture = syntheticPicture(8, 1, 1, 1);
    picture.rows = {{0xF0}};
    picture.palette = std::move(palette);
    return picture;
}

TEST(Pipeline, OneBitPalettesDecideBetweenBinaryAndIndexed)
{
    Loaded whiteBlack, redBlue, blackWhite;
    ASSERT_EQ(loadSynthetic(oneBitPicture({255, 255, 255, 0, 0, 0}), LoadParams{}, whiteBlack.bitmap), 0);
    EXPECT_EQ(whiteBlack.bitmap.type, Binary);
    EXPECT_EQ(bitmapRowBytes(whiteBlack.bitmap, 0), (std::vector<uint8_t>{0x0F}));  // inverted: 0 is black
    ASSERT_EQ(loadSynthetic(oneBitPicture({0, 0, 0, 255, 255, 255}), LoadParams{}, blackWhite.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(blackWhite.bitmap, 0), (std::vector<uint8_t>{0xF0}));
    ASSERT_EQ(loadSynthetic(oneBitPicture({255, 0, 0, 0, 0, 255}), LoadParams{}, redBlue.bitmap), 0);
    EXPECT_EQ(redBlue.bitmap.type, Indexed);
    EXPECT_EQ(redBlue.bitmap.colorCount, 2);
    ASSERT_NE(redBlue.bitmap.palette, nullptr);
    EXPECT_EQ(redBlue.bitmap.palette[PaletteRed + 0], 255);
    EXPECT_EQ(redBlue.bitmap.palette[PaletteBlue + 1], 255);
    EXPECT_EQ(bitmapRowBytes(redBlue.bitmap, 0), (std::vector<uint8_t>{1, 1, 1, 1, 0, 0, 0, 0}));
}

TEST(Pipeline, ExpandBinaryGivesGreyLevelsNoneOrZeroAndFull)
{
    LoadParams params;
    params.options = ExpandBinary;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(oneBitPicture({255, 255, 255, 0, 0, 0}), params, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Grey);
    EXPECT_EQ(loaded.bitmap.bitsPerComponent, 8);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(Pipeline, PalettePicturesExpandToTrueColourOnRequest)
{
    SyntheticPicture picture = syntheticPicture(2, 1, 1, 8);
    picture.rows = {{0, 1}};
    picture.paletteFormat = PaletteRgb | PaletteBgrOrder;
    picture.palette.assign(256 * 3, 0);
    picture.palette[3] = 200;  // entry 1: B 200, G 100, R 50
    picture.palette[4] = 100;
    picture.palette[5] = 50;
    LoadParams params;
    params.options = ForceTrueColour;
    params.channelOrder = 1;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Bgr);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{0, 0, 0, 200, 100, 50}));
}

TEST(Pipeline, SixteenBitPalettesScaleTheirFields)
{
    SyntheticPicture picture = syntheticPicture(1, 1, 1, 1);
    picture.rows = {{0x00}};
    picture.paletteFormat = Palette444Split;
    // 0x0F00: red 7 in bits 8-10 and its low bit (bit 11) set: red 15.
    picture.palette = {0x0F, 0x00, 0x00, 0x01};
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.type, Indexed);
    EXPECT_EQ(loaded.bitmap.palette[PaletteRed], 255);
    // 0x0001: blue bits 0-2 hold 1 and the low bit (bit 3) is clear: blue 2 of 15.
    EXPECT_EQ(loaded.bitmap.palette[PaletteBlue + 1], 34);
}

TEST(Pipeline, InvertedCmykBecomesRgbOrInkAmounts)
{
    SyntheticPicture picture = syntheticPicture(2, 1, 1, 32);
    picture.header.sampleFlags = SampleCmykInverted;
    picture.rows = {{255, 255, 255, 255, 0, 255, 255, 128}};  // no ink; full cyan at half black
    Loaded rgb, cmyk;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, rgb.bitmap), 0);
    EXPECT_EQ(rgb.bitmap.type, Rgb);
    EXPECT_EQ(bitmapRowBytes(rgb.bitmap, 0), (std::vector<uint8_t>{255, 255, 255, 0, 128, 128}));
    LoadParams keep;
    keep.options = KeepCmyk;
    ASSERT_EQ(loadSynthetic(picture, keep, cmyk.bitmap), 0);
    EXPECT_EQ(cmyk.bitmap.type, Cmyk);
    EXPECT_EQ(bitmapRowBytes(cmyk.bitmap, 0), (std::vector<uint8_t>{0, 0, 0, 0, 255, 0, 0, 127}));
}

TEST(Pipeline, LabWhiteAndBlackBecomeRgbWhiteAndBlack)
{
    SyntheticPicture picture = syntheticPicture(3, 1, 1, 8, 3);
    picture.header.sampleFlags = SampleLab;
    picture.rows = {{255, 128, 128, 0, 128, 128, 136, 128, 128}};
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.type, Rgb);
    const auto row = bitmapRowBytes(loaded.bitmap, 0);
    for (int c = 0; c < 3; ++c) EXPECT_GE(row[c], 254) << c;
    for (int c = 3; c < 6; ++c) EXPECT_EQ(row[c], 0) << c;
    // L* 53.3 is middle grey: about 128 in sRGB, the same in every channel.
    EXPECT_NEAR(row[6], 128, 3);
    EXPECT_NEAR(row[6], row[7], 2);
}

TEST(Pipeline, PlanePassesFillTheirChannelsAndIgnoreExtraPlanes)
{
    SyntheticPicture picture = syntheticPicture(2, 1, 4, 8);
    picture.header.sampleFlags = SamplePlanePasses;
    picture.header.bytesPerPlane = 2;
    picture.rows = {{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    LoadParams params;
    params.options = NoAlpha;
    params.channelOrder = 1;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    EXPECT_EQ(loaded.bitmap.type, Bgr);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{5, 3, 1, 6, 4, 2}));
}

TEST(Pipeline, AreaAverageOfWholeBlocksIsTheirMean)
{
    // 4x4 RGB to 2x2: each output pixel is the mean of a 2x2 block.
    SyntheticPicture picture = syntheticPicture(4, 4, 1, 24);
    for (int y = 0; y < 4; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) row.push_back(static_cast<uint8_t>((x / 2) * 100 + (y / 2) * 40 + (x % 2) * 2 + c));
        picture.rows.push_back(row);
    }
    LoadParams params = boxParams(2, 2);
    params.scaleMethod = ScaleAreaAverage;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.width, 2);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{1, 2, 3, 101, 102, 103}));
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 1), (std::vector<uint8_t>{41, 42, 43, 141, 142, 143}));
}

TEST(Pipeline, AreaAverageOfAnEvenPictureStaysEvenAtOddRatios)
{
    SyntheticPicture picture = syntheticPicture(97, 61, 1, 24);
    picture.rows.assign(61, std::vector<uint8_t>(97 * 3, 200));
    LoadParams params = boxParams(10, 10);
    params.scaleMethod = ScaleAreaAverage;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, params, loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.width, 10);
    ASSERT_EQ(loaded.bitmap.height, 6);
    for (int y = 0; y < loaded.bitmap.height; ++y)
        for (uint8_t v : bitmapRowBytes(loaded.bitmap, y)) EXPECT_NEAR(v, 200, 1) << "row " << y;
}

TEST(Pipeline, DeepSamplesKeepSixteenBitsAndOnlyTheChannelsThatFit)
{
    // Grey with alpha, 16 bits a sample: three deep samples a pixel, alpha dropped.
    SyntheticPicture picture = syntheticPicture(2, 1, 1, 16, 2);
    picture.rows = {{0x34, 0x12, 0xFF, 0xFF, 0x78, 0x56, 0x00, 0x00}};
    LoadParams params;
    params.options = KeepDeep;
    Loaded deep, narrow;
    ASSERT_EQ(loadSynthetic(picture, params, deep.bitmap), 0);
    EXPECT_EQ(deep.bitmap.type, Rgb);
    EXPECT_EQ(deep.bitmap.bitsPerComponent, 16);
    EXPECT_EQ(deep.bitmap.bytesPerPixel, 6);
    EXPECT_EQ(bitmapRowBytes(deep.bitmap, 0),
              (std::vector<uint8_t>{0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 0x78, 0x56, 0x78, 0x56}));
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, narrow.bitmap), 0);
    EXPECT_EQ(bitmapRowBytes(narrow.bitmap, 0), (std::vector<uint8_t>{0x12, 0x12, 0x12, 0x56, 0x56, 0x56}));
}

TEST(Pipeline, CancellingStopsTheLoad)
{
    LoadParams params;
    params.cancelCallback = [](void*) { return 1; };
    Loaded loaded;
    EXPECT_EQ(loadSynthetic(greyPicture(4, 4, [](int, int) { return 0; }), params, loaded.bitmap), 15);
}

TEST(Pipeline, ProgressReachesOneHundredInOrder)
{
    std::vector<int> seen;
    LoadParams params;
    params.progressData = &seen;
    params.progressCallback = [](int percent, void* data) { static_cast<std::vector<int>*>(data)->push_back(percent); };
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(greyPicture(3, 7, [](int, int) { return 0; }), params, loaded.bitmap), 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST(Pipeline, InformationModeStopsAtTheHeaderAndDescribesTheFullPicture)
{
    SyntheticPicture picture = syntheticPicture(100, 75, 1, 24);
    picture.header.fullWidth = 800;
    picture.header.fullHeight = 600;
    picture.header.fullComponents = 3;
    std::strcpy(picture.header.description, "Test picture");
    LoadParams params;
    params.options = InfoOnly;
    FileInfo info;
    Loaded loaded;
    EXPECT_EQ(loadSynthetic(picture, params, loaded.bitmap, &info), -1);
    EXPECT_EQ(info.width, 800);
    EXPECT_EQ(info.height, 600);
    EXPECT_EQ(info.componentCount, 3);
    EXPECT_STREQ(info.description, "Test picture");
    EXPECT_EQ(loaded.bitmap.pixels, nullptr);
}

TEST(Pipeline, ColumnOriginsAreTurnedUpright)
{
    // Rows that are columns, first column first (origin 128): the picture is
    // the transpose of what the file stores.
    SyntheticPicture picture = greyPicture(3, 2, [](int x, int y) { return y * 10 + x; });
    picture.header.fileOrigin = 128;
    Loaded loaded;
    ASSERT_EQ(loadSynthetic(picture, LoadParams{}, loaded.bitmap), 0);
    ASSERT_EQ(loaded.bitmap.width, 2);
    ASSERT_EQ(loaded.bitmap.height, 3);
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 0), (std::vector<uint8_t>{0, 10}));
    EXPECT_EQ(bitmapRowBytes(loaded.bitmap, 2), (std::vector<uint8_t>{2, 12}));
}

}  // namespace

// Readers of uncompressed rows may read them straight into the bitmap. Every
// combination of layout, origins, block size and reduction must give the same
// bitmap as rows handed over through the row buffer, and the plain cases must
// really skip the buffer.
TEST(Pipeline, RowsReadIntoTheBitmapGiveTheSameBitmapAsTheRowBuffer)
{
    struct Layout {
        int bitsPerPlane;
        int bytesPerPixel;
    };
    const Layout layouts[] = {{8, 1}, {24, 3}, {32, 4}};
    const uint16_t fileOrigins[] = {0, OriginBottom, OriginRight};
    const uint16_t wantedOrigins[] = {0, OriginBottom};
    for (const Layout& layout : layouts) {
        for (uint16_t fileOrigin : fileOrigins) {
            for (uint16_t wanted : wantedOrigins) {
                for (int rowsPerCall : {1, 3}) {
                    for (int maxSide : {-1, 4}) {
                      for (int width : {7, 8}) {
                        SyntheticPicture picture = syntheticPicture(width, 8, 1, layout.bitsPerPlane);
                        picture.header.fileOrigin = fileOrigin;
                        picture.header.rowsPerCall = static_cast<int16_t>(rowsPerCall);
                        for (int y = 0; y < 8; ++y) {
                            std::vector<uint8_t> row(width * layout.bytesPerPixel);
                            for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(31 * y + 7 * i + 1);
                            picture.rows.push_back(row);
                        }
                        LoadParams params = boxParams(maxSide, maxSide);
                        params.origin = wanted;
                        Loaded viaBuffer, placed;
                        ASSERT_EQ(loadSynthetic(picture, params, viaBuffer.bitmap), 0);
                        int rowsInBitmap = 0;
                        picture.placeRows = true;
                        picture.rowsPlacedInBitmap = &rowsInBitmap;
                        ASSERT_EQ(loadSynthetic(picture, params, placed.bitmap), 0);
                        const std::string what = "bits " + std::to_string(layout.bitsPerPlane) + " file origin " +
                                                 std::to_string(fileOrigin) + " wanted " + std::to_string(wanted) +
                                                 " rows per call " + std::to_string(rowsPerCall) + " max " +
                                                 std::to_string(maxSide) + " width " + std::to_string(width);
                        ASSERT_EQ(placed.bitmap.height, viaBuffer.bitmap.height) << what;
                        for (int y = 0; y < placed.bitmap.height; ++y)
                            EXPECT_EQ(bitmapRowBytes(placed.bitmap, y), bitmapRowBytes(viaBuffer.bitmap, y)) << what;
                        // Blocks of rows need the bitmap's rows to follow at the
                        // reader's stride: width 8 keeps every layout aligned.
                        const bool plain = fileOrigin == wanted && maxSide < 0 && (rowsPerCall == 1 || width == 8);
                        if (plain) { EXPECT_EQ(rowsInBitmap, 8) << what; }
                        if (maxSide > 0 || (fileOrigin & OriginRight)) { EXPECT_EQ(rowsInBitmap, 0) << what; }
                      }
                    }
                }
            }
        }
    }
}
