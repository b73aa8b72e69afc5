// The display modes of the main window: start modes, switching and coming
// back, the list's style and columns, the pane layout and the splitter.
#include "app/browser/browser.h"
#include "app/settings.h"
#include "app/shell/main_window.h"
#include "platform/controls/listview.h"
#include "tests/app/shell_fixture.h"

using namespace fotrix;

namespace shelltest {
namespace {

RECT placeOf(HWND pane)
{
    RECT r{};
    GetWindowRect(pane, &r);
    POINT topLeft{r.left, r.top};
    ScreenToClient(gApp.mainWindow, &topLeft);
    return RECT{topLeft.x, topLeft.y, topLeft.x + (r.right - r.left), topLeft.y + (r.bottom - r.top)};
}

int clientHeight()
{
    RECT client{};
    GetClientRect(gApp.mainWindow, &client);
    return client.bottom;
}

DWORD listStyle() { return static_cast<DWORD>(GetWindowLong(gApp.listWindow, GWL_STYLE)); }

TEST_F(ShellWindow, stored_mode_image_or_out_of_range_starts_in_thumbnails)
{
    startPlatform();
    for (int stored : {4, 7, 5, -3}) {
        storeNumber("Mode", stored);
        createMain();
        EXPECT_EQ(gApp.mode, ModeThumbnails) << "Mode " << stored;
        EXPECT_TRUE(menuChecked(CmdModeThumbnails));
        destroyMain();
        storeNumber("UserViewMode", 4);
    }
}

TEST_F(ShellWindow, stored_mode_list_starts_in_list_and_user_view_mode_wins_over_it)
{
    startPlatform();
    storeNumber("Mode", 1);
    createMain();
    EXPECT_EQ(gApp.mode, ModeList);
    EXPECT_EQ(listStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    destroyMain();
    storeNumber("Mode", 3);
    storeNumber("UserViewMode", 2);
    createMain();
    EXPECT_EQ(gApp.mode, ModeDetails);
    EXPECT_TRUE(menuChecked(CmdModeDetails));
    EXPECT_FALSE(menuChecked(CmdModeStrip));
}

TEST_F(ShellWindow, browse_modes_set_the_list_style_bits)
{
    createMain();
    struct Case { int command; DWORD bits; };
    const Case cases[] = {
        {CmdModeList, LVS_REPORT},
        {CmdModeDetails, LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER},
        {CmdModeStrip, LVS_ICON | LVS_ALIGNLEFT},  // WS_HSCROLL: the list shows it while the row overflows
        {CmdModeThumbnails, LVS_ICON},
    };
    for (const Case& c : cases) {
        command(c.command);
        EXPECT_EQ(listStyle() & 0x204C03, c.bits) << c.command;
        EXPECT_EQ(gApp.mode, c.command - CmdModeThumbnails);
        EXPECT_EQ(gApp.returnMode, -1);
    }
}

TEST_F(ShellWindow, image_and_full_screen_remember_the_browse_mode_and_go_back_to_it)
{
    createMain();
    fillList(3);
    command(CmdModeDetails);
    select({1});
    command(CmdModeImage);
    EXPECT_EQ(gApp.mode, ModeImage);
    EXPECT_EQ(gApp.returnMode, ModeDetails);
    EXPECT_FALSE(IsWindowVisible(gApp.listWindow));
    EXPECT_EQ(gApp.currentIndex, 1);
    command(CmdOpenClose);  // in Image: closes
    EXPECT_EQ(gApp.mode, ModeDetails);
    EXPECT_EQ(gApp.returnMode, -1);
    EXPECT_TRUE(IsWindowVisible(gApp.listWindow));

    RECT before{};
    GetWindowRect(main, &before);
    command(CmdModeFullScreen);
    EXPECT_EQ(gApp.mode, ModeFullScreen);
    RECT full{};
    GetWindowRect(main, &full);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(IsWindowVisible(gApp.menuBar));
    key(VK_RETURN);  // KeyReturn 3: the open/close command goes back
    EXPECT_EQ(gApp.mode, ModeDetails);
    RECT after{};
    GetWindowRect(main, &after);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_TRUE(IsWindowVisible(gApp.menuBar));
}

TEST_F(ShellWindow, details_gives_column_0_the_whole_width_and_the_widths_come_back)
{
    createMain();
    command(CmdModeList);
    HWND list = gApp.listWindow;
    const char* titles[] = {"Name", "Date", "Type", "Size", "Dim"};
    for (int c = 0; c < 5; ++c) {
        LVCOLUMN column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 50;
        column.pszText = const_cast<char*>(titles[c]);
        SendMessage(list, LVM_INSERTCOLUMN, c, reinterpret_cast<LPARAM>(&column));
    }
    command(CmdModeList);  // the saved widths: 100, 90, 40, 70, 80
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 2, 0), 40);
    SendMessage(list, LVM_SETCOLUMNWIDTH, 3, 55);
    command(CmdModeDetails);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), client.right);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 1, 0), 0);
    command(CmdModeDetails);  // again: must not save its own zero widths
    command(CmdModeList);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 3, 0), 55);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 1, 0), 90);
}

