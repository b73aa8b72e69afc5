// The main view: decoding boxes for each fit rule and zoom, turning to the
// screen, the zoom ladder and commands, load failures and their messages,
// and what double taps do to the display mode.
#include "tests/app/viewer_main_fixture.h"

#include <filesystem>
#include <sstream>
#include <string>

using namespace fotrix;
using namespace viewertest;

namespace {

TEST(DecodingBoxes, large_pictures_decode_into_the_screen_or_at_the_zoom)
{
    auto box = [](int w, int h, int zoom, bool exchange) {
        DecodeBox b = DecodingBox(w, h, 240, 320, zoom, exchange);
        return std::to_string(b.width) + "x" + std::to_string(b.height);
    };
    EXPECT_EQ(box(4000, 3000, -1, false), "240x320");
    EXPECT_EQ(box(4000, 3000, 50, false), "2000x1500");
    EXPECT_EQ(box(4000, 3000, -1, true), "320x240");
    EXPECT_EQ(box(4000, 3000, 50, true), "1500x2000");
    EXPECT_EQ(box(4000, 3000, 100, false), "-1x-1");  // 100 % and more: full size
    EXPECT_EQ(box(4000, 3000, 150, false), "-1x-1");
    EXPECT_EQ(box(480, 3000, -1, false), "-1x-1");    // not more than twice the screen width
    EXPECT_EQ(box(4000, 640, -1, false), "-1x-1");
    EXPECT_EQ(box(481, 641, -1, false), "240x320");
}

TEST(ZoomLadder, steps_up_and_down)
{
    EXPECT_EQ(ZoomLadderLarger(100), 150);
    EXPECT_EQ(ZoomLadderLarger(120), 150);
    EXPECT_EQ(ZoomLadderLarger(400), 400);
    EXPECT_EQ(ZoomLadderLarger(1000), 400);
    EXPECT_EQ(ZoomLadderLarger(3), 5);
    EXPECT_EQ(ZoomLadderLarger(5), 10);
    EXPECT_EQ(ZoomLadderSmaller(100), 70);
    EXPECT_EQ(ZoomLadderSmaller(120), 100);
    EXPECT_EQ(ZoomLadderSmaller(5), 5);
    EXPECT_EQ(ZoomLadderSmaller(3), 5);
    EXPECT_EQ(ZoomLadderSmaller(400), 300);
    EXPECT_EQ(ZoomLadderSmaller(1000), 400);
}

TEST(LoadMessages, the_path_takes_the_place_of_the_first_s_only)
{
    EXPECT_EQ(FormatWithPath("Cannot load %s !", "/a/b.jpg"), "Cannot load /a/b.jpg !");
    EXPECT_EQ(FormatWithPath("%n%s%s", "/x%s"), "%n/x%s%s");  // no printf: nothing else is read
    EXPECT_EQ(FormatWithPath("Cannot load", "/x"), "Cannot load /x");
}

TEST_F(MainView, a_large_jpeg_decodes_into_the_screen_in_the_fit_modes)
{
    int index = addJpeg("big.jpg", 4000, 3000);
    LoadIntoView(index, 0, false);
    EXPECT_TRUE(boxTexts.empty());
    EXPECT_EQ(gApp.currentIndex, index);
    EXPECT_EQ(gApp.requestedWidth, 240);
    EXPECT_EQ(gApp.requestedHeight, 320);
    EXPECT_EQ(gApp.loadedFull, 0);
    EXPECT_EQ(gApp.fullWidth, 4000);
    EXPECT_EQ(gApp.fullHeight, 3000);
    EXPECT_EQ(gApp.loadedWidth, 240);
    EXPECT_EQ(gApp.loadedHeight, 180);
    EXPECT_EQ(gApp.rotated, 0);
    EXPECT_EQ(gApp.pageCount, 1);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);
    // Loading the same picture again decodes nothing new.
    Bitmap* shown = GetViewBitmap(gApp.viewWindow);
    LoadIntoView(index, 0, false);
    EXPECT_EQ(GetViewBitmap(gApp.viewWindow), shown);
}

