// The Adjust tool's page: one slider, spin control and field show the value
// chosen in the parameter list; every change rebuilds the adjusted preview
// from a fresh copy of the current picture's preview.
#include "app/tools/adjust_rules.h"
#include "app/tools/adjust_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/rotate_preview.h"
#include "app/tools/rotate_tool.h"
#include "app/tools/tool_ids.h"
#include "app/viewer/view_window.h"
#include "imagelib/transform.h"

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgAdjust";
constexpr int kTickStep = 10;

struct AdjustState {
    AdjustValues values;
    int parameter = AdjustBrightness;
    bool updating = false;  // the page itself is writing the field
    Bitmap thumbnail;       // the current picture at preview size
    HWND before = nullptr;
    HWND after = nullptr;
};
AdjustState gAdjust;

const DialogItemTemplate kItems[] = {
    {WC_LISTBOX, IdcAdjParameters, "", 8, 6, 100, 80, kToolStop | DWORD{WS_BORDER} | DWORD{LBS_NOTIFY}, 0},
    {WC_EDIT, IdcAdjValue, "", 116, 6, 56, 20, kToolEdit, 0},
    {UPDOWN_CLASS, IdcAdjSpin, "", 172, 6, 16, 20, kToolShown, 0},
    {TRACKBAR_CLASS, IdcAdjSlider, "", 112, 32, 124, 26, kToolStop | DWORD{TBS_AUTOTICKS}, 0},
    {WC_BUTTON, IdcAutoLevels, "Auto levels", 112, 60, 124, 18, kToolCheck, 0},
    {WC_BUTTON, IdcAutoContrast, "Auto contrast", 112, 78, 124, 18, kToolCheck, 0},
    {WC_STATIC, IdcAdjBefore, "", 8, 92, 108, 72, kToolShown, 0},
    {WC_STATIC, IdcAdjAfter, "", 124, 92, 108, 72, kToolShown, 0},
    {WC_STATIC, IdcAdjFileName, "", 8, 166, 224, 12, kToolShown | DWORD{SS_LEFTNOWORDWRAP}, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 8, 180, 28, 22, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 40, 180, 28, 22, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 72, 180, 76, 22, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 152, 180, 80, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"Adjust", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcAutoLevels, "IDC_AUTOLEVELS"}, {IdcAutoContrast, "IDC_AUTOCONTRAST"},
    {IdcApply, "IDC_APPLY"},           {IdcApplyAll, "IDC_APPLYALL"},
};

constexpr const TextId* kParameterTexts[kAdjustParameterCount] = {
    &kIdsBrightness, &kIdsContrast, &kIdsGamma, &kIdsRed, &kIdsGreen, &kIdsBlue,
};

void rebuildAfter()
{
    if (!gAdjust.after || !gAdjust.thumbnail.pixels) return;
    Bitmap copy;
    if (bitmapDuplicate(gAdjust.thumbnail, &copy) != 0) return;
    if (adjustPicture(copy, gAdjust.values) == 0) SetPicture(gAdjust.after, &copy, true);
    bitmapFree(copy);
}

// Slider, spin control and field show the chosen parameter.
void showParameter(HWND page)
{
    const int parameter = gAdjust.parameter;
    AdjustRange range = adjustRange(parameter);
    const int position = adjustPosition(gAdjust.values, parameter);
    HWND slider = GetDlgItem(page, IdcAdjSlider);
    SendMessage(slider, TBM_SETRANGEMIN, FALSE, range.lower);
    SendMessage(slider, TBM_SETRANGEMAX, FALSE, range.upper);
    SendMessage(slider, TBM_SETTICFREQ, parameter == AdjustGamma ? 1 : kTickStep, 0);
    SendMessage(slider, TBM_SETPOS, TRUE, position);
    HWND spin = GetDlgItem(page, IdcAdjSpin);
    SendMessage(spin, UDM_SETRANGE32, static_cast<WPARAM>(range.lower), range.upper);
    SendMessage(spin, UDM_SETPOS32, 0, position);
    gAdjust.updating = true;
    SetDlgItemText(page, IdcAdjValue, adjustFieldText(gAdjust.values, parameter).c_str());
    gAdjust.updating = false;
}

void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    const std::string& path = run.files[static_cast<size_t>(run.current)];
    SetPicture(gAdjust.before, nullptr, false);  // the view borrows the thumbnail being replaced
    bitmapFree(gAdjust.thumbnail);
    FileInfo full;
    if (LoadPreviewBitmap(path, ClientSize(gAdjust.before), gAdjust.thumbnail, full) == 0)
        SetPicture(gAdjust.before, &gAdjust.thumbnail, false);
    else
        SetPicture(gAdjust.before, nullptr, false), SetPicture(gAdjust.after, nullptr, false);
    freeFileInfo(full);
    SetDlgItemText(page, IdcAdjFileName, path.c_str());
    rebuildAfter();
    UpdateStepButtons(page, run);
}

