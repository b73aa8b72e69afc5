// Filled rectangles, pattern blits, lines, rectangles, ellipses, polygons, pixels.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

enum class Op { Set, Xor, Invert };

void fillDevice(DeviceContext* dc, RECT bounds, uint32_t rgb, Op op)
{
    if (!dc->target) return;
    RECT all{0, 0, dc->target->width, dc->target->height};
    if (!IntersectRect(&bounds, &bounds, &all)) return;
    Surface& s = *dc->target;
    forEachClip(dc, bounds, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            if (s.bpp == 32 && op == Op::Set) {
                uint32_t* row = reinterpret_cast<uint32_t*>(surfaceRow(s, y));
                std::fill(row + r.left, row + r.right, rgb);
                continue;
            }
            for (int x = r.left; x < r.right; ++x) {
                uint32_t v = rgb;
                if (op == Op::Xor) v = surfaceGet(s, x, y) ^ rgb;
                if (op == Op::Invert) v = ~surfaceGet(s, x, y) & 0xFFFFFF;
                surfacePut(s, x, y, v);
            }
        }
    });
}

RECT toDevice(const DeviceContext* dc, int l, int t, int r, int b)
{
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return RECT{devX(dc, l), devY(dc, t), devX(dc, r), devY(dc, b)};
}

bool penDraws(const DeviceContext* dc) { return gdiValid(dc->pen) && !dc->pen->null; }
bool brushFills(const DeviceContext* dc) { return gdiValid(dc->brush) && !dc->brush->null; }

void penDot(DeviceContext* dc, int x, int y, int width, uint32_t rgb)
{
    if (width <= 1) {
        plotDevice(dc, x, y, rgb);
        return;
    }
    int half = width / 2;
    fillDevice(dc, RECT{x - half, y - half, x - half + width, y - half + width}, rgb, Op::Set);
}

