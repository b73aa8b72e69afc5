// Menus, menu bars and the language chooser relabelled from language files.
#include "app/language.h"
#include "platform/controls/controls.h"
#include "tests/support/menu_support.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace fotrix;

namespace {

const MenuTemplateItem kMain[] = {
    {MF_POPUP, "&File", 0},
        {MF_POPUP, "&Go to", 0},
            {MF_STRING, "&Home folder", 4015},
            {MF_STRING, "Up", 4016},
        {MENU_END_POPUP, nullptr, 0},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "E&xit", 4013},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&View", 0},
        {MF_STRING | MF_CHECKED | MFT_RADIOCHECK, "&Thumbnails", 4007},
        {MF_STRING, "Options...", 4142},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuResource kMenus[] = {{8102, kMain, static_cast<int>(std::size(kMain))}};
const MenuBarButtonTemplate kButtons[] = {
    {I_IMAGENONE, 4001, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "File", 0},
    {I_IMAGENONE, 4004, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "View", 1},
    {0, 4019, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
};
const MenuBarResource kBars[] = {{8102, 8102, kButtons, static_cast<int>(std::size(kButtons))}};

std::string itemText(HMENU menu, UINT position)
{
    char text[128] = "";
    GetMenuString(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

class LanguageMenus : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    HWND owner = nullptr;
    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        InitCommonControls();
        RegisterMenus(kMenus, 1);
        RegisterMenuBars(kBars, 1);
        SetLanguageFolder(dir.path().c_str());
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "LanguageMenuOwner";
        RegisterClass(&wc);
        owner = CreateWindow("LanguageMenuOwner", "", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        CloseLanguage();
        SetLanguageFolder(nullptr);
        PlatformRunPending();
        PlatformShutdown();
    }
    void write(const char* name, const std::string& text) { testsupport::writeFile(dir / name, text); }
    HWND makeBar()
    {
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = owner;
        info.nToolBarId = 8102;
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }
    static std::string buttonText(HWND bar, int index) { return testsupport::menuBarButtonText(bar, index); }
};

TEST_F(LanguageMenus, menu_items_are_relabelled_by_their_built_in_text_at_every_depth)
{
    write("fr.lng", "Langue=Francais\r\n[String]\r\nE&xit=not a menu entry\r\n[Menu]\r\n&file=&Fichier\r\n"
                    "&Home folder=Dossier &personnel\r\nUp=H\r\nE&xit=&Quitter\r\n&Thumbnails=&Vignettes\r\n"
                    "Options...=Options...\r\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(8102));
    TranslateMenu(nullptr, menu);
    EXPECT_EQ(itemText(menu, 0), "&Fichier");  // the key matched without regard to case
    HMENU file = GetSubMenu(menu, 0);
    // "&Go to" has no entry: it keeps its text, and its sub-menu is still relabelled.
    EXPECT_EQ(itemText(file, 0), "&Go to");
    HMENU goTo = GetSubMenu(file, 0);
    EXPECT_EQ(itemText(goTo, 0), "Dossier &personnel");
    EXPECT_EQ(itemText(goTo, 1), "Up");  // a one-character value counts as missing
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(itemText(file, 2), "&Quitter");
    EXPECT_EQ(GetMenuItemID(file, 2), 4013u);
    HMENU view = GetSubMenu(menu, 1);
    EXPECT_EQ(itemText(menu, 1), "&View");
    EXPECT_EQ(itemText(view, 0), "&Vignettes");
    UINT state = GetMenuState(view, 0, MF_BYPOSITION);
    EXPECT_TRUE(state & MF_CHECKED);
    EXPECT_TRUE(state & MFT_RADIOCHECK);  // still a radio item
    DestroyMenu(menu);
}

TEST_F(LanguageMenus, without_a_language_file_or_a_menu_section_nothing_changes)
{
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(8102));
    HWND bar = makeBar();
    ASSERT_NE(bar, nullptr);
    LRESULT strings = SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x\0"));
    TranslateMenu(bar, menu);
    EXPECT_EQ(itemText(menu, 0), "&File");
    EXPECT_EQ(buttonText(bar, 0), "File");
    write("de.lng", "Sprache=Deutsch\n[String]\n&File=&Datei\n");
    ASSERT_EQ(OpenLanguage("de"), 1);
    TranslateMenu(bar, menu);
    EXPECT_EQ(itemText(menu, 0), "&File");
    EXPECT_EQ(buttonText(bar, 0), "File");
    // Each relabelling added only its two blank strings to the bar's list.
    EXPECT_EQ(SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("y\0")), strings + 5);
    DestroyMenu(menu);
}

TEST_F(LanguageMenus, menu_bar_buttons_get_their_new_text_and_width_and_keep_their_menus)
{
    write("fr.lng", "Langue=Francais\n[Menu]\nFile=Fichier et dossiers\nView=Vue\n&View=&Vue\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    HWND bar = makeBar();
    ASSERT_NE(bar, nullptr);
    HMENU menu = reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0));
    RECT fileBefore{}, viewBefore{};
    SendMessage(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&fileBefore));
    SendMessage(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&viewBefore));
    TranslateMenu(bar, menu);
    ASSERT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(buttonText(bar, 0), "Fichier et dossiers");
    EXPECT_EQ(buttonText(bar, 1), "Vue");
    EXPECT_EQ(itemText(menu, 1), "&Vue");
    TBBUTTON tb{};
    SendMessage(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&tb));
    EXPECT_EQ(tb.idCommand, 4019);  // the image button stays where it was
    SendMessage(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&tb));
    EXPECT_EQ(tb.idCommand, 4001);
    RECT fileAfter{}, viewAfter{};
    SendMessage(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&fileAfter));
    SendMessage(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&viewAfter));
    EXPECT_GT(fileAfter.right - fileAfter.left, fileBefore.right - fileBefore.left);
    EXPECT_EQ(viewAfter.left, fileAfter.right);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETSUBMENU, 0, 4004)), GetSubMenu(menu, 1));
}

TEST_F(LanguageMenus, the_language_list_has_english_first_and_selects_the_current_language)
{
    write("fr.lng", "Langue=Francais\n[String]\n");
    write("de.lng", "Sprache = Deutsch\n");
    write("xx.lng", "NoNameHere\n");
    write("notes.txt", "Other=file\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    HWND combo = CreateWindow(WC_COMBOBOX, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150, 100, owner, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    FillLanguageList(combo);
    ASSERT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 3);
    std::vector<std::string> labels;
    for (int i = 0; i < 3; ++i) {
        char text[64] = "";
        SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        labels.push_back(text);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"en - English", "de - = Deutsch", "fr - Francais"}));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);

    // A current language without a file selects English.
    CloseLanguage();
    OpenLanguage("it");
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    FillLanguageList(combo);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 0);
}

}  // namespace
