// The start screen: the tiles and their reach, the marked caption, what each
// tile does, cancelled choosers, scaling at 192 dpi and the picture from the
// "SPLASH" resource (whole, damaged or of the wrong size).
#include "app/shell/command_ids.h"
#include "app/resources/raw_resources.h"
#include "app/resources/resource_ids.h"
#include "app/startscreen/splash_picture.h"
#include "app/startscreen/start_screen.h"
#include "app/startscreen/start_tiles.h"
#include "archive/zip.h"
#include "tests/app/options_fixture.h"

#include <filesystem>

using namespace fotrix;
using namespace optionstest;

namespace {

void put16(std::vector<uint8_t>& b, size_t at, unsigned v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// An 8-bit BMP: palette entry i is (i, 255 - i, 0) in RGB; the bottom half
// of the picture uses colour 10, the top half colour 200.
std::vector<uint8_t> splashBmp(int width, int height)
{
    const size_t rowBytes = (static_cast<size_t>(width) + 3) & ~size_t{3};
    std::vector<uint8_t> b(1078 + rowBytes * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 10, 1078);
    put32(b, 14, 40);
    put32(b, 18, static_cast<uint32_t>(width));
    put32(b, 22, static_cast<uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, 8);
    put32(b, 46, 256);
    for (int i = 0; i < 256; ++i) {
        b[54 + 4 * i] = 0;                                  // blue
        b[54 + 4 * i + 1] = static_cast<uint8_t>(255 - i);  // green
        b[54 + 4 * i + 2] = static_cast<uint8_t>(i);        // red
    }
    for (int y = 0; y < height; ++y)  // bottom-up rows
        std::fill_n(b.begin() + 1078 + static_cast<ptrdiff_t>(y * rowBytes), width, y < height / 2 ? 10 : 200);
    return b;
}

COLORREF screenPixel(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

class StartScreenTest : public AppWindowTest {
protected:
    std::vector<uint8_t> archive;

    // A zip of one member made by the archive layer from a file.
    std::vector<uint8_t> zipOf(const std::vector<uint8_t>& member)
    {
        testsupport::writeFile(dir / "splash.bmp", member);
        std::string path = (dir / "splash.zip").string();
        ZipHandle* zip = zipCreate(path.c_str());
        EXPECT_NE(zip, nullptr);
        EXPECT_EQ(zipAdd(zip, "splash.bmp", (dir / "splash.bmp").string().c_str()), ZipOk);
        EXPECT_EQ(zipClose(zip), ZipOk);
        return testsupport::readFile(path);
    }
    void useSplash(std::vector<uint8_t> bytes)
    {
        archive = std::move(bytes);
        RegisterRawResource("SPLASH", kSplashResource, archive.data(), archive.size());
    }
    void TearDown() override
    {
        RegisterRawResource("SPLASH", kSplashResource, nullptr, 0);
        AppWindowTest::TearDown();
    }
    HWND open()
    {
        HWND screen = ShowStartScreen(mainWindow);
        pump();
        return screen;
    }
    static POINT centreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static void tapTile(HWND screen, const StartTile& tile)
    {
        POINT p = centreOf(tile.rect);
        tapAt(screen, p.x, p.y);
        pump();
    }
    // Whether the caption below a tile has red pixels (the marked one).
    static bool captionIsRed(const StartTile& tile)
    {
        HDC dc = GetDC(nullptr);
        bool red = false;
        for (int y = tile.rect.bottom; y < tile.rect.bottom + 28 && !red; ++y) {
            for (int x = tile.rect.left; x < tile.rect.right && !red; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                red = GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60;
            }
        }
        ReleaseDC(nullptr, dc);
        return red;
    }
};

TEST_F(StartScreenTest, covers_the_screen_with_its_class_and_hides_the_task_bar)
{
    HWND screen = open();
    ASSERT_NE(screen, nullptr);
    char name[32] = "";
    GetClassName(screen, name, sizeof name);
    EXPECT_STREQ(name, "SplashClass");
    RECT r;
    GetWindowRect(screen, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    EXPECT_FALSE(IsWindowVisible(screenTaskBar()));
}

TEST_F(StartScreenTest, a_tap_between_tiles_marks_nothing_and_the_lift_leaves_it_up)
{
    HWND screen = open();
    StartTiles tiles = MakeStartTiles(96, 96);
    EXPECT_EQ(StartTileAt(tiles, POINT{79, 80}), -1);   // between tiles 0 and 1
    EXPECT_EQ(StartTileAt(tiles, POINT{40, 15}), -1);   // 33 pixels above the first row
    stylusDown(screen, 79, 80);
    pump();
    for (const StartTile& tile : tiles) EXPECT_FALSE(captionIsRed(tile));
    stylusUp(screen, 79, 80);
    pump();
    EXPECT_TRUE(IsWindow(screen));
    EXPECT_TRUE(commands().empty());
}

TEST_F(StartScreenTest, a_tap_30_pixels_above_the_first_row_marks_the_tile_below)
{
    HWND screen = open();
    StartTiles tiles = MakeStartTiles(96, 96);
    EXPECT_EQ(StartTileAt(tiles, POINT{40, 18}), 0);
    EXPECT_EQ(StartTileAt(tiles, POINT{200, 18}), 2);
    // Just below a caption of the first row: still the first row, first match wins.
    EXPECT_EQ(StartTileAt(tiles, POINT{100, 140}), 1);
    stylusDown(screen, 200, 18);
    pump();
    EXPECT_TRUE(captionIsRed(tiles[2]));
    EXPECT_FALSE(captionIsRed(tiles[0]));
    // Lifting runs tile 2: its folder chooser comes up; cancelled, nothing more.
    script({[](HWND chooser) { PostMessage(chooser, WM_COMMAND, IDCANCEL, 0); }});
    stylusUp(screen, 200, 18);
    pump();
    EXPECT_TRUE(scriptDone());
    EXPECT_FALSE(IsWindow(screen));
    EXPECT_TRUE(commands().empty());
}

TEST_F(StartScreenTest, storage_card_and_options_tiles_send_their_commands_and_close)
{
    StartTiles tiles = MakeStartTiles(96, 96);
    HWND screen = open();
    ShowWindow(mainWindow, SW_HIDE);
    tapTile(screen, tiles[5]);
    EXPECT_EQ(commands(), std::vector<int>{CmdOptions});
    EXPECT_FALSE(IsWindow(screen));
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(IsWindowVisible(screenTaskBar()));
    screen = open();
    tapTile(screen, tiles[4]);
    EXPECT_EQ(commands(), (std::vector<int>{CmdOptions, CmdGoToStorageCard}));
    // The browse tile only closes the screen.
    screen = open();
    tapTile(screen, tiles[0]);
    EXPECT_FALSE(IsWindow(screen));
    EXPECT_EQ(commands().size(), 2u);
}

TEST_F(StartScreenTest, cancelled_choosers_close_the_screen_with_nothing_more)
{
    StartTiles tiles = MakeStartTiles(96, 96);
    for (int tile : {1, 2, 3}) {
        HWND screen = open();
        std::string chooserTexts;
        script({[&](HWND chooser) {
            chooserTexts = dialogTexts(chooser);
            PostMessage(chooser, WM_COMMAND, IDCANCEL, 0);
        }});
        tapTile(screen, tiles[tile]);
        EXPECT_TRUE(scriptDone()) << "tile " << tile;
        EXPECT_FALSE(IsWindow(screen)) << "tile " << tile;
        EXPECT_TRUE(IsWindowVisible(mainWindow));
        if (tile == 1) {
            EXPECT_NE(chooserTexts.find("Album files"), std::string::npos) << chooserTexts;
        }
    }
    EXPECT_TRUE(commands().empty());
}

TEST_F(StartScreenTest, a_chosen_folder_is_followed_by_the_tiles_command)
{
    std::filesystem::create_directories(dir / "pictures");
    gApp.currentFolder = (dir / "pictures").string() + "/";
    StartTiles tiles = MakeStartTiles(96, 96);
    HWND screen = open();
    script({[](HWND chooser) { PostMessage(chooser, WM_COMMAND, IDOK, 0); }});
    tapTile(screen, tiles[3]);
    EXPECT_EQ(commands(), std::vector<int>{CmdMakeSlideshowProgram});
    screen = open();
    script({[](HWND chooser) { PostMessage(chooser, WM_COMMAND, IDOK, 0); }});
    tapTile(screen, tiles[2]);
    EXPECT_EQ(commands(), (std::vector<int>{CmdMakeSlideshowProgram, CmdMakeAlbum}));
}

TEST_F(StartScreenTest, the_splash_picture_fills_the_screen_and_a_damaged_one_leaves_the_tiles)
{
    useSplash(zipOf(splashBmp(240, 320)));
    HWND screen = open();
    // Top half colour 200, bottom half colour 10 (bottom-up rows in the file).
    EXPECT_EQ(screenPixel(2, 2), RGB(200, 55, 0));
    EXPECT_EQ(screenPixel(2, 317), RGB(10, 245, 0));
    DestroyWindow(screen);

    std::vector<uint8_t> damaged = archive;
    damaged.resize(damaged.size() / 2);
    useSplash(damaged);
    screen = open();
    EXPECT_EQ(screenPixel(2, 2), GetSysColor(COLOR_WINDOW));
    tapTile(screen, MakeStartTiles(96, 96)[5]);
    EXPECT_EQ(commands(), std::vector<int>{CmdOptions});
}

TEST_F(StartScreenTest, only_a_240_by_320_picture_with_all_its_rows_is_taken)
{
    std::vector<uint8_t> file;
    std::vector<uint8_t> good = zipOf(splashBmp(240, 320));
    ASSERT_TRUE(ExtractSplashFile(good.data(), good.size(), file));
    HBITMAP dib = MakeSplashBitmap(file);
    EXPECT_NE(dib, nullptr);
    DeleteObject(dib);
    file.resize(file.size() - 1);  // one byte of the rows missing
    EXPECT_EQ(MakeSplashBitmap(file), nullptr);
    for (auto [w, h] : {std::pair{241, 320}, std::pair{240, 319}, std::pair{320, 240}}) {
        std::vector<uint8_t> other = zipOf(splashBmp(w, h));
        ASSERT_TRUE(ExtractSplashFile(other.data(), other.size(), file));
        EXPECT_EQ(MakeSplashBitmap(file), nullptr) << w << "x" << h;
    }
    // A member far larger than any picture of ours is refused before it is read.
    std::vector<uint8_t> huge = splashBmp(240, 320);
    huge.resize(2u << 20, 0);
    std::vector<uint8_t> hugeZip = zipOf(huge);
    EXPECT_FALSE(ExtractSplashFile(hugeZip.data(), hugeZip.size(), file));
    EXPECT_TRUE(file.empty());
    const uint8_t notZip[] = {'P', 'K', 3, 4, 0, 0};
    EXPECT_FALSE(ExtractSplashFile(notZip, sizeof notZip, file));
    EXPECT_TRUE(file.empty());
    EXPECT_FALSE(ExtractSplashFile(nullptr, 0, file));
}

class StartScreenLarge : public StartScreenTest {
protected:
    void SetUp() override { start(480, 640, 192); }
};

TEST_F(StartScreenLarge, tiles_scale_with_the_resolution)
{
    StartTiles tiles = MakeStartTiles(192, 192);
    EXPECT_EQ(tiles[0].rect.left, 20);
    EXPECT_EQ(tiles[0].rect.top, 96);
    EXPECT_EQ(tiles[5].rect.right, 456);
    EXPECT_EQ(tiles[5].rect.bottom, 458);
    StartTiles mixed = MakeStartTiles(96, 192);
    EXPECT_EQ(mixed[4].rect.left, 84);
    EXPECT_EQ(mixed[4].rect.top, 330);
    HWND screen = open();
    RECT r;
    GetWindowRect(screen, &r);
    EXPECT_EQ(r.right, 480);
    EXPECT_EQ(r.bottom, 640);
    // Where tile 5 lies at 96 dpi is tile 1's place here: nothing is sent.
    tapAt(screen, 196, 197);
    pump();
    EXPECT_FALSE(IsWindow(screen));
    EXPECT_TRUE(commands().empty());
    screen = open();
    tapTile(screen, tiles[5]);
    EXPECT_EQ(commands(), std::vector<int>{CmdOptions});
}

}  // namespace
