// The Crop tool's scale between preview and picture.
#include <gtest/gtest.h>

#include "app/tools/crop_rules.h"

namespace {

void expectRect(const fotrix::Rect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

TEST(CropRules, preview_rectangle_becomes_picture_pixels)
{
    expectRect(fotrix::previewToPicture({10, 10, 50, 40}, 500), 50, 50, 250, 200);
    EXPECT_EQ(fotrix::cropScale(1600, 320), 500);
    // 1000 / 320 = 3.125: the truncated 312 % loses the fraction.
    EXPECT_EQ(fotrix::cropScale(1000, 320), 312);
    expectRect(fotrix::previewToPicture({1, 3, 320, 240}, 312), 3, 9, 998, 748);
}

TEST(CropRules, fields_shown_back_on_the_preview)
{
    expectRect(fotrix::pictureToPreview({50, 50, 250, 200}, 500), 10, 10, 50, 40);
    // A picture narrower than a hundredth of the preview still has a scale.
    EXPECT_EQ(fotrix::cropScale(2, 320), 1);
    expectRect(fotrix::pictureToPreview({1, 1, 2, 2}, 0), 100, 100, 200, 200);
}

TEST(CropRules, typed_fields_stay_within_the_spin_ranges)
{
    expectRect(fotrix::clampCropFields({-5, 2000, 0, 99999}, 1600, 1200), 0, 1200, 1, 1200);
    expectRect(fotrix::clampCropFields({10, 20, 30, 40}, 1600, 1200), 10, 20, 30, 40);
}

}  // namespace
