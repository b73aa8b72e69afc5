#pragma once
// The main window ("FotrixClass", "Fotrix Pocket"): the three panes and the
// splitter, the menu bar, the seven display modes, the in-window slideshow and
// the key assignments. Other parts of the program call these operations.
#include "platform/windows.h"

#include <string>

namespace fotrix {

constexpr const char* kMainWindowClass = "FotrixClass";
constexpr const char* kMainWindowTitle = "Fotrix Pocket";
// Name of the single-instance channel the first instance answers on.
constexpr const char* kInstanceChannel = "fotrix";

// Registers the class and makes the window with its menu bar and panes, or
// hands `commandLine` to an instance that is already running (then
// *otherInstance is set and null returned). The window is left hidden.
HWND CreateMainWindow(HINSTANCE instance, const std::string& commandLine, bool* otherInstance);

// Opens a picture (full screen, its folder listed), plays an album, or shows
// a folder; true when something was opened.
bool OpenPath(const std::string& path);
// The handler of 4007-4012.
void SetViewMode(int command);
// Opens entry `index` in the view, or goes back to the browse mode.
void OpenInViewer(int index);
void UpdateMenuState();
void StartSlideshow();
void StepSlideshow(int direction);
void StopSlideshow();
// Lays out the panes for the current mode (WM_SIZE and after every change).
void LayoutMainWindow();
// Runs one KeyAction; `virtualKey` is the arrow that scrolls for action 0.
void RunKeyAction(int action, UINT virtualKey);
// Whether a command would act now (the menu's enable rules).
bool CommandEnabled(int command);
// The TBSTATE_ bits a tool button of the menu bar gets now.
BYTE ToolButtonState(int command);
// After the options sheet: applies what changed against `before`.
struct AppState;
void ApplyOptions(const AppState& before);
// Sets the font height of a control (0 keeps its font).
void SetControlFontHeight(HWND control, int height);

}  // namespace fotrix
