#pragma once
// Shared by the main view's files: the decoding box, messages, menu checks,
// reloading, and the shell operations the main view calls.
#include "app/viewer/main_view.h"
#include "imagelib/bitmap.h"

#include <string>

namespace fotrix {

// The shell's (app/shell/main_window.h).
void StopSlideshow();
void UpdateMenuState();

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

// The next zoom up or down the ladder from `zoom`.
int ZoomLadderLarger(int zoom);
int ZoomLadderSmaller(int zoom);
// The zoom the user sees against the picture's full size.
int EffectiveZoom();

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
