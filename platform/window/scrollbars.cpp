// Scroll bars of windows with WS_HSCROLL / WS_VSCROLL. Each bar lives in the
// window record; one geometry function places its arrows, channel and thumb for
// painting and for taps alike. The stylus router hands taps on a bar to the
// window as non-client messages; the default procedure passes them here and
// the window hears WM_VSCROLL / WM_HSCROLL: line codes from the arrows and page
// codes from the channel (both repeating while held, on the platform clock),
// SB_THUMBTRACK while the thumb is dragged and SB_THUMBPOSITION when it is let
// go, and SB_ENDSCROLL when the stylus comes up.
#include "platform/window/window_internal.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kRepeatTimer = 0xFFF5;  // the held-down repetition's timer id
constexpr UINT kFirstRepeat = 400;         // ms before a held arrow or channel repeats
constexpr UINT kNextRepeat = 100;          // ms between repeats

enum Part { PartNone, PartLineUp, PartPageUp, PartThumb, PartPageDown, PartLineDown };

struct Geometry {
    bool vertical = false;
    RECT strip{};
    RECT lineUp{};
    RECT lineDown{};
    RECT thumb{};
    bool thumbShown = false;
    int trackStart = 0;  // along the bar: first pixel between the arrows
    int trackLength = 0;
    int thumbLength = 0;
};

// The one bar that follows the stylus (there is one stylus).
struct Tracking {
    HWND hwnd = nullptr;
    int bar = SB_VERT;
    Part part = PartNone;
    bool dragging = false;  // the thumb
    int trackPos = 0;
    int grab = 0;           // stylus offset from the thumb's start while dragging
    POINT last{0, 0};       // stylus, window coordinates
} tracking;

