// The Adjust tool's fields, its neutral rules and the sequence on a picture;
// the sharpen/soften dialog's filters on palette pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "app/tools/adjust_rules.h"
#include "app/tools/misc_rules.h"
#include "imagelib/adjust.h"
#include "tests/support/bitmap_support.h"

namespace {

using fotrix::AdjustValues;

// A 256 x 1 picture holding every level once in each of its three bytes.
void makeRamp(fotrix::Bitmap& bitmap, unsigned type)
{
    ASSERT_EQ(fotrix::bitmapAllocate(bitmap, type, 4, 256, 1), 1);
    for (int x = 0; x < 256; ++x) std::memset(bitmap.pixels + 3 * x, x, 3);
}

TEST(AdjustFields, typed_values_are_clamped_and_gamma_raised)
{
    AdjustValues values;
    fotrix::setAdjustTyped(values, fotrix::AdjustBrightness, "250");
    EXPECT_EQ(values.brightness, 100);
    EXPECT_EQ(fotrix::adjustPosition(values, fotrix::AdjustBrightness), 100);
    fotrix::setAdjustTyped(values, fotrix::AdjustRed, "-300");
    EXPECT_EQ(values.red, -100);
    fotrix::setAdjustTyped(values, fotrix::AdjustGamma, "0.05");
    EXPECT_DOUBLE_EQ(values.gamma, 0.1);
    EXPECT_EQ(fotrix::adjustFieldText(values, fotrix::AdjustGamma), "0.10");
    fotrix::setAdjustTyped(values, fotrix::AdjustGamma, "rubbish");
    EXPECT_DOUBLE_EQ(values.gamma, 0.1);
    fotrix::setAdjustTyped(values, fotrix::AdjustGamma, "2.5");
    EXPECT_EQ(fotrix::adjustPosition(values, fotrix::AdjustGamma), 25);
    EXPECT_EQ(fotrix::adjustFieldText(values, fotrix::AdjustContrast), "0");
}

TEST(AdjustFields, slider_positions_and_switching_parameters_keep_values)
{
    AdjustValues values;
    fotrix::setAdjustPosition(values, fotrix::AdjustGamma, 17);
    EXPECT_NEAR(values.gamma, 1.7, 1e-9);
    fotrix::setAdjustPosition(values, fotrix::AdjustBrightness, -40);
    // Reading the gamma's controls again after the brightness was moved.
    EXPECT_EQ(fotrix::adjustPosition(values, fotrix::AdjustGamma), 17);
    EXPECT_EQ(fotrix::adjustFieldText(values, fotrix::AdjustBrightness), "-40");
    EXPECT_EQ(fotrix::adjustRange(fotrix::AdjustGamma).lower, 10);
    EXPECT_EQ(fotrix::adjustRange(fotrix::AdjustGamma).upper, 200);
    fotrix::setAdjustPosition(values, fotrix::AdjustGamma, 0);
    EXPECT_NEAR(values.gamma, 1.0, 1e-9);  // below the slider's range: its lowest position
}

TEST(AdjustPicture, gamma_within_a_hundredth_of_one_is_neutral)
{
    AdjustValues values;
    values.gamma = 1.01;
    EXPECT_TRUE(fotrix::toneIsNeutral(values));
    values.gamma = 1.005;
    EXPECT_TRUE(fotrix::toneIsNeutral(values));
    values.gamma = 1.011;
    EXPECT_FALSE(fotrix::toneIsNeutral(values));

    // Gamma 1.01 through the tone pass would move level 94 to 95.
    uint8_t table[256];
    fotrix::buildAdjustTable(table, 0, 0, 1.01);
    ASSERT_EQ(table[94], 95);
    testsupport::OwnedBitmap ramp;
    makeRamp(ramp.bitmap, fotrix::Rgb);
    values.gamma = 1.01;
    EXPECT_EQ(fotrix::adjustPicture(ramp.bitmap, values), 0);
    for (int x = 0; x < 256; ++x) ASSERT_EQ(ramp.bitmap.pixels[3 * x], x);
}

TEST(AdjustPicture, colour_offsets_reach_the_named_channel_in_either_byte_order)
{
    AdjustValues values;
    values.red = 20;
    for (unsigned type : {unsigned(fotrix::Rgb), unsigned(fotrix::Bgr)}) {
        SCOPED_TRACE(type);
        testsupport::OwnedBitmap ramp;
        makeRamp(ramp.bitmap, type);
        ASSERT_EQ(fotrix::adjustPicture(ramp.bitmap, values), 0);
        const int redByte = type == fotrix::Rgb ? 0 : 2;
        const uint8_t* grey100 = ramp.bitmap.pixels + 3 * 100;
        EXPECT_EQ(grey100[redByte], 120);
        EXPECT_EQ(grey100[1], 100);
        EXPECT_EQ(grey100[2 - redByte], 100);
    }
}

TEST(AdjustPicture, binary_pictures_report_the_failing_step)
{
    testsupport::OwnedBitmap binary;
    ASSERT_EQ(fotrix::bitmapAllocate(binary.bitmap, fotrix::Binary, 4, 8, 8), 1);
    AdjustValues values;
    values.brightness = 10;
    values.red = 5;
    EXPECT_EQ(fotrix::adjustPicture(binary.bitmap, values), 17);
    EXPECT_EQ(fotrix::adjustPicture(binary.bitmap, AdjustValues{}), 0);
}

TEST(MiscFilters, palette_pictures_become_true_colour_only_when_filtered)
{
    testsupport::OwnedBitmap picture;
    ASSERT_EQ(fotrix::bitmapAllocate(picture.bitmap, fotrix::Indexed, 4, 6, 6), 1);
    picture.bitmap.colorCount = 2;
    picture.bitmap.palette[fotrix::PaletteRed + 1] = 200;
    picture.bitmap.palette[fotrix::PaletteGreen + 1] = 40;
    picture.bitmap.palette[fotrix::PaletteBlue + 1] = 10;
    for (int y = 0; y < 6; ++y) std::memset(picture.bitmap.pixels + y * picture.bitmap.bytesPerRow, 1, 6);

    EXPECT_EQ(fotrix::applyMiscFilters(picture.bitmap, {}), 0);
    EXPECT_EQ(picture.bitmap.type, fotrix::Indexed);

    fotrix::MiscValues values;
    values.sharpen = 50;
    values.reduceNoise = true;
    ASSERT_EQ(fotrix::applyMiscFilters(picture.bitmap, values), 0);
    ASSERT_EQ(picture.bitmap.type, fotrix::Bgr);
    // A flat area stays its colour through every filter: blue, green, red bytes.
    const uint8_t* centre = picture.bitmap.pixels + 3 * picture.bitmap.bytesPerRow + 3 * 3;
    EXPECT_EQ(centre[0], 10);
    EXPECT_EQ(centre[1], 40);
    EXPECT_EQ(centre[2], 200);
}

}  // namespace

