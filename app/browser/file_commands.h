#pragma once
// The browser's folder and file commands (the File menu and the favorites),
// each run by its command number from the browser's command table.
#include "platform/windows.h"

#include <string>

namespace fotrix {

void NewFolderCommand(HWND mainWindow);
void RenameFolderCommand(HWND mainWindow);
void DeleteFolderCommand(HWND mainWindow);
void CutCommand();
void CopyCommand();
void PasteCommand();
void DeleteFilesCommand();
void RenameFileCommand(HWND mainWindow);

// Deletes `folder` (ending in "/") with everything in it. Symbolic links
// inside are removed, never followed. Stops at the first file or folder that
// cannot be deleted (a read-only file, say): the folder then stays, with what
// was not reached yet, and the result is false.
bool DeleteFolderTree(const std::string& folder);

}  // namespace fotrix
