// The options sheet: every page changed through its own controls and kept on
// OK, Cancel keeping everything, the spin ranges, the language question, the
// colour chooser's result and the Buttons page's restore button.
#include "app/language.h"
#include "app/options/option_ids.h"
#include "app/options/option_values.h"
#include "app/options/options_sheet.h"
#include "tests/app/options_fixture.h"

using namespace fotrix;
using namespace optionstest;

namespace {

enum PageIndex : int { General = 0, Browser, Viewer, Slideshow, Buttons, Associations };

class OptionsSheet : public AppWindowTest {
protected:
    bool run(std::vector<Step> steps)
    {
        script(std::move(steps));
        return ShowOptionsSheet(mainWindow);
    }
    // A step that shows page `index` and then edits it.
    static Step onPage(int index, std::function<void(HWND page)> edit)
    {
        return [index, edit](HWND sheet) {
            showPage(sheet, index);
            edit(currentPage(sheet));
        };
    }
    static Step ok() { return [](HWND sheet) { pressOk(sheet); }; }
};

void editGeneral(HWND page)
{
    setText(page, IdcHomeFolder, "/data/pictures");
    chooseComboItem(page, IdcViewMode, 2);
    setCheck(page, IdcStartSplash, false);
}

void editBrowser(HWND page)
{
    setCheck(page, IdcHighQuality, true);
    chooseComboItem(page, IdcThumbSize, 4);
    setCheck(page, IdcShowName, false);
    setCheck(page, IdcShowExt, false);
    setCheck(page, IdcOpenInFullScreen, false);
    setText(page, IdcFontTree, "12");
}

void editViewer(HWND page)
{
    setCheck(page, IdcViewMove, false);
    setCheck(page, IdcUseScroll, true);
    setCheck(page, IdcRotateLeft, false);
    setCheck(page, IdcShowFileName, false);
    setCheck(page, IdcAnimatedGif, false);
    setCheck(page, IdcExifOrientation, false);
}

void editSlideshow(HWND page)
{
    setCheck(page, IdcTDelay, false);
    setText(page, IdcDelay, "7");
    setCheck(page, IdcUseTransition, false);
    setCheck(page, IdcLandscape, true);
    setCheck(page, IdcUseLoop, true);
    setCheck(page, IdcUseSoundFile, true);
    setText(page, IdcSoundFile, "/data/music/tune.ogg");
}

// Chooses the Left row and gives it Zoom in.
void editButtons(HWND page)
{
    HWND list = GetDlgItem(page, IdcKeyList);
    ListView_SetItemState(list, KeyRowLeft, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    chooseComboItem(page, IdcAction, KeyActionZoomIn);
}

std::string itemText(HWND list, int row, int column)
{
    char text[128] = "";
    LVITEM item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_F(OptionsSheet, every_page_changed_through_its_controls_reaches_gapp_on_ok)
{
    bool firstChecked = false;
    std::string leftShown;
    ASSERT_TRUE(run({onPage(General, editGeneral), onPage(Browser, editBrowser), onPage(Viewer, editViewer),
                     onPage(Slideshow, editSlideshow),
                     onPage(Buttons,
                            [&](HWND page) {
                                editButtons(page);
                                leftShown = itemText(GetDlgItem(page, IdcKeyList), KeyRowLeft, 1);
                            }),
                     onPage(Associations,
                            [&](HWND page) {
                                HWND list = GetDlgItem(page, IdcTypeList);
                                firstChecked = ListView_GetCheckState(list, 0);
                                ListView_SetCheckState(list, 0, TRUE);
                            }),
                     ok()}));
    EXPECT_TRUE(scriptDone());
    const AppState& s = gApp;
    EXPECT_EQ(s.homeFolder, "/data/pictures/");  // a folder path always ends with "/"
    EXPECT_EQ(s.userViewMode, 2);
    EXPECT_EQ(s.useSplashScreen, 0);
    EXPECT_EQ(s.highQualityThumb, 1);
    EXPECT_EQ(s.thumbSize, 4);
    EXPECT_EQ(s.showLabel, 0);
    EXPECT_EQ(s.showExt, 0);
    EXPECT_EQ(s.openInFull, 0);
    EXPECT_EQ(s.fontTree, 12);
    EXPECT_EQ(s.fontThumb, 0);  // left empty: the system font stays
    EXPECT_EQ(s.viewMove, 0);
    EXPECT_EQ(s.useScrollbar, 1);
    EXPECT_EQ(s.rotateLeft, 0);
    EXPECT_EQ(s.labelInFull, 0);
    EXPECT_EQ(s.playAnimatedGif, 0);
    EXPECT_EQ(s.exifOrientation, 0);
    EXPECT_EQ(s.slideUseDelay, 0);
    EXPECT_EQ(s.slideDelay, 7);
    EXPECT_EQ(s.slideUseTransition, 0);
    EXPECT_EQ(s.slideLandscape, 1);
    EXPECT_EQ(s.slideLoop, 1);
    EXPECT_EQ(s.useSoundFilename, 1);
    EXPECT_EQ(s.soundFilename, "/data/music/tune.ogg");
    EXPECT_EQ(s.keyLeft, KeyActionZoomIn);
    EXPECT_EQ(leftShown, "Zoom in");
    EXPECT_EQ(s.keyUp, KeyActionNextPicture);
    EXPECT_EQ(s.keyReturn, KeyActionOpenClose);
    EXPECT_FALSE(firstChecked);
    ASSERT_FALSE(AssociationChoices().empty());
    EXPECT_TRUE(AssociationChoices()[0].checked);
    EXPECT_EQ(AssociationChoices()[0].extension, ".jpg");
}

TEST_F(OptionsSheet, cancel_and_pages_never_shown_leave_the_settings_alone)
{
    gApp.fontTree = 14;
    gApp.slideBackColor = RGB(1, 2, 3);
    AppState before = gApp;
    EXPECT_FALSE(run({onPage(Browser, editBrowser), onPage(Viewer, editViewer),
                      [](HWND sheet) { pressCancel(sheet); }}));
    EXPECT_EQ(gApp.highQualityThumb, before.highQualityThumb);
    EXPECT_EQ(gApp.thumbSize, before.thumbSize);
    EXPECT_EQ(gApp.viewMove, before.viewMove);
    EXPECT_EQ(gApp.fontTree, 14);
    // OK from the first page: the pages never made keep their values.
    gApp.keyDown = KeyActionSlideshow;
    gApp.slideDelay = 45;
    EXPECT_TRUE(run({ok()}));
    EXPECT_EQ(gApp.keyDown, KeyActionSlideshow);
    EXPECT_EQ(gApp.slideDelay, 45);
    EXPECT_EQ(gApp.fontTree, 14);
    EXPECT_EQ(gApp.slideBackColor, RGB(1, 2, 3));
}

TEST_F(OptionsSheet, spin_values_are_clamped_into_their_ranges)
{
    int spunDelay = 0;
    ASSERT_TRUE(run({onPage(Browser,
                            [](HWND page) {
                                setText(page, IdcFontTree, "30");
                                setText(page, IdcFontThumb, "3");
                            }),
                     onPage(Slideshow, [](HWND page) { setText(page, IdcDelay, "0"); }), ok()}));
    EXPECT_EQ(gApp.fontTree, 20);
    EXPECT_EQ(gApp.fontThumb, 8);
    EXPECT_EQ(gApp.slideDelay, 1);
    // The arrows stop at the ends of the range: 60 seconds at most.
    gApp.slideDelay = 59;
    ASSERT_TRUE(run({onPage(Slideshow,
                            [](HWND page) {
                                SetFocus(GetDlgItem(page, IdcDelay));
                                keyPress(VK_UP);
                                keyPress(VK_UP);
                                keyPress(VK_UP);
                            }),
                     [&](HWND sheet) { spunDelay = static_cast<int>(GetDlgItemInt(currentPage(sheet), IdcDelay, nullptr, FALSE)); },
                     ok()}));
    EXPECT_EQ(spunDelay, 60);
    EXPECT_EQ(gApp.slideDelay, 60);
}

TEST_F(OptionsSheet, a_new_language_asks_for_a_restart_and_the_same_one_does_not)
{
    writeFile("languages/fr.lng", "Langue=Francais\n[String]\n");
    writeFile("languages/de.lng", "Sprache=Deutsch\n[String]\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    std::string shown, texts, boxText;
    // The same language chosen again: no message box, nothing changes.
    ASSERT_TRUE(run({onPage(General,
                            [&](HWND page) {
                                char entry[64] = "";
                                HWND combo = GetDlgItem(page, IdcLanguage);
                                LRESULT i = SendMessage(combo, CB_GETCURSEL, 0, 0);
                                SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
                                shown = entry;
                            }),
                     ok()}));
    EXPECT_EQ(shown, "fr - Francais");
    EXPECT_STREQ(CurrentLanguage(), "fr");
    // Another one: the box with IDS_REBOOT, warning icon, empty title.
    HWND box = nullptr;
    ASSERT_TRUE(run({onPage(General,
                            [](HWND page) {
                                HWND combo = GetDlgItem(page, IdcLanguage);
                                LRESULT i = SendMessage(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>("de - Deutsch"));
                                chooseComboItem(page, IdcLanguage, static_cast<int>(i));
                            }),
                     ok(),
                     [&](HWND dialog) {
                         box = dialog;
                         char title[64] = "x";
                         GetWindowText(dialog, title, sizeof title);
                         texts = title;
                         boxText = dialogTexts(dialog);
                         PostMessage(dialog, WM_COMMAND, IDOK, 0);
                     }}));
    EXPECT_TRUE(scriptDone());
    EXPECT_NE(box, nullptr);
    EXPECT_EQ(texts, "");
    EXPECT_NE(boxText.find("The new language applies when you start Fotrix Pocket again."), std::string::npos);
    EXPECT_STREQ(CurrentLanguage(), "de");
}

TEST_F(OptionsSheet, the_colour_chosen_lands_in_its_setting_and_the_swatch_shows_it)
{
    gApp.viewBackColor = RGB(0, 128, 0);
    COLORREF swatchBefore = 0, swatchAfter = 0;
    auto swatchPixel = [](HWND page, int id) {
        HWND swatch = GetDlgItem(page, id);
        RECT r;
        GetWindowRect(swatch, &r);
        pump();
        HDC dc = GetDC(nullptr);
        COLORREF c = GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ReleaseDC(nullptr, dc);
        return c;
    };
    ASSERT_TRUE(run({onPage(Viewer,
                            [](HWND page) {
                                SendDlgItemMessage(page, IdcViewBack, BM_CLICK, 0, 0);
                            }),
                     // The chooser: red to its end, then OK.
                     [](HWND chooser) { SetFocus(GetDlgItem(chooser, 1200)); },
                     [](HWND) { keyPress(VK_END); },
                     [](HWND chooser) { PostMessage(chooser, WM_COMMAND, IDOK, 0); },
                     [&](HWND sheet) { swatchAfter = swatchPixel(currentPage(sheet), IdcViewBackSwatch); },
                     ok()}));
    EXPECT_EQ(gApp.viewBackColor, RGB(255, 128, 0));
    EXPECT_EQ(swatchAfter, RGB(255, 128, 0));
    // Cancelled: the colour stays.
    ASSERT_TRUE(run({[](HWND sheet) { showPage(sheet, Slideshow); },
                     [&](HWND sheet) {
                         HWND page = currentPage(sheet);
                         swatchBefore = swatchPixel(page, IdcSlideBackSwatch);
                         SendDlgItemMessage(page, IdcSlideBack, BM_CLICK, 0, 0);
                     },
                     [](HWND chooser) { PostMessage(chooser, WM_COMMAND, IDCANCEL, 0); },
                     ok()}));
    EXPECT_EQ(swatchBefore, RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(gApp.slideBackColor, 0x808080u);
}

TEST_F(OptionsSheet, restore_puts_back_the_default_keys_and_the_list_shows_them)
{
    gApp.keyUp = KeyActionZoomOut;
    gApp.keyDown = KeyActionNone;
    gApp.keyLeft = KeyActionSlideshow;
    gApp.keyRight = KeyActionOpenClose;
    gApp.keyReturn = 9;  // out of range: kept and shown as its number
    std::vector<std::string> before, after, actions;
    ASSERT_TRUE(run({onPage(Buttons,
                            [&](HWND page) {
                                HWND list = GetDlgItem(page, IdcKeyList);
                                for (int row = 0; row < kKeyRowCount; ++row) before.push_back(itemText(list, row, 1));
                                HWND combo = GetDlgItem(page, IdcAction);
                                for (int i = 0; i < SendMessage(combo, CB_GETCOUNT, 0, 0); ++i) {
                                    char text[64] = "";
                                    SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                                    actions.push_back(text);
                                }
                                SendDlgItemMessage(page, IdcRestore, BM_CLICK, 0, 0);
                                for (int row = 0; row < kKeyRowCount; ++row) after.push_back(itemText(list, row, 1));
                            }),
                     ok()}));
    EXPECT_EQ(before, (std::vector<std::string>{"Zoom out", "None", "Slideshow", "Full screen", "9"}));
    EXPECT_EQ(actions, (std::vector<std::string>{"None", "Next picture", "Previous picture", "Full screen",
                                                 "Slideshow", "Zoom in", "Zoom out"}));
    EXPECT_EQ(after, (std::vector<std::string>{"Next picture", "Previous picture", "Previous picture", "Next picture",
                                               "Full screen"}));
    EXPECT_EQ(gApp.keyUp, 1);
    EXPECT_EQ(gApp.keyDown, 2);
    EXPECT_EQ(gApp.keyLeft, 2);
    EXPECT_EQ(gApp.keyRight, 1);
    EXPECT_EQ(gApp.keyReturn, 3);
}

TEST_F(OptionsSheet, pages_relabel_from_their_language_sections)
{
    writeFile("languages/fr.lng",
              "Langue=Francais\n[String]\nIDS_GENERAL=Général\n[DlgOption1]\nIDC_STARTSPLASH=Écran d'accueil\n"
              "IDC_VIEWMODE2=Détails\n[DlgOption5]\nIDC_RESTORE=Rétablir\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    std::string splash, mode, restore, tab;
    ASSERT_TRUE(run({[&](HWND sheet) {
                         HWND page = currentPage(sheet);
                         char text[128] = "";
                         GetDlgItemText(page, IdcStartSplash, text, sizeof text);
                         splash = text;
                         SendDlgItemMessage(page, IdcViewMode, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
                         mode = text;
                         HWND tabs = reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETTABCONTROL, 0, 0));
                         TCITEM item{};
                         item.mask = TCIF_TEXT;
                         item.pszText = text;
                         item.cchTextMax = sizeof text;
                         SendMessage(tabs, TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
                         tab = text;
                     },
                     onPage(Buttons,
                            [&](HWND page) {
                                char text[64] = "";
                                GetDlgItemText(page, IdcRestore, text, sizeof text);
                                restore = text;
                            }),
                     ok()}));
    EXPECT_EQ(splash, "Écran d'accueil");
    EXPECT_EQ(mode, "Détails");
    EXPECT_EQ(restore, "Rétablir");
    EXPECT_EQ(tab, "Général");
}

}  // namespace
