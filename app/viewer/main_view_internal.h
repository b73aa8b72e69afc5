#pragma once
// Shared by the main view's files: the decoding box, messages, menu checks,
// reloading, and the shell operations the main view calls.
#include "app/viewer/main_view.h"
#include "imagelib/bitmap.h"
#include "imagelib/load.h"

#include <atomic>
#include <string>

namespace fotrix {

// The shell's (app/shell/main_window.h).
void StopSlideshow();
void UpdateMenuState();
void RunKeyAction(int action, UINT virtualKey);

// The reduced size a picture is decoded at, or -1 x -1 for its full size.
struct DecodeBox {
    int width = -1;
    int height = -1;
    bool reduced() const { return width > 0; }
    bool operator==(const DecodeBox&) const = default;
};
// Pictures larger than twice the screen both ways are decoded into the screen
// (a fit mode, zoomPercent -1) or into their size at the zoom (below 100 %);
// `exchange` turns the box for a picture that will be shown turned.
DecodeBox DecodingBox(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight, int zoomPercent,
                      bool exchange);
// Whether the box is exchanged for this picture now (rotateAuto with a wide
// picture, or a landscape slideshow).
bool ExchangeBox(int pictureWidth, int pictureHeight);
DecodeBox CurrentDecodingBox();

// One decoding of a picture for the view, complete enough to run on any
// thread: the file, the page, the box as the decoder takes it (the picture as
// stored) and the EXIF orientation turned upright afterwards (1: none).
struct DecodeJob {
    std::string path;
    int page = 0;
    DecodeBox box;
    int orientation = 1;
    bool rawSensor = false;
    bool operator==(const DecodeJob&) const = default;
};
// The EXIF orientation a picture is shown by: its tag (from `info`, read with
// ReadMetadata) when the ExifOrientation setting is on, else 1. Camera raw
// files are turned by their own rule and report 1.
int ShownOrientation(const FileInfo& info);
// The getFileInfo options of the view's pictures (the EXIF block with the
// setting on).
uint32_t ViewerInfoOptions();
// The job for `page` of the file `info` describes, with the box of the
// current zoom and screen; `upright` receives the picture's size as shown
// upright and `uprightBox` the box in those terms.
DecodeJob MakeDecodeJob(const std::string& path, int page, const FileInfo& info, int orientation, SIZE* upright,
                        DecodeBox* uprightBox);
// Decodes: the load pipeline with the view's options, then the upright turn.
// `cancel` (may be null) stops the decoding early with result 15.
int RunDecodeJob(const DecodeJob& job, Bitmap& bitmap, const std::atomic<bool>* cancel);

// Decode-ahead: while a picture is shown, the next one in the direction of
// travel is decoded on a worker thread. Starting another job cancels the one
// under way; taking a job hands over its picture (waiting for it when it is
// still running) when the file has not changed since, and false otherwise.
void DecodeAheadStart(const DecodeJob& job);
bool DecodeAheadTake(const DecodeJob& job, Bitmap& bitmap);
// The job decoded ahead now (empty path when none), and how many pictures were
// shown from decode-ahead so far.
DecodeJob DecodeAheadJob();
int DecodeAheadTaken();
// Decodes ahead the entry after `index` in the direction of `step` (+1, -1).
void DecodeAheadAfter(int index, int step);

// The next zoom up or down the ladder from `zoom`.
int ZoomLadderLarger(int zoom);
int ZoomLadderSmaller(int zoom);
// The zoom the user sees against the picture's full size.
int EffectiveZoom();
// The point of the full picture (as shown, upright and turned) under a client
// point of the view, and back to the loaded picture's pixels.
POINT FullPointAt(POINT client);
POINT LoadedPointOf(POINT full);
// Zooms to `percent` of the full picture (held to 11 ... 1199), decoding again
// when the decoding box changes, with full-picture point `full` at `client`.
void ZoomAbout(int percent, POINT full, POINT client);

// "IDS_ERROR_LOADING" with the path, or "IDS_ERROR_MEMORY" for result 1, in a
// message box titled "IDS_ERROR".
void ShowLoadError(int result, const std::string& path);
// Puts `path` in place of the first "%s" of a text from the language file
// (never used as a printf format: the file is not trusted).
std::string FormatWithPath(const std::string& format, const std::string& path);

// The main window's menu (null before it has a menu bar).
HMENU MainMenu();
bool MenuItemChecked(int command);
// Checks `command` (0: none) and clears every other zoom and fit item.
void CheckZoomItem(int command);

// Loads again when the picture was decoded reduced and the box changed.
void ReloadForZoom();
// Loads the current entry and page again whatever is shown.
void ReloadCurrent();

// Turning to the screen and the owner callback.
void TurnToScreen(Bitmap& bitmap);
void OnMainViewEvent(const ViewEvent& event);

// The animation (animated GIF) of the current picture: read and show frame 0
// (an AnimationResult), the delay of a frame in milliseconds, and freeing it.
int ShowAnimation(const std::string& path);
int AnimationFrameDelay(int index);
void FreeAnimation();

// Tool button 4161: the adjustment dialog over the shown picture, then the
// adjusted file written when the user agrees.
void RunAdjustAndSave(HWND mainWindow);

}  // namespace fotrix
