// The operations on a view: fit rule and zoom, background, callback, stylus
// behaviour, selection, scrolling, scroll bars and label.
#include "app/viewer/view_state.h"
#include "app/viewer/view_window.h"

#include <algorithm>

namespace fotrix {

namespace {

constexpr int kMinZoom = 11;
constexpr int kMaxZoom = 1199;

void relayout(HWND view, ViewState& s)
{
    viewLayout(view, s, false);
    viewRepaint(view, false);
}

int clientSide(HWND view, bool width)
{
    RECT rc;
    GetClientRect(view, &rc);
    return width ? rc.right - rc.left : rc.bottom - rc.top;
}

}  // namespace

void SetFitMode(HWND view, int mode)
{
    ViewState* s = viewStateOf(view);
    if (!s || mode < FixedZoom || mode > FitHeight) return;
    s->fitMode = mode;
    relayout(view, *s);
}

int GetFitMode(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s ? s->fitMode : FitWindow;
}

// The point at the client centre stays where it is.
void SetZoom(HWND view, int percent)
{
    ViewState* s = viewStateOf(view);
    if (!s || percent < kMinZoom || percent > kMaxZoom) return;
    s->fitMode = FixedZoom;
    int halfW = clientSide(view, true) / 2, halfH = clientSide(view, false) / 2;
    int oldX = std::max(s->zoomX, 1), oldY = std::max(s->zoomY, 1);
    s->scrollX = static_cast<int>(static_cast<long long>((s->scrollX + halfW) * 100 / oldX) * percent / 100) - halfW;
    s->scrollY = static_cast<int>(static_cast<long long>((s->scrollY + halfH) * 100 / oldY) * percent / 100) - halfH;
    s->zoomX = s->zoomY = percent;
    relayout(view, *s);
}

POINT PicturePointAt(HWND view, POINT client)
{
    ViewState* s = viewStateOf(view);
    if (!s) return POINT{};
    int zx = std::max(s->zoomX, 1), zy = std::max(s->zoomY, 1);
    return POINT{static_cast<int>(static_cast<long long>(client.x + s->scrollX) * 100 / zx),
                 static_cast<int>(static_cast<long long>(client.y + s->scrollY) * 100 / zy)};
}

void ZoomAround(HWND view, int percent, POINT picturePoint, POINT client)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    s->fitMode = FixedZoom;
    s->zoomX = s->zoomY = percent;
    s->scrollX = static_cast<int>(static_cast<long long>(picturePoint.x) * percent / 100) - client.x;
    s->scrollY = static_cast<int>(static_cast<long long>(picturePoint.y) * percent / 100) - client.y;
    relayout(view, *s);
}

int GetZoom(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s ? s->zoomX : 100;
}

void SetBackground(HWND view, COLORREF colour)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    s->background = colour;
    viewRepaint(view, true);
}

void SetCallback(HWND view, ViewCallback callback, void* data)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    s->callback = callback;
    s->callbackData = data;
}

void SetMouseMode(HWND view, int mode)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    int flags = (mode == 1 || mode == 4) ? MouseSelect : mode == 2 ? MousePan : 0;
    s->mouseFlags = (s->mouseFlags & MouseHasSelection) | flags;
}

bool GetSelection(HWND view, Rect* selection)
{
    ViewState* s = viewStateOf(view);
    if (!s || !(s->mouseFlags & MouseHasSelection)) return false;
    if (selection) *selection = s->selection;
    return true;
}

void SetSelection(HWND view, const Rect* selection)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    if (s->mouseFlags & MouseHasSelection) viewEraseSelectionFrame(view, *s);
    s->mouseFlags &= ~MouseHasSelection;
    s->selection = Rect{};
    if (!selection || selection->w <= 0 || selection->h <= 0) return;
    s->selection = *selection;
    s->mouseFlags |= MouseHasSelection;
    HDC dc = GetDC(view);
    viewDrawSelectionFrame(view, dc, *s);
    ReleaseDC(view, dc);
}

void ScrollBy(HWND view, int dx, int dy)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    if (dx) viewScrollTo(view, *s, SB_HORZ, s->scrollX + dx);
    if (dy) viewScrollTo(view, *s, SB_VERT, s->scrollY + dy);
}

// The largest zoom of the table at which the selection fits the client, with
// the selection centred.
void ZoomToSelection(HWND view)
{
    ViewState* s = viewStateOf(view);
    if (!s || !(s->mouseFlags & MouseHasSelection)) return;
    int w = clientSide(view, true), h = clientSide(view, false);
    Rect r = s->selection;
    int zoom = 7;
    for (int z : kSelectionZoomTable) {
        if (static_cast<long long>(r.w) * z / 100 <= w && static_cast<long long>(r.h) * z / 100 <= h) {
            zoom = z;
            break;
        }
    }
    viewEraseSelectionFrame(view, *s);
    s->mouseFlags &= ~MouseHasSelection;
    s->selection = Rect{};
    s->scrollX = r.x * zoom / 100 - (w - r.w * zoom / 100) / 2;
    s->scrollY = r.y * zoom / 100 - (h - r.h * zoom / 100) / 2;
    s->zoomX = s->zoomY = zoom;
    s->fitMode = FixedZoom;
    relayout(view, *s);
}

SIZE GetPictureSize(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s ? SIZE{s->pictureWidth, s->pictureHeight} : SIZE{0, 0};
}

void SetScrollbars(HWND view, bool on)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    s->useScrollbars = on;
    relayout(view, *s);
}

void SetLabel(HWND view, const char* text)
{
    ViewState* s = viewStateOf(view);
    if (!s) return;
    s->labelFlag = text != nullptr;
    s->label = text ? text : "";
    viewRepaint(view, false);
}

POINT GetScrollPosition(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s ? POINT{s->scrollX, s->scrollY} : POINT{0, 0};
}

SIZE GetDisplaySize(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s ? SIZE{s->displayWidth, s->displayHeight} : SIZE{0, 0};
}

Bitmap* GetViewBitmap(HWND view)
{
    ViewState* s = viewStateOf(view);
    return s && s->hasBitmap ? &s->bitmap : nullptr;
}

}  // namespace fotrix