// Bresenham from (x0, y0) towards (x1, y1); the last point is left out.
void lineDevice(DeviceContext* dc, int x0, int y0, int x1, int y1)
{
    if (!penDraws(dc)) return;
    uint32_t rgb = colorToPixel(dc->pen->color);
    int width = dc->pen->penWidth;
    bool dashed = dc->pen->penStyle == PS_DASH && width <= 1;
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy, step = 0;
    while (x0 != x1 || y0 != y1) {
        if (!dashed || (step / 6) % 2 == 0) penDot(dc, x0, y0, width, rgb);
        ++step;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Even-odd scanline fill of a polygon in device coordinates (pixel centres).
void fillPolygonDevice(DeviceContext* dc, const std::vector<POINT>& pts, uint32_t rgb)
{
    if (pts.size() < 3) return;
    int top = pts[0].y, bottom = pts[0].y;
    for (const POINT& p : pts) {
        top = std::min(top, static_cast<int>(p.y));
        bottom = std::max(bottom, static_cast<int>(p.y));
    }
    std::vector<int> xs;
    for (int y = top; y < bottom; ++y) {
        xs.clear();
        double cy = y + 0.5;
        for (size_t i = 0; i < pts.size(); ++i) {
            const POINT& a = pts[i];
            const POINT& b = pts[(i + 1) % pts.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            double x = a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y);
            xs.push_back(static_cast<int>(x + 0.5));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) fillDevice(dc, RECT{xs[i], y, xs[i + 1], y + 1}, rgb, Op::Set);
    }
}

}  // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    brush = gdiResolveClassBrush(brush);
    if (!dcValid(hdc) || !rect || !brush || brush->kind != GdiKind::Brush) return 0;
    if (!brush->null) fillDevice(hdc, toDevice(hdc, rect->left, rect->top, rect->right, rect->bottom), colorToPixel(brush->color), Op::Set);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    brush = gdiResolveClassBrush(brush);
    if (!dcValid(hdc) || !rect || !brush || brush->null) return 0;
    if (IsRectEmpty(rect)) return 1;
    RECT r = toDevice(hdc, rect->left, rect->top, rect->right, rect->bottom);
    uint32_t c = colorToPixel(brush->color);
    fillDevice(hdc, RECT{r.left, r.top, r.right, r.top + 1}, c, Op::Set);
    fillDevice(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c, Op::Set);
    fillDevice(hdc, RECT{r.left, r.top, r.left + 1, r.bottom}, c, Op::Set);
    fillDevice(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, c, Op::Set);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect)
{
    if (!dcValid(hdc) || !rect) return FALSE;
    fillDevice(hdc, toDevice(hdc, rect->left, rect->top, rect->right, rect->bottom), 0, Op::Invert);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    if (!dcValid(hdc)) return FALSE;
    RECT r = toDevice(hdc, x, y, x + width, y + height);
    uint32_t pattern = brushFills(hdc) ? colorToPixel(hdc->brush->color) : 0;
    switch (rop) {
    case PATCOPY:
        if (brushFills(hdc)) fillDevice(hdc, r, pattern, Op::Set);
        return TRUE;
    case PATINVERT:
        fillDevice(hdc, r, pattern, Op::Xor);
        return TRUE;
    case DSTINVERT:
        fillDevice(hdc, r, 0, Op::Invert);
        return TRUE;
    case BLACKNESS:
        fillDevice(hdc, r, 0, Op::Set);
        return TRUE;
    case WHITENESS:
        fillDevice(hdc, r, 0xFFFFFF, Op::Set);
        return TRUE;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    if (!dcValid(hdc)) return FALSE;
    RECT r = toDevice(hdc, left, top, right, bottom);
    if (r.right - r.left < 2 || r.bottom - r.top < 2) {
        if (penDraws(hdc)) fillDevice(hdc, r, colorToPixel(hdc->pen->color), Op::Set);
        return TRUE;
    }
    int w = penDraws(hdc) ? hdc->pen->penWidth : 0;
    if (brushFills(hdc)) {
        RECT inner = r;
        if (w) InflateRect(&inner, -w, -w);
        fillDevice(hdc, inner, colorToPixel(hdc->brush->color), Op::Set);
    }
    if (w) {
        uint32_t c = colorToPixel(hdc->pen->color);
        fillDevice(hdc, RECT{r.left, r.top, r.right, r.top + w}, c, Op::Set);
        fillDevice(hdc, RECT{r.left, r.bottom - w, r.right, r.bottom}, c, Op::Set);
        fillDevice(hdc, RECT{r.left, r.top, r.left + w, r.bottom}, c, Op::Set);
        fillDevice(hdc, RECT{r.right - w, r.top, r.right, r.bottom}, c, Op::Set);
    }
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    if (!dcValid(hdc)) return FALSE;
    RECT r = toDevice(hdc, left, top, right, bottom);
    double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0) return TRUE;
    bool fill = brushFills(hdc), pen = penDraws(hdc);
    uint32_t fc = fill ? colorToPixel(hdc->brush->color) : 0, pc = pen ? colorToPixel(hdc->pen->color) : 0;
    for (int y = r.top; y < r.bottom; ++y) {
        double dy = (y + 0.5 - cy) / ry;
        double half = rx * std::sqrt(std::max(0.0, 1 - dy * dy));
        int x0 = static_cast<int>(std::lround(cx - half)), x1 = static_cast<int>(std::lround(cx + half));
        if (x1 <= x0) continue;
        if (fill) fillDevice(hdc, RECT{x0, y, x1, y + 1}, fc, Op::Set);
        if (pen) {
            plotDevice(hdc, x0, y, pc);
            plotDevice(hdc, x1 - 1, y, pc);
        }
    }
    if (pen) {
        for (int x = r.left; x < r.right; ++x) {
            double dx = (x + 0.5 - cx) / rx;
            double half = ry * std::sqrt(std::max(0.0, 1 - dx * dx));
            plotDevice(hdc, x, static_cast<int>(std::lround(cy - half)), pc);
            plotDevice(hdc, x, static_cast<int>(std::lround(cy + half)) - 1, pc);
        }
    }
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old)
{
    if (!dcValid(hdc)) return FALSE;
    if (old) *old = hdc->current;
    hdc->current = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    if (!dcValid(hdc)) return FALSE;
    lineDevice(hdc, devX(hdc, hdc->current.x), devY(hdc, hdc->current.y), devX(hdc, x), devY(hdc, y));
    hdc->current = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    if (!dcValid(hdc) || !points || count < 2) return FALSE;
    for (int i = 1; i < count; ++i)
        lineDevice(hdc, devX(hdc, points[i - 1].x), devY(hdc, points[i - 1].y), devX(hdc, points[i].x), devY(hdc, points[i].y));
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    if (!dcValid(hdc) || !points || count < 2) return FALSE;
    std::vector<POINT> dev;
    for (int i = 0; i < count; ++i) dev.push_back(POINT{devX(hdc, points[i].x), devY(hdc, points[i].y)});
    if (brushFills(hdc)) fillPolygonDevice(hdc, dev, colorToPixel(hdc->brush->color));
    for (int i = 0; i < count; ++i) {
        const POINT& a = dev[i];
        const POINT& b = dev[(i + 1) % count];
        lineDevice(hdc, a.x, a.y, b.x, b.y);
    }
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    if (!dcValid(hdc) || !hdc->target) return CLR_INVALID;
    int dx = devX(hdc, x), dy = devY(hdc, y);
    if (dx < 0 || dy < 0 || dx >= hdc->target->width || dy >= hdc->target->height || !clipContains(hdc, dx, dy))
        return CLR_INVALID;
    surfacePut(*hdc->target, dx, dy, colorToPixel(color));
    return pixelToColor(surfaceGet(*hdc->target, dx, dy));
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    if (!dcValid(hdc) || !hdc->target) return CLR_INVALID;
    int dx = devX(hdc, x), dy = devY(hdc, y);
    if (dx < 0 || dy < 0 || dx >= hdc->target->width || dy >= hdc->target->height || !clipContains(hdc, dx, dy))
        return CLR_INVALID;
    return pixelToColor(surfaceGet(*hdc->target, dx, dy));
}
