// The menu bar: made from its resource in the menu-bar place, its drop-down
// menus and tool buttons driven by the stylus, and its tool-bar messages.
#include "platform/controls/controls.h"
#include "tests/support/menu_support.h"
#include "tests/support/platform_support.h"

#include <functional>

using namespace platformtest;

namespace {

enum : UINT { kFile = 4001, kView = 4004, kTools = 4031, kSlideshow = 4019, kOpen = 4020, kDelete = 4027, kFavorites = 4143 };

const MenuTemplateItem kBarMenu[] = {
    {MF_POPUP, "&File", 0},
        {MF_STRING, "&New folder", 4022},
        {MF_STRING, "E&xit", 4013},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&View", 0},
        {MF_STRING, "&Thumbnails", 4007},
        {MF_STRING, "&List", 4008},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&Tools", 0},
        {MF_STRING, "&Options...", 4142},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "Favorites", 0},
        {MF_STRING, "placeholder", 4147},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuTemplateItem kWizardMenu[] = {
    {MF_STRING | MF_GRAYED, "< Back", 2001},
    {MF_STRING, "Next >", 2002},
};
const MenuResource kMenus[] = {
    {7102, kBarMenu, static_cast<int>(std::size(kBarMenu))},
    {7200, kWizardMenu, static_cast<int>(std::size(kWizardMenu))},
};
const MenuBarButtonTemplate kButtons[] = {
    {I_IMAGENONE, kFile, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "File", 0},
    {I_IMAGENONE, kView, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "View", 1},
    {I_IMAGENONE, kTools, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "Tools", 2},
    {0, kSlideshow, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {1, kOpen, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {3, kDelete, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {4, kFavorites, TBSTATE_ENABLED, TBSTYLE_DROPDOWN, nullptr, 3},
};
const MenuBarResource kBars[] = {{7102, 7102, kButtons, static_cast<int>(std::size(kButtons))}};

// Six 16 x 16 images side by side: image i is a square of its own colour on
// the mask colour, with a one-pixel mask border.
void paintStrip(uint32_t* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int local = x % 16;
            bool border = local == 0 || local == 15 || y == 0 || y == 15;
            pixels[y * width + x] = border ? 0xC4C4C4 : 0x100000u * static_cast<uint32_t>(x / 16 + 1) + 0x20;
        }
}
const BitmapResource kStrip[] = {{7114, nullptr, 96, 16, paintStrip}};

using Script = testsupport::PopupScript;
using testsupport::runPopupScript;

POINT itemPoint(HWND popup, int items, int index)
{
    RECT r;
    GetWindowRect(popup, &r);
    int h = (r.bottom - r.top - 4) / items;
    return POINT{(r.left + r.right) / 2, r.top + 2 + index * h + h / 2};
}

class MenuBars : public Headless {
protected:
    HWND parent = nullptr;
    HWND bar = nullptr;
    Script script;
    void SetUp() override
    {
        Headless::SetUp();
        RegisterMenus(kMenus, static_cast<int>(std::size(kMenus)));
        RegisterMenuBars(kBars, static_cast<int>(std::size(kBars)));
        RegisterBitmaps(kStrip, 1);
        parent = makeWindow("main", WS_VISIBLE);
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = parent;
        info.nToolBarId = 7102;
        info.nBmpId = 7114;
        info.cBmpImages = 6;
        ASSERT_TRUE(SHCreateMenuBar(&info));
        bar = info.hwndMB;
        pump();
        recorded().clear();
        SetMenuIdleHook(runPopupScript, &script);
    }
    void TearDown() override
    {
        SetMenuIdleHook(nullptr, nullptr);
        Headless::TearDown();
    }
    RECT buttonRect(int index) const
    {
        RECT r{};
        SendMessage(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void tapButton(int index)
    {
        RECT r = buttonRect(index);
        PlatformStylusInput(StylusDown, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        pump();
        PlatformStylusInput(StylusUp, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        pump();
    }
    std::vector<int> commands() const
    {
        std::vector<int> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == parent && r.message == WM_COMMAND) out.push_back(LOWORD(r.wParam));
        return out;
    }
    std::vector<HMENU> initMenus() const
    {
        std::vector<HMENU> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == parent && r.message == WM_INITMENUPOPUP) out.push_back(reinterpret_cast<HMENU>(r.wParam));
        return out;
    }
    std::string buttonText(int index) const { return testsupport::menuBarButtonText(bar, index); }
};

TEST_F(MenuBars, the_bar_lies_in_the_menu_bar_place_with_the_menus_of_its_resource)
{
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 320 - 26);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 320);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(GetWindow(bar, GW_OWNER), parent);

    HMENU menu = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0));
    ASSERT_TRUE(IsMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kView)), GetSubMenu(menu, 1));
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kFavorites)), GetSubMenu(menu, 3));
    EXPECT_EQ(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kDelete), 0);
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 7);
    EXPECT_EQ(buttonText(1), "View");
    EXPECT_EQ(buttonText(3), "");

    // The bar dies with its parent, and its menu with it.
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(IsMenu(menu));
}

