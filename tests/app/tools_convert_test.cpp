// Convert through the script driver on real files: the naming rule, the
// output depth read back with other tools, the message rules of Apply and
// Apply to all, a declined overwrite, metadata and dates kept, a failed
// save, and Previous/Next through the selection.
#include "app/tools/batch_save.h"
#include "imagelib/formats.h"
#include "tests/app/tools_sheet_fixture.h"

#include <filesystem>
#include <fstream>

using namespace fotrix;
using namespace toolstest;

namespace {

TEST(BatchOutputName, FollowsTheNamingRule)
{
    libraryInit();
    FolderSettings folder;
    folder.prefix = "p";
    folder.suffix = "_m";
    OutputName name = batchOutputName("/A/b.c.jpg", folder, OutputGif);
    EXPECT_EQ(name.folder, "/A/");
    EXPECT_EQ(name.name, "pb.c_m.gif");

    folder.prefix = "";
    name = batchOutputName("/A/noext", folder, OutputBmp);
    EXPECT_EQ(name.folder + name.name, "/A/noext_m.bmp");

    folder.folder = "/out";
    name = batchOutputName("/A/IMG_0001.JPG", folder, OutputPng);
    EXPECT_EQ(name.folder + name.name, "/out/IMG_0001_m.png");

    // A prefix cannot lead the output out of the chosen folder.
    folder.prefix = "../x/";
    name = batchOutputName("/A/b.jpg", folder, OutputJpeg);
    EXPECT_EQ(name.folder, "/out/");
    EXPECT_EQ(name.name.find('/'), std::string::npos) << name.name;
    libraryExit();
}

class Convert : public ToolsWindow {
protected:
    std::string st(const char* name) const { return (dir / name).string(); }
};

// Taps on the sheet's tabs, above the menu bar of a 240x320 screen.
constexpr const char* kInfosTab = "tap 18 283";
constexpr const char* kFormatTab = "tap 58 283";
constexpr const char* kFolderTab = "tap 100 283";

// The size of a GIF's global colour table from its header.
int gifPaletteSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char header[13] = {};
    in.read(header, sizeof header);
    if (!in || std::string(header, 3) != "GIF" || !(header[10] & 0x80)) return 0;
    return 2 << (header[10] & 7);
}

TEST_F(Convert, ApplyOnTheCurrentFileWritesA16ColourGifAndSaysSo)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg", "b.jpg", "c.jpg"});
    select({0, 1, 2});
    runScript("command 4054\n" + std::string(kFormatTab) + "\ndialog-check 1015 1\ndialog-select 1020 1\n" +
              kInfosTab + "\ndialog-command 1080\nstate " + st("msg.txt") + "\ndialog-command 1\nstate " +
              st("after.txt") + "\ndialog-command 2\nstate " + st("closed.txt"));
    EXPECT_EQ(stateValue("msg.txt", "message"), "a.jpg was converted into a_m.gif.");
    // Apply on one of several files leaves the sheet open.
    EXPECT_EQ(stateValue("after.txt", "sheet"), "convert");
    EXPECT_EQ(stateValue("after.txt", "result"), "0 " + picture("a_m.gif"));
    EXPECT_EQ(stateValue("closed.txt", "sheet"), "");
    EXPECT_EQ(gifPaletteSize(picture("a_m.gif")), 16);
    EXPECT_EQ(output("identify -format '%m %wx%h' '" + picture("a_m.gif") + "'"), "GIF 64x48");
    EXPECT_FALSE(std::filesystem::exists(picture("b_m.gif")));
}

TEST_F(Convert, ApplyToAllOverFiveFilesShowsNoMessageAndClosesTheSheet)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"});
    select({0, 1, 2, 3, 4});
    runScript("command 4054\n" + std::string(kFormatTab) + "\ndialog-check 1016 1\ndialog-select 1021 1\n" +
              kFormatTab + "\ndialog-check 1014 1\n" + kInfosTab + "\ndialog-command 1028\nstate " + st("s.txt"));
    EXPECT_EQ(stateValue("s.txt", "message"), "");
    EXPECT_EQ(stateValue("s.txt", "sheet"), "");
    EXPECT_EQ(stateValue("s.txt", "result"), "0 " + picture("p5_m.jpg"));
    for (int i = 1; i <= 5; ++i) {
        std::string out = picture("p" + std::to_string(i) + "_m.jpg");
        // JPEG output is always true colour, whatever the BMP depth list says.
        EXPECT_EQ(output("identify -format '%m %[channels] %z' '" + out + "'"), "JPEG srgb 8") << out;
    }
}

