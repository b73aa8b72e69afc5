// Browser: thumbnail quality and size, file names and extensions, opening
// pictures full screen, and the font sizes of the folder tree and the list.
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption2";

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcHighQuality, "High-quality thumbnails", 8, 8, 224, 18, kCheck, 0},
    {WC_STATIC, IdcTThumbSize, "Thumbnail size:", 8, 33, 104, 14, kShown, 0},
    {WC_COMBOBOX, IdcThumbSize, "", 112, 30, 120, 120, kDropList, 0},
    {WC_BUTTON, IdcShowName, "Show file names", 8, 56, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcShowExt, "Show file extensions", 8, 76, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcOpenInFullScreen, "Open pictures full screen", 8, 96, 224, 18, kCheck, 0},
    {WC_STATIC, IdcFontSize, "Font size (8 to 20, empty: system font):", 8, 122, 224, 14, kShown, 0},
    {WC_STATIC, IdcTFont1, "Folder tree:", 16, 143, 100, 14, kShown, 0},
    {WC_EDIT, IdcFontTree, "", 120, 140, 56, 20, kEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcFontTreeSpin, "", 176, 140, 16, 20, kSpin, 0},
    {WC_STATIC, IdcTFont2, "File list:", 16, 167, 100, 14, kShown, 0},
    {WC_EDIT, IdcFontThumb, "", 120, 164, 56, 20, kEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcFontThumbSpin, "", 176, 164, 16, 20, kSpin, 0},
};
const DialogTemplate kDialog = {"Browser", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {
    {IdcHighQuality, "IDC_HIGHQUALITY"}, {IdcTThumbSize, "IDC_TTHUMBSIZE"},
    {IdcShowName, "IDC_SHOWNAME"},       {IdcShowExt, "IDC_SHOWEXT"},
    {IdcOpenInFullScreen, "IDC_OPENINFULLSCREEN"},
    {IdcFontSize, "IDC_FONTSIZE"},       {IdcTFont1, "IDC_TFONT1"},
    {IdcTFont2, "IDC_TFONT2"},
};
constexpr CheckBinding kChecks[] = {
    {IdcHighQuality, &OptionValues::highQualityThumb},
    {IdcShowName, &OptionValues::showLabel},
    {IdcShowExt, &OptionValues::showExt},
    {IdcOpenInFullScreen, &OptionValues::openInFull},
};
constexpr SpinBinding kSpins[] = {
    {IdcFontTree, IdcFontTreeSpin, 8, 20, &OptionValues::fontTree},
    {IdcFontThumb, IdcFontThumbSpin, 8, 20, &OptionValues::fontThumb},
};

// The five thumbnail size classes (38, 50, 60, 80 and 102 pixels at 96 dpi).
struct SizeName {
    const char* key;
    const char* builtIn;
};
constexpr SizeName kSizeNames[] = {
    {"IDC_THUMBSIZE0", "Smallest"}, {"IDC_THUMBSIZE1", "Small"},   {"IDC_THUMBSIZE2", "Medium"},
    {"IDC_THUMBSIZE3", "Large"},    {"IDC_THUMBSIZE4", "Largest"},
};

std::vector<std::string> sizeNames()
{
    std::vector<std::string> names;
    for (const SizeName& s : kSizeNames) names.push_back(SectionText(kSection, s.key, s.builtIn));
    return names;
}

void apply(HWND page, OptionValues& values)
{
    StoreChecks(page, kChecks);
    for (const SpinBinding& spin : kSpins) StoreSpin(page, spin);
    values.thumbSize = ComboChoice(page, IdcThumbSize, values.thumbSize);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    LoadChecks(page, kChecks);
    for (const SpinBinding& spin : kSpins) SetUpSpin(page, spin);
    FillCombo(page, IdcThumbSize, sizeNames(), PageValues(page).thumbSize);
    return TRUE;
}

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam) { return HandleSheetNotify(page, lParam, apply); }

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_NOTIFY, onNotify},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

OptionPage BrowserPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
