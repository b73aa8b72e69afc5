// Turning a loaded picture upright by its EXIF orientation, and the decode
// command's --auto-rotate against ImageMagick's -auto-orient.
#include <gtest/gtest.h>

#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "metadata/exif.h"
#include "tests/metadata/exif_builder.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

// A 3x2 (or 2x3) grey bitmap with pixel values 1..6 in reading order and an
// EXIF block holding `orientation`.
void makeBitmap(fotrix::Bitmap& bitmap, int width, int height, int orientation)
{
    ASSERT_EQ(fotrix::bitmapAllocate(bitmap, fotrix::Grey, 1, width, height), 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) fotrix::bitmapRow(bitmap, y)[x] = uint8_t(1 + y * width + x);
    exiftest::Block b;
    b.ifd0 = {exiftest::shortValue(false, 0x0112, uint32_t(orientation))};
    auto block = exiftest::build(b);
    fotrix::metadataAppend(bitmap.metadata, fotrix::MetaExif, block.data(), uint32_t(block.size()));
}

std::vector<int> pixels(const fotrix::Bitmap& bitmap)
{
    std::vector<int> out;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) out.push_back(fotrix::bitmapRow(bitmap, y)[x]);
    return out;
}

int storedOrientation(const fotrix::Bitmap& bitmap)
{
    int value = 0;
    return fotrix::exifGetOrientation(bitmap.metadata, value) ? value : -1;
}

}  // namespace

TEST(ExifAutoRotate, landscape_pictures_are_turned_by_the_tag)
{
    struct Case {
        int orientation, width, height, code;
        std::vector<int> expected;
    };
    // Source rows: 1 2 3 / 4 5 6.
    const Case cases[] = {
        {2, 3, 2, 0, {3, 2, 1, 6, 5, 4}},
        {3, 3, 2, fotrix::ExifRotate180, {6, 5, 4, 3, 2, 1}},
        {4, 3, 2, 0, {4, 5, 6, 1, 2, 3}},
        {6, 2, 3, fotrix::ExifRotate90, {4, 1, 5, 2, 6, 3}},
        {8, 2, 3, fotrix::ExifRotate270, {3, 6, 2, 5, 1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        fotrix::Bitmap bitmap;
        makeBitmap(bitmap, 3, 2, c.orientation);
        int code = -1;
        EXPECT_EQ(fotrix::exifAutoRotate(bitmap, nullptr, true, code), 1);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(bitmap.width, c.width);
        EXPECT_EQ(bitmap.height, c.height);
        EXPECT_EQ(pixels(bitmap), c.expected);
        EXPECT_EQ(storedOrientation(bitmap), 1);
        fotrix::bitmapFree(bitmap);
    }
}

TEST(ExifAutoRotate, what_is_left_alone)
{
    for (int orientation : {1, 5, 7, 9}) {
        fotrix::Bitmap bitmap;
        makeBitmap(bitmap, 3, 2, orientation);
        int code = -1;
        EXPECT_EQ(fotrix::exifAutoRotate(bitmap, nullptr, true, code), 0);
        EXPECT_EQ(pixels(bitmap), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(storedOrientation(bitmap), orientation);
        fotrix::bitmapFree(bitmap);
    }
    // Without resetTag the tag stays.
    fotrix::Bitmap bitmap;
    makeBitmap(bitmap, 3, 2, 6);
    int code = 0;
    EXPECT_EQ(fotrix::exifAutoRotate(bitmap, nullptr, false, code), 1);
    EXPECT_EQ(storedOrientation(bitmap), 6);
    fotrix::bitmapFree(bitmap);
    // A picture already taller than wide keeps its pixels; the tag becomes 1.
    makeBitmap(bitmap, 2, 3, 6);
    EXPECT_EQ(fotrix::exifAutoRotate(bitmap, nullptr, true, code), 0);
    EXPECT_EQ(pixels(bitmap), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(storedOrientation(bitmap), 1);
    fotrix::bitmapFree(bitmap);
}

TEST(ExifAutoRotate, camera_raw_orientation_comes_first)
{
    fotrix::Bitmap bitmap;
    makeBitmap(bitmap, 3, 2, 1);
    fotrix::FileInfo info;
    info.width = 20;
    info.height = 30;
    info.orientation = 2;  // a quarter to the left
    int code = 0;
    EXPECT_EQ(fotrix::exifAutoRotate(bitmap, &info, true, code), 1);
    EXPECT_EQ(pixels(bitmap), (std::vector<int>{3, 6, 2, 5, 1, 4}));
    fotrix::bitmapFree(bitmap);
}

TEST(DecodeAutoRotate, matches_imagemagick_auto_orient)
{
    fs::path cli = testsupport::binaryDir() / "cli" / "fotrix-cli";
    if (!fs::exists(cli) || !testsupport::haveTool("exiftool") || !testsupport::haveTool("cjpeg"))
        SKIP_MISSING("needs fotrix-cli, exiftool and cjpeg");
    testsupport::TempDir dir;
    fs::path ppm = dir / "in.ppm", jpeg = dir / "in.jpg";
    ASSERT_EQ(testsupport::run("/usr/bin/convert '" + testsupport::testdata("libjpeg-turbo/testorig.ppm").string() +
                               "' -crop 64x40+0+0 +repage '" + ppm.string() + "'"),
              0);
    ASSERT_EQ(testsupport::run("cjpeg -sample 1x1 -quality 95 '" + ppm.string() + "' > '" + jpeg.string() + "'"), 0);
    for (int orientation : {3, 6, 8}) {
        SCOPED_TRACE(orientation);
        ASSERT_EQ(testsupport::run("exiftool -q -overwrite_original -n -Orientation=" + std::to_string(orientation) +
                                   " '" + jpeg.string() + "'"),
                  0);
        fs::path ours = dir / "ours.pam";
        ASSERT_EQ(testsupport::run("'" + cli.string() + "' decode --auto-rotate '" + jpeg.string() + "' '" +
                                   ours.string() + "' >/dev/null"),
                  0);
        testsupport::Pixels mine, theirs;
        ASSERT_TRUE(testsupport::readPnm(ours, mine));
        fs::path oriented = dir / "oriented.ppm";
        ASSERT_EQ(testsupport::run("/usr/bin/convert '" + jpeg.string() + "' -auto-orient '" + oriented.string() + "'"), 0);
        ASSERT_TRUE(testsupport::readPnm(oriented, theirs));
        EXPECT_EQ(mine.width, theirs.width);
        EXPECT_EQ(mine.height, theirs.height);
        int difference = testsupport::maxDifference(testsupport::toRgba(mine), testsupport::toRgba(theirs));
        EXPECT_GE(difference, 0);
        EXPECT_LE(difference, 2);
    }
}
