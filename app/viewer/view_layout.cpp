// Layout: the display size by the fit rule or the zoom, the scroll range and
// position (centred when the picture is smaller than the window) and the
// scroll bars. Runs after every change of picture, zoom, fit rule, size or
// scroll-bar flag.
#include "app/viewer/view_state.h"

#include <algorithm>

namespace fotrix {

namespace {

struct Client {
    int w = 0, h = 0;
    bool reducedW = false, reducedH = false;
};

int scaled(int n, int numerator, int denominator)
{
    if (denominator <= 0) return 1;
    return std::max(1, static_cast<int>(static_cast<long long>(n) * numerator / denominator));
}

// The client size as if no scroll bar were shown.
Client fullClient(HWND view)
{
    RECT rc;
    GetClientRect(view, &rc);
    Client c{rc.right - rc.left, rc.bottom - rc.top};
    LONG style = GetWindowLong(view, GWL_STYLE);
    if (style & WS_VSCROLL) c.w += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) c.h += GetSystemMetrics(SM_CYHSCROLL);
    return c;
}

void hideBars(HWND view)
{
    if (GetWindowLong(view, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) ShowScrollBar(view, SB_BOTH, FALSE);
}

// The largest size with the picture's proportions inside the client.
void fitInside(ViewState& s, const Client& c)
{
    int width = scaled(s.pictureWidth, c.h, s.pictureHeight);
    if (width <= c.w) {
        s.displayWidth = width;
        s.displayHeight = std::max(1, c.h);
    } else {
        s.displayWidth = std::max(1, c.w);
        s.displayHeight = scaled(s.pictureHeight, c.w, s.pictureWidth);
    }
}

void sizeByWidth(ViewState& s, Client& c)
{
    s.displayWidth = std::max(1, c.w);
    s.displayHeight = scaled(s.pictureHeight, c.w, s.pictureWidth);
    if (s.displayHeight > c.h && !c.reducedW) {
        c.w -= GetSystemMetrics(SM_CXVSCROLL);
        c.reducedW = true;
        sizeByWidth(s, c);
    }
}

void sizeByHeight(ViewState& s, Client& c)
{
    s.displayHeight = std::max(1, c.h);
    s.displayWidth = scaled(s.pictureWidth, c.h, s.pictureHeight);
    if (s.displayWidth > c.w && !c.reducedH) {
        c.h -= GetSystemMetrics(SM_CYHSCROLL);
        c.reducedH = true;
        sizeByHeight(s, c);
    }
}

// Room the scroll bars take when the display is larger than the client.
void reserveBars(const ViewState& s, Client& c)
{
    if (s.displayWidth > c.w && !c.reducedH) {
        c.h -= GetSystemMetrics(SM_CYHSCROLL);
        c.reducedH = true;
    }
    if (s.displayHeight > c.h && !c.reducedW) {
        c.w -= GetSystemMetrics(SM_CXVSCROLL);
        c.reducedW = true;
    }
    if (s.displayWidth > c.w && !c.reducedH) {
        c.h -= GetSystemMetrics(SM_CYHSCROLL);
        c.reducedH = true;
    }
}

// One axis: the largest scroll position shows the last display pixel at the
// client's edge; a display smaller than the client is centred.
void placeAxis(int display, int client, int& scroll, int& maxScroll)
{
    if (display > client) {
        maxScroll = display - client;
        scroll = std::clamp(scroll, 0, maxScroll);
    } else {
        maxScroll = 0;
        scroll = (display - client) / 2;
    }
}

void showBar(HWND view, int bar, int display, int client, int position)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = display - 1;
    info.nPage = static_cast<UINT>(std::max(client, 0));
    info.nPos = std::max(position, 0);
    SetScrollInfo(view, bar, &info, TRUE);
}

void layoutPicture(HWND view, ViewState& s, bool forceRender)
{
    Client c = fullClient(view);
    bool fits = s.pictureWidth <= c.w && s.pictureHeight <= c.h;
    if (s.fitMode == FitWindow || (s.fitMode == ShrinkLarge && !fits)) {
        fitInside(s, c);
        hideBars(view);
        s.scrollX = -(c.w - s.displayWidth) / 2;
        s.scrollY = -(c.h - s.displayHeight) / 2;
        s.zoomX = s.displayWidth * 100 / s.pictureWidth;
        s.zoomY = s.displayHeight * 100 / s.pictureHeight;
        s.maxScrollX = s.maxScrollY = 0;
        displayRender(s, forceRender);
        return;
    }
    switch (s.fitMode) {
    case ShrinkLarge:
        s.zoomX = s.zoomY = 100;
        s.displayWidth = s.pictureWidth;
        s.displayHeight = s.pictureHeight;
        break;
    case FitWidth: sizeByWidth(s, c); break;
    case FitHeight: sizeByHeight(s, c); break;
    default:
        s.displayWidth = scaled(s.pictureWidth, s.zoomX, 100);
        s.displayHeight = scaled(s.pictureHeight, s.zoomY, 100);
    }
    if (s.fitMode == FitWidth || s.fitMode == FitHeight) {
        s.zoomX = s.displayWidth * 100 / s.pictureWidth;
        s.zoomY = s.displayHeight * 100 / s.pictureHeight;
    }
    if (s.useScrollbars) reserveBars(s, c);
    displayRender(s, forceRender);
    placeAxis(s.displayWidth, c.w, s.scrollX, s.maxScrollX);
    placeAxis(s.displayHeight, c.h, s.scrollY, s.maxScrollY);
    if (!s.useScrollbars) return;
    showBar(view, SB_HORZ, s.displayWidth, c.w, s.scrollX);
    showBar(view, SB_VERT, s.displayHeight, c.h, s.scrollY);
}

}  // namespace

bool viewHasPicture(const ViewState& s) { return s.hasBitmap || s.deviceBitmap != nullptr; }

void viewLayout(HWND view, ViewState& s, bool forceRender)
{
    if (s.inLayout) return;
    s.inLayout = true;
    if (!s.useScrollbars) hideBars(view);
    if (viewHasPicture(s) && s.pictureWidth > 0 && s.pictureHeight > 0) {
        layoutPicture(view, s, forceRender);
    } else {
        s.displayWidth = s.displayHeight = 0;
        s.maxScrollX = s.maxScrollY = 0;
        displayFree(s.display);
        hideBars(view);
    }
    s.inLayout = false;
}

}  // namespace fotrix
