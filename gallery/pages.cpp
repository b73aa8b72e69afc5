// The gallery's pages, in the order they are shown. A new page is one file in
// pages/ with its create function (declared in gallery.h) and one line here.
#include "gallery/gallery.h"

namespace {

constexpr GalleryPage kPages[] = {
    {"buttons", "Buttons", createButtonsPage},
    {"statics", "Static text and pictures", createStaticsPage},
    {"progress", "Progress bars", createProgressPage},
    {"trackbars", "Track bars", createTrackBarsPage},
    {"listreport", "List view: report", createListReportPage},
    {"listicons", "List view: icons and strip", createListIconsPage},
    {"treeview", "Tree views", createTreeViewPage},
    {"edits", "Edit fields", createEditsPage},
    {"combos", "Combo boxes", createCombosPage},
    {"tabs", "Tabs and up-down controls", createTabsPage},
    {"listboxes", "List boxes", createListBoxesPage},
    {"dialogs", "Dialogs", createDialogsPage},
    {"messagebox", "Message box", createMessageBoxPage},
    {"propsheet", "Property sheet", createPropertySheetPage},
    {"menus", "Menus and the menu bar", createMenusPage},
};

}  // namespace

std::span<const GalleryPage> galleryPages() { return kPages; }