TEST_F(MainView, a_fixed_zoom_below_100_decodes_at_that_zoom)
{
    int index = addJpeg("big.jpg", 4000, 3000);
    LoadIntoView(index, 0, false);
    RunViewerCommand(gApp.mainWindow, CmdZoom50);
    EXPECT_EQ(gApp.zoomPercent, 50);
    EXPECT_EQ(gApp.requestedWidth, 2000);
    EXPECT_EQ(gApp.requestedHeight, 1500);
    EXPECT_EQ(gApp.loadedWidth, 2000);
    EXPECT_EQ(ViewGetZoom(), 100);  // the decoding is at 50 %: shown as it is
    EXPECT_EQ(ViewGetFitMode(), FixedZoom);
    // Larger from 50 is 70; back to a fit rule decodes into the screen again.
    RunViewerCommand(gApp.mainWindow, CmdZoomLarger);
    EXPECT_EQ(gApp.zoomPercent, 70);
    EXPECT_EQ(gApp.requestedWidth, 2800);
    RunViewerCommand(gApp.mainWindow, CmdFitWindow);
    EXPECT_EQ(gApp.zoomPercent, -1);
    EXPECT_EQ(ViewGetFitMode(), FitWindow);
    EXPECT_EQ(gApp.requestedWidth, 240);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);
}

TEST_F(MainView, actual_size_decodes_in_full)
{
    int index = addJpeg("big.jpg", 1000, 800);
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.loadedWidth, 240);
    RunViewerCommand(gApp.mainWindow, CmdActualSize);
    EXPECT_EQ(gApp.loadedFull, 1);
    EXPECT_EQ(gApp.loadedWidth, 1000);
    EXPECT_EQ(ViewGetZoom(), 100);
    RunViewerCommand(gApp.mainWindow, CmdZoom200);
    EXPECT_EQ(ViewGetZoom(), 200);
    EXPECT_EQ(gApp.loadedWidth, 1000);
    ViewScrollBy(-5000, -5000);
    ViewScrollBy(300, 100);
    EXPECT_EQ(ViewGetOrigin().x, 150);  // the picture point at the top left
    EXPECT_EQ(ViewGetOrigin().y, 50);
    EXPECT_FALSE(ViewGetSelection(nullptr));
    // Smaller from 200 is 150: a full decoding is only zoomed.
    RunViewerCommand(gApp.mainWindow, CmdZoomSmaller);
    EXPECT_EQ(gApp.zoomPercent, 150);
    EXPECT_EQ(ViewGetZoom(), 150);
}

TEST_F(MainView, auto_rotation_exchanges_the_box_and_turns_the_picture)
{
    gApp.rotateAuto = 1;
    int index = addJpeg("big.jpg", 4000, 3000);
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.requestedWidth, 320);
    EXPECT_EQ(gApp.requestedHeight, 240);
    EXPECT_EQ(gApp.loadedWidth, 320);
    EXPECT_EQ(gApp.loadedHeight, 240);
    EXPECT_EQ(gApp.rotated, 1);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cy, 320);
    RunViewerCommand(gApp.mainWindow, CmdZoom50);
    EXPECT_EQ(gApp.requestedWidth, 1500);
    EXPECT_EQ(gApp.requestedHeight, 2000);
    // Switching it off loads the picture again unturned.
    RunViewerCommand(gApp.mainWindow, CmdFitLargeFiles);
    RunViewerCommand(gApp.mainWindow, CmdAutoRotate);
    EXPECT_EQ(gApp.rotateAuto, 0);
    EXPECT_EQ(gApp.rotated, 0);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cy, 180);
}

TEST_F(MainView, turning_follows_rotate_left)
{
    gApp.rotateAuto = 1;
    int index = addJpeg("wide.jpg", 40, 20);
    gApp.rotateLeft = 0;  // +90: clockwise, the left column becomes the top row
    LoadIntoView(index, 0, false);
    Bitmap* shown = GetViewBitmap(gApp.viewWindow);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 20);
    EXPECT_EQ(shown->height, 40);
    Bitmap reference = patternPicture(40, 20);
    // Clockwise: shown (x, y) comes from source (y, H - 1 - x).
    auto near = [](const uint8_t* a, const uint8_t* b) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a[i] - b[i]) > 40) return false;
        return true;
    };
    EXPECT_TRUE(near(bitmapRow(*shown, 5) + 3 * 2, bitmapRow(reference, 20 - 1 - 2) + 3 * 5));
    bitmapFree(reference);
}

