// Adjust-and-save (tool button 4161) driven through the script driver of the
// real program: the preview changes live, OK and Yes write the adjusted file
// with its EXIF block, Cancel leaves picture and file as they were, and a
// picture in another format is written as JPEG beside it.
#include "app/viewer/adjust_dialog.h"
#include "imagelib/adjust.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "tests/app/viewer_program_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace fotrix;
namespace fs = std::filesystem;

namespace {

TEST(AdjustSlider, positions_values_and_texts_follow_each_parameter)
{
    AdjustValues v;
    int low = 0, high = 0;
    SliderRange(0, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 200);
    SliderRange(2, &low, &high);
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 300);
    EXPECT_EQ(SliderPosition(0, v), 100);  // brightness 0 sits in the middle
    EXPECT_EQ(SliderPosition(2, v), 100);  // gamma 1.0
    SetFromSlider(0, 0, &v);
    SetFromSlider(1, 200, &v);
    SetFromSlider(2, 1, &v);
    EXPECT_EQ(v.brightness, -100);
    EXPECT_EQ(v.contrast, 100);
    EXPECT_DOUBLE_EQ(v.gamma, 0.01);
    char text[32];
    FormatParameter(0, v, text, sizeof text);
    EXPECT_STREQ(text, "-100");
    FormatParameter(2, v, text, sizeof text);
    EXPECT_STREQ(text, "0.01");
    SetFromSlider(2, 300, &v);
    FormatParameter(2, v, text, sizeof text);
    EXPECT_STREQ(text, "3.00");
    EXPECT_EQ(SliderPosition(2, v), 300);
}

TEST(AdjustSlider, the_table_is_applied_to_the_unchanged_copy)
{
    const uint8_t copy[4] = {0, 100, 200, 255};
    uint8_t shown[4] = {9, 9, 9, 9};
    AdjustValues v;
    v.brightness = 40;
    ApplyAdjustTable(v, copy, shown, 4);
    uint8_t table[256];
    buildAdjustTable(table, 40, 0, 1.0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(shown[i], table[copy[i]]) << i;
    EXPECT_GT(shown[1], copy[1]);
    ApplyAdjustTable(AdjustValues{}, copy, shown, 4);  // back to the neutral values: the picture as it was
    for (int i = 0; i < 4; ++i) EXPECT_EQ(shown[i], copy[i]) << i;
}

struct Rgb {
    int r, g, b;
};

// The pixel at (x, y) of a picture file, read through the image library.
Rgb filePixel(const fs::path& path, int x, int y)
{
    Bitmap bitmap;
    LoadParams params;
    loadParamsDefaults(params);
    params.options = NoAlpha | ForceTrueColour;
    EXPECT_EQ(loadBitmap(path.string(), bitmap, params, nullptr), 0) << path;
    Rgb rgb{-1, -1, -1};
    if (bitmap.pixels && x < bitmap.width && y < bitmap.height) {
        const uint8_t* p = bitmap.pixels + static_cast<size_t>(y) * bitmap.bytesPerRow + x * bitmap.bytesPerPixel;
        rgb = {p[0], p[1], p[2]};
    }
    bitmapFree(bitmap);
    return rgb;
}

bool near(int a, int b) { return std::abs(a - b) <= 3; }

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class AdjustScript : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    viewertest::ProgramRun program{dir.path()};

    void SetUp() override
    {
        if (!program.built()) SKIP_MISSING("fotrix is not built");
        if (std::system("convert -version >/dev/null 2>&1") != 0) SKIP_MISSING("no ImageMagick convert");
        libraryInit();
    }
    void TearDown() override { libraryExit(); }
    // A flat picture of (100, 120, 140) made by ImageMagick.
    fs::path makePicture(const std::string& name)
    {
        fs::path path = dir / "pics" / name;
        std::string command = "convert -size 200x150 xc:'rgb(100,120,140)' '" + path.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return path;
    }
    // Runs the program headless on `picture` with the script lines given.
    void run(const fs::path& picture, const std::string& lines)
    {
        ASSERT_EQ(program.run(picture, lines), 0) << program.errors();
    }
    std::string state(const std::string& name, const std::string& key) { return program.state(name, key); }
};

