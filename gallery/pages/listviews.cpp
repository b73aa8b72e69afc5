// List views: a report with columns, small icons and full-row selection; the
// large icons with check boxes; and the one-row strip of icons that scrolls
// sideways. The icons are the system's folder and file icons.
#include "gallery/gallery.h"
#include "gallery/layout.h"

#include <string>

namespace {

struct Sample {
    const char* name;
    int icon;
    const char* size;
    const char* type;
};

constexpr Sample kSamples[] = {
    {"My Device", SYSICON_DEVICE, "", "Device"},
    {"Storage Card", SYSICON_STORAGE_CARD, "", "Storage Card"},
    {"Pictures", SYSICON_FOLDER, "", "Folder"},
    {"Open folder", SYSICON_FOLDER_OPEN, "", "Folder"},
    {"beach.jpg", SYSICON_PICTURE, "812 KB", "JPG File"},
    {"holiday.alb", SYSICON_ALBUM, "4.20 MB", "ALB File"},
    {"notes.txt", SYSICON_FILE, "2 KB", "TXT File"},
    {"sunset.png", SYSICON_PICTURE, "1.31 MB", "PNG File"},
};

HIMAGELIST systemImages(bool small)
{
    SHFILEINFO info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(nullptr, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX | (small ? static_cast<UINT>(SHGFI_SMALLICON) : 0u)));
}

void addSamples(HWND list, int copies)
{
    int n = 0;
    for (int copy = 0; copy < copies; ++copy)
        for (const Sample& s : kSamples) {
            std::string name = copy ? std::string(s.name) + " " + std::to_string(copy + 1) : s.name;
            LVITEM item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = n;
            item.iImage = s.icon;
            item.pszText = name.data();
            ListView_InsertItem(list, &item);
            ListView_SetItemText(list, n, 1, s.size);
            ListView_SetItemText(list, n, 2, s.type);
            ++n;
        }
}

void addColumn(HWND list, int index, const char* text, int width96, int fmt)
{
    LVCOLUMN c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = const_cast<char*>(text);
    c.cx = ScaleForScreen(width96);
    c.fmt = fmt;
    ListView_InsertColumn(list, index, &c);
}

}  // namespace

void createListReportPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "Report: tap a row, or use the arrow keys.", SS_LEFT, layout.row(14));
    HWND list = layout.add(WC_LISTVIEW, "", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | kBorder | kTabStop,
                           layout.rest());
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list, systemImages(true), LVSIL_SMALL);
    addColumn(list, 0, "Name", 100, LVCFMT_LEFT);
    addColumn(list, 1, "Size", 56, LVCFMT_RIGHT);
    addColumn(list, 2, "Type", 80, LVCFMT_LEFT);
    addSamples(list, 4);
    ListView_SetItemState(list, 4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void createListIconsPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "Icons with check boxes:", SS_LEFT, layout.row(14));
    RECT icons = layout.row(100);
    HWND grid = layout.add(WC_LISTVIEW, "", LVS_ICON | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | kBorder | kTabStop, icons);
    ListView_SetExtendedListViewStyle(grid, LVS_EX_CHECKBOXES);
    ListView_SetImageList(grid, systemImages(false), LVSIL_NORMAL);
    ListView_SetIconSpacing(grid, ScaleForScreen(72), ScaleForScreen(60));
    addSamples(grid, 2);
    ListView_SetCheckState(grid, 2, TRUE);
    ListView_SetItemState(grid, 4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    layout.add(WC_STATIC, "The strip (left-aligned, one row):", SS_LEFT, layout.row(14));
    HWND strip = layout.add(WC_LISTVIEW, "", LVS_ICON | LVS_ALIGNLEFT | LVS_SHAREIMAGELISTS | kBorder | kTabStop,
                            layout.rest());
    ListView_SetImageList(strip, systemImages(false), LVSIL_NORMAL);
    // One cell as high as the strip leaves above its horizontal scroll bar.
    RECT client;
    GetClientRect(strip, &client);
    ListView_SetIconSpacing(strip, ScaleForScreen(64), client.bottom - GetSystemMetrics(SM_CYHSCROLL));
    addSamples(strip, 2);
    ListView_SetItemState(strip, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