TEST_F(MainView, a_picture_that_fails_to_load_shows_the_message_and_leaves_the_view_usable)
{
    int good = addJpeg("good.jpg", 100, 100);
    std::string badPath = (dir / "broken.jpg").string();
    testsupport::writeFile(badPath, std::string("\xFF\xD8\xFF\xE0 this is not a picture"));
    int bad = addFile(badPath);
    int missing = addFile((dir / "gone.jpg").string());
    LoadIntoView(good, 0, false);
    ASSERT_TRUE(boxTexts.empty());
    LoadIntoView(bad, 0, false);
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_NE(boxTexts[0].find(badPath), std::string::npos) << boxTexts[0];
    EXPECT_EQ(gApp.currentIndex, bad);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 0);
    pump();
    EXPECT_EQ(viewPixel(gApp.viewWindow, 120, 134), RGB(0x80, 0x80, 0x80));
    LoadIntoView(missing, 0, false);
    ASSERT_EQ(boxTexts.size(), 2u);
    EXPECT_NE(boxTexts[1].find("gone.jpg"), std::string::npos) << boxTexts[1];
    // The next picture shows as usual.
    LoadIntoView(good, 0, false);
    EXPECT_EQ(boxTexts.size(), 2u);
    pump();
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 100);
    COLORREF centre = viewPixel(gApp.viewWindow, 120, 134);
    COLORREF expected = patternAt(50, 50);
    EXPECT_NEAR(GetRValue(centre), GetRValue(expected), 24);
    EXPECT_NEAR(GetGValue(centre), GetGValue(expected), 24);
    EXPECT_EQ(viewPixel(gApp.viewWindow, 10, 10), RGB(0x80, 0x80, 0x80));
    // Nothing happens for indexes outside the list or an album.
    LoadIntoView(-1, 0, false);
    LoadIntoView(99, 0, false);
    gApp.files[bad].state = EntryAlbum;
    LoadIntoView(bad, 0, false);
    EXPECT_EQ(gApp.currentIndex, good);
    EXPECT_EQ(boxTexts.size(), 2u);
}

TEST_F(MainView, a_file_that_vanishes_while_shown_fails_only_its_reload)
{
    int index = addJpeg("big.jpg", 1000, 800);
    LoadIntoView(index, 0, false);
    ASSERT_EQ(gApp.loadedFull, 0);
    std::filesystem::remove(gApp.files[index].path);
    pump();
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);  // the shown picture is the view's own
    RunViewerCommand(gApp.mainWindow, CmdActualSize);   // decoding again: the file is gone
    EXPECT_EQ(boxTexts.size(), 1u);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 0);
    RunViewerCommand(gApp.mainWindow, CmdZoomLarger);
    RunViewerCommand(gApp.mainWindow, CmdFitWindow);
    pump();
    EXPECT_EQ(viewPixel(gApp.viewWindow, 120, 134), RGB(0x80, 0x80, 0x80));
}

TEST_F(MainView, a_landscape_slideshow_turns_every_picture_the_other_way)
{
    gApp.mode = ModeSlideshow;
    gApp.slideLandscape = 1;
    gApp.rotateLeft = 1;  // the screen's turn is -90; the slideshow's is +90
    int tall = addJpeg("tall.jpg", 20, 40);
    LoadIntoView(tall, 0, false);
    EXPECT_EQ(gApp.rotated, 1);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 40);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cy, 20);
    EXPECT_TRUE(ExchangeBox(100, 400));
    // With a transition the picture is blended in and the view keeps a device bitmap.
    int wide = addJpeg("wide.jpg", 40, 20);
    LoadIntoView(wide, 0, true);
    EXPECT_EQ(GetViewBitmap(gApp.viewWindow), nullptr);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 20);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cy, 40);
}

TEST_F(MainView, a_selection_on_a_turned_picture_zooms_against_the_side_across_the_view)
{
    gApp.rotateAuto = 1;
    int wide = addJpeg("wide.jpg", 2400, 2000);
    LoadIntoView(wide, 0, false);  // decoded into 320 x 240 (288 x 240), turned to 240 x 288
    ASSERT_EQ(gApp.rotated, 1);
    ASSERT_EQ(GetPictureSize(gApp.viewWindow).cx, 240);
    gApp.viewMove = 0;
    ViewSetMouseMode(ViewMouseSelect);
    drag(gApp.viewWindow, 100, 100, 122, 118);  // about 24 x 20 loaded pixels
    // Zoom 800 on a view picture 240 wide that stands for the 2000 pixels of
    // the picture's height: 800 * 240 / 2000 = 96 % of the full picture.
    EXPECT_EQ(gApp.zoomPercent, 96);
    EXPECT_EQ(gApp.rotated, 1);
}

