// Relabelling menus and menu bars from the language file, and filling the
// language chooser. These belong to the application: they read its language
// file; the platform only offers the menu and tool-bar calls they use.
#include "app/language.h"
#include "app/language_file.h"
#include "platform/controls/combo.h"

#include <string>

namespace fotrix {

namespace {

constexpr int kMenuItemLimit = 256;  // items looked at per menu
constexpr int kMenuTextLimit = 256;  // bytes of an item's text read as its key

bool menuText(const std::string& key, std::string& value) { return languageLookup("Menu", key, value); }

void translateItems(HMENU menu)
{
    for (int i = 0; i < kMenuItemLimit; ++i) {
        char text[kMenuTextLimit] = "";
        MENUITEMINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_TYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &info)) return;
        if (info.fType & MFT_SEPARATOR) continue;
        std::string value;
        if (menuText(text, value)) {
            // Only the text changes, so a radio item keeps its radio mark.
            MENUITEMINFO label{};
            label.cbSize = sizeof label;
            label.fMask = MIIM_STRING;
            label.dwTypeData = value.data();
            SetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &label);
        }
        if (info.hSubMenu) translateItems(info.hSubMenu);
    }
}

LRESULT addBarString(HWND bar, const std::string& text)
{
    std::string list = text;
    list.push_back('\0');  // the list ends with an empty text
    return SendMessage(bar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list.c_str()));
}

// Buttons are deleted and inserted again with their new string, so that the
// bar lays itself out for the new widths.
void translateBar(HWND bar)
{
    addBarString(bar, " ");
    int count = static_cast<int>(SendMessage(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!SendMessage(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button))) continue;
        if (button.iString <= 0) continue;
        char text[kMenuTextLimit] = "";
        TBBUTTONINFO info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
        info.pszText = text;
        info.cchText = sizeof text;
        if (SendMessage(bar, TB_GETBUTTONINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)) < 0) continue;
        std::string value;
        if (!menuText(text, value)) continue;
        LRESULT index = addBarString(bar, value);
        if (index < 0) continue;
        SendMessage(bar, TB_DELETEBUTTON, static_cast<WPARAM>(i), 0);
        button.iString = index;
        SendMessage(bar, TB_INSERTBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    }
    addBarString(bar, " ");
}

}  // namespace

void TranslateMenu(HWND menuBar, HMENU menu)
{
    if (menu) translateItems(menu);
    if (menuBar && IsWindow(menuBar)) translateBar(menuBar);
}

void FillLanguageList(HWND combo)
{
    int selected = 0;
    for (const LanguageChoice& choice : ListLanguages(&selected))
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.label.c_str()));
    SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

}  // namespace fotrix
