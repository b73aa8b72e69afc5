// Tool button 4161: adjust the shown picture with a live preview, then write
// the adjusted file. The file is decoded again in full (the view holds a
// reduced copy), adjusted with the same three values and saved in its own
// format when that is BMP, PNG or JPEG, otherwise as JPEG under the JPEG
// extension. The save pipeline replaces the file atomically and keeps the
// EXIF and IPTC blocks read with the picture.
#include "app/browser/browser.h"
#include "app/language.h"
#include "app/viewer/adjust_dialog.h"
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"
#include "imagelib/adjust.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "metadata/exif.h"

namespace fotrix {

namespace {

constexpr UINT kIdsSaveResult = 4163;
constexpr UINT kIdsProblemSaving = 4062;
constexpr UINT kIdsError = 4091;

// The format the adjusted picture is written in.
int targetFormat(int sourceFormat)
{
    return sourceFormat == FormatBmp || sourceFormat == FormatPng || sourceFormat == FormatJpeg ? sourceFormat : FormatJpeg;
}

int decodeFull(const std::string& path, Bitmap& bitmap, FileInfo& info)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options = ToleratePartial | ReadMetadata;
    return loadPicture(path.c_str(), bitmap, params, &info);
}

void stopMessage(const std::string& text)
{
    MessageBox(gApp.mainWindow, text.c_str(), Tr(kIdsError, "IDS_ERROR").c_str(), MB_OK | MB_ICONSTOP);
}

// The list shows the new file (or the changed one) with a new thumbnail.
void refreshEntry(const std::string& savedPath)
{
    RefillFileList();
    for (int i = 0; i < fileCount(); ++i)
        if (gApp.files[i].path == savedPath) SelectOnly(i);
}

bool saveAdjusted(const std::string& path, const AdjustValues& values)
{
    Bitmap bitmap;
    FileInfo info{};
    if (decodeFull(path, bitmap, info) != 0) {
        bitmapFree(bitmap);
        freeFileInfo(info);
        stopMessage(FormatWithPath(Tr(4090, "IDS_ERROR_LOADING"), path));
        return false;
    }
    SaveParams params;
    saveParamsDefaults(params);
    const int sourceFormat = info.formatIndex;
    freeFileInfo(info);
    params.format = targetFormat(sourceFormat);
    if (params.format != sourceFormat) params.flags |= SaveReplaceExtension | SaveCopyName;
    if (params.format == FormatJpeg) {
        const int quality = AskJpegQuality(gApp.mainWindow);
        if (quality == 0) {
            bitmapFree(bitmap);
            return false;
        }
        params.quality = static_cast<uint16_t>(quality);
    }
    std::string saved = path;
    int result = bitmapAdjust(bitmap, nullptr, nullptr, values.brightness, values.contrast, values.gamma);
    if (result == 0) result = saveBitmap(path, bitmap, params, &saved);
    bitmapFree(bitmap);
    if (result != 0) {
        stopMessage(Tr(kIdsProblemSaving, "IDS_PROBLEM_SAVING"));
        return false;
    }
    refreshEntry(saved);
    return true;
}

}  // namespace

void RunAdjustAndSave(HWND mainWindow)
{
    std::vector<SelectedFile> selected = SelectedFiles(false);
    HWND view = gApp.viewWindow;
    if (selected.size() != 1 || GetPictureSize(view).cx == 0) return;
    MakePreviewCopy(view);
    AdjustValues values;
    const bool accepted = AskAdjustValues(mainWindow, view, &values);
    // Cancel restores the shown picture; OK keeps the adjusted one on screen.
    EndPreview(view, accepted);
    if (!accepted) return;
    if (MessageBox(mainWindow, Tr(kIdsSaveResult, "IDS_SAVERESULT").c_str(), "", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    saveAdjusted(selected.front().path, values);
}

}  // namespace fotrix
