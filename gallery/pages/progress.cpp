// Progress bars: empty, part-filled and full, a 32-bit range, a vertical bar
// that fills from the bottom, and one that steps forward each time Step is tapped
// (the page reports the tap; the bar steps itself through PBM_STEPIT).
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

HWND addBar(PageLayout& layout, const char* label, int position, DWORD style = 0)
{
    layout.add(WC_STATIC, label, SS_LEFT, layout.row(14));
    HWND bar = layout.add(PROGRESS_CLASS, "", style, layout.row(14));
    SendMessage(bar, PBM_SETPOS, position, 0);
    return bar;
}

}  // namespace

void createProgressPage(HWND page)
{
    PageLayout layout(page);
    addBar(layout, "Empty", 0);
    addBar(layout, "A third", 33);
    addBar(layout, "Full", 100);
    layout.add(WC_STATIC, "Range 0 to 1,000,000 at 750,000", SS_LEFT, layout.row(14));
    HWND wide = layout.add(PROGRESS_CLASS, "", 0, layout.row(14));
    SendMessage(wide, PBM_SETRANGE32, 0, 1000000);
    SendMessage(wide, PBM_SETPOS, 750000, 0);

    RECT r = layout.rest();
    RECT left = layout.column(r, 0, 4);
    HWND vertical = layout.add(PROGRESS_CLASS, "", PBS_VERTICAL, left);
    SendMessage(vertical, PBM_SETPOS, 60, 0);
    RECT right = layout.column(r, 1, 4);
    right.right = r.right;
    right.bottom = right.top + ScaleForScreen(kRowHeight96);
    HWND stepper = layout.add(PROGRESS_CLASS, "", 0, right);
    SendMessage(stepper, PBM_SETSTEP, 10, 0);
    OffsetRect(&right, 0, ScaleForScreen(kRowHeight96 + 4));
    right.right = layout.column(r, 2, 4).right;
    HWND step = layout.add(WC_BUTTON, "Step", BS_PUSHBUTTON | kTabStop, right);
    galleryLink(step, stepper, PBM_STEPIT);
}
