#pragma once
// Entry points other parts of the program provide to the shell: the
// resources, the options sheet, the start screen and the script driver. Until
// each is merged in, app/shell/*_pending.cpp stands in for it (weakly, so the
// real one wins); the stand-ins are removed as the parts arrive.
#include "platform/windows.h"

#include <string>

namespace fotrix {

// Every string, menu, menu bar, bitmap, icon, dialog template and the splash picture.
void RegisterAppResources();
// Edits gApp; true on OK.
bool ShowOptionsSheet(HWND owner);
HWND ShowStartScreen(HWND mainWindow);

// The script driver: load (0, or 2 with "line N: why"), start, and its end.
int ScriptLoad(const char* path, std::string* error);
void ScriptStart();
bool ScriptFinished();
int ScriptExitCode();

// Resource numbers the shell uses (agreed with the resources).
namespace res {
constexpr int kMenuMain = 102;
constexpr int kMenuViewPopup = 185;
constexpr int kBitmapToolButtons = 114;
constexpr int kBitmapToolButtonsDisabled = 128;
constexpr int kBitmapToolButtons32 = 152;
constexpr int kBitmapToolButtonsDisabled32 = 154;
constexpr int kBitmapSplitter = 192;
constexpr int kIconApp = 101;
constexpr int kDialogAbout = 4014;
}  // namespace res

}  // namespace fotrix
