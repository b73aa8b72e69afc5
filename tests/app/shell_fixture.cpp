#include "tests/app/shell_fixture.h"

#include "app/browser/browser.h"
#include "app/browser/browser_internal.h"
#include "app/resources/resources.h"
#include "app/settings.h"
#include "tests/app/browser_fixture.h"
#include "app/shell/main_window.h"
#include "imagelib/formats.h"
#include "platform/controls/controls.h"
#include "platform/controls/listview.h"
#include "tests/support/platform_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace shelltest {

namespace {

}  // namespace

void ShellWindow::SetUp()
{
    setenv("FOTRIX_CONFIG_DIR", (dir / "config").c_str(), 1);
    setenv("FOTRIX_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    std::filesystem::create_directories(dir / "home");
    RegistryReset();
}

void ShellWindow::TearDown()
{
    destroyMain();
    if (platformStarted) {
        InstanceRelease();
        fotrix::libraryExit();
        PlatformRunPending();
        PlatformShutdown();
    }
    RegistryReset();
    unsetenv("FOTRIX_CONFIG_DIR");
    unsetenv("FOTRIX_HOME");
    unsetenv("XDG_RUNTIME_DIR");
}

void ShellWindow::startPlatform(int width, int height, int dpi)
{
    ASSERT_TRUE(platformtest::startHeadless(width, height, dpi));
    platformStarted = true;
    InitCommonControls();
    fotrix::libraryInit();
    fotrix::RegisterAppResources();
}

void ShellWindow::createMain()
{
    if (!platformStarted) startPlatform();
    fotrix::gApp = fotrix::AppState{};
    bool other = true;
    main = fotrix::CreateMainWindow(nullptr, "", &other);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(other);
    ShowWindow(main, SW_SHOW);
    PlatformRunPending();
}

void ShellWindow::destroyMain()
{
    if (main && IsWindow(main)) DestroyWindow(main);
    main = nullptr;
    if (!platformStarted) return;
    PlatformRunPending();
    // The window's WM_QUIT would stop every later PlatformRunPending at once.
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void ShellWindow::storeNumber(const char* name, int value)
{
    fotrix::WriteNumber("General", name, value);
}

// Real pictures in a folder of their own, listed by the browser.
void ShellWindow::fillList(int count)
{
    using namespace fotrix;
    std::filesystem::path folder = dir / "pictures";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "picture%02d.bmp", i);
        browsertest::writeBmp(folder / name, 40 + i, 30, static_cast<uint8_t>(40 + 20 * i));
    }
    ASSERT_TRUE(NavigateTo(folder.string() + "/"));
    settle();
    ASSERT_EQ(fileCount(), count);
}

void ShellWindow::settle()
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    do {
        PlatformRunPending();
        if (!fotrix::BrowserBusy()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    PlatformRunPending();
}

// Sets the selection as the program would (the list refuses other changes
// while multiple selection is on).
void ShellWindow::select(const std::vector<int>& indexes)
{
    const int multiSelect = fotrix::gApp.multiSelect;
    fotrix::gApp.multiSelect = 0;
    LVITEM item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessage(fotrix::gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    for (int index : indexes) {
        item.state = LVIS_SELECTED;
        item.stateMask = LVIS_SELECTED;
        SendMessage(fotrix::gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    fotrix::gApp.multiSelect = multiSelect;
}

std::vector<int> ShellWindow::selected() const
{
    std::vector<int> out;
    HWND list = fotrix::gApp.listWindow;
    int count = static_cast<int>(SendMessage(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessage(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED)) out.push_back(i);
    return out;
}

void ShellWindow::command(int id)
{
    SendMessage(main, WM_COMMAND, static_cast<WPARAM>(id), 0);
    PlatformRunPending();
}

void ShellWindow::key(UINT virtualKey)
{
    SendMessage(main, WM_KEYDOWN, virtualKey, 0);
    PlatformRunPending();
}

bool ShellWindow::menuEnabled(int command) const
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(fotrix::gApp.menuBar, SHCMBM_GETMENU, 0, 0));
    UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & MF_GRAYED);
}

bool ShellWindow::menuChecked(int command) const
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(fotrix::gApp.menuBar, SHCMBM_GETMENU, 0, 0));
    UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

int ShellWindow::buttonState(int command) const
{
    return static_cast<int>(SendMessage(fotrix::gApp.menuBar, TB_GETSTATE, static_cast<WPARAM>(command), 0));
}

}  // namespace shelltest
