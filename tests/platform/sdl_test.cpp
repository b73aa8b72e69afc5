// The SDL back end, under SDL's offscreen video driver: the demo's screenshot
// read back from the SDL renderer equals the one drawn headless.
#include "tests/support/platform_support.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

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

namespace {

using platformtest::recorded;
using platformtest::startOffscreenSdl;
using platformtest::stopOffscreenSdl;

// The SDL back end in this process, on the offscreen driver: host events
// become stylus, key and text messages, and closing the window closes the program.
class SdlInProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startOffscreenSdl(3));
        ASSERT_STREQ(PlatformBackendName(), "sdl");
        recorded().clear();
    }
    void TearDown() override { stopOffscreenSdl(); }
};

LRESULT quitOnDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    recorded().push_back(platformtest::Recorded{hwnd, message, wParam, lParam});
    if (message == WM_DESTROY) PostQuitMessage(5);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void push(SDL_Event e)
{
    e.common.timestamp = SDL_GetTicks();
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

TEST_F(SdlInProcess, host_events_become_messages_and_closing_ends_the_loop)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = quitOnDestroy;
    wc.lpszClassName = "SdlMain";
    RegisterClass(&wc);
    HWND w = CreateWindowEx(0, "SdlMain", "main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 30 * 3 + 1;  // screen (30, 40): zoomed by 3 in the host window
    e.button.y = 40 * 3 + 2;
    push(e);
    e = SDL_Event{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_UP;
    push(e);
    e = SDL_Event{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "\xC3\xA9");
    push(e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    push(e);
    MSG msg;
    int guard = 0;
    while (GetMessage(&msg, nullptr, 0, 0) > 0 && ++guard < 10000) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(IsWindow(w));
    std::vector<UINT> order;
    for (const auto& r : recorded()) {
        if (r.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(GET_X_LPARAM(r.lParam), 30);
            EXPECT_EQ(GET_Y_LPARAM(r.lParam), 40 - 26);  // client coordinates, below the task bar
        }
        if (r.message == WM_KEYDOWN) { EXPECT_EQ(r.wParam, static_cast<WPARAM>(VK_UP)); }
        if (r.message == WM_CHAR) { EXPECT_EQ(r.wParam, 0xE9u); }
        if (r.message == WM_LBUTTONDOWN || r.message == WM_KEYDOWN || r.message == WM_CHAR || r.message == WM_CLOSE)
            order.push_back(r.message);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR, WM_CLOSE}));
}

// A second finger makes a pinch: the zoom gesture goes to the window under
// the fingers' centre with their distance, the first finger stops moving the
// stylus, and its lift still comes. The wheel turns into WM_MOUSEWHEEL.
TEST_F(SdlInProcess, two_fingers_pinch_and_the_wheel_zooms)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = quitOnDestroy;
    wc.lpszClassName = "SdlPinch";
    RegisterClass(&wc);
    HWND w = CreateWindowEx(0, "SdlPinch", "main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    auto finger = [](Uint32 type, SDL_FingerID id, float x, float y) {
        SDL_Event e{};
        e.type = type;
        e.tfinger.fingerId = id;
        e.tfinger.x = x;
        e.tfinger.y = y;
        push(e);
    };
    finger(SDL_FINGERDOWN, 1, 0.25f, 0.5f);
    finger(SDL_FINGERDOWN, 2, 0.75f, 0.5f);   // 120 pixels apart on 240 x 320
    finger(SDL_FINGERMOTION, 2, 0.875f, 0.5f);
    finger(SDL_FINGERMOTION, 1, 0.125f, 0.5f);
    finger(SDL_FINGERUP, 2, 0.875f, 0.5f);
    finger(SDL_FINGERMOTION, 1, 0.2f, 0.6f);  // after the pinch: moves nothing
    finger(SDL_FINGERUP, 1, 0.2f, 0.6f);
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -2;
    e.wheel.mouseX = 60 * 3;
    e.wheel.mouseY = 100 * 3;
    push(e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    push(e);
    MSG msg;
    int guard = 0;
    while (GetMessage(&msg, nullptr, 0, 0) > 0 && ++guard < 10000) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    std::vector<std::string> seen;
    for (const auto& r : recorded()) {
        if (r.message == WM_GESTURE) {
            GESTUREINFO info{};
            ASSERT_TRUE(GetGestureInfo(reinterpret_cast<HGESTUREINFO>(r.lParam), &info));
            EXPECT_EQ(info.dwID, static_cast<DWORD>(GID_ZOOM));
            seen.push_back("zoom " + std::to_string(info.dwFlags) + " " + std::to_string(info.ptsLocation.x) + "," +
                           std::to_string(info.ptsLocation.y) + " " + std::to_string(info.ullArguments));
        }
        if (r.message == WM_LBUTTONDOWN || r.message == WM_MOUSEMOVE || r.message == WM_LBUTTONUP)
            seen.push_back(r.message == WM_LBUTTONDOWN ? "down" : r.message == WM_MOUSEMOVE ? "move" : "up");
        if (r.message == WM_MOUSEWHEEL)
            seen.push_back("wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(r.wParam)) + " " +
                           std::to_string(GET_X_LPARAM(r.lParam)) + "," + std::to_string(GET_Y_LPARAM(r.lParam)));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "zoom 1 120,160 120", "zoom 0 135,160 150", "zoom 0 120,160 180",
                                              "zoom 4 120,160 180", "up", "wheel -240 60,100"}));
}

}  // namespace

namespace {

// Idle-timer resets switch the host's screen saver off (the SDL clock is real,
// so the end of the hold is tested headless, on the virtual clock).
TEST_F(SdlInProcess, idle_timer_resets_keep_the_host_screen_saver_off)
{
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    SystemIdleTimerReset();
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    EXPECT_TRUE(PlatformScreenSaverHeld());
}

}  // namespace
