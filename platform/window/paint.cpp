// Invalid areas, WM_PAINT generation, BeginPaint/EndPaint and window DCs.
// Every window draws straight into the screen's framebuffer through a DC
// clipped to the part of the screen the window owns.
#include "platform/window/window_internal.h"
#include "platform/gdi/screen_dc.h"
#include "platform/screen/metrics.h"

#include <algorithm>

namespace {

RECT clientBounds(HWND hwnd)
{
    RECT c = clientRectInWindow(hwnd);
    return RECT{0, 0, c.right - c.left, c.bottom - c.top};
}

void addUpdate(HWND hwnd, const RECT& r, bool erase)
{
    RECT bounded;
    RECT all = clientBounds(hwnd);
    if (!IntersectRect(&bounded, &r, &all)) return;
    UnionRect(&hwnd->update, &hwnd->update, &bounded);
    hwnd->erasePending = hwnd->erasePending || erase;
    queueWake(hwnd->threadId);
}

void invalidateScreenIn(HWND hwnd, const RECT& screenRect)
{
    if (!windowShown(hwnd)) return;
    RECT wr = hwnd->parent ? windowRectOnScreen(hwnd) : hwnd->rect;
    RECT hit;
    if (!IntersectRect(&hit, &wr, &screenRect)) return;
    POINT o = hwnd->parent ? clientOriginOnScreen(hwnd) : POINT{0, 0};
    OffsetRect(&hit, -o.x, -o.y);
    addUpdate(hwnd, hit, true);
    if (hwnd->parent && borderWidth(hwnd) + ((hwnd->style & (WS_VSCROLL | WS_HSCROLL)) ? 1 : 0)) hwnd->ncPending = true;
    for (HWND c : hwnd->children) invalidateScreenIn(c, screenRect);
}

bool needsPaint(HWND w) { return !IsRectEmpty(&w->update) || w->ncPending; }

bool findIn(HWND w, DWORD thread, HWND* out)
{
    if (!(w->style & WS_VISIBLE) || w->destroying) return false;
    if (w->threadId == thread && needsPaint(w)) {
        *out = w;
        return true;
    }
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
        if (findIn(*it, thread, out)) return true;
    return false;
}

HDC clientDC(HWND hwnd, const RECT* limitClient)
{
    std::vector<RECT> region = visibleClientRegion(hwnd, false);
    POINT o = hwnd->parent ? clientOriginOnScreen(hwnd) : POINT{0, 0};
    if (limitClient) {
        RECT lim = *limitClient;
        OffsetRect(&lim, o.x, o.y);
        std::vector<RECT> cut;
        for (RECT r : region)
            if (IntersectRect(&r, &r, &lim)) cut.push_back(r);
        region.swap(cut);
    }
    return gdiCreateScreenDC(o, region);
}

}  // namespace

void markScreenDirty() { screenMarkDirty(); }

void invalidateTree(HWND hwnd, const RECT* clientRect, bool erase)
{
    RECT r = clientRect ? *clientRect : clientBounds(hwnd);
    addUpdate(hwnd, r, erase);
    RECT c = clientRectInWindow(hwnd);
    (void)c;
    for (HWND child : hwnd->children) {
        if (!(child->style & WS_VISIBLE)) continue;
        RECT hit;
        if (!IntersectRect(&hit, &r, &child->rect)) continue;
        RECT cc = clientRectInWindow(child);
        OffsetRect(&hit, -(child->rect.left + cc.left), -(child->rect.top + cc.top));
        child->ncPending = child->ncPending || borderWidth(child) || (child->style & (WS_VSCROLL | WS_HSCROLL));
        invalidateTree(child, &hit, erase);
    }
}

void invalidateScreenArea(const RECT& screenRect)
{
    invalidateScreenIn(desktopWindow(), screenRect);
    markScreenDirty();
}

