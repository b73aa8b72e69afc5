// The stylus on a view (panning, drawing a selection, taps, double taps,
// tap-and-hold, swipes), the mouse wheel, two-finger pinches and the scroll
// bars.
#include "app/viewer/view_handlers.h"
#include "app/viewer/view_state.h"
#include "app/viewer/view_window.h"

#include <algorithm>
#include <cstdlib>

namespace fotrix {

static POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// A client point as a picture pixel, kept on the picture.
static POINT toPicture(const ViewState& s, POINT p)
{
    int zx = std::max(s.zoomX, 1), zy = std::max(s.zoomY, 1);
    return POINT{std::clamp((p.x + s.scrollX) * 100 / zx, 0, s.pictureWidth),
                 std::clamp((p.y + s.scrollY) * 100 / zy, 0, s.pictureHeight)};
}

static Rect normalised(const RECT& r)
{
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::abs(r.right - r.left),
                std::abs(r.bottom - r.top)};
}

static void drawFrameNow(HWND view, const ViewState& s)
{
    HDC dc = GetDC(view);
    viewDrawSelectionFrame(view, dc, s);
    ReleaseDC(view, dc);
}

static void dropSelection(HWND view, ViewState& s)
{
    if (s.mouseFlags & MouseHasSelection) {
        s.mouseFlags &= ~MouseHasSelection;
        viewEraseSelectionFrame(view, s);
    }
}

static void startCapture(HWND view, ViewState& s, POINT p)
{
    if (s.mouseFlags & MouseSelect) {
        POINT at = toPicture(s, p);
        dropSelection(view, s);
        s.dragRect = RECT{at.x, at.y, at.x, at.y};
        s.selection = Rect{at.x, at.y, 0, 0};
        s.capture = CaptureSelecting;
        SetCapture(view);
    } else if (s.mouseFlags & MousePan) {
        s.panAnchor = POINT{s.scrollX + p.x, s.scrollY + p.y};
        s.capture = CapturePanning;
        SetCapture(view);
    }
}

static bool isTapAndHold(HWND view, POINT p)
{
    SHRGINFO info{};
    info.cbSize = sizeof info;
    info.hwndClient = view;
    info.ptDown = p;
    info.dwFlags = SHRG_RETURNCMD;
    return SHRecognizeGesture(&info) == GN_CONTEXTMENU;
}

LRESULT viewOnButtonDown(HWND view, UINT, WPARAM, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    if (!s) return 0;
    POINT p = pointOf(lParam);
    s->downPoint = p;
    s->clickPending = true;
    startCapture(view, *s, p);
    if (!s->callback || !isTapAndHold(view, p)) return 0;
    if (s->capture == CaptureSelecting) viewEraseSelectionFrame(view, *s);
    dropSelection(view, *s);
    s->clickPending = false;
    if (s->capture != CaptureNone) ReleaseCapture();
    s->capture = CaptureNone;
    POINT screen = p;
    ClientToScreen(view, &screen);
    viewSendEvent(view, *s, ViewTapAndHold, screen);
    return 0;
}

static void pan(HWND view, ViewState& s, POINT p)
{
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    if (s.maxScrollX > 0) viewScrollTo(view, s, SB_HORZ, std::max(0, static_cast<int>(s.panAnchor.x - p.x)));
    if (s.maxScrollY > 0) viewScrollTo(view, s, SB_VERT, std::max(0, static_cast<int>(s.panAnchor.y - p.y)));
}

static void dragSelection(HWND view, ViewState& s, POINT p)
{
    viewEraseSelectionFrame(view, s);
    POINT at = toPicture(s, p);
    s.dragRect.right = at.x;
    s.dragRect.bottom = at.y;
    s.selection = normalised(s.dragRect);
    drawFrameNow(view, s);
    if (!s.callback) return;
    ViewEvent event;
    event.kind = ViewSelectionChanging;
    event.view = view;
    event.point = p;
    event.selection = s.selection;
    event.callbackData = s.callbackData;
    s.callback(event);
}

LRESULT viewOnMouseMove(HWND view, UINT, WPARAM, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    if (!s) return 0;
    if (s->capture == CapturePanning) pan(view, *s, pointOf(lParam));
    else if (s->capture == CaptureSelecting) dragSelection(view, *s, pointOf(lParam));
    return 0;
}

// A selection needs more than 2 picture pixels each way; a smaller one is a slip.
static void finishSelection(HWND view, ViewState& s)
{
    Rect r = normalised(s.dragRect);
    if (r.w > 2 && r.h > 2) {
        s.selection = r;
        s.mouseFlags |= MouseHasSelection;
        drawFrameNow(view, s);
        return;
    }
    s.selection = Rect{};
}

// A pan that cannot move the picture sideways (it fits the width) and went
// mostly sideways for a fifth of the view or more is a swipe: +1 to the
// left, -1 to the right, 0 for none.
static int swipeOf(HWND view, const ViewState& s, POINT up)
{
    RECT rc;
    GetClientRect(view, &rc);
    int dx = up.x - s.downPoint.x, dy = up.y - s.downPoint.y;
    if (s.maxScrollX > 0 || std::abs(dx) < std::max<int>((rc.right - rc.left) / 5, 16) || std::abs(dx) <= 2 * std::abs(dy))
        return 0;
    return dx < 0 ? +1 : -1;
}

