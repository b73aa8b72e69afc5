// General: the home folder, the view to start in, the language and the
// start screen.
#include "app/language.h"
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption1";

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcTHomeFolder, "Home folder:", 8, 8, 224, 14, kShown, 0},
    {WC_EDIT, IdcHomeFolder, "", 8, 24, 196, 20, kEdit, 0},
    {WC_BUTTON, IdcHomeBrowse, "...", 208, 24, 24, 20, kStop | DWORD{BS_PUSHBUTTON}, 0},
    {WC_STATIC, IdcTViewMode, "Start in:", 8, 54, 224, 14, kShown, 0},
    {WC_COMBOBOX, IdcViewMode, "", 8, 70, 224, 120, kDropList, 0},
    {WC_STATIC, IdcTLanguage, "Language:", 8, 100, 224, 14, kShown, 0},
    {WC_COMBOBOX, IdcLanguage, "", 8, 116, 224, 120, kDropList, 0},
    {WC_BUTTON, IdcStartSplash, "Show the start screen", 8, 148, 224, 20, kCheck, 0},
};
const DialogTemplate kDialog = {"General", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {
    {IdcTHomeFolder, "IDC_THOMEFOLDER"},
    {IdcTViewMode, "IDC_TVIEWMODE"},
    {IdcTLanguage, "IDC_TLANGUAGE"},
    {IdcStartSplash, "IDC_STARTSPLASH"},
};
constexpr CheckBinding kChecks[] = {{IdcStartSplash, &OptionValues::useSplashScreen}};

// UserViewMode 0 to 3 start in that browse mode, 4 in the one of the last run.
struct ModeName {
    const char* key;
    const char* builtIn;
};
constexpr ModeName kModeNames[] = {
    {"IDC_VIEWMODE0", "Thumbnails"}, {"IDC_VIEWMODE1", "List"},          {"IDC_VIEWMODE2", "Details"},
    {"IDC_VIEWMODE3", "Film strip"}, {"IDC_VIEWMODE4", "As last time"},
};

std::vector<std::string> modeNames()
{
    std::vector<std::string> names;
    for (const ModeName& m : kModeNames) names.push_back(SectionText(kSection, m.key, m.builtIn));
    return names;
}

// A folder path always ends with "/".
std::string asFolder(std::string path)
{
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

std::string chosenLanguage(HWND page, const std::string& previous)
{
    HWND combo = GetDlgItem(page, IdcLanguage);
    LRESULT index = SendMessage(combo, CB_GETCURSEL, 0, 0);
    if (index < 0) return previous;
    char entry[128] = "";
    SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry));
    return std::string(entry).substr(0, 2);
}

void apply(HWND page, OptionValues& values)
{
    StoreChecks(page, kChecks);
    values.homeFolder = asFolder(ItemText(page, IdcHomeFolder));
    values.userViewMode = ComboChoice(page, IdcViewMode, values.userViewMode);
    values.language = chosenLanguage(page, values.language);
}

void browseHome(HWND page)
{
    char folder[260] = "";
    std::string shown = ItemText(page, IdcHomeFolder);
    if (shown.size() < sizeof folder) shown.copy(folder, shown.size());
    if (ChooseFolder(GetParent(page), ItemText(page, IdcTHomeFolder).c_str(), folder, sizeof folder, 0))
        SetDlgItemText(page, IdcHomeFolder, folder);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    const OptionValues& values = PageValues(page);
    LoadChecks(page, kChecks);
    SetDlgItemText(page, IdcHomeFolder, values.homeFolder.c_str());
    FillCombo(page, IdcViewMode, modeNames(), values.userViewMode);
    FillLanguageList(GetDlgItem(page, IdcLanguage));
    return TRUE;
}

LRESULT onHomeBrowse(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) browseHome(page);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcHomeBrowse, onHomeBrowse}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam) { return HandleSheetNotify(page, lParam, apply); }

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {WM_NOTIFY, onNotify},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

OptionPage GeneralPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
