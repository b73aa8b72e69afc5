#pragma once
// What the browser's files share among themselves: the list's fonts and
// image lists, the guard that marks selection changes as the program's own,
// and the list operations the tree, the change notifications and the
// commands use.
#include "app/browser/browser.h"

#include <string>

namespace fotrix {

struct ListResources {
    HFONT boldFont = nullptr;
    HFONT normalFont = nullptr;
    HIMAGELIST normalImages = nullptr;
    HIMAGELIST smallImages = nullptr;
};
extern ListResources gListResources;

// Set while the program itself changes item states (multiple selection mode
// refuses every other change).
extern bool gProgramSelects;
struct ProgramSelection {
    bool previous;
    ProgramSelection() : previous(gProgramSelects) { gProgramSelects = true; }
    ~ProgramSelection() { gProgramSelects = previous; }
};

// Scans and shows `folder` (ending in "/").
void FillFileList(HWND list, const std::string& folder);
// Writes the texts of item `index` from its entry and redraws it.
void RefreshItem(int index);
// Inserts list item `index` for gApp.files[index] with its texts.
void InsertListItem(HWND list, int index);
// Frees one entry's thumbnail and description.
void FreeEntry(FileEntry& entry);

// Keeping the list in step with the file system.
void AddFile(const std::string& folder, const std::string& name);
void RemoveFile(const std::string& path);
void RefreshFile(const std::string& folder, const std::string& name);

// Label cut to `width` pixels: characters dropped from the end and "..." appended.
std::string FitText(HDC dc, const std::string& text, int width);
// The height of a line of the list's font.
int ListTextHeight();

// The folder tree's side (folder_tree.cpp): the File > Go to items are rebuilt after every fill.
void RebuildGoToMenu();
// Registers the main window for changes in the folder shown.
void WatchCurrentFolder();

}  // namespace fotrix