LRESULT viewOnButtonUp(HWND view, UINT, WPARAM, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    if (!s) return 0;
    if (s->capture != CaptureNone) {
        int was = s->capture;
        if (was == CapturePanning && s->callback) {
            if (int direction = swipeOf(view, *s, pointOf(lParam))) {
                s->capture = CaptureNone;
                s->clickPending = false;
                s->afterSwipe = true;
                ReleaseCapture();
                viewSendEvent(view, *s, ViewSwipe, pointOf(lParam), direction);
                return 0;
            }
        }
        s->capture = CaptureNone;
        ReleaseCapture();
        if (was == CaptureSelecting) {
            // The lift point ends the rectangle: small moves before it may
            // have been taken by the tap-and-hold watch.
            POINT at = toPicture(*s, pointOf(lParam));
            viewEraseSelectionFrame(view, *s);
            s->dragRect.right = at.x;
            s->dragRect.bottom = at.y;
            finishSelection(view, *s);
        }
    }
    s->afterSwipe = false;
    // The owner may destroy the view when it hears of the tap (a slideshow
    // ends on one), so nothing of the view's state is touched after it.
    bool tapped = s->clickPending && s->callback;
    s->clickPending = false;
    if (tapped) viewSendEvent(view, *s, ViewTapReleased, pointOf(lParam));
    return 0;
}

LRESULT viewOnDoubleClick(HWND view, UINT message, WPARAM wParam, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    if (s && s->afterSwipe) return viewOnButtonDown(view, message, wParam, lParam);
    if (s && s->callback) viewSendEvent(view, *s, ViewDoubleTap, pointOf(lParam));
    return 0;
}

LRESULT viewOnMouseWheel(HWND view, UINT, WPARAM wParam, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    if (!s || !s->callback) return 0;
    POINT p = pointOf(lParam);  // on the screen
    ScreenToClient(view, &p);
    viewSendEvent(view, *s, ViewWheel, p, GET_WHEEL_DELTA_WPARAM(wParam));
    return 0;
}

// The first report of a pinch ends what the stylus finger began: no pan, no
// selection, no tap.
LRESULT viewOnGesture(HWND view, UINT, WPARAM wParam, LPARAM lParam)
{
    ViewState* s = viewStateOf(view);
    GESTUREINFO info{};
    info.cbSize = sizeof info;
    auto handle = reinterpret_cast<HGESTUREINFO>(lParam);
    if (!s || wParam != GID_ZOOM || !GetGestureInfo(handle, &info)) return 0;
    CloseGestureInfoHandle(handle);
    if (info.dwFlags & GF_BEGIN) {
        if (s->capture == CaptureSelecting) {
            viewEraseSelectionFrame(view, *s);
            s->selection = Rect{};
        }
        if (s->capture != CaptureNone) ReleaseCapture();
        s->capture = CaptureNone;
        s->clickPending = false;
    }
    POINT centre{info.ptsLocation.x, info.ptsLocation.y};
    ScreenToClient(view, &centre);
    int phase = static_cast<int>(info.dwFlags & (GF_BEGIN | GF_END));
    viewSendEvent(view, *s, ViewPinch, centre, static_cast<int>(std::min<uint64_t>(info.ullArguments, 1 << 20)), phase);
    return 0;
}

static int pageOf(HWND view, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE | SIF_TRACKPOS;
    GetScrollInfo(view, bar, &info);
    return info.nPage ? static_cast<int>(info.nPage) : 10;
}

static int trackPosition(HWND view, int bar, WPARAM wParam)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    // The bar's own track position is the unclipped form of the message's.
    int position = HIWORD(wParam);
    if (GetScrollInfo(view, bar, &info) && (info.nTrackPos & 0xFFFF) == position) return info.nTrackPos;
    return position;
}

void viewSendEvent(HWND view, ViewState& s, int kind, POINT point, int amount, int phase)
{
    if (!s.callback) return;
    ViewEvent event;
    event.kind = kind;
    event.view = view;
    event.point = point;
    event.amount = amount;
    event.phase = phase;
    event.hasSelection = (s.mouseFlags & MouseHasSelection) != 0;
    event.callbackData = s.callbackData;
    s.callback(event);
}

bool viewScrollTo(HWND view, ViewState& s, int bar, int position)
{
    int& scroll = bar == SB_HORZ ? s.scrollX : s.scrollY;
    int maxScroll = bar == SB_HORZ ? s.maxScrollX : s.maxScrollY;
    if (maxScroll <= 0) return false;
    position = std::clamp(position, 0, maxScroll);
    if (position == scroll) return false;
    scroll = position;
    if (s.useScrollbars) SetScrollPos(view, bar, position, TRUE);
    InvalidateRect(view, nullptr, FALSE);
    return true;
}

LRESULT viewOnScroll(HWND view, UINT message, WPARAM wParam, LPARAM)
{
    ViewState* s = viewStateOf(view);
    if (!s) return 0;
    int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
    int maxScroll = bar == SB_HORZ ? s->maxScrollX : s->maxScrollY;
    if (maxScroll <= 0) return 0;
    int position = bar == SB_HORZ ? s->scrollX : s->scrollY;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= pageOf(view, bar); break;
    case SB_PAGEDOWN: position += pageOf(view, bar); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = trackPosition(view, bar, wParam); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = maxScroll; break;
    default: return 0;
    }
    viewScrollTo(view, *s, bar, position);
    return 0;
}

}  // namespace fotrix
