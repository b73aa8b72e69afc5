// The General section: defaults on a fresh device, the round trip through
// the registry, and damaged values.
#include "app/settings.h"
#include "app/settings/general_settings.h"
#include "tests/app/shell_fixture.h"

#include <algorithm>

using namespace fotrix;

namespace shelltest {
namespace {

class GeneralSettings : public ShellWindow {
protected:
    void SetUp() override
    {
        ShellWindow::SetUp();
        startPlatform();
    }
    bool replaced(const std::string& name)
    {
        const auto& list = ReplacedGeneralSettings();
        return std::find(list.begin(), list.end(), name) != list.end();
    }
    void storeText(const char* name, const std::string& text) { WriteText("General", name, text.c_str()); }
};

TEST_F(GeneralSettings, a_fresh_device_reads_every_default_and_the_first_exit_creates_the_keys)
{
    AppState state;
    state.slideDelay = 99;
    state.keyLeft = 0;
    ReadGeneralSettings(state);
    EXPECT_EQ(state.slideBackColor, 0x808080u);
    EXPECT_EQ(state.slideDelay, 2);
    EXPECT_EQ(state.keyLeft, KeyActionPreviousPicture);
    EXPECT_EQ(state.keyReturn, KeyActionOpenClose);
    EXPECT_EQ(state.userViewMode, 4);
    EXPECT_EQ(state.fit, -1);
    EXPECT_EQ(state.homeFolder, (dir / "home").string() + "/");
    EXPECT_TRUE(ReplacedGeneralSettings().empty());
    EXPECT_EQ(ReadNumber("General", "ShowExt", -5), -5);  // nothing written by reading
    WriteGeneralSettings(state);
    EXPECT_EQ(ReadNumber("General", "ShowExt", -5), 1);
    EXPECT_EQ(ReadNumber("General", "PlayAnimatedGIF", -5), 1);
    EXPECT_EQ(ReadNumber("General", "Fit", -5), -5);  // Fit only by Exit
}

TEST_F(GeneralSettings, every_value_comes_back_as_written)
{
    AppState out;
    out.viewBackColor = 0x102030;
    out.slideBackColor = 0xFFFFFF;
    out.treeViewHeight = 77;
    out.slideDelay = 60;
    out.slideLoop = 1;
    out.mode = ModeStrip;
    out.sort = SortByDimensions | kSortDescending;
    out.homeFolder = "/data/pictures/";
    out.soundFilename = "/data/music/\xC3\xA9t\xC3\xA9.ogg";
    out.useSoundFilename = 1;
    out.userViewMode = 1;
    out.thumbSize = 4;
    out.fontTree = 12;
    out.fontThumb = 20;
    out.keyUp = 0;
    out.keyDown = 6;
    out.keyLeft = 5;
    out.keyRight = 4;
    out.keyReturn = 0;
    out.recursive = 1;
    WriteGeneralSettings(out);
    AppState in;
    ReadGeneralSettings(in);
    EXPECT_EQ(in.viewBackColor, out.viewBackColor);
    EXPECT_EQ(in.slideBackColor, out.slideBackColor);
    EXPECT_EQ(in.treeViewHeight, 77);
    EXPECT_EQ(in.slideDelay, 60);
    EXPECT_EQ(in.slideLoop, 1);
    EXPECT_EQ(in.mode, ModeStrip);
    EXPECT_EQ(in.sort, out.sort);
    EXPECT_EQ(in.homeFolder, out.homeFolder);
    EXPECT_EQ(in.soundFilename, out.soundFilename);
    EXPECT_EQ(in.userViewMode, 1);
    EXPECT_EQ(in.thumbSize, 4);
    EXPECT_EQ(in.fontTree, 12);
    EXPECT_EQ(in.fontThumb, 20);
    EXPECT_EQ(in.keyUp, 0);
    EXPECT_EQ(in.keyDown, 6);
    EXPECT_EQ(in.keyLeft, 5);
    EXPECT_EQ(in.keyRight, 4);
    EXPECT_EQ(in.keyReturn, 0);
    EXPECT_EQ(in.recursive, 1);
    EXPECT_TRUE(ReplacedGeneralSettings().empty());
}

TEST_F(GeneralSettings, mode_5_or_more_reads_as_0_without_a_report)
{
    storeNumber("Mode", 6);
    AppState state;
    ReadGeneralSettings(state);
    EXPECT_EQ(state.mode, ModeThumbnails);
    EXPECT_FALSE(replaced("Mode"));
    storeNumber("Mode", 4);
    ReadGeneralSettings(state);
    EXPECT_EQ(state.mode, ModeImage);  // kept; the window starts in Thumbnails
}

TEST_F(GeneralSettings, numbers_out_of_range_read_as_their_defaults_and_are_reported)
{
    struct Case { const char* name; int stored; int AppState::*field; int expected; };
    const Case cases[] = {
        {"SlideDelay", 0, &AppState::slideDelay, 2},
        {"SlideDelay", 100000, &AppState::slideDelay, 2},
        {"ThumbSize", 99, &AppState::thumbSize, 2},
        {"TreeViewHeight", -5, &AppState::treeViewHeight, 0},
        {"KeyUp", 7, &AppState::keyUp, KeyActionNextPicture},
        {"KeyReturn", -1, &AppState::keyReturn, KeyActionOpenClose},
        {"UserViewMode", 5, &AppState::userViewMode, 4},
        {"FontTree", 1000, &AppState::fontTree, 0},
        {"ShowLabel", 2, &AppState::showLabel, 1},
        {"Mode", -1, &AppState::mode, 0},
        {"Sort", 9, &AppState::sort, 0},
        {"Sort", 0x2001, &AppState::sort, 0},
    };
    for (const Case& c : cases) {
        storeNumber(c.name, c.stored);
        AppState state;
        ReadGeneralSettings(state);
        EXPECT_EQ(state.*c.field, c.expected) << c.name << " " << c.stored;
        EXPECT_TRUE(replaced(c.name)) << c.name;
        RegistryReset();
        WriteNumber("General", c.name, c.expected);
    }
    storeNumber("ViewBackColor", 0x1000000);
    AppState state;
    ReadGeneralSettings(state);
    EXPECT_EQ(state.viewBackColor, 0x808080u);
    EXPECT_TRUE(replaced("ViewBackColor"));
    storeNumber("Sort", SortByType | kSortDescending);  // a real value is kept
    ReadGeneralSettings(state);
    EXPECT_EQ(state.sort, SortByType | kSortDescending);
}

TEST_F(GeneralSettings, wrong_types_and_overlong_texts_read_as_defaults)
{
    storeNumber("Home", 5);
    storeText("SlideDelay", "7");
    storeText("SoundFilename", std::string(300, 'x'));
    AppState state;
    testing::internal::CaptureStderr();
    ReadGeneralSettings(state);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(state.homeFolder, (dir / "home").string() + "/");
    EXPECT_EQ(state.slideDelay, 2);
    EXPECT_EQ(state.soundFilename, "");
    EXPECT_TRUE(replaced("Home"));
    EXPECT_TRUE(replaced("SlideDelay"));
    EXPECT_TRUE(replaced("SoundFilename"));
    // One line for the run, naming each value.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("Home"), std::string::npos);
    EXPECT_NE(err.find("SlideDelay"), std::string::npos);
    EXPECT_NE(err.find("SoundFilename"), std::string::npos);
    std::string path259(259, 'p');
    storeText("SoundFilename", path259);  // 259 characters fit
    ReadGeneralSettings(state);
    EXPECT_EQ(state.soundFilename, path259);
    EXPECT_FALSE(replaced("SoundFilename"));
}

TEST_F(GeneralSettings, damaged_values_reach_the_window_as_defaults)
{
    storeNumber("SlideDelay", 0);
    storeNumber("TreeViewHeight", -400);
    createMain();
    EXPECT_EQ(gApp.slideDelay, 2);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(gApp.treeViewHeight, client.bottom / 2 - 16);
    destroyMain();
    EXPECT_EQ(ReadNumber("General", "SlideDelay", 0), 2);  // repaired on exit
}

}  // namespace
}  // namespace shelltest
