// Edit fields: plain text that scrolls, a numbers-only field of four digits,
// right-aligned and centred text, a password, a read-only field with a
// selection that shows without the focus, a disabled field,
// and one that turns what is typed into capitals. Each row is a label at the
// left and its field at the right; a double tap selects a word.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

HWND addField(PageLayout& layout, const char* label, const char* text, DWORD style)
{
    RECT r = layout.row(20);
    RECT left = layout.column(r, 0, 5);
    left.right = layout.column(r, 1, 5).right;
    RECT right = layout.column(r, 2, 5);
    right.right = r.right;
    layout.add(WC_STATIC, label, SS_LEFT, layout.inset(left, 0, 3, 0, 0));
    return layout.add(WC_EDIT, text, style | kBorder | kTabStop, right);
}

}  // namespace

void createEditsPage(HWND page)
{
    PageLayout layout(page);
    addField(layout, "Text", "Tap, type, drag to select", ES_AUTOHSCROLL);
    HWND digits = addField(layout, "4 digits", "2026", ES_NUMBER | ES_AUTOHSCROLL);
    SendMessage(digits, EM_LIMITTEXT, 4, 0);
    addField(layout, "Right", "42", ES_RIGHT);
    addField(layout, "Centred", "middle", ES_CENTER);
    addField(layout, "Password", "secret", ES_PASSWORD | ES_AUTOHSCROLL);
    // Its selection shows even without the focus (ES_NOHIDESEL).
    HWND fixed = addField(layout, "Read-only", "Select and copy me", ES_READONLY | ES_NOHIDESEL | ES_AUTOHSCROLL);
    SendMessage(fixed, EM_SETSEL, 11, 18);
    HWND disabled = addField(layout, "Disabled", "Greyed out", ES_AUTOHSCROLL);
    EnableWindow(disabled, FALSE);
    addField(layout, "Capitals", "TYPE HERE", ES_UPPERCASE | ES_AUTOHSCROLL);
    layout.add(WC_STATIC, "A double tap selects a word.", SS_LEFT, layout.rest());
}
