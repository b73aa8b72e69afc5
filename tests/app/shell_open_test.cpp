// OpenPath: what the command line and a second instance hand over.
#include "app/browser/browser.h"
#include "app/shell/main_window.h"
#include "tests/app/shell_fixture.h"

using namespace fotrix;

namespace shelltest {
namespace {

TEST_F(ShellWindow, open_path_refuses_what_is_not_there)
{
    createMain();
    EXPECT_FALSE(OpenPath(""));
    EXPECT_FALSE(OpenPath((dir / "missing.jpg").string()));
    EXPECT_EQ(gApp.mode, ModeThumbnails);
    EXPECT_EQ(gApp.currentIndex, -1);
}

TEST_F(ShellWindow, open_path_with_a_folder_lists_it_and_counts_as_not_opened)
{
    createMain();
    fillList(3);
    NavigateTo("/");
    settle();
    std::string folder = (dir / "pictures").string();
    EXPECT_FALSE(OpenPath(folder));  // without the trailing "/" too
    settle();
    EXPECT_EQ(gApp.currentFolder, folder + "/");
    EXPECT_EQ(fileCount(), 3);
    EXPECT_EQ(gApp.mode, ModeThumbnails);
}

TEST_F(ShellWindow, open_path_with_a_picture_opens_it_full_screen_and_selects_it)
{
    storeNumber("OpenInFull", 0);
    createMain();
    fillList(3);
    command(CmdModeList);
    // Host file names are case-sensitive: another case names no file here.
    std::string picture = (dir / "pictures" / "PICTURE01.BMP").string();
    std::string real = (dir / "pictures" / "picture01.bmp").string();
    EXPECT_FALSE(OpenPath(picture));
    ASSERT_TRUE(OpenPath(real));
    EXPECT_EQ(gApp.mode, ModeFullScreen);
    EXPECT_EQ(gApp.returnMode, ModeList);
    EXPECT_EQ(gApp.currentIndex, 1);
    EXPECT_EQ(selected(), std::vector<int>{1});
    EXPECT_EQ(gApp.openInFull, 0);  // forced on for the call only
    // Opened again while in FullScreen: back to the list first, then open.
    ASSERT_TRUE(OpenPath((dir / "pictures" / "picture02.bmp").string()));
    EXPECT_EQ(gApp.mode, ModeFullScreen);
    EXPECT_EQ(gApp.returnMode, ModeList);
    EXPECT_EQ(gApp.currentIndex, 2);
}

TEST_F(ShellWindow, copy_data_from_another_instance_opens_the_path)
{
    createMain();
    fillList(2);
    std::string picture = (dir / "pictures" / "picture00.bmp").string();
    COPYDATASTRUCT data{0, static_cast<DWORD>(picture.size() + 1), picture.data()};
    EXPECT_EQ(SendMessage(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
    EXPECT_EQ(gApp.mode, ModeFullScreen);
    EXPECT_EQ(gApp.currentIndex, 0);
    std::string huge(5000, 'x');
    COPYDATASTRUCT tooLong{0, static_cast<DWORD>(huge.size() + 1), huge.data()};
    EXPECT_EQ(SendMessage(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&tooLong)), FALSE);
    COPYDATASTRUCT empty{0, 0, nullptr};
    EXPECT_EQ(SendMessage(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), FALSE);
    EXPECT_EQ(gApp.currentIndex, 0);
}

}  // namespace
}  // namespace shelltest
