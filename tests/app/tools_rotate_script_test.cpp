// The Rotate tool driven through the script: lossless and bitmap roads over
// a selection, checked with exiftool and ImageMagick.
#include "tests/app/tools_rotate_fixture.h"

namespace {

namespace fs = std::filesystem;
using toolstest::ToolScript;

TEST_F(ToolScript, rotate_all_lossless_writes_each_file_once_with_exif_following)
{
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) makeJpeg(name, 61, 45, 6);
    ASSERT_EQ(runScript("command 4048\ncommand 4140\ndialog-check 1057 1\ndialog-command 1060\n"
                        "dialog-command 1028"),
              0);
    for (const char* name : {"a_m.jpg", "b_m.jpg", "c_m.jpg"}) {
        SCOPED_TRACE(name);
        // 45 rows trimmed to whole 16-row MCUs (32) become the width.
        EXPECT_EQ(exif(pictures / name, "-ImageSize -Orientation -ExifImageWidth -ExifImageHeight -Artist"),
                  "ImageSize=32 61 Orientation=1 ExifImageWidth=32 ExifImageHeight=61 Artist=Tester ");
    }
    EXPECT_FALSE(fs::exists(pictures / "a_m_m.jpg"));
    EXPECT_EQ(std::distance(fs::directory_iterator(pictures), fs::directory_iterator{}), 6);
    // Apply to all closed the sheet without a success message.
    EXPECT_EQ(state("sheet"), "");
    EXPECT_EQ(state("message"), "");
    EXPECT_EQ(state("result"), "0 " + (pictures / "c_m.jpg").string());
}

TEST_F(ToolScript, rotate_in_place_replaces_the_source_only_after_success)
{
    makeJpeg("a.jpg", 64, 48, 1);
    storeText("Folder", "Suffix", "");
    const auto before = fs::last_write_time(pictures / "a.jpg");
    ASSERT_EQ(runScript("command 4048\ncommand 4140\ndialog-check 1057 1\ndialog-command 1061\n"
                        "dialog-command 1080"),
              0);
    EXPECT_FALSE(fs::exists(pictures / "a_m.jpg"));
    // A half turn of a picture of whole MCUs keeps every pixel and the size.
    EXPECT_EQ(exif(pictures / "a.jpg", "-ImageSize -Artist"), "ImageSize=64 48 Artist=Tester ");
    EXPECT_EQ(fs::last_write_time(pictures / "a.jpg"), before);  // the folder page keeps the time by default
    EXPECT_FALSE(fs::exists(pictures / "a.jpg.fotrix"));
    // The lossless road shows no success message, even for a single file.
    EXPECT_EQ(state("message"), "");
    EXPECT_EQ(state("result"), "0 " + (pictures / "a.jpg").string());
}

TEST_F(ToolScript, rotate_png_with_lossless_ticked_takes_the_bitmap_road_and_the_format_page)
{
    ASSERT_EQ(testsupport::run("convert -size 30x20 gradient:red-blue '" + (pictures / "p.png").string() + "'"), 0);
    storeNumber("Convert", "Format", 3);  // PNG
    ASSERT_EQ(runScript("command 4048\ncommand 4140\ndialog-check 1057 1\ndialog-command 1060\n"
                        "dialog-command 1080\nstate " + (dir / "message.txt").string() + "\ndialog-command 1"),
              0);
    EXPECT_EQ(size(pictures / "p_m.png"), "20x30");
    // A single-file Apply shows the success message.
    std::string shown;
    testsupport::run("grep '^message: ' '" + (dir / "message.txt").string() + "'", &shown);
    EXPECT_NE(shown.find("p.png"), std::string::npos) << shown;
    EXPECT_NE(shown.find("p_m.png"), std::string::npos) << shown;
}

}  // namespace

namespace {

TEST_F(ToolScript, rotate_lossless_over_an_existing_output_asks_and_keeps_it_when_declined)
{
    makeJpeg("a.jpg", 64, 48);
    testsupport::writeFile(pictures / "a_m.jpg", std::string("keep me"));
    ASSERT_EQ(runScript("command 4048\ncommand 4140\ndialog-check 1057 1\ndialog-command 1080\n"
                        "state " + (dir / "asked.txt").string() + "\ndialog-command 2"),
              0);
    std::string asked;
    testsupport::run("grep '^message: ' '" + (dir / "asked.txt").string() + "'", &asked);
    EXPECT_NE(asked.find("already exists"), std::string::npos) << asked;
    EXPECT_EQ(testsupport::readFile(pictures / "a_m.jpg"), std::vector<uint8_t>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_EQ(state("result"), "-1 " + (pictures / "a_m.jpg").string());
    // No success message follows on the lossless road.
    EXPECT_EQ(state("message"), "");
}

}  // namespace
