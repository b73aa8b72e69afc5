// The SDL back end, under SDL's offscreen video driver: the demo's screenshot
// read back from the SDL renderer equals the one drawn headless.
#include "tests/platform/platform_fixture.h"

#include <cstdlib>

namespace {

std::string demo() { return (testsupport::binaryDir() / "demo" / "fotrix-platform-demo").string(); }

// The SDL runs leave the leak check out: SDL's drivers, loaded at run time,
// keep a few allocations to the end (the headless runs check our code).
int runDemo(const std::string& configDir, const std::string& args)
{
    bool sdl = args.find("--headless") == std::string::npos;
    return testsupport::run(std::string(sdl ? "ASAN_OPTIONS=detect_leaks=0 " : "") + "FOTRIX_CONFIG_DIR='" + configDir +
                            "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" + demo() + "' " + args + " 2>&1");
}

TEST(SdlBackEnd, offscreen_window_shows_what_the_headless_screen_holds)
{
    testsupport::TempDir dir;
    std::string headless = (dir / "headless.png").string(), sdl = (dir / "sdl.png").string();
    ASSERT_EQ(runDemo((dir / "a").string(), "--headless --screenshot '" + headless + "'"), 0);
    ASSERT_EQ(runDemo((dir / "b").string(), "--zoom 2 --screenshot '" + sdl + "'"), 0);
    int w1, h1, w2, h2;
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(platformtest::readPng(headless, w1, h1, a));
    ASSERT_TRUE(platformtest::readPng(sdl, w2, h2, b));
    EXPECT_EQ(w1, 240);
    EXPECT_EQ(h1, 320);
    EXPECT_EQ(w2, 240);
    EXPECT_EQ(h2, 320);
    EXPECT_TRUE(a == b);
    // Not a blank picture: the task bar's colour is at the top.
    EXPECT_EQ(a[0], 16);
    EXPECT_EQ(a[1], 52);
    EXPECT_EQ(a[2], 120);
}

TEST(SdlBackEnd, demo_counts_its_runs_in_the_registry_and_honours_the_screen_size)
{
    testsupport::TempDir dir;
    std::string shot = (dir / "s.png").string();
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(runDemo(dir.path().string(), "--headless --screen 320x240 --dpi 120 --screenshot '" + shot + "'"), 0);
    std::vector<uint8_t> reg = testsupport::readFile(dir / "user.reg");
    std::string text(reg.begin(), reg.end());
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\Demo]\n\"Runs\"=dword:00000002"), std::string::npos) << text;
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(platformtest::readPng(shot, w, h, rgb));
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_NE(runDemo(dir.path().string(), "--headless --screen 10x"), 0);
}

}  // namespace
