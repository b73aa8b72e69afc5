// The sharpen/soften tool's page: every change rebuilds the filtered preview
// from a fresh copy of the current picture's preview.
#include "app/tools/misc_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/rotate_preview.h"
#include "app/tools/rotate_tool.h"
#include "app/tools/tool_ids.h"
#include "app/viewer/view_window.h"
#include "imagelib/transform.h"

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgMisc";

struct MiscState {
    MiscValues values;
    Bitmap thumbnail;
    HWND before = nullptr;
    HWND after = nullptr;
};
MiscState gMisc;

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcMiscNoise, "Reduce noise", 8, 6, 224, 18, kToolCheck, 0},
    {WC_STATIC, IdcMiscTSharpen, "Sharpen", 8, 30, 70, 14, kToolShown, 0},
    {TRACKBAR_CLASS, IdcMiscSharpen, "", 80, 26, 120, 24, kToolStop | DWORD{TBS_AUTOTICKS}, 0},
    {WC_STATIC, IdcMiscSharpenValue, "0", 204, 30, 28, 14, kToolShown, 0},
    {WC_STATIC, IdcMiscTSmooth, "Smooth", 8, 58, 70, 14, kToolShown, 0},
    {TRACKBAR_CLASS, IdcMiscSmooth, "", 80, 54, 120, 24, kToolStop | DWORD{TBS_AUTOTICKS}, 0},
    {WC_STATIC, IdcMiscSmoothValue, "0", 204, 58, 28, 14, kToolShown, 0},
    {WC_STATIC, IdcMiscBefore, "", 8, 84, 108, 84, kToolShown, 0},
    {WC_STATIC, IdcMiscAfter, "", 124, 84, 108, 84, kToolShown, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 8, 178, 28, 22, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 40, 178, 28, 22, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 72, 178, 76, 22, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 152, 178, 80, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"Sharpen", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcMiscNoise, "IDC_NOISE"}, {IdcMiscTSharpen, "IDC_TSHARPEN"}, {IdcMiscTSmooth, "IDC_TSMOOTH"},
    {IdcApply, "IDC_APPLY"},     {IdcApplyAll, "IDC_APPLYALL"},
};

void rebuildAfter()
{
    if (!gMisc.after || !gMisc.thumbnail.pixels) return;
    Bitmap copy;
    if (bitmapDuplicate(gMisc.thumbnail, &copy) != 0) return;
    if (applyMiscFilters(copy, gMisc.values) == 0) SetPicture(gMisc.after, &copy, true);
    bitmapFree(copy);
}

void readControls(HWND page)
{
    gMisc.values.reduceNoise = IsDlgButtonChecked(page, IdcMiscNoise) == BST_CHECKED;
    gMisc.values.sharpen = static_cast<int>(SendDlgItemMessage(page, IdcMiscSharpen, TBM_GETPOS, 0, 0));
    gMisc.values.smooth = static_cast<int>(SendDlgItemMessage(page, IdcMiscSmooth, TBM_GETPOS, 0, 0));
    SetDlgItemInt(page, IdcMiscSharpenValue, static_cast<UINT>(gMisc.values.sharpen), FALSE);
    SetDlgItemInt(page, IdcMiscSmoothValue, static_cast<UINT>(gMisc.values.smooth), FALSE);
}

void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    SetPicture(gMisc.before, nullptr, false);  // the view borrows the thumbnail being replaced
    bitmapFree(gMisc.thumbnail);
    FileInfo full;
    if (LoadPreviewBitmap(run.files[static_cast<size_t>(run.current)], ClientSize(gMisc.before), gMisc.thumbnail,
                          full) == 0)
        SetPicture(gMisc.before, &gMisc.thumbnail, false);
    else
        SetPicture(gMisc.after, nullptr, false);
    freeFileInfo(full);
    rebuildAfter();
    UpdateStepButtons(page, run);
}

int operate(BatchRun&, Bitmap& bitmap) { return applyMiscFilters(bitmap, gMisc.values); }

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    BatchRun& run = PageRun(page);
    if (run.files.size() == 1) ShowWindow(GetDlgItem(page, IdcApplyAll), SW_HIDE);
    bitmapFree(gMisc.thumbnail);
    gMisc = MiscState{};
    for (int id : {IdcMiscSharpen, IdcMiscSmooth}) {
        SendDlgItemMessage(page, id, TBM_SETRANGEMIN, FALSE, 0);
        SendDlgItemMessage(page, id, TBM_SETRANGEMAX, FALSE, 100);
        SendDlgItemMessage(page, id, TBM_SETTICFREQ, 10, 0);
        SendDlgItemMessage(page, id, TBM_SETPOS, TRUE, 0);
    }
    gMisc.before = CreatePreviewView(page, IdcMiscBefore, IdcMiscBeforeView);
    gMisc.after = CreatePreviewView(page, IdcMiscAfter, IdcMiscAfterView);
    showCurrent(page);
    return TRUE;
}

LRESULT onApply(HWND page, WORD id, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return FALSE;
    readControls(page);
    ApplyBatch(page, id == IdcApplyAll);
    return TRUE;
}

LRESULT onStep(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) StepFromPage(page, id == IdcPpNext ? 1 : -1);
    return TRUE;
}

LRESULT onNoise(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    readControls(page);
    rebuildAfter();
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply},     {IdcApplyAll, onApply}, {IdcPpPrevious, onStep},
    {IdcPpNext, onStep},     {IdcMiscNoise, onNoise},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onSlider(HWND page, UINT, WPARAM, LPARAM)
{
    MiscValues before = gMisc.values;
    readControls(page);
    if (before.sharpen != gMisc.values.sharpen || before.smooth != gMisc.values.smooth) rebuildAfter();
    return TRUE;
}

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

LRESULT onDestroy(HWND, UINT, WPARAM, LPARAM)
{
    SetPicture(gMisc.before, nullptr, false);
    bitmapFree(gMisc.thumbnail);
    gMisc.before = gMisc.after = nullptr;
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}, {WM_HSCROLL, onSlider},
    {kToolCurrentChanged, onCurrentChanged}, {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

ToolDefinition makeTool()
{
    ToolDefinition tool;
    tool.name = "misc";
    tool.ownPages = {{&kDialog, procedure, kIdsMisc}};
    tool.operate = operate;
    tool.successMessage = &kIdsAdjustOk;
    tool.data = &gMisc;
    return tool;
}

}  // namespace

const ToolDefinition& MiscTool()
{
    static const ToolDefinition tool = makeTool();
    return tool;
}

}  // namespace fotrix