bool findWindowToPaint(DWORD threadId, HWND* out)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return findIn(desktopWindow(), threadId, out);
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!hwnd) hwnd = desktopWindow();
    if (!windowAlive(hwnd)) return FALSE;
    if (!windowShown(hwnd)) return TRUE;
    invalidateTree(hwnd, rect, erase != 0);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) return FALSE;
    if (!rect) {
        SetRectEmpty(&hwnd->update);
        hwnd->erasePending = false;
        return TRUE;
    }
    // The update area is one rectangle: validating a part only shrinks it when
    // the part covers a whole side.
    RECT u = hwnd->update, v = *rect;
    if (v.left <= u.left && v.right >= u.right) {
        if (v.top <= u.top) u.top = std::max(u.top, v.bottom);
        else if (v.bottom >= u.bottom) u.bottom = std::min(u.bottom, v.top);
    } else if (v.top <= u.top && v.bottom >= u.bottom) {
        if (v.left <= u.left) u.left = std::max(u.left, v.right);
        else if (v.right >= u.right) u.right = std::min(u.right, v.left);
    }
    if (IsRectEmpty(&u)) SetRectEmpty(&u);
    hwnd->update = u;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) return FALSE;
    if (rect) *rect = hwnd->update;
    return !IsRectEmpty(&hwnd->update);
}

BOOL UpdateWindow(HWND hwnd)
{
    // Paints the window and then its children, as a sent WM_PAINT each. An
    // ancestor still waiting to paint goes first (with its subtree): painting
    // later, it would cover what the window had just drawn.
    std::vector<HWND> order;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return FALSE;
        HWND root = hwnd;
        for (HWND w = hwnd->parent; w && w != desktopWindow(); w = w->parent)
            if (needsPaint(w)) root = w;
        std::vector<HWND> stack{root};
        while (!stack.empty()) {
            HWND w = stack.back();
            stack.pop_back();
            if (!(w->style & WS_VISIBLE)) continue;
            order.push_back(w);
            for (HWND c : w->children) stack.push_back(c);
        }
    }
    for (HWND w : order) {
        bool paint;
        {
            std::lock_guard<std::recursive_mutex> guard(windowLock());
            paint = windowAlive(w) && windowShown(w) && needsPaint(w);
        }
        if (paint) callWindow(w, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT flags)
{
    if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
    if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    bool nc = false;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || !ps) return nullptr;
        nc = hwnd->ncPending;
        hwnd->ncPending = false;
    }
    if (nc) callWindow(hwnd, WM_NCPAINT, 1, 0);
    HDC hdc;
    bool erase;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return nullptr;
        *ps = PAINTSTRUCT{};
        ps->rcPaint = hwnd->update;
        erase = hwnd->erasePending;
        SetRectEmpty(&hwnd->update);
        hwnd->erasePending = false;
        hdc = clientDC(hwnd, &ps->rcPaint);
        ps->hdc = hdc;
    }
    ps->fErase = TRUE;
    if (erase) ps->fErase = callWindow(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps)
{
    if (!ps || !ps->hdc) return FALSE;
    gdiDeleteScreenDC(ps->hdc);
    markScreenDirty();
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!hwnd) hwnd = desktopWindow();
    if (!windowAlive(hwnd)) return nullptr;
    if (hwnd == desktopWindow()) {
        RECT all = hwnd->rect;
        return gdiCreateScreenDC(POINT{0, 0}, std::vector<RECT>{all});
    }
    return clientDC(hwnd, nullptr);
}

HDC GetWindowDC(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!hwnd) return GetDC(nullptr);
    if (!windowAlive(hwnd)) return nullptr;
    RECT wr = windowRectOnScreen(hwnd);
    return gdiCreateScreenDC(POINT{wr.left, wr.top}, visibleWindowRegion(hwnd));
}

int ReleaseDC(HWND, HDC hdc)
{
    if (!hdc) return 0;
    gdiDeleteScreenDC(hdc);
    markScreenDirty();
    return 1;
}
