// Window rectangles, coordinates, visibility, z-order and visible regions.
#include "platform/window/window_internal.h"
#include "platform/screen/metrics.h"

#include <algorithm>

namespace {

// a minus b, as up to four rectangles appended to out.
void subtractRect(const RECT& a, const RECT& b, std::vector<RECT>& out)
{
    RECT i;
    if (!IntersectRect(&i, &a, &b)) {
        out.push_back(a);
        return;
    }
    if (a.top < i.top) out.push_back(RECT{a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back(RECT{a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back(RECT{a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back(RECT{i.right, i.top, a.right, i.bottom});
}

void subtractFromRegion(std::vector<RECT>& region, const RECT& cut)
{
    std::vector<RECT> next;
    for (const RECT& r : region) subtractRect(r, cut, next);
    region.swap(next);
}

bool selfVisible(HWND w) { return (w->style & WS_VISIBLE) && !w->destroying; }

void sendMoveAndSize(HWND hwnd, bool moved, bool sized)
{
    RECT client;
    POINT origin;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return;
        client = clientRectInWindow(hwnd);
        origin = POINT{hwnd->rect.left + client.left, hwnd->rect.top + client.top};
    }
    if (moved) callWindow(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (sized) callWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

void restack(HWND hwnd, HWND after)
{
    auto& list = hwnd->parent->children;
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
    if (after == HWND_TOPMOST) hwnd->exStyle |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST) hwnd->exStyle &= ~WS_EX_TOPMOST;
    size_t firstPlain = 0;
    while (firstPlain < list.size() && (list[firstPlain]->exStyle & WS_EX_TOPMOST)) ++firstPlain;
    size_t pos;
    if (after == HWND_BOTTOM) {
        pos = list.size();
    } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        pos = (hwnd->exStyle & WS_EX_TOPMOST) ? 0 : firstPlain;
    } else {
        auto it = std::find(list.begin(), list.end(), after);
        pos = it == list.end() ? 0 : static_cast<size_t>(it - list.begin()) + 1;
    }
    // Top-most windows stay above the others whatever the caller asks.
    if (hwnd->exStyle & WS_EX_TOPMOST) pos = std::min(pos, firstPlain);
    else pos = std::max(pos, firstPlain);
    list.insert(list.begin() + static_cast<long>(std::min(pos, list.size())), hwnd);
}

}  // namespace

int borderWidth(HWND hwnd) { return (hwnd->style & WS_BORDER) || (hwnd->exStyle & WS_EX_CLIENTEDGE) ? 1 : 0; }

RECT clientRectInWindow(HWND hwnd)
{
    int b = borderWidth(hwnd);
    RECT r{b, b, hwnd->rect.right - hwnd->rect.left - b, hwnd->rect.bottom - hwnd->rect.top - b};
    if (hwnd->style & WS_VSCROLL) r.right -= screenMetric(SM_CXVSCROLL);
    if (hwnd->style & WS_HSCROLL) r.bottom -= screenMetric(SM_CYHSCROLL);
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

POINT clientOriginOnScreen(HWND hwnd)
{
    POINT p{0, 0};
    for (HWND w = hwnd; w && w->parent; w = w->parent) {
        RECT c = clientRectInWindow(w);
        p.x += w->rect.left + c.left;
        p.y += w->rect.top + c.top;
    }
    return p;
}

RECT windowRectOnScreen(HWND hwnd)
{
    RECT r = hwnd->rect;
    if (hwnd->parent && hwnd->parent->parent) {
        POINT o = clientOriginOnScreen(hwnd->parent);
        OffsetRect(&r, o.x, o.y);
    }
    return r;
}

bool windowShown(HWND hwnd)
{
    for (HWND w = hwnd; w; w = w->parent)
        if (!selfVisible(w)) return false;
    return true;
}

static std::vector<RECT> visibleRegionOf(HWND hwnd, RECT area, bool clipChildren)
{
    std::vector<RECT> region;
    if (!windowShown(hwnd)) return region;
    for (HWND p = hwnd->parent; p; p = p->parent) {
        RECT pc = clientRectInWindow(p);
        POINT o = p->parent ? clientOriginOnScreen(p) : POINT{0, 0};
        RECT onScreen{o.x, o.y, o.x + pc.right - pc.left, o.y + pc.bottom - pc.top};
        if (!p->parent) onScreen = p->rect;
        if (!IntersectRect(&area, &area, &onScreen)) return region;
    }
    region.push_back(area);
    for (HWND w = hwnd; w->parent; w = w->parent) {
        for (HWND s : w->parent->children) {
            if (s == w) break;
            if (selfVisible(s)) subtractFromRegion(region, windowRectOnScreen(s));
        }
    }
    if (clipChildren)
        for (HWND c : hwnd->children)
            if (selfVisible(c)) subtractFromRegion(region, windowRectOnScreen(c));
    return region;
}

std::vector<RECT> visibleClientRegion(HWND hwnd, bool clipChildren)
{
    if (!hwnd->parent) {
        // The desktop: the screen minus every visible top-level window.
        return visibleRegionOf(hwnd, hwnd->rect, true);
    }
    RECT c = clientRectInWindow(hwnd);
    POINT o = clientOriginOnScreen(hwnd);
    RECT area{o.x, o.y, o.x + c.right - c.left, o.y + c.bottom - c.top};
    return visibleRegionOf(hwnd, area, clipChildren || (hwnd->style & WS_CLIPCHILDREN));
}

std::vector<RECT> visibleWindowRegion(HWND hwnd)
{
    if (!hwnd->parent) return visibleRegionOf(hwnd, hwnd->rect, true);
    return visibleRegionOf(hwnd, windowRectOnScreen(hwnd), true);
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !rect) return FALSE;
    *rect = windowRectOnScreen(hwnd);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !rect) return FALSE;
    RECT c = clientRectInWindow(hwnd);
    *rect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !point) return FALSE;
    POINT o = clientOriginOnScreen(hwnd);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !point) return FALSE;
    POINT o = clientOriginOnScreen(hwnd);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    POINT a = windowAlive(from) ? clientOriginOnScreen(from) : POINT{0, 0};
    POINT b = windowAlive(to) ? clientOriginOnScreen(to) : POINT{0, 0};
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELPARAM(dx, dy);
}

static HWND deepestAt(HWND w, POINT screen)
{
    for (HWND c : w->children) {
        if (!selfVisible(c)) continue;
        RECT r = windowRectOnScreen(c);
        if (PtInRect(&r, screen)) return deepestAt(c, screen);
    }
    return w;
}

HWND WindowFromPoint(POINT screenPoint)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    HWND desk = desktopWindow();
    HWND hit = deepestAt(desk, screenPoint);
    return hit == desk ? nullptr : hit;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPoint)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(parent)) return nullptr;
    RECT c = clientRectInWindow(parent);
    if (clientPoint.x < 0 || clientPoint.y < 0 || clientPoint.x >= c.right - c.left || clientPoint.y >= c.bottom - c.top)
        return nullptr;
    for (HWND child : parent->children) {
        if (PtInRect(&child->rect, clientPoint)) return child;
    }
    return parent;
}

