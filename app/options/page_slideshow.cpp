// Slideshow: advancing by timer and its delay, the background colour,
// transitions, landscape slides, the sound played meanwhile and looping.
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"
#include "app/resources/texts.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption4";

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcTDelay, "Next slide after", 8, 8, 116, 18, kCheck, 0},
    {WC_EDIT, IdcDelay, "", 126, 7, 48, 20, kEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcDelaySpin, "", 174, 7, 16, 20, kSpin, 0},
    {WC_STATIC, IdcTSeconds, "seconds", 180, 10, 52, 14, kShown, 0},
    {WC_BUTTON, IdcUseTransition, "Transitions between slides", 8, 32, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcLandscape, "Landscape slides", 8, 52, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcUseLoop, "Start again after the last", 8, 72, 224, 18, kCheck, 0},
    {WC_STATIC, IdcTSlideBack, "Background:", 8, 101, 120, 14, kShown, 0},
    {WC_STATIC, IdcSlideBackSwatch, "", 132, 98, 64, 20, kShown | DWORD{WS_BORDER}, 0},
    {WC_BUTTON, IdcSlideBack, "...", 204, 98, 28, 20, kStop | DWORD{BS_PUSHBUTTON}, 0},
    {WC_BUTTON, IdcUseSoundFile, "Play a sound:", 8, 128, 224, 18, kCheck, 0},
    {WC_EDIT, IdcSoundFile, "", 8, 148, 196, 20, kEdit, 0},
    {WC_BUTTON, IdcSoundBrowse, "...", 208, 148, 24, 20, kStop | DWORD{BS_PUSHBUTTON}, 0},
};
const DialogTemplate kDialog = {"Slideshow", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {
    {IdcTDelay, "IDC_TDELAY"},           {IdcTSeconds, "IDC_TSECONDS"},
    {IdcUseTransition, "IDC_USETRANSITION"}, {IdcLandscape, "IDC_LANDSCAPE"},
    {IdcUseLoop, "IDC_USELOOP"},         {IdcTSlideBack, "IDC_TSLIDEBACK"},
    {IdcUseSoundFile, "IDC_USESOUNDFILE"},
};
constexpr CheckBinding kChecks[] = {
    {IdcTDelay, &OptionValues::slideUseDelay},      {IdcUseTransition, &OptionValues::slideUseTransition},
    {IdcLandscape, &OptionValues::slideLandscape},  {IdcUseLoop, &OptionValues::slideLoop},
    {IdcUseSoundFile, &OptionValues::useSoundFilename},
};
constexpr SpinBinding kDelay = {IdcDelay, IdcDelaySpin, 1, 60, &OptionValues::slideDelay};

// The kinds the sound library plays: music modules, wave, MP3 and Ogg files.
constexpr const char kSoundPatterns[] = "*.wav;*.mp3;*.ogg;*.mod;*.xm;*.it;*.s3m";

Swatch swatch;

void apply(HWND page, OptionValues& values)
{
    StoreChecks(page, kChecks);
    StoreSpin(page, kDelay);
    values.soundFilename = ItemText(page, IdcSoundFile);
}

void browseSound(HWND page)
{
    std::string filter = Tr(kIdsSoundFilename);
    if (filter.empty()) filter = "Sounds";
    filter.push_back('\0');
    filter += kSoundPatterns;
    filter.push_back('\0');
    filter.push_back('\0');
    char path[260] = "";
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetParent(page);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    std::string shown = ItemText(page, IdcSoundFile);
    if (shown.size() < sizeof path) shown.copy(path, shown.size());
    if (!GetOpenFileName(&ofn)) return;
    SetDlgItemText(page, IdcSoundFile, path);
    CheckDlgButton(page, IdcUseSoundFile, BST_CHECKED);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    LoadChecks(page, kChecks);
    SetUpSpin(page, kDelay);
    SetDlgItemText(page, IdcSoundFile, PageValues(page).soundFilename.c_str());
    return TRUE;
}

LRESULT onChooseColour(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED && ChooseColourFor(page, PageValues(page).slideBackColor))
        InvalidateRect(GetDlgItem(page, IdcSlideBackSwatch), nullptr, TRUE);
    return TRUE;
}

LRESULT onSoundBrowse(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) browseSound(page);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcSlideBack, onChooseColour},
    {IdcSoundBrowse, onSoundBrowse},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam) { return HandleSheetNotify(page, lParam, apply); }

LRESULT onCtlColorStatic(HWND page, UINT, WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != GetDlgItem(page, IdcSlideBackSwatch)) return FALSE;
    return reinterpret_cast<LRESULT>(SwatchBrush(swatch, PageValues(page).slideBackColor));
}

LRESULT onDestroy(HWND, UINT, WPARAM, LPARAM)
{
    DeleteSwatch(swatch);
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {WM_NOTIFY, onNotify},
    {WM_CTLCOLORSTATIC, onCtlColorStatic},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

OptionPage SlideshowPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
