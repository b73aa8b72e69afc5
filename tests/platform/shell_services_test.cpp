// The smaller shell services: special folders as item lists freed through the
// shell allocator, and the idle timer that holds the screen saver off.
#include "tests/support/platform_support.h"
#include "tests/support/env_support.h"

#include <cstdlib>
#include <cstring>
#include <optional>

using namespace platformtest;

namespace {

using testsupport::EnvScope;

std::string pathOf(int folder, HRESULT* result = nullptr)
{
    LPITEMIDLIST list = nullptr;
    HRESULT hr = SHGetSpecialFolderLocation(nullptr, folder, &list);
    if (result) *result = hr;
    if (hr != S_OK) return "(none)";
    char path[MAX_PATH];
    std::string out = SHGetPathFromIDList(list, path) ? path : "(no path)";
    IMalloc* malloc = nullptr;
    EXPECT_EQ(SHGetMalloc(&malloc), S_OK);
    malloc->Free(list);
    malloc->Release();
    return out;
}

TEST(ShellFolders, personal_folder_comes_as_an_item_list_whose_path_takes_a_separator)
{
    testsupport::TempDir dir;
    EnvScope pictures("XDG_PICTURES_DIR", dir.path().c_str());
    std::string personal = pathOf(CSIDL_PERSONAL);
    EXPECT_EQ(personal, dir.path().string());
    // The program appends the separator itself, and gets what the path form gives.
    char direct[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, direct, CSIDL_PERSONAL, FALSE));
    EXPECT_EQ(personal + "/", direct);
    EXPECT_EQ(pathOf(CSIDL_DESKTOP), "/");
    HRESULT hr = S_OK;
    EXPECT_EQ(pathOf(0x0100, &hr), "(none)");
    EXPECT_EQ(hr, E_INVALIDARG);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, nullptr), E_INVALIDARG);
}

TEST(ShellFolders, damaged_item_lists_give_no_path)
{
    char path[MAX_PATH] = "unchanged";
    EXPECT_FALSE(SHGetPathFromIDList(nullptr, path));
    // An item without a terminating zero, one too small, one that is no path.
    struct {
        WORD cb;
        char text[6];
        WORD end;
    } list{8, {'/', 'a', 'b', 'c', 'd', 'e'}, 0};
    EXPECT_FALSE(SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(&list), path));
    list.cb = 2;
    EXPECT_FALSE(SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(&list), path));
    list.cb = 6;
    std::memcpy(list.text, "ab\0", 4);
    EXPECT_FALSE(SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(&list), path));
    list.cb = 6;
    std::memcpy(list.text, "/ab\0", 4);
    ASSERT_TRUE(SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(&list), path));
    EXPECT_STREQ(path, "/ab");
}

class IdleTimer : public Headless {};

TEST_F(IdleTimer, resets_hold_the_screen_saver_off_until_they_stop_coming)
{
    EXPECT_EQ(PlatformIdleResetCount(), 0);
    EXPECT_FALSE(PlatformScreenSaverHeld());
    SystemIdleTimerReset();
    EXPECT_EQ(PlatformIdleResetCount(), 1);
    EXPECT_TRUE(PlatformScreenSaverHeld());
    // Each reset starts the hold again: a slideshow resetting every minute keeps it.
    for (int i = 0; i < 5; ++i) {
        PlatformAdvanceClock(60 * 1000);
        pump();
        EXPECT_TRUE(PlatformScreenSaverHeld()) << i;
        SystemIdleTimerReset();
    }
    EXPECT_EQ(PlatformIdleResetCount(), 6);
    PlatformAdvanceClock(kIdleHoldMs - 1);
    pump();
    EXPECT_TRUE(PlatformScreenSaverHeld());
    PlatformAdvanceClock(1);
    pump();
    EXPECT_FALSE(PlatformScreenSaverHeld());
}

TEST_F(IdleTimer, a_reset_from_another_thread_takes_effect_in_the_message_loop)
{
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            SystemIdleTimerReset();
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(PlatformIdleResetCount(), 1);
    pump();
    EXPECT_TRUE(PlatformScreenSaverHeld());
}

}  // namespace
