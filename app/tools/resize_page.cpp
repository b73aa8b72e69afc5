// The Resize tool's page: which size each picture is scaled to, and the
// resolution written with a user size.
#include <algorithm>
#include <cmath>

#include "app/settings.h"
#include "app/tools/output_pages.h"
#include "app/tools/resize_rules.h"
#include "app/tools/resize_tool.h"
#include "app/tools/rotate_preview.h"
#include "app/tools/rotate_rules.h"
#include "app/tools/rotate_tool.h"
#include "app/tools/tool_ids.h"
#include "imagelib/transform.h"
#include "platform/screen/metrics.h"

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgResize";
constexpr int kMaxSide = 5000;
constexpr int kMaxDpi = 3000;

struct ResizeState {
    ResizeRequest request;
    int dpi = 72;
    PixelSize current;  // the current picture's full size, for the linked fields
    bool linking = false;
    HWND view = nullptr;
};
ResizeState gResize;

const DialogItemTemplate kItems[] = {
    {WC_COMBOBOX, IdcRzList, "", 8, 6, 224, 120, kToolDropList, 0},
    {WC_STATIC, IdcRzWidthLabel, "Width", 10, 48, 44, 14, kToolShown, 0},
    {WC_EDIT, IdcRzWidthField, "", 56, 45, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcRzWidthSpin, "", 106, 45, 16, 20, kToolShown, 0},
    {WC_STATIC, IdcRzHeightLabel, "Height", 10, 72, 44, 14, kToolShown, 0},
    {WC_EDIT, IdcRzHeightField, "", 56, 69, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcRzHeightSpin, "", 106, 69, 16, 20, kToolShown, 0},
    {WC_STATIC, IdcRzText, "DPI", 10, 96, 44, 14, kToolShown, 0},
    {WC_EDIT, IdcRzDpi, "", 56, 93, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcRzDpiSpin, "", 106, 93, 16, 20, kToolShown, 0},
    {WC_BUTTON, IdcRzRatio, "Keep proportions", 10, 117, 118, 18, kToolCheck, 0},
    {WC_STATIC, IdcToolPreview, "", 138, 34, 94, 80, kToolShown, 0},
    {WC_STATIC, IdcToolWidth, "", 138, 116, 94, 12, kToolShown, 0},
    {WC_STATIC, IdcToolHeight, "", 138, 128, 94, 12, kToolShown, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 138, 146, 44, 22, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 188, 146, 44, 22, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 8, 178, 108, 24, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 124, 178, 108, 24, kToolButton, 0},
    // Made last: a group box paints over the siblings made before it.
    {WC_BUTTON, IdcRzBox, "Custom size", 4, 30, 128, 110, kToolShown | DWORD{BS_GROUPBOX}, 0},
};
const DialogTemplate kDialog = {"Resize", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcRzBox, "IDC_RZ_BOX"},     {IdcRzWidthLabel, "IDC_RZ_WIDTH"}, {IdcRzHeightLabel, "IDC_RZ_HEIGHT"},
    {IdcRzRatio, "IDC_RZ_RATIO"}, {IdcRzText, "IDC_RZ_TEXT"},        {IdcApply, "IDC_APPLY"},
    {IdcApplyAll, "IDC_APPLYALL"},
};

// The controls that only the user size uses.
constexpr int kUserSizeControls[] = {IdcRzBox,      IdcRzWidthField,      IdcRzWidthSpin, IdcRzHeightField,
                                     IdcRzHeightSpin, IdcRzDpi,     IdcRzDpiSpin,   IdcRzRatio};

struct Spin {
    int edit, spin, lower, upper;
};
constexpr Spin kWidthSpin{IdcRzWidthField, IdcRzWidthSpin, 1, kMaxSide};
constexpr Spin kHeightSpin{IdcRzHeightField, IdcRzHeightSpin, 1, kMaxSide};
constexpr Spin kDpiSpin{IdcRzDpi, IdcRzDpiSpin, 1, kMaxDpi};

