// Hardware keys in each mode and the in-window slideshow.
#include "app/shell/main_window.h"
#include "app/viewer/view_state.h"
#include "tests/app/shell_fixture.h"

using namespace fotrix;

namespace shelltest {
namespace {

class Slideshow : public ShellWindow {
protected:
    void start(int pictures, const std::vector<int>& selection)
    {
        createMain();
        fillList(pictures);
        select(selection);
        command(CmdSlideshow);
    }
    // Lets the slide delay pass once.
    void tick()
    {
        PlatformAdvanceClock(static_cast<DWORD>(gApp.slideDelay) * 1000);
        PlatformRunPending();
    }
};

TEST_F(ShellWindow, browse_modes_take_only_return)
{
    createMain();
    fillList(3);
    select({1});
    key(VK_RIGHT);
    key(VK_UP);
    EXPECT_EQ(gApp.mode, ModeThumbnails);
    EXPECT_EQ(gApp.currentIndex, -1);
    key(VK_RETURN);  // KeyReturn 3 opens the selected picture, full screen by OpenInFull
    EXPECT_EQ(gApp.mode, ModeFullScreen);
    EXPECT_EQ(gApp.currentIndex, 1);
}

TEST_F(ShellWindow, arrows_in_the_viewer_step_through_the_list_and_go_round)
{
    createMain();
    fillList(3);
    select({2});
    command(CmdModeImage);
    ASSERT_EQ(gApp.currentIndex, 2);
    key(VK_RIGHT);  // KeyRight 1: next, after the last the first
    EXPECT_EQ(gApp.currentIndex, 0);
    EXPECT_EQ(selected(), std::vector<int>{0});
    key(VK_LEFT);   // KeyLeft 2: previous, before the first the last
    EXPECT_EQ(gApp.currentIndex, 2);
    EXPECT_EQ(selected(), std::vector<int>{2});
    key(VK_DOWN);
    EXPECT_EQ(gApp.currentIndex, 1);
    key(VK_RETURN);  // KeyReturn 3 in Image closes
    EXPECT_EQ(gApp.mode, ModeThumbnails);
}

TEST_F(ShellWindow, the_full_screen_label_follows_the_picture_shown)
{
    createMain();
    fillList(3);
    select({0});
    command(CmdModeFullScreen);
    ASSERT_NE(viewStateOf(gApp.viewWindow), nullptr);
    EXPECT_EQ(viewStateOf(gApp.viewWindow)->label, "picture00.bmp");
    key(VK_RIGHT);
    EXPECT_EQ(gApp.currentIndex, 1);
    EXPECT_EQ(viewStateOf(gApp.viewWindow)->label, "picture01.bmp");
    gApp.labelInFull = 0;
    command(CmdModeImage);
    EXPECT_EQ(viewStateOf(gApp.viewWindow)->label, "");
}

TEST_F(ShellWindow, key_action_0_does_not_change_the_picture)
{
    storeNumber("KeyLeft", 0);
    createMain();
    fillList(3);
    select({1});
    command(CmdModeImage);
    key(VK_LEFT);  // scrolls the view by 16 pixels instead
    EXPECT_EQ(gApp.currentIndex, 1);
    EXPECT_EQ(gApp.mode, ModeImage);
}

TEST_F(ShellWindow, key_action_4_starts_and_stops_the_slideshow)
{
    storeNumber("KeyUp", 4);
    createMain();
    fillList(2);
    select({0});
    command(CmdModeImage);
    key(VK_UP);
    EXPECT_EQ(gApp.mode, ModeSlideshow);
    EXPECT_EQ(gApp.returnMode, ModeImage);
    command(CmdSlideshow);
    EXPECT_EQ(gApp.mode, ModeImage);
    EXPECT_EQ(gApp.returnMode, ModeThumbnails);  // Image still knows its way back
    key(VK_RETURN);
    EXPECT_EQ(gApp.mode, ModeThumbnails);
}

TEST_F(Slideshow, up_and_left_go_forward_down_and_right_back)
{
    start(4, {1});
    ASSERT_EQ(gApp.mode, ModeSlideshow);
    EXPECT_EQ(gApp.returnMode, ModeThumbnails);
    gApp.currentIndex = 1;
    key(VK_UP);
    EXPECT_EQ(gApp.currentIndex, 2);
    key(VK_LEFT);
    EXPECT_EQ(gApp.currentIndex, 3);
    key(VK_DOWN);
    EXPECT_EQ(gApp.currentIndex, 2);
    key(VK_RIGHT);
    EXPECT_EQ(gApp.currentIndex, 1);
    key(VK_RETURN);  // other keys do nothing
    EXPECT_EQ(gApp.mode, ModeSlideshow);
}

TEST_F(Slideshow, without_loop_ends_after_the_last_and_returns_to_the_mode_it_came_from)
{
    createMain();
    fillList(3);
    command(CmdModeList);
    RECT before{};
    GetWindowRect(main, &before);
    command(CmdSlideshow);
    ASSERT_EQ(gApp.mode, ModeSlideshow);
    EXPECT_EQ(gApp.currentIndex, 0);  // no current entry: the first
    EXPECT_FALSE(IsWindowVisible(gApp.menuBar));
    tick();
    EXPECT_EQ(gApp.currentIndex, 1);
    tick();
    EXPECT_EQ(gApp.currentIndex, 2);
    tick();
    EXPECT_EQ(gApp.mode, ModeList);
    EXPECT_EQ(gApp.returnMode, -1);
    EXPECT_EQ(selected(), std::vector<int>{2});  // the last shown is selected
    RECT after{};
    GetWindowRect(main, &after);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_TRUE(IsWindowVisible(gApp.menuBar));
    tick();  // the timer is gone
    EXPECT_EQ(gApp.mode, ModeList);
}

TEST_F(Slideshow, with_loop_starts_again_after_the_last)
{
    storeNumber("SlideLoop", 1);
    start(2, {1});
    gApp.currentIndex = 1;
    tick();
    EXPECT_EQ(gApp.currentIndex, 0);
    EXPECT_EQ(gApp.mode, ModeSlideshow);
    key(VK_DOWN);
    EXPECT_EQ(gApp.currentIndex, 1);  // before the first: the last
}

TEST_F(Slideshow, two_or_more_selected_walks_only_those)
{
    createMain();
    fillList(6);
    select({1, 3, 4});
    gApp.currentIndex = 1;
    command(CmdSlideshow);
    ASSERT_EQ(gApp.currentIndex, 1);
    tick();
    EXPECT_EQ(gApp.currentIndex, 3);
    tick();
    EXPECT_EQ(gApp.currentIndex, 4);
    key(VK_DOWN);
    EXPECT_EQ(gApp.currentIndex, 3);
    key(VK_UP);
    tick();  // past the last selected without loop: the end
    EXPECT_EQ(gApp.mode, ModeThumbnails);
    EXPECT_EQ(selected(), std::vector<int>{4});
}

TEST_F(Slideshow, selected_walk_loops_over_the_selection)
{
    storeNumber("SlideLoop", 1);
    createMain();
    fillList(6);
    select({2, 5});
    gApp.currentIndex = 5;
    command(CmdSlideshow);
    tick();
    EXPECT_EQ(gApp.currentIndex, 2);
    key(VK_RIGHT);  // before the first selected: the last selected
    EXPECT_EQ(gApp.currentIndex, 5);
}

TEST_F(Slideshow, empty_list_or_only_albums_do_nothing)
{
    createMain();
    command(CmdSlideshow);
    EXPECT_EQ(gApp.mode, ModeThumbnails);
    fillList(2);
    for (FileEntry& entry : gApp.files) entry.state = EntryAlbum;
    command(CmdSlideshow);
    EXPECT_EQ(gApp.mode, ModeThumbnails);
    EXPECT_EQ(gApp.returnMode, -1);
}

TEST_F(Slideshow, slide_delay_runs_the_timer_and_without_delay_only_keys_step)
{
    storeNumber("SlideDelay", 5);
    start(3, {});
    PlatformAdvanceClock(4900);
    PlatformRunPending();
    EXPECT_EQ(gApp.currentIndex, 0);
    PlatformAdvanceClock(200);
    PlatformRunPending();
    EXPECT_EQ(gApp.currentIndex, 1);
    command(CmdSlideshow);
    destroyMain();
    storeNumber("SlideUseDelay", 0);
    start(3, {});
    tick();
    EXPECT_EQ(gApp.currentIndex, 0);
    key(VK_UP);
    EXPECT_EQ(gApp.currentIndex, 1);
}

}  // namespace
}  // namespace shelltest