bool validBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }
DWORD styleBit(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// The highest position: the last page ends at max.
int topPos(const ScrollBarRec& s) { return std::max(s.min, static_cast<int>(static_cast<long long>(s.max) - std::max(s.page, 1) + 1)); }
// Whether there is more than one page to show.
bool scrolls(const ScrollBarRec& s) { return s.max > s.min && static_cast<long long>(s.page) <= static_cast<long long>(s.max) - s.min; }

bool draggingBar(HWND hwnd, int bar) { return tracking.dragging && tracking.hwnd == hwnd && tracking.bar == bar; }

RECT span(const Geometry& g, int from, int to)
{
    return g.vertical ? RECT{g.strip.left, from, g.strip.right, to} : RECT{from, g.strip.top, to, g.strip.bottom};
}

// Under windowLock. Window coordinates.
Geometry geometryOf(HWND hwnd, int bar)
{
    Geometry g;
    g.vertical = bar == SB_VERT;
    RECT c = clientRectInWindow(hwnd);
    int thickness = screenMetric(g.vertical ? SM_CXVSCROLL : SM_CYHSCROLL);
    g.strip = g.vertical ? RECT{c.right, c.top, c.right + thickness, c.bottom} : RECT{c.left, c.bottom, c.right, c.bottom + thickness};
    int lo = g.vertical ? g.strip.top : g.strip.left;
    int hi = g.vertical ? g.strip.bottom : g.strip.right;
    int arrow = std::min(thickness, (hi - lo) / 2);
    g.lineUp = span(g, lo, lo + arrow);
    g.lineDown = span(g, hi - arrow, hi);
    g.trackStart = lo + arrow;
    g.trackLength = hi - lo - 2 * arrow;
    const ScrollBarRec& s = hwnd->scroll[bar];
    g.thumbShown = !s.disabled && scrolls(s) && g.trackLength > 0;
    if (!g.thumbShown) return g;
    long long count = static_cast<long long>(s.max) - s.min + 1;
    int length = s.page > 0 ? static_cast<int>(g.trackLength * static_cast<long long>(s.page) / count) : thickness;
    g.thumbLength = std::min(g.trackLength, std::max(length, ScaleForScreen(8)));
    int pos = draggingBar(hwnd, bar) ? tracking.trackPos : s.pos;
    long long range = static_cast<long long>(topPos(s)) - s.min;
    int offset = range > 0 ? static_cast<int>((static_cast<long long>(pos) - s.min) * (g.trackLength - g.thumbLength) / range) : 0;
    g.thumb = span(g, g.trackStart + offset, g.trackStart + offset + g.thumbLength);
    return g;
}

Part partAt(const Geometry& g, POINT p)
{
    if (!PtInRect(&g.strip, p)) return PartNone;
    if (PtInRect(&g.lineUp, p)) return PartLineUp;
    if (PtInRect(&g.lineDown, p)) return PartLineDown;
    if (!g.thumbShown) return PartNone;
    int a = g.vertical ? p.y : p.x;
    int thumbStart = g.vertical ? g.thumb.top : g.thumb.left;
    if (a < thumbStart) return PartPageUp;
    if (a >= thumbStart + g.thumbLength) return PartPageDown;
    return PartThumb;
}

// The position whose thumb starts nearest to pixel `start` along the bar.
int posAtThumbStart(const Geometry& g, const ScrollBarRec& s, int start)
{
    int room = g.trackLength - g.thumbLength;
    if (room <= 0) return s.min;
    long long offset = std::clamp(start - g.trackStart, 0, room);
    long long range = static_cast<long long>(topPos(s)) - s.min;
    return s.min + static_cast<int>((offset * range * 2 + room) / (2LL * room));
}

POINT toWindow(HWND hwnd, LPARAM screenPoint)
{
    RECT wr = windowRectOnScreen(hwnd);
    return POINT{GET_X_LPARAM(screenPoint) - wr.left, GET_Y_LPARAM(screenPoint) - wr.top};
}

WORD codeOf(Part part)
{
    switch (part) {
    case PartLineUp: return SB_LINEUP;
    case PartPageUp: return SB_PAGEUP;
    case PartPageDown: return SB_PAGEDOWN;
    case PartLineDown: return SB_LINEDOWN;
    default: return SB_ENDSCROLL;
    }
}

void send(HWND hwnd, int bar, WORD code, int pos = 0)
{
    SendMessage(hwnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

void redrawBars(HWND hwnd)
{
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || !windowShown(hwnd) || !(hwnd->style & (WS_VSCROLL | WS_HSCROLL))) return;
    }
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    paintScrollBars(hwnd, dc);
    ReleaseDC(hwnd, dc);
}

bool tracks(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(hwnd) && tracking.hwnd == hwnd && tracking.part != PartNone && GetCapture() == hwnd;
}

// Held arrows and channel repeat while the stylus stays on the part it went
// down on; a page repeat stops once the thumb has come under the stylus.
void repeat(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    if (!tracks(hwnd) || tracking.dragging) {
        KillTimer(hwnd, id);
        return;
    }
    SetTimer(hwnd, id, kNextRepeat, repeat);
    Part now;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        now = partAt(geometryOf(hwnd, tracking.bar), tracking.last);
    }
    if (now == tracking.part) send(hwnd, tracking.bar, codeOf(now));
}

LRESULT stylusDown(HWND hwnd, WPARAM hit, LPARAM screenPoint)
{
    if (hit != static_cast<WPARAM>(HTVSCROLL) && hit != static_cast<WPARAM>(HTHSCROLL)) return 0;
    int bar = hit == static_cast<WPARAM>(HTVSCROLL) ? SB_VERT : SB_HORZ;
    Tracking next;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || !(hwnd->style & styleBit(bar))) return 0;
        // A disabled bar, or one with nothing to scroll, takes no taps.
        if (hwnd->scroll[bar].disabled || !scrolls(hwnd->scroll[bar])) return 0;
        POINT p = toWindow(hwnd, screenPoint);
        Geometry g = geometryOf(hwnd, bar);
        next = Tracking{hwnd, bar, partAt(g, p), false, hwnd->scroll[bar].pos, 0, p};
        if (next.part == PartNone) return 0;
        if (next.part == PartThumb) {
            next.dragging = true;
            next.grab = (g.vertical ? p.y - g.thumb.top : p.x - g.thumb.left);
        }
    }
    SetCapture(hwnd);
    tracking = next;
    if (tracking.dragging) {
        redrawBars(hwnd);
        return 0;
    }
    send(hwnd, bar, codeOf(tracking.part));
    if (tracks(hwnd)) SetTimer(hwnd, kRepeatTimer, kFirstRepeat, repeat);
    redrawBars(hwnd);
    return 0;
}

