// Loading the current FileList entry into the main view: at the size the
// screen and the zoom need, upright by its EXIF orientation, turned to suit
// the screen, with the load errors shown in message boxes.
#include "app/language.h"
#include "app/viewer/gif_animation.h"
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_trace.h"
#include "app/viewer/view_window.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/transform.h"
#include "metadata/exif.h"

#include <cstring>
#include <utility>

namespace fotrix {

namespace {

constexpr UINT kIdsErrorLoading = 4090;
constexpr UINT kIdsError = 4091;
constexpr UINT kIdsErrorMemory = 4156;

// GIF files play as animations unless a transition brings them in.
bool isAnimation(const FileInfo& info, bool transition)
{
    const char* name = formatShortName(info.formatIndex);
    return gApp.playAnimatedGif && !transition && name && std::strcmp(name, "gif") == 0;
}

bool isCameraRaw(int formatIndex) { return formatIndex >= FormatFirstRaw && formatIndex <= FormatLastRaw; }

// The fit rule of a newly shown picture follows the menu's check marks; a
// fixed zoom stays as it is.
void fitModeFromMenu()
{
    if (MenuItemChecked(CmdFitWindow)) SetFitMode(gApp.viewWindow, FitWindow);
    else if (MenuItemChecked(CmdFitLargeFiles)) SetFitMode(gApp.viewWindow, ShrinkLarge);
}

bool sameAsShown(int index, int page)
{
    if (index != gApp.currentIndex || page != gApp.currentPage) return false;
    // After a failed load the view is empty: trying again loads.
    if (GetPictureSize(gApp.viewWindow).cx == 0) return false;
    if (gApp.loadedFull) return true;
    DecodeBox box = CurrentDecodingBox();
    return box.width == gApp.requestedWidth && box.height == gApp.requestedHeight;
}

LoadParams viewerLoadParams(const DecodeBox& box, int page)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.channelOrder = 1;
    // Shown pictures are colour-managed: an embedded profile converts them to sRGB.
    params.options = NoAlpha | ToleratePartial | ExtensionOnly | ConvertToSrgb |
                     (box.reduced() ? static_cast<uint32_t>(Preview) : 0u);
    params.rowAlignment = 4;
    params.frameIndex = static_cast<uint32_t>(page);
    params.maxWidth = box.width;
    params.maxHeight = box.height;
    return params;
}

// The shown picture after a load: a fixed zoom applies to a full-size
// decoding; a reduced one was decoded at the zoom already and is shown at 100 %.
void applyZoomAfterLoad()
{
    if (gApp.zoomPercent < 0) return;
    SetZoom(gApp.viewWindow, gApp.loadedFull ? gApp.zoomPercent : 100);
}

bool transposes(int orientation) { return orientation >= 5 && orientation <= 8; }

int cancelRequested(void* data) { return static_cast<const std::atomic<bool>*>(data)->load() ? 1 : 0; }

// The picture of the job: decoded ahead when that is the one asked for,
// decoded now otherwise.
int decode(const DecodeJob& job, Bitmap& bitmap, bool* ahead)
{
    *ahead = DecodeAheadTake(job, bitmap);
    if (*ahead) return 0;
    return RunDecodeJob(job, bitmap, nullptr);
}

// With FOTRIX_TRACE_VIEW: the time from the request to the painted picture.
void traceShown(std::chrono::steady_clock::time_point start, bool ahead)
{
    if (!ViewTraceOn()) return;
    UpdateWindow(gApp.viewWindow);
    TraceViewLoad(MicrosSince(start), ahead);
}

void showPicture(Bitmap& bitmap, const FileInfo& info, int page, bool transition)
{
    gApp.loadedWidth = bitmap.width;
    gApp.loadedHeight = bitmap.height;
    gApp.rotated = 0;
    gApp.rotationAllowed = 1;
    TurnToScreen(bitmap);
    if (transition) SetPictureWithTransition(gApp.viewWindow, &bitmap);
    else SetPicture(gApp.viewWindow, &bitmap, true);
    gApp.currentPage = page;
    gApp.pageCount = static_cast<int>(info.imageCount);
}

// True when the file was dealt with as an animation (shown, or its error
// reported); false for a frame too large to compose, loaded as a still picture.
bool playAnimation(const std::string& path, const FileInfo& info, int page)
{
    int shown = ShowAnimation(path);
    if (shown == AnimationTooLarge) return false;
    if (shown != AnimationOk) {
        ShowLoadError(shown, path);
        return true;
    }
    gApp.currentPage = page;
    gApp.pageCount = static_cast<int>(info.imageCount);
    applyZoomAfterLoad();
    return true;
}

class WaitCursor {
public:
    WaitCursor() : old_(gApp.mode == ModeSlideshow ? nullptr : SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { if (gApp.mode != ModeSlideshow) SetCursor(old_ ? old_ : LoadCursor(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR old_;
};

}  // namespace

uint32_t ViewerInfoOptions() { return ExtensionOnly | (gApp.exifOrientation ? static_cast<uint32_t>(ReadMetadata) : 0u); }

int ShownOrientation(const FileInfo& info)
{
    int value = 1;
    if (!gApp.exifOrientation || isCameraRaw(info.formatIndex)) return 1;
    if (!exifGetOrientation(info.metadata, value) || value < 1 || value > 8) return 1;
    return value;
}

DecodeJob MakeDecodeJob(const std::string& path, int page, const FileInfo& info, int orientation, SIZE* upright,
                        DecodeBox* uprightBox)
{
    int width = info.width, height = info.height;
    if (transposes(orientation)) std::swap(width, height);
    // Camera raw pictures are decoded whole so that they can be turned upright.
    DecodeBox box;
    if (!isCameraRaw(info.formatIndex))
        box = DecodingBox(width, height, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), gApp.zoomPercent,
                          ExchangeBox(width, height));
    if (upright) *upright = SIZE{width, height};
    if (uprightBox) *uprightBox = box;
    DecodeJob job;
    job.path = path;
    job.page = page;
    job.orientation = orientation;
    // Camera raw pictures are shown from their sensor data, not from the
    // preview the camera embedded.
    job.rawSensor = isCameraRaw(info.formatIndex);
    // The decoder fits the picture as stored: a box for the upright picture
    // is turned with it.
    job.box = box;
    if (transposes(orientation)) std::swap(job.box.width, job.box.height);
    return job;
}

int RunDecodeJob(const DecodeJob& job, Bitmap& bitmap, const std::atomic<bool>* cancel)
{
    LoadParams params = viewerLoadParams(job.box, job.page);
    if (job.rawSensor) params.options |= DecodeRawSensor;
    if (cancel) {
        params.cancelCallback = cancelRequested;
        params.cancelData = const_cast<std::atomic<bool>*>(cancel);
    }
    FileInfo loaded{};
    int result = loadPicture(job.path.c_str(), bitmap, params, &loaded);
    freeFileInfo(loaded);
    // Without memory for the turned copy the picture is shown as stored.
    if (result == 0 && job.orientation > 1) bitmapApplyOrientation(bitmap, job.orientation);
    return result;
}

std::string FormatWithPath(const std::string& format, const std::string& path)
{
    size_t at = format.find("%s");
    if (at == std::string::npos) return format.empty() ? path : format + " " + path;
    return format.substr(0, at) + path + format.substr(at + 2);
}

void ShowLoadError(int result, const std::string& path)
{
    std::string text = result == 1 ? Tr(kIdsErrorMemory, "IDS_ERROR_MEMORY")
                                   : FormatWithPath(Tr(kIdsErrorLoading, "IDS_ERROR_LOADING"), path);
    MessageBox(gApp.mainWindow, text.c_str(), Tr(kIdsError, "IDS_ERROR").c_str(), MB_OK | MB_ICONSTOP);
}

void TurnToScreen(Bitmap& bitmap)
{
    int angle = gApp.rotateLeft ? -90 : 90;
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int turn = 0;
    if (gApp.mode == ModeSlideshow && gApp.slideLandscape) turn = -angle;
    else if (gApp.rotateAuto && bitmap.width > bitmap.height && screenH > screenW) turn = angle;
    else if (gApp.rotateAuto && bitmap.height > bitmap.width && screenW > screenH) turn = -angle;
    if (turn == 0) return;
    // Out of memory for the turned copy: the picture is shown as it is.
    if (bitmapRotate(bitmap, nullptr, turn, 0, nullptr, 0) == 0) gApp.rotated = 1;
}

void LoadIntoView(int index, int page, bool transition)
{
    if (index < 0 || index >= fileCount() || gApp.files[index].state == EntryAlbum) return;
    if (sameAsShown(index, page)) return;
    const auto started = std::chrono::steady_clock::now();
    const int step = gApp.currentIndex >= 0 && index < gApp.currentIndex ? -1 : +1;
    if (index != gApp.currentIndex) fitModeFromMenu();
    gApp.currentIndex = index;
    ClearView();
    const std::string path = gApp.files[index].path;
    FileInfo info{};
    if (getFileInfo(path, -1, ViewerInfoOptions(), info, static_cast<uint32_t>(page)) != 0) {
        freeFileInfo(info);
        ShowLoadError(0, path);
        DecodeAheadAfter(index, step);
        return;
    }
    // The full size is the picture's as shown upright.
    SIZE upright{};
    DecodeBox box;
    const DecodeJob job = MakeDecodeJob(path, page, info, ShownOrientation(info), &upright, &box);
    gApp.fullWidth = upright.cx;
    gApp.fullHeight = upright.cy;
    WaitCursor wait;
    if (isAnimation(info, transition) && playAnimation(path, info, page)) {
        freeFileInfo(info);
        DecodeAheadAfter(index, step);
        return;
    }
    gApp.requestedWidth = box.width;
    gApp.requestedHeight = box.height;
    gApp.loadedFull = box.reduced() ? 0 : 1;
    Bitmap bitmap;
    bool ahead = false;
    int result = decode(job, bitmap, &ahead);
    if (result != 0) {
        bitmapFree(bitmap);
        freeFileInfo(info);
        ShowLoadError(result, path);
        DecodeAheadAfter(index, step);
        return;
    }
    showPicture(bitmap, info, page, transition);
    applyZoomAfterLoad();
    if (page != 0) UpdateMenuState();
    freeFileInfo(info);
    traceShown(started, ahead);
    DecodeAheadAfter(index, step);
}

}  // namespace fotrix
