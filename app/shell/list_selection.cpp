// The file list's selection as the shell reads and sets it: straight from the
// list view, so that it is always what the user sees.
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"

#include <filesystem>

namespace fotrix {

namespace {

// With multiple selection on, the list takes selection changes from taps
// only; the program's own changes run with it off.
void setItemState(int index, UINT state, UINT mask)
{
    const int multiSelect = gApp.multiSelect;
    gApp.multiSelect = 0;
    LVITEM item{};
    item.stateMask = mask;
    item.state = state;
    SendMessage(gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    gApp.multiSelect = multiSelect;
}

int itemCount()
{
    if (!gApp.listWindow) return 0;
    return static_cast<int>(SendMessage(gApp.listWindow, LVM_GETITEMCOUNT, 0, 0));
}

}  // namespace

int ListSelectedCount()
{
    if (!gApp.listWindow) return 0;
    return static_cast<int>(SendMessage(gApp.listWindow, LVM_GETSELECTEDCOUNT, 0, 0));
}

std::vector<int> ListSelectedIndexes()
{
    std::vector<int> selected;
    if (!gApp.listWindow) return selected;
    int index = -1;
    while ((index = static_cast<int>(SendMessage(gApp.listWindow, LVM_GETNEXTITEM, static_cast<WPARAM>(index),
                                                 LVNI_SELECTED))) >= 0) {
        selected.push_back(index);
        if (selected.size() > static_cast<size_t>(itemCount())) break;  // a list that repeats itself
    }
    return selected;
}

void ListSelectOnly(int index)
{
    if (!gApp.listWindow || index < 0 || index >= itemCount()) return;
    setItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    setItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessage(gApp.listWindow, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void ListSetAllSelected(int how)
{
    if (!gApp.listWindow) return;
    int count = itemCount();
    for (int i = 0; i < count; ++i) {
        bool selected = SendMessage(gApp.listWindow, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) != 0;
        bool want = how == 1 || (how == 2 && !selected);
        if (want != selected) setItemState(i, want ? UINT{LVIS_SELECTED} : 0u, LVIS_SELECTED);
    }
}

std::string CurrentFileName()
{
    if (gApp.currentIndex < 0 || gApp.currentIndex >= fileCount()) return {};
    return std::filesystem::path(gApp.files[static_cast<size_t>(gApp.currentIndex)].path).filename().string();
}

void ShowEntry(int index, bool transition)
{
    if (index < 0 || index >= fileCount()) return;
    LoadIntoView(index, 0, transition);
    gApp.currentIndex = index;
    // The full-screen label names the picture shown, also after stepping to another.
    bool fullScreen = gApp.mode == ModeFullScreen || gApp.mode == ModeSlideshow;
    if (fullScreen && gApp.labelInFull) ViewSetLabel(CurrentFileName().c_str());
}

}  // namespace fotrix
