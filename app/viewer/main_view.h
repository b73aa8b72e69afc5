#pragma once
// The viewer's side of the main window: the view window (control 1002, class
// "CBmpClass", app/viewer/view_window.h) and the main view's logic: loading
// the current picture into it, zoom and fit, pages, the animated GIF timer
// and what taps in the view do. State lives in gApp.
#include "app/shell/app_state.h"
#include "app/viewer/view_state.h"

#include <string>

namespace fotrix {

// The view window as a child of the main window, with the owner callback of
// the main view attached.
HWND CreateMainView(HWND parent);

// Loads entry `index`, page `page`, into the view (with a transition in a
// slideshow). Nothing happens for -1, an index past the list or an album.
void LoadIntoView(int index, int page, bool transition);
// Clears the view and frees the animation frames.
void ClearView();

// View settings the shell applies (FitMode: app/viewer/view_state.h).
void ViewSetFitMode(int fitMode);
int ViewGetFitMode();
void ViewSetZoom(int percent);  // ignored outside 11 to 1199
int ViewGetZoom();
void ViewSetBackground(COLORREF colour);
void ViewSetLabel(const char* text);  // null removes it
void ViewSetScrollbars(bool on);
// Dragging pans (viewMove) or draws a selection; in a slideshow neither.
// The values are those of viewMove, plus one for "off".
enum MainViewMouseMode : int { ViewMouseSelect = 0, ViewMousePan = 1, ViewMouseOff = 2 };
void ViewSetMouseMode(int mode);
void ViewScrollBy(int dx, int dy);
// For the script driver's state: the picture point at the view's top left
// (negative while the picture is centred), the selection in picture pixels
// (false when none) and the number of the next transition effect.
POINT ViewGetOrigin();
bool ViewGetSelection(Rect* selection);
int ViewNextTransition();

// Zoom, fit, page and rotation commands (4121-4131, 4185, 4186, 4223, 4224)
// and the adjust-and-save button (4161).
bool ViewerCommandReady(int command);
void RunViewerCommand(HWND mainWindow, int command);
// WM_TIMER 1002: the next frame of an animated GIF.
void OnAnimationTimer(HWND mainWindow);

// Posted to the main window by the decode-ahead worker when its picture is
// ready; the handler collects the finished thread.
constexpr UINT kDecodeAheadDone = WM_APP + 0x102;
void OnDecodeAheadDone();
// Stops decoding ahead and frees what was decoded (the main window's end).
void StopDecodeAhead();
// Whether the decode-ahead worker is still decoding (the script's `idle` waits).
bool DecodeAheadBusy();

// The script driver's keys of the view: view-origin, selection, gif-frame,
// gif-frames, rotated and transition, as "key: value" lines.
void WriteViewState(std::string& out);

}  // namespace fotrix