void setUpSpin(HWND page, const Spin& spin, int value)
{
    HWND updown = GetDlgItem(page, spin.spin);
    SendMessage(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, spin.edit)), 0);
    SendMessage(updown, UDM_SETRANGE32, static_cast<WPARAM>(spin.lower), spin.upper);
    SendMessage(updown, UDM_SETPOS32, 0, value);
    SetDlgItemInt(page, spin.edit, static_cast<UINT>(value), FALSE);
}

int fieldValue(HWND page, const Spin& spin)
{
    BOOL ok = FALSE;
    int value = static_cast<int>(GetDlgItemInt(page, spin.edit, &ok, FALSE));
    return ok ? std::clamp(value, spin.lower, spin.upper) : spin.lower;
}

void setField(HWND page, const Spin& spin, int value)
{
    value = std::clamp(value, spin.lower, spin.upper);
    SetDlgItemInt(page, spin.edit, static_cast<UINT>(value), FALSE);
    SendDlgItemMessage(page, spin.spin, UDM_SETPOS32, 0, value);
}

void enableUserSize(HWND page)
{
    const bool user = ToolComboChoice(page, IdcRzList, ResizeFitScreen) == ResizeUserSize;
    for (int id : kUserSizeControls) EnableWindow(GetDlgItem(page, id), user);
}

// The texts of the size list's named entries; the percentages show their literal.
constexpr const TextId* kListTexts[kResizeChoiceCount] = {
    &kIdsUserSize, &kIdsFitScreen, &kIds160_120,  &kIds240, &kIds240_180, &kIds320_240,
    &kIds640_480,  &kIds800_600,   &kIds1024_768, nullptr,  nullptr,      nullptr,
};

void fillList(HWND page, int selected)
{
    std::vector<std::string> items;
    for (int i = 0; i < kResizeChoiceCount; ++i)
        items.push_back(kListTexts[i] ? Tr(*kListTexts[i]) : resizeListEntry(i).literal);
    FillToolCombo(page, IdcRzList, items, selected);
}

void readPage(HWND page)
{
    ResizeRequest& request = gResize.request;
    request.choice = ToolComboChoice(page, IdcRzList, request.choice);
    request.user = {fieldValue(page, kWidthSpin), fieldValue(page, kHeightSpin)};
    request.keepProportions = IsDlgButtonChecked(page, IdcRzRatio) == BST_CHECKED;
    request.screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    gResize.dpi = fieldValue(page, kDpiSpin);
}

// The current picture's size and resolution go into the user-size fields.
void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    const std::string& path = run.files[static_cast<size_t>(run.current)];
    SIZE size = ShowFilePreview(page, gResize.view, path, IdcToolWidth, IdcToolHeight);
    gResize.current = {static_cast<int>(size.cx), static_cast<int>(size.cy)};
    FileInfo info;
    int dpi = getFileInfo(path, -1, 0, info) == 0 ? shownResolution(info.dpiX, info.dpiY) : 72;
    freeFileInfo(info);
    gResize.linking = true;
    setUpSpin(page, kWidthSpin, std::max<int>(size.cx, 1));
    setUpSpin(page, kHeightSpin, std::max<int>(size.cy, 1));
    setUpSpin(page, kDpiSpin, dpi);
    gResize.linking = false;
    UpdateStepButtons(page, run);
}

// Keeps the other field in proportion while the box is ticked.
void linkFields(HWND page, int editedId)
{
    if (gResize.linking || IsDlgButtonChecked(page, IdcRzRatio) != BST_CHECKED) return;
    if (gResize.current.width <= 0 || gResize.current.height <= 0) return;
    gResize.linking = true;
    if (editedId == IdcRzWidthField) setField(page, kHeightSpin, linkedHeight(gResize.current, fieldValue(page, kWidthSpin)));
    else setField(page, kWidthSpin, linkedWidth(gResize.current, fieldValue(page, kHeightSpin)));
    gResize.linking = false;
}

// The load box that leaves the resampler at most a factor of two: the
// pipeline averages the picture down while reading, which is far cheaper
// than reading it whole. No box (-1) when the target is not smaller.
PixelSize readingBox(PixelSize full, PixelSize target)
{
    const double factor = 2.0 * std::max(double(target.width) / full.width, double(target.height) / full.height);
    if (factor >= 1.0) return {-1, -1};
    return {static_cast<int>(std::ceil(full.width * factor)), static_cast<int>(std::ceil(full.height * factor))};
}

