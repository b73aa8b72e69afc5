// The main view: decoding boxes for each fit rule and zoom, turning to the
// screen, the zoom ladder and commands, load failures and their messages,
// and what double taps do to the display mode.
#include "app/viewer/main_view.h"
#include "app/viewer/main_view_internal.h"
#include "imagelib/formats.h"
#include "imagelib/save.h"
#include "tests/app/viewer_fixture.h"

#include <filesystem>
#include <sstream>
#include <string>

using namespace fotrix;
using namespace viewertest;

namespace {

std::vector<std::string> boxTexts;  // texts of each message box shown
std::vector<int> commands;          // WM_COMMAND ids the main window heard

BOOL collectText(HWND child, LPARAM)
{
    char text[512] = "";
    GetWindowText(child, text, sizeof text);
    if (text[0]) boxTexts.back() += std::string(text) + "|";
    return TRUE;
}

LRESULT mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        HWND box = reinterpret_cast<HWND>(lParam);
        char title[128] = "";
        GetWindowText(box, title, sizeof title);
        boxTexts.push_back(std::string(title) + "|");
        EnumChildWindows(box, collectText, 0);
        PostMessage(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    if (message == WM_TIMER && wParam == kAnimationTimer) OnAnimationTimer(hwnd);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class MainView : public ViewerTest {
protected:
    testsupport::TempDir dir;
    void SetUp() override
    {
        ViewerTest::SetUp();
        libraryInit();
        boxTexts.clear();
        commands.clear();
        gApp = AppState{};
        gApp.rotateAuto = 0;
        WNDCLASS wc{};
        wc.lpfnWndProc = mainProc;
        wc.lpszClassName = "ViewerTestMain";
        RegisterClass(&wc);
        RECT work{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        gApp.mainWindow = CreateWindow("ViewerTestMain", "main", WS_VISIBLE | WS_POPUP, 0, work.top, 240, 268,
                                       nullptr, nullptr, nullptr, nullptr);
        HWND view = CreateMainView(gApp.mainWindow);
        MoveWindow(view, 0, 0, 240, 268, TRUE);
        ShowWindow(view, SW_SHOW);
        SetFitMode(view, ShrinkLarge);
        pump();
    }
    void TearDown() override
    {
        ClearView();
        gApp = AppState{};
        libraryExit();
        ViewerTest::TearDown();
    }
    // A JPEG of the pattern, listed as entry `files.size()`.
    int addJpeg(const std::string& name, int width, int height)
    {
        Bitmap picture = patternPicture(width, height);
        SaveParams params;
        saveParamsDefaults(params);
        params.format = FormatJpeg;
        params.quality = 90;
        std::string path = (dir / name).string();
        EXPECT_EQ(saveBitmap(path, picture, params), 0);
        bitmapFree(picture);
        return addFile(path);
    }
    int addFile(const std::string& path)
    {
        FileEntry entry;
        entry.path = path;
        gApp.files.push_back(entry);
        return fileCount() - 1;
    }
};

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
    if (!std::filesystem::exists(path) || !testsupport::haveTool("identify")) GTEST_SKIP() << "no suite or ImageMagick";
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
    ViewSetMouseMode(1);
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