TEST_F(AdjustScript, the_preview_changes_live_and_ok_yes_saves_the_adjusted_jpeg_with_its_exif)
{
    fs::path picture = makePicture("a.jpg");
    if (std::system(("exiftool -q -overwrite_original -Make=TestCam '" + picture.string() + "'").c_str()) != 0)
        SKIP_MISSING("no exiftool");
    const Rgb before = filePixel(picture, 100, 75);
    run(picture, "screenshot before.png\n"
                 "command 4161\n"
                 "dialog-select 1128 0\n"
                 "dialog-text 1130 \"60\"\n"
                 "screenshot preview.png\n"
                 "state dialog.txt\n"
                 "dialog-command 1\n"
                 "state question.txt\n"
                 "dialog-command 6\n"
                 "state quality.txt\n"
                 "dialog-check 1134 1\n"
                 "dialog-command 1\n"
                 "idle\n");
    EXPECT_EQ(state("dialog.txt", "top-window"), "#32770 Adjust");
    EXPECT_EQ(state("question.txt", "message"), "Save the adjusted picture?");
    EXPECT_EQ(state("quality.txt", "top-window"), "#32770 JPEG quality");
    // The shown picture grew lighter while the dialog was open.
    const Rgb shownBefore = filePixel(dir / "before.png", 120, 150);
    const Rgb shownLive = filePixel(dir / "preview.png", 120, 150);
    EXPECT_GT(shownLive.r, shownBefore.r + 30);
    EXPECT_GT(shownLive.b, shownBefore.b + 30);
    // The file holds the original pixels through the brightness table.
    uint8_t table[256];
    buildAdjustTable(table, 60, 0, 1.0);
    const Rgb after = filePixel(picture, 100, 75);
    EXPECT_TRUE(near(after.r, table[before.r]) && near(after.g, table[before.g]) && near(after.b, table[before.b]))
        << after.r << "," << after.g << "," << after.b << " expected about " << int(table[before.r]) << ","
        << int(table[before.g]) << "," << int(table[before.b]);
    EXPECT_NE(readFile(picture).find("TestCam"), std::string::npos);  // the EXIF block came along
    EXPECT_FALSE(fs::exists(dir / "pics" / "a.jpg.tmp"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "pics"), fs::directory_iterator()), 1);
}

TEST_F(AdjustScript, cancel_or_no_leaves_the_file_and_the_shown_picture_as_they_were)
{
    fs::path picture = makePicture("b.jpg");
    const std::string original = readFile(picture);
    run(picture, "screenshot before.png\n"
                 "command 4161\n"
                 "dialog-text 1130 \"-80\"\n"
                 "dialog-command 2\n"
                 "screenshot cancelled.png\n"
                 "command 4161\n"
                 "dialog-select 1128 2\n"
                 "dialog-text 1130 \"2.5\"\n"
                 "dialog-command 1\n"
                 "dialog-command 7\n"
                 "idle\n");
    const Rgb before = filePixel(dir / "before.png", 120, 150);
    const Rgb cancelled = filePixel(dir / "cancelled.png", 120, 150);
    EXPECT_EQ(before.r, cancelled.r);
    EXPECT_EQ(before.g, cancelled.g);
    EXPECT_EQ(before.b, cancelled.b);
    EXPECT_EQ(readFile(picture), original);
}

TEST_F(AdjustScript, a_targa_picture_is_written_as_jpeg_beside_it)
{
    fs::path picture = makePicture("c.tga");
    const std::string original = readFile(picture);
    run(picture, "command 4161\n"
                 "dialog-select 1128 1\n"
                 "dialog-text 1130 \"50\"\n"
                 "dialog-command 1\n"
                 "dialog-command 6\n"
                 "dialog-command 1\n"
                 "idle\n");
    EXPECT_EQ(readFile(picture), original);
    ASSERT_TRUE(fs::exists(dir / "pics" / "c.jpg"));
    uint8_t table[256];
    buildAdjustTable(table, 0, 50, 1.0);
    const Rgb after = filePixel(dir / "pics" / "c.jpg", 10, 10);
    EXPECT_TRUE(near(after.r, table[100]) && near(after.b, table[140])) << after.r << "," << after.b;
}

}  // namespace
