// List boxes: a sorted list with a vertical scroll bar (tap the bar's arrows,
// channel or thumb), and a short list with several items selected by taps.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

constexpr const char* kNames[] = {"Sunset", "Harbour", "Alps", "Birthday", "Garden", "Lake", "Market",
                                  "Bridge", "Snow",   "Beach",   "Forest", "Castle", "River", "Train",
                                  "Desert", "Night",  "Autumn", "Island", "Zoo",    "Wedding"};

}  // namespace

void createListBoxesPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "Sorted, with a scroll bar", SS_LEFT, layout.row(14));
    HWND sorted = layout.add(WC_LISTBOX, "", LBS_STANDARD | kTabStop, layout.row(110));
    for (const char* name : kNames) SendMessage(sorted, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessage(sorted, LB_SETCURSEL, 3, 0);

    layout.add(WC_STATIC, "Several selected (taps toggle)", SS_LEFT, layout.row(14));
    RECT r = layout.rest();
    HWND many = layout.add(WC_LISTBOX, "", LBS_MULTIPLESEL | LBS_NOTIFY | kBorder | kTabStop, layout.column(r, 0, 2));
    for (int i = 0; i < 6; ++i) SendMessage(many, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNames[i]));
    SendMessage(many, LB_SETSEL, TRUE, 1);
    SendMessage(many, LB_SETSEL, TRUE, 4);
    RECT note = layout.column(r, 1, 2);
    layout.add(WC_STATIC, "Double-tap an item of the sorted list: the status line tells.", SS_LEFT, note);
}