TEST_F(ShellWindow, tree_height_0_gives_half_the_client_minus_16_and_the_list_the_rest)
{
    createMain();
    int height = clientHeight();
    EXPECT_EQ(gApp.treeViewHeight, height / 2 - 16);
    RECT tree = placeOf(gApp.treeWindow);
    RECT list = placeOf(gApp.listWindow);
    EXPECT_EQ(tree.top, 0);
    EXPECT_EQ(tree.bottom, height / 2 - 16);
    EXPECT_EQ(list.top, tree.bottom + 8);
    EXPECT_EQ(list.bottom, height);
}

TEST_F(ShellWindow, splitter_drag_keeps_both_panes_at_least_40_pixels)
{
    storeNumber("TreeViewHeight", 100);
    createMain();
    int height = clientHeight();
    SendMessage(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 104));
    SendMessage(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, -2000));
    SendMessage(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 10));
    EXPECT_EQ(gApp.treeViewHeight, 40);
    EXPECT_EQ(placeOf(gApp.treeWindow).bottom, 40);
    SendMessage(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 2000));
    EXPECT_EQ(gApp.treeViewHeight, height - 48);
    RECT list = placeOf(gApp.listWindow);
    EXPECT_EQ(list.bottom - list.top, 40);
    SendMessage(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 130));
    EXPECT_EQ(gApp.treeViewHeight, 126);
    SendMessage(main, WM_LBUTTONUP, 0, MAKELPARAM(100, 130));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessage(main, WM_MOUSEMOVE, 0, MAKELPARAM(100, 10));  // no longer dragging
    EXPECT_EQ(gApp.treeViewHeight, 126);
    EXPECT_EQ(ReadNumber("General", "TreeViewHeight", 0), 100);  // written when the window goes
    destroyMain();
    EXPECT_EQ(ReadNumber("General", "TreeViewHeight", 0), 126);
}

TEST_F(ShellWindow, splitter_buttons_hide_and_show_the_panes)
{
    createMain();
    int bar = gApp.treeViewHeight + 2;
    SendMessage(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, bar));  // left of 67: no drag
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessage(main, WM_LBUTTONUP, 0, MAKELPARAM(40, bar));  // 36..65: hide the tree
    EXPECT_EQ(gApp.treeHidden, 1);
    EXPECT_FALSE(IsWindowVisible(gApp.treeWindow));
    EXPECT_EQ(placeOf(gApp.listWindow).top, 8);
    SendMessage(main, WM_LBUTTONUP, 0, MAKELPARAM(10, 2));  // 5..34 with the tree hidden: back
    EXPECT_EQ(gApp.treeHidden, 0);
    EXPECT_TRUE(IsWindowVisible(gApp.treeWindow));
    SendMessage(main, WM_LBUTTONUP, 0, MAKELPARAM(10, bar));  // 5..34 with both: hide the list
    EXPECT_EQ(gApp.listHidden, 1);
    EXPECT_EQ(placeOf(gApp.treeWindow).bottom, clientHeight() - 8);
    command(CmdModeList);
    EXPECT_FALSE(IsWindowVisible(gApp.listWindow));  // stays hidden across browse modes
    SendMessage(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, clientHeight() - 4));  // a drag shows both
    SendMessage(main, WM_LBUTTONUP, 0, MAKELPARAM(100, clientHeight() - 4));
    EXPECT_EQ(gApp.listHidden, 0);
    EXPECT_TRUE(IsWindowVisible(gApp.listWindow));
}

TEST_F(ShellWindow, strip_puts_the_list_on_top_and_the_view_below)
{
    createMain();
    command(CmdModeStrip);
    EXPECT_FALSE(IsWindowVisible(gApp.treeWindow));
    EXPECT_TRUE(IsWindowVisible(gApp.listWindow));
    RECT list = placeOf(gApp.listWindow);
    EXPECT_EQ(list.top, 0);
    // Thumbnail cell + scroll bar + label allowance of 24 with names shown.
    EXPECT_EQ(list.bottom, ThumbnailCellHeight() + GetSystemMetrics(SM_CYHSCROLL) + 24);
}

}  // namespace
}  // namespace shelltest
