// The built-in string table, the TextId constants and the main menus.
#include "app/language.h"
#include "app/resources/menus.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "app/resources/texts.h"
#include "app/shell/command_ids.h"
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace fotrix;

namespace {

class AppResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        InitCommonControls();
        RegisterAppResources();
        CloseLanguage();
    }
    void TearDown() override
    {
        PlatformRunPending();
        PlatformShutdown();
    }
};

// Every command id reachable from menu (and its sub-menus), with how often.
void collectCommands(HMENU menu, std::map<UINT, int>& ids)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            collectCommands(sub, ids);
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != 0xFFFFFFFFu) ++ids[id];
    }
}

std::string itemText(HMENU menu, int position)
{
    char text[128] = "";
    GetMenuString(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST(BuiltInTexts, numbers_and_keys_are_unique_and_well_formed)
{
    std::set<unsigned> numbers;
    std::set<std::string> keys;
    for (const BuiltInText& text : BuiltInTexts()) {
        EXPECT_TRUE(numbers.insert(text.number).second) << text.number;
        EXPECT_TRUE(keys.insert(text.key).second) << text.key;
        EXPECT_EQ(std::string(text.key).rfind("IDS_", 0), 0u) << text.key;
        EXPECT_GE(std::string(text.english).size(), 2u) << text.key;
    }
    EXPECT_EQ(BuiltInTexts().size(), 122u);
}

TEST(BuiltInTexts, constants_carry_the_documented_numbers)
{
    EXPECT_EQ(kIdsName.number, 4081u);
    EXPECT_STREQ(kIdsName.key, "IDS_NAME");
    EXPECT_EQ(kIdsProblemSaving.number, 4062u);
    EXPECT_EQ(kIdsCaptureOk.number, 4121u);
    EXPECT_EQ(kIdsWizard4.number, 4192u);
    EXPECT_EQ(kIdsWizard5.number, 4194u);
    EXPECT_EQ(kIdsKeyRight.number, 4207u);
    EXPECT_EQ(kIdsKeyLeft.number, 4208u);
    EXPECT_EQ(kIdsViewer.number, 4222u);
}

TEST_F(AppResources, every_text_loads_by_number_and_through_tr)
{
    for (const BuiltInText& text : BuiltInTexts()) {
        char buffer[256] = "";
        EXPECT_GT(LoadString(GetModuleHandle(nullptr), text.number, buffer, sizeof buffer), 0) << text.key;
        EXPECT_STREQ(buffer, text.english);
        EXPECT_EQ(Tr(TextId{text.number, text.key}), text.english);
    }
    EXPECT_EQ(Tr(kIdsTreeRoot), "My Pocket PC");
    EXPECT_EQ(Tr(kIdsKb), "KB");
}

TEST_F(AppResources, main_menu_has_four_popups_and_every_menu_command_once)
{
    HMENU menu = LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(kMenuMain));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(itemText(menu, 0), "File");
    EXPECT_EQ(itemText(menu, 1), "View");
    EXPECT_EQ(itemText(menu, 2), "Tools");
    HMENU favorites = GetSubMenu(menu, 3);
    ASSERT_NE(favorites, nullptr);
    ASSERT_EQ(GetMenuItemCount(favorites), 1);
    EXPECT_EQ(GetMenuItemID(favorites, 0), static_cast<UINT>(CmdFavoritesPlaceholder));

    std::map<UINT, int> ids;
    collectCommands(menu, ids);
    // The command table's menu items: everything but tool-button-only
    // commands, the appended Go to and favorites items and the view pop-up's.
    const UINT expected[] = {4015, 4016, 4017, 4018, 4150, 4022, 4153, 4023, 4024, 4025, 4026, 4027, 4028,
                             4048, 4049, 4050, 4051, 4014, 4013, 4007, 4008, 4009, 4010, 4011, 4012, 4019,
                             4133, 4134, 4135, 4136, 4137, 4138, 4139, 4226, 4225, 4223, 4224, 4128, 4123,
                             4130, 4129, 4126, 4124, 4127, 4125, 4121, 4122, 4131, 4054, 4034, 4052, 4055,
                             4140, 4151, 4162, 4141, 4227, 4132, 4187, 4188, 4152, 4176, 4030, 4180, 4142,
                             4147};
    for (UINT id : expected) EXPECT_EQ(ids[id], 1) << id;
    EXPECT_EQ(ids.size(), std::size(expected));
    DestroyMenu(menu);
}

TEST_F(AppResources, view_popup_holds_larger_smaller_screen)
{
    HMENU menu = LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(kMenuViewPopup));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(CmdZoomLarger));
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(CmdZoomSmaller));
    EXPECT_EQ(GetMenuItemID(popup, 2), static_cast<UINT>(CmdFitWindow));
    DestroyMenu(menu);
}

TEST_F(AppResources, menu_bar_has_three_drop_downs_and_six_tool_buttons_in_order)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "ResourcesBarOwner";
    RegisterClass(&wc);
    HWND owner = CreateWindow("ResourcesBarOwner", "", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = owner;
    info.nToolBarId = kMenuMain;
    info.nBmpId = kBitmapToolButtons;
    info.cBmpImages = kToolButtonImageCount;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    HWND bar = info.hwndMB;
    ASSERT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 9);
    struct Expected {
        int command;
        int image;
        BYTE style;
    };
    const Expected buttons[] = {{4001, I_IMAGENONE, TBSTYLE_DROPDOWN}, {4004, I_IMAGENONE, TBSTYLE_DROPDOWN},
                                {4031, I_IMAGENONE, TBSTYLE_DROPDOWN}, {4019, 0, TBSTYLE_CHECK},
                                {4020, 1, TBSTYLE_CHECK},             {4161, 5, 0},
                                {4027, 3, 0},                         {4030, 2, 0},
                                {4143, 4, TBSTYLE_DROPDOWN}};
    for (int i = 0; i < 9; ++i) {
        TBBUTTON b{};
        ASSERT_TRUE(SendMessage(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
        EXPECT_EQ(b.idCommand, buttons[i].command) << i;
        EXPECT_EQ(b.iBitmap, buttons[i].image) << i;
        EXPECT_EQ(b.fsStyle & (TBSTYLE_DROPDOWN | TBSTYLE_CHECK), buttons[i].style) << i;
    }
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, CmdOrganizeFavorites));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(CmdFavoritesPlaceholder));
    DestroyWindow(owner);
}

TEST(BuiltInMenuTexts, cover_every_item_and_button_label)
{
    std::set<std::string> texts;
    for (const char* text : BuiltInMenuTexts()) texts.insert(text);
    for (const char* wanted : {"File", "View", "Tools", "Go to", "Exit", "Options...", "Fit window (large files)"})
        EXPECT_TRUE(texts.count(wanted)) << wanted;
}
