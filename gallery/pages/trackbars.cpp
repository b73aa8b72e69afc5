// Track bars: horizontal with and without ticks, ticks on both sides, vertical
// ones (minimum at the top), a disabled one, and one that drives a progress bar.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

HWND addBar(PageLayout& layout, const char* label, DWORD style, int position)
{
    layout.add(WC_STATIC, label, SS_LEFT, layout.row(14));
    HWND bar = layout.add(TRACKBAR_CLASS, "", style | kTabStop, layout.row(24));
    SendMessage(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
    SendMessage(bar, TBM_SETTICFREQ, 2, 0);
    SendMessage(bar, TBM_SETPOS, TRUE, position);
    return bar;
}

}  // namespace

void createTrackBarsPage(HWND page)
{
    PageLayout layout(page);
    addBar(layout, "Ticks below", TBS_AUTOTICKS, 5);
    addBar(layout, "No ticks", TBS_NOTICKS, 10);
    HWND driver = addBar(layout, "Moves the bar below", TBS_AUTOTICKS | TBS_BOTH, 15);
    HWND shown = layout.add(PROGRESS_CLASS, "", 0, layout.row(10));
    SendMessage(shown, PBM_SETRANGE32, 0, 20);
    SendMessage(shown, PBM_SETPOS, 15, 0);
    galleryLink(driver, shown, PBM_SETPOS);

    RECT r = layout.rest();
    HWND vertical = layout.add(TRACKBAR_CLASS, "", TBS_VERT | TBS_AUTOTICKS | kTabStop, layout.column(r, 0, 4));
    SendMessage(vertical, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendMessage(vertical, TBM_SETPOS, TRUE, 3);
    HWND disabled = layout.add(TRACKBAR_CLASS, "", TBS_VERT, layout.column(r, 1, 4));
    SendMessage(disabled, TBM_SETPOS, TRUE, 50);
    EnableWindow(disabled, FALSE);
    RECT note = layout.column(r, 2, 4);
    note.right = r.right;
    layout.add(WC_STATIC, "Vertical, and disabled: the minimum is at the top.", SS_LEFT, note);
}
