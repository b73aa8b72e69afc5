#pragma once
// What the shell's own files share: the menu of the menu bar, the splitter's
// drag state, the list's column widths and small list helpers.
#include "app/shell/app_state.h"
#include "platform/windows.h"

#include <vector>

namespace fotrix {

struct ShellState {
    HINSTANCE instance = nullptr;
    SHACTIVATEINFO activation{};
    bool dragging = false;
    int dragStartY = 0;
    int dragStartHeight = 0;
    // Saved widths of the five report columns (0 first), in pixels; they
    // start as these sizes at 96 dpi scaled to the screen.
    int columnWidths[5] = {100, 90, 40, 70, 80};
    // The zoom choice of the View menu: 2 actual size, 1 fit window, 0 shrink large.
    int fitChoice = 0;
    // The window covers the whole screen (FullScreen or Slideshow).
    bool fullScreen = false;
    // The return mode pending when a slideshow started from Image or FullScreen.
    int returnBeforeSlideshow = -1;
};
extern ShellState gShell;

// The menu whose items the bar drops down (null without a menu bar).
HMENU BarMenu();
// Height of the 8-pixel bar between tree and list.
constexpr int kSplitterBar = 8;
// Smallest height either pane keeps while the splitter is dragged.
constexpr int kMinPaneHeight = 40;

// The list's selection, read from the list view itself.
int ListSelectedCount();
std::vector<int> ListSelectedIndexes();
void ListSelectOnly(int index);
void ListSetAllSelected(int how);  // 0 none, 1 all, 2 invert

// Loads an entry into the view and names it the current one (the viewer
// names it too, even when the picture cannot be decoded).
void ShowEntry(int index, bool transition);
// The file name of the entry shown in the view; empty when none is.
std::string CurrentFileName();

// Menu checks taken from the state (after WM_CREATE and when they change).
void ApplyMenuChecks();
void CheckModeItem();

// The splitter: paint, press, drag, release.
void PaintSplitter(HWND hwnd);
void SplitterButtonDown(HWND hwnd, int x, int y);
void SplitterMouseMove(HWND hwnd, int y);
void SplitterButtonUp(HWND hwnd, int x);

// Deletes the fonts SetControlFontHeight made (at shutdown).
void ReleaseControlFonts();

// WM_KEYDOWN of the main window.
void HandleKeyDown(UINT virtualKey);

// The Fit setting chosen by the menu (2 actual size, 1 fit window, 0 shrink large).
int FitChoice();

// Window placement for full screen and back.
void EnterFullScreenPlacement();
void LeaveFullScreenPlacement();

}  // namespace fotrix
