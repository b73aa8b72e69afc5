// Track bar: a thin channel and a thumb, horizontal or vertical (TBS_VERT,
// minimum at the top). The parent hears WM_HSCROLL/WM_VSCROLL with TB_ codes.
// One layout function places channel and thumb for painting and for taps alike.
#include "platform/controls/control_kit.h"

using namespace controls;

namespace {

struct TrackBar {
    int min = 0;
    int max = 100;
    int pos = 0;
    int line = 1;
    int page = 20;
    int ticFreq = 1;
    bool dragging = false;
    int grabOffset = 0;  // stylus offset from the thumb centre while dragging
};

bool vertical(HWND hwnd) { return GetWindowLong(hwnd, GWL_STYLE) & TBS_VERT; }

struct Layout {
    RECT channel;  // the groove the thumb runs along
    RECT thumb;
    int first;     // pixel (along the bar) of the thumb centre at min
    int last;      // ... at max
};

Layout layout(HWND hwnd, const TrackBar* t)
{
    RECT c;
    GetClientRect(hwnd, &c);
    bool vert = vertical(hwnd);
    int length = vert ? c.bottom : c.right;
    int across = vert ? c.right : c.bottom;
    int thumbLong = scaled(11);                              // along the bar
    int thumbShort = std::min(across - 2, scaled(21));       // across it
    int margin = thumbLong / 2 + 1;
    Layout l;
    l.first = margin;
    l.last = std::max(margin, length - margin - 1);
    long long span = static_cast<long long>(t->max) - t->min;
    int centre = l.first + (span > 0 ? static_cast<int>((static_cast<long long>(t->pos) - t->min) * (l.last - l.first) / span) : 0);
    int mid = across / 2;
    int groove = scaled(4);
    RECT channel{l.first - 1, mid - groove / 2, l.last + 2, mid - groove / 2 + groove};
    RECT thumb{centre - thumbLong / 2, mid - thumbShort / 2, centre - thumbLong / 2 + thumbLong, mid - thumbShort / 2 + thumbShort};
    if (vert) {
        channel = RECT{channel.top, channel.left, channel.bottom, channel.right};
        thumb = RECT{thumb.top, thumb.left, thumb.bottom, thumb.right};
    }
    l.channel = channel;
    l.thumb = thumb;
    return l;
}

int clampPos(const TrackBar* t, int v) { return v < t->min ? t->min : v > t->max ? t->max : v; }

void notify(HWND hwnd, WORD code, int pos)
{
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    WORD high = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? static_cast<WORD>(pos) : 0;
    SendMessage(parent, vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, high), reinterpret_cast<LPARAM>(hwnd));
}

void setPos(HWND hwnd, int v)
{
    TrackBar* t = state<TrackBar>(hwnd);
    v = clampPos(t, v);
    if (v == t->pos) return;
    t->pos = v;
    InvalidateRect(hwnd, nullptr, FALSE);
}

// Moves by a scroll code and tells the parent.
void scrollBy(HWND hwnd, WORD code)
{
    TrackBar* t = state<TrackBar>(hwnd);
    int v = t->pos;
    switch (code) {
    case TB_LINEUP: v -= t->line; break;
    case TB_LINEDOWN: v += t->line; break;
    case TB_PAGEUP: v -= t->page; break;
    case TB_PAGEDOWN: v += t->page; break;
    case TB_TOP: v = t->min; break;
    case TB_BOTTOM: v = t->max; break;
    default: break;
    }
    setPos(hwnd, v);
    notify(hwnd, code, t->pos);
}

