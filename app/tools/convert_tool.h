#pragma once
// The tools of the Tools menu that this folder runs, each opened over the
// files selected in the browser (or, for capture and search, over nothing).
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

// The selected files a tool works on (folders and albums left out) and the
// index among them of the focused one (else 0).
struct ToolSelection {
    std::vector<std::string> files;
    int current = 0;
};
ToolSelection SelectedToolFiles();

void RunConvertTool(HWND mainWindow);
void RunBatchRename(HWND mainWindow);
void RunCaptureSheet(HWND mainWindow);
void RunFileSearch(HWND mainWindow);

}  // namespace fotrix