TEST_F(MenuBars, a_missing_resource_makes_no_bar)
{
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = parent;
    info.nToolBarId = 9999;
    info.hwndMB = bar;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(info.hwndMB, nullptr);
    info.cbSize = 4;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    // An empty bar needs no resource.
    info.cbSize = sizeof info;
    info.dwFlags = SHCMBF_EMPTYBAR;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    EXPECT_EQ(SendMessage(info.hwndMB, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(MenuBars, a_drop_down_button_opens_its_menu_above_the_bar_and_sends_the_chosen_command)
{
    RECT barRect;
    GetWindowRect(bar, &barRect);
    COLORREF pushed = 0;
    script.steps.push_back([&](HWND popup) {
        RECT b = buttonRect(1);
        pushed = screenPixel(b.left + 2, b.top + 3);
        POINT p = itemPoint(popup, 2, 1);
        PlatformStylusInput(StylusDown, p.x, p.y);
        PlatformStylusInput(StylusUp, p.x, p.y);
    });
    tapButton(1);
    ASSERT_EQ(script.popups.size(), 1u);
    EXPECT_EQ(script.popups[0].bottom, barRect.top);
    EXPECT_EQ(script.popups[0].left, buttonRect(1).left);
    EXPECT_EQ(pushed, GetSysColor(COLOR_HIGHLIGHT));
    HMENU view = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kView));
    EXPECT_EQ(initMenus(), std::vector<HMENU>{view});
    EXPECT_EQ(commands(), std::vector<int>{4008});
    // The button is drawn released again.
    RECT b = buttonRect(1);
    EXPECT_EQ(screenPixel(b.left + 2, b.top + 3), GetSysColor(COLOR_MENU));
}

TEST_F(MenuBars, tapping_another_drop_down_button_while_a_menu_is_open_moves_to_its_menu)
{
    script.steps.push_back([&](HWND) {
        RECT b = buttonRect(2);
        PlatformStylusInput(StylusDown, b.left + 3, b.top + 5);
        PlatformStylusInput(StylusUp, b.left + 3, b.top + 5);
    });
    script.steps.push_back([](HWND popup) {
        POINT p = itemPoint(popup, 1, 0);
        PlatformStylusInput(StylusDown, p.x, p.y);
        PlatformStylusInput(StylusUp, p.x, p.y);
    });
    tapButton(0);
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0));
    EXPECT_EQ(initMenus(), (std::vector<HMENU>{GetSubMenu(menu, 0), GetSubMenu(menu, 2)}));
    EXPECT_EQ(commands(), std::vector<int>{4142});

    // Tapping the open menu's own button closes it without a command.
    recorded().clear();
    script = Script{};
    script.steps.push_back([&](HWND) {
        RECT b = buttonRect(0);
        PlatformStylusInput(StylusDown, b.left + 3, b.top + 5);
        PlatformStylusInput(StylusUp, b.left + 3, b.top + 5);
    });
    tapButton(0);
    EXPECT_EQ(script.next, 1u);
    EXPECT_EQ(script.popups.size(), 1u);
    EXPECT_TRUE(commands().empty());
}

