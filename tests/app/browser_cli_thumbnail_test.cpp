// fotrix-cli thumbnail: the browser's thumbnails from the command line, with
// clear refusals for what it cannot do.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <string>

#include "tests/app/browser_fixture.h"
#include "tests/support/test_support.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"

namespace {

namespace fs = std::filesystem;

class CliThumbnail : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path cli() const { return testsupport::binaryDir() / "cli" / "fotrix-cli"; }
    // Runs the command with the cache below the test folder; stdout and stderr together.
    int run(const std::string& arguments, std::string* output = nullptr) const
    {
        return testsupport::run("cd '" + dir.path().string() + "' && FOTRIX_CONFIG_DIR='" + (dir / "config").string() +
                                    "' '" + cli().string() + "' thumbnail " + arguments + " 2>&1",
                                output);
    }
    void SetUp() override
    {
        if (!fs::exists(cli())) GTEST_SKIP() << "fotrix-cli is not built";
        fotrix::libraryInit();
    }
};

TEST_F(CliThumbnail, EveryPictureGetsAThumbnailInTheBoxAndTheCacheFills)
{
    for (int i = 0; i < 6; ++i) {
        const fs::path picture = dir / ("p" + std::to_string(i) + ".bmp");
        browsertest::writeBmp(picture, 200 + 10 * i, 100);
        struct utimbuf old {1500000000, 1500000000};
        ASSERT_EQ(utime(picture.c_str(), &old), 0);
    }
    std::string output;
    ASSERT_EQ(run("p0.bmp p1.bmp p2.bmp p3.bmp p4.bmp p5.bmp --box 50x40 --out thumbs --jobs 3", &output), 0)
        << output;
    EXPECT_EQ(output, "");  // no progress line when stdout is not a terminal
    for (int i = 0; i < 6; ++i) {
        fotrix::Bitmap picture;
        fotrix::LoadParams params;
        fotrix::loadParamsDefaults(params);
        ASSERT_EQ(fotrix::loadBitmap((dir / "thumbs" / ("p" + std::to_string(i) + ".png")).string(), picture, params,
                                     nullptr),
                  0);
        EXPECT_EQ(picture.width, 50);
        EXPECT_EQ(picture.height, 100 * 50 / (200 + 10 * i));
        fotrix::bitmapFree(picture);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "config" / "thumbnails" / "normal"), fs::directory_iterator()),
              6);
    // --no-cache leaves the cache alone.
    fs::remove_all(dir / "config");
    ASSERT_EQ(run("p0.bmp --box 50x40 --out again --no-cache"), 0);
    EXPECT_FALSE(fs::exists(dir / "config" / "thumbnails"));
}

TEST_F(CliThumbnail, FailuresAreToldAndTheOthersStillMade)
{
    browsertest::writeBmp(dir / "good.bmp", 80, 80);
    testsupport::writeFile(dir / "bad.jpg", std::string("not a jpeg at all"));
    std::string output;
    EXPECT_EQ(run("bad.jpg missing.png good.bmp --box 40x40 --out t --jobs 1", &output), 1);
    EXPECT_NE(output.find("bad.jpg: error"), std::string::npos) << output;
    EXPECT_NE(output.find("missing.png: error 3"), std::string::npos) << output;
    EXPECT_TRUE(fs::exists(dir / "t" / "good.png"));
    EXPECT_FALSE(fs::exists(dir / "t" / "bad.png"));
}

TEST_F(CliThumbnail, UsageErrors)
{
    browsertest::writeBmp(dir / "a.bmp", 8, 8);
    browsertest::writeBmp(dir / "a.png", 8, 8);
    const std::pair<const char*, const char*> cases[] = {
        {"a.bmp --out t", "--box WxH is needed"},
        {"a.bmp --box 40x40", "--out DIR is needed"},
        {"--box 40x40 --out t", "no picture given"},
        {"a.bmp --box 40 --out t", "--box needs WxH"},
        {"a.bmp --box 40x40 --out t --jobs 0", "--jobs needs 1 to 256"},
        {"a.bmp --box 40x40 --out t --fast", "unknown option --fast"},
        {"a.bmp a.png --box 40x40 --out t", "would both write"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string output;
        EXPECT_EQ(run(arguments, &output), 64) << arguments;
        EXPECT_NE(output.find(message), std::string::npos) << arguments << ": " << output;
    }
    EXPECT_FALSE(fs::exists(dir / "t" / "a.png"));
}

}  // namespace