// Loads as the batch does (comment, texts, metadata, a damaged end
// tolerated), reduced while reading towards `target`.
int loadTowards(const std::string& path, PixelSize full, PixelSize target, Bitmap& bitmap)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ReadComment | ReadTextInfo | ReadMetadata | ToleratePartial;
    PixelSize box = readingBox(full, target);
    params.maxWidth = box.width;
    params.maxHeight = box.height;
    params.scaleMethod = ScaleAreaAverage;
    return loadBitmap(path, bitmap, params, nullptr);
}

int resizeTo(Bitmap& bitmap, PixelSize target)
{
    if (int result = bitmapResample(bitmap, nullptr, target.width, target.height, ResampleArea)) return result;
    if (gResize.request.choice == ResizeUserSize) {
        bitmap.dpiX = static_cast<uint32_t>(gResize.dpi);
        bitmap.dpiY = static_cast<uint32_t>(gResize.dpi);
    }
    exifMatchPixelSize(bitmap);
    return 0;
}

// The target comes from the picture's full size, read before its pixels.
BatchResult processFile(BatchRun& run, const std::string& path, const TextId* message)
{
    FileInfo info;
    const int described = getFileInfo(path, -1, 0, info);
    const PixelSize full{info.width, info.height};
    freeFileInfo(info);
    if (described != 0 || full.width <= 0 || full.height <= 0) return {BatchNotLoaded, path};
    const PixelSize target = resizeTarget(gResize.request, full);
    if (target.width <= 0 || target.height <= 0) return {BatchSkipped, path};
    Bitmap bitmap;
    if (loadTowards(path, full, target, bitmap) != 0) return {BatchNotLoaded, path};
    BatchResult result{BatchSkipped, path};
    if (resizeTo(bitmap, target) == 0)
        result = batchSave(run.sheet, CurrentConvertSettings(run), CurrentFolderSettings(run), message, path, bitmap);
    bitmapFree(bitmap);
    return result;
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    BatchRun& run = PageRun(page);
    if (run.files.size() == 1) ShowWindow(GetDlgItem(page, IdcApplyAll), SW_HIDE);
    gResize = ResizeState{};
    int listed = std::clamp<int>(ReadNumber("Resize", "List", ResizeFitScreen), 0, kResizeChoiceCount - 1);
    fillList(page, listed);
    CheckDlgButton(page, IdcRzRatio, ReadNumber("Resize", "Ratio", 1) ? BST_CHECKED : BST_UNCHECKED);
    gResize.view = CreatePreviewView(page, IdcToolPreview, IdcToolPreviewView);
    showCurrent(page);
    enableUserSize(page);
    readPage(page);
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

LRESULT onList(HWND page, WORD, WORD code, LPARAM)
{
    if (code == CBN_SELCHANGE) enableUserSize(page);
    return TRUE;
}

LRESULT onSizeField(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == EN_CHANGE) linkFields(page, id);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply}, {IdcApplyAll, onApply}, {IdcPpPrevious, onStep},         {IdcPpNext, onStep},
    {IdcRzList, onList}, {IdcRzWidthField, onSizeField}, {IdcRzHeightField, onSizeField},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

// OK and Cancel both keep the list choice and the keep-proportions box.
LRESULT onDestroy(HWND page, UINT, WPARAM, LPARAM)
{
    WriteNumber("Resize", "List", ToolComboChoice(page, IdcRzList, gResize.request.choice));
    WriteNumber("Resize", "Ratio", IsDlgButtonChecked(page, IdcRzRatio) == BST_CHECKED ? 1 : 0);
    gResize.view = nullptr;
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
    tool.name = "resize";
    tool.ownPages = {{&kDialog, procedure, kIdsResize}};
    tool.processFile = processFile;
    tool.successMessage = &kIdsResizeOk;
    tool.data = &gResize;
    return tool;
}

}  // namespace

const ToolDefinition& ResizeTool()
{
    static const ToolDefinition tool = makeTool();
    return tool;
}

}  // namespace fotrix
