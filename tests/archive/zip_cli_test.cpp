// fotrix-cli zip create, list and extract, as a user runs them.
#include <gtest/gtest.h>

#include "tests/archive/zip_builder.h"
#include "tests/support/test_support.h"

using namespace ziptest;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class ZipCli : public ::testing::Test {
protected:
    fs::path cli = testsupport::binaryDir() / "cli/fotrix-cli";
    TempDir work;
    void SetUp() override
    {
        if (!fs::exists(cli)) SKIP_MISSING("fotrix-cli is not built");
    }
    // Runs fotrix-cli with `arguments`; stdout and stderr together in `output`.
    int zip(const std::string& arguments, std::string& output)
    {
        return testsupport::run("cd " + quoted(work.path()) + " && " + quoted(cli) + " zip " + arguments + " 2>&1", &output);
    }
};

}  // namespace

TEST_F(ZipCli, CreateListExtractRoundTrip)
{
    testsupport::writeFile(work / "notes.txt", textBytes(20000));
    testsupport::writeFile(work / "song.zip", noiseBytes(3000));
    fs::create_directories(work / "pics/holiday");
    testsupport::writeFile(work / "pics/holiday/a.jpg", noiseBytes(5000, 3));
    std::string out;
    ASSERT_EQ(zip("create album.zip notes.txt song.zip pics", out), 0) << out;
    ASSERT_EQ(zip("list album.zip", out), 0) << out;
    EXPECT_EQ(out,
              "notes.txt\t20000\tdeflated\n"
              "song.zip\t3000\tstored\n"
              "pics/\t0\tstored\n"
              "pics/holiday/\t0\tstored\n"
              "pics/holiday/a.jpg\t5000\tdeflated\n");
    ASSERT_EQ(zip("extract album.zip out", out), 0) << out;
    EXPECT_EQ(testsupport::readFile(work / "out/notes.txt"), textBytes(20000));
    EXPECT_EQ(testsupport::readFile(work / "out/pics/holiday/a.jpg"), noiseBytes(5000, 3));
    if (testsupport::haveTool("unzip")) {
        EXPECT_EQ(testsupport::run("unzip -tq " + quoted(work / "album.zip")), 0);
    }

    // Chosen members only; a missing one fails the run but not the others.
    ASSERT_EQ(zip("extract album.zip only song.zip", out), 0) << out;
    EXPECT_TRUE(fs::exists(work / "only/song.zip"));
    EXPECT_FALSE(fs::exists(work / "only/notes.txt"));
    EXPECT_EQ(zip("extract album.zip only2 nothere notes.txt", out), 1);
    EXPECT_NE(out.find("error: 0x500 File not found in the zipfile"), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(work / "only2/notes.txt"));
}

TEST_F(ZipCli, ExtractRefusesEscapingNamesAndFailsTheRun)
{
    RawArchive raw;
    raw.members.push_back({"../escaped.txt", bytesOf("evil")});
    raw.members.push_back({"fine.txt", bytesOf("fine")});
    raw.members.push_back({"/tmp/fotrix-cli-escape.txt", bytesOf("evil")});
    testsupport::writeFile(work / "evil.zip", buildZip(raw));
    std::string out;
    EXPECT_EQ(zip("extract evil.zip dest", out), 1);
    EXPECT_NE(out.find("error: 0xc00 "), std::string::npos) << out;
    EXPECT_NE(out.find("../escaped.txt"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(work / "escaped.txt"));
    EXPECT_FALSE(fs::exists("/tmp/fotrix-cli-escape.txt"));
    EXPECT_EQ(testsupport::readFile(work / "dest/fine.txt"), bytesOf("fine"));
}

TEST_F(ZipCli, ErrorsAndUsage)
{
    std::string out;
    testsupport::writeFile(work / "not.zip", std::string("hello, not a zip file at all"));
    EXPECT_EQ(zip("list not.zip", out), 1);
    EXPECT_NE(out.find("error: 0x700 Zipfile is corrupt or not a zipfile"), std::string::npos) << out;
    EXPECT_EQ(zip("list missing.zip", out), 1);
    EXPECT_NE(out.find("error: 0x200 "), std::string::npos) << out;
    EXPECT_EQ(zip("create x.zip no-such-file", out), 1);
    EXPECT_EQ(zip("", out), 64);
    EXPECT_EQ(zip("create x.zip", out), 64);
    EXPECT_EQ(zip("shuffle x.zip", out), 64);
}

TEST_F(ZipCli, CreateOnStandardOutputStreams)
{
    testsupport::writeFile(work / "a.txt", textBytes(100000));
    std::string out;
    ASSERT_EQ(testsupport::run("cd " + quoted(work.path()) + " && " + quoted(cli) + " zip create - a.txt | cat > piped.zip"), 0);
    ASSERT_EQ(zip("extract piped.zip o", out), 0) << out;
    EXPECT_EQ(testsupport::readFile(work / "o/a.txt"), textBytes(100000));
}

TEST_F(ZipCli, CreateFromTheCurrentFolderAddsItsContents)
{
    fs::create_directories(work / "src/sub");
    testsupport::writeFile(work / "src/a.txt", std::string("a"));
    testsupport::writeFile(work / "src/sub/b.txt", std::string("b"));
    std::string out;
    ASSERT_EQ(testsupport::run("cd " + quoted(work / "src") + " && " + quoted(cli) + " zip create ../dot.zip . 2>&1", &out), 0)
        << out;
    ASSERT_EQ(zip("list dot.zip", out), 0) << out;
    EXPECT_EQ(out, "a.txt\t1\tdeflated\nsub/\t0\tstored\nsub/b.txt\t1\tdeflated\n");
}

TEST_F(ZipCli, ExtractRefusesABombUnlessTheBoundIsLifted)
{
    // 20 MB of zeros deflate about 1030 times: over the default ratio of 1000.
    testsupport::writeFile(work / "zeros.bin", std::vector<uint8_t>(20u << 20, 0));
    testsupport::writeFile(work / "notes.txt", textBytes(20000));
    std::string out;
    ASSERT_EQ(zip("create bomb.zip zeros.bin notes.txt", out), 0) << out;
    EXPECT_EQ(zip("extract bomb.zip out", out), 1);
    EXPECT_NE(out.find("error: 0xf00"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(work / "out/zeros.bin"));
    EXPECT_TRUE(fs::exists(work / "out/notes.txt"));  // the other members still come out

    EXPECT_EQ(zip("extract bomb.zip small --max-ratio 0 --max-total 1000", out), 1);
    EXPECT_FALSE(fs::exists(work / "small/zeros.bin"));

    ASSERT_EQ(zip("extract bomb.zip all --max-ratio 0", out), 0) << out;
    EXPECT_EQ(fs::file_size(work / "all/zeros.bin"), 20u << 20);
    EXPECT_EQ(zip("extract bomb.zip x --max-ratio", out), 64);
}
