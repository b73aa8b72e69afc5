// The Resize, Adjust and Crop tools driven through the script, their
// outputs read back with ImageMagick and exiftool.
#include "tests/app/tools_rotate_fixture.h"

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using toolstest::ToolScript;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

// The mean of one channel (0..255) as ImageMagick reads it.
int meanOf(const fs::path& file, const char* channel)
{
    std::string out;
    EXPECT_EQ(testsupport::run("convert " + q(file) + " -channel " + channel + " -separate -format '%[fx:int(mean*255+0.5)]' info:",
                               &out),
              0);
    return std::atoi(out.c_str());
}

TEST_F(ToolScript, resize_preset_follows_a_portrait_picture_and_patches_exif)
{
    makeJpeg("tall.jpg", 120, 160);
    ASSERT_EQ(runScript("command 4048\ncommand 4052\ndialog-select 1030 5\ndialog-command 1080\n"
                        "dialog-command 1"),
              0);
    EXPECT_EQ(exif(pictures / "tall_m.jpg", "-ImageSize -ExifImageWidth -ExifImageHeight -Artist"),
              "ImageSize=240 320 ExifImageWidth=240 ExifImageHeight=320 Artist=Tester ");
}

TEST_F(ToolScript, resize_user_size_keeps_proportions_and_writes_the_resolution)
{
    makeJpeg("wide.jpg", 400, 200);
    storeNumber("Resize", "List", 0);
    storeNumber("Resize", "Ratio", 0);
    // Typed with the box off, the fields stay 100 x 100; with it on, Apply fits the picture inside.
    ASSERT_EQ(runScript("command 4048\ncommand 4052\ndialog-text 1001 \"100\"\ndialog-text 1002 \"100\"\n"
                        "dialog-text 1004 \"150\"\ndialog-check 1032 1\ndialog-command 1080\ndialog-command 1"),
              0);
    EXPECT_EQ(size(pictures / "wide_m.jpg"), "100x50");
    EXPECT_EQ(exif(pictures / "wide_m.jpg", "-JFIF:XResolution -JFIF:ResolutionUnit"),
              "XResolution=150 ResolutionUnit=1 ");
}

TEST_F(ToolScript, resize_linked_fields_follow_the_picture_proportion)
{
    makeJpeg("wide.jpg", 400, 200);
    storeNumber("Resize", "List", 0);
    storeNumber("Resize", "Ratio", 1);
    // Typing the width sets the height to 200 * 120 / 400; the box is then
    // unticked, so Apply takes the two fields as they stand.
    ASSERT_EQ(runScript("command 4048\ncommand 4052\ndialog-text 1001 \"120\"\ndialog-check 1032 0\n"
                        "dialog-command 1080\ndialog-command 1"),
              0);
    EXPECT_EQ(size(pictures / "wide_m.jpg"), "120x60");
}

TEST_F(ToolScript, resize_to_a_quarter_of_a_tiny_picture_is_skipped)
{
    ASSERT_EQ(testsupport::run("convert -size 3x3 xc:red " + q(pictures / "dot.bmp")), 0);
    storeNumber("Resize", "List", 11);
    ASSERT_EQ(runScript("command 4048\ncommand 4052\ndialog-command 1080"), 0);
    EXPECT_FALSE(fs::exists(pictures / "dot_m.jpg"));
    EXPECT_EQ(state("result"), "-4 " + (pictures / "dot.bmp").string());
}

TEST_F(ToolScript, adjust_neutral_resaves_unchanged_and_brightness_is_clamped)
{
    ASSERT_EQ(testsupport::run("convert -size 16x16 xc:'rgb(100,100,100)' " + q(pictures / "grey.png")), 0);
    storeNumber("Convert", "Format", 3);  // PNG
    ASSERT_EQ(runScript("command 4048\ncommand 4055\ndialog-command 1080\ndialog-command 1"), 0);
    EXPECT_EQ(meanOf(pictures / "grey_m.png", "R"), 100);

    fs::remove(pictures / "grey_m.png");
    // 250 is stored as 100: level 100 becomes 200, not 255.
    ASSERT_EQ(runScript("command 4048\ncommand 4055\ndialog-text 1224 \"250\"\ndialog-command 1080\n"
                        "dialog-command 1"),
              0);
    EXPECT_EQ(meanOf(pictures / "grey_m.png", "R"), 200);
}

TEST_F(ToolScript, adjust_red_offset_tints_a_grey_picture)
{
    // ImageMagick stores this flat grey as a grey PNG, which loads with one byte a pixel.
    ASSERT_EQ(testsupport::run("convert -size 16x16 xc:'rgb(100,100,100)' " + q(pictures / "grey.png")), 0);
    storeNumber("Convert", "Format", 3);
    ASSERT_EQ(runScript("command 4048\ncommand 4055\ndialog-select 1145 3\ndialog-text 1224 \"30\"\n"
                        "dialog-command 1080\ndialog-command 1"),
              0);
    EXPECT_EQ(meanOf(pictures / "grey_m.png", "R"), 130);
    EXPECT_EQ(meanOf(pictures / "grey_m.png", "G"), 100);
    EXPECT_EQ(meanOf(pictures / "grey_m.png", "B"), 100);
}