int operate(BatchRun&, Bitmap& bitmap) { return adjustPicture(bitmap, gAdjust.values); }

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    BatchRun& run = PageRun(page);
    if (run.files.size() == 1) ShowWindow(GetDlgItem(page, IdcApplyAll), SW_HIDE);
    bitmapFree(gAdjust.thumbnail);
    gAdjust = AdjustState{};
    HWND list = GetDlgItem(page, IdcAdjParameters);
    for (const TextId* text : kParameterTexts)
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Tr(*text).c_str()));
    SendMessage(list, LB_SETCURSEL, AdjustBrightness, 0);
    SendDlgItemMessage(page, IdcAdjSpin, UDM_SETBUDDY, 0, 0);
    gAdjust.before = CreatePreviewView(page, IdcAdjBefore, IdcAdjBeforeView);
    gAdjust.after = CreatePreviewView(page, IdcAdjAfter, IdcAdjAfterView);
    showParameter(page);
    showCurrent(page);
    return TRUE;
}

LRESULT onApply(HWND page, WORD id, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return FALSE;
    ApplyBatch(page, id == IdcApplyAll);
    return TRUE;
}

LRESULT onStep(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) StepFromPage(page, id == IdcPpNext ? 1 : -1);
    return TRUE;
}

LRESULT onParameterList(HWND page, WORD, WORD code, LPARAM)
{
    if (code != LBN_SELCHANGE) return TRUE;
    LRESULT chosen = SendDlgItemMessage(page, IdcAdjParameters, LB_GETCURSEL, 0, 0);
    if (chosen >= 0 && chosen < kAdjustParameterCount) gAdjust.parameter = static_cast<int>(chosen);
    showParameter(page);
    return TRUE;
}

// A typed value is stored (clamped), and the slider and spin follow it.
LRESULT onValueField(HWND page, WORD, WORD code, LPARAM)
{
    if (code != EN_CHANGE || gAdjust.updating) return TRUE;
    setAdjustTyped(gAdjust.values, gAdjust.parameter, ToolItemText(page, IdcAdjValue));
    const int position = adjustPosition(gAdjust.values, gAdjust.parameter);
    SendDlgItemMessage(page, IdcAdjSlider, TBM_SETPOS, TRUE, position);
    SendDlgItemMessage(page, IdcAdjSpin, UDM_SETPOS32, 0, position);
    rebuildAfter();
    return TRUE;
}

LRESULT onAutoBox(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    gAdjust.values.autoLevels = IsDlgButtonChecked(page, IdcAutoLevels) == BST_CHECKED;
    gAdjust.values.autoContrast = IsDlgButtonChecked(page, IdcAutoContrast) == BST_CHECKED;
    rebuildAfter();
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply},         {IdcApplyAll, onApply},         {IdcPpPrevious, onStep},
    {IdcPpNext, onStep},         {IdcAdjParameters, onParameterList}, {IdcAdjValue, onValueField},
    {IdcAutoLevels, onAutoBox},  {IdcAutoContrast, onAutoBox},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

// The slider (WM_HSCROLL) or the spin control (WM_VSCROLL) moved.
LRESULT onScroll(HWND page, UINT, WPARAM, LPARAM lParam)
{
    HWND from = reinterpret_cast<HWND>(lParam);
    int position;
    if (from == GetDlgItem(page, IdcAdjSlider))
        position = static_cast<int>(SendMessage(from, TBM_GETPOS, 0, 0));
    else if (from == GetDlgItem(page, IdcAdjSpin))
        position = static_cast<int>(SendMessage(from, UDM_GETPOS32, 0, 0));
    else
        return FALSE;
    if (position == adjustPosition(gAdjust.values, gAdjust.parameter)) return TRUE;
    setAdjustPosition(gAdjust.values, gAdjust.parameter, position);
    showParameter(page);
    rebuildAfter();
    return TRUE;
}

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

LRESULT onDestroy(HWND, UINT, WPARAM, LPARAM)
{
    SetPicture(gAdjust.before, nullptr, false);
    bitmapFree(gAdjust.thumbnail);
    gAdjust.before = gAdjust.after = nullptr;
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},       {WM_COMMAND, CommandMapProc<kCommandMap>}, {WM_HSCROLL, onScroll},
    {WM_VSCROLL, onScroll},              {kToolCurrentChanged, onCurrentChanged},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

ToolDefinition makeTool()
{
    ToolDefinition tool;
    tool.name = "adjust";
    tool.ownPages = {{&kDialog, procedure, kIdsAdjust}};
    tool.operate = operate;
    tool.successMessage = &kIdsAdjustOk;
    tool.data = &gAdjust;
    return tool;
}

}  // namespace

const ToolDefinition& AdjustTool()
{
    static const ToolDefinition tool = makeTool();
    return tool;
}

}  // namespace fotrix
