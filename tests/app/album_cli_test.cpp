// fotrix-cli album: albums and self-running slideshows built from the
// command line, checked with Info-ZIP and ImageMagick; the progress line
// shows on a terminal only; bad input is refused with a clear message.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

class CliAlbum : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path cli() const { return testsupport::binaryDir() / "cli" / "fotrix-cli"; }
    // Runs `fotrix-cli album ARGUMENTS` in the test folder; stdout and stderr together.
    int album(const std::string& arguments, std::string* output = nullptr) const
    {
        return testsupport::run("cd " + q(dir.path()) + " && TMPDIR=" + q(dir.path()) + " " + q(cli()) + " album " +
                                    arguments + " 2>&1",
                                output);
    }
    void SetUp() override
    {
        if (!fs::exists(cli())) GTEST_SKIP() << "fotrix-cli is not built";
        if (!testsupport::haveTool("convert") || !testsupport::haveTool("unzip"))
            SKIP_MISSING("convert or unzip missing");
        for (const char* name : {"a", "b", "c"})
            ASSERT_EQ(testsupport::run("convert -size 400x300 -seed 7 plasma:fractal " + q(dir / (std::string(name) + ".jpg"))), 0);
        std::string wave = "RIFF";
        auto le = [&](uint32_t v, int n) {
            for (int k = 0; k < n; ++k) wave += static_cast<char>(v >> (8 * k));
        };
        le(36 + 8, 4);
        wave += "WAVEfmt ";
        le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(16000, 4), le(2, 2), le(16, 2);
        wave += "data";
        le(8, 4);
        wave += std::string(8, '\0');
        testsupport::writeFile(dir / "tune.wav", wave);
    }
};

TEST_F(CliAlbum, create_then_list_reads_back_pictures_sound_and_keys)
{
    std::string out;
    ASSERT_EQ(album("create show.alb a.jpg b.jpg c.jpg --sound tune.wav --delay 3 --loop --transitions --size 1", &out), 0)
        << out;
    EXPECT_EQ(out, "show.alb\n");  // no progress line when stderr is no terminal
    ASSERT_EQ(testsupport::run("unzip -t " + q(dir / "show.alb"), &out), 0) << out;
    EXPECT_NE(out.find("No errors"), std::string::npos) << out;
    ASSERT_EQ(album("list show.alb", &out), 0) << out;
    EXPECT_EQ(out,
              "picture\t0000\ta.jpg\npicture\t0001\tb.jpg\npicture\t0002\tc.jpg\n"
              "sound\t0003\ttune.wav\tkind 1\n"
              "delay 3\ttransitions 1\tloop 1\taudio 1\n");
    // The sound member is the file itself; a picture fits the 240 x 180 box.
    ASSERT_EQ(testsupport::run("unzip -p " + q(dir / "show.alb") + " 0003 | cmp - " + q(dir / "tune.wav")), 0);
    ASSERT_EQ(testsupport::run("unzip -p " + q(dir / "show.alb") + " 0000 | identify -format '%m %wx%h' -", &out), 0);
    EXPECT_EQ(out, "JPEG 240x180");
}

TEST_F(CliAlbum, size_3_turns_3000x2000_into_640x426)
{
    ASSERT_EQ(testsupport::run("convert -size 3000x2000 xc:teal " + q(dir / "big.jpg")), 0);
    std::string out;
    ASSERT_EQ(album("create big.alb big.jpg --size 3", &out), 0) << out;
    ASSERT_EQ(testsupport::run("unzip -p " + q(dir / "big.alb") + " 0000 | identify -format '%wx%h' -", &out), 0);
    EXPECT_EQ(out, "640x426");
}

TEST_F(CliAlbum, progress_line_rewrites_itself_on_a_terminal)
{
    if (!testsupport::haveTool("script")) SKIP_MISSING("script (util-linux) missing");
    std::string out;
    const std::string command = "cd " + q(dir.path()) + " && TMPDIR=" + q(dir.path()) + " " + q(cli()) +
                                " album create tty.alb a.jpg b.jpg";
    ASSERT_EQ(testsupport::run("script -qec \"" + command + "\" /dev/null", &out), 0) << out;
    EXPECT_NE(out.find("\r\033[K[0/3] a.jpg"), std::string::npos) << out;
    EXPECT_NE(out.find("\r\033[K[1/3] b.jpg"), std::string::npos) << out;
    EXPECT_NE(out.find("[2/3] \r\n"), std::string::npos) << out;  // the terminal turns the line end into CR LF
    EXPECT_TRUE(fs::exists(dir / "tty.alb"));
}

TEST_F(CliAlbum, self_running_starts_with_the_slideshow_program)
{
    const fs::path stub = testsupport::binaryDir() / "app" / "fotrix-slide";
    if (!fs::exists(stub)) GTEST_SKIP() << "fotrix-slide is not built";
    std::string out;
    ASSERT_EQ(album("self-running show.run a.jpg b.jpg --loop", &out), 0) << out;
    const auto bytes = testsupport::readFile(dir / "show.run");
    const auto program = testsupport::readFile(stub);
    ASSERT_GT(bytes.size(), program.size() + 10);
    EXPECT_TRUE(std::equal(program.begin(), program.end(), bytes.begin()));
    EXPECT_EQ(std::string(bytes.begin() + static_cast<long>(program.size()), bytes.begin() + static_cast<long>(program.size()) + 10),
              "FOTRIX-SCR");
    EXPECT_EQ(bytes[program.size() + 10], 16);  // loop only
    EXPECT_EQ(album("self-running show2.run a.jpg --stub " + q(dir / "missing"), &out), 1);
    EXPECT_NE(out.find("Can't find stub fotrix-slide"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(dir / "show2.run"));
}

TEST_F(CliAlbum, bad_usage_and_bad_albums_get_clear_refusals)
{
    std::string out;
    EXPECT_EQ(album("create only.alb", &out), 64);
    EXPECT_FALSE(fs::exists(dir / "only.alb"));
    EXPECT_EQ(album("create x.alb a.jpg --size 9", &out), 64);
    testsupport::writeFile(dir / "text.alb", std::string("not a zip"));
    EXPECT_EQ(album("list text.alb", &out), 1);
    EXPECT_NE(out.find("error: not an archive"), std::string::npos) << out;
    // An album whose output folder is missing is not written, and an existing one stays.
    testsupport::writeFile(dir / "keep.alb", std::string("old"));
    EXPECT_EQ(album("create missing/keep.alb a.jpg", &out), 1);
    EXPECT_NE(out.find("Can't create file"), std::string::npos) << out;
    EXPECT_EQ(fs::file_size(dir / "keep.alb"), 3u);
}

}  // namespace
