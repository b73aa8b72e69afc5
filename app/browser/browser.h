#pragma once
// The browser's side of the main window: the folder tree (control 1000), the
// file list (control 1001) and the FileList behind it, the thumbnail worker,
// and the file commands. The shell (app/shell/) calls these; everything they
// change lives in gApp.
#include "app/shell/app_state.h"
#include "platform/controls/ownerdraw.h"

#include <string>
#include <vector>

namespace fotrix {

// Creating the two panes as children of the main window.
HWND CreateFolderTree(HWND parent);
HWND CreateFileList(HWND parent);

// Selects the tree item of a folder (a path ending in "/"), expanding the tree
// on the way; the selection change fills the list. False when the folder
// cannot be reached (the tree then shows its root).
bool NavigateTo(const std::string& folder);

// Notifications the main window passes on (WM_NOTIFY from 1000 and 1001).
LRESULT OnTreeNotify(HWND mainWindow, NMHDR* header);
LRESULT OnListNotify(HWND mainWindow, NMHDR* header);
// WM_USER+1: the thumbnail of entry `index` is ready.
void OnThumbnailReady(int index);
// WM_APP+0x101: a file was created or deleted in the folder shown.
void OnFileChange(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// WM_MEASUREITEM / WM_DRAWITEM of the Details rows.
void MeasureDetailsRow(MEASUREITEMSTRUCT* measure);
void DrawDetailsRow(const DRAWITEMSTRUCT* draw);

// The list in each mode: the icon spacing of the thumbnail cells, the texts of
// the report columns (List mode) or none, and the cell sizes after an option changed.
void ApplyIconSpacing();
void SetListItemTexts(bool reportTexts);
void RebuildCellSizes();
// Thumbnail cell size in pixels (from ThumbSize and the screen's resolution).
int ThumbnailCellWidth();
int ThumbnailCellHeight();

// Selection.
int SelectedCount();
struct SelectedFile {
    std::string path;
    int index;
};
std::vector<SelectedFile> SelectedFiles(bool includeAlbums);
void SelectOnly(int index);  // unselect all, select and focus `index`, scroll it into view

// The text the list shows for entry `index` in the present mode: in List mode
// the five columns joined by " | ", in Details the lines of the row, in the
// thumbnail modes the label (empty without labels). For the script's state.
std::string ListItemShownText(int index);

// Sorting by gApp.sort; with keepSelection the same entries stay selected.
void SortList(bool keepSelection);
// Refills the list from gApp.currentFolder (after the recursive flag or the cell size changed).
void RefillFileList();

// The worker and the list's resources.
void StopThumbnailWorker();
// Whether the thumbnail worker is running (the script driver's idle waits for it).
bool BrowserBusy();
void FreeFileList();
void DestroyListImageLists();  // also the list's two fonts

// File ▸ Go to, the folder and file commands, the favorites and the
// selection commands: BrowserCommandReady tells which commands the browser
// runs (RunBrowserCommand).
bool BrowserCommandReady(int command);
void RunBrowserCommand(HWND mainWindow, int command);
// Puts the folders above the one shown (commands 1000-1009) into the Go to pop-up.
void FillGoToMenu(HMENU goToMenu);
// The file clipboard holds files (Paste is enabled).
bool FileClipboardHasFiles();
void FreeFileClipboard();
// Favorites drop-down (WM_INITMENUPOPUP of the fourth pop-up).
void FillFavoritesMenu(HMENU menu);
// Registers the album file type (every start).
void RegisterAlbumFileType();
// The options sheet's Associations page: its checks read from the classes
// hive before the sheet opens, and applied after its OK.
void ReadAssociationChoices();
void ApplyAssociationChoices();
// The browser's dialog templates, for the program's resource registration.
void RegisterBrowserDialogs();

}  // namespace fotrix
