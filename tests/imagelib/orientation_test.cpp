// bitmapApplyOrientation against ImageMagick's -auto-orient on Pillow's
// pictures tagged with each orientation value, and on bottom-up and
// one-bit bitmaps whose pixels are known.
#include <gtest/gtest.h>

#include "imagelib/bitmap.h"
#include "imagelib/transform.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using testsupport::Pixels;
using testsupport::testdata;

TEST(Orientation, EveryValueMatchesImageMagickAutoOrient)
{
    if (!testsupport::haveTool("convert")) SKIP_MISSING("no convert");
    for (int value = 2; value <= 8; ++value) {
        const auto jpeg = testdata("pillow/jpeg") / ("hopper_orientation_" + std::to_string(value) + ".jpg");
        if (!std::filesystem::exists(jpeg)) SKIP_MISSING("missing " << jpeg);
        SCOPED_TRACE(value);
        testsupport::TempDir dir;
        const auto pam = dir / "upright.pam";
        ASSERT_EQ(testsupport::run("/usr/bin/convert '" + jpeg.string() + "' -auto-orient -depth 8 'pam:" +
                                   pam.string() + "'"), 0);
        Pixels reference;
        ASSERT_TRUE(testsupport::readPnm(pam, reference));

        LoadParams params;
        loadParamsDefaults(params);
        params.rowAlignment = 1;
        Bitmap bitmap;
        ASSERT_EQ(loadBitmap(jpeg.string(), bitmap, params, nullptr), 0);
        ASSERT_EQ(bitmap.type, Rgb);
        ASSERT_EQ(bitmapApplyOrientation(bitmap, value), 0);
        Pixels ours{bitmap.width, bitmap.height, 3, {}};
        for (int y = 0; y < bitmap.height; ++y)
            ours.data.insert(ours.data.end(), bitmapRow(bitmap, y), bitmapRow(bitmap, y) + 3 * bitmap.width);
        bitmapFree(bitmap);
        EXPECT_EQ(testsupport::maxDifference(ours, reference), 0);
    }
}

// A 3x2 grey picture 0 1 2 / 3 4 5 in each orientation, stored top-down and
// bottom-up: the upright result is the same picture.
TEST(Orientation, SmallGreyPictureInEveryOrientation)
{
    // Stored picture for each value, whose upright form is 0 1 2 / 3 4 5.
    struct Case {
        int value, width, height;
        std::vector<uint8_t> stored;
    };
    const std::vector<Case> cases = {
        {1, 3, 2, {0, 1, 2, 3, 4, 5}}, {2, 3, 2, {2, 1, 0, 5, 4, 3}}, {3, 3, 2, {5, 4, 3, 2, 1, 0}},
        {4, 3, 2, {3, 4, 5, 0, 1, 2}}, {5, 2, 3, {0, 3, 1, 4, 2, 5}}, {6, 2, 3, {2, 5, 1, 4, 0, 3}},
        {7, 2, 3, {5, 2, 4, 1, 3, 0}}, {8, 2, 3, {3, 0, 4, 1, 5, 2}},
    };
    for (const uint16_t origin : {uint16_t{0}, uint16_t{OriginBottom}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "value " << c.value << " origin " << origin);
            Bitmap bitmap;
            ASSERT_TRUE(bitmapAllocate(bitmap, Grey, 1, c.width, c.height));
            bitmap.origin = origin;
            // bitmapRow gives the stored row; bottom-up bitmaps hold the top row last.
            for (int y = 0; y < c.height; ++y) {
                const int stored = origin ? c.height - 1 - y : y;
                for (int x = 0; x < c.width; ++x) bitmapRow(bitmap, stored)[x] = c.stored[y * c.width + x];
            }
            ASSERT_EQ(bitmapApplyOrientation(bitmap, c.value), 0);
            ASSERT_EQ(bitmap.width, 3);
            ASSERT_EQ(bitmap.height, 2);
            std::vector<uint8_t> upright;
            for (int y = 0; y < 2; ++y) {
                const int stored = (bitmap.origin & OriginBottom) ? 1 - y : y;
                for (int x = 0; x < 3; ++x) upright.push_back(bitmapRow(bitmap, stored)[x]);
            }
            EXPECT_EQ(upright, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5}));
            bitmapFree(bitmap);
        }
    }
}
