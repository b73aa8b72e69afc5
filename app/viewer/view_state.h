#pragma once
// The record behind every view window ("CBmpClass"): the picture, how it is
// laid out (fit rule or zoom, scroll position), the selection, the stylus
// state, the label and the owner's callback. One per window, kept in its
// user-data word; the view's own files share it through viewStateOf.
#include "imagelib/bitmap.h"
#include "platform/windows.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fotrix {

// How the picture is sized to the window.
enum FitMode : int {
    FixedZoom = 0,
    FitNone = FixedZoom,  // the name the shell's settings use for "no fit rule"
    FitWindow = 1,
    ShrinkLarge = 2,
    FitWidth = 3,
    FitHeight = 4,
};

// What the owner hears.
enum ViewEventKind : int {
    ViewTapReleased = 0,
    ViewDoubleTap = 1,
    ViewSelectionChanging = 3,
    ViewTapAndHold = 4,
    // Beyond the stylus: the mouse wheel (amount: its turn, WHEEL_DELTA a
    // notch away from the user), a two-finger pinch (amount: the distance of
    // the fingers in pixels, phase: GF_BEGIN, 0, GF_END; the point is their
    // centre) and a horizontal swipe (amount +1 to the left, for the next
    // picture, -1 to the right).
    ViewWheel = 5,
    ViewPinch = 6,
    ViewSwipe = 7,
};

struct ViewEvent {
    int kind = 0;
    HWND view = nullptr;
    POINT point{};        // client point; screen point for ViewTapAndHold
    Rect selection{};     // ViewSelectionChanging: the rectangle being drawn
    bool hasSelection = false;
    void* callbackData = nullptr;
    int amount = 0;
    int phase = 0;
};
using ViewCallback = void (*)(const ViewEvent& event);

// Stylus behaviour flags.
enum ViewMouseFlags : int {
    MousePan = 1,
    MouseSelect = 2,
    MouseHasSelection = 0x100,
};
enum ViewCapture : int { CaptureNone = 0, CaptureSelecting = 1, CapturePanning = 2 };

// The picture scaled to the display size: the index tables (display column to
// source column, display row to source row) and, while the display is small
// enough to keep, its pixels rendered once as a 32-bit device bitmap.
struct DisplayLayer {
    std::vector<int> columns;
    std::vector<int> rows;
    HBITMAP rendered = nullptr;
    uint32_t* renderedBits = nullptr;
    int width = 0;
    int height = 0;
};

struct ViewState {
    Bitmap bitmap{};
    bool hasBitmap = false;
    HBITMAP deviceBitmap = nullptr;
    bool ownsDeviceBitmap = false;
    int pictureWidth = 0;
    int pictureHeight = 0;
    DisplayLayer display;
    int displayWidth = 0;
    int displayHeight = 0;
    int bitsPerPixel = 0;
    bool ownsBitmap = false;
    bool keepBitmap = true;
    int fitMode = FitWindow;
    int zoomX = 100;
    int zoomY = 100;
    int scrollX = 0;
    int scrollY = 0;
    int maxScrollX = 0;
    int maxScrollY = 0;
    int mouseFlags = 0;
    Rect selection{};
    int capture = CaptureNone;
    RECT dragRect{};
    POINT panAnchor{};
    bool clickPending = false;
    COLORREF background = 0;
    POINT downPoint{};
    ViewCallback callback = nullptr;
    void* callbackData = nullptr;
    int transitionCounter = 0;
    bool useScrollbars = false;
    std::string label;
    bool labelFlag = false;

    // Preview copy of a picture changed live by a tool (three components only).
    std::vector<uint8_t> previewCopy;
    // Layout is running; the WM_SIZE that showing a scroll bar sends waits.
    bool inLayout = false;
    // The frame is being erased: the repaint leaves it out.
    bool hideFrame = false;
    // The last press was a swipe: a quick press after it is a new press,
    // not the second half of a double tap.
    bool afterSwipe = false;
};

// The record of a view window, or null for any other window.
ViewState* viewStateOf(HWND view);

// Zoom steps of the larger/smaller commands and of zooming into a selection,
// largest first.
inline constexpr int kZoomLadder[] = {400, 300, 200, 150, 100, 70, 50, 30, 25, 20, 15, 10, 5};
inline constexpr int kSelectionZoomTable[] = {1600, 1200, 800, 700, 600, 500, 400, 300, 200, 150, 100, 90,
                                              80,   70,   60,  50,  40,  30,  25,  20,  15,  10,  7};

// Within the view's files.
void viewLayout(HWND view, ViewState& state, bool forceRender);
void viewRepaint(HWND view, bool erase);
bool viewHasPicture(const ViewState& state);
void viewDropPicture(ViewState& state);
void displayRender(ViewState& state, bool force);
void displayFree(DisplayLayer& display);
// Draws the display pixels of `area` (client coordinates) into `dc`.
void displayPaint(HDC dc, const ViewState& state, const RECT& area);
void viewDrawSelectionFrame(HWND view, HDC dc, const ViewState& state);
void viewEraseSelectionFrame(HWND view, ViewState& state);
// Scroll handling shared by the bars, ScrollBy and panning: sets the position
// on one axis (clamped), updates the bar and repaints; false when it did not change.
bool viewScrollTo(HWND view, ViewState& state, int bar, int position);
void viewSendEvent(HWND view, ViewState& state, int kind, POINT point, int amount = 0, int phase = 0);

}  // namespace fotrix