namespace {

TEST(AdjustPicture, a_tint_turns_a_grey_picture_into_colour_and_an_even_offset_keeps_it_grey)
{
    testsupport::OwnedBitmap grey;
    ASSERT_EQ(fotrix::bitmapAllocate(grey.bitmap, fotrix::Grey, 4, 4, 4), 1);
    grey.bitmap.colorCount = 256;
    for (int y = 0; y < 4; ++y) std::memset(grey.bitmap.pixels + y * grey.bitmap.bytesPerRow, 100, 4);
    AdjustValues even;
    even.red = even.green = even.blue = 10;
    ASSERT_EQ(fotrix::adjustPicture(grey.bitmap, even), 0);
    EXPECT_EQ(grey.bitmap.type, fotrix::Grey);
    EXPECT_EQ(grey.bitmap.pixels[0], 110);
    AdjustValues tint;
    tint.red = 30;
    ASSERT_EQ(fotrix::adjustPicture(grey.bitmap, tint), 0);
    ASSERT_EQ(grey.bitmap.bytesPerPixel, 3);
    const int redByte = grey.bitmap.type == fotrix::Bgr ? 2 : 0;
    EXPECT_EQ(grey.bitmap.pixels[redByte], 140);
    EXPECT_EQ(grey.bitmap.pixels[1], 110);
    EXPECT_EQ(grey.bitmap.pixels[2 - redByte], 110);
}

}  // namespace
