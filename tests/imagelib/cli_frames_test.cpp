// fotrix-cli info and decode with --frame: the frame count of the file, any
// frame described or decoded, and a frame the file lacks named as the cause.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace {

class CliFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        cli_ = (testsupport::binaryDir() / "cli" / "fotrix-cli").string();
        if (!std::filesystem::exists(cli_)) SKIP_MISSING("fotrix-cli not built");
        if (!testsupport::haveTool("convert")) SKIP_MISSING("no convert");
        gif_ = dir_ / "three.gif";
        ASSERT_EQ(testsupport::run("/usr/bin/convert -size 6x4 xc:red -size 9x5 xc:blue -size 3x2 xc:green '" +
                                   gif_.string() + "'"),
                  0);
    }
    int cli(const std::string& arguments, std::string& output)
    {
        return testsupport::run(cli_ + " " + arguments + " 2>&1", &output);
    }

    testsupport::TempDir dir_;
    std::string cli_;
    std::filesystem::path gif_;
};

TEST_F(CliFrames, InfoCountsEveryFrameAndDescribesTheOneAsked)
{
    const char* widths[] = {"width: 6\n", "width: 9\n", "width: 3\n"};
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        std::string out;
        ASSERT_EQ(cli("info '" + gif_.string() + "' --frame " + std::to_string(frame), out), 0) << out;
        EXPECT_NE(out.find("images: 3\n"), std::string::npos) << out;
        EXPECT_NE(out.find(widths[frame]), std::string::npos) << out;
    }
}

TEST_F(CliFrames, AFrameTheFileLacksIsNamedByInfoAndDecode)
{
    const std::string expected = "error: 2 the file has 3 images; --frame takes 0 to 2\n";
    std::string out;
    EXPECT_EQ(cli("info '" + gif_.string() + "' --frame 3", out), 2);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(cli("decode '" + gif_.string() + "' '" + (dir_ / "o.pam").string() + "' --frame 5", out), 2);
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "o.pam"));
    // Other failures keep the reader's own cause.
    testsupport::writeFile(dir_ / "bad.gif", std::string("GIF89a\x01\0\x01\0\0\0\0,\0\0\0\0\0\0\x01\0\0\x01", 23));
    EXPECT_EQ(cli("decode '" + (dir_ / "bad.gif").string() + "' '" + (dir_ / "o.pam").string() + "'", out), 9);
    EXPECT_EQ(out, "error: 9 GIF : Bad picture's size !\n");
}

TEST_F(CliFrames, DecodeWritesTheFrameAsked)
{
    std::string out;
    const auto pam = dir_ / "second.pam";
    ASSERT_EQ(cli("decode '" + gif_.string() + "' '" + pam.string() + "' --frame 1 --options ForceTrueColour", out), 0)
        << out;
    testsupport::Pixels pixels;
    ASSERT_TRUE(testsupport::readPnm(pam, pixels));
    EXPECT_EQ(pixels.width, 9);
    EXPECT_EQ(pixels.height, 5);
    ASSERT_GE(pixels.data.size(), 3u);
    EXPECT_EQ(pixels.data[0], 0);
    EXPECT_EQ(pixels.data[2], 255);  // blue
}

}  // namespace
