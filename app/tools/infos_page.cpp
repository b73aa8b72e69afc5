// The information page: the current picture in a preview with its file name
// and description, Previous/Next through the selected files, and Apply on
// the current file or Apply to all (hidden when only one file is selected).
#include "app/tools/infos_page.h"

#include "app/tools/output_pages.h"
#include "app/tools/tool_ids.h"
#include "app/viewer/view_window.h"
#include "imagelib/load.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgPreview";
// A file that stores no resolution is shown at the screen resolution pictures are made for.
constexpr int kDefaultDpi = 72;

// Value fields beside the labels.
constexpr int ValueOffset = 40;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcPpFileName, "", 8, 110, 224, 16, kToolShown | DWORD{SS_LEFTNOWORDWRAP}, 0},
    {WC_STATIC, IdcPpTImage, "Picture", 8, 128, 224, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTType, "Type:", 8, 143, 80, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTDim, "Size:", 8, 158, 80, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTDepth, "Depth:", 8, 173, 80, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTDpi, "Resolution:", 8, 188, 80, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTPixels, "Pixels:", 8, 203, 80, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTType + ValueOffset, "", 90, 143, 142, 14, kToolShown | DWORD{SS_LEFTNOWORDWRAP}, 0},
    {WC_STATIC, IdcPpTDim + ValueOffset, "", 90, 158, 142, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTDepth + ValueOffset, "", 90, 173, 142, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTDpi + ValueOffset, "", 90, 188, 142, 14, kToolShown, 0},
    {WC_STATIC, IdcPpTPixels + ValueOffset, "", 90, 203, 142, 14, kToolShown, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 8, 222, 28, 24, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 40, 222, 28, 24, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 74, 222, 76, 24, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 154, 222, 78, 24, kToolButton, 0},
};
const DialogTemplate kDialog = {"Infos", kToolPageStyle, 0, 0, 0, 240, 250, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcPpTType, "IDC_PP_TTYPE"},     {IdcPpTDim, "IDC_PP_TDIM"},       {IdcPpTDepth, "IDC_PP_TDEPTH"},
    {IdcPpTDpi, "IDC_PP_TDPI"},       {IdcPpTPixels, "IDC_PP_TPIXELS"}, {IdcPpTImage, "IDC_PP_TIMAGE"},
    {IdcApply, "IDC_APPLY"},          {IdcApplyAll, "IDC_APPLYALL"},
};

constexpr RECT kPreviewArea = {8, 4, 232, 106};

void showDescription(HWND page, const std::string& path)
{
    PictureDescription d;
    DescribePicture(path, d);
    SetDlgItemText(page, IdcPpFileName, path.c_str());
    SetDlgItemText(page, IdcPpTType + ValueOffset, d.type.c_str());
    SetDlgItemText(page, IdcPpTDim + ValueOffset, d.dimensions.c_str());
    SetDlgItemText(page, IdcPpTDepth + ValueOffset, d.depth.c_str());
    SetDlgItemText(page, IdcPpTDpi + ValueOffset, d.resolution.c_str());
    SetDlgItemText(page, IdcPpTPixels + ValueOffset, d.pixels.c_str());
}

void showPreview(HWND page, const std::string& path)
{
    HWND view = GetDlgItem(page, IdcPpPreview);
    RECT area{};
    GetClientRect(view, &area);
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ToleratePartial;
    params.maxWidth = area.right > 0 ? area.right : 1;
    params.maxHeight = area.bottom > 0 ? area.bottom : 1;
    params.scaleMethod = ScaleAreaAverage;
    Bitmap bitmap;
    if (loadBitmap(path, bitmap, params, nullptr) == 0) SetPicture(view, &bitmap, true);
    else SetPicture(view, nullptr, false);
}

void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    const std::string& path = run.files[static_cast<size_t>(run.current)];
    showDescription(page, path);
    showPreview(page, path);
    EnableWindow(GetDlgItem(page, IdcPpPrevious), run.current > 0);
    EnableWindow(GetDlgItem(page, IdcPpNext), run.current + 1 < static_cast<int>(run.files.size()));
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    BatchRun& run = PageRun(page);
    RECT area = kPreviewArea;
    MapDialogRect(page, &area);
    HWND view = CreateView(page, WS_VISIBLE | WS_BORDER, &area, GetSysColor(COLOR_WINDOW), IdcPpPreview);
    if (view) SetFitMode(view, 1);
    bool several = run.files.size() > 1;
    for (int id : {IdcApplyAll, IdcPpPrevious, IdcPpNext}) ShowWindow(GetDlgItem(page, id), several ? SW_SHOW : SW_HIDE);
    showCurrent(page);
    return TRUE;
}

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

LRESULT onStep(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) StepCurrentFile(PageRun(page), id == IdcPpNext ? 1 : -1);
    return TRUE;
}

LRESULT onApply(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) ApplyBatch(page, id == IdcApplyAll);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcPpPrevious, onStep},
    {IdcPpNext, onStep},
    {IdcApply, onApply},
    {IdcApplyAll, onApply},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {kToolCurrentChanged, onCurrentChanged},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

bool DescribePicture(const std::string& path, PictureDescription& out)
{
    FileInfo info;
    if (getFileInfo(path, -1, 0, info) != 0) {
        freeFileInfo(info);
        out = PictureDescription{};
        return false;
    }
    int bits = info.bitsPerComponent * (info.componentCount ? info.componentCount : 1);
    int dpiX = info.dpiX ? info.dpiX : kDefaultDpi;
    int dpiY = info.dpiY ? info.dpiY : dpiX;
    out.type = info.description;
    out.dimensions = std::to_string(info.width) + " x " + std::to_string(info.height);
    out.depth = std::to_string(bits) + " bits";
    out.resolution = std::to_string(dpiX) + " x " + std::to_string(dpiY) + " dpi";
    out.pixels = std::to_string(static_cast<long long>(info.width) * info.height);
    freeFileInfo(info);
    return true;
}

ToolPage InfoPage() { return {&kDialog, procedure, kIdsInfos}; }

}  // namespace fotrix
