// Tab controls and up-down controls: tabs along the top and, as property sheets
// have them, along the bottom; between them number boxes stepped by an up-down
// control at their right: a range of 8 to 20, a horizontal one that wraps round
// from 60 to 1, one with thousands separators and a disabled one.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

HWND addTabs(PageLayout& layout, const char* label, DWORD style, std::initializer_list<const char*> names, int selected)
{
    layout.add(WC_STATIC, label, SS_LEFT, layout.row(14));
    HWND tabs = layout.add(WC_TABCONTROL, "", style | kTabStop, layout.row(40));
    int i = 0;
    for (const char* name : names) {
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendMessage(tabs, TCM_INSERTITEM, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
    }
    SendMessage(tabs, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return tabs;
}

// A bordered number with an up-down control made right after it (its buddy).
HWND addNumber(PageLayout& layout, const char* label, DWORD style, int lower, int upper, int position)
{
    RECT r = layout.row(22);
    RECT text = layout.column(r, 0, 2);
    RECT box = layout.column(r, 1, 2);
    text.top += ScaleForScreen(3);
    layout.add(WC_STATIC, label, SS_LEFT, text);
    box.right = box.left + (box.right - box.left) * 2 / 3;
    layout.add(WC_STATIC, "", SS_CENTER | kBorder, box);
    RECT arrows{box.right, box.top, box.right + ScaleForScreen(style & UDS_HORZ ? 28 : 14), box.bottom};
    HWND upDown = layout.add(UPDOWN_CLASS, "", UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | style, arrows);
    SendMessage(upDown, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    SendMessage(upDown, UDM_SETPOS32, 0, position);
    return upDown;
}

}  // namespace

void createTabsPage(HWND page)
{
    PageLayout layout(page);
    addTabs(layout, "Tabs along the top", 0, {"General", "Browser", "Viewer"}, 0);
    addNumber(layout, "Font size", 0, 8, 20, 12);
    addNumber(layout, "Seconds (wraps)", UDS_HORZ | UDS_WRAP, 1, 60, 58);
    addNumber(layout, "Thousands", 0, 0, 100000, 2500);
    HWND disabled = addNumber(layout, "Disabled", 0, 0, 10, 3);
    EnableWindow(disabled, FALSE);
    EnableWindow(reinterpret_cast<HWND>(SendMessage(disabled, UDM_GETBUDDY, 0, 0)), FALSE);
    addTabs(layout, "Along the bottom, as in property sheets", TCS_BOTTOM, {"Slides", "Sound", "Keys"}, 1);
}