TEST_F(MainView, the_mouse_modes_follow_view_move)
{
    int index = addJpeg("big.jpg", 1000, 800);
    LoadIntoView(index, 0, false);
    RunViewerCommand(gApp.mainWindow, CmdActualSize);
    ViewScrollBy(-5000, -5000);
    ViewSetMouseMode(ViewMousePan);
    drag(gApp.viewWindow, 100, 100, 60, 70);
    EXPECT_EQ(GetScrollPosition(gApp.viewWindow).x, 40);
    EXPECT_FALSE(ViewGetSelection(nullptr));
    ViewSetMouseMode(ViewMouseSelect);
    drag(gApp.viewWindow, 100, 100, 60, 70);
    EXPECT_EQ(GetScrollPosition(gApp.viewWindow).x, 40);
    EXPECT_TRUE(ViewGetSelection(nullptr));
    ViewSetMouseMode(ViewMouseOff);
    drag(gApp.viewWindow, 10, 10, 100, 100);
    EXPECT_EQ(GetScrollPosition(gApp.viewWindow).x, 40);
    Rect selection;
    ASSERT_TRUE(ViewGetSelection(&selection));
    EXPECT_EQ(selection.x, 100);  // picture pixels: 60 + 40 scrolled
}

TEST_F(MainView, pages_turn_within_the_file)
{
    int index = addJpeg("one.jpg", 50, 50);
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.pageCount, 1);
    RunViewerCommand(gApp.mainWindow, CmdNextPage);
    RunViewerCommand(gApp.mainWindow, CmdPreviousPage);
    EXPECT_EQ(gApp.currentPage, 0);
    EXPECT_TRUE(boxTexts.empty());
}

TEST_F(MainView, animated_gif_frames_follow_their_delays)
{
    std::string path = testsupport::testdata("gif-peterdn/animated_loop_variable_delay.gif").string();
    if (!std::filesystem::exists(path) || !testsupport::haveTool("identify")) SKIP_MISSING("no suite or ImageMagick");
    // ImageMagick's view of the delays, in hundredths of a second.
    std::string delays;
    ASSERT_EQ(testsupport::run("identify -format '%T ' '" + path + "'", &delays), 0);
    std::vector<int> expected;
    std::stringstream list(delays);
    for (int d; list >> d;) expected.push_back(d * 10);
    ASSERT_EQ(expected.size(), 4u);
    int index = addFile(path);
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.gifFrameCount, 4);
    EXPECT_EQ(gApp.gifFrame, 0);
    EXPECT_EQ(gApp.loadedFull, 1);
    for (int step = 1; step <= 5; ++step) {
        int shown = gApp.gifFrame;
        EXPECT_EQ(AnimationFrameDelay(shown), expected[shown]);
        ASSERT_NE(GetViewBitmap(gApp.viewWindow), nullptr);
        const uint8_t* before = GetViewBitmap(gApp.viewWindow)->pixels;
        PlatformAdvanceClock(static_cast<DWORD>(expected[shown] - 1));
        pump();
        EXPECT_EQ(gApp.gifFrame, shown) << "not before its delay";
        PlatformAdvanceClock(1);
        pump();
        EXPECT_EQ(gApp.gifFrame, (shown + 1) % 4);
        ASSERT_NE(GetViewBitmap(gApp.viewWindow), nullptr);
        EXPECT_NE(GetViewBitmap(gApp.viewWindow)->pixels, before) << step;  // the next frame's pixels
    }
    // Another picture stops the animation.
    int still = addJpeg("still.jpg", 20, 20);
    LoadIntoView(still, 0, false);
    EXPECT_EQ(gApp.gifFrameCount, 0);
    PlatformAdvanceClock(5000);
    pump();
    EXPECT_EQ(gApp.gifFrame, 0);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 20);
}

