// The Rotate tool's page and its two roads: JPEG files (by content) go
// through the lossless transform when the box is ticked, every other file
// is loaded, turned in memory and written by the shared save step.
#include <filesystem>

#include "app/browser/browser_internal.h"
#include "app/settings.h"
#include "app/tools/output_pages.h"
#include "app/tools/rotate_lossless.h"
#include "app/tools/rotate_preview.h"
#include "app/tools/rotate_rules.h"
#include "app/tools/rotate_tool.h"
#include "app/tools/tool_ids.h"

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgRotate";

struct RotateState {
    int operation = RotateLeft90;
    bool lossless = false;
    HWND view = nullptr;
};
RotateState gRotate;

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IdcRotN90, "Rotate -90", 8, 6, 110, 18, kToolStop | DWORD{BS_AUTORADIOBUTTON} | WS_GROUP, 0},
    {WC_BUTTON, IdcRot90, "Rotate 90", 8, 26, 110, 18, kToolStop | DWORD{BS_AUTORADIOBUTTON}, 0},
    {WC_BUTTON, IdcRot180, "Rotate 180", 8, 46, 110, 18, kToolStop | DWORD{BS_AUTORADIOBUTTON}, 0},
    {WC_BUTTON, IdcRotHFlip, "Mirror", 8, 66, 110, 18, kToolStop | DWORD{BS_AUTORADIOBUTTON}, 0},
    {WC_BUTTON, IdcRotVFlip, "Flip", 8, 86, 110, 18, kToolStop | DWORD{BS_AUTORADIOBUTTON}, 0},
    {WC_BUTTON, IdcRzLossless, "Lossless (JPEG)", 8, 110, 110, 18, kToolCheck | WS_GROUP, 0},
    {WC_STATIC, IdcToolPreview, "", 124, 6, 108, 108, kToolShown, 0},
    {WC_STATIC, IdcToolWidth, "", 124, 116, 108, 14, kToolShown, 0},
    {WC_STATIC, IdcToolHeight, "", 124, 130, 108, 14, kToolShown, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 124, 148, 52, 22, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 180, 148, 52, 22, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 8, 178, 108, 24, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 124, 178, 108, 24, kToolButton, 0},
};
const DialogTemplate kDialog = {"Rotate", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcRotN90, "IDC_ROT_N90"},     {IdcRot90, "IDC_ROT_90"},     {IdcRot180, "IDC_ROT_180"},
    {IdcRotHFlip, "IDC_ROT_HFLIP"}, {IdcRotVFlip, "IDC_ROT_VFLIP"}, {IdcRzLossless, "IDC_RZ_LOSSLESS"},
    {IdcApply, "IDC_APPLY"},        {IdcApplyAll, "IDC_APPLYALL"},
};

// The radio buttons in the order of RotateOperation.
constexpr int kOperationButtons[kRotateOperationCount] = {IdcRotN90, IdcRot90, IdcRot180, IdcRotHFlip,
                                                          IdcRotVFlip};

void readPage(HWND page)
{
    for (int i = 0; i < kRotateOperationCount; ++i)
        if (IsDlgButtonChecked(page, kOperationButtons[i]) == BST_CHECKED) gRotate.operation = i;
    gRotate.lossless = IsDlgButtonChecked(page, IdcRzLossless) == BST_CHECKED;
}