TEST_F(MenuBars, tool_buttons_send_their_command_and_follow_their_state)
{
    tapButton(5);
    EXPECT_EQ(commands(), std::vector<int>{static_cast<int>(kDelete)});
    // A check button toggles before the parent hears of it.
    recorded().clear();
    tapButton(3);
    EXPECT_EQ(commands(), std::vector<int>{static_cast<int>(kSlideshow)});
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, kSlideshow, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    // Disabled: no command.
    recorded().clear();
    ASSERT_TRUE(SendMessage(bar, TB_SETSTATE, kDelete, 0));
    tapButton(5);
    EXPECT_TRUE(commands().empty());
    // Sliding off the button before lifting: no command.
    RECT b = buttonRect(4);
    PlatformStylusInput(StylusDown, b.left + 3, b.top + 5);
    pump();
    PlatformStylusInput(StylusMove, 120, 100);
    PlatformStylusInput(StylusUp, 120, 100);
    pump();
    EXPECT_TRUE(commands().empty());

    // The states the main window sets: 4 enabled, 6 enabled and checked, 8 hidden, 0 disabled.
    for (LPARAM s : {4, 6, 8, 0}) {
        ASSERT_TRUE(SendMessage(bar, TB_SETSTATE, kOpen, s));
        EXPECT_EQ(SendMessage(bar, TB_GETSTATE, kOpen, 0), s);
    }
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 12345, 0), -1);
    EXPECT_FALSE(SendMessage(bar, TB_SETSTATE, 12345, 4));
    SendMessage(bar, TB_ENABLEBUTTON, kOpen, TRUE);
    SendMessage(bar, TB_CHECKBUTTON, kOpen, TRUE);
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, kOpen, 0));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONENABLED, kOpen, 0));
}

TEST_F(MenuBars, a_hidden_button_takes_no_room)
{
    RECT before = buttonRect(5);
    RECT open = buttonRect(4);
    SendMessage(bar, TB_SETSTATE, kOpen, TBSTATE_HIDDEN);
    RECT after = buttonRect(5);
    EXPECT_EQ(after.left, open.left);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    RECT none{};
    EXPECT_FALSE(SendMessage(bar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&none)));
    // A tap where it was reaches the button that moved there.
    tapButton(5);
    EXPECT_EQ(commands(), std::vector<int>{static_cast<int>(kDelete)});
}

TEST_F(MenuBars, buttons_keep_clear_of_the_input_panel_button)
{
    // The main window's bar at its fullest: three menus and six tool buttons.
    // At their usual width they would run under the input panel's button at
    // the right end; they close up instead, all alike.
    TBBUTTON more[] = {{2, 4030, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, -1},
                       {5, 4161, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, -1}};
    RECT roomy = buttonRect(3);
    ASSERT_TRUE(SendMessage(bar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(more)));
    const int count = static_cast<int>(SendMessage(bar, TB_BUTTONCOUNT, 0, 0));
    ASSERT_EQ(count, 9);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    RECT last = buttonRect(count - 1);
    EXPECT_LE(last.right, barRect.right - 28);  // the keyboard's place (28 pixels at 96 dpi)
    for (int i = 1; i < count; ++i) EXPECT_EQ(buttonRect(i).left, buttonRect(i - 1).right) << i;
    RECT closer = buttonRect(3);
    EXPECT_LT(closer.right - closer.left, roomy.right - roomy.left);
    EXPECT_GE(closer.right - closer.left, 18);  // still wider than its 16-pixel image
    for (int i = 4; i < count; ++i)
        EXPECT_NEAR(buttonRect(i).right - buttonRect(i).left, closer.right - closer.left, 1) << i;
    // What is drawn is what is tapped: the last button sends its command.
    tapButton(count - 1);
    EXPECT_EQ(commands(), std::vector<int>{4161});
}

TEST_F(MenuBars, the_bar_of_a_disabled_window_takes_no_taps)
{
    // A modal dialog over the window disables it: neither its menus nor its
    // tool buttons may run commands under the dialog.
    EnableWindow(parent, FALSE);
    tapButton(0);
    tapButton(5);
    EXPECT_TRUE(script.popups.empty()) << "a menu opened";
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(initMenus().empty());
    EnableWindow(parent, TRUE);
    tapButton(5);
    EXPECT_EQ(commands(), std::vector<int>{static_cast<int>(kDelete)});
}

