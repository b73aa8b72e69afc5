// Layout of the panes in each mode, and the splitter between tree and list:
// two buttons that hide one pane, and a drag that moves the boundary.
#include "app/browser/browser.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "platform/controls/imagelist.h"

#include <algorithm>

namespace fotrix {

namespace {

RECT clientRect()
{
    RECT client{};
    GetClientRect(gApp.mainWindow, &client);
    return client;
}

void place(HWND pane, int top, int bottom, int width)
{
    if (pane) MoveWindow(pane, 0, top, width, std::max(0, bottom - top), TRUE);
}

int scaleY(int n) { return (n * gApp.dpiY + 48) / 96; }

void layoutStrip(const RECT& client)
{
    int label = scaleY(gApp.showLabel ? 24 : 16);
    int listHeight = ThumbnailCellHeight() + GetSystemMetrics(SM_CYHSCROLL) + label;
    place(gApp.listWindow, client.top, client.top + listHeight, client.right);
    place(gApp.viewWindow, client.top + listHeight, client.bottom, client.right);
}

void layoutBrowser(const RECT& client)
{
    if (gApp.treeHidden) {
        place(gApp.listWindow, client.top + kSplitterBar, client.bottom, client.right);
    } else if (gApp.listHidden) {
        place(gApp.treeWindow, client.top, client.bottom - kSplitterBar, client.right);
    } else {
        int treeBottom = client.top + gApp.treeViewHeight;
        place(gApp.treeWindow, client.top, treeBottom, client.right);
        place(gApp.listWindow, treeBottom + kSplitterBar, client.bottom, client.right);
    }
}

// Top of the 8-pixel bar: below the tree, or at the top when the tree is hidden.
int splitterTop(const RECT& client)
{
    if (gApp.treeHidden) return client.top;
    if (gApp.listHidden) return client.bottom - kSplitterBar;
    return client.top + gApp.treeViewHeight;
}

bool splitterShown() { return gApp.mode >= ModeThumbnails && gApp.mode <= ModeDetails; }

void showBothPanes()
{
    gApp.treeHidden = 0;
    gApp.listHidden = 0;
    if (gApp.treeWindow) ShowWindow(gApp.treeWindow, SW_SHOW);
    if (gApp.listWindow) ShowWindow(gApp.listWindow, SW_SHOW);
}

void relayout(HWND hwnd)
{
    LayoutMainWindow();
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace

void LayoutMainWindow()
{
    if (!gApp.mainWindow) return;
    RECT client = clientRect();
    if (gApp.mode >= ModeImage) {
        place(gApp.viewWindow, client.top, client.bottom, client.right);
    } else if (gApp.mode == ModeStrip) {
        layoutStrip(client);
    } else {
        layoutBrowser(client);
    }
}

void PaintSplitter(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (splitterShown() && gApp.splitterImages) {
        int y = splitterTop(clientRect()) + 1;
        int first = gApp.treeHidden ? 3 : gApp.listHidden ? 1 : 2;
        ImageList_Draw(gApp.splitterImages, first, dc, 2, y, ILD_TRANSPARENT);
        if (!gApp.treeHidden && !gApp.listHidden) ImageList_Draw(gApp.splitterImages, 0, dc, 34, y, ILD_TRANSPARENT);
    }
    EndPaint(hwnd, &ps);
}

void SplitterButtonDown(HWND hwnd, int x, int y)
{
    if (!splitterShown() || x < 67) return;
    SetCapture(hwnd);
    gShell.dragging = true;
    gShell.dragStartY = y;
    gShell.dragStartHeight = gApp.treeViewHeight;
    showBothPanes();
}

// Neither pane ends up lower than 40 pixels.
void SplitterMouseMove(HWND hwnd, int y)
{
    if (!gShell.dragging) return;
    RECT client = clientRect();
    int height = std::max(kMinPaneHeight, gShell.dragStartHeight + (y - gShell.dragStartY));
    int clientHeight = client.bottom - client.top;
    if (clientHeight - height - client.top - kSplitterBar < kMinPaneHeight)
        height = clientHeight - client.top - kSplitterBar - kMinPaneHeight;
    gApp.treeViewHeight = height;
    relayout(hwnd);
}

void SplitterButtonUp(HWND hwnd, int x)
{
    if (gShell.dragging) {
        gShell.dragging = false;
        ReleaseCapture();
        return;
    }
    if (!splitterShown()) return;
    bool left = x >= 5 && x < 35;
    if (gApp.treeHidden && left) {
        gApp.treeHidden = 0;
        if (gApp.treeWindow) ShowWindow(gApp.treeWindow, SW_SHOW);
    } else if (gApp.listHidden && left) {
        gApp.listHidden = 0;
        if (gApp.listWindow) ShowWindow(gApp.listWindow, SW_SHOW);
    } else if (!gApp.treeHidden && !gApp.listHidden && x >= 36 && x < 66) {
        gApp.treeHidden = 1;
        if (gApp.treeWindow) ShowWindow(gApp.treeWindow, SW_HIDE);
    } else if (!gApp.treeHidden && !gApp.listHidden && left) {
        gApp.listHidden = 1;
        if (gApp.listWindow) ShowWindow(gApp.listWindow, SW_HIDE);
    } else {
        return;
    }
    relayout(hwnd);
}

}  // namespace fotrix