TEST_F(MainView, tap_and_hold_pops_up_the_zoom_menu_whose_choice_goes_to_the_main_window)
{
    static const MenuTemplateItem kPopup[] = {
        {MF_POPUP, "View", 0},
            {MF_STRING, "Larger", CmdZoomLarger},
            {MF_STRING, "Smaller", CmdZoomSmaller},
            {MF_STRING, "Screen", CmdFitWindow},
        {MENU_END_POPUP, nullptr, 0},
    };
    static const MenuResource kMenus[] = {{185, kPopup, 5}};
    RegisterMenus(kMenus, 1);
    int index = addJpeg("one.jpg", 50, 50);
    LoadIntoView(index, 0, false);
    gApp.mode = ModeImage;
    struct Seen {
        RECT popup{};
        int turns = 0;
    } seen;
    // The first idle turn of the pop-up: note where it is and pick "Smaller".
    SetMenuIdleHook(
        [](HWND popup, void* data) {
            auto* s = static_cast<Seen*>(data);
            if (s->turns++ == 0) {
                GetWindowRect(popup, &s->popup);
                PlatformKeyInput(VK_DOWN, true);
                PlatformKeyInput(VK_DOWN, false);
                PlatformKeyInput(VK_DOWN, true);
                PlatformKeyInput(VK_DOWN, false);
                PlatformKeyInput(VK_RETURN, true);
                PlatformKeyInput(VK_RETURN, false);
            } else if (s->turns > 20) {
                EndMenu();
            }
        },
        &seen);
    PlatformAdvanceClock(1000);
    stylus(gApp.viewWindow, StylusDown, 60, 70);
    pump();
    stylus(gApp.viewWindow, StylusUp, 60, 70);
    pump();
    SetMenuIdleHook(nullptr, nullptr);
    ASSERT_GT(seen.turns, 0);
    POINT screen{60, 70};
    ClientToScreen(gApp.viewWindow, &screen);
    EXPECT_LE(std::abs(seen.popup.left - screen.x), 2);
    EXPECT_LE(std::abs(seen.popup.top - screen.y), 2);
    EXPECT_EQ(commands, std::vector<int>{CmdZoomSmaller});
    // Not in a slideshow.
    commands.clear();
    seen = Seen{};
    gApp.mode = ModeSlideshow;
    PlatformAdvanceClock(1000);
    stylus(gApp.viewWindow, StylusDown, 60, 70);
    pump();
    stylus(gApp.viewWindow, StylusUp, 60, 70);
    pump();
    EXPECT_EQ(seen.turns, 0);
    EXPECT_TRUE(commands.empty());
}

TEST_F(MainView, double_taps_switch_between_the_modes)
{
    int index = addJpeg("one.jpg", 50, 50);
    LoadIntoView(index, 0, false);
    struct Case {
        int mode, openInFull, returnMode;
        int expectedCommand;  // 0: none
        int returnAfter;
    };
    const Case cases[] = {
        {ModeThumbnails, 1, -1, CmdModeFullScreen, -1},
        {ModeStrip, 0, -1, CmdModeFullScreen, -1},
        {ModeFullScreen, 1, ModeList, CmdModeList, -1},
        {ModeFullScreen, 1, -1, 0, -1},
        {ModeFullScreen, 0, ModeList, 0, ModeList},
        {ModeImage, 0, ModeDetails, CmdModeDetails, -1},
        {ModeImage, 0, -1, CmdModeFullScreen, -1},
        {ModeImage, 1, ModeThumbnails, CmdModeFullScreen, -1},
        {ModeImage, 1, ModeList, CmdModeFullScreen, ModeList},
    };
    for (const Case& c : cases) {
        commands.clear();
        gApp.mode = c.mode;
        gApp.openInFull = c.openInFull;
        gApp.returnMode = c.returnMode;
        PlatformAdvanceClock(1000);
        tap(gApp.viewWindow, 100, 100);
        tap(gApp.viewWindow, 100, 100);
        std::vector<int> expected;
        if (c.expectedCommand) expected.push_back(c.expectedCommand);
        EXPECT_EQ(commands, expected) << "mode " << c.mode << " full " << c.openInFull << " return " << c.returnMode;
        EXPECT_EQ(gApp.returnMode, c.returnAfter) << "mode " << c.mode;
    }
}

TEST_F(MainView, a_selection_zooms_in_and_decodes_again_for_it)
{
    int index = addJpeg("big.jpg", 2400, 2000);
    LoadIntoView(index, 0, false);
    ASSERT_EQ(gApp.loadedWidth, 240);  // 2400 x 2000 into 240 x 320: 240 x 200
    gApp.viewMove = 0;
    ViewSetMouseMode(ViewMouseSelect);
    PlatformAdvanceClock(1000);
    // 24 x 20 loaded pixels around the middle.
    int top = (268 - 200) / 2;
    drag(gApp.viewWindow, 108, top + 90, 132, top + 110);
    // The selection (108, 90, 24, 20) fits the window at 800 %: 80 % of the
    // picture, decoded again at that zoom (1920 x 1600) ...
    EXPECT_EQ(gApp.zoomPercent, 80);
    EXPECT_EQ(gApp.loadedFull, 0);
    EXPECT_EQ(gApp.requestedWidth, 1920);
    EXPECT_EQ(gApp.loadedWidth, 1920);
    // ... where the same part, now (864, 720, 192, 160), fits at 100 %, centred.
    EXPECT_EQ(ViewGetFitMode(), FixedZoom);
    EXPECT_EQ(ViewGetZoom(), 100);
    POINT scroll = GetScrollPosition(gApp.viewWindow);
    EXPECT_EQ(scroll.x, 864 - (240 - 192) / 2);
    EXPECT_EQ(scroll.y, 720 - (268 - 160) / 2);
}

}  // namespace
