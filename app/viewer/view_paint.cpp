// Painting a view: the background bands around the picture, the exposed part
// of the picture, the selection frame and the label.
#include "app/viewer/view_handlers.h"
#include "app/viewer/view_state.h"
#include "app/viewer/view_window.h"

#include <algorithm>

namespace fotrix {

namespace {

constexpr COLORREF kFrameColour = 0x0000FF;  // red
constexpr COLORREF kLabelShadow = 0xFFFFFF;
constexpr COLORREF kLabelColour = 0x0000FF;

void fillBand(HDC dc, HBRUSH brush, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) return;
    RECT band{left, top, right, bottom};
    FillRect(dc, &band, brush);
}

void paintBackground(HDC dc, const ViewState& s, const RECT& client)
{
    HBRUSH brush = CreateSolidBrush(s.background);
    if (!viewHasPicture(s)) {
        FillRect(dc, &client, brush);
    } else {
        int left = -s.scrollX, top = -s.scrollY;
        int right = left + s.displayWidth, bottom = top + s.displayHeight;
        fillBand(dc, brush, client.left, client.top, client.right, top);
        fillBand(dc, brush, client.left, bottom, client.right, client.bottom);
        fillBand(dc, brush, client.left, std::max(top, 0), left, std::min(bottom, static_cast<int>(client.bottom)));
        fillBand(dc, brush, right, std::max(top, 0), client.right, std::min(bottom, static_cast<int>(client.bottom)));
    }
    DeleteObject(brush);
}

// The selection in client coordinates: picture pixels scaled by the zoom,
// kept on the display, shifted by the scroll position.
RECT frameRect(const ViewState& s)
{
    auto place = [](int v, int zoom, int limit, int scroll) {
        int d = static_cast<int>(v * (zoom * 0.01));
        return std::clamp(d, 0, std::max(limit - 1, 0)) - scroll;
    };
    const Rect& r = s.selection;
    return RECT{place(r.x, s.zoomX, s.displayWidth, s.scrollX), place(r.y, s.zoomY, s.displayHeight, s.scrollY),
                place(r.x + r.w, s.zoomX, s.displayWidth, s.scrollX),
                place(r.y + r.h, s.zoomY, s.displayHeight, s.scrollY)};
}

void paintLabel(HDC dc, const ViewState& s, const RECT& client)
{
    if (!s.labelFlag || s.label.empty()) return;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    int length = static_cast<int>(s.label.size());
    GetTextExtentPoint32(dc, s.label.c_str(), length, &size);
    int x = (client.right - size.cx) / 2 + 1;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLabelShadow);
    TextOut(dc, x + 1, 1, s.label.c_str(), length);
    SetTextColor(dc, kLabelColour);
    TextOut(dc, x, 0, s.label.c_str(), length);
    SelectObject(dc, oldFont);
}

}  // namespace

void viewDrawSelectionFrame(HWND, HDC dc, const ViewState& s)
{
    if (!(s.mouseFlags & MouseHasSelection) && s.capture != CaptureSelecting) return;
    RECT r = frameRect(s);
    POINT points[5] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
    HPEN pen = CreatePen(PS_SOLID, 1, kFrameColour);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points, 5);
    // Polyline leaves out the last point; the frame is closed.
    SetPixel(dc, r.left, r.top, kFrameColour);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void viewEraseSelectionFrame(HWND view, const ViewState& s)
{
    RECT r = frameRect(s);
    const RECT edges[4] = {{r.left, r.top, r.right + 1, r.top + 1},
                           {r.left, r.bottom, r.right + 1, r.bottom + 1},
                           {r.left, r.top, r.left + 1, r.bottom + 1},
                           {r.right, r.top, r.right + 1, r.bottom + 1}};
    for (const RECT& edge : edges) InvalidateRect(view, &edge, FALSE);
    UpdateWindow(view);
}

LRESULT viewOnPaint(HWND view, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(view, &ps);
    ViewState* s = viewStateOf(view);
    if (s) {
        RECT client;
        GetClientRect(view, &client);
        paintBackground(dc, *s, client);
        if (viewHasPicture(*s)) {
            displayPaint(dc, *s, ps.rcPaint);
            viewDrawSelectionFrame(view, dc, *s);
        }
        paintLabel(dc, *s, client);
    }
    EndPaint(view, &ps);
    return 0;
}

}  // namespace fotrix
