// The Crop tool's page: a preview in rectangle-selection mode whose drawn
// rectangle fills the four fields (scaled by s, the picture's width over the
// preview's in percent), and fields whose spin controls move the rectangle.
#include <algorithm>

#include "app/tools/crop_rules.h"
#include "app/tools/crop_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/rotate_preview.h"
#include "app/tools/rotate_rules.h"
#include "app/tools/rotate_tool.h"
#include "app/tools/tool_ids.h"
#include "app/viewer/view_window.h"
#include "imagelib/transform.h"

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgCrop";
constexpr int kViewSelectMode = 1;  // the view's stylus mode that draws a rectangle

struct CropState {
    HWND page = nullptr;
    HWND view = nullptr;
    Bitmap preview;
    int width = 0, height = 0;  // the picture's full size
    int scale = 100;            // s
    bool updating = false;      // the page itself is writing the fields
    Rect rect;                  // the fields as read at Apply
};
CropState gCrop;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcCropPreview, "", 8, 6, 224, 120, kToolShown, 0},
    {WC_STATIC, IdcCropTLeft, "Left", 8, 134, 40, 14, kToolShown, 0},
    {WC_EDIT, IdcCropLeft, "", 50, 131, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcCropLeftSpin, "", 100, 131, 16, 20, kToolShown, 0},
    {WC_STATIC, IdcCropTTop, "Top", 124, 134, 40, 14, kToolShown, 0},
    {WC_EDIT, IdcCropTop, "", 166, 131, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcCropTopSpin, "", 216, 131, 16, 20, kToolShown, 0},
    {WC_STATIC, IdcTWidth, "Width", 8, 158, 40, 14, kToolShown, 0},
    {WC_EDIT, IdcCropWidth, "", 50, 155, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcCropWidthSpin, "", 100, 155, 16, 20, kToolShown, 0},
    {WC_STATIC, IdcTHeight, "Height", 124, 158, 40, 14, kToolShown, 0},
    {WC_EDIT, IdcCropHeight, "", 166, 155, 50, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcCropHeightSpin, "", 216, 155, 16, 20, kToolShown, 0},
    {WC_BUTTON, IdcPpPrevious, "<", 8, 182, 44, 22, kToolButton, 0},
    {WC_BUTTON, IdcPpNext, ">", 56, 182, 44, 22, kToolButton, 0},
    {WC_BUTTON, IdcApply, "Apply", 124, 182, 108, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"Crop", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcCropTLeft, "IDC_TLEFT"}, {IdcCropTTop, "IDC_TTOP"}, {IdcTWidth, "IDC_TWIDTH"},
    {IdcTHeight, "IDC_THEIGHT"}, {IdcApply, "IDC_APPLY"},
};

struct Field {
    int edit, spin;
};
constexpr Field kFields[4] = {{IdcCropLeft, IdcCropLeftSpin},
                              {IdcCropTop, IdcCropTopSpin},
                              {IdcCropWidth, IdcCropWidthSpin},
                              {IdcCropHeight, IdcCropHeightSpin}};

int fieldValue(HWND page, int id)
{
    BOOL ok = FALSE;
    int value = static_cast<int>(GetDlgItemInt(page, id, &ok, FALSE));
    return ok ? value : 0;
}

Rect readFields(HWND page)
{
    Rect typed{fieldValue(page, IdcCropLeft), fieldValue(page, IdcCropTop), fieldValue(page, IdcCropWidth),
               fieldValue(page, IdcCropHeight)};
    return clampCropFields(typed, gCrop.width, gCrop.height);
}

void writeFields(HWND page, const Rect& rect)
{
    const int values[4] = {rect.x, rect.y, rect.w, rect.h};
    gCrop.updating = true;
    for (int i = 0; i < 4; ++i) {
        SetDlgItemInt(page, kFields[i].edit, static_cast<UINT>(values[i]), FALSE);
        SendDlgItemMessage(page, kFields[i].spin, UDM_SETPOS32, 0, values[i]);
    }
    gCrop.updating = false;
}

void setUpSpins(HWND page)
{
    const int lower[4] = {0, 0, 1, 1};
    const int upper[4] = {gCrop.width, gCrop.height, std::max(gCrop.width, 1), std::max(gCrop.height, 1)};
    for (int i = 0; i < 4; ++i)
        SendDlgItemMessage(page, kFields[i].spin, UDM_SETRANGE32, static_cast<WPARAM>(lower[i]), upper[i]);
}

