// The selection operations every tool uses, and multiple selection mode.
#include "app/browser/browser_internal.h"

#include "platform/controls/listview.h"

namespace fotrix {

int SelectedCount()
{
    HWND list = gApp.listWindow;
    if (!list) return 0;
    if (!gApp.multiSelect) return static_cast<int>(ListView_GetSelectedCount(list));
    int count = 0;
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
        if (ListView_GetItemState(list, i, LVIS_SELECTED)) ++count;
    return count;
}

std::vector<SelectedFile> SelectedFiles(bool includeAlbums)
{
    std::vector<SelectedFile> selected;
    HWND list = gApp.listWindow;
    if (!list) return selected;
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0 && i < fileCount();
         i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
        const FileEntry& entry = gApp.files[static_cast<size_t>(i)];
        if (entry.state == EntryAlbum && !includeAlbums) continue;
        selected.push_back({entry.path, i});
    }
    return selected;
}

void SelectOnly(int index)
{
    HWND list = gApp.listWindow;
    if (!list || index < 0 || index >= ListView_GetItemCount(list)) return;
    ProgramSelection own;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, index);
    ListView_EnsureVisible(list, index, FALSE);
}

// Toggles the selection of one item (a tap in multiple selection mode).
void ToggleSelected(int index)
{
    HWND list = gApp.listWindow;
    if (!list || index < 0 || index >= ListView_GetItemCount(list)) return;
    ProgramSelection own;
    const UINT state = ListView_GetItemState(list, index, LVIS_SELECTED);
    ListView_SetItemState(list, index, state ? 0u : static_cast<UINT>(LVIS_SELECTED), LVIS_SELECTED);
}

// Select all, none, or the inverse of the present selection.
void SelectAllItems(bool select)
{
    HWND list = gApp.listWindow;
    if (!list) return;
    ProgramSelection own;
    ListView_SetItemState(list, -1, select ? static_cast<UINT>(LVIS_SELECTED) : 0u, LVIS_SELECTED);
}

void InvertSelection()
{
    HWND list = gApp.listWindow;
    if (!list) return;
    ProgramSelection own;
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
        ListView_SetItemState(list, i, ListView_GetItemState(list, i, LVIS_SELECTED) ? 0u : static_cast<UINT>(LVIS_SELECTED),
                              LVIS_SELECTED);
}

}  // namespace fotrix
