// The Rotate tool's roads: lossless JPEG turns checked against jpegtran and
// exiftool, the road chosen by content, the bitmap turns and the EXIF fields
// that follow them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/tools/rotate_lossless.h"
#include "app/tools/rotate_rules.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "metadata/exif.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

bool haveTools()
{
    return testsupport::haveTool("cjpeg") && testsupport::haveTool("djpeg") && testsupport::haveTool("jpegtran") &&
           testsupport::haveTool("exiftool") && testsupport::haveTool("convert");
}

// A 61 x 45 JPEG (4:2:0, so its MCUs are 16 x 16 and neither side is a
// multiple) carrying EXIF pixel sizes and orientation 6.
fs::path makeJpegWithExif(const testsupport::TempDir& dir, const std::string& name)
{
    fs::path ppm = dir / "source.ppm", jpeg = dir / name;
    EXPECT_EQ(testsupport::run("convert -size 61x45 gradient:red-blue " + q(ppm)), 0);
    EXPECT_EQ(testsupport::run("cjpeg -sample 2x2 -quality 90 " + q(ppm) + " > " + q(jpeg)), 0);
    EXPECT_EQ(testsupport::run("exiftool -q -overwrite_original -n -Orientation=6 -ExifImageWidth=61 "
                               "-ExifImageHeight=45 -Artist=Tester " + q(jpeg)),
              0);
    return jpeg;
}

// "W H orientation exif-width exif-height artist" as exiftool reads them.
std::string exifSummary(const fs::path& jpeg)
{
    std::string out;
    EXPECT_EQ(testsupport::run("exiftool -s3 -n -ImageWidth -ImageHeight -Orientation -ExifImageWidth "
                               "-ExifImageHeight -Artist " + q(jpeg) + " | tr '\\n' ' '",
                               &out),
              0);
    return out;
}

std::string decoded(const fs::path& jpeg)
{
    std::string out;
    EXPECT_EQ(testsupport::run("djpeg -pnm " + q(jpeg), &out), 0);
    return out;
}

class RotateLossless : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveTools()) GTEST_SKIP() << "cjpeg, djpeg, jpegtran, exiftool or convert missing";
        fotrix::libraryInit();
        input = makeJpegWithExif(dir, "input.jpg");
    }
    testsupport::TempDir dir;
    fs::path input;
};

TEST_F(RotateLossless, quarter_turn_trims_partial_blocks_swaps_exif_size_and_resets_orientation)
{
    fs::path ours = dir / "ours.jpg", ref = dir / "ref.jpg";
    ASSERT_EQ(fotrix::rotateJpegLossless(input, ours, fotrix::RotateRight90), fotrix::LosslessResult::Done);
    ASSERT_EQ(testsupport::run("jpegtran -rotate 90 -trim -copy all " + q(input) + " > " + q(ref)), 0);
    // 45 rows trimmed to 32 (two MCU rows) become the width; 61 stays the height.
    EXPECT_EQ(exifSummary(ours), "32 61 1 32 61 Tester ");
    EXPECT_EQ(decoded(ours), decoded(ref));
    EXPECT_FALSE(fs::exists(dir / "ours.jpg.fotrix"));
}

TEST_F(RotateLossless, half_turn_keeps_exif_size_of_the_trimmed_picture)
{
    fs::path ours = dir / "ours.jpg", ref = dir / "ref.jpg";
    ASSERT_EQ(fotrix::rotateJpegLossless(input, ours, fotrix::Rotate180), fotrix::LosslessResult::Done);
    ASSERT_EQ(testsupport::run("jpegtran -rotate 180 -trim -copy all " + q(input) + " > " + q(ref)), 0);
    EXPECT_EQ(exifSummary(ours), "48 32 1 48 32 Tester ");
    EXPECT_EQ(decoded(ours), decoded(ref));
}

TEST_F(RotateLossless, every_operation_matches_jpegtran)
{
    const char* options[] = {"-rotate 270", "-rotate 90", "-rotate 180", "-flip horizontal", "-flip vertical"};
    for (int operation = 0; operation < fotrix::kRotateOperationCount; ++operation) {
        SCOPED_TRACE(options[operation]);
        fs::path ours = dir / "ours.jpg", ref = dir / "ref.jpg";
        ASSERT_EQ(fotrix::rotateJpegLossless(input, ours, operation), fotrix::LosslessResult::Done);
        ASSERT_EQ(testsupport::run(std::string("jpegtran -trim -copy all ") + options[operation] + " " + q(input) +
                                   " > " + q(ref)),
                  0);
        EXPECT_EQ(decoded(ours), decoded(ref));
    }
}

