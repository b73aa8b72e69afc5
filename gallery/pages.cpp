// The gallery's pages, in the order they are shown. A new page is one file in
// pages/ with its create function (declared in gallery.h) and one line here.
#include "gallery/gallery.h"

namespace {

constexpr GalleryPage kPages[] = {
    {"buttons", "Buttons", createButtonsPage},
    {"statics", "Static text and pictures", createStaticsPage},
    {"progress", "Progress bars", createProgressPage},
    {"trackbars", "Track bars", createTrackBarsPage},
    {"menus", "Menus and the menu bar", createMenusPage},
};

}  // namespace

std::span<const GalleryPage> galleryPages() { return kPages; }
