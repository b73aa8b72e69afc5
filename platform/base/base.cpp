// Error word, rectangle arithmetic and the debug console.
#include "platform/base/types.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {
thread_local DWORD lastError = 0;
std::atomic<DebugOutputHook> debugHook{nullptr};
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t half = (c > 0 ? c : -c) / 2;
    int64_t q = (p >= 0) == (c > 0) ? (p + (p >= 0 ? half : -half)) / c : (p - (p >= 0 ? half : -half)) / c;
    if (q > INT32_MAX || q < INT32_MIN) return -1;
    return static_cast<int>(q);
}

BOOL SetRect(RECT* r, int left, int top, int right, int bottom)
{
    if (!r) return FALSE;
    *r = {left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(RECT* dst, const RECT* src)
{
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT p) { return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom; }

BOOL OffsetRect(RECT* r, int dx, int dy)
{
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

BOOL InflateRect(RECT* r, int dx, int dy)
{
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b) return FALSE;
    RECT r = {std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b) return FALSE;
    if (IsRectEmpty(a)) return IsRectEmpty(b) ? SetRectEmpty(dst) * 0 : CopyRect(dst, b);
    if (IsRectEmpty(b)) return CopyRect(dst, a);
    *dst = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    return TRUE;
}

void OutputDebugString(const char* text)
{
    if (!text) return;
    if (DebugOutputHook hook = debugHook.load()) {
        hook(text);
        return;
    }
    std::fputs(text, stderr);
}

void SetDebugOutputHook(DebugOutputHook hook) { debugHook.store(hook); }
