// Activation and work-area changes as a main window handles them: the focus
// comes back to where it was, and a window covering the work area keeps
// covering it when the task bar or the menu-bar place is shown or hidden.
#include "tests/support/platform_support.h"

#include <map>

using namespace platformtest;

namespace {

// One activation record per window, as the program keeps one for its main window.
std::map<HWND, SHACTIVATEINFO>& records()
{
    static std::map<HWND, SHACTIVATEINFO> map;
    return map;
}

LRESULT shellWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE) {
        SHACTIVATEINFO& info = records()[hwnd];
        info.cbSize = 12;
        SHHandleWMActivate(hwnd, wParam, lParam, &info, 0);
        return 0;
    }
    if (message == WM_SETTINGCHANGE) {
        SHHandleWMSettingChange(hwnd, wParam, lParam, &records()[hwnd]);
        return 0;
    }
    if (message == WM_SIZE) recorded().push_back(Recorded{hwnd, message, wParam, lParam});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class ShellActivate : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        records().clear();
        WNDCLASS wc{};
        wc.lpfnWndProc = shellWindowProc;
        wc.lpszClassName = "ShellActivateTest";
        RegisterClass(&wc);
    }
    static HWND mainWindow(int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int w = CW_USEDEFAULT, int h = CW_USEDEFAULT)
    {
        HWND hwnd = CreateWindowEx(0, "ShellActivateTest", "main", WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
        pump();
        return hwnd;
    }
    static RECT rectOf(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    }
};

