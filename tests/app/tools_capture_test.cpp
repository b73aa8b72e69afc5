// Screen capture: the next free capture number with the format's
// extension, a full set of numbers refused, and the timer road through the
// script driver writing a picture of the screen.
#include "app/tools/capture_tool.h"
#include "app/tools/batch_settings.h"
#include "imagelib/formats.h"
#include "tests/app/tools_sheet_fixture.h"

#include <cstdio>
#include <filesystem>

using namespace fotrix;
using namespace toolstest;

namespace {

class CaptureNames : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    void SetUp() override { libraryInit(); }
    void TearDown() override { libraryExit(); }
    std::string folder() const { return dir.path().string() + "/"; }
};

TEST_F(CaptureNames, TakesTheNextFreeNumberWithTheFormatsExtension)
{
    for (const char* name : {"capture001.png", "capture002.png", "capture003.png"})
        testsupport::writeFile(dir / name, std::string("x"));
    EXPECT_EQ(NextCaptureName(folder(), OutputPng), "capture004.png");
    // The numbers are counted per extension.
    EXPECT_EQ(NextCaptureName(folder(), OutputJpeg), "capture001.jpg");
}

TEST_F(CaptureNames, EveryNumberTakenGivesNoName)
{
    for (int i = 1; i <= 999; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "capture%03d.bmp", i);
        testsupport::writeFile(dir / name, std::string());
    }
    EXPECT_EQ(NextCaptureName(folder(), OutputBmp), "");
}

class CaptureSheet : public ToolsWindow {};

TEST_F(CaptureSheet, TheTimerWritesTheScreenAfterTheDelay)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    std::string home = (dir / "home").string() + "/";
    testsupport::writeFile(home + "capture001.png", std::string("x"));
    std::string st = (dir / "early.txt").string();
    // PNG, delay 5 s: nothing after 4 s, the picture after 5.
    runScript("command 4141\ntap 58 283\ndialog-check 1017 1\ntap 18 283\ndialog-select 1068 1\n"
              "dialog-command 1080\nwait 4000\nstate " + st + "\nwait 1100\nstate " + (dir / "late.txt").string() +
              "\ndialog-command 1");
    EXPECT_EQ(stateValue("early.txt", "message"), "");
    EXPECT_EQ(stateValue("late.txt", "message"), "The screen was saved as " + home + "capture002.png.");
    EXPECT_EQ(output("identify -format '%m %wx%h' '" + home + "capture002.png'"), "PNG 240x320");
}

}  // namespace
