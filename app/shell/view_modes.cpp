// The seven display modes: the list's style and columns, which panes show,
// and the full-screen switch of FullScreen and Slideshow.
#include "app/browser/browser.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"

#include <filesystem>

namespace fotrix {

namespace {

// The style bits each browse mode replaces in the list (mask 0x304C03).
constexpr DWORD kListStyleMask = 0x304C03;
constexpr DWORD kListStyles[] = {
    LVS_ICON,                                            // Thumbnails
    LVS_REPORT,                                          // List
    LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER,  // Details
    LVS_ICON | LVS_ALIGNLEFT | WS_HSCROLL,               // Strip
};

int newModeFor(int command)
{
    if (command == CmdModeImage || command == CmdModeFullScreen) {
        gApp.returnMode = gApp.mode;
        return command == CmdModeImage ? ModeImage : ModeFullScreen;
    }
    return command - CmdModeThumbnails;
}

void setListStyle(int mode)
{
    HWND list = gApp.listWindow;
    if (!list) return;
    DWORD style = static_cast<DWORD>(GetWindowLong(list, GWL_STYLE));
    SetWindowLong(list, GWL_STYLE, static_cast<LONG>((style & ~kListStyleMask) | kListStyles[mode]));
    ApplyIconSpacing();
    SetListItemTexts(mode == ModeList);
}

void show(HWND pane, bool on)
{
    if (pane) ShowWindow(pane, on ? SW_SHOW : SW_HIDE);
}

void showPanesFor(int mode)
{
    std::vector<int> selected = ListSelectedIndexes();
    int chosen = selected.empty() ? gApp.currentIndex : selected.front();
    if (mode == ModeStrip) {
        ViewSetLabel(nullptr);
        show(gApp.treeWindow, false);
        show(gApp.listWindow, true);
        show(gApp.viewWindow, true);
        ShowEntry(chosen, false);
    } else if (isBrowseMode(mode)) {
        ViewSetLabel(nullptr);
        show(gApp.viewWindow, false);
        show(gApp.listWindow, !gApp.listHidden);
        show(gApp.treeWindow, !gApp.treeHidden);
    } else {
        show(gApp.treeWindow, false);
        show(gApp.listWindow, false);
        show(gApp.viewWindow, true);
        ShowEntry(chosen, false);
        std::string name = CurrentFileName();
        bool label = mode == ModeFullScreen && gApp.labelInFull && !name.empty();
        ViewSetLabel(label ? name.c_str() : nullptr);
        if (mode == ModeFullScreen) EnterFullScreenPlacement();
    }
}

// Details shows one column across the list; the other modes get back the
// widths the columns had.
// Widths are saved only when coming from another mode: Details over Details
// would save its own zero widths and lose the real ones.
void setColumnWidths(int mode, int previous)
{
    HWND list = gApp.listWindow;
    if (!list) return;
    if (mode == ModeDetails) {
        for (int c = 0; c < 5 && previous != ModeDetails; ++c)
            gShell.columnWidths[c] = static_cast<int>(SendMessage(list, LVM_GETCOLUMNWIDTH, c, 0));
        for (int c = 1; c < 5; ++c) SendMessage(list, LVM_SETCOLUMNWIDTH, c, 0);
        RECT client{};
        GetClientRect(list, &client);
        SendMessage(list, LVM_SETCOLUMNWIDTH, 0, client.right);
        return;
    }
    for (int c = 1; c < 5; ++c) SendMessage(list, LVM_SETCOLUMNWIDTH, c, gShell.columnWidths[c]);
    SendMessage(list, LVM_SETCOLUMNWIDTH, 0, gShell.columnWidths[0]);
}

}  // namespace

// The window's place is saved once: going from FullScreen into a slideshow
// keeps the place it had before either.
void EnterFullScreenPlacement()
{
    if (!gShell.fullScreen) GetWindowRect(gApp.mainWindow, &gApp.savedWindowRect);
    gShell.fullScreen = true;
    if (gApp.menuBar) ShowWindow(gApp.menuBar, SW_HIDE);
    MoveWindow(gApp.mainWindow, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
    SHFullScreen(gApp.mainWindow, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
}

void LeaveFullScreenPlacement()
{
    if (!gShell.fullScreen) return;
    gShell.fullScreen = false;
    if (gApp.menuBar) ShowWindow(gApp.menuBar, SW_SHOW);
    const RECT& r = gApp.savedWindowRect;
    SHFullScreen(gApp.mainWindow, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    MoveWindow(gApp.mainWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void SetViewMode(int command)
{
    if (command < CmdModeThumbnails || command > CmdModeFullScreen) return;
    if (command != CmdModeFullScreen && gApp.mode == ModeFullScreen) LeaveFullScreenPlacement();
    int previous = gApp.mode;
    int mode = newModeFor(command);
    gApp.mode = mode;
    if (gApp.listWindow) SendMessage(gApp.listWindow, WM_SETREDRAW, FALSE, 0);
    if (isBrowseMode(mode)) setListStyle(mode);
    showPanesFor(mode);
    LayoutMainWindow();
    setColumnWidths(mode, previous);
    if (gApp.listWindow) {
        SendMessage(gApp.listWindow, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(gApp.listWindow, nullptr, TRUE);
    }
    InvalidateRect(gApp.mainWindow, nullptr, TRUE);
    CheckModeItem();
    UpdateMenuState();
}

}  // namespace fotrix
