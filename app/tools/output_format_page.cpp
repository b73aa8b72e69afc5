// The output-format page: the format as radio buttons, the depth list of
// GIF, BMP and PNG, the JPEG quality slider and the PNG compression list.
// Only the controls of the chosen format are enabled.
#include "app/tools/output_pages.h"
#include "app/tools/tool_ids.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgConvert";
constexpr DWORD kRadio = kToolStop | DWORD{BS_AUTORADIOBUTTON};

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcCnJpeg, "JPEG", 8, 6, 70, 20, kRadio | DWORD{WS_GROUP}, 0},
    {WC_BUTTON, IdcCnGif, "GIF", 8, 32, 70, 20, kRadio, 0},
    {WC_BUTTON, IdcCnBmp, "BMP", 8, 58, 70, 20, kRadio, 0},
    {WC_BUTTON, IdcCnPng, "PNG", 8, 84, 70, 20, kRadio, 0},
    {WC_BUTTON, IdcCnTga, "TGA", 8, 110, 70, 20, kRadio, 0},
    {WC_COMBOBOX, IdcCnGifMode, "", 82, 31, 150, 100, kToolDropList | DWORD{WS_GROUP}, 0},
    {WC_COMBOBOX, IdcCnBmpMode, "", 82, 57, 150, 100, kToolDropList, 0},
    {WC_COMBOBOX, IdcCnPngMode, "", 82, 83, 150, 100, kToolDropList, 0},
    {WC_STATIC, IdcQuality, "JPEG quality:", 8, 138, 224, 16, kToolShown, 0},
    {TRACKBAR_CLASS, IdcCnJpegSlider, "", 8, 156, 224, 24, kToolStop | DWORD{TBS_HORZ} | DWORD{TBS_NOTICKS}, 0},
    {WC_STATIC, IdcCnJpegText1, "Smaller", 8, 182, 100, 16, kToolShown, 0},
    {WC_STATIC, IdcCnJpegText2, "Better", 132, 182, 100, 16, kToolShown | DWORD{SS_RIGHT}, 0},
    {WC_STATIC, IdcCompression, "PNG compression:", 8, 210, 110, 16, kToolShown, 0},
    {WC_COMBOBOX, IdcCnPngCompression, "", 120, 207, 112, 140, kToolDropList, 0},
};
const DialogTemplate kDialog = {"Format", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcCnJpeg, "IDC_CN_JPEG"},       {IdcCnGif, "IDC_CN_GIF"},
    {IdcCnBmp, "IDC_CN_BMP"},         {IdcCnPng, "IDC_CN_PNG"},
    {IdcCnTga, "IDC_CN_TGA"},         {IdcQuality, "IDC_QUALITY"},
    {IdcCompression, "IDC_COMPRESSION"}, {IdcCnJpegText1, "IDC_CN_JPEGTEXT1"},
    {IdcCnJpegText2, "IDC_CN_JPEGTEXT2"},
};

constexpr int kFormatButtons[OutputFormatCount] = {IdcCnJpeg, IdcCnGif, IdcCnBmp, IdcCnPng, IdcCnTga};

int chosenFormat(HWND page, int previous)
{
    for (int f = 0; f < OutputFormatCount; ++f)
        if (IsDlgButtonChecked(page, kFormatButtons[f]) == BST_CHECKED) return f;
    return previous;
}

std::vector<std::string> depthItems(bool withTrueColour)
{
    std::vector<std::string> items = {Tr(kIdsBw), Tr(kIds16Cols), Tr(kIds256Cols)};
    if (withTrueColour) items.push_back(Tr(kIds16M));
    return items;
}

std::vector<std::string> compressionItems()
{
    std::vector<std::string> items = {Tr(kIdsComp1)};
    for (int level = 2; level <= 6; ++level) items.push_back(std::to_string(level));
    items.push_back(Tr(kIdsComp7));
    items.push_back("8");
    items.push_back(Tr(kIdsComp9));
    return items;
}

void enableForFormat(HWND page, int format)
{
    EnableWindow(GetDlgItem(page, IdcCnGifMode), format == OutputGif);
    EnableWindow(GetDlgItem(page, IdcCnBmpMode), format == OutputBmp);
    EnableWindow(GetDlgItem(page, IdcCnPngMode), format == OutputPng);
    EnableWindow(GetDlgItem(page, IdcCnJpegSlider), format == OutputJpeg);
    EnableWindow(GetDlgItem(page, IdcCnPngCompression), format == OutputPng);
}

void showSettings(HWND page, const ConvertSettings& s)
{
    CheckRadioButton(page, IdcCnJpeg, IdcCnTga, kFormatButtons[s.format]);
    FillToolCombo(page, IdcCnGifMode, depthItems(false), s.gifMode);
    FillToolCombo(page, IdcCnBmpMode, depthItems(true), s.bmpMode);
    FillToolCombo(page, IdcCnPngMode, depthItems(true), s.pngMode);
    FillToolCombo(page, IdcCnPngCompression, compressionItems(), s.pngCompression - 1);
    HWND slider = GetDlgItem(page, IdcCnJpegSlider);
    SendMessage(slider, TBM_SETRANGE, FALSE, MAKELPARAM(1, 100));
    SendMessage(slider, TBM_SETPOS, TRUE, s.jpegQuality);
    enableForFormat(page, s.format);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    BatchRun& run = PageRun(page);
    run.formatPage = page;
    RelabelToolPage(page, kSection, kLabels);
    showSettings(page, run.convert);
    return TRUE;
}

LRESULT onFormatClicked(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) enableForFormat(page, chosenFormat(page, OutputJpeg));
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcCnJpeg, onFormatClicked}, {IdcCnGif, onFormatClicked}, {IdcCnBmp, onFormatClicked},
    {IdcCnPng, onFormatClicked},  {IdcCnTga, onFormatClicked},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<NMHDR*>(lParam)->code != PSN_APPLY) return FALSE;
    BatchRun& run = PageRun(page);
    ReadFormatPage(page, run.convert);
    WriteConvertSettings(run.convert);
    SetWindowLongPtr(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

LRESULT onDestroy(HWND page, UINT, WPARAM, LPARAM)
{
    BatchRun& run = PageRun(page);
    if (run.formatPage == page) {
        ReadFormatPage(page, run.convert);
        run.formatPage = nullptr;
    }
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {WM_NOTIFY, onNotify},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

void ReadFormatPage(HWND page, ConvertSettings& s)
{
    s.format = chosenFormat(page, s.format);
    s.gifMode = ToolComboChoice(page, IdcCnGifMode, s.gifMode);
    s.bmpMode = ToolComboChoice(page, IdcCnBmpMode, s.bmpMode);
    s.pngMode = ToolComboChoice(page, IdcCnPngMode, s.pngMode);
    s.pngCompression = ToolComboChoice(page, IdcCnPngCompression, s.pngCompression - 1) + 1;
    auto quality = static_cast<int>(SendDlgItemMessage(page, IdcCnJpegSlider, TBM_GETPOS, 0, 0));
    if (quality >= 1 && quality <= 100) s.jpegQuality = quality;
}

ToolPage OutputFormatPage() { return {&kDialog, procedure, kIdsFormat}; }

}  // namespace fotrix
