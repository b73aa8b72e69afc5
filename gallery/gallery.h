#pragma once
// The gallery's page table: every page has a name (for --page and for the
// screenshot file names), a title shown above it, and a function that creates
// its controls as children of `page`, placed inside the page's client area.
#include "platform/controls/controls.h"
#include "platform/windows.h"

#include <span>

struct GalleryPage {
    const char* name;   // short, lower case, no spaces: "buttons"
    const char* title;  // shown between the Prev and Next buttons
    void (*create)(HWND page);
};

// Hands a GDI object to the page, which deletes it when the page is closed
// (controls do not own the pictures and fonts they are given).
void galleryOwn(HWND page, HGDIOBJ object);

// Makes the page pass what `source` reports on to `target`: a tap (WM_COMMAND)
// sends `message` with no arguments, a move of a track bar (WM_HSCROLL or
// WM_VSCROLL) sends `message` with the track bar's position in wParam.
void galleryLink(HWND source, HWND target, UINT message);

// Destroys `dialog` (a top-level window, such as a modeless message box or
// property sheet) together with the page.
void galleryKeep(HWND page, HWND dialog);
// True while the program runs only to write a screenshot; pages whose point is
// a passing state (an open menu) may show it then.
bool galleryScreenshotRun();
void gallerySetScreenshotRun(bool on);

// Every page, in the order the gallery shows them (pages.cpp).
std::span<const GalleryPage> galleryPages();

// The page functions, one per file in pages/.
void createButtonsPage(HWND page);
void createStaticsPage(HWND page);
void createProgressPage(HWND page);
void createTrackBarsPage(HWND page);
void createListReportPage(HWND page);
void createListIconsPage(HWND page);
void createTreeViewPage(HWND page);
void createEditsPage(HWND page);
void createCombosPage(HWND page);
void createTabsPage(HWND page);
void createListBoxesPage(HWND page);
void createDialogsPage(HWND page);
void createMessageBoxPage(HWND page);
void createPropertySheetPage(HWND page);
void createMenusPage(HWND page);