TEST_F(MenuBars, tool_button_images_come_from_the_bitmap_without_the_mask_colour)
{
    RECT b = buttonRect(5);  // image 3
    int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    // The image's inside is its own colour; its mask border shows the bar.
    EXPECT_EQ(screenPixel(cx, cy), RGB(0x40, 0, 0x20));
    EXPECT_EQ(screenPixel(cx - 8, cy - 8), GetSysColor(COLOR_MENU));
    // Disabled without a list of their own: drawn grey.
    SendMessage(bar, TB_SETSTATE, kDelete, 0);
    pump();
    COLORREF grey = screenPixel(cx, cy);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_NE(grey, GetSysColor(COLOR_MENU));
}

// Images in colour `base` + 0x20 * image number; a mask border as in the strip.
void paintListImages(uint32_t* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int local = x % 16;
            bool border = local == 0 || local == 15 || y == 0 || y == 15;
            pixels[y * width + x] = border ? 0xC4C4C4 : 0x008000u + 0x20u * static_cast<uint32_t>(x / 16);
        }
}
const BitmapResource kListImages[] = {{7152, nullptr, 96, 16, paintListImages}};

TEST_F(MenuBars, image_lists_replace_the_bitmap_and_give_disabled_buttons_their_own_images)
{
    RegisterBitmaps(kListImages, 1);
    HIMAGELIST normal = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR24, 6, 0);
    HIMAGELIST disabled = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR24, 6, 0);
    HBITMAP images = LoadBitmap(nullptr, MAKEINTRESOURCE(7152));
    ASSERT_EQ(ImageList_AddMasked(normal, images, 0xC4C4C4), 0);
    ASSERT_EQ(ImageList_AddMasked(disabled, images, 0xC4C4C4), 0);
    DeleteObject(images);
    EXPECT_EQ(SendMessage(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal)), 0);
    EXPECT_EQ(SendMessage(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled)), 0);
    EXPECT_EQ(SendMessage(bar, TB_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(normal));
    pump();
    RECT b = buttonRect(5);  // image 3
    int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    EXPECT_EQ(screenPixel(cx, cy), RGB(0, 0x80, 0x60));
    EXPECT_EQ(screenPixel(cx - 8, cy - 8), GetSysColor(COLOR_MENU));
    // The disabled list draws the disabled button; here its image 3 is the same picture.
    SendMessage(bar, TB_SETSTATE, kDelete, 0);
    pump();
    EXPECT_EQ(screenPixel(cx, cy), RGB(0, 0x80, 0x60));
    SendMessage(bar, TB_SETDISABLEDIMAGELIST, 0, 0);
    pump();
    COLORREF faded = screenPixel(cx, cy);  // without one, the normal picture fades into the bar
    EXPECT_NE(faded, RGB(0, 0x80, 0x60));
    EXPECT_NE(faded, GetSysColor(COLOR_MENU));
    // The bar does not own the lists.
    DestroyWindow(bar);
    EXPECT_EQ(ImageList_GetImageCount(normal), 6);
    ImageList_Destroy(normal);
    ImageList_Destroy(disabled);
}

