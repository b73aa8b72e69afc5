// The command map, the menu's enable rules and check marks, and the tool
// buttons' states.
#include "app/shell/commands.h"
#include "app/shell/main_window.h"
#include "app/settings.h"
#include "imagelib/formats.h"
#include "tests/app/shell_fixture.h"

#include <set>

using namespace fotrix;

namespace shelltest {
namespace {

TEST(ShellCommands, the_map_has_90_distinct_commands)
{
    const CommandMap& map = MainCommandMap();
    EXPECT_EQ(map.count, 90);
    std::set<int> ids;
    for (int i = 0; i < map.count; ++i) {
        ids.insert(map.entries[i].id);
        EXPECT_NE(map.entries[i].handler, nullptr);
    }
    EXPECT_EQ(ids.size(), 90u);
    for (int id : {1000, 1009, 4015, 4018, 4143, 10000, 10009, 4161, 4142, 4019, 4020})
        EXPECT_TRUE(ids.count(id)) << id;
    // The drop-down buttons and the favorites placeholder have no handler.
    for (int id : {4001, 4004, 4031, 4147}) EXPECT_FALSE(ids.count(id)) << id;
}

TEST_F(ShellWindow, an_unknown_command_changes_nothing)
{
    createMain();
    fillList(2);
    select({1});
    AppState before = gApp;
    for (int id : {0, 1, 999, 4001, 4147, 4999, 9999, 10010, 65535}) command(id);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(gApp.mode, before.mode);
    EXPECT_EQ(gApp.returnMode, before.returnMode);
    EXPECT_EQ(gApp.currentIndex, before.currentIndex);
    EXPECT_EQ(gApp.sort, before.sort);
    EXPECT_EQ(selected(), std::vector<int>{1});
}

TEST_F(ShellWindow, selection_rules_enable_the_file_and_tool_items)
{
    createMain();
    fillList(3);
    select({});
    UpdateMenuState();
    // Browser and tool commands are greyed until their parts are built, whatever the selection.
    EXPECT_FALSE(menuEnabled(CmdCut));
    EXPECT_FALSE(menuEnabled(CmdModeFullScreen));  // needs one selected
    EXPECT_TRUE(menuEnabled(CmdModeList));
    EXPECT_FALSE(menuEnabled(CmdPreviousPage));    // page 0
    select({1});
    UpdateMenuState();
    EXPECT_TRUE(menuEnabled(CmdModeFullScreen));
    EXPECT_EQ(menuEnabled(CmdRename), CommandReady(CmdRename));
    EXPECT_EQ(menuEnabled(CmdSendInfrared), CommandReady(CmdSendInfrared));
    select({0, 1});
    UpdateMenuState();
    EXPECT_FALSE(menuEnabled(CmdModeFullScreen));
    EXPECT_FALSE(menuEnabled(CmdRename));
    EXPECT_FALSE(menuEnabled(CmdSendInfrared));
    EXPECT_EQ(menuEnabled(CmdConvert), CommandReady(CmdConvert));
    EXPECT_TRUE(menuEnabled(CmdOptions));
    EXPECT_TRUE(menuEnabled(CmdAbout));
}

TEST_F(ShellWindow, enable_rules_before_readiness)
{
    createMain();
    fillList(2);
    gApp.pageCount = 3;
    gApp.currentPage = 2;
    UpdateMenuState();
    EXPECT_FALSE(menuEnabled(CmdNextPage));  // the last page
    int jpeg = formatFindByName("jpeg");
    ASSERT_GE(jpeg, 0);
    for (FileEntry& entry : gApp.files) entry.info.formatIndex = static_cast<uint16_t>(jpeg);
    select({0, 1});
    UpdateMenuState();
    EXPECT_EQ(menuEnabled(CmdIptcEdit), CommandReady(CmdIptcEdit));
    gApp.files[1].info.formatIndex = static_cast<uint16_t>(formatFindByName("png"));
    UpdateMenuState();
    EXPECT_FALSE(menuEnabled(CmdIptcEdit));
}

TEST_F(ShellWindow, slideshow_greys_the_browse_modes_and_sets_the_buttons)
{
    createMain();
    fillList(2);
    select({0});
    UpdateMenuState();
    EXPECT_EQ(buttonState(CmdOpenClose), TBSTATE_ENABLED);
    EXPECT_EQ(buttonState(CmdSaveAdjusted), TBSTATE_HIDDEN);  // browse mode
    EXPECT_NE(buttonState(CmdDelete) & TBSTATE_HIDDEN, TBSTATE_HIDDEN);
    command(CmdSlideshow);
    EXPECT_FALSE(menuEnabled(CmdModeThumbnails));
    EXPECT_FALSE(menuEnabled(CmdModeStrip));
    EXPECT_FALSE(menuEnabled(CmdModeFullScreen));
    EXPECT_EQ(buttonState(CmdOpenClose), 0);
    EXPECT_EQ(buttonState(CmdSlideshow), TBSTATE_ENABLED | TBSTATE_CHECKED);
    command(CmdSlideshow);
    EXPECT_TRUE(menuEnabled(CmdModeThumbnails));
    EXPECT_EQ(buttonState(CmdSlideshow), TBSTATE_ENABLED);
    select({0});
    command(CmdModeFullScreen);
    EXPECT_EQ(buttonState(CmdOpenClose), TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_EQ(buttonState(CmdDelete), TBSTATE_HIDDEN);
    EXPECT_EQ(buttonState(CmdProperties), 0);
    EXPECT_EQ(buttonState(CmdSaveAdjusted), TBSTATE_ENABLED);  // one colour picture selected
}

TEST_F(ShellWindow, sort_and_toggles_keep_their_check_marks_and_reach_the_registry)
{
    createMain();
    command(CmdSortSize);
    command(CmdSortDescending);
    EXPECT_EQ(gApp.sort, SortBySize | kSortDescending);
    EXPECT_TRUE(menuChecked(CmdSortSize));
    EXPECT_FALSE(menuChecked(CmdSortName));
    EXPECT_TRUE(menuChecked(CmdSortDescending));
    command(CmdSortDate);  // keeps the direction
    EXPECT_EQ(gApp.sort, SortByDate | kSortDescending);
    command(CmdSortAscending);
    EXPECT_EQ(gApp.sort, SortByDate);
    command(CmdFileNames);
    EXPECT_EQ(gApp.showLabel, 0);
    EXPECT_FALSE(menuChecked(CmdFileNames));
    command(CmdAutoRotate);
    EXPECT_FALSE(menuChecked(CmdAutoRotate));
    command(CmdWholeFolderTree);
    EXPECT_TRUE(menuChecked(CmdWholeFolderTree));
    destroyMain();
    EXPECT_EQ(ReadNumber("General", "Sort", -1), SortByDate);
    EXPECT_EQ(ReadNumber("General", "ShowLabel", -1), 0);
    EXPECT_EQ(ReadNumber("General", "RotateAuto", -1), 0);
    EXPECT_EQ(ReadNumber("General", "Recursive", -1), 1);
}

TEST_F(ShellWindow, fit_is_checked_from_the_setting_and_written_by_exit_only)
{
    startPlatform();
    struct Case { int stored; int checked; };
    for (Case c : {Case{-1, CmdFitLargeFiles}, Case{0, CmdFitLargeFiles}, Case{1, CmdFitWindow}, Case{2, CmdActualSize}}) {
        storeNumber("Fit", c.stored);
        createMain();
        EXPECT_TRUE(menuChecked(c.checked)) << c.stored;
        EXPECT_EQ(gApp.zoomPercent, c.stored == 2 ? 100 : -1);
        destroyMain();
        EXPECT_EQ(ReadNumber("General", "Fit", 99), c.stored);  // closing otherwise keeps it
    }
    createMain();
    command(CmdFitWindow);
    EXPECT_TRUE(menuChecked(CmdFitWindow));
    EXPECT_FALSE(menuChecked(CmdActualSize));
    command(CmdExit);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(ReadNumber("General", "Fit", 99), 1);
}

TEST_F(ShellWindow, select_commands_and_multiple_selection)
{
    createMain();
    fillList(4);
    select({1});
    command(CmdSelectAll);
    EXPECT_EQ(selected(), (std::vector<int>{0, 1, 2, 3}));
    select({0, 2});
    command(CmdSelectInvert);
    EXPECT_EQ(selected(), (std::vector<int>{1, 3}));
    command(CmdSelectNone);
    EXPECT_TRUE(selected().empty());
    command(CmdMultipleSelection);
    EXPECT_EQ(gApp.multiSelect, 1);
    EXPECT_TRUE(menuChecked(CmdMultipleSelection));
    select({2, 3});
    command(CmdMultipleSelection);  // off: only the first selected stays
    EXPECT_EQ(gApp.multiSelect, 0);
    EXPECT_EQ(selected(), std::vector<int>{2});
}

}  // namespace
}  // namespace shelltest
