// Menus: building and changing them, their states and texts, menu resources,
// and pop-up menus driven by stylus and keys through the pop-up loop.
#include "tests/support/menu_support.h"
#include "tests/support/platform_support.h"

#include <cstdlib>
#include <functional>

using namespace platformtest;

namespace {

HMENU popupOf(std::initializer_list<std::pair<const char*, UINT>> items)
{
    HMENU m = CreatePopupMenu();
    for (const auto& [text, id] : items) {
        if (!text) AppendMenu(m, MF_SEPARATOR, 0, nullptr);
        else AppendMenu(m, MF_STRING, id, text);
    }
    return m;
}

TEST(Menus, items_are_added_inserted_removed_and_deleted_with_their_sub_menus)
{
    HMENU menu = CreateMenu();
    HMENU sub = popupOf({{"&Up", 4016}, {"&Home", 4015}});
    ASSERT_TRUE(AppendMenu(menu, MF_STRING, 4013, "E&xit"));
    ASSERT_TRUE(AppendMenu(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(InsertMenu(menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Go to"));
    // By command: before the item with that id.
    ASSERT_TRUE(InsertMenu(menu, 4013, MF_BYCOMMAND, 4014, "&About"));
    EXPECT_FALSE(InsertMenu(menu, 9999, MF_BYCOMMAND, 1, "nowhere"));
    EXPECT_FALSE(AppendMenu(menu, MF_POPUP, 12345, "not a menu"));
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetSubMenu(menu, 0), sub);
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(-1));  // a sub-menu has no command
    EXPECT_EQ(GetMenuItemID(menu, 1), 4014u);
    EXPECT_EQ(GetMenuItemID(menu, 2), 4013u);
    EXPECT_EQ(GetMenuItemID(menu, 7), static_cast<UINT>(-1));
    char text[32];
    EXPECT_EQ(GetMenuString(menu, 4016, text, sizeof text, MF_BYCOMMAND), 3);  // found inside the sub-menu
    EXPECT_STREQ(text, "&Up");
    EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    // RemoveMenu hands the sub-menu back alive; DeleteMenu destroys it.
    ASSERT_TRUE(RemoveMenu(menu, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    ASSERT_TRUE(InsertMenu(menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Go to"));
    ASSERT_TRUE(DeleteMenu(menu, 4015, MF_BYCOMMAND));  // an item inside the sub-menu
    EXPECT_EQ(GetMenuItemCount(sub), 1);
    ASSERT_TRUE(DeleteMenu(menu, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_FALSE(DeleteMenu(menu, 4015, MF_BYCOMMAND));

    HMENU nested = popupOf({{"a", 1}});
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), "nested");
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsMenu(nested));
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
}

TEST(Menus, check_and_enable_states_report_the_old_state_and_reach_into_sub_menus)
{
    HMENU menu = CreateMenu();
    HMENU view = popupOf({{"Thumbnails", 4007}, {"List", 4008}, {"Details", 4009}, {"Strip", 4010}});
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "View");
    AppendMenu(menu, MF_STRING, 4225, "File names");

    EXPECT_EQ(CheckMenuItem(menu, 4225, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 4225, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 4999, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));

    EXPECT_EQ(EnableMenuItem(menu, 4008, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(view, 1, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(menu, 4009, MF_BYCOMMAND | MF_DISABLED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(menu, 4009, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), static_cast<UINT>(MF_DISABLED));
    EXPECT_EQ(EnableMenuItem(menu, 4999, MF_BYCOMMAND | MF_GRAYED), -1);
    EXPECT_EQ(GetMenuState(menu, 4999, MF_BYCOMMAND), 0xFFFFFFFFu);

    // A sub-menu's state carries MF_POPUP and its item count in the high byte.
    UINT popupState = GetMenuState(menu, 0, MF_BYPOSITION);
    EXPECT_TRUE(popupState & MF_POPUP);
    EXPECT_EQ(popupState >> 8, 4u);

    // Radio check: the chosen item gets a radio mark, the rest of the range loses its check.
    CheckMenuItem(menu, 4007, MF_BYCOMMAND | MF_CHECKED);
    ASSERT_TRUE(CheckMenuRadioItem(menu, 4007, 4010, 4009, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(view, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    UINT checked = GetMenuState(view, 2, MF_BYPOSITION);
    EXPECT_TRUE(checked & MF_CHECKED);
    EXPECT_TRUE(checked & MFT_RADIOCHECK);
    ASSERT_TRUE(CheckMenuRadioItem(view, 0, 3, 3, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(view, 2, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_TRUE(GetMenuState(view, 3, MF_BYPOSITION) & MF_CHECKED);
    // Outside the range, or a range across two menus: refused, nothing changes.
    EXPECT_FALSE(CheckMenuRadioItem(view, 0, 1, 3, MF_BYPOSITION));
    EXPECT_FALSE(CheckMenuRadioItem(menu, 4007, 4225, 4008, MF_BYCOMMAND));
    EXPECT_TRUE(GetMenuState(view, 3, MF_BYPOSITION) & MF_CHECKED);
    DestroyMenu(menu);
}

TEST(Menus, item_information_reads_and_writes_texts_ids_states_sub_menus_and_data)
{
    HMENU menu = popupOf({{"Fit window", 4122}, {nullptr, 0}, {"Größer", 4185}});
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
    // Without a buffer the length needed comes back in cch.
    ASSERT_TRUE(GetMenuItemInfo(menu, 2, TRUE, &info));
    EXPECT_EQ(info.cch, 8u);  // "Größer" is 8 bytes of UTF-8
    EXPECT_EQ(info.wID, 4185u);
    EXPECT_EQ(info.hSubMenu, nullptr);
    // A short buffer takes whole characters only.
    char small[4];
    info.dwTypeData = small;
    info.cch = sizeof small;
    ASSERT_TRUE(GetMenuItemInfo(menu, 4185, FALSE, &info));
    EXPECT_STREQ(small, "Gr");
    EXPECT_EQ(info.cch, 2u);
    // A separator reports its type and no text.
    char buffer[64] = "untouched";
    info.dwTypeData = buffer;
    info.cch = sizeof buffer;
    ASSERT_TRUE(GetMenuItemInfo(menu, 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    EXPECT_STREQ(buffer, "untouched");

    MENUITEMINFO set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA;
    char label[] = "Screen";
    set.dwTypeData = label;
    set.wID = 4190;
    set.fState = MFS_CHECKED | MFS_GRAYED;
    set.dwItemData = 77;
    ASSERT_TRUE(SetMenuItemInfo(menu, 4122, FALSE, &set));
    EXPECT_EQ(GetMenuItemID(menu, 0), 4190u);
    EXPECT_EQ(GetMenuString(menu, 0, buffer, sizeof buffer, MF_BYPOSITION), 6);
    EXPECT_STREQ(buffer, "Screen");
    MENUITEMINFO back{};
    back.cbSize = sizeof back;
    back.fMask = MIIM_STATE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfo(menu, 0, TRUE, &back));
    EXPECT_EQ(back.fState & (MFS_CHECKED | MFS_GRAYED), static_cast<UINT>(MFS_CHECKED | MFS_GRAYED));
    EXPECT_EQ(back.dwItemData, 77u);

    // InsertMenuItem with a sub-menu; a wrong size or a missing item is refused.
    HMENU sub = popupOf({{"inner", 1}});
    MENUITEMINFO add{};
    add.cbSize = sizeof add;
    add.fMask = MIIM_STRING | MIIM_SUBMENU;
    char subText[] = "More";
    add.dwTypeData = subText;
    add.hSubMenu = sub;
    ASSERT_TRUE(InsertMenuItem(menu, 1, TRUE, &add));
    EXPECT_EQ(GetSubMenu(menu, 1), sub);
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    add.cbSize = 8;
    EXPECT_FALSE(InsertMenuItem(menu, 0, TRUE, &add));
    back.cbSize = sizeof back;
    EXPECT_FALSE(GetMenuItemInfo(menu, 9, TRUE, &back));

    // ModifyMenu replaces an item in place.
    ASSERT_TRUE(ModifyMenu(menu, 4185, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 4186, "Smaller"));
    EXPECT_EQ(GetMenuItemID(menu, 3), 4186u);
    EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_GRAYED);
    DestroyMenu(menu);
}

const MenuTemplateItem kMainMenu[] = {
    {MF_POPUP, "&File", 0},
        {MF_POPUP, "&Go to", 0},
            {MF_STRING, "&Home folder", 4015},
            {MF_STRING | MF_GRAYED, "&Up", 4016},
        {MENU_END_POPUP, nullptr, 0},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "E&xit", 4013},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&View", 0},
        {MF_STRING | MF_CHECKED | MFT_RADIOCHECK, "&Thumbnails", 4007},
        {MF_STRING, "&List", 4008},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuTemplateItem kUnbalanced[] = {
    {MF_POPUP, "&File", 0},
    {MF_STRING, "E&xit", 4013},
};
const MenuTemplateItem kExtraEnd[] = {
    {MF_STRING, "E&xit", 4013},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuResource kMenus[] = {
    {102, kMainMenu, static_cast<int>(std::size(kMainMenu))},
    {900, kUnbalanced, static_cast<int>(std::size(kUnbalanced))},
    {901, kExtraEnd, static_cast<int>(std::size(kExtraEnd))},
};

TEST(Menus, a_menu_resource_table_loads_as_a_fresh_tree_each_time)
{
    RegisterMenus(kMenus, static_cast<int>(std::size(kMenus)));
    HMENU menu = LoadMenu(GetModuleHandle(nullptr), MAKEINTRESOURCE(102));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    HMENU goTo = GetSubMenu(file, 0);
    ASSERT_EQ(GetMenuItemCount(goTo), 2);
    EXPECT_EQ(GetMenuItemID(goTo, 1), 4016u);
    EXPECT_TRUE(GetMenuState(menu, 4016, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(file, 2), 4013u);
    UINT thumbs = GetMenuState(menu, 4007, MF_BYCOMMAND);
    EXPECT_TRUE(thumbs & MF_CHECKED);
    EXPECT_TRUE(thumbs & MFT_RADIOCHECK);
    char text[16];
    GetMenuString(menu, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&View");

    // A second load is independent of the first.
    HMENU again = LoadMenu(nullptr, MAKEINTRESOURCE(102));
    ASSERT_NE(again, menu);
    CheckMenuItem(menu, 4008, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_FALSE(GetMenuState(again, 4008, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
    DestroyMenu(again);

    EXPECT_EQ(LoadMenu(nullptr, MAKEINTRESOURCE(900)), nullptr);  // pop-up never closed
    EXPECT_EQ(LoadMenu(nullptr, MAKEINTRESOURCE(901)), nullptr);  // closes a pop-up that was never opened
    EXPECT_EQ(LoadMenu(nullptr, MAKEINTRESOURCE(903)), nullptr);
    EXPECT_EQ(LoadMenu(nullptr, "named"), nullptr);
}

// ---- Pop-up menus ----

using Script = testsupport::PopupScript;
using testsupport::runPopupScript;

// The screen point in the middle of item `index` of a pop-up laid out as
// `shape` ('i' an item, 's' a separator, 7 pixels at 96 dpi).
POINT itemPoint(HWND popup, const char* shape, int index)
{
    RECT r;
    GetWindowRect(popup, &r);
    int items = 0, separators = 0;
    for (const char* c = shape; *c; ++c) (*c == 's' ? separators : items)++;
    int itemHeight = (r.bottom - r.top - 4 - 7 * separators) / items;
    int y = r.top + 2;
    for (int i = 0; i < index; ++i) y += shape[i] == 's' ? 7 : itemHeight;
    return POINT{(r.left + r.right) / 2, y + (shape[index] == 's' ? 3 : itemHeight / 2)};
}

void tapAt(POINT p)
{
    PlatformStylusInput(StylusDown, p.x, p.y);
    PlatformStylusInput(StylusUp, p.x, p.y);
}

class PopupMenus : public Headless {
protected:
    HWND owner = nullptr;
    Script script;
    void SetUp() override
    {
        Headless::SetUp();
        owner = makeWindow("owner", WS_VISIBLE);
        pump();
        recorded().clear();
        SetMenuIdleHook(runPopupScript, &script);
    }
    void TearDown() override
    {
        SetMenuIdleHook(nullptr, nullptr);
        Headless::TearDown();
    }
    std::vector<Recorded> ownerMessages(UINT message) const
    {
        std::vector<Recorded> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == owner && r.message == message) out.push_back(r);
        return out;
    }
    static bool anyPopupLeft()
    {
        struct Finder {
            static BOOL each(HWND w, LPARAM found)
            {
                char name[64];
                GetClassName(w, name, sizeof name);
                if (std::string(name) == "FotrixMenuPopup") *reinterpret_cast<bool*>(found) = true;
                return TRUE;
            }
        };
        bool found = false;
        EnumWindows(Finder::each, reinterpret_cast<LPARAM>(&found));
        return found;
    }
};

TEST_F(PopupMenus, a_tap_on_an_item_chooses_it_after_the_owner_prepared_the_menu)
{
    HMENU menu = popupOf({{"Larger", 4185}, {"Smaller", 4186}, {"Screen", 4122}});
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "iii", 1)); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 40, 60, owner, nullptr), 4186);
    auto init = ownerMessages(WM_INITMENUPOPUP);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].wParam, reinterpret_cast<WPARAM>(menu));
    EXPECT_EQ(script.popups.at(0).left, 40);
    EXPECT_EQ(script.popups.at(0).top, 60);
    EXPECT_FALSE(anyPopupLeft());
    pump();
    EXPECT_TRUE(ownerMessages(WM_COMMAND).empty());  // TPM_RETURNCMD: the id is the answer, nothing is sent

    // Without TPM_RETURNCMD the command is posted to the owner.
    script = Script{};
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "iii", 2)); });
    EXPECT_EQ(TrackPopupMenuEx(menu, 0, 40, 60, owner, nullptr), TRUE);
    pump();
    auto commands = ownerMessages(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 4122);
    DestroyMenu(menu);
}

TEST_F(PopupMenus, a_tap_outside_or_escape_cancels_and_the_tap_reaches_no_window)
{
    HMENU menu = popupOf({{"Larger", 4185}, {"Smaller", 4186}});
    script.steps.push_back([this](HWND) {
        RECT r;
        GetWindowRect(owner, &r);
        tapAt(POINT{r.right - 5, r.bottom - 5});
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    pump();
    EXPECT_TRUE(ownerMessages(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(ownerMessages(WM_LBUTTONUP).empty());
    EXPECT_FALSE(anyPopupLeft());

    // Input posted before the call drives the menu too.
    PlatformKeyInput(VK_ESCAPE, true);
    SetMenuIdleHook(nullptr, nullptr);
    EXPECT_EQ(TrackPopupMenuEx(menu, 0, 10, 40, owner, nullptr), FALSE);
    pump();
    EXPECT_TRUE(ownerMessages(WM_COMMAND).empty());
    DestroyMenu(menu);
}

TEST_F(PopupMenus, the_lift_of_the_tap_that_opened_the_menu_chooses_nothing)
{
    // Tap-and-hold opens a menu under the stylus; lifting it there must not choose the first item.
    HMENU menu = popupOf({{"Larger", 4185}, {"Smaller", 4186}});
    PlatformStylusInput(StylusUp, 52, 62);
    script.steps.push_back([](HWND) { PlatformKeyInput(VK_ESCAPE, true); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 50, 60, owner, nullptr), 0);
    EXPECT_EQ(script.next, 1u);  // the menu was still open after the lift
    DestroyMenu(menu);
}

TEST_F(PopupMenus, grayed_items_and_separators_cannot_be_chosen_by_tap_or_key)
{
    HMENU menu = popupOf({{"Cut", 4024}, {nullptr, 0}, {"Paste", 4026}, {"Delete", 4027}});
    EnableMenuItem(menu, 4026, MF_BYCOMMAND | MF_GRAYED);
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "isii", 2)); });  // grayed
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "isii", 1)); });  // separator
    // Keys: Down goes to Cut, the next Down passes the separator to Paste: Enter there does nothing.
    script.steps.push_back([](HWND) {
        PlatformKeyInput(VK_DOWN, true);
        PlatformKeyInput(VK_DOWN, true);
        PlatformKeyInput(VK_RETURN, true);
    });
    script.steps.push_back([](HWND) {
        PlatformKeyInput(VK_DOWN, true);
        PlatformKeyInput(VK_RETURN, true);
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 4027);
    EXPECT_EQ(script.next, 4u);
    // Up from the top wraps to the bottom.
    script = Script{};
    script.steps.push_back([](HWND) {
        PlatformKeyInput(VK_UP, true);
        PlatformKeyInput(VK_RETURN, true);
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 4027);
    DestroyMenu(menu);
}

TEST_F(PopupMenus, sub_menus_open_beside_their_item_and_are_kept_on_the_screen)
{
    HMENU menu = CreatePopupMenu();
    HMENU sub = popupOf({{"150%", 4128}, {"200%", 4123}});
    AppendMenu(menu, MF_STRING, 4125, "Actual size");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Zoom in");
    RECT parentRect{};
    script.steps.push_back([&](HWND popup) {
        GetWindowRect(popup, &parentRect);
        tapAt(itemPoint(popup, "ii", 1));
    });
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "ii", 1)); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 4123);
    ASSERT_EQ(script.popups.size(), 2u);
    EXPECT_EQ(script.popups[1].left, parentRect.right - 1);
    // The sub-menu's owner notice names the item that opened it.
    auto init = ownerMessages(WM_INITMENUPOPUP);
    ASSERT_EQ(init.size(), 2u);
    EXPECT_EQ(init[1].wParam, reinterpret_cast<WPARAM>(sub));
    EXPECT_EQ(LOWORD(init[1].lParam), 1);

    // Near the right edge the sub-menu opens to the left; near the bottom the menu moves up.
    script = Script{};
    script.steps.push_back([&](HWND popup) {
        GetWindowRect(popup, &parentRect);
        PlatformKeyInput(VK_DOWN, true);
        PlatformKeyInput(VK_DOWN, true);
        PlatformKeyInput(VK_RIGHT, true);
    });
    script.steps.push_back([](HWND) { PlatformKeyInput(VK_LEFT, true); });  // closes the sub-menu only
    script.steps.push_back([](HWND) { PlatformKeyInput(VK_RETURN, true); });  // reopens it with its first item
    script.steps.push_back([](HWND) { PlatformKeyInput(VK_RETURN, true); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 230, 315, owner, nullptr), 4128);
    ASSERT_EQ(script.popups.size(), 4u);
    EXPECT_LE(parentRect.right, 240);
    EXPECT_LE(parentRect.bottom, 320);
    EXPECT_GE(parentRect.left, 0);
    EXPECT_EQ(script.popups[1].right, parentRect.left + 1);
    EXPECT_EQ(script.popups[2].left, parentRect.left);  // back to the first level
    EXPECT_GE(script.popups[1].left, 0);
    DestroyMenu(menu);
}

TEST_F(PopupMenus, alignment_flags_place_the_menu_around_the_point)
{
    HMENU menu = popupOf({{"One", 1}, {"Two", 2}});
    for (UINT flags : {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, TPM_CENTERALIGN | TPM_VCENTERALIGN}) {
        script = Script{};
        EXPECT_EQ(TrackPopupMenuEx(menu, flags | TPM_RETURNCMD, 150, 200, owner, nullptr), 0);
        ASSERT_FALSE(script.popups.empty());
        const RECT& r = script.popups[0];
        if (flags & TPM_RIGHTALIGN) {
            EXPECT_EQ(r.right, 150);
            EXPECT_EQ(r.bottom, 200);
        } else {
            EXPECT_LE(std::abs((r.left + r.right) / 2 - 150), 1);
            EXPECT_LE(std::abs((r.top + r.bottom) / 2 - 200), 1);
        }
    }
    DestroyMenu(menu);
}

TEST_F(PopupMenus, a_mnemonic_letter_chooses_its_item)
{
    HMENU menu = popupOf({{"&Larger", 4185}, {"&Smaller", 4186}, {"Save && &quit", 4013}});
    script.steps.push_back([](HWND) { PlatformTextInput("q"); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 4013);
    script = Script{};
    script.steps.push_back([](HWND) { PlatformTextInput("S"); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 4186);
    DestroyMenu(menu);
}

TEST_F(PopupMenus, no_notice_with_tpm_nonotify_and_nothing_for_an_empty_or_dead_menu)
{
    HMENU menu = popupOf({{"One", 1}});
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "i", 0)); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, 10, 40, owner, nullptr), 1);
    EXPECT_TRUE(ownerMessages(WM_INITMENUPOPUP).empty());
    HMENU empty = CreatePopupMenu();
    EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    EXPECT_TRUE(script.popups.size() == 1u);  // no loop ran for the empty menu
    DestroyMenu(empty);
    EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, nullptr, nullptr), 0);
    DestroyMenu(menu);
}

