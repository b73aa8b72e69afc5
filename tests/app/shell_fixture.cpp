#include "tests/app/shell_fixture.h"

#include "app/settings.h"
#include "app/shell/main_window.h"
#include "imagelib/formats.h"
#include "platform/controls/controls.h"
#include "platform/controls/listview.h"

#include <cstdlib>

namespace shelltest {

namespace {

// The program's menu 102 in short: the items the tests look at.
const MenuTemplateItem kMenu[] = {
    {MF_POPUP, "&File", 0},
        {MF_STRING, "Cut", fotrix::CmdCut},
        {MF_STRING, "Copy", fotrix::CmdCopy},
        {MF_STRING, "Paste", fotrix::CmdPaste},
        {MF_STRING, "Delete", fotrix::CmdDelete},
        {MF_STRING, "Rename", fotrix::CmdRename},
        {MF_STRING, "Multiple selection", fotrix::CmdMultipleSelection},
        {MF_STRING, "About", fotrix::CmdAbout},
        {MF_STRING, "Exit", fotrix::CmdExit},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&View", 0},
        {MF_STRING, "Thumbnails", fotrix::CmdModeThumbnails},
        {MF_STRING, "List", fotrix::CmdModeList},
        {MF_STRING, "Details", fotrix::CmdModeDetails},
        {MF_STRING, "Strip", fotrix::CmdModeStrip},
        {MF_STRING, "Image", fotrix::CmdModeImage},
        {MF_STRING, "Full screen", fotrix::CmdModeFullScreen},
        {MF_STRING, "Slideshow", fotrix::CmdSlideshow},
        {MF_STRING, "Name", fotrix::CmdSortName},
        {MF_STRING, "Date", fotrix::CmdSortDate},
        {MF_STRING, "Type", fotrix::CmdSortType},
        {MF_STRING, "Size", fotrix::CmdSortSize},
        {MF_STRING, "Dimensions", fotrix::CmdSortDimensions},
        {MF_STRING, "Ascending", fotrix::CmdSortAscending},
        {MF_STRING, "Descending", fotrix::CmdSortDescending},
        {MF_STRING, "Whole folder tree", fotrix::CmdWholeFolderTree},
        {MF_STRING, "File names", fotrix::CmdFileNames},
        {MF_STRING, "Previous page", fotrix::CmdPreviousPage},
        {MF_STRING, "Next page", fotrix::CmdNextPage},
        {MF_STRING, "Actual size", fotrix::CmdActualSize},
        {MF_STRING, "Auto rotate", fotrix::CmdAutoRotate},
        {MF_STRING, "Fit window", fotrix::CmdFitWindow},
        {MF_STRING, "Fit large", fotrix::CmdFitLargeFiles},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&Tools", 0},
        {MF_STRING, "Convert", fotrix::CmdConvert},
        {MF_STRING, "Send by infrared", fotrix::CmdSendInfrared},
        {MF_STRING, "Properties", fotrix::CmdProperties},
        {MF_STRING, "IPTC edit", fotrix::CmdIptcEdit},
        {MF_STRING, "Options", fotrix::CmdOptions},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "Favorites", 0},
        {MF_STRING, "(favorites)", fotrix::CmdFavoritesPlaceholder},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuResource kMenus[] = {{102, kMenu, static_cast<int>(std::size(kMenu))}};
const MenuBarButtonTemplate kButtons[] = {
    {I_IMAGENONE, fotrix::CmdMenuFile, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "File", 0},
    {I_IMAGENONE, fotrix::CmdMenuView, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "View", 1},
    {I_IMAGENONE, fotrix::CmdMenuTools, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "Tools", 2},
    {0, fotrix::CmdSlideshow, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {1, fotrix::CmdOpenClose, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {5, fotrix::CmdSaveAdjusted, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {3, fotrix::CmdDelete, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {2, fotrix::CmdProperties, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {4, fotrix::CmdOrganizeFavorites, TBSTATE_ENABLED, TBSTYLE_DROPDOWN, nullptr, 3},
};
const MenuBarResource kBars[] = {{102, 102, kButtons, static_cast<int>(std::size(kButtons))}};

void registerMenuOnce()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterMenus(kMenus, 1);
    RegisterMenuBars(kBars, 1);
}

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
    PlatformConfig config;
    config.headless = true;
    config.width = width;
    config.height = height;
    config.dpi = dpi;
    ASSERT_TRUE(PlatformInit(&config));
    platformStarted = true;
    InitCommonControls();
    fotrix::libraryInit();
    registerMenuOnce();
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

void ShellWindow::fillList(int count)
{
    using namespace fotrix;
    HWND list = gApp.listWindow;
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < count; ++i) {
        FileEntry entry;
        entry.path = (dir / ("picture" + std::to_string(i) + ".jpg")).string();
        entry.state = EntryThumbnail;
        gApp.files.push_back(entry);
        std::string name = "picture" + std::to_string(i) + ".jpg";
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name.data();
        SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void ShellWindow::select(const std::vector<int>& indexes)
{
    LVITEM item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessage(fotrix::gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    for (int index : indexes) {
        item.state = LVIS_SELECTED;
        item.stateMask = LVIS_SELECTED;
        SendMessage(fotrix::gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
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