LRESULT stylusMove(HWND hwnd, LPARAM screenPoint)
{
    int moved = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return 0;
        tracking.last = toWindow(hwnd, screenPoint);
        if (!tracking.dragging) return 0;
        Geometry g = geometryOf(hwnd, tracking.bar);
        int along = g.vertical ? tracking.last.y : tracking.last.x;
        int pos = posAtThumbStart(g, hwnd->scroll[tracking.bar], along - tracking.grab);
        if (pos == tracking.trackPos) return 0;
        tracking.trackPos = pos;
        moved = 1;
    }
    if (moved) {
        redrawBars(hwnd);
        send(hwnd, tracking.bar, SB_THUMBTRACK, tracking.trackPos);
    }
    return 0;
}

LRESULT stylusUp(HWND hwnd)
{
    KillTimer(hwnd, kRepeatTimer);
    int bar = tracking.bar;
    // The window reads the thumb's track position while it hears SB_THUMBPOSITION.
    if (tracking.dragging) send(hwnd, bar, SB_THUMBPOSITION, tracking.trackPos);
    tracking = Tracking{};
    ReleaseCapture();
    redrawBars(hwnd);
    send(hwnd, bar, SB_ENDSCROLL);
    return 0;
}

// ---- Painting ----

// A small filled triangle pointing along the bar, centred in the arrow box.
void drawGlyph(HDC dc, const RECT& box, Part part, bool vertical, HBRUSH brush)
{
    int size = std::min(box.right - box.left, box.bottom - box.top);
    int rows = std::max(2, size / 4);
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    bool towardsStart = part == PartLineUp;
    for (int i = 0; i < rows; ++i) {
        // Row i has width 2i+1; row 0 is the tip.
        int along = towardsStart ? -rows / 2 + i : rows / 2 - i;
        RECT r = vertical ? RECT{cx - i, cy + along, cx + i + 1, cy + along + 1} : RECT{cx + along, cy - i, cx + along + 1, cy + i + 1};
        FillRect(dc, &r, brush);
    }
}

struct BarPicture {
    Geometry g;
    bool active = false;   // can scroll
    Part pressed = PartNone;
};

