// What the file list tells the main window (WM_NOTIFY from control 1001), as
// a table of handlers by notification code.
#include "app/browser/browser_internal.h"

#include "app/browser/shell_calls.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"

namespace fotrix {

void ToggleSelected(int index);
LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw);

namespace {

bool becameSelected(const NMLISTVIEW* change)
{
    return (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
}

LRESULT onItemChanged(NMHDR* header)
{
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE)) return 0;
    if (becameSelected(change) && gApp.mode == ModeStrip && change->iItem >= 0) LoadIntoView(change->iItem, 0, false);
    UpdateMenuState();
    return 0;
}

// In multiple selection mode taps must not change the selection by themselves.
LRESULT onItemChanging(NMHDR*) { return gApp.multiSelect && !gProgramSelects ? TRUE : FALSE; }

LRESULT onClick(NMHDR* header)
{
    const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (gApp.multiSelect && click->iItem >= 0) ToggleSelected(click->iItem);
    return 0;
}

// Double tap or Return: open the focused picture.
LRESULT onActivate(NMHDR*)
{
    HWND list = gApp.listWindow;
    int index = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (index < 0 || !(ListView_GetItemState(list, index, LVIS_SELECTED)))
        index = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (index < 0 || index >= fileCount()) return 0;
    OpenInViewer(index);
    return 0;
}

LRESULT onCustomDraw(NMHDR* header) { return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header)); }

struct ListHandler {
    UINT code;
    LRESULT (*handle)(NMHDR*);
};
constexpr ListHandler kHandlers[] = {
    {LVN_ITEMCHANGED, onItemChanged}, {LVN_ITEMCHANGING, onItemChanging}, {NM_CLICK, onClick},
    {NM_DBLCLK, onActivate},          {NM_RETURN, onActivate},            {NM_CUSTOMDRAW, onCustomDraw},
};

}  // namespace

LRESULT OnListNotify(HWND, NMHDR* header)
{
    if (!header) return 0;
    for (const ListHandler& handler : kHandlers)
        if (handler.code == header->code) return handler.handle(header);
    return 0;
}

}  // namespace fotrix