// The fields are shown as the rectangle on the preview.
void showRectangle(HWND page)
{
    Rect onPreview = pictureToPreview(readFields(page), gCrop.scale);
    SetSelection(gCrop.view, &onPreview);
}

void showCurrent(HWND page)
{
    BatchRun& run = PageRun(page);
    SetPicture(gCrop.view, nullptr, false);
    bitmapFree(gCrop.preview);
    FileInfo full;
    gCrop.width = gCrop.height = 0;
    if (LoadPreviewBitmap(run.files[static_cast<size_t>(run.current)], ClientSize(gCrop.view), gCrop.preview,
                          full) == 0) {
        gCrop.width = full.width;
        gCrop.height = full.height;
        SetPicture(gCrop.view, &gCrop.preview, false);
    }
    freeFileInfo(full);
    gCrop.scale = cropScale(gCrop.width, gCrop.preview.width);
    setUpSpins(page);
    writeFields(page, {0, 0, gCrop.width, gCrop.height});
    UpdateStepButtons(page, run);
}

// A rectangle drawn on the preview, in preview pixels, fills the fields.
void onViewEvent(const ViewEvent& event)
{
    if (!gCrop.page) return;
    Rect drawn = event.selection;
    if (event.kind != ViewSelectionChanging && !(event.hasSelection && GetSelection(event.view, &drawn))) return;
    if (drawn.w <= 0 || drawn.h <= 0) return;
    writeFields(gCrop.page, previewToPicture(drawn, gCrop.scale));
}

int operate(BatchRun&, Bitmap& bitmap)
{
    if (int result = bitmapCrop(bitmap, nullptr, &gCrop.rect)) return result;
    exifMatchPixelSize(bitmap);
    return 0;
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    SetPicture(gCrop.view, nullptr, false);
    bitmapFree(gCrop.preview);
    gCrop = CropState{};
    gCrop.page = page;
    for (const Field& field : kFields)
        SendDlgItemMessage(page, field.spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, field.edit)), 0);
    gCrop.view = CreatePreviewView(page, IdcCropPreview, IdcCropView);
    SetMouseMode(gCrop.view, kViewSelectMode);
    SetCallback(gCrop.view, onViewEvent, nullptr);
    showCurrent(page);
    return TRUE;
}

LRESULT onApply(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return FALSE;
    gCrop.rect = readFields(page);
    ApplyBatch(page, false);
    return TRUE;
}

LRESULT onStep(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) StepFromPage(page, id == IdcPpNext ? 1 : -1);
    return TRUE;
}

LRESULT onField(HWND page, WORD, WORD code, LPARAM)
{
    if (code == EN_CHANGE && !gCrop.updating) showRectangle(page);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply},  {IdcPpPrevious, onStep}, {IdcPpNext, onStep},     {IdcCropLeft, onField},
    {IdcCropTop, onField}, {IdcCropWidth, onField}, {IdcCropHeight, onField},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

// A spin control stepped: its value goes into its field, then the rectangle follows.
LRESULT onSpin(HWND page, UINT, WPARAM, LPARAM lParam)
{
    HWND from = reinterpret_cast<HWND>(lParam);
    for (const Field& field : kFields) {
        if (from != GetDlgItem(page, field.spin)) continue;
        int position = static_cast<int>(SendMessage(from, UDM_GETPOS32, 0, 0));
        gCrop.updating = true;
        SetDlgItemInt(page, field.edit, static_cast<UINT>(position), FALSE);
        gCrop.updating = false;
        showRectangle(page);
        return TRUE;
    }
    return FALSE;
}

LRESULT onCurrentChanged(HWND page, UINT, WPARAM, LPARAM)
{
    showCurrent(page);
    return TRUE;
}

LRESULT onDestroy(HWND, UINT, WPARAM, LPARAM)
{
    SetPicture(gCrop.view, nullptr, false);
    bitmapFree(gCrop.preview);
    gCrop.page = gCrop.view = nullptr;
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}, {WM_VSCROLL, onSpin},
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
    tool.name = "crop";
    tool.ownPages = {{&kDialog, procedure, kIdsCrop}};
    tool.operate = operate;
    tool.successMessage = &kIdsCropOk;
    tool.data = &gCrop;
    return tool;
}

}  // namespace

const ToolDefinition& CropTool()
{
    static const ToolDefinition tool = makeTool();
    return tool;
}

}  // namespace fotrix