TEST_F(Convert, DeclinedOverwriteKeepsTheFileAndShowsNoSuccessMessage)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    testsupport::writeFile(picture("a_m.jpg"), std::string("keep me"));
    select({0});
    runScript("command 4054\ndialog-command 1080\nstate " + st("ask.txt") + "\ndialog-command 2\nstate " +
              st("after.txt"));
    EXPECT_EQ(stateValue("ask.txt", "message"), "A file of that name already exists. Replace it?");
    EXPECT_EQ(stateValue("after.txt", "message"), "");
    EXPECT_EQ(stateValue("after.txt", "result"), "-1 " + picture("a_m.jpg"));
    std::ifstream in(picture("a_m.jpg"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me");
}

TEST_F(Convert, AgreedOverwriteReplacesTheFile)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    testsupport::writeFile(picture("a_m.jpg"), std::string("old"));
    select({0});
    runScript("command 4054\ndialog-command 1080\ndialog-command 1\nstate " + st("s.txt") + "\ndialog-command 1");
    EXPECT_EQ(stateValue("s.txt", "message"), "a.jpg was converted into a_m.jpg.");
    EXPECT_EQ(output("identify -format '%m %wx%h' '" + picture("a_m.jpg") + "'"), "JPEG 64x48");
}

TEST_F(Convert, KeepsExifAndTheModificationTimeAndWritesIntoTheChosenFolder)
{
    if (!hasImageMagick || !hasExiftool) GTEST_SKIP() << "no ImageMagick or exiftool";
    makePictures({"a.jpg"});
    ASSERT_EQ(std::system(("exiftool -q -overwrite_original -Artist=Tester -Model=Cam '" + picture("a.jpg") + "'").c_str()), 0);
    auto sourceTime = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(picture("a.jpg"), sourceTime);
    std::filesystem::path out = dir / "out";
    std::filesystem::create_directories(out);
    select({0});
    runScript("command 4054\n" + std::string(kFolderTab) + "\ndialog-text 1001 \"x_\"\ndialog-text 1002 \"\"\n" +
              "dialog-text 1029 \"" + out.string() + "\"\n" + kInfosTab + "\ndialog-command 1080\ndialog-command 1");
    std::string written = (out / "x_a.jpg").string();
    ASSERT_TRUE(std::filesystem::exists(written));
    EXPECT_EQ(output("exiftool -s3 -Artist -Model '" + written + "'"), "Tester\nCam");
    EXPECT_EQ(std::filesystem::last_write_time(written), std::filesystem::last_write_time(picture("a.jpg")));
}

TEST_F(Convert, AFailedSaveSaysSoAndLeavesTheSourceIntact)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    auto before = testsupport::readFile(picture("a.jpg"));
    std::string missing = (dir / "no" / "such" / "folder").string();
    select({0});
    runScript("command 4054\n" + std::string(kFolderTab) + "\ndialog-text 1029 \"" + missing + "\"\n" + kInfosTab +
              "\ndialog-command 1080\nstate " + st("s.txt") + "\ndialog-command 1\nstate " + st("after.txt"));
    EXPECT_EQ(stateValue("s.txt", "message"), "The picture could not be saved.");
    std::string result = stateValue("after.txt", "result");
    EXPECT_GT(std::atoi(result.c_str()), 0) << result;
    EXPECT_EQ(testsupport::readFile(picture("a.jpg")), before);
}

TEST_F(Convert, PreviousAndNextMoveThroughTheSelection)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg", "b.jpg", "c.jpg"});
    select({0, 2});
    runScript("command 4054\nstate " + st("0.txt") + "\ndialog-command 1249\nstate " + st("1.txt") +
              "\ndialog-command 1080\nstate " + st("2.txt") + "\ndialog-command 1\ndialog-command 1248\nstate " +
              st("3.txt") + "\ndialog-command 2");
    EXPECT_EQ(stateValue("0.txt", "current-file"), picture("a.jpg"));
    EXPECT_EQ(stateValue("0.txt", "page"), "0");
    EXPECT_EQ(stateValue("1.txt", "current-file"), picture("c.jpg"));
    // Apply works on the file shown.
    EXPECT_EQ(stateValue("2.txt", "message"), "c.jpg was converted into c_m.jpg.");
    EXPECT_EQ(stateValue("3.txt", "current-file"), picture("a.jpg"));
    EXPECT_FALSE(std::filesystem::exists(picture("a_m.jpg")));
}

}  // namespace