bool sameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(ShellActivate, a_window_over_the_work_area_follows_the_bars)
{
    HWND hwnd = mainWindow();
    ASSERT_TRUE(sameRect(rectOf(hwnd), RECT{0, 26, 240, 294}));
    recorded().clear();
    SHFullScreen(hwnd, SHFS_HIDETASKBAR);
    EXPECT_TRUE(sameRect(rectOf(hwnd), RECT{0, 0, 240, 294}));
    SHFullScreen(hwnd, SHFS_HIDESIPBUTTON);
    EXPECT_TRUE(sameRect(rectOf(hwnd), RECT{0, 0, 240, 320}));
    SHFullScreen(hwnd, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    EXPECT_TRUE(sameRect(rectOf(hwnd), RECT{0, 26, 240, 294}));
    // The window heard of each new size, so it can lay itself out again.
    std::vector<LPARAM> sizes;
    for (const Recorded& r : recorded())
        if (r.hwnd == hwnd && r.message == WM_SIZE) sizes.push_back(r.lParam);
    EXPECT_EQ(sizes, (std::vector<LPARAM>{MAKELPARAM(240, 294), MAKELPARAM(240, 320), MAKELPARAM(240, 268)}));
    // Showing what is shown already changes nothing and sends nothing.
    recorded().clear();
    SHFullScreen(hwnd, SHFS_SHOWTASKBAR);
    EXPECT_TRUE(recordedMessages(hwnd).empty());
}

TEST_F(ShellActivate, windows_placed_by_the_program_keep_their_place)
{
    HWND small = mainWindow(20, 40, 100, 100);
    // Full screen as the program makes it: the window over the whole screen first.
    HWND full = mainWindow();
    MoveWindow(full, 0, 0, 240, 320, TRUE);
    SHFullScreen(full, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    EXPECT_TRUE(sameRect(rectOf(full), RECT{0, 0, 240, 320}));
    EXPECT_TRUE(sameRect(rectOf(small), RECT{20, 40, 120, 140}));
    // Leaving it: the program moves the window back, then shows the bars.
    MoveWindow(full, 0, 26, 240, 268, TRUE);
    SHFullScreen(full, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    EXPECT_TRUE(sameRect(rectOf(full), RECT{0, 26, 240, 294}));
    EXPECT_TRUE(sameRect(rectOf(small), RECT{20, 40, 120, 140}));
    // Other setting changes are not the shell's.
    EXPECT_FALSE(SHHandleWMSettingChange(full, 0x0014, 0, nullptr));
    EXPECT_TRUE(SHHandleWMSettingChange(full, SPI_SETSIPINFO, 0, nullptr));
}

TEST_F(ShellActivate, the_focus_returns_to_the_control_that_had_it)
{
    HWND first = mainWindow(), second = mainWindow();
    HWND a = makeWindow("a", WS_CHILD | WS_VISIBLE, first, 0, 0, 50, 20);
    HWND b = makeWindow("b", WS_CHILD | WS_VISIBLE, first, 0, 30, 50, 20);
    SetActiveWindow(first);
    SetFocus(b);
    SetActiveWindow(second);
    EXPECT_EQ(records()[first].hwndLastFocus, b);
    EXPECT_EQ(records()[first].fActive, 0u);
    EXPECT_EQ(GetFocus(), second);
    SetActiveWindow(first);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(records()[first].fActive, 1u);
    EXPECT_EQ(records()[first].fSipUp, 0u);  // there is no input panel
    // A control that went meanwhile leaves the focus with the window itself.
    SetActiveWindow(second);
    DestroyWindow(b);
    SetActiveWindow(first);
    EXPECT_EQ(GetFocus(), first);
    (void)a;
}

TEST_F(ShellActivate, a_missing_or_short_record_is_refused)
{
    HWND hwnd = mainWindow();
    EXPECT_FALSE(SHHandleWMActivate(hwnd, WA_ACTIVE, 0, nullptr, 0));
    SHACTIVATEINFO info{};
    info.cbSize = 8;
    EXPECT_FALSE(SHHandleWMActivate(hwnd, WA_ACTIVE, 0, &info, 0));
    info.cbSize = sizeof info;
    EXPECT_TRUE(SHHandleWMActivate(hwnd, WA_ACTIVE, 0, &info, 0));
}

RECT workArea()
{
    RECT r;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

// A top-level pop-up window over the whole screen, owned by `owner`.
HWND popup(HWND owner)
{
    HWND hwnd = CreateWindowEx(0, "ShellActivateTest", "popup", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, owner, nullptr,
                               nullptr, nullptr);
    pump();
    return hwnd;
}

TEST_F(ShellActivate, the_bars_follow_the_owner_chain_of_the_active_window)
{
    const RECT withBars{0, 26, 240, 294}, whole{0, 0, 240, 320};
    HWND main = mainWindow();
    // A start screen of its own, unowned, hides both bars.
    HWND cover = popup(nullptr);
    SHFullScreen(cover, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    ASSERT_TRUE(sameRect(workArea(), whole));
    // A window of the main window comes up over it: the main window never
    // asked for the full screen, so the bars come back while it is active.
    HWND dialog = popup(main);
    ASSERT_EQ(GetActiveWindow(), dialog);
    EXPECT_TRUE(sameRect(workArea(), withBars));
    EXPECT_TRUE(IsWindowVisible(screenTaskBar()));
    EXPECT_TRUE(sameRect(shellWorkAreaFor(dialog), withBars));
    EXPECT_TRUE(sameRect(shellWorkAreaFor(cover), whole));
    // It goes, the covering window is active again, and full screen again.
    DestroyWindow(dialog);
    pump();
    ASSERT_EQ(GetActiveWindow(), cover);
    EXPECT_TRUE(sameRect(workArea(), whole));
    EXPECT_FALSE(IsWindowVisible(screenTaskBar()));
    // A window the covering one owns keeps its screen.
    HWND own = popup(cover);
    ASSERT_EQ(GetActiveWindow(), own);
    EXPECT_TRUE(sameRect(workArea(), whole));
    DestroyWindow(own);
    // The main window's own choice holds for it and its windows.
    SHFullScreen(main, SHFS_HIDESIPBUTTON);
    SetActiveWindow(cover);
    EXPECT_TRUE(sameRect(workArea(), whole));
    dialog = popup(main);
    EXPECT_TRUE(sameRect(workArea(), (RECT{0, 26, 240, 320})));
    DestroyWindow(dialog);
}

TEST_F(ShellActivate, a_destroyed_window_takes_its_full_screen_with_it)
{
    mainWindow();
    for (int i = 0; i < 4; ++i) {
        // Each new window may get the handle of the one destroyed before it:
        // it must start with the bars shown all the same.
        HWND cover = popup(nullptr);
        ASSERT_EQ(GetActiveWindow(), cover);
        EXPECT_TRUE(sameRect(workArea(), (RECT{0, 26, 240, 294}))) << "window " << i;
        SHFullScreen(cover, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
        DestroyWindow(cover);
        pump();
        EXPECT_TRUE(sameRect(workArea(), (RECT{0, 26, 240, 294}))) << "window " << i;
    }
}

}  // namespace