// The position whose thumb centre is nearest to pixel p along the bar.
int posAt(HWND hwnd, const TrackBar* t, int p)
{
    Layout l = layout(hwnd, t);
    if (l.last <= l.first) return t->min;
    long long span = static_cast<long long>(t->max) - t->min;
    long long off = std::clamp(p, l.first, l.last) - l.first;
    return t->min + static_cast<int>((off * span * 2 + (l.last - l.first)) / (2LL * (l.last - l.first)));
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    TrackBar* t = state<TrackBar>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT c;
    GetClientRect(hwnd, &c);
    FillRect(dc, &c, staticBackground(hwnd, dc));
    Layout l = layout(hwnd, t);
    FillRect(dc, &l.channel, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &l.channel, GetSysColorBrush(COLOR_BTNSHADOW));
    DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    if ((style & TBS_AUTOTICKS) && !(style & TBS_NOTICKS) && t->ticFreq > 0 && t->max > t->min) {
        HBRUSH tick = GetSysColorBrush(COLOR_WINDOWFRAME);
        bool vert = style & TBS_VERT;
        for (long long v = t->min; v <= t->max; v += t->ticFreq) {
            int p = l.first + static_cast<int>((v - t->min) * (l.last - l.first) / (static_cast<long long>(t->max) - t->min));
            RECT mark = vert ? RECT{l.thumb.right + 1, p, l.thumb.right + 1 + scaled(3), p + 1}
                             : RECT{p, l.thumb.bottom + 1, p + 1, l.thumb.bottom + 1 + scaled(3)};
            FillRect(dc, &mark, tick);
        }
    }
    FillRect(dc, &l.thumb, GetSysColorBrush(t->dragging ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    FrameRect(dc, &l.thumb, GetSysColorBrush(COLOR_WINDOWFRAME));
    EndPaint(hwnd, &ps);
    return 0;
}

int along(HWND hwnd, LPARAM lParam) { return vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TrackBar* t = state<TrackBar>(hwnd);
    SetFocus(hwnd);
    Layout l = layout(hwnd, t);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    int p = along(hwnd, lParam);
    int thumbCentre = vertical(hwnd) ? (l.thumb.top + l.thumb.bottom) / 2 : (l.thumb.left + l.thumb.right) / 2;
    SetCapture(hwnd);
    if (contains(l.thumb, x, y)) {
        t->dragging = true;
        t->grabOffset = p - thumbCentre;
        InvalidateRect(hwnd, nullptr, FALSE);
    } else {
        scrollBy(hwnd, p < thumbCentre ? TB_PAGEUP : TB_PAGEDOWN);
    }
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TrackBar* t = state<TrackBar>(hwnd);
    if (!t->dragging) return 0;
    int v = posAt(hwnd, t, along(hwnd, lParam) - t->grabOffset);
    if (v != t->pos) {
        setPos(hwnd, v);
        notify(hwnd, TB_THUMBTRACK, t->pos);
    }
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    TrackBar* t = state<TrackBar>(hwnd);
    if (GetCapture() != hwnd) return 0;
    bool dragged = t->dragging;
    t->dragging = false;
    ReleaseCapture();
    if (dragged) {
        InvalidateRect(hwnd, nullptr, FALSE);
        notify(hwnd, TB_THUMBPOSITION, t->pos);
    }
    notify(hwnd, TB_ENDTRACK, t->pos);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    TrackBar* t = state<TrackBar>(hwnd);
    if (t->dragging) {
        t->dragging = false;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
}

// Keys: arrows a line (left and up towards the minimum), Page Up/Down a page,
// Home/End the ends. TB_ENDTRACK follows when the key comes up.
bool keyCode(WPARAM key, WORD* code)
{
    switch (key) {
    case VK_LEFT: case VK_UP: *code = TB_LINEUP; return true;
    case VK_RIGHT: case VK_DOWN: *code = TB_LINEDOWN; return true;
    case VK_PRIOR: *code = TB_PAGEUP; return true;
    case VK_NEXT: *code = TB_PAGEDOWN; return true;
    case VK_HOME: *code = TB_TOP; return true;
    case VK_END: *code = TB_BOTTOM; return true;
    default: return false;
    }
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WORD code;
    if (!keyCode(wParam, &code)) return DefWindowProc(hwnd, message, wParam, lParam);
    scrollBy(hwnd, code);
    return 0;
}

LRESULT onKeyUp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WORD code;
    if (!keyCode(wParam, &code)) return DefWindowProc(hwnd, message, wParam, lParam);
    notify(hwnd, TB_ENDTRACK, state<TrackBar>(hwnd)->pos);
    return 0;
}

void setRange(HWND hwnd, int min, int max, bool redraw)
{
    TrackBar* t = state<TrackBar>(hwnd);
    t->min = min;
    t->max = max < min ? min : max;
    t->pos = clampPos(t, t->pos);
    if (redraw) InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT onGetPos(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TrackBar>(hwnd)->pos; }
LRESULT onGetMin(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TrackBar>(hwnd)->min; }
LRESULT onGetMax(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TrackBar>(hwnd)->max; }
LRESULT onSetPos(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    setPos(hwnd, static_cast<int>(lParam));
    return 0;
}
LRESULT onSetRange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    setRange(hwnd, static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))),
             static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam))), wParam != 0);
    return 0;
}
LRESULT onSetMin(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    setRange(hwnd, static_cast<int>(lParam), state<TrackBar>(hwnd)->max, wParam != 0);
    return 0;
}
LRESULT onSetMax(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    setRange(hwnd, state<TrackBar>(hwnd)->min, static_cast<int>(lParam), wParam != 0);
    return 0;
}
LRESULT onSetTicFreq(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    state<TrackBar>(hwnd)->ticFreq = static_cast<int>(wParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}
LRESULT onSetPage(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TrackBar* t = state<TrackBar>(hwnd);
    int old = t->page;
    t->page = static_cast<int>(lParam);
    return old;
}
LRESULT onGetPage(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TrackBar>(hwnd)->page; }
LRESULT onSetLine(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TrackBar* t = state<TrackBar>(hwnd);
    int old = t->line;
    t->line = static_cast<int>(lParam);
    return old;
}
LRESULT onGetLine(HWND hwnd, UINT, WPARAM, LPARAM) { return state<TrackBar>(hwnd)->line; }
LRESULT onGetThumbRect(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    if (lParam) *reinterpret_cast<RECT*>(lParam) = layout(hwnd, state<TrackBar>(hwnd)).thumb;
    return 0;
}
LRESULT onGetChannelRect(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    if (lParam) *reinterpret_cast<RECT*>(lParam) = layout(hwnd, state<TrackBar>(hwnd)).channel;
    return 0;
}
constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<TrackBar>},
    {WM_NCDESTROY, destroyState<TrackBar>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_KEYDOWN, onKeyDown},
    {WM_KEYUP, onKeyUp},
    {TBM_GETPOS, onGetPos},
    {TBM_GETRANGEMIN, onGetMin},
    {TBM_GETRANGEMAX, onGetMax},
    {TBM_SETPOS, onSetPos},
    {TBM_SETRANGE, onSetRange},
    {TBM_SETRANGEMIN, onSetMin},
    {TBM_SETRANGEMAX, onSetMax},
    {TBM_SETTICFREQ, onSetTicFreq},
    {TBM_SETPAGESIZE, onSetPage},
    {TBM_GETPAGESIZE, onGetPage},
    {TBM_SETLINESIZE, onSetLine},
    {TBM_GETLINESIZE, onGetLine},
    {TBM_GETTHUMBRECT, onGetThumbRect},
    {TBM_GETCHANNELRECT, onGetChannelRect},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerTrackBarClass() { registerControlClass(TRACKBAR_CLASS, MessageMapProc<kMap>); }