TEST_F(ToolScript, crop_opens_on_the_whole_picture_and_crops_the_typed_rectangle)
{
    ASSERT_EQ(testsupport::run("convert -size 160x120 gradient:white-black " + q(pictures / "g.bmp")), 0);
    storeNumber("Convert", "Format", 2);  // BMP
    ASSERT_EQ(runScript("command 4048\ncommand 4034\nstate " + (dir / "open.txt").string() +
                        "\ndialog-command 1080\ndialog-command 1"),
              0);
    EXPECT_EQ(size(pictures / "g_m.bmp"), "160x120");
    fs::remove(pictures / "g_m.bmp");
    ASSERT_EQ(runScript("command 4048\ncommand 4034\ndialog-text 1001 \"10\"\ndialog-text 1002 \"20\"\n"
                        "dialog-text 1003 \"50\"\ndialog-text 1004 \"40\"\ndialog-command 1080\ndialog-command 1"),
              0);
    EXPECT_EQ(size(pictures / "g_m.bmp"), "50x40");
    // The top row of the crop is row 20 of the vertical gradient.
    std::string top, expected;
    testsupport::run("convert " + q(pictures / "g_m.bmp") + " -format '%[pixel:p{0,0}]' info:", &top);
    testsupport::run("convert " + q(pictures / "g.bmp") + " -format '%[pixel:p{10,20}]' info:", &expected);
    EXPECT_EQ(top, expected);
}

TEST_F(ToolScript, sharpen_soften_turns_a_palette_picture_true_colour)
{
    ASSERT_EQ(testsupport::run("convert -size 20x20 xc:'rgb(200,40,10)' -type Palette " + q(pictures / "p.gif")), 0);
    storeNumber("Convert", "Format", 3);
    ASSERT_EQ(runScript("command 4048\ncommand 4151\ndialog-check 1152 1\ndialog-command 1080\ndialog-command 1"),
              0);
    ASSERT_TRUE(fs::exists(pictures / "p_m.png"));
    EXPECT_EQ(meanOf(pictures / "p_m.png", "R"), 200);
    EXPECT_EQ(meanOf(pictures / "p_m.png", "G"), 40);
}

}  // namespace

namespace {

// A rectangle drawn with the stylus on the preview becomes picture pixels
// through the preview's scale: 896 pixels shown about 179 wide give s = 500.
using toolstest::ToolScript;

TEST_F(ToolScript, crop_drawn_on_the_preview_is_scaled_to_the_picture)
{
    ASSERT_EQ(testsupport::run("convert -size 896x600 gradient:white-black '" + (pictures / "big.bmp").string() + "'"),
              0);
    storeNumber("Convert", "Format", 2);
    ASSERT_EQ(runScript("command 4048\ncommand 4034\ndrag 70 50 120 90\ndialog-command 1080\ndialog-command 1"), 0);
    std::string shown = size(pictures / "big_m.bmp");
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(shown.c_str(), "%dx%d", &width, &height), 2) << shown;
    // 50 x 40 preview pixels, give or take the pixel the stylus lifts on.
    EXPECT_NEAR(width, 250, 10);
    EXPECT_NEAR(height, 200, 10);
}

}  // namespace

namespace {

// A picture far larger than the target is reduced while it is read; the
// result still matches ImageMagick's own reduction of the same file.
TEST_F(ToolScript, resize_of_a_large_picture_matches_imagemagick)
{
    makeJpeg("large.jpg", 1280, 960);
    ASSERT_EQ(runScript("command 4048\ncommand 4052\ndialog-select 1030 5\ndialog-command 1080\ndialog-command 1"),
              0);
    ASSERT_EQ(size(pictures / "large_m.jpg"), "320x240");
    ASSERT_EQ(testsupport::run("convert " + q(pictures / "large.jpg") + " -resize 320x240 " + q(dir / "ref.png")), 0);
    std::string error;
    // Mean absolute error over the picture, 0..1.
    testsupport::run("compare -metric MAE " + q(pictures / "large_m.jpg") + " " + q(dir / "ref.png") +
                         " null: 2>&1 | sed 's/.*(\\(.*\\))/\\1/'",
                     &error);
    ASSERT_FALSE(error.empty());
    EXPECT_LT(std::atof(error.c_str()), 0.02) << error;
    EXPECT_EQ(exif(pictures / "large_m.jpg", "-ExifImageWidth -ExifImageHeight"),
              "ExifImageWidth=320 ExifImageHeight=240 ");
}

}  // namespace
