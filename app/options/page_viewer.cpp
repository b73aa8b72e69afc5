// Viewer: dragging, scroll bars, the direction of automatic turns, the
// background colour, the file name in full screen, animated GIF files and
// turning pictures upright by their EXIF orientation.
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption3";

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcViewMove, "Dragging moves the picture", 8, 8, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcUseScroll, "Scroll bars", 8, 28, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcRotateLeft, "Turn pictures to the left", 8, 48, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcShowFileName, "File name in full screen", 8, 68, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcAnimatedGif, "Play animated GIF files", 8, 88, 224, 18, kCheck, 0},
    {WC_BUTTON, IdcExifOrientation, "Show pictures upright (EXIF)", 8, 108, 224, 18, kCheck, 0},
    {WC_STATIC, IdcTViewBack, "Background:", 8, 139, 120, 14, kShown, 0},
    {WC_STATIC, IdcViewBackSwatch, "", 132, 136, 64, 20, kShown | DWORD{WS_BORDER}, 0},
    {WC_BUTTON, IdcViewBack, "...", 204, 136, 28, 20, kStop | DWORD{BS_PUSHBUTTON}, 0},
};
const DialogTemplate kDialog = {"Viewer", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {
    {IdcViewMove, "IDC_VIEWMOVE"},         {IdcUseScroll, "IDC_USESCROLL"},
    {IdcRotateLeft, "IDC_ROTATELEFT"},     {IdcShowFileName, "IDC_SHOWFILENAME"},
    {IdcAnimatedGif, "IDC_ANIMATEDGIF"},   {IdcExifOrientation, "IDC_EXIFORIENTATION"},
    {IdcTViewBack, "IDC_TVIEWBACK"},
};
constexpr CheckBinding kChecks[] = {
    {IdcViewMove, &OptionValues::viewMove},       {IdcUseScroll, &OptionValues::useScrollbar},
    {IdcRotateLeft, &OptionValues::rotateLeft},   {IdcShowFileName, &OptionValues::labelInFull},
    {IdcAnimatedGif, &OptionValues::playAnimatedGif}, {IdcExifOrientation, &OptionValues::exifOrientation},
};

Swatch swatch;

void apply(HWND page, OptionValues&) { StoreChecks(page, kChecks); }

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    LoadChecks(page, kChecks);
    return TRUE;
}

LRESULT onChooseColour(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED && ChooseColourFor(page, PageValues(page).viewBackColor))
        InvalidateRect(GetDlgItem(page, IdcViewBackSwatch), nullptr, TRUE);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcViewBack, onChooseColour}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam) { return HandleSheetNotify(page, lParam, apply); }

// The swatch shows the colour chosen so far.
LRESULT onCtlColorStatic(HWND page, UINT, WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != GetDlgItem(page, IdcViewBackSwatch)) return FALSE;
    return reinterpret_cast<LRESULT>(SwatchBrush(swatch, PageValues(page).viewBackColor));
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

OptionPage ViewerPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
