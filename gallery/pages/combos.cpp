// Combo boxes: a drop-down list, a sorted one longer than its list (it
// scrolls), one with an edit field, a disabled one, and one at the bottom of
// the page whose list opens above it.
#include "gallery/gallery.h"
#include "gallery/layout.h"

#include <string>

namespace {

// The box's rectangle holds its field and its dropped list: `list96` more
// pixels (at 96 dpi) below the row.
HWND addBox(PageLayout& layout, const char* label, DWORD style, int list96)
{
    layout.add(WC_STATIC, label, SS_LEFT, layout.row(14));
    RECT r = layout.row(20);
    r.bottom += ScaleForScreen(list96);
    return layout.add(WC_COMBOBOX, "", style | kTabStop, r);
}

void addItems(HWND box, std::initializer_list<const char*> items)
{
    for (const char* item : items) SendMessage(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

}  // namespace

void createCombosPage(HWND page)
{
    PageLayout layout(page);
    HWND languages = addBox(layout, "Drop-down list", CBS_DROPDOWNLIST, 100);
    addItems(languages, {"en - English", "de - Deutsch", "fr - Fran\xC3\xA7" "ais", "es - Espa\xC3\xB1ol", "it - Italiano"});
    SendMessage(languages, CB_SETCURSEL, 0, 0);

    HWND sorted = addBox(layout, "Sorted, 30 items: the list scrolls", CBS_DROPDOWNLIST | CBS_SORT, 120);
    for (int i = 30; i >= 1; --i) {
        std::string item = "Picture " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        SendMessage(sorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessage(sorted, CB_SETCURSEL, 4, 0);

    HWND typed = addBox(layout, "With an edit field", CBS_DROPDOWN, 80);
    addItems(typed, {"red", "green", "blue"});
    SetWindowText(typed, "any colour");

    HWND disabled = addBox(layout, "Disabled", CBS_DROPDOWNLIST, 60);
    addItems(disabled, {"Cannot open"});
    SendMessage(disabled, CB_SETCURSEL, 0, 0);
    EnableWindow(disabled, FALSE);

    RECT rest = layout.rest();
    RECT bottom{rest.left, rest.bottom - ScaleForScreen(20), rest.right, rest.bottom + ScaleForScreen(120)};
    HWND above = layout.add(WC_COMBOBOX, "", CBS_DROPDOWNLIST | kTabStop, bottom);
    addItems(above, {"Opens above", "when there is", "no room", "below it", "for its", "six items"});
    SendMessage(above, CB_SETCURSEL, 0, 0);
}