bool sameFile(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The lossless road: the output named as a JPEG of the folder page, the
// overwrite question for another existing file, the modification time kept.
BatchResult rotateLosslessFile(BatchRun& run, const std::string& path)
{
    FolderSettings folder = CurrentFolderSettings(run);
    OutputName name = batchOutputName(path, folder, OutputJpeg);
    const std::string output = name.folder + name.name;
    const bool inPlace = sameFile(output, path);
    const bool existed = inPlace || fileExists(output);
    if (existed && !inPlace &&
        MessageBox(run.sheet, Tr(kIdsExists).c_str(), "Fotrix Pocket", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return {BatchDeclined, output};
    std::error_code error;
    auto sourceTime = std::filesystem::last_write_time(path, error);
    if (rotateJpegLossless(path, inPlace ? path : output, gRotate.operation) != LosslessResult::Done) {
        MessageBox(run.sheet, Tr(kIdsProblemSaving).c_str(), "Fotrix Pocket", MB_OK | MB_ICONSTOP);
        return {ResultWriteError, output};
    }
    if (folder.keepTime && !error) std::filesystem::last_write_time(output, sourceTime, error);
    if (existed) RefreshFile(name.folder, name.name);
    return {BatchWritten, output};
}

BatchResult rotateBitmapFile(BatchRun& run, const std::string& path, const TextId* message)
{
    Bitmap bitmap;
    if (batchLoad(path, bitmap) != 0) return {BatchNotLoaded, path};
    BatchResult result{BatchSkipped, path};
    if (rotateBitmap(bitmap, gRotate.operation) == 0) {
        exifResetOrientation(bitmap);
        exifMatchPixelSize(bitmap);
        result = batchSave(run.sheet, CurrentConvertSettings(run), CurrentFolderSettings(run), message, path, bitmap);
    }
    bitmapFree(bitmap);
    return result;
}

BatchResult processFile(BatchRun& run, const std::string& path, const TextId* message)
{
    if (chooseRotateRoad(path, gRotate.lossless) == RotateRoad::Lossless) return rotateLosslessFile(run, path);
    return rotateBitmapFile(run, path, message);
}

void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    ShowFilePreview(page, gRotate.view, run.files[static_cast<size_t>(run.current)], IdcToolWidth, IdcToolHeight);
    UpdateStepButtons(page, run);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    BatchRun& run = PageRun(page);
    if (run.files.size() == 1) ShowWindow(GetDlgItem(page, IdcApplyAll), SW_HIDE);
    gRotate = RotateState{};
    gRotate.lossless = ReadNumber("Rotate", "Lossless", 0) != 0;
    CheckDlgButton(page, IdcRzLossless, gRotate.lossless ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IdcRotN90, BST_CHECKED);
    gRotate.view = CreatePreviewView(page, IdcToolPreview, IdcToolPreviewView);
    showCurrent(page);
    return TRUE;
}

LRESULT onApply(HWND page, WORD id, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return FALSE;
    readPage(page);
    ApplyBatch(page, id == IdcApplyAll);
    return TRUE;
}

LRESULT onStep(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) StepFromPage(page, id == IdcPpNext ? 1 : -1);
    return TRUE;
}

// A click on an operation checks it even when the command came without the
// button's own click (from the keyboard or the script).
LRESULT onOperation(HWND page, WORD id, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    CheckRadioButton(page, IdcRotN90, IdcRotVFlip, id);
    readPage(page);
    return TRUE;
}

LRESULT onLossless(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) readPage(page);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply},      {IdcApplyAll, onApply},    {IdcPpPrevious, onStep}, {IdcPpNext, onStep},
    {IdcRotN90, onOperation}, {IdcRot90, onOperation},   {IdcRot180, onOperation}, {IdcRotHFlip, onOperation},
    {IdcRotVFlip, onOperation}, {IdcRzLossless, onLossless},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

// OK and Cancel both keep the lossless choice.
LRESULT onDestroy(HWND page, UINT, WPARAM, LPARAM)
{
    WriteNumber("Rotate", "Lossless", IsDlgButtonChecked(page, IdcRzLossless) == BST_CHECKED ? 1 : 0);
    gRotate.view = nullptr;
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {kToolCurrentChanged, onCurrentChanged},
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
    tool.name = "rotate";
    tool.ownPages = {{&kDialog, procedure, kIdsRotate}};
    tool.processFile = processFile;
    tool.successMessage = &kIdsRotateOk;
    tool.data = &gRotate;
    return tool;
}

}  // namespace

void UpdateStepButtons(HWND page, const BatchRun& run)
{
    const int count = static_cast<int>(run.files.size());
    EnableWindow(GetDlgItem(page, IdcPpPrevious), run.current > 0);
    EnableWindow(GetDlgItem(page, IdcPpNext), run.current < count - 1);
}

void StepFromPage(HWND page, int delta)
{
    BatchRun& run = PageRun(page);
    if (!run.busy) StepCurrentFile(run, delta);
}

const ToolDefinition& RotateTool()
{
    static const ToolDefinition tool = makeTool();
    return tool;
}

}  // namespace fotrix