// An owner that fills its menu when it is about to show, as a favorites menu does.
LRESULT fillingOwner(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
        AppendMenu(menu, MF_STRING, 10000, "\\Pictures");
        AppendMenu(menu, MF_STRING, 10001, "\\Storage Card\\DCIM");
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING, 4143, "Organize...");
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(PopupMenus, what_the_owner_puts_in_the_menu_at_its_notice_is_what_shows)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = fillingOwner;
    wc.lpszClassName = "FillingOwner";
    RegisterClass(&wc);
    HWND filler = CreateWindow("FillingOwner", "", WS_VISIBLE, 0, 30, 240, 200, nullptr, nullptr, nullptr, nullptr);
    HMENU menu = popupOf({{"placeholder", 4147}});
    script.steps.push_back([](HWND popup) { tapAt(itemPoint(popup, "iisi", 1)); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, filler, nullptr), 10001);
    ASSERT_FALSE(script.popups.empty());
    EXPECT_GT(script.popups[0].bottom - script.popups[0].top, 3 * 18);
    DestroyMenu(menu);
}

TEST_F(PopupMenus, the_open_menu_is_drawn_flat_over_everything)
{
    HMENU menu = popupOf({{"Cut", 4024}, {"Paste", 4026}, {"Names", 4225}});
    EnableMenuItem(menu, 4026, MF_BYCOMMAND | MF_GRAYED);
    CheckMenuItem(menu, 4225, MF_BYCOMMAND | MF_CHECKED);
    struct Seen {
        RECT r{};
        COLORREF frame = 0, body = 0, hot = 0;
        int textPixels[3] = {0, 0, 0};
        int checkPixels = 0;
    } seen;
    script.steps.push_back([](HWND) { PlatformKeyInput(VK_DOWN, true); });  // highlight Cut
    script.steps.push_back([&](HWND popup) {
        GetWindowRect(popup, &seen.r);
        seen.frame = screenPixel(seen.r.left, seen.r.top + 5);
        seen.body = screenPixel(seen.r.right - 4, itemPoint(popup, "iii", 2).y);
        seen.hot = screenPixel(seen.r.right - 4, itemPoint(popup, "iii", 0).y);
        for (int item = 0; item < 3; ++item) {
            int y = itemPoint(popup, "iii", item).y;
            COLORREF want = GetSysColor(item == 0 ? COLOR_HIGHLIGHTTEXT : item == 1 ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
            for (int dy = -5; dy <= 5; ++dy)
                for (int x = seen.r.left + 18; x < seen.r.right - 14; ++x)
                    if (screenPixel(x, y + dy) == want) seen.textPixels[item]++;
        }
        int y = itemPoint(popup, "iii", 2).y;
        for (int dy = -5; dy <= 5; ++dy)
            for (int x = seen.r.left + 2; x < seen.r.left + 18; ++x)
                if (screenPixel(x, y + dy) == GetSysColor(COLOR_MENUTEXT)) seen.checkPixels++;
        PlatformKeyInput(VK_ESCAPE, true);
    });
    TrackPopupMenuEx(menu, TPM_RETURNCMD, 20, 60, owner, nullptr);
    EXPECT_EQ(seen.frame, GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(seen.body, GetSysColor(COLOR_MENU));
    EXPECT_EQ(seen.hot, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(seen.textPixels[0], 10);
    EXPECT_GT(seen.textPixels[1], 10);
    EXPECT_GT(seen.textPixels[2], 10);
    EXPECT_GT(seen.checkPixels, 4);
    // Gone again: the owner shows where the menu was.
    pump();
    EXPECT_EQ(screenPixel(seen.r.left + 5, seen.r.top + 5), GetSysColor(COLOR_WINDOW));
    DestroyMenu(menu);
}

void escapeOnTimer(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    PlatformKeyInput(VK_ESCAPE, true);
}

TEST_F(PopupMenus, timers_run_while_the_menu_waits_and_a_quit_ends_it)
{
    SetMenuIdleHook(nullptr, nullptr);
    HMENU menu = popupOf({{"One", 1}});
    // On the virtual clock the menu's wait moves the clock to the timer.
    SetTimer(owner, 7, 5000, escapeOnTimer);
    DWORD start = GetTickCount();
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    EXPECT_GE(GetTickCount() - start, 5000u);
    // A quit ends the menu and stays for the caller's loop.
    PostQuitMessage(3);
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    // EndMenu from inside the loop cancels it.
    SetMenuIdleHook([](HWND, void*) { EndMenu(); }, nullptr);
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    EXPECT_FALSE(EndMenu());  // nothing open any more
    DestroyMenu(menu);
}

TEST_F(PopupMenus, a_menu_changed_or_destroyed_while_it_shows_is_followed)
{
    HMENU menu = popupOf({{"One", 1}, {"Two", 2}, {"Three", 3}});
    RECT before{}, after{};
    script.steps.push_back([&](HWND popup) {
        GetWindowRect(popup, &before);
        PlatformKeyInput(VK_UP, true);  // the last item, which is about to go
    });
    script.steps.push_back([&](HWND) { DeleteMenu(menu, 2, MF_BYPOSITION); });
    script.steps.push_back([&](HWND popup) {
        GetWindowRect(popup, &after);
        PlatformKeyInput(VK_RETURN, true);  // no highlight left: nothing chosen
        PlatformKeyInput(VK_UP, true);
        PlatformKeyInput(VK_RETURN, true);
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 2);
    EXPECT_LT(after.bottom - after.top, before.bottom - before.top);
    // Destroyed under the open pop-up: the menu ends.
    script = Script{};
    script.steps.push_back([&](HWND) { DestroyMenu(menu); });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 40, owner, nullptr), 0);
    EXPECT_EQ(script.next, 1u);
    EXPECT_FALSE(anyPopupLeft());
}

// Closing a top-level window hands the screen it covered back to the windows below.
TEST_F(PopupMenus, a_destroyed_window_leaves_no_pixels_behind)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "BlackPopup";
    RegisterClass(&wc);
    HWND black = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, "BlackPopup", "", WS_POPUP | WS_VISIBLE, 20, 60, 50, 50,
                                nullptr, nullptr, nullptr, nullptr);
    pump();
    ASSERT_EQ(screenPixel(25, 65), RGB(0, 0, 0));
    DestroyWindow(black);
    pump();
    EXPECT_EQ(screenPixel(25, 65), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(screenPixel(69, 109), GetSysColor(COLOR_WINDOW));
}

}  // namespace
