// Stand-ins for the browser until it is built: the panes are bare controls,
// the list stays empty and no browser command is ready (the menu greys them).
// The browser replaces this file piece by piece.
#include "app/browser/browser.h"
#include "platform/controls/listview.h"
#include "platform/controls/treeview.h"

namespace fotrix {

HWND CreateFolderTree(HWND parent)
{
    return CreateWindowEx(0, WC_TREEVIEW, "Tree View", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 0, 0, 0, 0,
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeControlId)), nullptr, nullptr);
}

HWND CreateFileList(HWND parent)
{
    return CreateWindowEx(0, WC_LISTVIEW, "List View",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), nullptr, nullptr);
}

bool NavigateTo(const std::string& folder) { return false; }
LRESULT OnTreeNotify(HWND, NMHDR*) { return 0; }
LRESULT OnListNotify(HWND, NMHDR*) { return 0; }
void OnThumbnailReady(int) {}
void OnFileChange(HWND, WPARAM, LPARAM) {}
void MeasureDetailsRow(MEASUREITEMSTRUCT*) {}
void DrawDetailsRow(const DRAWITEMSTRUCT*) {}
void ApplyIconSpacing() {}
void SetListItemTexts(bool) {}
void RebuildCellSizes() {}
int ThumbnailCellWidth() { return 60; }
int ThumbnailCellHeight() { return 60; }
int SelectedCount() { return 0; }
std::vector<SelectedFile> SelectedFiles(bool) { return {}; }
void SelectOnly(int) {}
void SortList(bool) {}
void RefillFileList() {}
void StopThumbnailWorker() {}
void FreeFileList() { gApp.files.clear(); }
void DestroyListImageLists() {}
bool BrowserCommandReady(int) { return false; }
void RunBrowserCommand(HWND, int) {}
bool FileClipboardHasFiles() { return false; }
void FreeFileClipboard() {}
void FillFavoritesMenu(HMENU) {}
void RegisterAlbumFileType() {}

}  // namespace fotrix