TEST_F(MenuBars, buttons_can_be_read_deleted_and_inserted_again_with_a_new_string)
{
    TBBUTTON tb{};
    ASSERT_TRUE(SendMessage(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&tb)));
    EXPECT_EQ(tb.idCommand, static_cast<int>(kFile));
    EXPECT_GT(tb.iString, 0);
    EXPECT_FALSE(SendMessage(bar, TB_GETBUTTON, 9, reinterpret_cast<LPARAM>(&tb)));

    // Strings: one text, or several, each ending in a zero and an empty one last.
    LRESULT first = SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Fichier\0"));
    LRESULT pair = SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Vue\0Outils\0"));
    EXPECT_GT(first, 0);
    EXPECT_EQ(pair, first + 1);
    EXPECT_EQ(SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x\0")), first + 3);

    ASSERT_TRUE(SendMessage(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 6);
    tb.iString = first;
    ASSERT_TRUE(SendMessage(bar, TB_INSERTBUTTON, 0, reinterpret_cast<LPARAM>(&tb)));
    EXPECT_EQ(buttonText(0), "Fichier");
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, kFile, 0), 0);
    // It still drops the File menu down.
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0));
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kFile)), GetSubMenu(menu, 0));
    tapButton(0);
    EXPECT_EQ(initMenus(), std::vector<HMENU>{GetSubMenu(menu, 0)});

    // Button information by command and by position.
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    char text[] = "Affichage";
    info.pszText = text;
    ASSERT_TRUE(SendMessage(bar, TB_SETBUTTONINFO, kView, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(buttonText(1), "Affichage");
    info.dwMask = TBIF_COMMAND | TBIF_STATE | TBIF_IMAGE | TBIF_BYINDEX;
    EXPECT_EQ(SendMessage(bar, TB_GETBUTTONINFO, 6, reinterpret_cast<LPARAM>(&info)), 6);
    EXPECT_EQ(info.idCommand, static_cast<int>(kFavorites));
    EXPECT_EQ(info.iImage, 4);
    info.dwMask = TBIF_STATE;
    EXPECT_EQ(SendMessage(bar, TB_GETBUTTONINFO, 4242, reinterpret_cast<LPARAM>(&info)), -1);
    // A short text buffer is cut at a character boundary.
    char small[4];
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = small;
    info.cchText = sizeof small;
    SendMessage(bar, TB_GETBUTTONINFO, 1, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(small, "Aff");
}

TEST_F(MenuBars, a_drop_down_menu_can_be_replaced_and_strings_come_from_the_string_table)
{
    HMENU fresh = CreatePopupMenu();
    AppendMenu(fresh, MF_STRING, 5000, "Fresh item");
    HMENU old = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kTools));
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_SETSUBMENU, kTools, reinterpret_cast<LPARAM>(fresh))), old);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, kTools)), fresh);
    DestroyMenu(old);  // handed back to the caller
    script.steps.push_back([](HWND popup) {
        POINT p = itemPoint(popup, 1, 0);
        PlatformStylusInput(StylusDown, p.x, p.y);
        PlatformStylusInput(StylusUp, p.x, p.y);
    });
    tapButton(2);
    EXPECT_EQ(commands(), std::vector<int>{5000});

    const StringResource strings[] = {{7300, "From the table"}};
    RegisterStringTable(strings, 1);
    LRESULT index = SendMessage(bar, TB_ADDSTRING, reinterpret_cast<WPARAM>(GetModuleHandle(nullptr)), 7300);
    ASSERT_GT(index, 0);
    TBBUTTON tb{};
    SendMessage(bar, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&tb));
    SendMessage(bar, TB_DELETEBUTTON, 1, 0);
    tb.iString = index;
    SendMessage(bar, TB_INSERTBUTTON, 1, reinterpret_cast<LPARAM>(&tb));
    EXPECT_EQ(buttonText(1), "From the table");
    EXPECT_EQ(SendMessage(bar, TB_ADDSTRING, reinterpret_cast<WPARAM>(GetModuleHandle(nullptr)), 7399), -1);

    // A bar made hidden stays hidden until shown.
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = parent;
    info.dwFlags = SHCMBF_EMPTYBAR | SHCMBF_HIDDEN;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    EXPECT_FALSE(IsWindowVisible(info.hwndMB));
}

TEST_F(MenuBars, a_bar_made_from_a_menu_gives_one_button_per_item_as_wizards_use)
{
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = parent;
    info.nToolBarId = 7200;
    info.dwFlags = SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    HWND wizardBar = info.hwndMB;
    pump();
    bar = wizardBar;  // buttonRect and tapButton work on this bar now
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(buttonText(0), "< Back");
    tapButton(0);  // Back starts disabled
    tapButton(1);
    EXPECT_EQ(commands(), std::vector<int>{2002});
    recorded().clear();
    SendMessage(bar, TB_ENABLEBUTTON, 2001, TRUE);
    SendMessage(bar, TB_ENABLEBUTTON, 2002, FALSE);
    tapButton(1);
    tapButton(0);
    EXPECT_EQ(commands(), std::vector<int>{2001});
}

}  // namespace