void drawBar(HDC dc, const BarPicture& b)
{
    FillRect(dc, &b.g.strip, GetSysColorBrush(COLOR_SCROLLBAR));
    HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
    HBRUSH glyph = GetSysColorBrush(b.active ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (Part part : {PartLineUp, PartLineDown}) {
        const RECT& r = part == PartLineUp ? b.g.lineUp : b.g.lineDown;
        if (IsRectEmpty(&r)) continue;
        bool down = b.pressed == part;
        FillRect(dc, &r, GetSysColorBrush(down ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        FrameRect(dc, &r, frame);
        drawGlyph(dc, r, part, b.g.vertical, down ? GetSysColorBrush(COLOR_HIGHLIGHTTEXT) : glyph);
    }
    if (b.g.thumbShown) {
        FillRect(dc, &b.g.thumb, GetSysColorBrush(b.pressed == PartThumb ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        FrameRect(dc, &b.g.thumb, frame);
    }
}

}  // namespace

int scrollBarHitTest(HWND hwnd, POINT screen)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !hwnd->parent) return HTNOWHERE;
    RECT wr = windowRectOnScreen(hwnd);
    POINT p{screen.x - wr.left, screen.y - wr.top};
    for (int bar : {SB_VERT, SB_HORZ}) {
        if (!(hwnd->style & styleBit(bar))) continue;
        Geometry g = geometryOf(hwnd, bar);
        if (PtInRect(&g.strip, p)) return bar == SB_VERT ? HTVSCROLL : HTHSCROLL;
    }
    return HTNOWHERE;
}

LRESULT scrollBarStylus(HWND hwnd, UINT message, WPARAM hit, LPARAM screenPoint)
{
    if (message == WM_NCLBUTTONDOWN) return stylusDown(hwnd, hit, screenPoint);
    if (!tracks(hwnd)) return 0;
    if (message == WM_NCMOUSEMOVE) return stylusMove(hwnd, screenPoint);
    stylusMove(hwnd, screenPoint);
    return stylusUp(hwnd);
}

void paintScrollBars(HWND hwnd, HDC dc)
{
    BarPicture bars[2];
    bool shown[2] = {false, false};
    RECT corner{};
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return;
        for (int bar : {SB_HORZ, SB_VERT}) {
            if (!(hwnd->style & styleBit(bar))) continue;
            shown[bar] = true;
            bars[bar].g = geometryOf(hwnd, bar);
            bars[bar].active = !hwnd->scroll[bar].disabled && scrolls(hwnd->scroll[bar]);
            if (tracking.hwnd == hwnd && tracking.bar == bar && GetCapture() == hwnd) {
                Part under = partAt(bars[bar].g, tracking.last);
                bars[bar].pressed = tracking.dragging || under == tracking.part ? tracking.part : PartNone;
            }
        }
        if (shown[SB_HORZ] && shown[SB_VERT])
            corner = RECT{bars[SB_VERT].g.strip.left, bars[SB_HORZ].g.strip.top, bars[SB_VERT].g.strip.right, bars[SB_HORZ].g.strip.bottom};
    }
    for (int bar : {SB_HORZ, SB_VERT})
        if (shown[bar]) drawBar(dc, bars[bar]);
    if (!IsRectEmpty(&corner)) FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw)
{
    if (!info || !validBar(bar)) return 0;
    bool frameChanged = false;
    int pos;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return 0;
        ScrollBarRec& s = hwnd->scroll[bar];
        if (info->fMask & SIF_RANGE) {
            s.min = info->nMin;
            s.max = std::max(info->nMin, info->nMax);
        }
        if (info->fMask & SIF_PAGE) s.page = static_cast<int>(std::min<long long>(info->nPage, INT32_MAX));
        s.page = static_cast<int>(std::min<long long>(s.page, static_cast<long long>(s.max) - s.min + 1));
        if (info->fMask & SIF_POS) s.pos = info->nPos;
        s.pos = std::clamp(s.pos, s.min, topPos(s));
        pos = s.pos;
        if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
            // A bar shows while there is more than one page; with
            // SIF_DISABLENOSCROLL it stays, disabled, when there is not.
            bool show = scrolls(s) || (info->fMask & SIF_DISABLENOSCROLL);
            s.disabled = !scrolls(s);
            DWORD style = show ? hwnd->style | styleBit(bar) : hwnd->style & ~styleBit(bar);
            frameChanged = style != hwnd->style;
            hwnd->style = style;
        }
    }
    if (frameChanged) windowFrameChanged(hwnd);
    else if (redraw) redrawBars(hwnd);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info)
{
    if (!info || !validBar(bar)) return FALSE;
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) return FALSE;
    const ScrollBarRec& s = hwnd->scroll[bar];
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(s.page);
    if (info->fMask & SIF_POS) info->nPos = s.pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = draggingBar(hwnd, bar) ? tracking.trackPos : s.pos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    int old = GetScrollPos(hwnd, bar);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw)
{
    if (!IsWindow(hwnd) || !validBar(bar)) return FALSE;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, min, max, 0, 0, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    if (!min || !max || !GetScrollInfo(hwnd, bar, &info)) return FALSE;
    *min = info.nMin;
    *max = info.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : validBar(bar) ? styleBit(bar) : 0;
    if (!bits) return FALSE;
    bool changed;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return FALSE;
        DWORD style = show ? hwnd->style | bits : hwnd->style & ~bits;
        changed = style != hwnd->style;
        hwnd->style = style;
    }
    if (changed) windowFrameChanged(hwnd);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows)
{
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return FALSE;
        for (int b : {SB_HORZ, SB_VERT})
            if (bar == SB_BOTH || static_cast<int>(bar) == b) hwnd->scroll[b].disabled = arrows == ESB_DISABLE_BOTH;
    }
    redrawBars(hwnd);
    return TRUE;
}
