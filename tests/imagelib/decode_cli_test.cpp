// fotrix-cli decode writes its PAM while the picture loads when nothing
// needs the whole picture: the file and the printed fields must be those of
// the whole-picture path (which --orient forces, the pictures here having no
// orientation), and a load that fails must leave no file and an old one as
// it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/result.h"
#include "tests/imagelib/writer_helpers.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace fotrix;

class CliDecode : public ::testing::Test {
protected:
    void SetUp() override
    {
        cli_ = (testsupport::binaryDir() / "cli" / "fotrix-cli").string();
        if (!fs::exists(cli_)) SKIP_MISSING("fotrix-cli not built");
    }
    int cli(const std::string& arguments, std::string* output = nullptr)
    {
        return testsupport::run(cli_ + " " + arguments + " 2>&1", output);
    }
    fs::path picture(const std::string& name, const char* format, uint16_t type, int w, int h)
    {
        Bitmap bitmap;
        writertest::makePicture(bitmap, type, w, h);
        const fs::path path = dir_ / name;
        EXPECT_EQ(writertest::save(path, bitmap, format), ResultOk);
        bitmapFree(bitmap);
        return path;
    }
    // Decodes `input` both ways and expects the same file and fields.
    void expectBothWaysAlike(const fs::path& input, const std::string& flags = "")
    {
        SCOPED_TRACE(input.filename().string() + " " + flags);
        std::string rows, whole;
        const fs::path a = dir_ / "rows.pam", b = dir_ / "whole.pam";
        ASSERT_EQ(cli("decode '" + input.string() + "' '" + a.string() + "' " + flags, &rows), 0) << rows;
        ASSERT_EQ(cli("decode '" + input.string() + "' '" + b.string() + "' --orient " + flags, &whole), 0) << whole;
        EXPECT_EQ(rows, whole);
        const auto pam = testsupport::readFile(a);
        EXPECT_GT(pam.size(), static_cast<size_t>(64));
        EXPECT_TRUE(pam == testsupport::readFile(b));
    }

    testsupport::TempDir dir_;
    std::string cli_;
};

TEST_F(CliDecode, rowsWrittenWhileLoadingMakeTheFileOfTheWholePath)
{
    const fs::path jpeg = picture("in.jpg", "jpeg", Rgb, 800, 1300);
    expectBothWaysAlike(jpeg);
    expectBothWaysAlike(jpeg, "--channel-order 1");  // Bgr rows, reordered for the PAM
    expectBothWaysAlike(jpeg, "--origin 1");         // mirrored rows
    expectBothWaysAlike(picture("in.tga", "tga", Rgb, 300, 400));
    std::string ppm = "P6\n640 480\n255\n";
    for (int i = 0; i < 640 * 480 * 3; ++i) ppm += static_cast<char>(i * 7 >> 3);
    testsupport::writeFile(dir_ / "in.ppm", ppm);
    expectBothWaysAlike(dir_ / "in.ppm");
    expectBothWaysAlike(picture("in.bmp", "bmp", Bgr, 301, 200));  // bottom-up rows, read from the end
    // Pictures whose load needs the whole picture take the other path alike.
    expectBothWaysAlike(picture("in.gif", "gif", Indexed, 123, 77));
    expectBothWaysAlike(jpeg, "--box 100x100");
}

TEST_F(CliDecode, aLoadThatFailsHalfWayLeavesTheOldFileAndNoOther)
{
    // A PPM (its rows flow) that ends half-way through its rows.
    std::string ppm = "P6\n800 1300\n255\n";
    for (int i = 0; i < 800 * 650 * 3; ++i) ppm += static_cast<char>(i * 31 >> 4);
    testsupport::writeFile(dir_ / "cut.ppm", ppm);
    testsupport::writeFile(dir_ / "out.pam", std::string("old"));
    std::string output;
    EXPECT_EQ(cli("decode '" + (dir_ / "cut.ppm").string() + "' '" + (dir_ / "out.pam").string() + "'", &output),
              ResultReadError)
        << output;
    EXPECT_EQ(testsupport::readFile(dir_ / "out.pam"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(writertest::fileCount(dir_.path()), 2);
}

}  // namespace
