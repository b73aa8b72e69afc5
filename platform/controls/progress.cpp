// Progress bar: a black frame filled with the highlight colour from the left
// (from the bottom with PBS_VERTICAL) in proportion to the position.
#include "platform/controls/control_kit.h"

using namespace controls;

namespace {

struct Progress {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
};

int clampPos(const Progress* p, int v) { return v < p->low ? p->low : v > p->high ? p->high : v; }

// Moves to v (clamped), repaints when it changed, returns the old position.
LRESULT moveTo(HWND hwnd, int v)
{
    Progress* p = state<Progress>(hwnd);
    int old = p->pos;
    p->pos = clampPos(p, v);
    if (p->pos != old) InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT setRange(HWND hwnd, int low, int high)
{
    Progress* p = state<Progress>(hwnd);
    LRESULT old = MAKELRESULT(p->low, p->high);
    p->low = low;
    p->high = high < low ? low : high;
    p->pos = clampPos(p, p->pos);
    InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Progress* p = state<Progress>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    RECT in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    FillRect(dc, &in, GetSysColorBrush(COLOR_WINDOW));
    long long span = static_cast<long long>(p->high) - p->low;
    if (span > 0 && in.right > in.left && in.bottom > in.top) {
        RECT bar = in;
        long long done = static_cast<long long>(p->pos) - p->low;
        if (GetWindowLong(hwnd, GWL_STYLE) & PBS_VERTICAL)
            bar.top = in.bottom - static_cast<int>(done * (in.bottom - in.top) / span);
        else
            bar.right = in.left + static_cast<int>(done * (in.right - in.left) / span);
        FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onSetRange(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    return setRange(hwnd, LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
}
LRESULT onSetRange32(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return setRange(hwnd, static_cast<int>(wParam), static_cast<int>(lParam));
}
LRESULT onGetRange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Progress* p = state<Progress>(hwnd);
    if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{p->low, p->high};
    return wParam ? p->low : p->high;
}
LRESULT onSetPos(HWND hwnd, UINT, WPARAM wParam, LPARAM) { return moveTo(hwnd, static_cast<int>(wParam)); }
LRESULT onDeltaPos(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    return moveTo(hwnd, state<Progress>(hwnd)->pos + static_cast<int>(wParam));
}
LRESULT onSetStep(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Progress* p = state<Progress>(hwnd);
    int old = p->step;
    p->step = static_cast<int>(wParam);
    return old;
}
// Stepping past the end wraps to the start, so a bar of unknown length keeps moving.
LRESULT onStepIt(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Progress* p = state<Progress>(hwnd);
    int next = p->pos + p->step;
    if (next > p->high) next = p->low + (next - p->high);
    if (next < p->low) next = p->high - (p->low - next);
    return moveTo(hwnd, next);
}
LRESULT onGetPos(HWND hwnd, UINT, WPARAM, LPARAM) { return state<Progress>(hwnd)->pos; }
constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<Progress>},
    {WM_NCDESTROY, destroyState<Progress>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {PBM_SETRANGE, onSetRange},
    {PBM_SETRANGE32, onSetRange32},
    {PBM_GETRANGE, onGetRange},
    {PBM_SETPOS, onSetPos},
    {PBM_DELTAPOS, onDeltaPos},
    {PBM_SETSTEP, onSetStep},
    {PBM_STEPIT, onStepIt},
    {PBM_GETPOS, onGetPos},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerProgressClass() { registerControlClass(PROGRESS_CLASS, MessageMapProc<kMap>); }