TEST_F(RotateLossless, same_name_is_replaced_only_after_success)
{
    fs::path ref = dir / "ref.jpg";
    ASSERT_EQ(testsupport::run("jpegtran -rotate 270 -trim -copy all " + q(input) + " > " + q(ref)), 0);
    chmod(input.c_str(), 0640);
    ASSERT_EQ(fotrix::rotateJpegLossless(input, input, fotrix::RotateLeft90), fotrix::LosslessResult::Done);
    // Turning left trims the partial column of blocks: 48 of 61 columns become the height.
    EXPECT_EQ(exifSummary(input), "45 48 1 45 48 Tester ");
    EXPECT_EQ(decoded(input), decoded(ref));
    struct stat status {};
    ASSERT_EQ(stat(input.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // A file that is not a JPEG fails and stays byte for byte as it was.
    fs::path fake = dir / "fake.jpg";
    static const char kFake[] = "\xFF\xD8\xFF\xE0 not really a picture";
    testsupport::writeFile(fake, std::string(kFake, sizeof kFake - 1));
    std::vector<uint8_t> before = testsupport::readFile(fake);
    EXPECT_EQ(fotrix::rotateJpegLossless(fake, fake, fotrix::RotateRight90), fotrix::LosslessResult::Failed);
    EXPECT_EQ(testsupport::readFile(fake), before);
    EXPECT_FALSE(fs::exists(dir / "fake.jpg.fotrix"));
}

TEST_F(RotateLossless, missing_input_writes_nothing)
{
    EXPECT_EQ(fotrix::rotateJpegLossless(dir / "gone.jpg", dir / "out.jpg", fotrix::Rotate180),
              fotrix::LosslessResult::Failed);
    EXPECT_FALSE(fs::exists(dir / "out.jpg"));
    EXPECT_FALSE(fs::exists(dir / "out.jpg.fotrix"));
}

TEST_F(RotateLossless, read_only_output_is_refused)
{
    fs::path locked = dir / "locked.jpg";
    testsupport::writeFile(locked, std::string("old"));
    chmod(locked.c_str(), 0444);
    if (access(locked.c_str(), W_OK) == 0) GTEST_SKIP() << "running as root: permissions are not enforced";
    EXPECT_EQ(fotrix::rotateJpegLossless(input, locked, fotrix::Rotate180), fotrix::LosslessResult::ReadOnly);
    EXPECT_EQ(testsupport::readFile(locked), std::vector<uint8_t>({'o', 'l', 'd'}));
}

TEST_F(RotateLossless, road_follows_the_content_and_the_box)
{
    fs::path png = dir / "picture.png", disguised = dir / "really_a_jpeg.png";
    ASSERT_EQ(testsupport::run("convert -size 8x8 xc:red " + q(png)), 0);
    fs::copy_file(input, disguised);
    EXPECT_EQ(fotrix::chooseRotateRoad(input, true), fotrix::RotateRoad::Lossless);
    EXPECT_EQ(fotrix::chooseRotateRoad(input, false), fotrix::RotateRoad::Bitmap);
    EXPECT_EQ(fotrix::chooseRotateRoad(png, true), fotrix::RotateRoad::Bitmap);
    EXPECT_EQ(fotrix::chooseRotateRoad(disguised, true), fotrix::RotateRoad::Lossless);
    EXPECT_EQ(fotrix::chooseRotateRoad(dir / "missing.jpg", true), fotrix::RotateRoad::Bitmap);
}

TEST_F(RotateLossless, bitmap_road_turns_pixels_and_its_exif_follows)
{
    testsupport::OwnedPicture picture;
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ReadMetadata;
    ASSERT_EQ(fotrix::loadBitmap(input, picture.bitmap, params, &picture.info), 0);
    ASSERT_EQ(fotrix::rotateBitmap(picture.bitmap, fotrix::RotateLeft90), 0);
    EXPECT_EQ(picture.bitmap.width, 45);
    EXPECT_EQ(picture.bitmap.height, 61);
    EXPECT_TRUE(fotrix::exifResetOrientation(picture.bitmap));
    EXPECT_FALSE(fotrix::exifResetOrientation(picture.bitmap));
    int orientation = 0;
    ASSERT_TRUE(fotrix::exifGetOrientation(picture.bitmap.metadata, orientation));
    EXPECT_EQ(orientation, 1);
    EXPECT_EQ(fotrix::exifMatchPixelSize(picture.bitmap), 2);
    EXPECT_EQ(fotrix::rotateBitmap(picture.bitmap, 99), 16);
}

}  // namespace