static bool activatesOnShow(HWND hwnd, int command)
{
    return isTopLevel(hwnd) && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !(hwnd->exStyle & WS_EX_NOACTIVATE);
}

BOOL ShowWindow(HWND hwnd, int command)
{
    bool show = command != SW_HIDE && command != SW_MINIMIZE;
    bool wasVisible, changed, activate;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || hwnd->destroying) return FALSE;
        wasVisible = (hwnd->style & WS_VISIBLE) != 0;
        changed = show != wasVisible;
        activate = show && activatesOnShow(hwnd, command) && GetActiveWindow() != hwnd;
        if (changed && show) {
            hwnd->style |= WS_VISIBLE;
            hwnd->ncPending = true;
            invalidateTree(hwnd, nullptr, true);
        } else if (changed) {
            // What the window covered shows again.
            if (windowShown(hwnd)) invalidateScreenArea(windowRectOnScreen(hwnd));
            hwnd->style &= ~WS_VISIBLE;
        }
        if (changed) markScreenDirty();
    }
    if (changed) callWindow(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (changed && !show) inputDropWindow(hwnd);
    if (activate) activateWindow(hwnd, WA_ACTIVE);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(hwnd) && hwnd->parent && windowShown(hwnd);
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    bool moved = false, sized = false;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || !hwnd->parent) return FALSE;
        RECT old = hwnd->rect;
        RECT next = old;
        if (!(flags & SWP_NOMOVE)) OffsetRect(&next, x - old.left, y - old.top);
        if (!(flags & SWP_NOSIZE)) {
            next.right = next.left + std::max(0, width);
            next.bottom = next.top + std::max(0, height);
        }
        moved = next.left != old.left || next.top != old.top;
        sized = (next.right - next.left) != (old.right - old.left) || (next.bottom - next.top) != (old.bottom - old.top);
        bool restacked = !(flags & SWP_NOZORDER);
        if (moved || sized || restacked) {
            bool shown = windowShown(hwnd);
            if (shown) invalidateScreenArea(windowRectOnScreen(hwnd));
            hwnd->rect = next;
            if (restacked) restack(hwnd, insertAfter);
            // Redrawn even with SWP_NOREDRAW: nothing else would ever repaint the moved pixels.
            if (shown) {
                hwnd->ncPending = true;
                invalidateTree(hwnd, nullptr, true);
            }
            markScreenDirty();
        }
    }
    if (moved || sized) sendMoveAndSize(hwnd, moved, sized);
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

void windowFrameChanged(HWND hwnd)
{
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return;
        if (windowShown(hwnd)) {
            hwnd->ncPending = true;
            invalidateTree(hwnd, nullptr, true);
            markScreenDirty();
        }
    }
    sendMoveAndSize(hwnd, false, true);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }
